#include "platform/HidPlatform.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace platform {

HidHotplugSource::HidHotplugSource(QObject *parent) : QObject(parent)
{
}

HidHotplugSource *HidHotplugSource::instance()
{
    static HidHotplugSource *source = [] {
        auto *s = new HidHotplugSource(QCoreApplication::instance());
        s->m_monitoring = StartHidHotplugMonitor(s);
        return s;
    }();
    return source;
}

void HidHotplugSource::Deliver(bool arrival, uint deviceId, ushort vendorId, ushort productId,
                               const QString &path)
{
    QMetaObject::invokeMethod(
        this,
        [this, arrival, deviceId, vendorId, productId, path]() {
            Q_EMIT DeviceNotice(arrival, deviceId, vendorId, productId, path);
        },
        Qt::QueuedConnection);
}

} // namespace platform

namespace platform {
int HidScaledMs(int ms)
{
    if (ms <= 0)
        return ms;
    const double scale = HidTimeScale();
    if (scale >= 1.0 || scale <= 0.0)
        return ms;
    const int scaled = static_cast<int>(ms * scale + 0.5);
    return scaled < 1 ? 1 : scaled;
}
} // namespace platform
