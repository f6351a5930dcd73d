#pragma once
#include <QtGlobal>

// The preview frames in flight between the effect thread and the on-screen keyboard. A frame is
// taken before it is sent and given back by its receiver once shown, so that no frame is
// allocated per tick and none is overwritten while a queued delivery still points at it.
class LightFramePool
{
public:
    static constexpr int kFrames = 64;
    static constexpr int kSize = 520;

    // A free frame, now in flight; null when every frame is still in flight (the frame is dropped).
    static uchar *Acquire();
    // Gives a frame back; a pointer that is not one of the pool's frames is ignored.
    static void Release(const uchar *frame);
    static int InFlight();
};
