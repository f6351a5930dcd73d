#include "device/HID_API.h"
#include "device/DeviceRecord.h"
#include "device/HidClassify.h"
#include "widgets/QWaitGifWidget.h"

#include <QVBoxLayout>

HID_API *HID_API::s_instance = nullptr;

HID_API::HID_API(QWidget *parent) : QWidget(parent)
{
    s_instance = this;
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_placeholder = new QWaitGifWidget(this);
    layout->addWidget(m_placeholder);
}

HID_API::~HID_API()
{
    if (s_instance == this)
        s_instance = nullptr;
}

HID_API *HID_API::instance()
{
    return s_instance;
}

void HID_API::on_RefreshLangual()
{
    m_placeholder->RefreshLanguage();
}

void HID_API::on_CheckHidDeviceVersions(bool)
{
}

void HID_API::OpenDevices(QList<DeviceRecord *> &out)
{
    out.append(ScanAndOpenDevices());
}

DeviceRecord *HID_API::OpenDevice(uint32_t deviceId, ushort vendorId, ushort productId)
{
    return ReopenDevice(deviceId, vendorId, productId);
}

void HID_API::OpenArrivedDevices(QList<DeviceRecord *> &out, uint32_t deviceId, ushort vendorId, ushort productId)
{
    QSet<uint32_t> known;
    for (auto it = m_deviceMap.cbegin(); it != m_deviceMap.cend(); ++it)
        known.insert(it.key());
    out.append(OpenArrivedSecondFamily(known, deviceId, vendorId, productId));
}

QVector<ProductRecord> HID_API::FindProduct(ushort vendorId, ushort productId, bool includeReceiver)
{
    return FindProductList(vendorId, productId, includeReceiver);
}

bool HID_API::ProductFlagByVidPid(ushort vendorId, ushort productId)
{
    return ProductFlagByIds(vendorId, productId);
}

bool HID_API::IsProductKind4(ushort vendorId, ushort productId)
{
    return IsFamily4Product(vendorId, productId);
}

bool HID_API::IsKnownProductCode(const QString &code)
{
    return IsKnownCode(code);
}

ProductRecord HID_API::FindProductByCode(const QString &code)
{
    return FindProductByCodeText(code);
}
