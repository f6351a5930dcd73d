#include "widgets/QDottom_Inerwidget.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>

QDottom_Inerwidget::QDottom_Inerwidget(QWidget *parent)
    : QWidget(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(10);
    connect(m_timer, &QTimer::timeout, this, &QDottom_Inerwidget::on_timeout);
}

bool QDottom_Inerwidget::IsCounting() const
{
    return m_timer->isActive();
}

void QDottom_Inerwidget::on_Starte_Animat()
{
    m_bar = rect();
    m_timer->start(10);
}

void QDottom_Inerwidget::on_Stop_Animat()
{
    m_timer->stop();
    update();
}

void QDottom_Inerwidget::on_timeout()
{
    if (m_bar.right() - m_bar.left() < 1) {
        m_timer->stop();
        Q_EMIT end_Animat();
    } else {
        // Shrunk per tick, not per repaint, so extra repaints cannot hurry the countdown.
        m_bar.setRight(m_bar.right() - 2);
    }
    update();
}

void QDottom_Inerwidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // The side colour comes from the dialog's style sheet for this panel.
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(32, 34, 36));
    const QRect panel = rect().adjusted(SideBarWidth, 0, 0, 0);
    painter.drawRoundedRect(panel, 10, 10, Qt::AbsoluteSize);
    if (m_timer->isActive()) {
        QRect bar = m_bar;
        bar.setHeight(height());
        bar.setLeft(qMax(bar.left(), panel.left()));
        if (bar.width() > 0) {
            painter.setBrush(QColor(48, 83, 132));
            painter.drawRoundedRect(bar, 10, 10, Qt::AbsoluteSize);
        }
    }
}
