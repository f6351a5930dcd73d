#include "keyboard/QConfigBuildManage_Pro.h"
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "macros/OpenXmlDocument.h"
#include "macros/SaveXmlDocument.h"
#include "mouse/QBackLineMange.h"

#include <QDir>
#include <QDomElement>
#include <QHash>
#include <QMap>

#include <algorithm>

namespace {
const char *const kTypeWords[] = {"Attrib_KeyValue", "Attrib_MouseValue", "Attrib_MediaValue",
                                  "Attrib_MacroValue", "Attrib_Order", "Attrib_Group",
                                  "Attrib_KeyFn", "Attrib_KeyFn2", "Attrib_LogitechKey"};
const char16_t *const kTypeNotes[] = {u"|0|基础键", u"|1|鼠标键", u"|2|媒体键", u"|3|宏键", u"|4|命令键",
                                      u"|5|组合键", u"|6|Fn1", u"|7|Fn2", u"|8|LG风格"};

uint8_t HexPair(const QString &text)
{
    bool ok = false;
    const uint v = text.toUInt(&ok, 16);
    return ok && v <= 0xFF ? static_cast<uint8_t>(v) : 0;
}
} // namespace

int QConfigBuildManage_Pro::TypeFromName(const QString &word)
{
    for (int i = 0; i < 9; ++i)
        if (word == QLatin1String(kTypeWords[i]))
            return i;
    return 0;
}

QString QConfigBuildManage_Pro::TypeName(int type)
{
    return type >= 0 && type < 9 ? QString::fromLatin1(kTypeWords[type]) : QString();
}

_KeyValueInfo *QConfigBuildManage_Pro::ReadKeyEdit(const QDomNode &node)
{
    if (node.nodeName() != QLatin1String("KeyEdit") || !node.isElement())
        return nullptr;
    const QDomElement e = node.toElement();
    auto *info = new _KeyValueInfo;
    info->KeyButtonName = e.attribute(QStringLiteral("KeyButtonName"));
    info->type = TypeFromName(e.attribute(QStringLiteral("KeyValueTyp")));
    if (info->type != 8) {
        info->LeftValue = e.attribute(QStringLiteral("LeftValue"));
        return info;
    }
    const QString v = e.attribute(QStringLiteral("Value"));
    if (v.size() == 2) {
        info->valueLength = 1;
        info->value[3] = HexPair(v);
    } else if (v.size() == 8) {
        info->valueLength = 4;
        for (int i = 0; i < 4; ++i)
            info->value[i] = HexPair(v.mid(i * 2, 2));
    }
    const QString lang = e.attribute(QStringLiteral("Lang")).trimmed();
    bool ok = false;
    const uint id = lang.startsWith(QLatin1Char('-')) ? 0 : lang.toUInt(&ok, 10);
    info->Lang = static_cast<int16_t>(ok ? id & 0xFFFF : 0);
    info->LeftValue = info->Lang > 0 ? GetLangText(static_cast<uint>(info->Lang))
                                     : e.attribute(QStringLiteral("LeftValue"));
    return info;
}

KeyProfileLayers QConfigBuildManage_Pro::ReadKeyConfig(const QString &path, QVector<QStringList> *keyOrder)
{
    KeyProfileLayers layers;
    if (keyOrder)
        keyOrder->clear();
    const QDomDocument doc = OpenXmlDocument(path);
    const QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("KeyBoardRoot"))
        return layers;
    QMap<uint, QDomElement> byId;
    for (QDomElement e = root.firstChildElement(QStringLiteral("Keylevel_ID")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("Keylevel_ID"))) {
        bool ok = false;
        const QString id = e.attribute(QStringLiteral("ID")).trimmed();
        const uint n = id.startsWith(QLatin1Char('-')) ? 0 : id.toUInt(&ok, 10);
        byId.insert(ok ? n : 0, e);
    }
    const int count = byId.size();
    for (int i = 0; i < count; ++i) {
        auto *table = new KeyLayerTable;
        // A key named twice keeps its last entry, in the place of that entry: each name is kept
        // where it was read last, found in one pass over the names read.
        QStringList read;
        QHash<QString, int> last;
        const QDomElement level = byId.value(static_cast<uint>(i));
        for (QDomNode n = level.firstChild(); !n.isNull(); n = n.nextSibling()) {
            _KeyValueInfo *info = ReadKeyEdit(n);
            if (!info)
                continue;
            _KeyValueInfo *&slot = (*table)[info->KeyButtonName];
            delete slot;
            slot = info;
            if (keyOrder) {
                last.insert(info->KeyButtonName, read.size());
                read.append(info->KeyButtonName);
            }
        }
        layers.append(table);
        if (keyOrder) {
            QStringList order;
            order.reserve(last.size());
            for (int at = 0; at < read.size(); ++at)
                if (last.value(read.at(at)) == at)
                    order.append(read.at(at));
            keyOrder->append(order);
        }
    }
    return layers;
}

bool QConfigBuildManage_Pro::WriteKeyConfig(const QString &path, const KeyProfileLayers &layers)
{
    QStringList names;
    if (QLStyleKeybordTabWidget *page = QLStyleKeybordTabWidget::instance())
        names = page->LevelComboItems();
    const MainWidget *main = MainWidget::instance();
    return WriteKeyConfig(path, layers, names, main ? main->CurrentProductName() : QString());
}

bool QConfigBuildManage_Pro::WriteKeyConfig(const QString &path, const KeyProfileLayers &layers,
                                            const QStringList &layerNames, const QString &productName)
{
    QDomDocument doc;
    doc.appendChild(doc.createProcessingInstruction(QStringLiteral("xml"),
                                                    QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
    QDomElement root = doc.createElement(QStringLiteral("KeyBoardRoot"));
    QDomElement notes = doc.createElement(QStringLiteral("Notes"));
    QDomElement keyNames = doc.createElement(QStringLiteral("Notes_KeyNames"));
    keyNames.setAttribute(QStringLiteral("KeyButtonName"), QStringLiteral("按键"));
    keyNames.setAttribute(QStringLiteral("LeftValue"), QStringLiteral("按键左值"));
    keyNames.setAttribute(QStringLiteral("RightValue"), QStringLiteral("按键右值"));
    keyNames.setAttribute(QStringLiteral("KeyValueTyp"), QStringLiteral("按键类型"));
    keyNames.setAttribute(QStringLiteral("Value"), QStringLiteral("组合键或宏"));
    notes.appendChild(keyNames);
    QDomElement typeNotes = doc.createElement(QStringLiteral("Notes_KeyValueTyp"));
    for (int i = 0; i < 9; ++i)
        typeNotes.setAttribute(QString::fromLatin1(kTypeWords[i]), QString::fromUtf16(kTypeNotes[i]));
    notes.appendChild(typeNotes);
    QDomElement valueNotes = doc.createElement(QStringLiteral("Notes_Value"));
    valueNotes.setAttribute(QStringLiteral("Attrib_Group_Key"), QStringLiteral("控制键ID"));
    valueNotes.setAttribute(QStringLiteral("Attrib_Macro_Key"), QStringLiteral("宏名称"));
    valueNotes.setAttribute(QStringLiteral("Attrib_Conmand_Key"), QStringLiteral("键值"));
    notes.appendChild(valueNotes);
    root.appendChild(notes);
    QDomElement product = doc.createElement(QStringLiteral("Product"));
    product.setAttribute(QStringLiteral("name"), productName);
    root.appendChild(product);

    const int count = std::min(255, static_cast<int>(std::max(layerNames.size(), layers.size())));
    for (int i = 0; i < count; ++i) {
        QDomElement level = doc.createElement(QStringLiteral("Keylevel_ID"));
        level.setAttribute(QStringLiteral("name"), i < layerNames.size() ? layerNames.at(i) : QString::number(i));
        level.setAttribute(QStringLiteral("ID"), i);
        const KeyLayerTable *table = i < layers.size() ? layers.at(i) : nullptr;
        if (table) {
            for (auto it = table->cbegin(); it != table->cend(); ++it) {
                const _KeyValueInfo *info = it.value();
                if (!info)
                    continue;
                QDomElement edit = doc.createElement(QStringLiteral("KeyEdit"));
                edit.setAttribute(QStringLiteral("KeyButtonName"), info->KeyButtonName);
                edit.setAttribute(QStringLiteral("LeftValue"), info->LeftValue);
                edit.setAttribute(QStringLiteral("KeyValueTyp"), TypeName(info->type));
                if (info->type == 8) {
                    QString value;
                    if (info->valueLength > 1) {
                        for (int b = 0; b < std::min<int>(info->valueLength, 4); ++b)
                            value += QString::asprintf("%02x", info->value[b]);
                    } else {
                        value = QString::asprintf("%02x", info->value[3]);
                        if (value == QLatin1String("00"))
                            value = QString::asprintf("%02x", info->value[0]);
                    }
                    edit.setAttribute(QStringLiteral("Value"), value);
                    edit.setAttribute(QStringLiteral("Lang"), QString::number(info->Lang));
                } else if (info->type != 5) {
                    edit.setAttribute(QStringLiteral("Value"), QStringLiteral("NULL"));
                }
                level.appendChild(edit);
            }
        }
        root.appendChild(level);
    }
    doc.appendChild(root);
    return SaveXmlDocument(path, doc);
}

QStringList QConfigBuildManage_Pro::ConfigsNamingMacro(const QString &folder, const QString &macro)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    for (const QFileInfo &file : QDir(folder).entryInfoList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name)) {
        KeyProfileLayers layers = QConfigBuildManage_Pro().ReadKeyConfig(file.filePath());
        bool uses = std::any_of(layers.cbegin(), layers.cend(), [&macro](const KeyLayerTable *table) {
            return std::any_of(table->cbegin(), table->cend(),
                               [&macro](const _KeyValueInfo *info) { return info->type == 3 && info->LeftValue == macro; });
        });
        FreeKeyProfileLayers(layers);
        // A mouse configuration of the same folder names its macro buttons by the macro's name.
        if (!uses)
            for (const QVector<LineKeyRecord> &rows : QBackLineMange().Read(file.filePath(), nullptr, nullptr, nullptr))
                uses = uses || std::any_of(rows.cbegin(), rows.cend(), [&macro](const LineKeyRecord &row) {
                           return row.valueType == 1 && row.reName == macro;
                       });
        if (uses)
            names.append(file.completeBaseName());
    }
    return names;
}

bool QConfigBuildManage_Pro::RenameMacroKeys(const QString &path, const QString &from, const QString &to,
                                             QVector<int> *renamed)
{
    return Retarget(path, from, to, nullptr, renamed);
}

bool QConfigBuildManage_Pro::PutBackMacroKeys(const QString &path, const QString &from, const QString &to,
                                              const QVector<int> &renamed)
{
    return Retarget(path, to, from, &renamed, nullptr);
}

bool QConfigBuildManage_Pro::Retarget(const QString &path, const QString &from, const QString &to,
                                      const QVector<int> *only, QVector<int> *changed)
{
    if (changed)
        changed->clear();
    QDomDocument doc = OpenXmlDocument(path);
    const QDomElement root = doc.documentElement();
    // The rows that may play a macro, counted in the file's order: a put-back finds the rows
    // of the rename it undoes by their count.
    const bool mouse = root.tagName() == QLatin1String("Backinfos");
    if (!mouse && root.tagName() != QLatin1String("KeyBoardRoot"))
        return true; // no configuration (or none that can be read): nothing in it plays the macro
    const QString group = mouse ? QStringLiteral("Lines") : QStringLiteral("Keylevel_ID");
    const QString item = mouse ? QStringLiteral("SubLine") : QStringLiteral("KeyEdit");
    const QString name = mouse ? QStringLiteral("ReName") : QStringLiteral("LeftValue");
    const QString type = mouse ? QStringLiteral("ValueTyp") : QStringLiteral("KeyValueTyp");
    int row = 0, next = 0; // next: the place in *only of the next row to put back
    bool any = false;
    for (QDomElement lines = root.firstChildElement(group); !lines.isNull(); lines = lines.nextSiblingElement(group))
        for (QDomElement e = lines.firstChildElement(item); !e.isNull(); e = e.nextSiblingElement(item), ++row) {
            if (only) {
                if (next >= only->size() || only->at(next) != row)
                    continue;
                ++next;
            }
            const bool macro = mouse ? QBackLineMange::ValueTypFromText(e.attribute(type)) == 1
                                     : TypeFromName(e.attribute(type)) == 3;
            if (!macro || e.attribute(name) != from)
                continue;
            e.setAttribute(name, to);
            any = true;
            if (changed)
                changed->append(row);
        }
    // A file with nothing to change is not written again.
    return !any || SaveXmlDocument(path, doc);
}
