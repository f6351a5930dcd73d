#include "device/KeyFiles.h"
#include "macros/OpenXmlDocument.h"

#include <QDomElement>

namespace {
int Signed(const QDomElement &e, const char *name)
{
    bool ok = false;
    const qlonglong v = e.attribute(QLatin1String(name)).trimmed().toLongLong(&ok);
    if (!ok || v < INT32_MIN || v > INT32_MAX)
        return 0;
    return static_cast<int>(v);
}
unsigned Unsigned(const QDomElement &e, const char *name)
{
    bool ok = false;
    const qulonglong v = e.attribute(QLatin1String(name)).trimmed().toULongLong(&ok);
    if (!ok || v > UINT32_MAX)
        return 0;
    return static_cast<unsigned>(v);
}
} // namespace

LayoutFile ReadLayoutFile(const QString &path)
{
    LayoutFile out;
    const QDomDocument doc = OpenXmlDocument(path);
    const QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("KeyBoardRoot"))
        return out;
    out.valid = true;
    for (QDomElement child = root.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        if (child.tagName() == QLatin1String("KeyEffect")) {
            for (QDomElement e = child.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
                if (e.tagName() == QLatin1String("Effect")) {
                    LayoutEffect fx;
                    const uint8_t code = static_cast<uint8_t>(Unsigned(e, "NameCode"));
                    fx.luminanceSpeedIndex = static_cast<uint16_t>(Signed(e, "luminance_Speedindex"));
                    fx.colourIndex = static_cast<uint16_t>(Signed(e, "Colour_Index"));
                    fx.modelCode = static_cast<uint8_t>(Unsigned(e, "ModelCode"));
                    out.effects.insert(code, fx);
                } else if (e.tagName() == QLatin1String("Attribute")) {
                    if (e.hasAttribute(QStringLiteral("Typ_Index"))) {
                        out.flagPosition = static_cast<uint16_t>(Signed(e, "Typ_Index"));
                        out.hasFlagPosition = true;
                    }
                    if (e.hasAttribute(QStringLiteral("DiyNum"))) {
                        out.flagValue = static_cast<uint8_t>(Signed(e, "DiyNum"));
                        out.hasFlagValue = true;
                    }
                }
            }
        } else if (child.tagName() == QLatin1String("KeyArrs")) {
            int id = -1;
            QVector<LayoutKey> keys;
            for (QDomElement e = child.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
                if (e.tagName() == QLatin1String("SubKey")) {
                    LayoutKey k;
                    k.diypos = static_cast<uint8_t>(Signed(e, "Diypos"));
                    k.effectpos = Signed(e, "Effectpos");
                    k.keypos = Signed(e, "keypos");
                    k.value = e.attribute(QStringLiteral("KeyValue"));
                    k.name = e.attribute(QStringLiteral("KeyName"));
                    keys.append(k);
                } else if (e.tagName() == QLatin1String("KeyArrsTilte")) {
                    id = Signed(e, "ID");
                }
            }
            out.groups.insert(id, keys);
        }
    }
    return out;
}

static int TypeFromName(const QString &word)
{
    static const char *names[] = {"Attrib_KeyValue", "Attrib_MouseValue", "Attrib_MediaValue",
                                  "Attrib_MacroValue", "Attrib_Order", "Attrib_Group",
                                  "Attrib_KeyFn", "Attrib_KeyFn2", "Attrib_LogitechKey"};
    for (int i = 0; i < 9; ++i)
        if (word == QLatin1String(names[i]))
            return i;
    return 0;
}

QVector<QHash<QString, KeyAssignment>> ReadKeyAssignments(const QString &path)
{
    QVector<QHash<QString, KeyAssignment>> layers;
    const QDomDocument doc = OpenXmlDocument(path);
    const QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("KeyBoardRoot"))
        return layers;
    QMap<unsigned, QDomElement> byId;
    for (QDomElement e = root.firstChildElement(QStringLiteral("Keylevel_ID")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("Keylevel_ID")))
        byId.insert(Unsigned(e, "ID"), e);
    const int n = byId.size();
    for (int i = 0; i < n; ++i) {
        QHash<QString, KeyAssignment> table;
        const QDomElement level = byId.value(static_cast<unsigned>(i));
        for (QDomElement k = level.firstChildElement(); !k.isNull(); k = k.nextSiblingElement()) {
            if (k.tagName() != QLatin1String("KeyEdit"))
                continue;
            KeyAssignment a;
            a.order = table.size();
            a.type = TypeFromName(k.attribute(QStringLiteral("KeyValueTyp")));
            a.leftValue = k.attribute(QStringLiteral("LeftValue"));
            if (a.type == 8) {
                const QString v = k.attribute(QStringLiteral("Value"));
                if (v.size() == 2) {
                    a.valueLength = 1;
                    a.value[3] = static_cast<uint8_t>(v.toUInt(nullptr, 16));
                } else if (v.size() == 8) {
                    a.valueLength = 4;
                    for (int b = 0; b < 4; ++b)
                        a.value[b] = static_cast<uint8_t>(v.mid(b * 2, 2).toUInt(nullptr, 16));
                }
            }
            table.insert(k.attribute(QStringLiteral("KeyButtonName")), a);
        }
        layers.append(table);
    }
    return layers;
}
