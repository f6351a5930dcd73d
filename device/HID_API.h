#pragma once
#include "app/ProductRecord.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QVector>
#include <QWidget>
#include <cstdint>

struct DeviceRecord;
class QWaitGifWidget;

// The device list page: finds the maker's devices and shows them.
class HID_API : public QWidget
{
    Q_OBJECT
public:
    explicit HID_API(QWidget *parent = nullptr);
    ~HID_API() override;

    static HID_API *instance();
    // The device whose page was opened last; null when none.
    DeviceRecord *CurrentDevice() const { return m_currentDevice; }
    void SetCurrentDevice(DeviceRecord *device) { m_currentDevice = device; }

    // ---- Part 2.101: opening and classifying interfaces (GUI thread) ----
    // The first scan: every TLC of every HID node; keeps those that classify.
    static void OpenDevices(QList<DeviceRecord *> &out);
    // The re-open path: the interface of this device id and ids; null when none classifies.
    static DeviceRecord *OpenDevice(uint32_t deviceId, ushort vendorId, ushort productId);
    // The second-family interfaces of an arrived device not yet in the device map.
    void OpenArrivedDevices(QList<DeviceRecord *> &out, uint32_t deviceId, ushort vendorId, ushort productId);
    static QVector<ProductRecord> FindProduct(ushort vendorId, ushort productId, bool includeReceiver);
    static bool ProductFlagByVidPid(ushort vendorId, ushort productId);
    static bool IsProductKind4(ushort vendorId, ushort productId);
    static bool IsKnownProductCode(const QString &code);
    static ProductRecord FindProductByCode(const QString &code);

    // The device map of Part 2.102 (device id -> record); filled by the device list page.
    QMap<uint32_t, DeviceRecord *> &DeviceMap() { return m_deviceMap; }

Q_SIGNALS:
    void CLosingUsb();
    void freeDevicePageMemory();
    void ClearMouseDataBuff();
    void ClearKeyboardDataBuff();
    void updataDeviceVsesion(ushort vid, ushort pid);

public Q_SLOTS:
    void on_RefreshLangual();
    void on_CheckHidDeviceVersions(bool checkAll);

private:
    QWaitGifWidget *m_placeholder = nullptr;
    DeviceRecord *m_currentDevice = nullptr;
    QMap<uint32_t, DeviceRecord *> m_deviceMap;
    static HID_API *s_instance;
};
