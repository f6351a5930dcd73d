#include "lighting/LightFramePool.h"

#include <atomic>

namespace {
uchar s_frames[LightFramePool::kFrames][LightFramePool::kSize];
std::atomic<bool> s_busy[LightFramePool::kFrames];
std::atomic<int> s_next{0};
} // namespace

uchar *LightFramePool::Acquire()
{
    const int start = s_next.load(std::memory_order_relaxed);
    for (int i = 0; i < kFrames; ++i) {
        const int index = (start + i) % kFrames;
        bool expected = false;
        if (s_busy[index].compare_exchange_strong(expected, true)) {
            s_next.store((index + 1) % kFrames, std::memory_order_relaxed);
            return s_frames[index];
        }
    }
    return nullptr;
}

void LightFramePool::Release(const uchar *frame)
{
    const uchar *first = &s_frames[0][0];
    if (!frame || frame < first || frame >= first + sizeof s_frames)
        return;
    const auto offset = static_cast<size_t>(frame - first);
    if (offset % kSize == 0)
        s_busy[offset / kSize].store(false);
}

int LightFramePool::InFlight()
{
    int n = 0;
    for (const auto &busy : s_busy)
        n += busy.load() ? 1 : 0;
    return n;
}
