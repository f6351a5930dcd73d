#include "widgets/ScreenAtCursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

QScreen *ScreenAtCursor()
{
    if (QScreen *s = QGuiApplication::screenAt(QCursor::pos()))
        return s;
    return QGuiApplication::primaryScreen();
}
