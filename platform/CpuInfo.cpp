#include "platform/CpuInfo.h"

#include <QFile>
#include <QStringList>

namespace platform {

QString ProcessorNames()
{
    static const QString names = [] {
        QString text;
        QFile cpu(QStringLiteral("/proc/cpuinfo"));
        if (!cpu.open(QIODevice::ReadOnly))
            return text;
        const QStringList lines = QString::fromLocal8Bit(cpu.read(64 * 1024)).split(QLatin1Char('\n'));
        for (const QString &line : lines)
            if (line.startsWith(QLatin1String("vendor_id")) || line.startsWith(QLatin1String("model name")))
                text += line + QLatin1Char('\n');
        return text;
    }();
    return names;
}

bool IsAmdProcessor()
{
    static const bool amd = ProcessorNames().toUpper().contains(QLatin1String("AMD"));
    return amd;
}

} // namespace platform
