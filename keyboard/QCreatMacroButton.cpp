#include "keyboard/QCreatMacroButton.h"

#include <QMouseEvent>
#include <QPainter>

QCreatMacroButton::QCreatMacroButton(QWidget *parent) : QCreatMacroButton(3, parent) {}

QCreatMacroButton::QCreatMacroButton(int step, QWidget *parent) : QConfigListItemBase(parent), m_step(step)
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &QCreatMacroButton::on_Tick);
}

void QCreatMacroButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT clicked();
}

void QCreatMacroButton::enterEvent(QEvent *)
{
    m_hover = true;
    m_timer.start();
}

void QCreatMacroButton::leaveEvent(QEvent *)
{
    m_hover = false;
    m_timer.start();
}

void QCreatMacroButton::on_Tick()
{
    const int target = m_hover ? 150 : 255;
    const int grey = m_grey;
    if (grey == target) {
        m_timer.stop();
        return;
    }
    m_grey = static_cast<quint16>(grey < target ? std::min(grey + m_step, target) : std::max(grey - m_step, target));
    update();
}

void QCreatMacroButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect bar(QPoint(25, 0), QPoint(width() - 26, height() - 1));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(57, 57, 57));
    p.drawRect(bar);
    p.setPen(QColor(m_grey, m_grey, m_grey));
    p.drawText(bar, Qt::AlignCenter, m_left);
}
