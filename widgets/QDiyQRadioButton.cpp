#include "widgets/QDiyQRadioButton.h"

#include <QPainter>

QDiyQRadioButton::QDiyQRadioButton(QWidget *parent) : QRadioButton(parent) {}

void QDiyQRadioButton::SetButtonText(const QString &text)
{
    setMinimumWidth(18 * text.length());
    setText(text);
}

QColor QDiyQRadioButton::UnderlineColour() const
{
    if (isChecked())
        return QColor(m_level, 0, 0);
    if (m_hover)
        return QColor(0, m_level, 0);
    return QColor(0, 180, 0);
}

void QDiyQRadioButton::enterEvent(QEvent *event)
{
    m_hover = true;
    update();
    QRadioButton::enterEvent(event);
}

void QDiyQRadioButton::leaveEvent(QEvent *event)
{
    m_hover = false;
    update();
    QRadioButton::leaveEvent(event);
}

void QDiyQRadioButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const int h = height();
    const int lineTop = int(0.8 * h);
    p.setPen(Qt::NoPen);
    p.fillRect(QRect(0, lineTop, width(), h - lineTop), UnderlineColour());
    p.setPen(isChecked() ? QColor(Qt::white) : QColor(180, 180, 180));
    p.drawText(QRect(0, 0, width(), lineTop), Qt::AlignCenter, text());
}
