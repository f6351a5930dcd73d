#include "widgets/QWaitGifWidget.h"
#include "app/QXM_Process.h"
#include "widgets/AppFont.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QPaintEvent>
#include <QTimer>
#include <QVBoxLayout>

QWaitGifWidget::QWaitGifWidget(QWidget *parent)
    : QWidget(parent)
    , m_timer(new QTimer(this))
{
    setupUi();
    connect(m_timer, &QTimer::timeout, this, &QWaitGifWidget::on_timerout);
    ApplyAppFont(label_2, 35);
    RefreshLanguage();
}

void QWaitGifWidget::setupUi()
{
    setObjectName(QStringLiteral("QWaitGifWidget"));
    resize(1128, 754);
    // The page paints its opaque style-sheet background itself (paintEvent) and says so, so that a
    // tick of the pulse repaints the text over it and nothing of the window beneath.
    setAttribute(Qt::WA_StyledBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setStyleSheet(QStringLiteral("#QWaitGifWidget{background-color: #000000;}"));
    verticalLayout = new QVBoxLayout(this);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->addStretch();
    // The row that once held a spinner next to the text; the page shows only the text.
    auto *row = new QHBoxLayout;
    row->setObjectName(QStringLiteral("horizontalLayout"));
    row->addStretch();
    row->addStretch();
    verticalLayout->addLayout(row);
    label_2 = new QLabel(this);
    label_2->setObjectName(QStringLiteral("label_2"));
    label_2->setMinimumSize(360, 50);
    // The text colour lives in the palette: the pulse changes it 50 times a second, and a style
    // sheet would be parsed and the label re-polished on every change.
    setTextGrey(255);
    label_2->setAlignment(Qt::AlignCenter);
    label_2->setText(QStringLiteral("请连接设备"));
    verticalLayout->addWidget(label_2);
    verticalLayout->addStretch();
    setWindowTitle(QStringLiteral("Form"));
}

void QWaitGifWidget::RefreshLanguage()
{
    label_2->setText(GetLangText(150));
}

void QWaitGifWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_rising = true;
    m_level = 50;
    m_timer->start(20);
}

void QWaitGifWidget::paintEvent(QPaintEvent *event)
{
    // The style sheet's background colour, which it puts in the palette; a plain fill of the
    // dirty area costs less than the style drawing it.
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(event->rect(), palette().brush(QPalette::Window));
}

void QWaitGifWidget::hideEvent(QHideEvent *event)
{
    m_timer->stop();
    QWidget::hideEvent(event);
}

void QWaitGifWidget::on_timerout()
{
    if (m_rising) {
        if (m_level > 240) {
            m_rising = false;
            return;
        }
        m_level += 8;
    } else {
        if (m_level < 50) {
            m_rising = true;
            return;
        }
        m_level -= 8;
    }
    applyLevel();
}

void QWaitGifWidget::applyLevel()
{
    setTextGrey(m_level);
}

void QWaitGifWidget::setTextGrey(int level)
{
    QPalette palette = label_2->palette();
    palette.setColor(QPalette::WindowText, QColor(level, level, level));
    label_2->setPalette(palette);
}
