#include "widgets/QAcThread.h"

QAcThread::QAcThread(QObject *parent) : QThread(parent) {}

QAcThread::~QAcThread()
{
    // Destroying a running thread aborts the process: end it and wait (at most one tick).
    Stop();
    wait();
}

void QAcThread::Start()
{
    if (m_run.load() && isRunning())
        return;
    // A stopped thread still finishing its last tick ends within 20 ms.
    if (isRunning())
        wait();
    m_run.store(true);
    start(QThread::InheritPriority);
}

void QAcThread::Stop()
{
    m_run.store(false);
    quit();
}

void QAcThread::run()
{
    while (m_run.load()) {
        msleep(20);
        if (m_run.load())
            Q_EMIT runsignal();
    }
}
