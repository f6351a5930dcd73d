#pragma once
// The process's one PulseAudio connection: a threaded main loop and a context, made on first use
// and kept for the life of the process (the analyser's stream lives as long).
#include <QString>
#include <functional>
#include <pulse/pulseaudio.h>

namespace platform {

class PulseServer
{
public:
    static PulseServer &instance();

    // The main loop's lock; callbacks run with it held on the main loop's own thread.
    void lock() { pa_threaded_mainloop_lock(m_loop); }
    void unlock() { pa_threaded_mainloop_unlock(m_loop); }

    // With the lock held: a ready context, (re)connecting when there is none or it failed.
    // Null when no server answers within timeoutMs.
    pa_context *readyContext(int timeoutMs);
    // With the lock held: polls done() until it is true or timeoutMs pass (the lock is let go
    // between polls, so that callbacks can run). False on time-out.
    bool waitUntil(const std::function<bool()> &done, int timeoutMs);
    // With the lock held: the server's default sink, empty for none or the dummy "auto_null".
    QString defaultSinkName(pa_context *context, int timeoutMs);

    static bool IsRealSink(const char *name);

private:
    PulseServer();
    void subscribe(pa_context *context);
    static void onContextState(pa_context *context, void *self);
    static void onSubscription(pa_context *context, pa_subscription_event_type_t type, uint32_t index, void *self);
    static void onServerInfo(pa_context *context, const pa_server_info *info, void *self);
    void announce(const QString &name);

    pa_threaded_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
    QString m_lastDefault; // main loop thread only, after the first query
    bool m_known = false;
};

} // namespace platform
