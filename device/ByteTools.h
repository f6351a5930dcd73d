#pragma once
#include <QString>
#include <cstdint>

// Each byte as "%02x " (lower-case hex and a blank); empty for a count below 1.
QString HexDump(const unsigned char *bytes, int count);

// The 8-bit sum of bytes 0 to 18: the checksum that byte 19 of every 20-byte report carries.
uint8_t ByteSum19(const unsigned char *bytes);
