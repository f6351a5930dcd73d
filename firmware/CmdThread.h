#pragma once
#include "firmware/Cmd.h"

#include <QObject>

typedef struct hid_device_ hid_device;

// Performs one firmware command on a device handle, synchronously on the caller's thread, and
// hands the reply of a read to its parent dispatcher.
class CmdThread : public QObject
{
    Q_OBJECT
public:
    explicit CmdThread(hid_device *dev, QObject *parent = nullptr);

    hid_device *device() const { return m_device; }

public Q_SLOTS:
    void set_cmd(Cmd cmd);
    void stop() {}

private:
    hid_device *m_device;
};

// A firmware wait of ms milliseconds, scaled by the HID time scale (tests shorten it).
void FirmwareSleepMs(int ms);
// Milliseconds of firmware waits performed so far in the process (for the pacing figures).
qint64 FirmwareWaitTotalMs();
