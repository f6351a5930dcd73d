#include "device/ByteTools.h"

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
