#include "widgets/QWaitGifWidget.h"
#include "app/QXM_Process.h"
#include "widgets/AppFont.h"

#include <QHBoxLayout>
#include <QLabel>
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
    // A plain QWidget paints a style-sheet background only with this attribute.
    setAttribute(Qt::WA_StyledBackground);
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
    label_2->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);"));
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
    label_2->setStyleSheet(QStringLiteral("color: rgb(%1, %1, %1);").arg(m_level));
}
