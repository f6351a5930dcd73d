#include "app/IniCodec.h"
#include "app/CheckedSave.h"

#include <QDataStream>
#include <QFileDevice>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <QTextCodec>

#include <cerrno>

namespace {
const char kHexDigits[] = "0123456789ABCDEF";

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool IsSpecial(char c)
{
    return c == '\n' || c == '\r' || c == '"' || c == ';' || c == '=' || c == '\\';
}

// One logical line from `pos` on: its start, length and the first '=' outside quotes. A
// comment line is skipped; a ';' after other text ends the line; a '\' joins the next one.
bool ReadLine(const QByteArray &data, int &pos, int &lineStart, int &lineLen, int &equalsPos)
{
    const int dataLen = data.size();
    bool inQuotes = false;
    equalsPos = -1;
    lineStart = pos;
    while (lineStart < dataLen && IsSpace(data.at(lineStart)))
        ++lineStart;
    int i = lineStart;
    while (i < dataLen) {
        char ch = data.at(i);
        while (!IsSpecial(ch)) {
            if (++i == dataLen)
                goto done;
            ch = data.at(i);
        }
        ++i;
        if (ch == '=') {
            if (!inQuotes && equalsPos == -1)
                equalsPos = i - 1;
        } else if (ch == '\n' || ch == '\r') {
            if (i == lineStart + 1) {
                ++lineStart;
            } else if (!inQuotes) {
                --i;
                goto done;
            }
        } else if (ch == '\\') {
            if (i < dataLen) {
                const char escaped = data.at(i++);
                if (i < dataLen) {
                    const char next = data.at(i);
                    if ((escaped == '\n' && next == '\r') || (escaped == '\r' && next == '\n'))
                        ++i;
                }
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else { // ';'
            if (i == lineStart + 1) {
                while (i < dataLen && data.at(i) != '\n' && data.at(i) != '\r')
                    ++i;
                while (i < dataLen && IsSpace(data.at(i)))
                    ++i;
                lineStart = i;
            } else if (!inQuotes) {
                --i;
                goto done;
            }
        }
    }
done:
    pos = i;
    lineLen = i - lineStart;
    return lineLen > 0;
}

void UnescapeKey(const QByteArray &key, int from, int to, QString &result)
{
    int i = from;
    while (i < to) {
        int ch = static_cast<uchar>(key.at(i));
        if (ch == '\\') {
            result += QLatin1Char('/');
            ++i;
            continue;
        }
        if (ch != '%' || i == to - 1) {
            result += QLatin1Char(char(ch));
            ++i;
            continue;
        }
        int numDigits = 2;
        int firstDigit = i + 1;
        if (key.at(i + 1) == 'U') {
            ++firstDigit;
            numDigits = 4;
        }
        bool ok = firstDigit + numDigits <= to;
        if (ok)
            ch = key.mid(firstDigit, numDigits).toInt(&ok, 16);
        if (!ok) {
            result += QLatin1Char('%');
            ++i;
            continue;
        }
        result += QChar(ch);
        i = firstDigit + numDigits;
    }
}

void EscapeKey(const QString &key, QByteArray &result)
{
    for (const QChar c : key) {
        uint ch = c.unicode();
        if (ch == '/') {
            result += '\\';
        } else if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_'
                   || ch == '-' || ch == '.') {
            result += char(ch);
        } else if (ch <= 0xFF) {
            result += '%';
            result += kHexDigits[ch / 16];
            result += kHexDigits[ch % 16];
        } else {
            result += "%U";
            char digits[4];
            for (int d = 3; d >= 0; --d, ch >>= 4)
                digits[d] = kHexDigits[ch % 16];
            result.append(digits, 4);
        }
    }
}

void ChopTrailingSpaces(QString &s, int limit)
{
    int n = s.size();
    while (n > limit && (s.at(n - 1) == QLatin1Char(' ') || s.at(n - 1) == QLatin1Char('\t')))
        --n;
    s.truncate(n);
}

int HexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

// A value: one string, or a list where unquoted commas part it. True for a list.
bool UnescapeValue(const QByteArray &str, int from, int to, QString &value, QStringList &list, QTextCodec *codec)
{
    static const char escapes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'},  {'t', '\t'},
                                      {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    bool isList = false, inQuotes = false, quoted = false;
    int i = from;
    auto skipSpaces = [&] {
        while (i < to && (str.at(i) == ' ' || str.at(i) == '\t'))
            ++i;
    };
    skipSpaces();
    int chopLimit = value.size();
    while (i < to) {
        const char c = str.at(i);
        if (c == '\\') {
            if (++i >= to)
                break;
            const char ch = str.at(i++);
            bool simple = false;
            for (const auto &e : escapes)
                if (ch == e[0]) {
                    value += QLatin1Char(e[1]);
                    simple = true;
                    break;
                }
            if (simple) {
                chopLimit = value.size();
                continue;
            }
            if (ch == 'x' || (ch >= '0' && ch <= '7')) {
                const bool hex = ch == 'x';
                if (hex && (i >= to || HexValue(str.at(i)) < 0)) {
                    chopLimit = value.size(); // "\x" without digits is dropped
                    continue;
                }
                int v = hex ? 0 : ch - '0';
                while (i < to) {
                    const int d = hex ? HexValue(str.at(i)) : (str.at(i) >= '0' && str.at(i) <= '7' ? str.at(i) - '0' : -1);
                    if (d < 0)
                        break;
                    v = (v << (hex ? 4 : 3)) + d;
                    ++i;
                }
                value += QChar(ushort(v));
                chopLimit = value.size();
                continue;
            }
            if ((ch == '\n' || ch == '\r') && i < to) {
                const char next = str.at(i);
                if ((next == '\n' || next == '\r') && next != ch)
                    ++i;
            }
            chopLimit = value.size();
        } else if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes) {
                skipSpaces();
                chopLimit = value.size();
            }
        } else if (c == ',' && !inQuotes) {
            if (!quoted)
                ChopTrailingSpaces(value, chopLimit);
            if (!isList) {
                isList = true;
                list.clear();
            }
            list.append(value);
            value.clear();
            quoted = false;
            ++i;
            skipSpaces();
            chopLimit = 0;
        } else {
            int j = i + 1;
            while (j < to && str.at(j) != '\\' && str.at(j) != '"' && str.at(j) != ',')
                ++j;
            value += codec->toUnicode(str.constData() + i, j - i);
            i = j;
        }
    }
    if (!quoted)
        ChopTrailingSpaces(value, chopLimit);
    if (isList)
        list.append(value);
    return isList;
}

QVariant StringToVariant(const QString &s)
{
    if (s.startsWith(QLatin1Char('@'))) {
        if (s.endsWith(QLatin1Char(')'))) {
            if (s.startsWith(QLatin1String("@ByteArray(")))
                return QVariant(s.midRef(11, s.size() - 12).toLatin1());
            if (s.startsWith(QLatin1String("@String(")))
                return QVariant(s.mid(8, s.size() - 9));
            if (s.startsWith(QLatin1String("@Variant(")) || s.startsWith(QLatin1String("@DateTime("))) {
                const int offset = s.at(1) == QLatin1Char('V') ? 9 : 10;
                QByteArray a = s.midRef(offset).toLatin1();
                QDataStream stream(&a, QIODevice::ReadOnly);
                stream.setVersion(QDataStream::Qt_4_0);
                QVariant result;
                stream >> result;
                return result;
            }
            const QStringList args = s.mid(s.indexOf(QLatin1Char('(')) + 1).chopped(1).split(QLatin1Char(' '));
            if (s.startsWith(QLatin1String("@Rect(")) && args.size() == 4)
                return QRect(args[0].toInt(), args[1].toInt(), args[2].toInt(), args[3].toInt());
            if (s.startsWith(QLatin1String("@Size(")) && args.size() == 2)
                return QSize(args[0].toInt(), args[1].toInt());
            if (s.startsWith(QLatin1String("@Point(")) && args.size() == 2)
                return QPoint(args[0].toInt(), args[1].toInt());
            if (s == QLatin1String("@Invalid()"))
                return QVariant();
        }
        if (s.startsWith(QLatin1String("@@")))
            return QVariant(s.mid(1));
    }
    return QVariant(s);
}

QVariant ListToVariant(const QStringList &l)
{
    QStringList out = l;
    for (int i = 0; i < out.size(); ++i) {
        if (!out.at(i).startsWith(QLatin1Char('@')))
            continue;
        if (out.at(i).size() >= 2 && out.at(i).at(1) == QLatin1Char('@')) {
            out[i].remove(0, 1);
            continue;
        }
        QVariantList variants;
        for (const QString &s : l)
            variants.append(StringToVariant(s));
        return variants;
    }
    return out;
}

QString VariantToString(const QVariant &v)
{
    switch (v.userType()) {
    case QMetaType::UnknownType:
        return QStringLiteral("@Invalid()");
    case QMetaType::QByteArray: {
        const QByteArray a = v.toByteArray();
        return QLatin1String("@ByteArray(") + QLatin1String(a.constData(), a.size()) + QLatin1Char(')');
    }
    case QMetaType::QString:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Bool:
    case QMetaType::Double: {
        QString result = v.toString();
        if (result.contains(QChar::Null))
            return QLatin1String("@String(") + result + QLatin1Char(')');
        if (result.startsWith(QLatin1Char('@')))
            result.prepend(QLatin1Char('@'));
        return result;
    }
    case QMetaType::QRect: {
        const QRect r = v.toRect();
        return QString::asprintf("@Rect(%d %d %d %d)", r.x(), r.y(), r.width(), r.height());
    }
    case QMetaType::QSize: {
        const QSize s = v.toSize();
        return QString::asprintf("@Size(%d %d)", s.width(), s.height());
    }
    case QMetaType::QPoint: {
        const QPoint p = v.toPoint();
        return QString::asprintf("@Point(%d %d)", p.x(), p.y());
    }
    default: {
        QByteArray a;
        {
            QDataStream stream(&a, QIODevice::WriteOnly);
            stream.setVersion(QDataStream::Qt_4_0);
            stream << v;
        }
        return QLatin1String("@Variant(") + QLatin1String(a.constData(), a.size()) + QLatin1Char(')');
    }
    }
}

void EscapeString(const QString &str, QByteArray &result, QTextCodec *codec)
{
    const bool useCodec = !str.startsWith(QLatin1String("@ByteArray(")) && !str.startsWith(QLatin1String("@Variant("));
    bool needsQuotes = false, escapeNextIfDigit = false;
    const int startPos = result.size();
    for (int i = 0; i < str.size(); ++i) {
        const uint ch = str.at(i).unicode();
        if (ch == ';' || ch == ',' || ch == '=')
            needsQuotes = true;
        if (escapeNextIfDigit && HexValue(char(ch < 0x80 ? ch : 0)) >= 0) {
            result += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (ch) {
        case '\0': result += "\\0"; escapeNextIfDigit = true; break;
        case '\a': result += "\\a"; break;
        case '\b': result += "\\b"; break;
        case '\f': result += "\\f"; break;
        case '\n': result += "\\n"; break;
        case '\r': result += "\\r"; break;
        case '\t': result += "\\t"; break;
        case '\v': result += "\\v"; break;
        case '"':
        case '\\':
            result += '\\';
            result += char(ch);
            break;
        default:
            if (ch <= 0x1F || (ch >= 0x7F && !useCodec)) {
                result += "\\x" + QByteArray::number(ch, 16);
                escapeNextIfDigit = true;
            } else if (ch >= 0x7F) {
                // A surrogate pair is encoded as one character.
                const int n = str.at(i).isHighSurrogate() && i + 1 < str.size() && str.at(i + 1).isLowSurrogate() ? 2 : 1;
                result += codec->fromUnicode(str.constData() + i, n);
                i += n - 1;
            } else {
                result += char(ch);
            }
        }
    }
    if (needsQuotes || (startPos < result.size() && (result.at(startPos) == ' ' || result.at(result.size() - 1) == ' '))) {
        result.insert(startPos, '"');
        result += '"';
    }
}
} // namespace

QSettings::Format IniCodec::Format()
{
    static const QSettings::Format format = QSettings::registerFormat(QStringLiteral("ini"), &IniCodec::Read, &IniCodec::Write);
    return format;
}

void IniCodec::Parse(const QByteArray &data, QSettings::SettingsMap &map)
{
    QTextCodec *codec = QTextCodec::codecForName("UTF-8");
    int pos = data.startsWith("\xef\xbb\xbf") ? 3 : 0;
    int lineStart = 0, lineLen = 0, equalsPos = -1;
    QString section;
    while (ReadLine(data, pos, lineStart, lineLen, equalsPos)) {
        if (data.at(lineStart) == '[') {
            const int close = data.indexOf(']', lineStart);
            QByteArray name = (close == -1 || close >= lineStart + lineLen) ? data.mid(lineStart + 1, lineLen - 1)
                                                                             : data.mid(lineStart + 1, close - lineStart - 1);
            name = name.trimmed();
            section.clear();
            if (qstricmp(name.constData(), "general") != 0) {
                if (qstricmp(name.constData(), "%general") == 0)
                    section = QLatin1String(name.constData() + 1);
                else
                    UnescapeKey(name, 0, name.size(), section);
                section += QLatin1Char('/');
            }
            continue;
        }
        if (equalsPos == -1)
            continue; // neither a key nor a section: QSettings skips it too
        int keyEnd = equalsPos;
        while (keyEnd > lineStart && (data.at(keyEnd - 1) == ' ' || data.at(keyEnd - 1) == '\t'))
            --keyEnd;
        QString key = section;
        UnescapeKey(data, lineStart, keyEnd, key);
        QString value;
        QStringList list;
        map.insert(key, UnescapeValue(data, equalsPos + 1, lineStart + lineLen, value, list, codec) ? ListToVariant(list)
                                                                                                   : StringToVariant(value));
    }
}

QByteArray IniCodec::Serialize(const QSettings::SettingsMap &map)
{
    QTextCodec *codec = QTextCodec::codecForName("UTF-8");
    // Sections in the order of their names, "General" (keys without a section) first.
    QMap<QString, QVariantMap> sections;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const int slash = it.key().indexOf(QLatin1Char('/'));
        if (slash == -1)
            sections[QString()].insert(it.key(), it.value());
        else
            sections[it.key().left(slash)].insert(it.key().mid(slash + 1), it.value());
    }
    QByteArray out;
    for (auto s = sections.cbegin(); s != sections.cend(); ++s) {
        QByteArray head;
        EscapeKey(s.key(), head);
        if (head.isEmpty())
            head = "[General]";
        else if (qstricmp(head.constData(), "general") == 0)
            head = "[%General]";
        else
            head = '[' + head + ']';
        if (s != sections.cbegin())
            out += '\n';
        out += head + '\n';
        for (auto k = s.value().cbegin(); k != s.value().cend(); ++k) {
            EscapeKey(k.key(), out);
            out += '=';
            const QVariant &v = k.value();
            if (v.userType() == QMetaType::QStringList
                || (v.userType() == QMetaType::QVariantList && v.toList().size() != 1)) {
                const QVariantList items = v.toList();
                if (items.isEmpty())
                    out += "@Invalid()";
                for (int i = 0; i < items.size(); ++i) {
                    if (i)
                        out += ", ";
                    EscapeString(VariantToString(items.at(i)), out, codec);
                }
            } else {
                EscapeString(VariantToString(v), out, codec);
            }
            out += '\n';
        }
    }
    return out;
}

bool IniCodec::Read(QIODevice &device, QSettings::SettingsMap &map)
{
    Parse(device.readAll(), map);
    return true;
}

bool IniCodec::Write(QIODevice &device, const QSettings::SettingsMap &map)
{
    // QSettings hands over its save file and commits it only when this returns true.
    auto *file = qobject_cast<QFileDevice *>(&device);
    int error = EIO;
    const bool written = file && CheckedSave::WriteAll(*file, Serialize(map), &error);
    CheckedSave::SetLastError(written ? 0 : error);
    return written;
}
