#pragma once
#include "firmware/CmdControl.h"

struct DeviceRecord;

// Reads the firmware version of a PixArt mouse on its cable: one version query frame straight
// on the open device (no queue, no thread), one feature read 100 ms later.
class CmdControlPixArtVersion : public CmdControl
{
    Q_OBJECT
public:
    explicit CmdControlPixArtVersion(QObject *parent = nullptr) : CmdControl(parent) {}

    // The open device with its feature report length, under the record's own lock.
    void AttachRecord(DeviceRecord *record);

    // Bytes the reply must hold for its version bytes 25 and 26.
    static constexpr int MinReplyBytes = 27;

public Q_SLOTS:
    // Four lowercase hex digits, high byte first; no text without a device, for a version of
    // 0, or when the feature report or the reply is too short to hold the version.
    QString ReadWiredVersion() override;

private:
    DeviceRecord *m_record = nullptr;
};
