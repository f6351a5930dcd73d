#include "app/DelayMs.h"

#include <QEventLoop>
#include <QTimer>

void DelayMs(int ms)
{
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms);
    loop.exec();
}
