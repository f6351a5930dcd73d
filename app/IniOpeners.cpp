#include "app/IniOpeners.h"
#include "app/AppDirPath.h"
#include "app/CheckedSettings.h"

#include <QSettings>

QSettings *OpenIniFile(const QString &path)
{
    return new CheckedSettings(path);
}

QSettings *OpenSysBuildIni()
{
    return OpenIniFile(AppDirPath() + QStringLiteral("/SysBuild.ini"));
}

bool IsSafeFileComponent(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c.unicode() < 0x20)
            return false;
    }
    return true;
}
