#include "app/CheckedSave.h"
#include "app/IniCodec.h"
#include "app/LogWriter.h"
#include "app/QXM_Process.h"

#include <QFile>
#include <QSaveFile>
#include <QSettings>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {
thread_local int t_lastError = 0;

CheckedSave::Fault &TestFault()
{
    static CheckedSave::Fault fault;
    return fault;
}

bool DiskFullError(int error)
{
    return error == ENOSPC || error == EDQUOT;
}

int ErrnoOr(int fallback)
{
    return errno ? errno : fallback;
}
} // namespace

void CheckedSave::SetLastError(int error)
{
    t_lastError = error;
}

int CheckedSave::LastError()
{
    return t_lastError;
}

int CheckedSave::FaultFor(const QString &path)
{
    return TestFault() ? TestFault()(path) : 0;
}

void CheckedSave::SetFaultForTest(Fault fault)
{
    TestFault() = std::move(fault);
}

bool CheckedSave::DiskFull(int error)
{
    return DiskFullError(error);
}

bool CheckedSave::WriteAll(QFileDevice &file, const QByteArray &bytes, int *error)
{
    int failure = FaultFor(file.fileName());
    if (!failure && !file.flush())
        failure = ErrnoOr(EIO);
    const int fd = file.handle();
    if (!failure && fd < 0)
        failure = EBADF;
    for (qint64 done = 0; !failure && done < bytes.size();) {
        errno = 0;
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno == EINTR)
            continue;
        else
            failure = ErrnoOr(ENOSPC); // a write that takes nothing: no room
    }
    // Delayed allocation may only find out at the sync that there is no room.
    if (!failure && ::fsync(fd) != 0 && errno != EINVAL)
        failure = ErrnoOr(EIO);
    if (error)
        *error = failure;
    return failure == 0;
}

bool CheckedSave::WriteFile(const QString &path, const QByteArray &bytes, int *error)
{
    int failure = 0;
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        failure = ErrnoOr(EACCES);
    else if (!WriteAll(file, bytes, &failure))
        file.cancelWriting();
    else if (errno = 0, !file.commit())
        failure = ErrnoOr(EIO);
    if (failure)
        WriteLogLine(QStringLiteral("not saved: %1 (%2)").arg(path, QString::fromLocal8Bit(std::strerror(failure))));
    SetLastError(failure);
    if (error)
        *error = failure;
    return failure == 0;
}

bool CheckedSave::CopyFile(const QString &from, const QString &to, int *error)
{
    QFile source(from);
    int failure = QFile::exists(to) ? EEXIST : 0;
    if (!failure && !source.open(QIODevice::ReadOnly))
        failure = ENOENT;
    if (failure) {
        SetLastError(failure);
        if (error)
            *error = failure;
        return false;
    }
    return WriteFile(to, source.readAll(), error);
}

bool CheckedSave::SyncSettings(QSettings &settings, int *error)
{
    SetLastError(0);
    settings.sync();
    int failure = settings.status() == QSettings::NoError ? 0 : (LastError() ? LastError() : EACCES);
    if (failure) {
        WriteLogLine(QStringLiteral("settings not saved: %1 (%2)")
                         .arg(settings.fileName(), QString::fromLocal8Bit(std::strerror(failure))));
        // QSettings keeps refused values for every later reader of the file: put back what the
        // disk holds, so that what the program reads is what was stored.
        QSettings::SettingsMap stored;
        QFile file(settings.fileName());
        if (file.open(QIODevice::ReadOnly))
            IniCodec::Parse(file.readAll(), stored);
        settings.clear();
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            settings.setValue(it.key(), it.value());
    }
    SetLastError(failure);
    if (error)
        *error = failure;
    return failure == 0;
}

namespace {
QString CauseText(int error)
{
    return DiskFullError(error) ? GetLangText(1007) : GetLangText(1008).arg(QString::fromLocal8Bit(std::strerror(error)));
}
} // namespace

QString CheckedSave::FailureText(What what, int error)
{
    static const uint whatIds[] = {1002, 1003, 1004, 1005, 1006};
    return GetLangText(1001).arg(GetLangText(whatIds[what]), CauseText(error ? error : EIO));
}

QString CheckedSave::Cause()
{
    return LastError() ? CauseText(LastError()) : QString();
}

QString CheckedSave::WithCause(const QString &text)
{
    const QString cause = Cause();
    return cause.isEmpty() ? text : text + QLatin1Char(' ') + cause;
}
