#include "app/LogWriter.h"
#include "app/AppDirPath.h"

#include <QDateTime>
#include <QFile>
#include <QMutex>

QString LogTimeStamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("   yyyy MM dd hh:mm:ss:zzz"));
}

void WriteLogLine(const QString &text)
{
    static QMutex logMutex;
    QMutexLocker lock(&logMutex);
    QFile file(AppDirPath() + QStringLiteral("/Log.txt"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return; // a lost log line must never stop the program
    // UTF-8 whatever the locale: under LANG=C the local codec would turn Chinese into '?'.
    const QByteArray line = (text + LogTimeStamp() + QStringLiteral("\r\n")).toUtf8();
    file.write(line);
    file.close();
}
