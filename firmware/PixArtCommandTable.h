#pragma once
#include "firmware/Cmd.h"

#include <QList>
#include <QMap>
#include <QString>
#include <string>

// Request frame of the PixArt mice and receivers, carried in 64-byte feature reports:
// [report id][checksum][65 3A][tag][link][command][sequence][length][payload...].
namespace PixArtFrame {
constexpr int ReportId = 0, Checksum = 1, Magic0 = 2, Magic1 = 3, Tag = 4, Link = 5, Command = 6, Sequence = 7,
              Length = 8, Payload = 9;
constexpr int MaxBytes = 64;
} // namespace PixArtFrame

// The frame with byte 1 set to the low 8 bits of the sum of bytes 2 to the end; frames of two
// bytes or fewer come back unchanged.
std::string PixArtChecksum(const std::string &frame);

// The program-wide firmware command table: step name to its ordered commands. Created empty on
// first use; InitPixArtCommandTable fills it (again filling gives the same table).
QMap<QString, QList<Cmd>> &PixArtCommandTable();
bool InitPixArtCommandTable();
// A copy of one step's commands (empty when the step is unknown), filling the table first.
QList<Cmd> PixArtStep(const QString &step);

// The firmware sender's rule, applied to a copy of each command before it goes out: report id 3,
// the running sequence counted up on each read, length and sequence bytes of a send (0 for a
// data packet 0x40), and the checksum. False for a frame over 64 bytes, which cannot go out whole.
bool PixArtPrepareSend(Cmd &cmd, uint8_t &sequence);
