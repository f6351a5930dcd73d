#include "macros/SaveXmlDocument.h"

#include <QSaveFile>
#include <QTextStream>

bool SaveXmlDocument(const QString &path, const QDomDocument &document)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QTextStream stream(&file);
    document.save(stream, 4, QDomNode::EncodingFromDocument);
    stream.flush();
    if (stream.status() != QTextStream::Ok) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
