#include "widgets/ScreenAtCursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

QScreen *ScreenAtCursor()
{
    const QPoint cursor = QCursor::pos();
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (QScreen *screen : screens) {
        if (screen->geometry().contains(cursor))
            return screen;
    }
    return QGuiApplication::primaryScreen();
}
