// Whether the user may open a hidraw node: without the udev rule a normal user may not.
#include "platform/HidAccess.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace platform {

QString HidAccessProblem(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    if (native.isEmpty() || ::access(native.constData(), R_OK | W_OK) == 0)
        return QString();
    const int error = errno;
    if (error == EACCES || error == EPERM)
        return QStringLiteral("permission denied (%1); install platform/linux/70-quorix-hub.rules into "
                              "/etc/udev/rules.d/ and plug the device in again")
            .arg(QString::fromLocal8Bit(std::strerror(error)));
    return QString(); // gone, or another failure that the open reports itself
}

} // namespace platform
