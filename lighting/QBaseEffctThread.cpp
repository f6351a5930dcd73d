#include "lighting/QBaseEffctThread.h"

#include <QPointer>

QBaseEffctThread *QBaseEffctThread::instance()
{
    // A pointer that follows the thread's owner: after the on-screen keyboard has deleted it,
    // the next use makes a new one.
    static QPointer<QBaseEffctThread> self;
    if (!self)
        self = new QBaseEffctThread;
    return self;
}

void QBaseEffctThread::On_StopThread()
{
    m_running.store(false);
    if (isRunning())
        wait();
}

void QBaseEffctThread::on_Reset_Speed_Luminance(int, int) {}

void QBaseEffctThread::on_ChangLightModel(int, int, int, int, uchar, uchar, uchar)
{
    ++m_modelRequests;
}

void QBaseEffctThread::run()
{
    while (m_running.load())
        msleep(10);
}
