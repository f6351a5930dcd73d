#include "app/RunProcessOutput.h"

#include <QProcess>
#include <QStringList>

QString RunProcessOutput(const QString &command, int timeoutMs)
{
    QStringList words = command.split(QLatin1Char(' '));
    if (words.isEmpty() || words.first().isEmpty())
        return QString();
    QProcess process;
    const QString program = words.first();
    process.start(program, words.mid(1), QIODevice::ReadWrite);
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
    }
    QString text = QString::fromLocal8Bit(process.readAllStandardOutput());
    if (!words.last().isEmpty())
        text.remove(words.last(), Qt::CaseInsensitive);
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    process.close();
    return text.simplified();
}
