#include "lighting/QBaseEffctThread.h"

QBaseEffctThread *QBaseEffctThread::instance()
{
    static QBaseEffctThread *self = new QBaseEffctThread;
    return self;
}

void QBaseEffctThread::On_StopThread()
{
    m_running.store(false);
    if (isRunning())
        wait();
}

void QBaseEffctThread::run()
{
    while (m_running.load())
        msleep(10);
}
