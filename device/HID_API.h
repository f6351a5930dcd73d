#pragma once
#include "app/ProductRecord.h"
#include "device/DeviceRecord.h"

#include <QList>
#include <QMap>
#include <QMultiMap>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QVector>
#include <QWidget>
#include <atomic>
#include <cstdint>

struct DeviceRecord;
class QGridLayout;
class QHidListWidget;
class QHID_TempWokThred;
class QHid_Threads_Manage;
class QHid_Work_Interface;
class QKeyLableItem;
class QLabel;
class QScrollArea;
class QTabWidget;
class QVBoxLayout;
class QWaitGifWidget;

// The device list page and the program's device manager: the first scan, one worker per
// accepted device, the device and tile maps, hot-plug notices (on the GUI thread), device
// events from the workers, the current device (the one whose page was opened last) and the
// device whose page is open now.
class HID_API : public QWidget
{
    Q_OBJECT
public:
    explicit HID_API(QWidget *parent = nullptr);
    ~HID_API() override;

    static HID_API *instance();
    // The device whose page was opened last; null when none, or when its removal or sleep is
    // held until a wait has returned (the record stays allocated until then).
    DeviceRecord *CurrentDevice() const
    {
        return m_currentDevice && !m_going.contains(m_currentDevice->deviceId) ? m_currentDevice : nullptr;
    }
    void SetCurrentDevice(DeviceRecord *device) { m_currentDevice = device; }
    // The device whose page is open now: its page is shown, or lies under the settings page or
    // the editor opened from it. Null on the device list, and while its removal or sleep is
    // held. A device whose page was left stays current (requests still go to it) but is not
    // the page's device: its going leaves no page and turns no answer into No.
    DeviceRecord *PageDevice() const
    {
        return m_pageDevice && !m_going.contains(m_pageDevice->deviceId) ? m_pageDevice : nullptr;
    }
    // The main window shows a device page (true) or the device list (false).
    void SetDevicePageOpen(bool open);
    // The open page's device went in a wait that has not returned yet: until its page is left,
    // the page takes no input and writes none of its files.
    bool PageGoing() const { return m_pageDevice && m_going.contains(m_pageDevice->deviceId); }
    // The same of the one page, for the savers of the device pages.
    static bool PageDeviceGoing() { return s_instance && s_instance->PageGoing(); }
    void SetCurrentDeviceById(uint32_t deviceId);
    // The listed record of an id; null when the id is not listed, or its removal is held.
    DeviceRecord *DeviceById(uint32_t deviceId) const
    {
        return m_going.contains(deviceId) ? nullptr : m_deviceMap.value(deviceId, nullptr);
    }
    QList<DeviceRecord *> DeviceRecords() const { return m_deviceMap.values(); }
    // The device map (device id -> record): a device is listed here when it has a worker.
    QMap<uint32_t, DeviceRecord *> &DeviceMap() { return m_deviceMap; }
    // A copy of the tile map (device id -> tile).
    QMap<uint32_t, QKeyLableItem *> TileMap() const { return m_tileMap; }
    QHid_Threads_Manage *Manager() const { return m_manager; }
    // A new 520-byte copy (malloc, the caller frees it) of the current device's DIY colour map;
    // null without a current device that keeps one.
    uint8_t *CurrentDiyColorMap() const;
    // Stores a copy of a 520-byte map as the current device's DIY colour map and saves it to the
    // product data file; false without a current device that keeps one.
    bool SetCurrentDiyColorMap(const uint8_t *map);

    // Device parameter positions of the current keyboard product, stored by the keyboard page's
    // layout parse; 0 or less: the product has no such byte.
    std::atomic<int16_t> OsModePos{8};
    std::atomic<uint8_t> MacModeValue{1};
    std::atomic<uint8_t> WinModeValue{0};
    std::atomic<int16_t> WinLockPos{0};
    std::atomic<int16_t> SleepPos{0};
    std::atomic<int16_t> DebouncePos{0};
    std::atomic<int16_t> ReportRatePos{0};
    QHID_TempWokThred *CodeReader() const { return m_codeReader; }
    QHidListWidget *ListWidget() const { return HidList_Widget; }
    QScrollArea *ScrollArea() const { return HidScrollArea; }
    QWaitGifWidget *EmptyListOverlay() const { return m_placeholder; }
    bool DeviceFound() const { return m_deviceFound; }

    // ---- opening and classifying interfaces (GUI thread) ----
    static void OpenDevices(QList<DeviceRecord *> &out);
    static DeviceRecord *OpenDevice(uint32_t deviceId, ushort vendorId, ushort productId);
    void OpenArrivedDevices(QList<DeviceRecord *> &out, uint32_t deviceId, ushort vendorId, ushort productId);
    static QVector<ProductRecord> FindProduct(ushort vendorId, ushort productId, bool includeReceiver);
    static bool ProductFlagByVidPid(ushort vendorId, ushort productId);
    static bool IsProductKind4(ushort vendorId, ushort productId);
    static bool IsKnownProductCode(const QString &code);
    static ProductRecord FindProductByCode(const QString &code);
    // The first product whose "Productpassword" equals the code, both upper-cased; an empty
    // "Productpassword" matches no code.
    static ProductRecord FindProductRecord(const QString &code);

    // ---- the page's work ----
    bool CreateDeviceWorker(DeviceRecord *record);
    DeviceRecord *AttachArrivedDevice(uint32_t deviceId, ushort vendorId, ushort productId);
    void ReopenDevices(ushort vendorId, ushort productId, bool arrival, uint32_t deviceId = 0);
    void BuildDeviceList();
    int RefreshDeviceTiles();
    int SelectDevice(QKeyLableItem *tile);
    QString GrabDeviceCode(QHid_Work_Interface *worker);
    void SetUpdating(bool updating) { m_updating = updating; }
    bool IsUpdating() const { return m_updating; }
    void ProcessUsbEvents();
    int PendingNotices() const { return m_pendingNotices.size(); }
    void StopDeviceWorker(uint32_t deviceId, bool closeHandles);
    // Closes what StopDeviceWorker left open for an update (the record and its companions),
    // before the device may be opened again; nothing when the id holds nothing.
    void CloseStoppedDevice(uint32_t deviceId);

    // Firmware labels of the mouse page; see the firmware notes at the definitions.
    int ShowDeviceVersion(DeviceRecord *record, QLabel *versionLabel, QLabel *stateLabel);
    int ShowMouseDeviceVersion(DeviceRecord *record, QLabel *versionLabel, QLabel *stateLabel);

    // Tests stand protocol workers in through this before the page is built: it makes the
    // worker of a record (not yet handed to the manager); null falls back to the manager's.
    using WorkerFactory = QHid_Work_Interface *(*)(DeviceRecord *record);
    static void SetWorkerFactory(WorkerFactory factory);

Q_SIGNALS:
    void usb_numble(int Cuont_Device);
    void usb_in(int Cuont_Device);
    void usb_out(int Cuont_Device);
    void usbtabwidget(uchar index);
    void updataDeviceVsesion(ushort vid, ushort pid);
    void CLosingUsb();
    void freeDevicePageMemory();
    void ClearMouseDataBuff();
    void ClearKeyboardDataBuff();
    void SynchronizingDeviceData();
    void SyncGrabCode(QHid_Work_Interface *face);
    void GrabMousePram();
    void Signal_GrabKeyBoradConfigMaps();
    void GrabColor(unsigned char *colorlist);
    void Signal_KeyBoard_Keys_Chenge(QString file, uchar Keyleve, bool disp, bool isfn, bool isReset);

public Q_SLOTS:
    void On_UpdataHidDevice(uint comID, uchar updadaEven);
    void on_usb_Input(uint comId, ushort Vid, ushort Pid);
    void on_usb_Output(uint comId, ushort Vid, ushort Pid);
    void on_HidItem(QWidget *win, bool show);
    void on_CheckHidDeviceVersions(bool PopMessg);
    void on_CheckHidDeviceVersions();
    void on_ErrorMessgeBox(int errid);
    void on_close();
    void on_RefreshLangual();
    void on_ExitButton_clicked();
    void on_ResetoreDefault_clicked();
    void on_HidGrabCodeSucceed(QString Sn);
    // A hot-plug notice (arrival or removal) from the platform's source.
    void on_DeviceNotice(bool arrival, uint deviceId, ushort vendorId, ushort productId, const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Notice
    {
        uint32_t deviceId = 0;
        ushort vendorId = 0;
        ushort productId = 0;
        bool arrival = false;
        bool isZrRtu = true;
        int event = -1; // a worker's device event held by a wait; -1: a hot-plug notice
    };
    void setupUi();
    void retranslateUi();
    void InitDevices();
    void HandleNotice(const Notice &notice);
    void DeviceEvent(uint32_t comID, uchar updadaEven);
    void WorkOffNotices();
    // Deletes a worker that is not kept, and closes its record when one is given. While the
    // code reader still reads through it, both are kept until the read has ended.
    void RefuseWorker(QHid_Work_Interface *worker, uint32_t deviceId, DeviceRecord *record = nullptr);
    void DropWorker(QHid_Work_Interface *worker, uint32_t deviceId);
    void DropRefusedAfterRead();
    QHid_Work_Interface *MakeWorker(DeviceRecord *record);
    void KeepWorker(DeviceRecord *record, QHid_Work_Interface *worker);
    void ForgetDevice(uint32_t deviceId, DeviceRecord *record, bool showTip);
    void LeaveCurrentDevice(DeviceRecord *record);
    void RemoveTile(uint32_t deviceId);
    void CloseCompanions(uint32_t deviceId);
    void ShowTip(DeviceRecord *record, uint textId);
    void HoldGoing(uint32_t deviceId);
    void ReleaseGoing(uint32_t deviceId, bool stays);
    void UpdatePageInput();
    bool ArrivalCancelled(uint32_t deviceId) const { return m_cancelledArrivals.contains(deviceId); }
    void ResizeOverlay();

    QKeyLableItem *m_selectedTile = nullptr;
    QString m_grabbedCode;
    quint64 m_awaitedCodeRequest = 0;
    QHID_TempWokThred *m_codeReader = nullptr;
    // Refused while the code reader still read through them (a slow device, or the program's
    // end asked): freed once that read has ended.
    struct Refused
    {
        QHid_Work_Interface *worker = nullptr;
        uint32_t deviceId = 0;
        DeviceRecord *record = nullptr;
    };
    QList<Refused> m_refusedInRead;
    QHid_Work_Interface *m_currentWorker = nullptr;
    QHid_Threads_Manage *m_manager = nullptr;
    QMap<uint32_t, DeviceRecord *> m_deviceMap;
    QMap<uint32_t, QKeyLableItem *> m_tileMap;
    DeviceRecord *m_currentDevice = nullptr;
    DeviceRecord *m_pageDevice = nullptr;
    // The device page whose device is going: its input is dropped until it is not.
    QPointer<QWidget> m_inertPage;
    // Records a worker uses that are not listed themselves (the second interface of a
    // second-family mouse): closed when their device goes.
    QMultiMap<uint32_t, DeviceRecord *> m_companions;
    // Records stopped for an update with their handles left open (the listed one first, then
    // its companions), until CloseStoppedDevice.
    QMap<uint32_t, QList<DeviceRecord *>> m_stopped;

    // the form
    QGridLayout *gridLayout = nullptr;
    QGridLayout *gridLayout_2 = nullptr;
    QTabWidget *usbTabWidget = nullptr;
    QWidget *tab = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    QScrollArea *HidScrollArea = nullptr;
    QHidListWidget *HidList_Widget = nullptr;

    QWaitGifWidget *m_placeholder = nullptr;
    bool m_updating = false;
    QList<Notice> m_pendingNotices;
    bool m_handlingNotices = false;
    bool m_noticesHeld = false;
    // Devices whose removal or sleep is held by a wait: gone to the lookups meanwhile.
    QSet<uint32_t> m_going;
    QSet<uint32_t> m_arrivalsInProgress;
    QSet<uint32_t> m_cancelledArrivals;
    bool m_deviceFound = false;

    static HID_API *s_instance;
    static WorkerFactory s_workerFactory;
};
