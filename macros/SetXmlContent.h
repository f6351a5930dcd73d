#pragma once
#include <QByteArray>
#include <QDomDocument>

// Nested deeper than this, a document is refused unparsed. The program's own files nest four
// levels; the DOM parser recurses once per level and runs out of stack some ten thousand
// levels down.
constexpr int kMaxXmlDepth = 256;

// With more attributes than this on one element, a document is refused unparsed. The program's
// own elements have at most sixteen; both parsers take time quadratic in their number (minutes
// for a few hundred thousand, on the GUI thread).
constexpr int kMaxXmlAttributes = 256;

// Parses the content into the document, as QDomDocument::setContent does, decoded once in the
// encoding its byte order mark or its declaration names (UTF-8 without either). A scan and a
// streaming pass over that decoded text refuse a document nested deeper than kMaxXmlDepth, one
// with more than kMaxXmlAttributes attributes on an element, one with a document type
// declaration (and so entities of its own), or one not readable to its end; an encoding Qt has
// no codec for, and bytes not valid in the named encoding, are refused before. A character
// reference beyond U+FFFF is read as its character, which the DOM parser alone would cut.
// False leaves the document empty and gives the reason and its line.
bool SetXmlContent(QDomDocument &document, const QByteArray &content, QString *error = nullptr, int *line = nullptr);
