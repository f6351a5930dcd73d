#include "keyboard/QConfigList.h"
#include "app/DelayMs.h"
#include "app/MainWidget.h"
#include "app/NestedWait.h"
#include "app/QXM_Process.h"
#include "device/HID_API.h"
#include "keyboard/ConfigItemList.h"
#include "keyboard/QConfigBuildManage_Pro.h"
#include "keyboard/QAddAppButton_Item.h"
#include "keyboard/QComandeItem.h"
#include "keyboard/QCreatMacroButton.h"
#include "keyboard/QCreateUserConfigButton.h"
#include "keyboard/QExPandeItem.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QLeftMuenTabWidget.h"
#include "keyboard/QMacro_Item.h"
#include "keyboard/QUserConfig_Item.h"
#include "macros/QJsonConfing.h"
#include "mouse/QLStyleBoraWidget.h"
#include "widgets/AppFont.h"
#include "widgets/QTextAndpictue.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QScrollBar>

namespace {
// The mouse frame's macro tab: while it is checked a drag shows its picture and a mouse drop
// carries it.
bool MouseMacroTabChecked()
{
    const QLStyleBoraWidget *frame = QLStyleBoraWidget::instance();
    return frame && frame->IsThirdButtonChecked();
}
} // namespace

QConfigList::QConfigList(QWidget *parent) : QListWidget(parent)
{
    m_picture = new QTextAndpictue(MainWidget::instance());
    m_picture->setFont(LoadAppFont(15));
    m_picture->hide();
    verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar{background:transparent; width:4px; margin:0px 0px 0px 0px;}            "
        "QScrollBar::handle{background:rgba(223, 223, 225, 200); border:0px; border-radius:2px; margin:0px 0px 0px 0px;}            "
        "QScrollBar::handle:hover{background:lightgray;}            "
        "QScrollBar::handle:pressed{background:rgba(200, 200, 200, 255);}            "
        "QScrollBar::sub-page{background:transparent;}            "
        "QScrollBar::add-page{background:transparent;}            "
        "QScrollBar::up-arrow{background:transparent;}            "
        "QScrollBar::down-arrow{background:transparent;}            "
        "QScrollBar::sub-line{background:transparent; height:0px;}            "
        "QScrollBar::add-line{background:transparent; height:0px;}"));
}

QConfigList::~QConfigList()
{
    for (int i = 0; i < count(); ++i)
        if (QWidget *row = itemWidget(item(i)))
            row->close();
    qDeleteAll(m_groups);
    // The picture hangs on the main window, which outlives the lists.
    delete m_picture.data();
}

QString QConfigList::ResolveText(const QString &text, int *id)
{
    if (id)
        *id = -1;
    if (!text.startsWith(QLatin1Char('@')))
        return text;
    QString number = text;
    number.remove(QLatin1Char('@'));
    const int n = number.toInt();
    if (id)
        *id = n;
    return GetLangText(static_cast<uint>(n));
}

QConfigListItemBase *QConfigList::Row(QListWidgetItem *item) const
{
    return item ? qobject_cast<QConfigListItemBase *>(itemWidget(item)) : nullptr;
}

int QConfigList::FirstRowType() const
{
    const QConfigListItemBase *row = Row(item(0));
    return row ? row->ItemType() : -1;
}

QListWidgetItem *QConfigList::AddItem(uint8_t kind, const QString &left, const QString &centre, const QString &code)
{
    QConfigListItemBase *row = nullptr;
    switch (kind) {
    case 0:
        row = new QExPandeItem;
        connect(row, &QConfigListItemBase::Expande, this, &QConfigList::on_Expande);
        break;
    case 1:
    case 3:
        row = kind == 1 ? static_cast<QConfigListItemBase *>(new QComandeItem) : new QMacro_Item;
        connect(row, &QConfigListItemBase::DragLeftRePress, this, &QConfigList::on_DragLeftRePress);
        connect(row, &QConfigListItemBase::DragLeftPress, this, &QConfigList::on_DragLeftPress);
        connect(row, &QConfigListItemBase::DragLeftMove, this, &QConfigList::on_DragLeftMove);
        // The list alone deletes a macro: row and file go once.
        if (kind == 3)
            connect(static_cast<QMacro_Item *>(row), &QMacro_Item::DeleteItem, this, &QConfigList::on_deleteItem);
        break;
    case 5:
        row = new QCreatMacroButton;
        // The mouse page holds the one new-macro flow (name, then the macro editor); the
        // keyboard page's row uses it too.
        connect(row, qOverload<>(&QConfigListItemBase::clicked), this, [] {
            if (QLStyleBoraWidget *frame = QLStyleBoraWidget::instance())
                frame->on_toEditDefinepage();
        });
        break;
    case 6:
        row = new QAddAppButton_Item;
        break;
    case 7: {
        auto *file = new QUserConfig_Item;
        // A row opens its configuration on the page it sits on.
        connect(file, &QUserConfig_Item::OPenConfigFile, this, [this](const QString &name) {
            QLStyleKeybordTabWidget *keyboard = QLStyleKeybordTabWidget::instance();
            if (keyboard && keyboard->isAncestorOf(this))
                keyboard->on_ConfigDirs_Itemclicked(name);
            else if (QLStyleBoraWidget *frame = QLStyleBoraWidget::instance(); frame && frame->isAncestorOf(this))
                frame->on_ChangeConfig(name);
        });
        // A row deletes through the tab widget it sits in, not through the mouse page's.
        connect(file, &QUserConfig_Item::DeleteItem, this, [this](const QString &name) {
            for (QWidget *w = parentWidget(); w; w = w->parentWidget())
                if (auto *tabs = qobject_cast<QLeftMuenTabWidget *>(w))
                    return tabs->DeleteUserConfigFile(name);
        });
        row = file;
        break;
    }
    case 8:
        row = new QCreateUserConfigButton;
        break;
    default:
        return nullptr;
    }
    ApplyAppFont(row, kind == 5 ? 16 : 14);
    auto *item = new QListWidgetItem;
    item->setSizeHint(QSize(0, 35));
    row->SetItemInfo(left, centre, code);
    addItem(item);
    setItemWidget(item, row);
    return item;
}

void QConfigList::LoadItems(const QVector<ConfigItem *> &items)
{
    for (const ConfigItem *record : items) {
        QListWidgetItem *item = AddItem(record->kind, record->left, record->centre, record->code);
        if (!item)
            continue;
        if (record->kind == 0 || m_groups.isEmpty())
            m_groups.append(new QVector<QListWidgetItem *>);
        m_groups.last()->append(item);
    }
}

void QConfigList::Detach(QListWidgetItem *item)
{
    if (QVector<QListWidgetItem *> *group = GroupOf(item))
        group->removeOne(item);
    item->setHidden(true);
    // The widget goes once the current event is handled: the row may be the one reporting.
    removeItemWidget(item);
    delete takeItem(row(item));
}

QVector<QListWidgetItem *> *QConfigList::GroupOf(QListWidgetItem *item) const
{
    for (QVector<QListWidgetItem *> *group : m_groups)
        if (group->contains(item))
            return group;
    return nullptr;
}

void QConfigList::LoadMacroItems(const QString &productDir)
{
    if (m_groups.isEmpty() || m_groups.first()->isEmpty())
        return;
    const QConfigListItemBase *first = Row(m_groups.first()->first());
    if (!first || first->ItemType() != 5)
        return;
    for (QVector<QListWidgetItem *> *group : qAsConst(m_groups))
        while (group->size() > 1)
            Detach(group->last());
    for (const QString &file : ConfigItemList::ListFiles(productDir + QStringLiteral("/moidefConfig"), QStringLiteral("bin")))
        if (QListWidgetItem *item = AddItem(3, file, QString(), QStringLiteral("0x00")))
            m_groups.first()->append(item);
}

void QConfigList::LoadUserConfigItems()
{
    // The rows go and come back: not while a wait runs, one of them may have begun it.
    if (NestedWait::Held(this, [this] { LoadUserConfigItems(); }, &m_reloadHeld))
        return;
    if (FirstRowType() != 8)
        return;
    while (count() > 1)
        Detach(item(count() - 1));
    if (m_groups.isEmpty())
        m_groups.append(new QVector<QListWidgetItem *>{item(0)});
    for (const QString &file : ConfigItemList::ListUserConfigFiles())
        if (QListWidgetItem *item = AddItem(7, file, QString(), QStringLiteral("0x00")))
            m_groups.first()->append(item);
}

QListWidgetItem *QConfigList::FindItem(const QString &name) const
{
    for (const QVector<QListWidgetItem *> *group : m_groups)
        for (QListWidgetItem *item : *group)
            if (const QConfigListItemBase *r = Row(item); r && r->ItemText() == name)
                return item;
    // Rows added after the list was built belong to no group.
    for (int i = 0; i < count(); ++i)
        if (const QConfigListItemBase *r = Row(item(i)); r && r->ItemText() == name)
            return item(i);
    return nullptr;
}

void QConfigList::RemoveItem(const QString &name)
{
    if (QListWidgetItem *item = FindItem(name))
        Detach(item);
}

void QConfigList::on_deleteItem(QString itemname)
{
    // The row goes with its file: not while a wait runs, it may be the row that began it.
    // Once per macro however often it was asked there; another macro's delete is its own.
    if (NestedWait::Open()) {
        if (!m_deletesHeld.contains(itemname)) {
            m_deletesHeld.insert(itemname);
            NestedWait::AfterWaits(this, [this, itemname] {
                m_deletesHeld.remove(itemname);
                on_deleteItem(itemname);
            });
        }
        return;
    }
    if (HID_API::PageDeviceGoing() || !FindItem(itemname))
        return;
    // A macro that keys or mouse buttons play stays: they would send nothing the device can run.
    MainWidget *main = MainWidget::instance();
    const QStringList users = main ? QConfigBuildManage_Pro::ConfigsNamingMacro(main->UserConfigDir(), itemname)
                                   : QStringList();
    if (!users.isEmpty()) {
        main->ShowMessage(QColor(178, 179, 180), GetLangText(774).arg(itemname, users.join(QStringLiteral(", "))), true);
        return;
    }
    RemoveItem(itemname);
    QJsonConfing store;
    const QString path = QJsonConfing::MacroFilePath(store.MacroDir(), itemname);
    if (!path.isEmpty())
        QFile::remove(path);
}

void QConfigList::on_OPenConfigFile(QString file)
{
    Q_EMIT tabcheng_userconfig(file);
}

void QConfigList::on_myMsleep(int msec)
{
    DelayMs(msec);
}

void QConfigList::on_Expande(QConfigListItemBase *obj, bool Ex)
{
    QVector<QListWidgetItem *> *group = nullptr;
    for (QVector<QListWidgetItem *> *g : qAsConst(m_groups))
        if (!g->isEmpty() && itemWidget(g->first()) == obj) {
            group = g;
            break;
        }
    if (!group)
        return;
    QPointer<QConfigList> self(this);
    const int n = group->size();
    for (int step = 1; step < n; ++step) {
        const int i = Ex ? n - step : step;
        on_myMsleep(1); // the group folds row by row
        // The wait ran other events: the list or the group may have changed meanwhile.
        if (!self || !m_groups.contains(group) || i >= group->size())
            return;
        group->at(i)->setHidden(Ex);
    }
}

void QConfigList::MovePicture(const QPoint &globalPos)
{
    if (!m_picture)
        return;
    const QWidget *main = m_picture->parentWidget();
    m_picture->move((main ? main->mapFromGlobal(globalPos) : globalPos) + QPoint(10, 10));
}

void QConfigList::on_DragLeftPress(QString _Cent_text, QPixmap img)
{
    if ((DropMode != 1 && DropMode != 2) || !m_picture)
        return;
    if (MouseMacroTabChecked()) {
        m_picture->SetDrawMode(2);
        m_picture->SetTextAndPicture(img, _Cent_text);
    } else {
        m_picture->SetDrawMode(0);
        m_picture->SetText(_Cent_text);
    }
    MovePicture(QCursor::pos());
    m_picture->show();
    m_picture->raise();
}

void QConfigList::on_DragLeftMove(QPoint GlobalPos)
{
    MovePicture(GlobalPos);
    Q_EMIT DragLeftMove(GlobalPos);
}

void QConfigList::on_DragLeftRePress(QString _Cent_text, QPixmap img, QString code, uchar typ, ushort leftcode,
                                     ushort centcode)
{
    if (m_picture)
        m_picture->hide();
    if (DropMode == 1) {
        if (MouseMacroTabChecked())
            Q_EMIT DragLeftPixRePress(_Cent_text, img, code, typ);
        else
            Q_EMIT DragLeftRePress(_Cent_text, code, typ, leftcode, centcode);
    } else if (DropMode == 2) {
        const auto *row = qobject_cast<QConfigListItemBase *>(sender());
        if (!row)
            return;
        if (_KeyValueInfo *record = MakeDropRecord(static_cast<uint8_t>(row->ItemType()), _Cent_text, code, centcode))
            Q_EMIT Drag_KeyEditPage_RePress(QCursor::pos(), record); // the receiver owns it
    }
}

_KeyValueInfo *QConfigList::MakeDropRecord(uint8_t kind, const QString &text, const QString &code, ushort centreId)
{
    if (kind == 3) {
        auto *record = new _KeyValueInfo;
        record->type = 3;
        record->LeftValue = text;
        return record;
    }
    if (kind != 1)
        return nullptr;
    QString hex = code;
    hex.remove(QStringLiteral("0x")).remove(QStringLiteral("0X"));
    if (hex.size() != 2 && hex.size() != 8)
        return nullptr;
    uint8_t bytes[4] = {};
    for (int i = 0; i < hex.size() / 2; ++i) {
        bool ok = false;
        bytes[i] = static_cast<uint8_t>(hex.mid(i * 2, 2).toUInt(&ok, 16));
        if (!ok)
            return nullptr; // a code that is no hex number is no key code
    }
    auto *record = new _KeyValueInfo;
    record->type = 8;
    record->LeftValue = text;
    record->Lang = static_cast<int16_t>(centreId);
    record->valueLength = static_cast<uint8_t>(hex.size() / 2);
    std::copy(bytes, bytes + 4, record->value);
    return record;
}
