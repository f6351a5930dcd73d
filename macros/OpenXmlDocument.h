#pragma once
#include <QDomDocument>

// The parsed XML file; an empty document when it cannot be opened or is not valid XML.
QDomDocument OpenXmlDocument(const QString &path);
