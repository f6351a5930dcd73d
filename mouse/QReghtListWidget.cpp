#include "mouse/QReghtListWidget.h"

#include <QMouseEvent>

QReghtListWidget::QReghtListWidget(QWidget *parent) : QListWidget(parent) {}

void QReghtListWidget::mouseReleaseEvent(QMouseEvent *event)
{
    const bool right = event->button() == Qt::RightButton;
    QListWidget::mouseReleaseEvent(event);
    if (right)
        Q_EMIT RightChick();
}
