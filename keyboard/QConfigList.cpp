#include "keyboard/QConfigList.h"
#include "app/QXM_Process.h"
#include "keyboard/ConfigItemList.h"

#include <QMouseEvent>

QConfigList::QConfigList(QWidget *parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::NoSelection);
    setStyleSheet(QStringLiteral("QListWidget{border:none;background-color:#00000000; outline:none;} "
                                 "QListWidget::item{Padding:0px; outline:none; min-height:35px; color:#ffffff;}"));
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

void QConfigList::LoadItems(const QVector<ConfigItem *> &items)
{
    for (const ConfigItem *item : items)
        AddItem(item->kind, item->left, item->centre, item->code);
}

QListWidgetItem *QConfigList::AddItem(uint8_t kind, const QString &left, const QString &centre, const QString &code)
{
    if (kind != 0 && kind != 1 && kind != 3 && kind != 5 && kind != 7 && kind != 8)
        return nullptr;
    const QString l = ResolveText(left), c = ResolveText(centre);
    auto *item = new QListWidgetItem(c.isEmpty() ? l : l + QStringLiteral("    ") + c, this);
    item->setData(KindRole, kind);
    item->setData(LeftRole, left);
    item->setData(CentreRole, centre);
    item->setData(CodeRole, code);
    return item;
}

void QConfigList::LoadMacroItems(const QString &productDir)
{
    if (count() == 0 || item(0)->data(KindRole).toInt() != 5)
        return;
    m_pressed = nullptr;
    while (count() > 1)
        delete takeItem(count() - 1);
    for (const QString &file : ConfigItemList::ListFiles(productDir + QStringLiteral("/moidefConfig"), QStringLiteral("bin")))
        AddItem(3, file, QString(), QStringLiteral("0x00"));
}

_KeyValueInfo *QConfigList::MakeDropRecord(uint8_t kind, const QString &text, const QString &code, int centreId)
{
    if (kind == 3) {
        auto *record = new _KeyValueInfo;
        record->type = 3;
        // Macros are stored and checked by their base name; the row shows the file name.
        record->LeftValue = text.endsWith(QLatin1String(".bin")) ? text.chopped(4) : text;
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

void QConfigList::ReleaseRow(QListWidgetItem *row, const QPoint &globalPos)
{
    if (!row || DropMode != 2)
        return;
    int centreId = -1;
    const QString centre = ResolveText(row->data(CentreRole).toString(), &centreId);
    const QString text = centre.isEmpty() ? ResolveText(row->data(LeftRole).toString()) : centre;
    _KeyValueInfo *record = MakeDropRecord(static_cast<uint8_t>(row->data(KindRole).toInt()), text,
                                           row->data(CodeRole).toString(), centreId);
    if (record)
        Q_EMIT Drag_KeyEditPage_RePress(globalPos, record);
}

void QConfigList::mousePressEvent(QMouseEvent *event)
{
    QListWidgetItem *row = itemAt(event->pos());
    const int kind = row ? row->data(KindRole).toInt() : -1;
    m_pressed = kind == 1 || kind == 3 ? row : nullptr;
    QListWidget::mousePressEvent(event);
}

void QConfigList::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pressed)
        Q_EMIT DragLeftMove(event->globalPos());
    else
        QListWidget::mouseMoveEvent(event);
}

void QConfigList::mouseReleaseEvent(QMouseEvent *event)
{
    QListWidgetItem *row = m_pressed;
    m_pressed = nullptr;
    QListWidget::mouseReleaseEvent(event);
    ReleaseRow(row, event->globalPos());
}
