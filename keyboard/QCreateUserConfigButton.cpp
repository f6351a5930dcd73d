#include "keyboard/QCreateUserConfigButton.h"

#include <QMouseEvent>

QCreateUserConfigButton::QCreateUserConfigButton(QWidget *parent) : QCreatMacroButton(5, parent) {}

void QCreateUserConfigButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
}
