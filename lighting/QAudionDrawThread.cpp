#include "lighting/QAudionDrawThread.h"

#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "lighting/AudioMonitor.h"
#include "lighting/QAudioEffctBass.h"
#include "lighting/Visualizer.h"

namespace {
std::atomic<int> s_drawBlocked{0};
constexpr unsigned long kStopWaitMs = 2500; // 50 checks of 50 ms before
constexpr ushort kSpectrumType = 428;
} // namespace

void SetAudioDrawBlocked(int blocked)
{
    s_drawBlocked.store(blocked);
}

bool AudioDrawBlocked()
{
    return s_drawBlocked.load() != 0;
}

QAudionDrawThread *QAudionDrawThread::instance()
{
    static QAudionDrawThread *thread = new QAudionDrawThread;
    return thread;
}

QAudionDrawThread::QAudionDrawThread()
{
    qRegisterMetaType<QVector<double>>("QVector<double>");
    qRegisterMetaType<QAudioEffctBass *>("QAudioEffctBass*");
}

void QAudionDrawThread::on_DrawKeyborad(QAudioEffctBass *JobPtr, QVector<double> inDatas, int Datalen)
{
    // A request queued before its effect was exchanged names an effect that may be gone: it is
    // dropped without being touched.
    AudioMonitor *monitor = AudioMonitor::instance();
    if (!monitor || !monitor->IsCurrentEffect(JobPtr))
        return;
    HID_API *api = HID_API::instance();
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_effect = JobPtr;
        m_data = std::move(inDatas);
        m_count = qBound(0, Datalen, m_data.size());
        m_device = api ? api->CurrentDevice() : nullptr;
        m_pending = true;
    }
    if (!isRunning())
        start(QThread::InheritPriority);
}

bool QAudionDrawThread::IsEffectValid() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_effect && m_effect->Tag() == QAudioEffctBass::kTag;
}

bool QAudionDrawThread::StopAndWait()
{
    bool stopped = true;
    if (isRunning()) {
        m_stop.store(true);
        stopped = wait(kStopWaitMs);
    }
    // A stale flag would eat the next request.
    m_stop.store(false);
    std::lock_guard<std::mutex> guard(m_lock);
    m_effect = nullptr;
    m_device = nullptr;
    m_data.clear();
    m_pending = false;
    return stopped;
}

void QAudionDrawThread::run()
{
    // Renders the latest request, and one that came in meanwhile, until none waits.
    for (;;) {
        if (m_stop.exchange(false)) {
            std::lock_guard<std::mutex> guard(m_lock);
            m_effect = nullptr;
            m_pending = false;
            return;
        }
        QAudioEffctBass *effect;
        QVector<double> data;
        int count;
        DeviceRecord *device;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (!m_pending)
                return;
            m_pending = false;
            effect = m_effect;
            data = std::move(m_data);
            m_data = QVector<double>();
            count = m_count;
            device = m_device;
        }
        if (!effect || AudioDrawBlocked() || effect->Tag() != QAudioEffctBass::kTag)
            continue;
        RenderOne(effect, data, count, device);
    }
}

void QAudionDrawThread::RenderOne(QAudioEffctBass *effect, QVector<double> &data, int count, DeviceRecord *device)
{
    const ushort type = effect->EffectType();
    if (type == kSpectrumType) {
        const uint8_t state = device ? device->connectionState.load() : uint8_t(StateNone);
        if (state == StateWirelessAwake || state == StateWirelessAsleep) {
            if (m_cycle % 20 == 0) {
                if (AudioDrawBlocked())
                    return;
                const uchar mode = m_modes.takeFirst();
                m_modes.append(mode);
                Visualizer::instance()->SetForegroundMode(mode);
                m_cycle = 0;
            }
            ++m_cycle;
        } else if (Visualizer::instance()->ForegroundMode() != 17) {
            Visualizer::instance()->SetForegroundMode(17);
        }
        if (!AudioDrawBlocked())
            effect->Render(nullptr, 0, device);
        return;
    }
    if (type == QAudioEffctBass::kBaseType)
        return;
    if (!AudioDrawBlocked())
        effect->Render(count > 0 ? data.data() : nullptr, count, device);
}
