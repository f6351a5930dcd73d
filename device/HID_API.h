#pragma once
#include <QWidget>

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
    static HID_API *s_instance;
};
