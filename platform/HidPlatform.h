#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <cstdint>

// The small HID platform interface of ours beside hidapi. platform/linux/ implements it for
// real hidraw nodes and udev; the HID device emulator (tests/emu/) implements it for its
// virtual devices. The program code calls only these and hidapi's C functions.
namespace platform {

// The report descriptor bytes of an interface path (for hidraw: the sysfs
// "report_descriptor" of the node); empty when unknown.
QByteArray HidReportDescriptor(const QString &path);

// The sysfs name "BBBB:VVVV:PPPP.NNNN" of the HID device behind a path; empty when unknown.
QString HidSysfsName(const QString &path);

// The factor by which the HID transport scales its protocol waits and time-outs. Always 1 in the
// program (the Linux backend has no way to change it); only the emulator's test control can
// shorten the waits, so that tests of time-outs need not sleep through 6000 ms echo waits.
double HidTimeScale();

// A protocol wait of ms milliseconds, scaled (at least 1 ms for any positive ms).
int HidScaledMs(int ms);

// Arrival and removal notices of HID interfaces, delivered on the thread the source lives in
// (the GUI thread). One source per process, created on first use.
class HidHotplugSource : public QObject
{
    Q_OBJECT
public:
    static HidHotplugSource *instance();

    // Called by a backend from any thread; the signal is emitted in the source's thread.
    void Deliver(bool arrival, uint deviceId, ushort vendorId, ushort productId, const QString &path);

    bool isMonitoring() const { return m_monitoring; }

Q_SIGNALS:
    // arrival true: a device was plugged in; false: it was removed (the node is already gone).
    void DeviceNotice(bool arrival, uint deviceId, ushort vendorId, ushort productId, const QString &path);

private:
    explicit HidHotplugSource(QObject *parent = nullptr);
    bool m_monitoring = false;
};

// Starts the backend's monitor feeding the source (udev on Linux; the emulator's own notices in
// tests). Where no udev daemon runs the monitor is created and simply hears nothing.
bool StartHidHotplugMonitor(HidHotplugSource *source);

} // namespace platform
