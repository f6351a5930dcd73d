#include "widgets/Battery.h"
#include "widgets/AppFont.h"

#include <QPainter>
#include <QTimer>

#include <algorithm>

Battery::Battery(QWidget *parent) : QWidget(parent)
{
    m_timer = new QTimer(this);
    m_timer->setInterval(10);
    connect(m_timer, &QTimer::timeout, this, &Battery::updateValue);
    setFont(LoadAppFont(25));
}

Battery::~Battery()
{
    m_timer->stop();
}

bool Battery::isAnimating() const
{
    return m_timer->isActive();
}

QSize Battery::sizeHint() const
{
    return QSize(150, 80);
}

QSize Battery::minimumSizeHint() const
{
    return QSize(30, 10);
}

void Battery::setRange(double minValue, double maxValue)
{
    if (minValue >= maxValue)
        return;
    m_minValue = minValue;
    m_maxValue = maxValue;
    if (m_minValue > m_value)
        setValue(m_minValue);
    else if (m_value > m_maxValue)
        setValue(m_maxValue);
    update();
}

void Battery::setRange(int minValue, int maxValue)
{
    setRange(static_cast<double>(minValue), static_cast<double>(maxValue));
}

void Battery::setMinValue(double minValue)
{
    if (minValue >= m_maxValue)
        return;
    m_minValue = minValue;
    if (m_minValue > m_value)
        setValue(m_minValue);
    else if (m_value > m_maxValue)
        setValue(m_maxValue);
    update();
}

void Battery::setMaxValue(double maxValue)
{
    if (maxValue <= m_minValue)
        return;
    m_maxValue = maxValue;
    if (m_minValue > m_value)
        setValue(m_minValue);
    else if (m_value > m_maxValue)
        setValue(m_maxValue);
    update();
}

void Battery::setValue(double value)
{
    if (value == m_value)
        return;
    value = std::max(m_minValue, std::min(m_maxValue, value));
    if (value > m_currentValue) {
        m_isForward = false;
    } else if (value < m_currentValue) {
        m_isForward = true;
    } else {
        m_value = value;
        update();
        return;
    }
    m_value = value;
    update();
    Q_EMIT valueChanged(value);
    m_timer->stop();
    m_timer->start();
}

void Battery::setValue(int value)
{
    setValue(static_cast<double>(value));
}

void Battery::setAlarmValue(double alarmValue)
{
    if (m_alarmValue != alarmValue) {
        m_alarmValue = alarmValue;
        update();
    }
}

void Battery::setAlarmValue(int alarmValue)
{
    setAlarmValue(static_cast<double>(alarmValue));
}

void Battery::setStep(double step)
{
    // A step of zero or less would never reach the value: the glide would run for ever.
    if (step <= 0)
        return;
    if (m_step != step) {
        m_step = step;
        update();
    }
}

void Battery::setStep(int step)
{
    setStep(static_cast<double>(step));
}

#define BATTERY_SETTER(name, member, type)  \
    void Battery::name(type v)              \
    {                                       \
        if (member != v) {                  \
            member = v;                     \
            update();                       \
        }                                   \
    }
BATTERY_SETTER(setBorderWidth, m_borderWidth, int)
BATTERY_SETTER(setBorderRadius, m_borderRadius, int)
BATTERY_SETTER(setBgRadius, m_bgRadius, int)
BATTERY_SETTER(setHeadRadius, m_headRadius, int)
BATTERY_SETTER(setBorderColorStart, m_borderColorStart, const QColor &)
BATTERY_SETTER(setBorderColorEnd, m_borderColorEnd, const QColor &)
BATTERY_SETTER(setAlarmColorStart, m_alarmColorStart, const QColor &)
BATTERY_SETTER(setAlarmColorEnd, m_alarmColorEnd, const QColor &)
BATTERY_SETTER(setNormalColorStart, m_normalColorStart, const QColor &)
BATTERY_SETTER(setNormalColorEnd, m_normalColorEnd, const QColor &)
BATTERY_SETTER(setCharging, m_isCharging, bool)
#undef BATTERY_SETTER

void Battery::updateValue()
{
    if (m_isForward) {
        m_currentValue -= m_step;
        if (m_currentValue <= m_value) {
            m_currentValue = m_value;
            m_timer->stop();
        }
    } else {
        m_currentValue += m_step;
        if (m_currentValue >= m_value) {
            m_currentValue = m_value;
            m_timer->stop();
        }
    }
    update();
}

void Battery::paintEvent(QPaintEvent *)
{
    if (m_value == m_minValue)
        return; // an empty gauge draws nothing, not even its outline
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    drawBorder(&painter);
    drawBg(&painter);
    if (m_isCharging)
        drawCharging(&painter);
}

void Battery::drawBorder(QPainter *painter)
{
    painter->save();
    const int head = width() / 15;
    const QPointF topLeft(m_borderWidth, m_borderWidth + 3);
    const QPointF bottomRight(width() - head, height() - 6 * m_borderWidth);
    m_batteryRect = QRectF(topLeft, bottomRight);
    painter->setPen(QPen(m_borderColorStart, m_borderWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(m_batteryRect, m_borderRadius, m_borderRadius);
    painter->restore();
}

void Battery::drawBg(QPainter *painter)
{
    painter->save();
    QLinearGradient gradient(QPointF(0, 0), QPointF(0, height()));
    if (m_currentValue > m_alarmValue) {
        gradient.setColorAt(0.0, m_normalColorStart);
        gradient.setColorAt(1.0, m_normalColorEnd);
    } else {
        gradient.setColorAt(0.0, m_alarmColorStart);
        gradient.setColorAt(1.0, m_alarmColorEnd);
    }
    const int margin = std::min(width(), height()) / 20;
    // The level follows the range, so that a range other than 0..100 still fills the body.
    const double fraction = (m_currentValue - m_minValue) / (m_maxValue - m_minValue);
    const double unit = (m_batteryRect.width() - margin * 2);
    const QPointF topLeft(m_batteryRect.topLeft().x() + margin, m_batteryRect.topLeft().y() + margin);
    const QPointF bottomRight(margin + unit * std::max(0.0, std::min(1.0, fraction)) + m_borderWidth,
                              m_batteryRect.bottomRight().y() - margin);
    painter->setPen(Qt::NoPen);
    painter->setBrush(gradient);
    painter->drawRoundedRect(QRectF(topLeft, bottomRight), m_bgRadius, m_bgRadius);
    painter->restore();
}

void Battery::drawCharging(QPainter *painter)
{
    const QImage bolt(QStringLiteral(":/new/prefix1/Imges/icons8_lightning_bolt_15px.png"));
    if (bolt.isNull())
        return;
    const QRect target(width() / 2 - 7, height() / 2 - 7, 15, 15);
    painter->drawImage(target, bolt);
}
