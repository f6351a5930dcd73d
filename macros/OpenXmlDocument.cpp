#include "macros/OpenXmlDocument.h"
#include "macros/SetXmlContent.h"

#include <QFile>

QDomDocument OpenXmlDocument(const QString &path)
{
    QDomDocument doc;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return doc;
    if (!SetXmlContent(doc, file.readAll()))
        return QDomDocument();
    return doc;
}
