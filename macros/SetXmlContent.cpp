#include "macros/SetXmlContent.h"

#include <QXmlStreamReader>

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
} // namespace

bool SetXmlContent(QDomDocument &document, const QByteArray &content, QString *error, int *line)
{
    // The stream reader keeps its element stack on the heap, so any depth is measured safely.
    // Namespaces are read as the DOM parser below reads them: prefixes are plain names.
    // A document type declaration is refused whole: the stream reader stops reading entity
    // declarations after an external one it does not fetch, while the DOM parser expands them,
    // so what an entity would nest cannot be measured here. No file of the program has one;
    // the predefined entities and character references need none.
    QXmlStreamReader reader(content);
    reader.setNamespaceProcessing(false);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::DTD)
            return Refuse(document, QStringLiteral("a document type declaration is not accepted"),
                          reader.lineNumber(), error, line);
        if (token == QXmlStreamReader::StartElement && ++depth > kMaxXmlDepth)
            return Refuse(document, QStringLiteral("elements nested deeper than %1").arg(kMaxXmlDepth),
                          reader.lineNumber(), error, line);
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    // Whatever the stream reader cannot read to its end is refused too: the DOM parser is more
    // lenient (an unknown encoding, badly encoded bytes), and what it would read past the point
    // where the scan stopped has not been measured.
    if (reader.hasError())
        return Refuse(document, reader.errorString(), reader.lineNumber(), error, line);
    return document.setContent(content, error, line);
}
