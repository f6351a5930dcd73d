// The Linux backend of the HID platform interface: hidraw sysfs nodes and a udev monitor.
#include "platform/HidIdentity.h"
#include "platform/HidPlatform.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QDebug>

#include <libudev.h>

namespace platform {

namespace {
// "/dev/hidraw3" -> "hidraw3"; empty for anything else.
QString HidrawNodeName(const QString &path)
{
    const QString base = QFileInfo(path).fileName();
    if (!base.startsWith(QLatin1String("hidraw")))
        return QString();
    bool ok = false;
    base.mid(6).toUInt(&ok);
    return ok ? base : QString();
}
} // namespace

QByteArray HidReportDescriptor(const QString &path)
{
    const QString node = HidrawNodeName(path);
    if (node.isEmpty())
        return QByteArray();
    QFile file(QStringLiteral("/sys/class/hidraw/%1/device/report_descriptor").arg(node));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(4096); // HID_MAX_DESCRIPTOR_SIZE
}

QString HidSysfsName(const QString &path)
{
    const QString node = HidrawNodeName(path);
    if (node.isEmpty())
        return QString();
    const QString target = QFileInfo(QStringLiteral("/sys/class/hidraw/%1/device").arg(node)).canonicalFilePath();
    return QFileInfo(target).fileName();
}

bool StartHidHotplugMonitor(HidHotplugSource *source)
{
    struct udev *udev = udev_new();
    if (!udev)
        return false;
    struct udev_monitor *monitor = udev_monitor_new_from_netlink(udev, "udev");
    if (!monitor) {
        udev_unref(udev);
        return false;
    }
    udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr);
    if (udev_monitor_enable_receiving(monitor) < 0) {
        udev_monitor_unref(monitor);
        udev_unref(udev);
        return false;
    }
    const int fd = udev_monitor_get_fd(monitor);
    auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, source);
    QObject::connect(notifier, &QSocketNotifier::activated, source, [source, monitor]() {
        struct udev_device *dev = udev_monitor_receive_device(monitor);
        if (!dev)
            return;
        const char *action = udev_device_get_action(dev);
        const char *devpath = udev_device_get_devpath(dev);
        const char *devnode = udev_device_get_devnode(dev);
        const QString actionText = QString::fromLatin1(action ? action : "");
        const HidIdentity id = ParseHidSysfsName(QString::fromLatin1(devpath ? devpath : ""));
        if (id.valid() && (actionText == QLatin1String("add") || actionText == QLatin1String("remove"))) {
            source->Deliver(actionText == QLatin1String("add"), id.deviceId, id.vendorId, id.productId,
                            QString::fromLocal8Bit(devnode ? devnode : ""));
        }
        udev_device_unref(dev);
    });
    QObject::connect(source, &QObject::destroyed, [monitor, udev]() {
        udev_monitor_unref(monitor);
        udev_unref(udev);
    });
    return true;
}

} // namespace platform

namespace platform {
double HidTimeScale()
{
    return 1.0; // the program always runs the protocol's real waits
}
} // namespace platform
