#pragma once
#include <QDomDocument>

// Writes the document whole (indentation 4, in the encoding its declaration names, a character
// that encoding has no bytes for as a character reference) through a save file; false when it
// could not be written, and the old file then stays as it was.
bool SaveXmlDocument(const QString &path, const QDomDocument &document);
