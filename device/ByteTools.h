#pragma once
#include <QString>
#include <QStringList>
#include <cstdint>

// Each byte as "%02x " (lower-case hex and a blank); empty for a count below 1.
QString HexDump(const unsigned char *bytes, int count);

// The 8-bit sum of bytes 0 to 18: the checksum that byte 19 of every 20-byte report carries.
uint8_t ByteSum19(const unsigned char *bytes);

// A new 520-byte zeroed malloc buffer (the caller frees it): byte i is item i read as an unsigned
// base-16 number; an item that does not parse, or exceeds 0xFF, gives 0; items past 520 are dropped.
uint8_t *ParseByteList520(const QStringList &items);

// The high and the low hex digit of a byte (0x15 gives 1 and 5). Null outputs are skipped.
void HexByteToNibbles(uint8_t byte, uint8_t *high, uint8_t *low);

// The 8-bit sum of bytes 2 to length-1: the checksum that byte 1 of a mouse feature report carries.
uint8_t ByteSumFrom2(const unsigned char *bytes, int length);
