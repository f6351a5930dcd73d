#include "lighting/AudioMonitor.h"

#include "app/DelayMs.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "app/MainWidget.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "lighting/AudioEffectFactory.h"
#include "lighting/PacketSpectrum.h"
#include "lighting/QAudioEffctBass.h"
#include "lighting/QAudio_Dynamic_Spectrum.h"
#include "lighting/QAudionDrawThread.h"
#include "lighting/QLightConfigWIdget.h"
#include "lighting/Visualizer.h"
#include "platform/CpuInfo.h"

#include <QColor>
#include <QSettings>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>

AudioMonitor *AudioMonitor::s_instance = nullptr;

namespace {
constexpr ushort kSpectrumType = 428;
constexpr int kCycleMs = 30;
constexpr int kPacketWaitMs = 40;      // bounded wait for a packet, instead of polling at once
constexpr unsigned long kJoinMs = 5000; // covers a frame that is reopening the analyser's capture
constexpr int kMinEffectPeriod = 35;

void LogStep(int step)
{
    WriteLogLine(QStringLiteral("加载音频设备失败 AudioMonitor %1").arg(step));
}

const quint32 *AnalyserPicture()
{
    return Visualizer::instance()->FrontPicture();
}
} // namespace

AudioMonitor::AudioMonitor(QObject *parent) : QThread(parent)
{
    s_instance = this;
    QAudioEffctBass::SetAmdCheck(&platform::IsAmdProcessor);
    QAudio_Dynamic_Spectrum::SetPictureSource(&AnalyserPicture);
    platform::AudioOutputWatcher(); // made here, on the GUI thread
    ConnectSlots();
    if (Initialization() != -1)
        Visualizer::instance()->Setup();
}

AudioMonitor::~AudioMonitor()
{
    SetAudioDrawBlocked(1);
    QAudioEffctBass *effect = m_effect.exchange(nullptr);
    if (effect)
        effect->SetPaused(true);
    m_running.store(false);
    Dispose(effect, StopCapture(), false);
    m_stream.reset();
    if (s_instance == this)
        s_instance = nullptr;
    SetAudioDrawBlocked(0);
}

AudioMonitor *AudioMonitor::instance()
{
    return s_instance;
}

void AudioMonitor::ConnectSlots()
{
    if (MainWidget *main = MainWidget::instance())
        connect(main, &MainWidget::W_Close, this, &AudioMonitor::on_StopGrabEffct);
    if (QLightConfigWIdget *page = QLightConfigWIdget::instance())
        connect(page, &QLightConfigWIdget::ResetAudionGrabTime, this, &AudioMonitor::on_ResetAudionGrabTime);
    connect(this, &AudioMonitor::DrawKeyborad, QAudionDrawThread::instance(), &QAudionDrawThread::on_DrawKeyborad);
    if (platform::OutputWatcher *watcher = platform::AudioOutputWatcher())
        connect(watcher, &platform::OutputWatcher::defaultOutputChanged, this,
                [](const QString &name) { Visualizer::instance()->OnDefaultDeviceChanged(name); });
}

void AudioMonitor::AdjustFormatTo16Bit(platform::AudioMixFormat &f)
{
    if (f.formatTag == 3) {
        f.formatTag = 1;
        f.bitsPerSample = 16;
        f.blockAlign = static_cast<uint16_t>(f.channels * 16 / 8);
        f.avgBytesPerSec = f.blockAlign * f.samplesPerSec;
    } else if (f.formatTag == 0xFFFE && f.subFormatFloat) {
        f.validBitsPerSample = 16;
        f.bitsPerSample = 16;
        f.blockAlign = static_cast<uint16_t>(f.channels * 16 / 8);
        f.avgBytesPerSec = f.blockAlign * f.samplesPerSec;
        f.subFormatFloat = false;
    }
}

int AudioMonitor::Initialization()
{
    Initialised = false;
    m_amdProcessor = false;
    if (!m_stream)
        m_stream = platform::CreateLoopbackStream(platform::LoopbackStream::Samples::S16,
                                                  platform::LoopbackStream::Delivery::Newest);
    const int step = m_stream->open();
    if (step != platform::LoopbackOk) {
        LogStep(step);
        return -1;
    }
    m_mixFormat = m_stream->mixFormat();
    AdjustFormatTo16Bit(m_mixFormat);
    if (m_mixFormat.formatTag == 1)
        WriteLogLine(QStringLiteral("数据格式WAVE_FORMAT_PCM"));
    if (!platform::IsAmdProcessor()) {
        Initialised = true;
        WriteLogLine(QStringLiteral("音频 inter系列主板 无需降速"));
        return 1;
    }
    const std::unique_ptr<QSettings> ini(OpenSysBuildIni());
    Initialised = true;
    m_amdSleep = static_cast<ushort>(ini ? ini->value(QStringLiteral("Systime/AudonAmdSellp"), 0).toUInt() : 0);
    WriteLogLine(QStringLiteral("音频 amd系列主板 需要降速 %1").arg(m_amdSleep));
    m_amdProcessor = true;
    return 2;
}

bool AudioMonitor::JoinCapture()
{
    if (isRunning()) {
        {
            std::lock_guard<std::mutex> guard(m_cycleLock);
            m_stopRequest.store(true);
            m_running.store(false);
        }
        m_cycleWake.notify_all();
        if (!wait(kJoinMs)) {
            WriteLogLine(QStringLiteral("AudioMonitor capture did not stop in time"));
            return false;
        }
    }
    m_stopRequest.store(false); // never left over for the next start
    // Nothing reads the sound until the next start: both record streams pause, so the server
    // stops delivering and no desktop shows the program as recording.
    if (m_stream)
        m_stream->stop();
    Visualizer::instance()->PauseCapture();
    return true;
}

bool AudioMonitor::StopCapture()
{
    const bool capture = JoinCapture();
    const bool draw = QAudionDrawThread::instance()->StopAndWait();
    return capture && draw;
}

void AudioMonitor::Dispose(QAudioEffctBass *effect, bool joined, bool stop)
{
    if (!effect)
        return;
    if (!joined) {
        // Never freed under a thread that may still render it: a small leak instead.
        WriteLogLine(QStringLiteral("AudioMonitor audio effect kept: a thread did not stop in time"));
        return;
    }
    if (stop)
        effect->Stop();
    delete effect;
}

void AudioMonitor::StartCapture(bool needStream)
{
    m_running.store(true);
    m_stopRequest.store(false);
    if (needStream && (!m_stream || !Initialised))
        return;
    // Only the stream the effect reads runs: the spectrum effect's frames start the analyser's
    // own stream themselves.
    QAudioEffctBass *effect = m_effect.load();
    if (m_stream && Initialised && effect && effect->EffectType() != kSpectrumType)
        m_stream->start();
    start(QThread::InheritPriority);
}

int AudioMonitor::Reinitialize()
{
    const bool wasCapturing = isRunning();
    if (!JoinCapture())
        return -1; // the thread still uses the stream: leave it alone
    if (m_stream) {
        m_stream->stop();
        m_stream->close();
    }
    const int result = Initialization();
    if (result != -1 && !Visualizer::instance()->IsSetUp())
        Visualizer::instance()->Setup();
    if (result != -1 && wasCapturing && m_effect.load())
        StartCapture(true);
    return result;
}

uint AudioMonitor::GrabFloor()
{
    HID_API *api = HID_API::instance();
    const DeviceRecord *device = api ? api->CurrentDevice() : nullptr;
    return device && device->subType == 1 ? 30 : 10;
}

void AudioMonitor::on_SetAudioEffectModel(ushort EffectModel, bool mcolor, uint time, uchar R, uchar G, uchar B,
                                          double gian, double smooth)
{
    MainWidget *main = MainWidget::instance();
    if (main)
        main->ShowMaskGray(false, false);
    SetAudioDrawBlocked(1);
    QAudioEffctBass *old = m_effect.exchange(nullptr);
    if (old)
        old->SetPaused(true);
    const bool joined = StopCapture();
    QAudioEffctBass *effect = CreateAudioEffect(EffectModel);
    if (!effect) {
        DelayMs(500);
        if (QMultifunKeyBoard *board = QMultifunKeyBoard::instance())
            board->on_ClearDispAudion();
    } else {
        effect->LoadLayout();
        m_grabTime = qMax(time, GrabFloor());
        // Smoothing on the slider's own 0..10 scale, as the slider's label and its release path
        // give it; gain on its 0..2 scale.
        effect->SetColours(QColor(R, G, B, 255), mcolor ? 1 : 0, gian / 100.0, smooth / 10.0);
        effect->SetAmdSleep(m_amdSleep);
        effect->SetPaused(false);
        m_changing.store(false);
        m_effect.store(effect);
        StartCapture(true);
    }
    // The old effect is paused, drawing is blocked and both threads are joined: it can go.
    Dispose(old, joined, true);
    SetAudioDrawBlocked(0);
    if ((main = MainWidget::instance()))
        main->HideMaskGray();
}

void AudioMonitor::on_StartGrabEffct()
{
    if (!isRunning() && m_effect.load())
        StartCapture(false); // also without an output: the loop then hands idle blocks on
}

void AudioMonitor::on_StopGrabEffct()
{
    SetAudioDrawBlocked(1);
    QAudioEffctBass *effect = m_effect.exchange(nullptr);
    if (effect)
        effect->SetPaused(true);
    Dispose(effect, StopCapture(), false);
    SetAudioDrawBlocked(0);
    m_running.store(false);
}

void AudioMonitor::on_AudionLightColorChange(uchar R, uchar G, uchar B)
{
    if (QAudioEffctBass *effect = m_effect.load()) {
        effect->SetMultiColour(0);
        effect->SetBaseColour(QColor(R, G, B));
    }
}

void AudioMonitor::on_setAudionGian(double value)
{
    if (QAudioEffctBass *effect = m_effect.load())
        effect->SetGain(value);
}

void AudioMonitor::on_setAudionSmooth(double value)
{
    if (QAudioEffctBass *effect = m_effect.load())
        effect->SetSmoothing(value);
}

void AudioMonitor::on_setMoreAudionColor(bool more)
{
    if (QAudioEffctBass *effect = m_effect.load())
        effect->SetMultiColour(more ? 1 : 0);
}

void AudioMonitor::on_ResetAudionGrabTime(uint time)
{
    m_grabTime = qMax(time, GrabFloor());
    if (QAudioEffctBass *effect = m_effect.load()) {
        // The capture loop keeps running: only the effect is held while its period changes.
        effect->SetPaused(true);
        m_changing.store(true);
        effect->SetPeriod(qMax<uint>(m_grabTime, kMinEffectPeriod));
        m_changing.store(false);
        effect->SetPaused(false);
    }
}

void AudioMonitor::on_updataaudioneffct()
{
    // An idle request to the draw thread, which alone renders and sends.
    if (QAudioEffctBass *effect = m_effect.load())
        Q_EMIT DrawKeyborad(effect, QVector<double>(), 0);
}

void AudioMonitor::SetSoftDisplay(bool on)
{
    m_softDisplay = on;
    if (QAudioEffctBass *effect = m_effect.load())
        effect->SetPreview(on);
}

QVector<double> AudioMonitor::AnalysePacket(const uchar *packet, int frames)
{
    frames = qBound(0, frames, kMaxFrames);
    if (!packet || frames == 0 || packet[0] == 0)
        return {};
    // Silence test on the left samples: fewer than 32, or the first 32 summing below 50.
    if (frames < 32)
        return {};
    int sum = 0;
    for (int i = 0; i < 32; ++i)
        sum += std::abs(int(int16_t(packet[4 * i] | (packet[4 * i + 1] << 8))));
    if (sum < 50)
        return {};
    QVector<double> x(frames);
    for (int i = 0; i < frames; ++i) {
        const int left = int16_t(packet[4 * i] | (packet[4 * i + 1] << 8));
        const int right = int16_t(packet[4 * i + 2] | (packet[4 * i + 3] << 8));
        x[i] = (left + right) * 0.5 * 3.0517578125e-5;
    }
    // No magnitude can exceed the sum of the absolute samples: a packet whose sum stays clearly
    // below the 0.2 threshold needs no transform to be found quiet.
    double bound = 0.0;
    for (double v : x)
        bound += std::fabs(v);
    if (bound < 0.2 - 1e-9)
        return {};
    // The same sums as the direct evaluation with the constant 6.2831924 the effects' levels
    // were tuned with, at a small part of its cost.
    thread_local PacketSpectrum spectrum;
    QVector<double> magnitudes(frames);
    spectrum.Magnitudes(x.constData(), frames, magnitudes.data());
    bool loud = false;
    for (double m : magnitudes)
        loud = loud || m > 0.2;
    if (!loud)
        return {};
    return magnitudes;
}

int AudioMonitor::render_audio(QVector<double> &data)
{
    data.clear();
    if (!m_running.load() || !m_stream)
        return 0;
    uint32_t flags = 0;
    m_sample[0] = 0;
    const int frames = m_stream->readPacket(m_sample.data(), kMaxFrames, &flags, kPacketWaitMs);
    if (frames <= 0 || flags == platform::LoopbackStream::FlagSilentHole || flags == 4)
        return 0;
    data = AnalysePacket(m_sample.data(), frames);
    return data.size();
}

void AudioMonitor::run()
{
    while (m_running.load()) {
        if (m_stopRequest.load())
            break;
        QAudioEffctBass *effect = m_effect.load();
        if (effect) {
            QVector<double> data;
            int count = 0;
            if (effect->EffectType() == kSpectrumType)
                Visualizer::instance()->Frame();
            else
                count = render_audio(data);
            if (!QAudionDrawThread::instance()->isRunning())
                Q_EMIT DrawKeyborad(effect, data, count);
        }
        // The 30 ms cycle in one sleep, cut short by a stop request.
        std::unique_lock<std::mutex> guard(m_cycleLock);
        m_cycleWake.wait_for(guard, std::chrono::milliseconds(kCycleMs), [this] { return m_stopRequest.load(); });
    }
    m_stopRequest.store(false);
}
