#include "platform/HidAccess.h"
#include "app/LogWriter.h"

#include <QSet>

namespace platform {

bool LogHidAccessProblemOnce(const QString &path, const QString &ids, const QString &reason)
{
    static QSet<QString> logged; // GUI thread only
    const QString key = path + QLatin1Char('\n') + reason;
    if (path.isEmpty() || reason.isEmpty() || logged.contains(key))
        return false;
    logged.insert(key);
    WriteLogLine(QStringLiteral("HID interface %1 (%2) cannot be opened: %3").arg(path, ids, reason));
    return true;
}

} // namespace platform
