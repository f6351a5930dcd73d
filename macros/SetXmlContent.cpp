#include "macros/SetXmlContent.h"

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

// In one pass over the text, before either parser reads it, what both parsers would take time
// quadratic in: more than kMaxXmlAttributes attributes on one element (each has its "=" outside
// the quoted values), or a document type declaration, whose attribute lists are as slow. Gives
// the reason and the line, or an empty reason. Comments, character data and instructions may
// hold anything up to their own end.
QString QuadraticMarkup(const QString &text, qint64 *where)
{
    const QChar *const begin = text.constData(), *const end = begin + text.size();
    const QChar *p = begin;
    while ((p = std::find(p, end, QLatin1Char('<'))) != end) {
        const QStringView rest(p, end - p);
        bool skipped = false;
        for (const auto &section : {std::make_pair("<!--", "-->"), std::make_pair("<![CDATA[", "]]>"),
                                    std::make_pair("<?", "?>")}) {
            const QLatin1String open(section.first), close(section.second);
            if (rest.startsWith(open)) {
                // Its end is looked for after its start, as the parsers do ("<!-->" ends nothing).
                const qsizetype at = rest.indexOf(close, open.size());
                p = at < 0 ? end : p + at + close.size();
                skipped = true;
                break;
            }
        }
        if (skipped)
            continue;
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
} // namespace

bool SetXmlContent(QDomDocument &document, const QByteArray &content, QString *error, int *line)
{
    // Decoded here, once, and both parsers below are handed the same text: left to themselves
    // they each find the encoding their own way (the DOM parser takes any instruction beginning
    // "<?xml" for the declaration, but looks only at the first 1024 bytes), and what one reads
    // as a comment the other could read as markup. The text is UTF-8, or UTF-16 after its byte
    // order mark; an encoding declared in it is ignored by both parsers, so another is refused.
    QTextCodec *const codec = QTextCodec::codecForUtfText(content, QTextCodec::codecForMib(106));
    QTextCodec::ConverterState state;
    const QString text = codec->toUnicode(content.constData(), content.size(), &state);
    if (state.invalidChars > 0 || state.remainingChars > 0)
        return Refuse(document, QStringLiteral("the text is not encoded as ") + QString::fromLatin1(codec->name()),
                      1, error, line);

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
        if (token == QXmlStreamReader::StartDocument) {
            const QString encoding = reader.documentEncoding().toString().toUpper();
            if (!encoding.isEmpty() && encoding != QLatin1String("UTF-8") && encoding != QLatin1String("UTF-16"))
                return Refuse(document, QStringLiteral("encoding %1 is not accepted").arg(reader.documentEncoding()),
                              reader.lineNumber(), error, line);
        }
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
