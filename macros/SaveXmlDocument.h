#pragma once
#include <QDomDocument>
#include <QTextCodec>

// Writes the document whole (indentation 4, in the encoding its declaration names, a character
// that encoding has no bytes for as a character reference) through a save file; false when it
// could not be written, and the old file then stays as it was.
bool SaveXmlDocument(const QString &path, const QDomDocument &document);

// The text in the codec's bytes, as QTextCodec::fromUnicode gives them with the state, but
// UTF-32 encoded here and without a byte order mark: Qt 5's UTF-32 encoder sizes its output in
// UTF-16 units, so each character beyond U+FFFF leaves four undefined bytes at its end.
QByteArray EncodeText(QTextCodec *codec, const QString &text, QTextCodec::ConverterState *state);
