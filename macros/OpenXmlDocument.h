#pragma once
#include <QDomDocument>

// The parsed XML file; an empty document when it cannot be opened, is not valid XML or nests
// deeper than kMaxXmlDepth.
QDomDocument OpenXmlDocument(const QString &path);
