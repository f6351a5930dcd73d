#include "keyboard/QAddAppButton_Item.h"

#include <QMouseEvent>
#include <QPainter>

QAddAppButton_Item::QAddAppButton_Item(QWidget *parent) : QConfigListItemBase(parent) {}

void QAddAppButton_Item::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
}

void QAddAppButton_Item::enterEvent(QEvent *)
{
    m_hover = true;
    update();
}

void QAddAppButton_Item::leaveEvent(QEvent *)
{
    m_hover = false;
    update();
}

void QAddAppButton_Item::paintEvent(QPaintEvent *)
{
    if (m_left.isEmpty())
        return;
    QPainter p(this);
    p.setPen(QPen(m_hover ? QColor(221, 221, 221) : QColor(Qt::white), 2));
    p.drawText(QRect(QPoint(0, 0), QPoint(int(width() * 0.4) - 1, height() - 1)), Qt::AlignLeft | Qt::AlignVCenter, m_left);
}
