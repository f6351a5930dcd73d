#include "widgets/QSliderAlterMax.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

QSliderAlterMax::QSliderAlterMax(QWidget *parent) : QWidget(parent)
{
    computeGeometry();
}

void QSliderAlterMax::setValue(unsigned int value)
{
    m_value = std::max(min, std::min(max, value));
    // An empty or inverted range has no positions to spread over.
    if (max > min)
        m_position = unsigned(float(max) * float(m_value - min) / float(max - min));
    else
        m_position = 0;
    update();
}

void QSliderAlterMax::computeGeometry()
{
    m_grooveTop = (height() - m_grooveHeight) / 2;
    m_grooveStart = m_margin;
    m_grooveWidth = width() - 2 * m_margin;
    const int travel = m_grooveWidth - m_handleWidth;
    m_scale = (max > 0 && travel > 0) ? float(travel) / float(max) : 0.0f;
    m_handleRect = QRect(int(m_position * m_scale + m_margin), (height() - m_handleHeight) / 2, m_handleWidth, m_handleHeight);
}

unsigned int QSliderAlterMax::positionAt(int x) const
{
    if (m_scale <= 0)
        return 0;
    const float p = float(std::max(0, x - m_margin)) / m_scale;
    return std::min(max, unsigned(p));
}

float QSliderAlterMax::valueAtPosition() const
{
    if (max == 0 || max < min)
        return float(min);
    return float(m_position) * float(max - min) / float(max) + float(min);
}

unsigned int QSliderAlterMax::snapped(float v) const
{
    unsigned int result = unsigned(v);
    if (stepSize >= 2)
        result = result / unsigned(stepSize) * unsigned(stepSize);
    // Snapping down may leave the range (min 10, step 25); never send such a value on.
    return std::max(min, std::min(max, result));
}

void QSliderAlterMax::mousePressEvent(QMouseEvent *event)
{
    if (!isEnabled() || !isVisible() || event->button() != Qt::LeftButton)
        return;
    computeGeometry();
    const int x = event->pos().x();
    if (m_handleRect.contains(event->pos())) {
        m_handlePressed = true;
        return;
    }
    if (x >= m_grooveStart && x <= m_grooveWidth) {
        m_position = positionAt(x);
        update();
        m_groovePressed = true;
    }
}

void QSliderAlterMax::mouseMoveEvent(QMouseEvent *event)
{
    if (!isEnabled() || !isVisible() || !m_handlePressed)
        return;
    const int x = std::max(m_grooveStart, std::min(m_grooveWidth, event->pos().x()));
    m_position = positionAt(x);
    update();
    const float v = valueAtPosition();
    m_value = unsigned(v);
    Q_EMIT valueChanged(snapped(v));
}

void QSliderAlterMax::mouseReleaseEvent(QMouseEvent *event)
{
    if (!isEnabled() || !isVisible())
        return;
    if (m_handlePressed || m_groovePressed) {
        const float v = valueAtPosition();
        if (stepSize < 2) {
            m_value = snapped(v);
            update();
        } else {
            setValue(snapped(v));
        }
        Q_EMIT valueChanged(m_value);
        Q_EMIT sliderReleased(m_value);
        Q_EMIT sliderReleased();
    }
    m_handlePressed = false;
    m_groovePressed = false;
}

void QSliderAlterMax::enterEvent(QEvent *)
{
    update();
}

void QSliderAlterMax::leaveEvent(QEvent *)
{
    update();
}

void QSliderAlterMax::paintEvent(QPaintEvent *)
{
    computeGeometry();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QRectF groove(m_grooveStart, m_grooveTop, m_grooveWidth, m_grooveHeight);
    if (!isEnabled()) {
        p.setBrush(QColor(38, 38, 38, 200));
        p.drawRoundedRect(groove, 3.5, 3.5);
        return;
    }
    p.setBrush(QColor(54, 54, 54));
    p.drawRoundedRect(groove, 3.5, 3.5);
    p.setBrush(QColor(40, 86, 154, 176));
    p.drawRoundedRect(QRectF(m_grooveStart, m_grooveTop, m_position * m_scale + m_margin, m_grooveHeight), 3.5, 3.5);
    p.setBrush(QColor(240, 241, 242));
    p.drawRoundedRect(m_handleRect, 3, 3);
}
