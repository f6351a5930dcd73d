#include "device/QHID_TempWokThred.h"
#include "app/NestedWait.h"
#include "device/QHid_Work_Interface.h"

#include <QEventLoop>
#include <QTimer>

QHID_TempWokThred::QHID_TempWokThred(QObject *parent) : QThread(parent)
{
}

QHID_TempWokThred::~QHID_TempWokThred()
{
    wait();
}

bool QHID_TempWokThred::WaitIdle(int timeoutMs)
{
    if (!isRunning())
        return true;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &QThread::finished, &loop, &QEventLoop::quit);
    timer.start(timeoutMs);
    NestedWait::Scope wait;
    if (isRunning()) // the read may have ended between the first test and the connection
        NestedWait::Exec(loop);
    return !isRunning();
}

bool QHID_TempWokThred::on_GetProductPassWord(QHid_Work_Interface *FacePtr)
{
    if (!WaitIdle(3000))
        return false; // the earlier read still holds the thread: this request gets no code
    m_worker = FacePtr;
    m_request.fetch_add(1);
    m_busy = true;
    start(QThread::InheritPriority);
    return WaitIdle(3000);
}

void QHID_TempWokThred::run()
{
    const quint64 request = m_request.load();
    QHid_Work_Interface *worker = m_worker;
    if (m_busy && worker) {
        const QString code = worker->ReadDeviceCode();
        Q_EMIT GrabCodeSucceed(code);
        Q_EMIT GrabCodeAnswered(request, code);
    }
    m_busy = false;
}
