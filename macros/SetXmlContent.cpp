#include "macros/SetXmlContent.h"
#include "macros/SaveXmlDocument.h"

#include <QRegularExpression>
#include <QTextCodec>
#include <QXmlStreamReader>

#include <algorithm>

namespace {
bool Refuse(QDomDocument &document, const QString &reason, qint64 where, QString *error, int *line)
{
    document = QDomDocument();
    if (error)
        *error = reason;
    if (line)
        *line = static_cast<int>(where);
    return false;
}

// Where the comment, character data section or processing instruction that starts at p ends
// (the text's end when it is not closed); null when none starts there. Such a section may hold
// anything up to its own end.
const QChar *SectionEnd(const QChar *p, const QChar *end)
{
    const QStringView rest(p, end - p);
    for (const auto &section : {std::make_pair("<!--", "-->"), std::make_pair("<![CDATA[", "]]>"),
                                std::make_pair("<?", "?>")}) {
        const QLatin1String open(section.first), close(section.second);
        if (rest.startsWith(open)) {
            // Its end is looked for after its start, as the parsers do ("<!-->" ends nothing).
            const qsizetype at = rest.indexOf(close, open.size());
            return at < 0 ? end : p + at + close.size();
        }
    }
    return nullptr;
}

// The character a reference at p ("&#" and decimal digits, or "&#x" and hexadecimal ones, then
// ";") stands for when it lies beyond U+FFFF and is one XML allows, and where the reference ends;
// 0 for anything else, which is left to the parsers as it stands.
char32_t WideReference(const QChar *p, const QChar *end, const QChar **after)
{
    if (end - p < 3 || p[0] != QLatin1Char('&') || p[1] != QLatin1Char('#'))
        return 0;
    const bool hex = p[2] == QLatin1Char('x');
    const QChar *q = p + (hex ? 3 : 2);
    const QChar *const digits = q;
    char32_t value = 0;
    for (; q != end; ++q) {
        const ushort c = q->unicode(), lower = c | 0x20;
        const int digit = c >= '0' && c <= '9' ? c - '0' : hex && lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
        if (digit < 0)
            break;
        value = std::min<char32_t>(value * (hex ? 16 : 10) + digit, 0x110000); // no overflow
    }
    if (q == digits || q == end || *q != QLatin1Char(';') || value <= 0xFFFF || value > 0x10FFFF)
        return 0;
    *after = q + 1;
    return value;
}

// The text with each character reference beyond U+FFFF in content and attribute values
// replaced by the character: the DOM parser keeps only the low sixteen bits of such a reference.
// In comments, character data, instructions and markup outside quoted values "&#" is no
// reference and stays, as does "&amp;#" anywhere.
QString WithWideReferencesResolved(const QString &text)
{
    const QChar *const begin = text.constData(), *const end = begin + text.size();
    QString resolved;
    const QChar *copied = begin;
    bool tag = false;
    QChar quote;
    for (const QChar *p = begin; p != end;) {
        if (!tag && *p == QLatin1Char('<')) {
            const QChar *const after = SectionEnd(p, end);
            tag = !after;
            p = after ? after : p + 1;
            continue;
        }
        if (tag && quote == QChar()) {
            if (*p == QLatin1Char('"') || *p == QLatin1Char('\''))
                quote = *p;
            else if (*p == QLatin1Char('>'))
                tag = false;
            ++p;
            continue;
        }
        if (tag && *p == quote) {
            quote = QChar();
            ++p;
            continue;
        }
        const QChar *after = nullptr;
        if (const char32_t character = WideReference(p, end, &after)) {
            resolved.append(copied, int(p - copied));
            resolved.append(QChar::highSurrogate(character)).append(QChar::lowSurrogate(character));
            p = copied = after;
        } else {
            ++p;
        }
    }
    if (copied == begin)
        return text;
    resolved.append(copied, int(end - copied));
    return resolved;
}

// In one pass over the text, before either parser reads it, what both parsers would take time
// quadratic in: more than kMaxXmlAttributes attributes on one element (each has its "=" outside
// the quoted values), or a document type declaration, whose attribute lists are as slow. Gives
// the reason and the line, or an empty reason.
QString QuadraticMarkup(const QString &text, qint64 *where)
{
    const QChar *const begin = text.constData(), *const end = begin + text.size();
    const QChar *p = begin;
    while ((p = std::find(p, end, QLatin1Char('<'))) != end) {
        const QStringView rest(p, end - p);
        if (const QChar *const after = SectionEnd(p, end)) {
            p = after;
            continue;
        }
        const auto refuse = [&](const QString &reason) {
            *where = std::count(begin, rest.data(), QLatin1Char('\n')) + 1;
            return reason;
        };
        // Any other "<!" is one, or not well-formed.
        if (rest.startsWith(QLatin1String("<!")))
            return refuse(QStringLiteral("a document type declaration is not accepted"));
        int attributes = 0;
        QChar quote;
        for (++p; p != end && (quote != QChar() || *p != QLatin1Char('>')); ++p) {
            if (quote != QChar()) {
                if (*p == quote)
                    quote = QChar();
            } else if (*p == QLatin1Char('"') || *p == QLatin1Char('\'')) {
                quote = *p;
            } else if (*p == QLatin1Char('=') && ++attributes > kMaxXmlAttributes) {
                return refuse(QStringLiteral("more than %1 attributes on one element").arg(kMaxXmlAttributes));
            }
        }
    }
    return QString();
}
// The width in bits of the Unicode encoding a codec is (8, 16 or 32), or 0 for any other.
int UtfWidth(const QTextCodec *codec)
{
    switch (codec->mibEnum()) {
    case 106:
        return 8;
    case 1013: // UTF-16BE, UTF-16LE, UTF-16
    case 1014:
    case 1015:
        return 16;
    case 1017: // UTF-32, UTF-32BE, UTF-32LE
    case 1018:
    case 1019:
        return 32;
    default:
        return 0;
    }
}

// The codec of a text that starts with a byte order mark, and the mark's length; or of one in
// UTF-16 or UTF-32 without a mark, told by how its first characters are spelled (as XML's own
// rules tell it). Null for any other text: its declaration is in ASCII as it stands.
QTextCodec *MarkedOrWideCodec(const QByteArray &content, int *mark)
{
    *mark = 0;
    if (QTextCodec *const marked = QTextCodec::codecForUtfText(content, nullptr)) {
        const int width = UtfWidth(marked);
        *mark = width == 8 ? 3 : width / 8;
        return marked;
    }
    static const struct {
        const char *start;
        int mib;
    } wide[] = {{"<\0\0\0", 1019}, {"\0\0\0<", 1018}, {"<\0?\0", 1014}, {"\0<\0?", 1013}};
    for (const auto &w : wide)
        if (content.startsWith(QByteArray::fromRawData(w.start, 4)))
            return QTextCodec::codecForMib(w.mib);
    return nullptr;
}

// The encoding named by the XML declaration the text begins with; empty without one.
QString DeclaredEncoding(const QString &text)
{
    static const QRegularExpression declaration(QStringLiteral(
        "<\\?xml[ \t\r\n]+version[ \t\r\n]*=[ \t\r\n]*(?:\"[^\"]*\"|'[^']*')[ \t\r\n]+encoding[ \t\r\n]*=[ \t\r\n]*"
        "(?:\"([A-Za-z][A-Za-z0-9._-]*)\"|'([A-Za-z][A-Za-z0-9._-]*)')"));
    const QRegularExpressionMatch match =
        declaration.match(text, 0, QRegularExpression::NormalMatch, QRegularExpression::AnchoredMatchOption);
    return match.hasMatch() ? match.captured(1) + match.captured(2) : QString();
}
} // namespace

bool SetXmlContent(QDomDocument &document, const QByteArray &content, QString *error, int *line)
{
    // Decoded here, once, in the encoding the byte order mark or the declaration names (UTF-8
    // without either), and both parsers below are handed the same text: left to themselves they
    // each find the encoding their own way (the DOM parser takes any instruction beginning
    // "<?xml" for the declaration, but looks only at the first 1024 bytes), and what one reads
    // as a comment the other could read as markup. Read from text, neither decodes again.
    int mark = 0;
    QTextCodec *const wide = MarkedOrWideCodec(content, &mark);
    const QByteArray bytes = QByteArray::fromRawData(content.constData() + mark, content.size() - mark);
    QTextCodec::ConverterState in(QTextCodec::IgnoreHeader);
    QString text;
    if (wide)
        text = wide->toUnicode(bytes.constData(), bytes.size(), &in);
    const int close = wide ? -1 : bytes.indexOf("?>");
    const QString declared = DeclaredEncoding(wide ? text : QString::fromLatin1(bytes.left(close < 0 ? 0 : close + 2)));
    QTextCodec *codec = wide;
    if (!declared.isEmpty()) {
        QTextCodec *const named = QTextCodec::codecForName(declared.toLatin1());
        if (!named)
            return Refuse(document, QStringLiteral("encoding %1 is not known").arg(declared), 1, error, line);
        // A mark, or the width the first characters have, is not overruled by the name; a
        // declaration spelled in single bytes cannot be in a wider Unicode encoding.
        if (wide ? UtfWidth(named) != UtfWidth(wide) : UtfWidth(named) > 8)
            return Refuse(document, QStringLiteral("encoding %1 is not the one the text begins in").arg(declared), 1,
                          error, line);
        if (!wide)
            codec = named;
    }
    if (!codec)
        codec = QTextCodec::codecForMib(106);
    if (!wide)
        text = codec->toUnicode(bytes.constData(), bytes.size(), &in);
    // Codecs Qt takes from ICU count no invalid bytes, and drop an unfinished sequence at the
    // end; its UTF-32 codec counts none either and makes something of any unit: a text that
    // does not encode back to the same bytes was not in that encoding.
    QTextCodec::ConverterState out(QTextCodec::IgnoreHeader);
    if (in.invalidChars > 0 || in.remainingChars > 0 || EncodeText(codec, text, &out) != bytes)
        return Refuse(document,
                      QStringLiteral("the text is not encoded as ")
                          + (declared.isEmpty() ? QString::fromLatin1(codec->name()) : declared),
                      1, error, line);
    // From here on the guards and the parser read this one text.
    text = WithWideReferencesResolved(text);

    // A document type declaration is refused whole: the stream reader stops reading entity
    // declarations after an external one it does not fetch, while the DOM parser expands them,
    // so what an entity would nest could not be measured below. No file of the program has one;
    // the predefined entities and character references need none.
    qint64 where = 0;
    const QString quadratic = QuadraticMarkup(text, &where);
    if (!quadratic.isEmpty())
        return Refuse(document, quadratic, where, error, line);

    // The stream reader keeps its element stack on the heap, so any depth is measured safely.
    // Namespaces are read as the DOM parser below reads them: prefixes are plain names.
    QXmlStreamReader reader(text);
    reader.setNamespaceProcessing(false);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        // The declaration the text was decoded by is the one the parsers read.
        if (token == QXmlStreamReader::StartDocument
            && reader.documentEncoding().compare(declared, Qt::CaseInsensitive) != 0)
            return Refuse(document, QStringLiteral("the encoding declaration is not readable"), reader.lineNumber(),
                          error, line);
        if (token == QXmlStreamReader::DTD) // found above already; kept should the two ever disagree
            return Refuse(document, QStringLiteral("a document type declaration is not accepted"),
                          reader.lineNumber(), error, line);
        if (token == QXmlStreamReader::StartElement && ++depth > kMaxXmlDepth)
            return Refuse(document, QStringLiteral("elements nested deeper than %1").arg(kMaxXmlDepth),
                          reader.lineNumber(), error, line);
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    // Whatever the stream reader cannot read to its end is refused too: the DOM parser is more
    // lenient, and what it would read past the point where the scan stopped has not been measured.
    if (reader.hasError())
        return Refuse(document, reader.errorString(), reader.lineNumber(), error, line);
    return document.setContent(text, error, line);
}
