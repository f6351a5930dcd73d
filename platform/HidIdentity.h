#pragma once
#include <QString>
#include <cstdint>

namespace platform {

// What the sysfs name of a HID device, "BBBB:VVVV:PPPP.NNNN", tells.
struct HidIdentity
{
    uint32_t deviceId = 0; // NNNN read as hexadecimal: one per USB interface, never 0
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    bool valid() const { return deviceId != 0; }
};

// Finds the last "BBBB:VVVV:PPPP.NNNN" component of a sysfs path, a udev DEVPATH or a bare
// name ("/devices/.../0003:258A:0138.000B/hidraw/hidraw3" gives 0xB, 0x258A, 0x0138).
// Anything malformed, or a sequence number of 0, gives an invalid identity.
HidIdentity ParseHidSysfsName(const QString &text);

// The device id of a Windows interface path: the path split at "#", its third part split at
// "&", the second field of that read as hexadecimal; 0 when any of these is missing.
uint32_t WindowsDeviceIdFromPath(const QString &path);

} // namespace platform
