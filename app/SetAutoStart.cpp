#include "app/SetAutoStart.h"
#include "app/CheckedSave.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "platform/AutoStart.h"

#include <QCoreApplication>
#include <QSettings>
#include <memory>

bool SetAutoStart(bool on)
{
    const QString name = QCoreApplication::applicationName();
    const bool ok = WriteAutoStartEntry(name, QCoreApplication::applicationFilePath(), on);
    // A failed write must not be remembered as done: record what is actually in place.
    const bool present = ok ? on : AutoStartEntryExists(name);
    if (!ok)
        WriteLogLine(QStringLiteral("AutoStart write failed: ") + AutoStartEntryPath(name));
    std::unique_ptr<QSettings> ini(OpenSysBuildIni());
    ini->setValue(QStringLiteral("Systime/OpenAutoStart"), present);
    return CheckedSave::SyncSettings(*ini) && ok;
}
