#pragma once
// The keyboard's request and image layouts, as functions a test can call without a device.
#include <QByteArray>
#include <QString>
#include <cstdint>

class KeyboardCommandBuilder
{
public:
    // [rid][command][sub][0 ...][sum of bytes 0..18] into a 20-byte buffer.
    static void ShortRequest(uint8_t *report, uint8_t reportId, uint8_t command, uint8_t sub);
    // A wired read request into a zeroed buffer of at least 8 bytes: byte 1 the command, byte 4
    // = 1, bytes 6..7 the data length (low byte first); the code read 0x82 has its own header.
    static void FeatureReadRequest(uint8_t *buffer, uint8_t command, uint16_t length);
    // A 520-byte image (malloc, the caller frees) of a table read through the receiver, laid out
    // like the wired reply of readCommand (0x84, 0x8A or 0x86); data from byte 8, at most 512.
    static uint8_t *ReceiverImage(uint8_t readCommand, const QByteArray &data);
    // Bytes 512..519 of a base colour map read from the device: 00 00 5A A5 00 00 00 00.
    static void SetBaseTrailer(uint8_t *image);
    // Bytes 514..515 = 5A A5 of a base colour map sent through the receiver.
    static void SetUploadTrailer(uint8_t *image);
    // "#rrggbb" or "rrggbb"; false for anything else.
    static bool ParseColour(const QString &text, int *r, int *g, int *b);
    // The lighting model numbers 81 to 98.
    static bool IsLightingModel(int model) { return model >= 81 && model <= 98; }
};
