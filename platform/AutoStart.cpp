#include "platform/AutoStart.h"
#include "app/CheckedSave.h"
#include "app/IniOpeners.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

QString AutoStartFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart");
}

QString AutoStartEntryPath(const QString &appName)
{
    if (!IsSafeFileComponent(appName))
        return QString();
    return AutoStartFolder() + QLatin1Char('/') + appName + QStringLiteral(".desktop");
}

QString DesktopExecArgument(const QString &programPath)
{
    QString quoted;
    for (const QChar c : programPath) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    // The key's value is itself an escaped string, and "%" starts a field code.
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool AutoStartEntryExists(const QString &appName)
{
    const QString path = AutoStartEntryPath(appName);
    return !path.isEmpty() && QFile::exists(path);
}

bool WriteAutoStartEntry(const QString &appName, const QString &programPath, bool on)
{
    const QString path = AutoStartEntryPath(appName);
    if (path.isEmpty())
        return false;
    if (!on)
        return !QFile::exists(path) || QFile::remove(path);
    if (programPath.isEmpty() || programPath.contains(QLatin1Char('\n')) || !QDir().mkpath(AutoStartFolder()))
        return false;
    QString name = appName;
    name.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    const QString text = QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2\nX-GNOME-Autostart-enabled=true\n")
                             .arg(name, DesktopExecArgument(programPath));
    return CheckedSave::WriteFile(path, text.toUtf8());
}
