#include "macros/OpenXmlDocument.h"

#include <QFile>

QDomDocument OpenXmlDocument(const QString &path)
{
    QDomDocument doc;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return doc;
    if (!doc.setContent(&file))
        return QDomDocument();
    return doc;
}
