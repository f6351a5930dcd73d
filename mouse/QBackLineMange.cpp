#include "mouse/QBackLineMange.h"
#include "macros/SaveXmlDocument.h"
#include "device/HID_API.h"
#include "app/LogWriter.h"
#include "macros/OpenXmlDocument.h"
#include "mouse/QLineInfo.h"

#include <QDomDocument>

namespace {
const char *const kDirections[] = {"SLeft", "SRight", "SUp", "SDottom", "BLeft", "BRight", "BUp", "BDottom"};
const char *const kSlopes[] = {"Linelose", "Linejust"};
const char *const kValueTypes[] = {"CODITEM", "MACROITEM"};
const QString kNull = QStringLiteral("NULL");

template <size_t N>
int IndexOf(const char *const (&table)[N], const QString &text)
{
    for (size_t i = 0; i < N; ++i)
        if (text == QLatin1String(table[i]))
            return static_cast<int>(i);
    return -1;
}

QString NullToEmpty(const QString &text)
{
    return text == kNull ? QString() : text;
}

LineKeyRecord ReadSubLine(const QDomElement &e)
{
    LineKeyRecord r;
    // Missing parts of the rectangle read as 0: the row keeps its address and assignment. So
    // does a part past kMaxRectNumber, which no screen can show and whose sums would overflow.
    const QStringList rect = e.attribute(QStringLiteral("Rect")).split(QLatin1Char(','));
    int v[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4 && i < rect.size(); ++i) {
        const uint n = rect.at(i).trimmed().toUInt();
        v[i] = n <= QBackLineMange::kMaxRectNumber ? static_cast<int>(n) : 0;
    }
    r.rect = QRect(v[0], v[1], v[2], v[3]);
    r.defaultText = e.attribute(QStringLiteral("DefaultText"));
    r.defaultCode = e.attribute(QStringLiteral("DefaultCode"));
    r.slope = QBackLineMange::LineStateFromText(e.attribute(QStringLiteral("Slope")));
    r.direction = QBackLineMange::LineDirectionFromText(e.attribute(QStringLiteral("Direction")));
    r.sendAddress = static_cast<uint16_t>(e.attribute(QStringLiteral("SendAdderss")).toUInt());
    r.change = e.attribute(QStringLiteral("Change")).toUInt() != 0;
    r.reName = NullToEmpty(e.attribute(QStringLiteral("ReName")));
    r.recode = NullToEmpty(e.attribute(QStringLiteral("Recode")));
    r.valueType = QBackLineMange::ValueTypFromText(e.attribute(QStringLiteral("ValueTyp")));
    return r;
}
} // namespace

QBackLineMange::QBackLineMange(QObject *parent) : QObject(parent) {}

uint8_t QBackLineMange::LineDirectionFromText(const QString &text)
{
    const int i = IndexOf(kDirections, text);
    return static_cast<uint8_t>(i < 0 ? 1 : i + 1); // an unknown direction draws as "SLeft"
}

QString QBackLineMange::LineDirectionText(uint8_t direction)
{
    return direction >= 1 && direction <= 8 ? QString::fromLatin1(kDirections[direction - 1]) : QString();
}

uint8_t QBackLineMange::LineStateFromText(const QString &text)
{
    return IndexOf(kSlopes, text) == 1 ? 1 : 0;
}

QString QBackLineMange::LineStateText(uint8_t slope)
{
    return slope <= 1 ? QString::fromLatin1(kSlopes[slope]) : QString();
}

uint8_t QBackLineMange::ValueTypFromText(const QString &text)
{
    return IndexOf(kValueTypes, text) == 1 ? 1 : 0;
}

QString QBackLineMange::ValueTypText(uint8_t type)
{
    return type <= 1 ? QString::fromLatin1(kValueTypes[type]) : QString();
}

QMap<QString, QVector<LineKeyRecord>> QBackLineMange::Read(const QString &path, QString *levelNames,
                                                           QString *images, QString *minImage)
{
    QMap<QString, QVector<LineKeyRecord>> result;
    const QDomDocument doc = OpenXmlDocument(path);
    const QDomElement root = doc.documentElement();
    if (root.tagName() != QLatin1String("Backinfos"))
        return result;
    for (QDomElement child = root.firstChildElement(); !child.isNull(); child = child.nextSiblingElement()) {
        const QString tag = child.tagName();
        if (tag == QLatin1String("USer_Defined_Keylevel")) {
            if (levelNames)
                *levelNames = child.attribute(QStringLiteral("Names"));
        } else if (tag == QLatin1String("imageInfo")) {
            if (images)
                *images = child.attribute(QStringLiteral("Images"));
            if (minImage)
                *minImage = child.attribute(QStringLiteral("MinImage"));
        } else if (tag == QLatin1String("Lines")) {
            QString picture;
            QVector<LineKeyRecord> rows;
            for (QDomElement e = child.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
                if (e.tagName() == QLatin1String("levelMap"))
                    picture = e.attribute(QStringLiteral("image"));
                else if (e.tagName() == QLatin1String("SubLine"))
                    rows.append(ReadSubLine(e));
            }
            result.insert(picture, rows);
        }
    }
    return result;
}

bool QBackLineMange::Write(const QString &path, const QString &levelNames, const QString &images,
                           const QString &minImage, const QMap<QString, QList<QLineInfo *>> &lines)
{
    QDomDocument doc;
    doc.appendChild(doc.createProcessingInstruction(QStringLiteral("xml"),
                                                    QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
    QDomElement root = doc.createElement(QStringLiteral("Backinfos"));
    doc.appendChild(root);

    QDomElement hint = doc.createElement(QStringLiteral("Hint"));
    const std::pair<const char *, const char *> legend[] = {
        {"SLeft", "1左直线"}, {"SRight", "2右直线"}, {"SUp", "3上直线"}, {"SDottom", "4下直线"},
        {"BLeft", "5左拐线"}, {"BRight", "6右拐线"}, {"BUp", "7上拐线"}, {"BDottom", "8下拐线"},
        {"Linelose", "0负极"}, {"Linejust", "1正极"}, {"Change", "允许修改"}, {"ReName", "修改后键名"},
        {"Recode", "修改后代码"}, {"ValueTyp", "值类型"}, {"CODITEM", "0常用命令"}, {"MACROITEM", "1宏文件"}};
    for (const auto &entry : legend)
        hint.setAttribute(QString::fromLatin1(entry.first), QString::fromUtf8(entry.second));
    root.appendChild(hint);

    QDomElement level = doc.createElement(QStringLiteral("USer_Defined_Keylevel"));
    level.setAttribute(QStringLiteral("Names"), levelNames);
    root.appendChild(level);

    QDomElement info = doc.createElement(QStringLiteral("imageInfo"));
    info.setAttribute(QStringLiteral("Images"), images);
    info.setAttribute(QStringLiteral("MinImage"), minImage);
    info.setAttribute(QStringLiteral("Count"), images.split(QLatin1Char('|')).size());
    root.appendChild(info);

    for (auto it = lines.cbegin(); it != lines.cend(); ++it) {
        QDomElement group = doc.createElement(QStringLiteral("Lines"));
        QDomElement map = doc.createElement(QStringLiteral("levelMap"));
        map.setAttribute(QStringLiteral("image"), it.key());
        group.appendChild(map);
        for (const QLineInfo *row : it.value()) {
            if (!row)
                continue;
            QDomElement sub = doc.createElement(QStringLiteral("SubLine"));
            const QRect g = row->geometry();
            sub.setAttribute(QStringLiteral("Rect"), QString::asprintf("%d,%d,%d,%d", qAbs(g.x()), qAbs(g.y()), g.width(), g.height()));
            sub.setAttribute(QStringLiteral("DefaultText"), row->DefaultTextId() >= 1
                                                                ? QStringLiteral("@%1").arg(row->DefaultTextId())
                                                                : row->DefaultText());
            sub.setAttribute(QStringLiteral("DefaultCode"), row->DefaultCode());
            sub.setAttribute(QStringLiteral("Slope"), LineStateText(row->Slope()));
            sub.setAttribute(QStringLiteral("Direction"), LineDirectionText(row->LineDirection()));
            sub.setAttribute(QStringLiteral("SendAdderss"), row->SendAddress());
            sub.setAttribute(QStringLiteral("Change"), row->ChangeFlag());
            const QString recode = row->Recode();
            QString reName;
            QString code;
            if (recode.isEmpty() || recode == QLatin1String("0x00")) {
                code = kNull;
                // An unassigned button's name is its factory text: stored as such it would come
                // back as a user's name and no longer follow the language.
                const bool factoryName = row->ValueType() == 0 && row->ReName() == row->DefaultText();
                reName = factoryName ? kNull : row->ReName();
            } else {
                code = recode;
                if (row->ValueType() == 1)
                    reName = row->ReName();
                else if (row->NameId() >= 1)
                    reName = QStringLiteral("@%1").arg(row->NameId());
                else if (recode == QLatin1String("00000000"))
                    reName = kNull;
                else
                    reName = row->ReName();
            }
            sub.setAttribute(QStringLiteral("ReName"), reName);
            sub.setAttribute(QStringLiteral("Recode"), code);
            sub.setAttribute(QStringLiteral("ValueTyp"), ValueTypText(row->ValueType()));
            group.appendChild(sub);
        }
        root.appendChild(group);
    }
    return Save(doc, path);
}

bool QBackLineMange::Save(const QDomDocument &document, const QString &path)
{
    if (HID_API::PageDeviceGoing())
        return false; // the mouse went: its configuration stays as it was
    // Written aside and put in place whole: a failed write never leaves half a configuration.
    if (!SaveXmlDocument(path, document)) {
        WriteLogLine(QStringLiteral("configuration not saved: %1").arg(path));
        return false;
    }
    return true;
}
