#include "platform/HidIdentity.h"

#include <QStringList>

namespace platform {

namespace {
bool ParseHexField(const QString &text, int digits, uint32_t *out)
{
    if (text.size() != digits)
        return false;
    bool ok = false;
    const uint32_t value = text.toUInt(&ok, 16);
    if (!ok)
        return false;
    *out = value;
    return true;
}
} // namespace

HidIdentity ParseHidSysfsName(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (int i = parts.size() - 1; i >= 0; --i) {
        const QString &part = parts.at(i);
        // BBBB:VVVV:PPPP.NNNN
        const QStringList fields = part.split(QLatin1Char(':'));
        if (fields.size() != 3)
            continue;
        const QStringList last = fields.at(2).split(QLatin1Char('.'));
        if (last.size() != 2)
            continue;
        uint32_t bus = 0, vid = 0, pid = 0, seq = 0;
        if (!ParseHexField(fields.at(0), 4, &bus) || !ParseHexField(fields.at(1), 4, &vid)
            || !ParseHexField(last.at(0), 4, &pid) || last.at(1).isEmpty() || last.at(1).size() > 8)
            continue;
        bool ok = false;
        seq = last.at(1).toUInt(&ok, 16);
        if (!ok || seq == 0)
            return HidIdentity();
        HidIdentity id;
        id.deviceId = seq;
        id.vendorId = static_cast<uint16_t>(vid);
        id.productId = static_cast<uint16_t>(pid);
        return id;
    }
    return HidIdentity();
}

uint32_t WindowsDeviceIdFromPath(const QString &path)
{
    const QStringList parts = path.split(QLatin1Char('#'));
    if (parts.size() < 3)
        return 0;
    const QStringList fields = parts.at(2).split(QLatin1Char('&'));
    if (fields.size() < 2)
        return 0;
    bool ok = false;
    const uint32_t value = fields.at(1).toUInt(&ok, 16);
    return ok ? value : 0;
}

} // namespace platform
