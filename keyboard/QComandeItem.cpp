#include "keyboard/QComandeItem.h"

#include <QMouseEvent>
#include <QPainter>

QComandeItem::QComandeItem(QWidget *parent) : QConfigListItemBase(parent) {}

void QComandeItem::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        Q_EMIT clicked();
        Q_EMIT clicked(false);
        update();
        m_dragging = false;
    } else {
        // Another button drags at once but shows no picture; the release still drops.
        m_dragging = true;
    }
}

void QComandeItem::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging) {
        m_dragging = true;
        Q_EMIT DragLeftPress(DragText(), QPixmap());
    }
    Q_EMIT DragLeftMove(event->globalPos());
}

void QComandeItem::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
    Q_EMIT DragLeftRePress(DragText(), QPixmap(), m_code, 0, m_leftId, m_centreId);
}

void QComandeItem::enterEvent(QEvent *)
{
    m_hover = true;
    update();
}

void QComandeItem::leaveEvent(QEvent *)
{
    m_hover = false;
    update();
}

void QComandeItem::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int w = width(), h = height();
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    p.setPen(QPen(Qt::white, 1));
    p.drawText(QRect(0, 0, int(w * 0.4), h), flags, m_left);
    p.setPen(QPen(m_hover ? QColor(Qt::white) : QColor(175, 177, 180), 1));
    p.drawText(QRect(int(w * 0.45), 0, int(w * 0.4), h), flags, m_centre);
    PaintBorder(p);
}
