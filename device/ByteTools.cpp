#include "device/ByteTools.h"

#include <algorithm>
#include <cstdlib>

QString HexDump(const unsigned char *bytes, int count)
{
    QString out;
    if (!bytes || count < 1)
        return out;
    out.reserve(count * 3);
    static const char digits[] = "0123456789abcdef";
    for (int i = 0; i < count; ++i) {
        out += QLatin1Char(digits[bytes[i] >> 4]);
        out += QLatin1Char(digits[bytes[i] & 0x0F]);
        out += QLatin1Char(' ');
    }
    return out;
}

uint8_t ByteSum19(const unsigned char *bytes)
{
    unsigned sum = 0;
    for (int i = 0; i < 19; ++i)
        sum += bytes[i];
    return static_cast<uint8_t>(sum & 0xFF);
}

uint8_t *ParseByteList520(const QStringList &items)
{
    auto *out = static_cast<uint8_t *>(calloc(520, 1));
    if (!out)
        return nullptr;
    const int n = std::min(items.size(), 520);
    for (int i = 0; i < n; ++i) {
        bool ok = false;
        const uint v = items.at(i).trimmed().toUInt(&ok, 16);
        out[i] = ok && v <= 0xFF ? static_cast<uint8_t>(v) : 0;
    }
    return out;
}

void HexByteToNibbles(uint8_t byte, uint8_t *high, uint8_t *low)
{
    if (high)
        *high = static_cast<uint8_t>(byte >> 4);
    if (low)
        *low = static_cast<uint8_t>(byte & 0x0F);
}

uint8_t ByteSumFrom2(const unsigned char *bytes, int length)
{
    unsigned sum = 0;
    for (int i = 2; bytes && i < length; ++i)
        sum += bytes[i];
    return static_cast<uint8_t>(sum & 0xFF);
}
