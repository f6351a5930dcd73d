#pragma once
// What the audio lighting needs of the sound system: a loopback stream of the default output
// and a watcher of default-output changes. The Linux backend (platform/linux/) uses PulseAudio.
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

namespace platform {

// The output's sample format, recorded the way the audio capture inspects it.
struct AudioMixFormat
{
    uint16_t formatTag = 0;      // 1 PCM, 3 IEEE float, 0xFFFE extensible
    uint16_t channels = 0;
    uint32_t samplesPerSec = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t validBitsPerSample = 0; // extensible only
    bool subFormatFloat = false;     // extensible only: IEEE float (else PCM)
};

// Steps of a failing open; the numbers are the audio capture's log steps.
enum LoopbackStep : int {
    LoopbackOk = 0,
    StepNoDevice = 277,     // no server, or no real default output
    StepNoVolume = 286,     // the output's details cannot be read
    StepNoClient = 303,     // the stream cannot be made
    StepNotReady = 346,     // the stream did not become ready in time
    StepNoCapture = 369     // the stream failed right after becoming ready
};

// One capture of what the default output plays, interleaved stereo.
class LoopbackStream
{
public:
    enum class Samples { S16, F32 };   // 4 or 8 bytes a frame
    enum class Delivery { Newest, InOrder };
    // Packet flags of readPacket.
    enum : uint32_t { FlagOverflow = 1, FlagSilentHole = 2 };

    virtual ~LoopbackStream() = default;
    // Opens (corked) the monitor of the current default output; LoopbackOk or a failing step.
    // Every wait inside is bounded.
    virtual int open() = 0;
    // Uncorks; repeated calls do nothing more.
    virtual void start() = 0;
    // Corks and drops what was buffered.
    virtual void stop() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Copies one packet of about 10 ms, at most maxFrames frames, into dst. Waits up to waitMs
    // for one; 0 frames when none came (a corked, closed or failed stream gives 0 at once).
    virtual int readPacket(void *dst, int maxFrames, uint32_t *flags, int waitMs) = 0;
    // Format of the output itself (not of the delivered samples).
    virtual AudioMixFormat mixFormat() const = 0;
    // Sample rate of the delivered samples (the output's rate).
    virtual int sampleRate() const = 0;
    // Name of the output whose sound this stream carries.
    virtual QString outputName() const = 0;
};

// Makes a stream of the given sample kind; packets are handed out newest first (older ones
// dropped) or in order.
std::unique_ptr<LoopbackStream> CreateLoopbackStream(LoopbackStream::Samples samples,
                                                     LoopbackStream::Delivery delivery);

// Tells of changes of the default output. Lives on the GUI thread; the notice is queued there.
class OutputWatcher : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
Q_SIGNALS:
    // The new default output's name; empty when there is none (or only the dummy output), or
    // when the sound server went away.
    void defaultOutputChanged(const QString &name);
};

// The process's watcher, made on first use (call it on the GUI thread).
OutputWatcher *AudioOutputWatcher();

} // namespace platform
