#include "keyboard/QExPandeItem.h"

#include <QMouseEvent>
#include <QPainter>

QExPandeItem::QExPandeItem(QWidget *parent)
    : QConfigListItemBase(parent), m_up(QStringLiteral(":/new/prefix1/Imges/Arr_Up.png")),
      m_down(QStringLiteral(":/new/prefix1/Imges/Arr_Down.png"))
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &QExPandeItem::on_Tick);
}

void QExPandeItem::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_collapsed = !m_collapsed;
    Q_EMIT Expande(this, m_collapsed);
    Q_EMIT clicked();
    Q_EMIT clicked(m_collapsed);
    update();
}

void QExPandeItem::enterEvent(QEvent *)
{
    m_hover = true;
    m_timer.start();
}

void QExPandeItem::leaveEvent(QEvent *)
{
    m_hover = false;
    m_timer.start();
}

void QExPandeItem::on_Tick()
{
    const quint16 target = m_hover ? 150 : 255;
    if (m_grey == target) {
        m_timer.stop();
        return;
    }
    m_grey = m_grey < target ? m_grey + 1 : m_grey - 1;
    update();
}

void QExPandeItem::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int w = width(), h = height();
    if (!m_left.isEmpty()) {
        p.setPen(QPen(QColor(m_grey, m_grey, m_grey), 2));
        p.drawText(QRect(QPoint(0, 0), QPoint(int(w * 0.7) - 1, h - 1)), Qt::AlignLeft | Qt::AlignVCenter, m_left);
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(QRectF(w * 0.9, h * 0.3, w * 0.05, h * 0.3), m_collapsed ? m_down : m_up, QRectF());
}
