#include "platform/DesktopLauncher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

bool OpenInBrowser(const QUrl &url)
{
    if (!url.isValid())
        return false;
    return QDesktopServices::openUrl(url);
}

bool StartDetachedProgram(const QString &programPath)
{
    const QFileInfo info(programPath);
    if (programPath.isEmpty() || !info.isFile())
        return false;
    return QProcess::startDetached(info.absoluteFilePath(), QStringList(), info.absolutePath());
}
