#include "widgets/infotext.h"

#include <QPainter>
#include <QPainterPath>
#include <QTimer>

infotext::infotext(QWidget *parent) : QLabel(parent)
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    m_timer = new QTimer(this);
    m_timer->setInterval(10);
    connect(m_timer, &QTimer::timeout, this, &infotext::on_TimeOut);
}

bool infotext::IsFading() const
{
    return m_timer->isActive();
}

void infotext::on_showAction()
{
    m_fadeIn = true;
    m_alpha = 0;
    m_timer->start();
}

void infotext::on_hideAction()
{
    m_fadeIn = false;
    m_alpha = 255;
    update();
}

void infotext::on_TimeOut()
{
    if (m_fadeIn) {
        m_alpha += 10;
        if (m_alpha >= 255) {
            m_alpha = 255;
            m_timer->stop();
        }
    } else {
        m_timer->stop();
    }
    update();
}

void infotext::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = width();
    const qreal h = height();
    const QColor fill(41, 42, 43, m_alpha);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    const qreal bubbleH = h * 0.7;
    p.drawRoundedRect(QRectF(0, 0, w, bubbleH), 5, 5);

    QPainterPath pointer;
    const qreal baseY = bubbleH * 0.8;
    pointer.moveTo(w / 2 - w / 10, baseY);
    pointer.lineTo(w / 2 + w / 10, baseY);
    pointer.lineTo(w / 2, h * 0.85);
    pointer.closeSubpath();
    p.fillPath(pointer, fill);

    p.setPen(QColor(255, 255, 255, m_alpha));
    p.setFont(font());
    p.drawText(QRectF(0, h / 4, w, h - h / 4), Qt::AlignHCenter | Qt::AlignTop, text());
}
