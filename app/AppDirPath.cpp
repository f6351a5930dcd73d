#include "app/AppDirPath.h"

#include <QCoreApplication>
#include <QMutex>

namespace {
QMutex &overrideMutex()
{
    static QMutex m;
    return m;
}
QString &overridePath()
{
    static QString p;
    return p;
}
} // namespace

QString AppDirPath()
{
    {
        QMutexLocker lock(&overrideMutex());
        if (!overridePath().isEmpty())
            return overridePath();
    }
    return QCoreApplication::applicationDirPath();
}

void SetAppDirPathOverride(const QString &dir)
{
    QMutexLocker lock(&overrideMutex());
    overridePath() = dir;
}
