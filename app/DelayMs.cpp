#include "app/DelayMs.h"
#include "app/NestedWait.h"

#include <QEventLoop>
#include <QTimer>

void DelayMs(int ms, const char *file, int line)
{
    if (ms <= 0)
        return;
    NestedWait::Scope wait(file, line);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms);
    NestedWait::Exec(loop);
}
