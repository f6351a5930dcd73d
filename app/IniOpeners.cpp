#include "app/IniOpeners.h"
#include "app/AppDirPath.h"

#include <QSettings>

QSettings *OpenIniFile(const QString &path)
{
    auto *s = new QSettings(path, QSettings::IniFormat);
    s->setIniCodec("UTF-8");
    return s;
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
