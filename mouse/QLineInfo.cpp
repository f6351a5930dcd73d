#include "mouse/QLineInfo.h"
#include "app/QXM_Process.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

QLineInfo::QLineInfo(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    m_Timer.setInterval(3);
    connect(&m_Timer, &QTimer::timeout, this, &QLineInfo::on_TimeOut);
    connect(QXM_Process::instance(), &QXM_Process::LanguageChange, this, &QLineInfo::on_RefreshLangual);
}

void QLineInfo::SetLineInfo(const QRect &rect, const QString &text, const QString &code, uint8_t slope,
                            uint8_t direction, uint16_t sendAddress)
{
    setGeometry(rect);
    m_DefaultText = text;
    m_ReName = text;
    m_DefaultCode = code;
    m_Slope = slope;
    m_Direction = direction;
    m_SendAddress = sendAddress;
    const double w = rect.width(), h = rect.height();
    const bool just = slope == 1;
    const double b = just ? 0.3 * h : 0.7 * h;
    auto pt = [](double x, double y) { return QPoint(static_cast<int>(x), static_cast<int>(y)); };
    switch (direction) {
    case SRight: m_P1 = m_P2 = pt(0.1 * w, 0.5 * h); m_P3 = pt(0.9 * w, 0.5 * h); break;
    case SUp: m_P1 = m_P2 = pt(0.5 * w, h - 0.1 * h); m_P3 = pt(0.5 * w, 0.23 * h); break;
    case SDottom: m_P1 = m_P2 = pt(0.5 * w, 0.1 * h); m_P3 = pt(0.5 * w, 0.85 * h); break;
    case BLeft: m_P1 = pt(0.9 * w, 0.5 * h); m_P2 = pt(0.7 * w, b); m_P3 = pt(0.05 * w, b); break;
    case BRight: m_P1 = pt(0.1 * w, 0.5 * h); m_P2 = pt(0.3 * w, b); m_P3 = pt(0.95 * w, b); break;
    case BUp:
        m_P1 = pt(0.5 * w, h - 0.1 * h);
        m_P2 = just ? pt(0.1 * w, h - 0.2 * h) : pt(0.9 * w, h - 0.2 * h);
        m_P3 = just ? pt(0.2 * w, 0.23 * h) : pt(0.9 * w, 0.23 * h);
        break;
    case BDottom:
        m_P1 = pt(0.5 * w, 0.1 * h);
        m_P2 = just ? pt(0.4 * w, 0.2 * h) : pt(0.6 * w, 0.2 * h);
        m_P3 = just ? pt(0.5 * w, 0.85 * h) : pt(0.6 * w, 0.85 * h);
        break;
    case SLeft:
    default: m_P1 = m_P2 = pt(0.9 * w, 0.5 * h); m_P3 = pt(0.1 * w, 0.5 * h); break;
    }
    m_End = Vertical() ? m_P3.y() : m_P3.x();
    update();
}

bool QLineInfo::Vertical() const
{
    return m_Direction == SUp || m_Direction == SDottom || m_Direction == BUp || m_Direction == BDottom;
}

void QLineInfo::SetDefaultColors()
{
    m_LineColor = QColor(180, 180, 180, 255);
    m_RingColor = QColor(150, 150, 150, 80);
    m_RingFilled = true;
    update();
}

void QLineInfo::SetDragHoverColors()
{
    m_LineColor = QColor(255, 255, 255, 255);
    m_RingColor = QColor(180, 180, 180, 80);
    m_RingFilled = false;
    update();
}

void QLineInfo::on_SetLineBrightColor()
{
    m_LineColor = QColor(255, 255, 255, 255);
    m_RingColor = QColor(200, 200, 200, 80);
    update();
}

void QLineInfo::on_SetLineDarkColor()
{
    m_LineColor = QColor(100, 100, 100, 255);
    m_RingColor = QColor(200, 200, 200, 80);
    update();
}

void QLineInfo::on_DispLineAnimation()
{
    m_Animating = true;
    m_End = Vertical() ? m_P2.y() : m_P2.x();
    m_Timer.start();
}

void QLineInfo::on_TimeOut()
{
    int target;
    int step;
    switch (m_Direction) {
    case SUp: case BUp: target = m_P3.y(); step = -3; break;
    case SDottom: case BDottom: target = m_P3.y(); step = 3; break;
    case SLeft: case BLeft: target = m_P3.x(); step = -3; break;
    default: target = m_P3.x(); step = 3; break;
    }
    m_End += step;
    if ((step < 0 && m_End <= target) || (step > 0 && m_End >= target)) {
        m_End = target;
        m_Animating = false;
        m_Timer.stop();
    }
    update();
}

void QLineInfo::on_RefreshLangual()
{
    QXM_Process *texts = QXM_Process::instance();
    if (m_NameId)
        m_ReName = texts->GetText(m_NameId);
    else if (m_DefaultTextId)
        m_DefaultText = texts->GetText(m_DefaultTextId);
}

void QLineInfo::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool bent = m_Direction >= BLeft;
    auto rings = [&] {
        p.setPen(QPen(m_RingColor, 1));
        p.setBrush(m_RingFilled ? QBrush(m_RingColor) : Qt::NoBrush);
        p.drawEllipse(m_P1, m_RingRadius, m_RingRadius);
        p.setPen(Qt::NoPen);
        p.setBrush(m_LineColor);
        p.drawEllipse(m_P1, 6, 6);
    };
    p.setPen(QPen(m_LineColor, 1));
    if (!m_Animating) {
        p.drawLine(m_P1, m_P2);
        p.drawLine(m_P2, m_P3);
        rings();
        p.setPen(Qt::NoPen);
        p.setBrush(m_LineColor);
        p.drawEllipse(m_P3, 2, 2);
        return;
    }
    if (bent)
        p.drawLine(m_P1, m_P2);
    rings();
    p.setPen(QPen(m_LineColor, 1));
    p.drawLine(m_P2, Vertical() ? QPoint(m_P3.x(), m_End) : QPoint(m_End, m_P3.y()));
}

void QLineInfo::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        auto near = [&](const QPoint &q) { return std::hypot(event->pos().x() - q.x(), event->pos().y() - q.y()) <= 50.0; };
        if (near(m_P1) || near(m_P3))
            Q_EMIT InfoRightRightButton(this);
    }
    QWidget::mousePressEvent(event);
}

void QLineInfo::enterEvent(QEvent *event)
{
    Q_EMIT enterWidget(this);
    QWidget::enterEvent(event);
}

void QLineInfo::leaveEvent(QEvent *event)
{
    Q_EMIT leaveWidget(this);
    QWidget::leaveEvent(event);
}
