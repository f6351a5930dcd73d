#include "keyboard/QLeftMuenTabWidget.h"
#include "keyboard/QConfigList.h"
#include "widgets/AppFont.h"

#include <QLabel>
#include <QTabBar>
#include <QVBoxLayout>

QLeftMuenTabWidget::QLeftMuenTabWidget(QWidget *parent) : QTabWidget(parent)
{
    tabBar()->hide();
}

QConfigList *QLeftMuenTabWidget::AddListTab(const QString &tabName, const QString &caption,
                                            const QVector<ConfigItem *> &items)
{
    tabBar()->hide();
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("backWidget_") + caption);
    page->setStyleSheet(QStringLiteral("background-color:#00000000; Padding:0px; border:none;"));
    auto *layout = new QVBoxLayout(page);
    auto *label = new QLabel(caption, page);
    label->setStyleSheet(QStringLiteral("QLabel{color: rgb(255, 255, 255);  border-bottom:1px solid #474747;}"));
    label->setFont(LoadAppFont(12));
    label->setWordWrap(true);
    layout->addWidget(label);
    auto *list = new QConfigList(page);
    list->setObjectName(QStringLiteral("TAB_") + tabName);
    list->LoadItems(items);
    layout->addWidget(list);
    addTab(page, tabName);
    return list;
}
