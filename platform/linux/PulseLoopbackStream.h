#pragma once
#include "platform/AudioLoopback.h"

#include <QByteArray>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <pulse/pulseaudio.h>

namespace platform {

// Records the monitor source of the default sink. The main loop's read callback fills a ring of
// at most 100 ms (the oldest data goes when it is full); readers take whole 10 ms packets.
class PulseLoopbackStream : public LoopbackStream
{
public:
    PulseLoopbackStream(Samples samples, Delivery delivery);
    ~PulseLoopbackStream() override;

    int open() override;
    void start() override;
    void stop() override;
    void close() override;
    bool isOpen() const override;
    int readPacket(void *dst, int maxFrames, uint32_t *flags, int waitMs) override;
    AudioMixFormat mixFormat() const override;
    int sampleRate() const override { return m_rate.load(); }
    QString outputName() const override;

private:
    void closeLocked();
    static void onRead(pa_stream *stream, size_t bytes, void *self);
    static void onState(pa_stream *stream, void *self);

    const Samples m_samples;
    const Delivery m_delivery;
    const int m_frameBytes;
    pa_stream *m_stream = nullptr;       // under the main loop lock
    std::atomic<int> m_rate{0};
    std::atomic<bool> m_live{false};     // ready and uncorked

    mutable std::mutex m_ringLock;       // the ring, the flags, the format and the name
    std::condition_variable m_ringReady;
    QByteArray m_ring;
    int m_packetBytes = 0;
    int m_maxBytes = 0;
    uint32_t m_pendingFlags = 0;
    AudioMixFormat m_format;
    QString m_output;
};

} // namespace platform
