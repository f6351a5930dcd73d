#pragma once
#include <QByteArray>
#include <QDomDocument>

// Nested deeper than this, a document is refused unparsed. The program's own files nest four
// levels; the DOM parser recurses once per level and runs out of stack some ten thousand
// levels down.
constexpr int kMaxXmlDepth = 256;

// Parses the content into the document, as QDomDocument::setContent does, after a streaming
// pass over the same decoded text that refuses a document nested deeper than kMaxXmlDepth, one
// with a document type declaration (and so entities of its own), one not in UTF-8 or UTF-16,
// or one not readable to its end.
// False leaves the document empty and gives the reason and its line.
bool SetXmlContent(QDomDocument &document, const QByteArray &content, QString *error = nullptr, int *line = nullptr);
