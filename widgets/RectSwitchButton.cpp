#include "widgets/RectSwitchButton.h"
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "widgets/QAcThread.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

RectSwitchButton::RectSwitchButton(QWidget *parent)
    : QWidget(parent), m_textOn(QStringLiteral("已开启")), m_textOff(QStringLiteral("已关闭"))
{
    m_ticker = new QAcThread(this);
    connect(m_ticker, &QAcThread::runsignal, this, &RectSwitchButton::updateValue);
    if (MainWidget *main = MainWidget::instance())
        connect(main, &MainWidget::LangualChange, this, &RectSwitchButton::on_LanguageChange);
}

RectSwitchButton::~RectSwitchButton()
{
    m_ticker->Stop();
    m_ticker->wait();
}

bool RectSwitchButton::IsTravelling() const
{
    return m_ticker->IsTicking();
}

void RectSwitchButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_checked = !m_checked;
    Q_EMIT statusChanged(m_checked);
    moveKnob();
}

void RectSwitchButton::setChecked(bool checked)
{
    m_checked = checked;
    moveKnob();
}

void RectSwitchButton::moveKnob()
{
    // At least one pixel per tick, or a narrow switch would tick for ever.
    m_step = std::max(1, width() / 10);
    m_endX = m_checked ? width() - height() : 0;
    if (!m_animation) {
        m_startX = m_endX;
        update();
    } else {
        m_ticker->Start();
    }
}

void RectSwitchButton::updateValue()
{
    if (m_checked) {
        if (m_startX >= m_endX) {
            m_startX = m_endX;
            m_ticker->Stop();
        } else {
            m_startX += m_step;
        }
    } else {
        if (m_startX > m_endX) {
            m_startX -= m_step;
        } else {
            m_startX = m_endX;
            m_ticker->Stop();
        }
    }
    update();
}

void RectSwitchButton::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Pages set the state before layout gives the switch its size: keep the knob at its end.
    m_endX = m_checked ? width() - height() : 0;
    m_step = std::max(1, width() / 10);
    if (!m_ticker->IsTicking())
        m_startX = m_endX;
}

void RectSwitchButton::on_LanguageChange()
{
    m_textOn = GetLangText(316);
    m_textOff = GetLangText(98);
    update();
}

void RectSwitchButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const int w = width();
    const int h = height();
    const int side = std::min(w, h);

    QColor bg = m_checked ? m_bgColorOn : m_bgColorOff;
    if (isEnabled())
        bg.setAlpha(150);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(0, 0, side, side), 30, 30, Qt::RelativeSize);
    shape.addRoundedRect(QRectF(w - side, 0, side, side), 30, 30, Qt::RelativeSize);
    shape.addRect(QRectF(side / 2.0, 0, w - side, h));
    // The pieces run the same way round, so the winding rule fills their union in one pass. Merging
    // them into one outline (simplified(), united()) loses the right end where their edges meet.
    shape.setFillRule(Qt::WindingFill);
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawPath(shape);

    const int knobSpace = side - 2 * m_space - 5;
    p.setPen(m_textColor);
    if (m_checked)
        p.drawText(QRect(0, 0, w - knobSpace, h), Qt::AlignCenter, m_textOn);
    else
        p.drawText(QRect(knobSpace, 0, w - knobSpace, h), Qt::AlignCenter, m_textOff);

    const int knobSide = side - 5 * m_space;
    const int kx = int(m_startX + 2.5 * m_space);
    const int ky = int(2.5 * m_space);
    p.setPen(Qt::NoPen);
    p.setBrush(m_checked ? m_sliderColorOn : m_sliderColorOff);
    p.drawRoundedRect(QRect(kx, ky, knobSide, knobSide), 25, 25, Qt::RelativeSize);
}

#define QUORIX_SWITCH_SETTER(name, member, type)                                                                      \
    void RectSwitchButton::name(type value)                                                                          \
    {                                                                                                                \
        if (member != value) {                                                                                       \
            member = value;                                                                                          \
            update();                                                                                                \
        }                                                                                                            \
    }

QUORIX_SWITCH_SETTER(setSpace, m_space, int)
QUORIX_SWITCH_SETTER(setRadius, m_radius, int)
QUORIX_SWITCH_SETTER(setShowText, m_showText, bool)
QUORIX_SWITCH_SETTER(setShowCircle, m_showCircle, bool)
QUORIX_SWITCH_SETTER(setAnimation, m_animation, bool)
QUORIX_SWITCH_SETTER(setBgColorOn, m_bgColorOn, const QColor &)
QUORIX_SWITCH_SETTER(setBgColorOff, m_bgColorOff, const QColor &)
QUORIX_SWITCH_SETTER(setSliderColorOn, m_sliderColorOn, const QColor &)
QUORIX_SWITCH_SETTER(setSliderColorOff, m_sliderColorOff, const QColor &)
QUORIX_SWITCH_SETTER(setTextColor, m_textColor, const QColor &)
QUORIX_SWITCH_SETTER(setTextOn, m_textOn, const QString &)
QUORIX_SWITCH_SETTER(setTextOff, m_textOff, const QString &)
