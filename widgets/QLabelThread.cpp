#include "widgets/QLabelThread.h"

#include <chrono>

QLabelThread::QLabelThread(QObject *parent)
    : QThread(parent)
{
}

QLabelThread::~QLabelThread()
{
    clearRunFlag();
    wait();
}

void QLabelThread::run()
{
    while (m_run.load()) {
        Q_EMIT Runone();
        std::unique_lock<std::mutex> lock(m_sleepMutex);
        m_sleepWake.wait_for(lock, std::chrono::milliseconds(100), [this] { return !m_run.load(); });
    }
}

void QLabelThread::on_StateThred()
{
    // A loop that is still winding down from a stop is joined first, so that start() is not a
    // no-op on a thread that is about to end.
    if (isRunning() && !m_run.load())
        wait();
    m_run.store(true);
    if (!isRunning())
        start(QThread::InheritPriority);
}

void QLabelThread::on_StopThred()
{
    clearRunFlag();
    wait();
    quit();
}

bool QLabelThread::StopAndWait(unsigned long timeoutMs)
{
    clearRunFlag();
    const bool ended = wait(timeoutMs);
    quit();
    return ended;
}

void QLabelThread::clearRunFlag()
{
    {
        std::lock_guard<std::mutex> lock(m_sleepMutex);
        m_run.store(false);
    }
    m_sleepWake.notify_all();
}
