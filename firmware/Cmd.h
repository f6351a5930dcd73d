#pragma once
#include <QMetaType>
#include <QString>
#include <cstdint>
#include <string>

// What a firmware command does on the device handle.
enum CmdKind : uint32_t {
    GetFeature = 0,  // feature report read into a 64-byte buffer preset with out_bytes
    SendFeature = 1, // 64-byte feature report, zero-filled after out_bytes
    WriteOutput = 2, // output report of exactly out_bytes
    ReadInput = 3,   // input report read, 100 ms time-out
    None = 4         // only the two sleeps
};

// One HID transfer of a firmware protocol with its pacing. out_bytes is the request (for the
// read kinds the preset of the transfer buffer, byte 0 the report id); in_bytes holds the reply
// in the copy that the dispatcher queues.
struct Cmd
{
    Cmd();
    Cmd(const QString &name, uint32_t kind, uint32_t preDelayMs, uint32_t postDelayMs, const std::string &out);

    QString name;
    uint32_t kind = None;
    uint32_t pre_delay_ms = 0;
    uint32_t post_delay_ms = 0;
    std::string out_bytes;
    std::string in_bytes;
};

Q_DECLARE_METATYPE(Cmd)
