#include "platform/linux/PulseLoopbackStream.h"

#include "platform/linux/PulseServer.h"

#include <QThread>
#include <chrono>
#include <cstring>
#include <memory>

namespace platform {

namespace {
constexpr int kConnectMs = 2000;  // a server that does not answer by then is "no device"
constexpr int kQueryMs = 1000;
constexpr int kReadyMs = 2000;

struct SinkQuery
{
    bool done = false;
    bool found = false;
    QByteArray monitor;
    pa_sample_spec sampleSpec{};
};

AudioMixFormat FormatOf(const pa_sample_spec &sampleSpec)
{
    AudioMixFormat f;
    const bool isFloat = sampleSpec.format == PA_SAMPLE_FLOAT32LE || sampleSpec.format == PA_SAMPLE_FLOAT32BE;
    f.formatTag = isFloat ? 3 : 1;
    f.channels = sampleSpec.channels;
    f.samplesPerSec = sampleSpec.rate;
    f.bitsPerSample = static_cast<uint16_t>(pa_sample_size(&sampleSpec) * 8);
    f.blockAlign = static_cast<uint16_t>(pa_frame_size(&sampleSpec));
    f.avgBytesPerSec = f.blockAlign * sampleSpec.rate;
    return f;
}
} // namespace

PulseLoopbackStream::PulseLoopbackStream(Samples samples, Delivery delivery)
    : m_samples(samples), m_delivery(delivery), m_frameBytes(samples == Samples::S16 ? 4 : 8)
{
}

PulseLoopbackStream::~PulseLoopbackStream()
{
    close();
}

int PulseLoopbackStream::open()
{
    PulseServer &server = PulseServer::instance();
    server.lock();
    closeLocked();
    pa_context *context = server.readyContext(kConnectMs);
    const QString sink = context ? server.defaultSinkName(context, kQueryMs) : QString();
    if (sink.isEmpty()) {
        server.unlock();
        return StepNoDevice;
    }
    // The sink's details: its monitor and format (the volume stands for the endpoint volume).
    auto query = std::make_shared<SinkQuery>();
    auto *held = new std::shared_ptr<SinkQuery>(query);
    pa_operation *op = pa_context_get_sink_info_by_name(
        context, sink.toUtf8().constData(),
        [](pa_context *, const pa_sink_info *info, int eol, void *data) {
            auto *q = static_cast<std::shared_ptr<SinkQuery> *>(data);
            if (info && !(*q)->found) {
                (*q)->found = true;
                (*q)->monitor = QByteArray(info->monitor_source_name);
                (*q)->sampleSpec = info->sample_spec;
            }
            if (eol != 0) { // the last call, on success or failure
                (*q)->done = true;
                delete q;
            }
        },
        held);
    if (!op)
        delete held;
    else {
        server.waitUntil([&query] { return query->done; }, kQueryMs);
        pa_operation_unref(op);
    }
    if (!query->found || query->monitor.isEmpty()) {
        server.unlock();
        return StepNoVolume;
    }
    pa_sample_spec sampleSpec;
    sampleSpec.format = m_samples == Samples::S16 ? PA_SAMPLE_S16LE : PA_SAMPLE_FLOAT32LE;
    sampleSpec.channels = 2; // the server mixes any layout down to left and right
    sampleSpec.rate = query->sampleSpec.rate ? query->sampleSpec.rate : 44100;
    m_stream = pa_stream_new(context, "QUORIX HUB audio lighting", &sampleSpec, nullptr);
    if (!m_stream) {
        server.unlock();
        return StepNoClient;
    }
    const int packetFrames = static_cast<int>(sampleSpec.rate / 100); // 10 ms
    {
        std::lock_guard<std::mutex> guard(m_ringLock);
        m_packetBytes = packetFrames * m_frameBytes;
        m_maxBytes = m_packetBytes * 10; // 100 ms
        m_ring.clear();
        m_ring.reserve(m_maxBytes + m_packetBytes * 4);
        m_pendingFlags = 0;
        m_format = FormatOf(query->sampleSpec);
        m_output = sink;
    }
    m_rate.store(static_cast<int>(sampleSpec.rate));
    pa_stream_set_read_callback(m_stream, &PulseLoopbackStream::onRead, this);
    pa_stream_set_state_callback(m_stream, &PulseLoopbackStream::onState, this);
    pa_buffer_attr attr;
    attr.maxlength = static_cast<uint32_t>(m_packetBytes * 10);
    attr.fragsize = static_cast<uint32_t>(m_packetBytes);
    attr.tlength = attr.prebuf = attr.minreq = static_cast<uint32_t>(-1);
    const auto flags = pa_stream_flags_t(PA_STREAM_START_CORKED | PA_STREAM_ADJUST_LATENCY | PA_STREAM_DONT_MOVE);
    if (pa_stream_connect_record(m_stream, query->monitor.constData(), &attr, flags) < 0) {
        closeLocked();
        server.unlock();
        return StepNotReady;
    }
    pa_stream *stream = m_stream;
    const bool settled = server.waitUntil([stream] {
        const pa_stream_state_t s = pa_stream_get_state(stream);
        return s == PA_STREAM_READY || !PA_STREAM_IS_GOOD(s);
    }, kReadyMs);
    if (!settled || pa_stream_get_state(stream) != PA_STREAM_READY) {
        closeLocked();
        server.unlock();
        return settled ? StepNoCapture : StepNotReady;
    }
    server.unlock();
    return LoopbackOk;
}

void PulseLoopbackStream::onState(pa_stream *stream, void *self)
{
    auto *me = static_cast<PulseLoopbackStream *>(self);
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
        // The server or the sink went away: readers stop waiting.
        me->m_live.store(false);
        me->m_ringReady.notify_all();
    }
}

void PulseLoopbackStream::onRead(pa_stream *stream, size_t, void *self)
{
    auto *me = static_cast<PulseLoopbackStream *>(self);
    const void *data = nullptr;
    size_t bytes = 0;
    bool any = false;
    while (pa_stream_readable_size(stream) > 0) {
        if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0)
            break;
        {
            std::lock_guard<std::mutex> guard(me->m_ringLock);
            if (!data)
                me->m_pendingFlags |= FlagSilentHole; // a hole reads as zeros, flagged silent
            const int n = static_cast<int>(bytes);
            if (data)
                me->m_ring.append(static_cast<const char *>(data), n);
            else
                me->m_ring.append(QByteArray(n, '\0'));
            const int excess = me->m_ring.size() - me->m_maxBytes;
            if (excess > 0) {
                // Drop whole frames from the front so that samples stay aligned.
                const int cut = ((excess + me->m_frameBytes - 1) / me->m_frameBytes) * me->m_frameBytes;
                me->m_ring.remove(0, qMin(cut, me->m_ring.size()));
                me->m_pendingFlags |= FlagOverflow;
            }
            any = true;
        }
        pa_stream_drop(stream);
    }
    if (any)
        me->m_ringReady.notify_all();
}

int PulseLoopbackStream::readPacket(void *dst, int maxFrames, uint32_t *flags, int waitMs)
{
    if (flags)
        *flags = 0;
    if (!dst || maxFrames <= 0)
        return 0;
    std::unique_lock<std::mutex> guard(m_ringLock);
    if (m_packetBytes <= 0)
        return 0;
    m_ringReady.wait_for(guard, std::chrono::milliseconds(qMax(0, waitMs)),
                         [this] { return m_ring.size() >= m_packetBytes || !m_live.load(); });
    if (!m_live.load() || m_ring.size() < m_packetBytes)
        return 0;
    if (m_delivery == Delivery::Newest) {
        const int older = (m_ring.size() / m_packetBytes - 1) * m_packetBytes;
        if (older > 0)
            m_ring.remove(0, older);
    }
    const int frames = qMin(m_packetBytes / m_frameBytes, maxFrames);
    std::memcpy(dst, m_ring.constData(), static_cast<size_t>(frames) * m_frameBytes);
    m_ring.remove(0, m_packetBytes);
    if (flags)
        *flags = m_pendingFlags;
    m_pendingFlags = 0;
    return frames;
}

void PulseLoopbackStream::start()
{
    PulseServer &server = PulseServer::instance();
    server.lock();
    if (m_stream && pa_stream_get_state(m_stream) == PA_STREAM_READY) {
        if (pa_stream_is_corked(m_stream) == 1)
            if (pa_operation *op = pa_stream_cork(m_stream, 0, nullptr, nullptr))
                pa_operation_unref(op);
        m_live.store(true);
    }
    server.unlock();
}

void PulseLoopbackStream::stop()
{
    PulseServer &server = PulseServer::instance();
    server.lock();
    m_live.store(false);
    // A stream that is paused already has nothing buffered at the server: no round trip.
    if (m_stream && pa_stream_get_state(m_stream) == PA_STREAM_READY && pa_stream_is_corked(m_stream) != 1) {
        if (pa_operation *op = pa_stream_cork(m_stream, 1, nullptr, nullptr))
            pa_operation_unref(op);
        if (pa_operation *op = pa_stream_flush(m_stream, nullptr, nullptr))
            pa_operation_unref(op);
    }
    server.unlock();
    std::lock_guard<std::mutex> guard(m_ringLock);
    m_ring.clear();
    m_ringReady.notify_all();
}

void PulseLoopbackStream::close()
{
    PulseServer &server = PulseServer::instance();
    server.lock();
    closeLocked();
    server.unlock();
}

void PulseLoopbackStream::closeLocked()
{
    m_live.store(false);
    if (m_stream) {
        // No callback reaches this object once the lock is let go.
        pa_stream_set_read_callback(m_stream, nullptr, nullptr);
        pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        if (PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream)) && pa_stream_get_state(m_stream) != PA_STREAM_UNCONNECTED)
            pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    std::lock_guard<std::mutex> guard(m_ringLock);
    m_ring.clear();
    m_pendingFlags = 0;
    m_ringReady.notify_all();
}

bool PulseLoopbackStream::isOpen() const
{
    PulseServer &server = PulseServer::instance();
    server.lock();
    const bool open = m_stream && pa_stream_get_state(m_stream) == PA_STREAM_READY;
    server.unlock();
    return open;
}

AudioMixFormat PulseLoopbackStream::mixFormat() const
{
    std::lock_guard<std::mutex> guard(m_ringLock);
    return m_format;
}

QString PulseLoopbackStream::outputName() const
{
    std::lock_guard<std::mutex> guard(m_ringLock);
    return m_output;
}

std::unique_ptr<LoopbackStream> CreateLoopbackStream(LoopbackStream::Samples samples,
                                                     LoopbackStream::Delivery delivery)
{
    return std::make_unique<PulseLoopbackStream>(samples, delivery);
}

} // namespace platform
