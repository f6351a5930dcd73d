#include "keyboard/QLeftMuenTabWidget.h"
#include "app/IniOpeners.h"
#include "app/MainWidget.h"
#include "app/NestedWait.h"
#include "app/QXM_Process.h"
#include "device/HID_API.h"
#include "keyboard/QConfigList.h"
#include "keyboard/QUserConfig_Item.h"
#include "macros/ConfigDirFiles.h"
#include "widgets/AppFont.h"
#include "widgets/QMlanguageLabel.h"

#include <QColor>
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
    // The list's own delete: held while a wait runs, refused while keys play the macro.
    if (QConfigList *list = FirstListOfType(5))
        list->on_deleteItem(name);
}

void QLeftMuenTabWidget::DeleteUserConfigFile(const QString &name)
{
    // The row goes with its file: not while a wait runs, it may be the row that began it.
    if (NestedWait::Held(this, [this, name] { DeleteUserConfigFile(name); }))
        return;
    MainWidget *main = MainWidget::instance();
    QConfigList *list = FirstListOfType(8);
    if (!list || !main || HID_API::PageDeviceGoing() || !IsSafeFileComponent(name)
        || QUserConfig_Item::IsProtectedName(name) || !list->FindItem(name))
        return; // a second press held in the same wait finds its row gone
    // The configuration in use is saved after every change: deleting it would lose the page's
    // pictures. Refusals say what the configuration panel says.
    const QColor grey(178, 179, 180);
    const std::unique_ptr<QSettings> ini(main->OpenProductDataIni());
    if (ConfigDirFiles::IsReserved(name) || (ini && ini->value(QStringLiteral("default/UserConfig")).toString() == name)) {
        main->ShowMessage(grey, GetLangText(ConfigDirFiles::IsReserved(name) ? 761 : 760), true);
        return;
    }
    const ConfigDirFiles::Result result = ConfigDirFiles(main->UserConfigDir()).Remove(name);
    if (result == ConfigDirFiles::Result::Ok || result == ConfigDirFiles::Result::Missing)
        list->RemoveItem(name);
    if (result != ConfigDirFiles::Result::Ok)
        main->ShowMessage(grey, GetLangText(ConfigDirFiles::RefusalTextId(result)), true);
}
