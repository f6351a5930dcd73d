#include "firmware/DownloadFileName.h"
#include "app/IniOpeners.h"

#include <QUrl>

QString DownloadFileName(const QUrl &url)
{
    // Fully decoded, so that "%2F" or "%2e%2e" cannot smuggle a separator or a parent folder in.
    QString name = url.path(QUrl::FullyDecoded);
    const int cut = qMax(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
    if (cut >= 0)
        name = name.mid(cut + 1);
    name.replace(QLatin1Char(' '), QLatin1Char('_'));
    if (!IsSafeFileComponent(name))
        return QString();
    return name;
}

QString DownloadFilePath(const QString &folder, const QString &fileName)
{
    if (folder.endsWith(QLatin1Char('/')))
        return folder + fileName;
    return folder + QLatin1Char('/') + fileName;
}
