#include "platform/linux/PulseServer.h"

#include "platform/AudioLoopback.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaObject>
#include <QPointer>
#include <QThread>
#include <atomic>
#include <memory>

namespace platform {

namespace {
std::atomic<OutputWatcher *> s_watcher{nullptr};
} // namespace

PulseServer &PulseServer::instance()
{
    // Never destroyed: streams of objects that live until the process ends still refer to it.
    static PulseServer *server = new PulseServer;
    return *server;
}

PulseServer::PulseServer() : m_loop(pa_threaded_mainloop_new())
{
    pa_threaded_mainloop_start(m_loop);
}

bool PulseServer::IsRealSink(const char *name)
{
    return name && *name && qstrcmp(name, "auto_null") != 0;
}

bool PulseServer::waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() >= timeoutMs)
            return false;
        unlock();
        QThread::usleep(2000);
        lock();
    }
    return true;
}

void PulseServer::onContextState(pa_context *context, void *self)
{
    auto *server = static_cast<PulseServer *>(self);
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_READY && context == server->m_context)
        server->subscribe(context);
    else if (state == PA_CONTEXT_FAILED && context == server->m_context)
        server->announce(QString()); // the server went away
}

pa_context *PulseServer::readyContext(int timeoutMs)
{
    if (m_context && pa_context_get_state(m_context) == PA_CONTEXT_READY)
        return m_context;
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_set_subscribe_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
        m_context = nullptr;
    }
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "QUORIX HUB");
    if (!m_context)
        return nullptr;
    pa_context_set_state_callback(m_context, &PulseServer::onContextState, this);
    // No autospawn: a missing server is "no device", never a daemon of our own. PULSE_SERVER holds.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        return nullptr;
    pa_context *context = m_context;
    const bool settled = waitUntil([context] {
        const pa_context_state_t s = pa_context_get_state(context);
        return s == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(s);
    }, timeoutMs);
    if (!settled || pa_context_get_state(context) != PA_CONTEXT_READY)
        return nullptr;
    return context;
}

namespace {
struct ServerQuery
{
    bool done = false;
    QString sink;
};
} // namespace

QString PulseServer::defaultSinkName(pa_context *context, int timeoutMs)
{
    auto query = std::make_shared<ServerQuery>();
    auto *held = new std::shared_ptr<ServerQuery>(query);
    pa_operation *op = pa_context_get_server_info(context, [](pa_context *, const pa_server_info *info, void *data) {
        auto *q = static_cast<std::shared_ptr<ServerQuery> *>(data);
        if (info && IsRealSink(info->default_sink_name))
            (*q)->sink = QString::fromUtf8(info->default_sink_name);
        (*q)->done = true;
        delete q;
    }, held);
    if (!op) {
        delete held;
        return QString();
    }
    waitUntil([&query] { return query->done; }, timeoutMs);
    pa_operation_unref(op); // a late answer still lands in the shared query, which it frees
    return query->done ? query->sink : QString();
}

void PulseServer::subscribe(pa_context *context)
{
    pa_context_set_subscribe_callback(context, &PulseServer::onSubscription, this);
    if (pa_operation *op = pa_context_subscribe(
            context, pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SERVER | PA_SUBSCRIPTION_MASK_SINK), nullptr, nullptr))
        pa_operation_unref(op);
    if (pa_operation *op = pa_context_get_server_info(context, &PulseServer::onServerInfo, this))
        pa_operation_unref(op);
}

void PulseServer::onSubscription(pa_context *context, pa_subscription_event_type_t type, uint32_t, void *self)
{
    // A default switch raises several server changes and a sink event; comparing names filters them.
    const int facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
    if (facility != PA_SUBSCRIPTION_EVENT_SERVER && facility != PA_SUBSCRIPTION_EVENT_SINK)
        return;
    if (pa_operation *op = pa_context_get_server_info(context, &PulseServer::onServerInfo, self))
        pa_operation_unref(op);
}

void PulseServer::onServerInfo(pa_context *context, const pa_server_info *info, void *self)
{
    auto *server = static_cast<PulseServer *>(self);
    if (!info || context != server->m_context)
        return;
    const QString name = IsRealSink(info->default_sink_name) ? QString::fromUtf8(info->default_sink_name) : QString();
    if (!server->m_known) {
        server->m_known = true;
        server->m_lastDefault = name;
        return;
    }
    server->announce(name);
}

void PulseServer::announce(const QString &name)
{
    if (m_known && name == m_lastDefault)
        return;
    m_known = true;
    m_lastDefault = name;
    // Emitted on the main loop's thread: the watcher lives on the GUI thread, so it is queued.
    if (OutputWatcher *watcher = s_watcher.load())
        Q_EMIT watcher->defaultOutputChanged(name);
}

OutputWatcher *AudioOutputWatcher()
{
    // Made on the GUI thread only; the main loop thread merely reads the pointer.
    QCoreApplication *app = QCoreApplication::instance();
    if (!s_watcher.load() && app && QThread::currentThread() == app->thread()) {
        auto *watcher = new OutputWatcher(app);
        QObject::connect(watcher, &QObject::destroyed, [] { s_watcher.store(nullptr); });
        s_watcher.store(watcher);
    }
    return s_watcher.load();
}

} // namespace platform
