#include "app/QGlobalSetWidget.h"
#include "app/InerWidget.h"
#include "app/QTitleWin.h"

#include <QGridLayout>
#include <QTimer>

QGlobalSetWidget::QGlobalSetWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("QGlobalSetWidget"));
    resize(1357, 635);
    setWindowTitle(QStringLiteral("Form"));
    setAttribute(Qt::WA_DeleteOnClose);
    gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setSpacing(1);
    gridLayout->setContentsMargins(1, 1, 1, 1);
    widget = new InerWidget(this);
    widget->setObjectName(QStringLiteral("widget"));
    gridLayout->addWidget(widget, 0, 0);
    connect(widget, &InerWidget::MLan, this, &QGlobalSetWidget::on_MLan);
}

bool QGlobalSetWidget::IsCloseToTray() const
{
    return widget && widget->IsCloseToTray();
}

void QGlobalSetWidget::RefreshLangual()
{
    widget->RefreshLangual();
}

void QGlobalSetWidget::on_MLan(uchar lan)
{
    Q_EMIT SetCurrLanguage(lan);
    RefreshLangual();
}

void QGlobalSetWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The title bar's icon button comes back once the page has settled; deferred rather than
    // waited for, so that no nested event loop runs inside the show.
    QTimer::singleShot(500, this, [] {
        if (QTitleWin *title = QTitleWin::Instance())
            title->SetMenuButtonHidden(false);
    });
}
