#include "keyboard/QLeftMuenTabWidget.h"
#include "app/IniOpeners.h"
#include "app/MainWidget.h"
#include "keyboard/QConfigList.h"
#include "keyboard/QUserConfig_Item.h"
#include "macros/QJsonConfing.h"
#include "widgets/AppFont.h"
#include "widgets/QMlanguageLabel.h"

#include <QFile>
#include <QSettings>
#include <QTabBar>
#include <QVBoxLayout>
#include <memory>

QLeftMuenTabWidget::QLeftMuenTabWidget(QWidget *parent) : QTabWidget(parent)
{
    tabBar()->hide();
}

QConfigList *QLeftMuenTabWidget::AddListTab(const QString &tabName, const QString &caption, quint16 captionId,
                                            QWidget *page, const QVector<ConfigItem *> &items)
{
    tabBar()->hide();
    auto *back = new QWidget(page);
    back->setObjectName(QStringLiteral("backWidget_") + caption);
    back->setStyleSheet(QStringLiteral("background-color:#00000000; Padding:0px; border:none;"));
    auto *layout = new QVBoxLayout(back);
    auto *label = new QMlanguageLabel(back);
    label->TextId = captionId;
    label->setStyleSheet(QStringLiteral("QLabel{color: rgb(255, 255, 255);  border-bottom:1px solid #474747;}"));
    label->setFont(LoadAppFont(12));
    label->setText(caption);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto *list = new QConfigList(back);
    list->setObjectName(QStringLiteral("TAB_") + tabName);
    list->setStyleSheet(QStringLiteral("QListWidget{border:none;background-color:#00000000;  outline:none;} "
                                       "QListWidget::item  {  Padding:0px; outline:none;  min-height:35px; "
                                       "color:#ffffff; background-color:#00000000;}"));
    list->LoadItems(items);
    layout->addWidget(list);
    addTab(back, tabName);
    return list;
}

QConfigList *QLeftMuenTabWidget::FirstListOfType(int type) const
{
    for (int i = 0; i < count(); ++i) {
        QConfigList *list = widget(i) ? widget(i)->findChild<QConfigList *>() : nullptr;
        if (list && list->FirstRowType() == type)
            return list;
    }
    return nullptr;
}

void QLeftMuenTabWidget::DeleteMacroFile(const QString &name)
{
    QConfigList *list = FirstListOfType(5);
    if (!list)
        return;
    list->RemoveItem(name);
    QJsonConfing store;
    const QString path = QJsonConfing::MacroFilePath(store.MacroDir(), name);
    if (!path.isEmpty())
        QFile::remove(path);
}

void QLeftMuenTabWidget::DeleteUserConfigFile(const QString &name)
{
    MainWidget *main = MainWidget::instance();
    QConfigList *list = FirstListOfType(8);
    if (!list || !main || !IsSafeFileComponent(name) || QUserConfig_Item::IsProtectedName(name))
        return;
    // The configuration in use is saved after every change: deleting it would lose the page's pictures.
    const std::unique_ptr<QSettings> ini(main->OpenProductDataIni());
    if (ini && ini->value(QStringLiteral("default/UserConfig")).toString() == name)
        return;
    list->RemoveItem(name);
    QFile::remove(QStringLiteral("%1/%2.xml").arg(main->UserConfigDir(), name));
}
