#pragma once
// Audio capture for the audio-reactive lighting: a loopback capture of the default output, one
// spectrum per packet, and the current audio effect that turns it into keyboard frames. The
// on-screen keyboard makes the one instance as its child.
#include "platform/AudioLoopback.h"

#include <QThread>
#include <QVector>
#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

class QAudioEffctBass;

class AudioMonitor : public QThread
{
    Q_OBJECT
public:
    static constexpr int kMaxFrames = 1024; // the 4096-byte sample buffer: two 16-bit samples a frame

    explicit AudioMonitor(QObject *parent = nullptr);
    ~AudioMonitor() override;
    // The on-screen keyboard's monitor; null before it exists and after it is gone.
    static AudioMonitor *instance();

    // Opens the capture: -1 on failure (logged with its step), 1 for other processors, 2 for AMD.
    int Initialization();
    // Reopens on the current default output (GUI thread): joins the capture, reopens, and
    // restarts stream and capture when an effect was being captured for.
    int Reinitialize();
    // Joins the capture and the draw thread (bounded), pausing both record streams; false when
    // one still runs.
    bool StopCapture();
    void SetSoftDisplay(bool on);

    // Set when the default output was found and opened (a speaker is there).
    bool Initialised = false;
    bool SoftDisplay() const { return m_softDisplay; }
    QAudioEffctBass *CurrentEffect() const { return m_effect.load(); }
    bool IsCurrentEffect(const QAudioEffctBass *effect) const { return effect && effect == m_effect.load(); }
    uint GrabTime() const { return m_grabTime; }
    ushort AmdSleep() const { return m_amdSleep; }
    // The output being captured; empty without a capture.
    QString OutputName() const { return m_stream && Initialised ? m_stream->outputName() : QString(); }
    // Format of the output as last opened, after the 16-bit rewrite.
    platform::AudioMixFormat MixFormat() const { return m_mixFormat; }

    // The 16-bit rewrite of a float output format.
    static void AdjustFormatTo16Bit(platform::AudioMixFormat &format);
    // One packet of stereo 16-bit frames to spectrum magnitudes; empty when it counts as silent.
    static QVector<double> AnalysePacket(const uchar *packet, int frames);

Q_SIGNALS:
    // One analysed packet for the draw thread (an owned copy of the magnitudes).
    void DrawKeyborad(QAudioEffctBass *BassPtr, QVector<double> Datas, int len);

public Q_SLOTS:
    void on_SetAudioEffectModel(ushort EffectModel, bool mcolor, uint time, uchar R, uchar G, uchar B, double gian,
                                double smooth);
    void on_StartGrabEffct();
    void on_StopGrabEffct();
    void on_AudionLightColorChange(uchar R, uchar G, uchar B);
    void on_setAudionGian(double value);
    void on_setAudionSmooth(double value);
    void on_setMoreAudionColor(bool more);
    void on_ResetAudionGrabTime(uint time);
    void on_updataaudioneffct();

protected:
    void run() override;

private:
    void ConnectSlots();
    int render_audio(QVector<double> &data);
    bool JoinCapture();
    // Starts the capture loop and the stream the current effect reads; with needStream, neither
    // without an open output.
    void StartCapture(bool needStream);
    // Deletes a paused effect once both threads are joined; one still in use is left alone.
    static void Dispose(QAudioEffctBass *effect, bool joined, bool stop);
    static uint GrabFloor();

    std::unique_ptr<platform::LoopbackStream> m_stream;
    std::atomic<QAudioEffctBass *> m_effect{nullptr};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stopRequest{false};
    std::mutex m_cycleLock; // with m_cycleWake: a stop request ends the loop's sleep at once
    std::condition_variable m_cycleWake;
    std::atomic<bool> m_changing{false};
    uint m_grabTime = 0;
    ushort m_amdSleep = 0;
    bool m_amdProcessor = false;
    bool m_softDisplay = false;
    platform::AudioMixFormat m_mixFormat;
    std::array<uchar, kMaxFrames * 4> m_sample{};
    static AudioMonitor *s_instance;
};
