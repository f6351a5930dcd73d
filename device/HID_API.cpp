#include "device/HID_API.h"
#include "app/AppDirPath.h"
#include "app/DelayMs.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "app/MainWidget.h"
#include "app/NestedWait.h"
#include "app/ProductCatalogue.h"
#include "app/QTitleWin.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HidClassify.h"
#include "device/QHID_TempWokThred.h"
#include "device/QHidListWidget.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QHid_Work_Interface.h"
#include "device/QKeyBoradMApMange.h"
#include "device/ZR_YX_MouseThread.h"
#include "firmware/CmdControlPixArtVersion.h"
#include "firmware/QWebDeviceVersionCheck.h"
#include "device/QKeyLableItem.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "lighting/AudioMonitor.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "platform/HidAccess.h"
#include "platform/HidPlatform.h"
#include "widgets/QWaitGifWidget.h"

#include <algorithm>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <hidapi.h>

HID_API *HID_API::s_instance = nullptr;
HID_API::WorkerFactory HID_API::s_workerFactory = nullptr;

namespace {
const char kNoCode[] = "000000000000";

// Interfaces of the catalogue's products that this user may not open: logged once each, so
// that a missing udev rule is not a silent empty list.
void LogAccessProblems(const QVector<HidInterfaceEntry> &entries)
{
    QSet<QString> seen;
    for (const HidInterfaceEntry &e : entries) {
        if (seen.contains(e.path) || FindProductList(e.vendorId, e.productId, true).isEmpty())
            continue;
        seen.insert(e.path);
        const QString reason = platform::HidAccessProblem(e.path);
        if (!reason.isEmpty())
            platform::LogHidAccessProblemOnce(
                e.path, QString::asprintf("%04x:%04x", unsigned(e.vendorId), unsigned(e.productId)), reason);
    }
}

bool IsNoCode(const QString &code)
{
    return code.isEmpty() || code == QLatin1String(kNoCode);
}

// Ids whose notices make the mouse page re-read its firmware information.
bool RefreshesMouseFirmware(ushort vid, ushort pid)
{
    return (vid == 0x258A && (pid == 0x0138 || pid == 0x0136)) || (vid == 0x372E && (pid == 0x1001 || pid == 0x1000));
}
} // namespace

void HID_API::SetWorkerFactory(WorkerFactory factory)
{
    s_workerFactory = factory;
}

HID_API::HID_API(QWidget *parent) : QWidget(parent)
{
    m_codeReader = new QHID_TempWokThred(this);
    m_manager = new QHid_Threads_Manage(this);
    m_grabbedCode = QString();
    hid_init();
    setupUi();
    connect(m_manager, &QHid_Threads_Manage::UpdataHidDevice, this, &HID_API::On_UpdataHidDevice);
    connect(this, &HID_API::GrabMousePram, m_manager, &QHid_Threads_Manage::on_GrabMousePram);
    connect(this, &HID_API::Signal_GrabKeyBoradConfigMaps, m_manager, &QHid_Threads_Manage::on_GrabKeyBoradConfigMaps);
    connect(this, &HID_API::SynchronizingDeviceData, m_manager, &QHid_Threads_Manage::on_SynchronizingDeviceData);
    connect(this, &HID_API::SyncGrabCode, m_codeReader, &QHID_TempWokThred::on_GetProductPassWord);
    connect(m_codeReader, &QThread::finished, this, &HID_API::DropRefusedAfterRead);
    connect(m_codeReader, &QHID_TempWokThred::GrabCodeAnswered, this, [this](quint64 request, const QString &code) {
        if (request == m_awaitedCodeRequest) // a late reply of an earlier request is not this device's code
            on_HidGrabCodeSucceed(code);
    });
    usbTabWidget->installEventFilter(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);

    s_instance = this;
    InitDevices();
    installEventFilter(this);
    // Notices arrive through the platform's source on this (the GUI) thread.
    connect(platform::HidHotplugSource::instance(), &platform::HidHotplugSource::DeviceNotice, this,
            &HID_API::on_DeviceNotice);

    usbTabWidget->setCurrentIndex(0);
    usbTabWidget->tabBar()->hide();
    m_placeholder = new QWaitGifWidget(this);
    m_placeholder->hide();
    BuildDeviceList();
    m_placeholder->RefreshLanguage();
    usbTabWidget->setCurrentIndex(0);
    RefreshDeviceTiles();
}

HID_API::~HID_API()
{
    // Audio frames go to the current keyboard's record: they stop before the records are closed.
    if (AudioMonitor *audio = AudioMonitor::instance())
        audio->on_StopGrabEffct();
    m_pendingNotices.clear();
    // The window has gone: a slow device's code read still running ends by its own time-outs,
    // and what it reads through is freed after it.
    m_codeReader->wait();
    DropRefusedAfterRead();
    m_manager->StopAll();
    // The page owns every record it opened: the listed ones and their companions, each once.
    QSet<DeviceRecord *> records;
    for (auto it = m_companions.cbegin(); it != m_companions.cend(); ++it)
        records.insert(it.value());
    for (auto it = m_deviceMap.cbegin(); it != m_deviceMap.cend(); ++it)
        records.insert(it.value());
    for (QKeyLableItem *tile : qAsConst(m_tileMap))
        if (tile)
            tile->SetDevice(nullptr); // tiles outlive this body as children
    m_currentDevice = nullptr;
    m_pageDevice = nullptr;
    for (DeviceRecord *r : qAsConst(records))
        CloseDeviceRecord(r);
    m_companions.clear();
    for (const QList<DeviceRecord *> &held : qAsConst(m_stopped))
        for (DeviceRecord *r : held)
            CloseDeviceRecord(r);
    m_stopped.clear();
    hid_exit();
    m_deviceMap.clear();
    m_tileMap.clear();
    if (s_instance == this)
        s_instance = nullptr;
}

HID_API *HID_API::instance()
{
    return s_instance;
}

void HID_API::setupUi()
{
    setObjectName(QStringLiteral("HID_API"));
    resize(1148, 699);
    setStyleSheet(QStringLiteral("#HID_API{border-radius:10px;background:#00000000;}"));
    gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setContentsMargins(0, -1, 0, -1);
    gridLayout_2 = new QGridLayout;
    gridLayout_2->setObjectName(QStringLiteral("gridLayout_2"));
    gridLayout_2->setSpacing(0);
    usbTabWidget = new QTabWidget(this);
    usbTabWidget->setObjectName(QStringLiteral("usbTabWidget"));
    usbTabWidget->setStyleSheet(QStringLiteral("*{background:#00000000;}"));
    usbTabWidget->setUsesScrollButtons(true);
    usbTabWidget->setTabBarAutoHide(true);
    tab = new QWidget;
    tab->setObjectName(QStringLiteral("tab"));
    verticalLayout = new QVBoxLayout(tab);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setContentsMargins(0, -1, 0, -1);
    HidScrollArea = new QScrollArea(tab);
    HidScrollArea->setObjectName(QStringLiteral("HidScrollArea"));
    HidScrollArea->setMinimumWidth(1140);
    HidScrollArea->setStyleSheet(QStringLiteral("border:none;background:#00000000;"));
    HidScrollArea->setWidgetResizable(true);
    HidList_Widget = new QHidListWidget;
    HidList_Widget->setObjectName(QStringLiteral("HidList_Widget"));
    HidList_Widget->setGeometry(0, 0, 1139, 654);
    HidScrollArea->setWidget(HidList_Widget);
    verticalLayout->addWidget(HidScrollArea);
    usbTabWidget->addTab(tab, QString());
    gridLayout_2->addWidget(usbTabWidget, 0, 0);
    gridLayout->addLayout(gridLayout_2, 0, 0);
    HidScrollArea->verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical{width:4px;background:transparent;margin:0px;}"
        "QScrollBar::handle:vertical{background:rgba(223, 223, 225, 200);border-radius:2px;min-height:20px;}"
        "QScrollBar::handle:vertical:hover{background:rgb(210, 210, 212);}"
        "QScrollBar::handle:vertical:pressed{background:rgba(200, 200, 200, 255);}"
        "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:0px;border:none;}"
        "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:transparent;}"));
    retranslateUi();
}

void HID_API::retranslateUi()
{
    setWindowTitle(QStringLiteral("Dialog"));
    usbTabWidget->setTabText(usbTabWidget->indexOf(tab), QStringLiteral("Tab 1"));
}

// ---- the first scan -------------------------------------------------------------------------

void HID_API::InitDevices()
{
    QList<DeviceRecord *> records;
    OpenDevices(records);
    DeviceRecord *first = nullptr;
    // A device refused by one of its interfaces is refused whole: the other interface of a
    // wired keyboard without a code must not list it as a sleeping receiver.
    QSet<uint32_t> refused;
    for (int i = 0; i < records.size(); ++i) {
        DeviceRecord *r = records.at(i);
        const bool kept = !refused.contains(r->deviceId) && CreateDeviceWorker(r);
        if (!kept && r->kind <= KindMouseReceiver && !m_deviceMap.contains(r->deviceId))
            refused.insert(r->deviceId);
        if (i == 0 && kept)
            first = r;
        if (!kept && !m_companions.values().contains(r))
            CloseDeviceRecord(r);
    }
    m_currentDevice = first;
    m_deviceFound = first != nullptr;
    LogAccessProblems(EnumerateHidInterfaces());
    if (MainWidget::instance())
        Q_EMIT usb_numble(m_deviceFound ? 1 : 0);
}

QHid_Work_Interface *HID_API::MakeWorker(DeviceRecord *record)
{
    QHid_Work_Interface *worker = s_workerFactory ? s_workerFactory(record) : nullptr;
    if (!worker) {
        worker = m_manager->Worker(record->deviceId);
        if (!worker || worker->Device() != record)
            worker = m_manager->CreateWorker(record->deviceId, record);
    }
    if (worker) {
        worker->SetDevice(record);
        worker->m_DeviceId = record->deviceId;
    }
    return worker;
}

void HID_API::KeepWorker(DeviceRecord *record, QHid_Work_Interface *worker)
{
    m_deviceMap.insert(record->deviceId, record);
    if (m_manager->Worker(record->deviceId) != worker)
        m_manager->AddWorker(record->deviceId, worker);
}

void HID_API::RefuseWorker(QHid_Work_Interface *worker, uint32_t deviceId, DeviceRecord *record)
{
    if (worker && m_codeReader->Reads(worker)) {
        // The code reader may still be reading through this worker: it is never deleted under
        // it, and the window does not wait for a slow device's transfer (the wait returns at
        // once when the program's end is asked). What the read uses goes when it has ended.
        m_codeReader->WaitIdle(10000);
        if (m_codeReader->Reads(worker)) {
            m_refusedInRead.append(Refused{worker, deviceId, record});
            return;
        }
    }
    DropWorker(worker, deviceId);
    if (record)
        CloseDeviceRecord(record);
}

void HID_API::DropRefusedAfterRead()
{
    for (int i = m_refusedInRead.size() - 1; i >= 0; --i) {
        const Refused r = m_refusedInRead.at(i);
        if (m_codeReader->Reads(r.worker))
            continue;
        m_refusedInRead.removeAt(i);
        DropWorker(r.worker, r.deviceId);
        if (r.record)
            CloseDeviceRecord(r.record);
    }
}

void HID_API::DropWorker(QHid_Work_Interface *worker, uint32_t deviceId)
{
    if (!worker)
        return;
    if (m_manager->Worker(deviceId) == worker) {
        m_manager->RemoveWorker(deviceId);
        return;
    }
    worker->StopListener();
    worker->StopListening();
    worker->wait(2000);
    delete worker;
}

bool HID_API::CreateDeviceWorker(DeviceRecord *record)
{
    if (!record)
        return false;
    const uint32_t id = record->deviceId;
    switch (record->kind) {
    case KindKeyboardWired: case KindKeyboardReceiver:
    case KindMouseWired: case KindMouseReceiver: {
        if (m_deviceMap.contains(id))
            return false;
        if (record->kind == KindKeyboardReceiver)
            record->connectionState = StateWirelessAsleep;
        // Set before the worker's listener starts, which reads them on a wake notice; a wired
        // mouse without a known code is refused with its record.
        if (record->kind == KindMouseReceiver || record->kind == KindMouseWired) {
            record->subType = 2;
            record->deviceType = 1;
        }
        QHid_Work_Interface *worker = MakeWorker(record);
        if (!worker)
            return false;
        const QString code = worker->ReadDeviceCode();
        const bool none = IsNoCode(code);
        const bool known = !none && IsKnownProductCode(code);
        if (record->kind == KindMouseWired)
            WriteLogLine(QStringLiteral("ZRMouseGrabCode ") + code);
        if (known) {
            record->SetCodeText(code);
            switch (record->kind) {
            case KindKeyboardWired:
                record->connectionState = StateWired;
                WriteLogLine(QStringLiteral("ZRKeyboradGrabCode ") + code);
                break;
            case KindMouseWired:
                record->connectionState = StateWired;
                break;
            default:
                record->connectionState = StateWirelessAwake;
                WriteLogLine(QStringLiteral("ZRMouseGrabCode ") + code);
            }
            KeepWorker(record, worker);
            return true;
        }
        if (none && (record->kind == KindKeyboardReceiver || record->kind == KindMouseReceiver)) {
            // A receiver whose device is off: listed, its tile hidden until the device wakes.
            record->connectionState = StateWirelessAsleep;
            WriteLogLine(QStringLiteral("ZRMouseGrabCode ") + code);
            KeepWorker(record, worker);
            return true;
        }
        RefuseWorker(worker, id);
        return false;
    }
    case KindSecondFeatureWired: case KindSecondFeatureReceiver:
    case KindSecondIoWired: case KindSecondIoReceiver: {
        record->subType = 4;
        QHid_Work_Interface *worker = m_manager->Worker(id);
        const bool isNew = !worker;
        if (isNew) {
            worker = s_workerFactory ? s_workerFactory(record) : nullptr;
            if (!worker)
                worker = new ZR_YX_MouseThread(m_manager);
            worker->m_DeviceId = id;
        }
        if (record->kind == KindSecondFeatureWired || record->kind == KindSecondFeatureReceiver) {
            m_deviceMap.insert(id, record);
            worker->SetDevices(record, worker->Device() ? nullptr : record);
            worker->ReadDeviceCode(); // the reply is not used here
            if (record->kind == KindSecondFeatureReceiver && !ArrivalCancelled(id)) {
                DelayMs(200);
                CmdControlPixArtVersion version; // the sensor firmware version, shown by the tile
                version.AttachRecord(record);
                worker->m_Version = version.ReadWiredVersion().toUShort(nullptr, 16);
            }
        } else {
            // The output/input interface of the same node shares the feature interface's
            // worker and tile; it is not listed itself.
            worker->SetDevices(nullptr, record);
            // The feature interface's code query has set its state already; the listening
            // interface starts from it instead of waiting for the mouse's next notice.
            if (const DeviceRecord *feature = worker->m_CommandDevice)
                record->connectionState = feature->connectionState.load();
            m_companions.insert(id, record);
        }
        if (isNew)
            m_manager->AddWorker(id, worker);
        return true;
    }
    default:
        return false;
    }
}

// ---- arrival --------------------------------------------------------------------------------

QString HID_API::GrabDeviceCode(QHid_Work_Interface *worker)
{
    m_grabbedCode = QString();
    m_awaitedCodeRequest = m_codeReader->LastRequest() + 1;
    Q_EMIT SyncGrabCode(worker);
    if (m_codeReader->LastRequest() != m_awaitedCodeRequest)
        return QString(); // the reader could not take the request
    // Up to 50 waits of 200 ms, processing events; a matching reply ends the wait at once, and
    // the program's end ends it without a code.
    NestedWait::Scope wait;
    for (int pass = 0; pass < 50 && m_grabbedCode.isEmpty() && !NestedWait::EndRequested(); ++pass) {
        QEventLoop loop;
        QTimer::singleShot(200, &loop, &QEventLoop::quit);
        QMetaObject::Connection done = connect(m_codeReader, &QHID_TempWokThred::GrabCodeAnswered, &loop,
                                               [&loop](quint64, const QString &) { loop.quit(); });
        if (m_grabbedCode.isEmpty())
            NestedWait::Exec(loop);
        disconnect(done);
        if (!m_codeReader->IsBusy() && !m_codeReader->isRunning()) {
            QCoreApplication::processEvents(); // the queued reply, if it is still on its way
            if (m_grabbedCode.isEmpty())
                break;
        }
    }
    m_awaitedCodeRequest = 0;
    return m_grabbedCode;
}

DeviceRecord *HID_API::AttachArrivedDevice(uint32_t deviceId, ushort vendorId, ushort productId)
{
    if (m_deviceMap.contains(deviceId) || ArrivalCancelled(deviceId))
        return nullptr;
    DeviceRecord *record = OpenDevice(deviceId, vendorId, productId);
    if (!record)
        return nullptr;
    const uint8_t kind = record->kind;
    if (kind > KindMouseReceiver) {
        // Other kinds come as they arrived, without a worker and outside the device map.
        return record;
    }
    if (kind == KindKeyboardWired || kind == KindKeyboardReceiver) {
        record->connectionState = kind == KindKeyboardWired ? StateWired : StateWirelessAsleep;
        record->subType = 1;
        record->deviceType = 2;
    } else {
        record->subType = 2;
        record->deviceType = 1;
    }
    QHid_Work_Interface *worker = MakeWorker(record);
    if (!worker) {
        CloseDeviceRecord(record);
        return nullptr;
    }
    const QString code = GrabDeviceCode(worker);
    // The device may have gone, or been listed by a nested notice, during the waits; once the
    // program's end is asked no device is listed any more.
    if (ArrivalCancelled(deviceId) || m_deviceMap.contains(deviceId) || NestedWait::EndRequested()) {
        RefuseWorker(worker, deviceId, record);
        return nullptr;
    }
    const bool none = IsNoCode(code);
    const bool known = !none && IsKnownProductCode(code);
    if (kind == KindMouseWired)
        WriteLogLine(QStringLiteral("ZRMouseGrabCode ") + code);
    if (known) {
        record->SetCodeText(code);
        if (kind == KindKeyboardWired)
            WriteLogLine(QStringLiteral("ZRKeyboradGrabCode ") + code);
        else if (kind != KindMouseWired)
            WriteLogLine(QStringLiteral("ZRMouseGrabCode ") + code);
        record->connectionState = (kind == KindKeyboardWired || kind == KindMouseWired) ? StateWired : StateWirelessAwake;
        KeepWorker(record, worker);
        return record;
    }
    if (none && (kind == KindKeyboardReceiver || kind == KindMouseReceiver)) {
        record->connectionState = StateWirelessAsleep;
        WriteLogLine(QStringLiteral("ZRMouseGrabCode ") + code);
        KeepWorker(record, worker);
        return record;
    }
    RefuseWorker(worker, deviceId, record);
    return nullptr;
}

void HID_API::on_usb_Input(uint comId, ushort Vid, ushort Pid)
{
    if (m_deviceMap.contains(comId) || m_arrivalsInProgress.contains(comId))
        return;
    m_arrivalsInProgress.insert(comId);
    m_cancelledArrivals.remove(comId);
    DeviceRecord *arrived = nullptr;
    if (IsProductKind4(Vid, Pid)) {
        QList<DeviceRecord *> records;
        OpenArrivedDevices(records, comId, Vid, Pid);
        for (int i = 0; i < records.size(); ++i) {
            DeviceRecord *r = records.at(i);
            const bool kept = !ArrivalCancelled(comId) && CreateDeviceWorker(r);
            if (i == 0 && kept)
                arrived = r;
            if (!kept)
                CloseDeviceRecord(r);
        }
        if (ArrivalCancelled(comId) && arrived) {
            ForgetDevice(comId, m_deviceMap.value(comId), false);
            arrived = nullptr;
        }
    } else {
        DelayMs(200);
        arrived = AttachArrivedDevice(comId, Vid, Pid);
        if (arrived && !m_deviceMap.values().contains(arrived)) {
            CloseDeviceRecord(arrived); // a kind that gets no worker here is not kept open
            arrived = nullptr;
        }
    }
    m_arrivalsInProgress.remove(comId);
    m_cancelledArrivals.remove(comId);
    if (arrived)
        ShowTip(arrived, 279);
    LogAccessProblems(EnumerateHidInterfaces(Vid, Pid));
}

// ---- removal --------------------------------------------------------------------------------

void HID_API::LeaveCurrentDevice(DeviceRecord *record)
{
    if (record == m_currentDevice) {
        m_currentWorker = nullptr;
        m_currentDevice = nullptr;
        m_selectedTile = nullptr;
    }
    if (record != m_pageDevice)
        return; // its page was left before: the user stays where they are
    m_pageDevice = nullptr;
    UpdatePageInput();
    if (record->deviceType == 1)
        Q_EMIT ClearMouseDataBuff();
    else if (record->deviceType == 2)
        Q_EMIT ClearKeyboardDataBuff();
    if (MainWidget *main = MainWidget::instance())
        main->on_Hide_busy_Status();
    Q_EMIT CLosingUsb();
    usbTabWidget->setCurrentIndex(0);
}

void HID_API::RemoveTile(uint32_t deviceId)
{
    QKeyLableItem *tile = m_tileMap.take(deviceId);
    if (!tile)
        return;
    if (m_selectedTile == tile)
        m_selectedTile = nullptr;
    HidList_Widget->on_ReMoveWidget(tile, false);
    // Deleted later: the tile may be inside its own open request (a nested wait).
    tile->SetDevice(nullptr);
    tile->deleteLater();
}

void HID_API::CloseCompanions(uint32_t deviceId)
{
    const QList<DeviceRecord *> companions = m_companions.values(deviceId);
    m_companions.remove(deviceId);
    for (DeviceRecord *r : companions)
        CloseDeviceRecord(r);
}

void HID_API::ForgetDevice(uint32_t deviceId, DeviceRecord *record, bool showTip)
{
    // Audio frames go to the current keyboard's record: they stop before it and its worker go.
    if (record && record == m_currentDevice)
        if (AudioMonitor *audio = AudioMonitor::instance())
            audio->on_StopGrabEffct();
    m_deviceMap.remove(deviceId);
    if (m_currentWorker && m_manager->Worker(deviceId) == m_currentWorker)
        m_currentWorker = nullptr;
    m_manager->RemoveWorker(deviceId);
    if (record && showTip)
        ShowTip(record, 280);
    if (record && (record == m_currentDevice || record == m_pageDevice))
        LeaveCurrentDevice(record);
    RemoveTile(deviceId);
    CloseCompanions(deviceId);
    if (record)
        CloseDeviceRecord(record);
}

void HID_API::on_usb_Output(uint comId, ushort Vid, ushort Pid)
{
    if (m_arrivalsInProgress.contains(comId))
        m_cancelledArrivals.insert(comId); // the arrival still in its waits gives up
    if (IsProductKind4(Vid, Pid)) {
        ReopenDevices(Vid, Pid, false, comId);
        return;
    }
    if (!m_deviceMap.contains(comId))
        return;
    ForgetDevice(comId, m_deviceMap.value(comId), true);
}

void HID_API::ReopenDevices(ushort vendorId, ushort productId, bool arrival, uint32_t deviceId)
{
    const QVector<ProductRecord> products = FindProduct(vendorId, productId, true);
    if (products.isEmpty())
        return;
    if (arrival) {
        if (deviceId == 0 || m_deviceMap.contains(deviceId) || m_arrivalsInProgress.contains(deviceId))
            return;
        if (IsProductKind4(vendorId, productId)) {
            on_usb_Input(deviceId, vendorId, productId); // the second-family arrival
            return;
        }
        // The notice's own id: asking for id 0 would never find the arrived interface.
        DeviceRecord *record = OpenDevice(deviceId, vendorId, productId);
        if (record && !CreateDeviceWorker(record) && !m_companions.values().contains(record))
            CloseDeviceRecord(record);
        else if (record && m_deviceMap.value(deviceId) == record)
            ShowTip(record, 279);
        return;
    }
    // Removal: the ids that still enumerate stay; every other listed id of these ids goes.
    const bool family4 = IsProductKind4(vendorId, productId);
    QSet<uint32_t> present;
    for (const HidInterfaceEntry &e : EnumerateHidInterfaces(vendorId, productId)) {
        const platform::HidTlc &t = e.tlc;
        if (family4)
            qDebug("%s, featureReportByteLength %d output_report_length %d input_report_length %d",
                   qPrintable(e.path), t.featureLength, t.outputLength, t.inputLength);
        if (!family4 || t.featureLength > 50 || t.outputLength > 50 || t.inputLength > 12)
            present.insert(InterfaceDeviceId(e.path));
    }
    const QList<uint32_t> ids = m_deviceMap.keys();
    for (uint32_t id : ids) {
        DeviceRecord *r = m_deviceMap.value(id);
        if (!r || r->vendorId != vendorId || r->productId != productId || present.contains(id))
            continue;
        ForgetDevice(id, r, true);
    }
}

// ---- notices --------------------------------------------------------------------------------

void HID_API::on_DeviceNotice(bool arrival, uint deviceId, ushort vendorId, ushort productId, const QString &path)
{
    Q_UNUSED(path);
    if (deviceId == 0)
        return; // a path without a device id
    if (!arrival && m_arrivalsInProgress.contains(deviceId))
        m_cancelledArrivals.insert(deviceId);
    Notice n;
    n.deviceId = deviceId;
    n.vendorId = vendorId;
    n.productId = productId;
    n.arrival = arrival;
    n.isZrRtu = ProductFlagByVidPid(vendorId, productId);
    m_pendingNotices.append(n);
    // Held by a wait (not by an update, whose device comes and goes on purpose): gone to every
    // lookup until the removal runs.
    if (!arrival && !m_updating && NestedWait::Open())
        HoldGoing(deviceId);
    WorkOffNotices();
}

void HID_API::WorkOffNotices()
{
    // One notice at a time, in the order they came; none while an update runs, and none inside
    // a wait: what a notice frees may be held by the code that waits.
    if (m_updating || m_handlingNotices)
        return;
    if (NestedWait::Open()) {
        if (!m_noticesHeld) {
            m_noticesHeld = true;
            NestedWait::AfterWaits(this, [this] {
                m_noticesHeld = false;
                WorkOffNotices();
            });
        }
        return;
    }
    m_handlingNotices = true;
    QPointer<HID_API> self(this);
    while (self && !m_updating && !m_pendingNotices.isEmpty())
        HandleNotice(m_pendingNotices.takeFirst());
    if (self)
        m_handlingNotices = false;
}

void HID_API::HandleNotice(const Notice &n)
{
    const bool stillHeld = std::any_of(m_pendingNotices.cbegin(), m_pendingNotices.cend(),
                                       [&n](const Notice &o) { return o.deviceId == n.deviceId; });
    if (!stillHeld)
        ReleaseGoing(n.deviceId, n.event >= 0);
    if (n.event >= 0) {
        DeviceEvent(n.deviceId, uchar(n.event));
        return;
    }
    if (!n.arrival) {
        if (n.isZrRtu)
            on_usb_Output(n.deviceId, n.vendorId, n.productId);
        else
            ReopenDevices(n.vendorId, n.productId, false, n.deviceId);
        WriteLogLine(QString::asprintf("on_usb_Output(%d,0x%02x,0x%02x)", n.deviceId, n.vendorId, n.productId));
    } else {
        if (n.isZrRtu) {
            DelayMs(100);
            on_usb_Input(n.deviceId, n.vendorId, n.productId);
        } else {
            ReopenDevices(n.vendorId, n.productId, true, n.deviceId);
        }
        WriteLogLine(QString::asprintf("on_usb_Input(%d,0x%02x,0x%02x)", n.deviceId, n.vendorId, n.productId));
    }
    BuildDeviceList();
    RefreshDeviceTiles();
    if (RefreshesMouseFirmware(n.vendorId, n.productId))
        if (QLStyleMouseTabWidget *mouse = QLStyleMouseTabWidget::instance())
            mouse->RefreshFirmwareInfo();
    Q_EMIT updataDeviceVsesion(n.vendorId, n.productId);
}

void HID_API::ProcessUsbEvents()
{
    m_updating = false;
    WorkOffNotices();
}

void HID_API::StopDeviceWorker(uint32_t deviceId, bool closeHandles)
{
    DeviceRecord *record = m_deviceMap.take(deviceId);
    RemoveTile(deviceId);
    QHid_Work_Interface *worker = m_manager->Worker(deviceId);
    if (worker) {
        worker->StopListening();
        worker->StopListener();
        if (m_currentWorker == worker)
            m_currentWorker = nullptr; // it is deleted below
        if (closeHandles) {
            m_currentDevice = nullptr;
            if (m_pageDevice == record)
                m_pageDevice = nullptr; // closed below; its page is left at the end
        }
    }
    m_manager->RemoveWorker(deviceId); // waits for a running command and the listener
    if (closeHandles) {
        CloseCompanions(deviceId);
        if (record)
            CloseDeviceRecord(record);
    } else if (record) {
        // Held apart from the list, so that a device coming back under the same id keeps its own.
        QList<DeviceRecord *> held{record};
        held += m_companions.values(deviceId);
        m_companions.remove(deviceId);
        m_stopped[deviceId] += held;
    }
    if (MainWidget *main = MainWidget::instance())
        main->BackFromDevicePage();
}

void HID_API::CloseStoppedDevice(uint32_t deviceId)
{
    const QList<DeviceRecord *> held = m_stopped.take(deviceId);
    for (DeviceRecord *r : held) {
        if (r == m_currentDevice || r == m_pageDevice)
            LeaveCurrentDevice(r);
        CloseDeviceRecord(r);
    }
}

// ---- tiles ----------------------------------------------------------------------------------

void HID_API::BuildDeviceList()
{
    // A woken tile is shown after a wait that runs events, in which devices may come and go:
    // the walk goes over the ids as they were and looks each one up again.
    const QList<uint32_t> ids = m_deviceMap.keys();
    for (uint32_t id : ids) {
        DeviceRecord *r = m_deviceMap.value(id, nullptr);
        if (!r || m_tileMap.contains(id))
            continue;
        const QString code = r->CodeText();
        ProductRecord product;
        if (code.size() > 10) {
            product = FindProductByCode(code);
            if (!product.name.isEmpty())
                r->SetName(product.name);
        }
        QPointer<QKeyLableItem> tile = new QKeyLableItem(HidList_Widget);
        tile->SetDevice(r);
        tile->SetDeviceId(id);
        HidList_Widget->on_PushWidget(tile);
        m_tileMap.insert(id, tile);
        const uint8_t state = r->connectionState;
        if (r->deviceType == 2) {
            if (state == StateWired || state == StateWirelessAwake) {
                tile->SetPicture(product.smallPicture);
                tile->SetProductFolder(product.folder);
                tile->SetNameForModel(product.name);
            }
            connect(tile, &QKeyLableItem::HidItem, this, &HID_API::on_HidItem);
        } else if (r->deviceType == 1) {
            tile->SetPicture(product.smallPicture);
            tile->SetProductFolder(product.folder);
        }
        tile->On_UpdataConnect();
        if (!tile || m_tileMap.value(id, nullptr) != tile)
            continue; // the device went during the wait, its tile with it
        tile->On_UpdataProduct();
        tile->On_UpPowvalue();
    }
    for (auto it = m_deviceMap.cbegin(); it != m_deviceMap.cend(); ++it)
        if (!m_manager->Worker(it.key()))
            m_manager->CreateWorker(it.key(), it.value());
}

int HID_API::RefreshDeviceTiles()
{
    int visible = 0;
    for (auto it = m_tileMap.cbegin(); it != m_tileMap.cend(); ++it) {
        QKeyLableItem *tile = it.value();
        DeviceRecord *r = tile->Device();
        if (!r)
            continue;
        const uint8_t state = r->connectionState;
        const bool show = state == StateWired || state == StateWirelessAwake;
        tile->setVisible(show);
        if (show)
            ++visible;
    }
    HidList_Widget->Relayout();
    if (visible > 0) {
        m_placeholder->hide();
        HidScrollArea->show();
    } else {
        HidScrollArea->hide();
        ResizeOverlay();
        m_placeholder->show();
        m_placeholder->raise();
    }
    return visible;
}

void HID_API::ResizeOverlay()
{
    if (m_placeholder)
        m_placeholder->setGeometry(rect());
}

void HID_API::ShowTip(DeviceRecord *record, uint textId)
{
    MainWidget *main = MainWidget::instance();
    if (!main || !record)
        return;
    const QString name = record->name.isEmpty() ? GetLangText(302) + QStringLiteral("Device") : record->name;
    main->ShowBottomTip(name, GetLangText(textId));
}

void HID_API::On_UpdataHidDevice(uint comID, uchar updadaEven)
{
    if (!NestedWait::Open()) {
        DeviceEvent(comID, updadaEven);
        return;
    }
    // Inside a wait the event waits its turn with the notices: the current device's sleep
    // leaves its page, which the waiting code may hold.
    Notice n;
    n.deviceId = comID;
    n.event = updadaEven;
    m_pendingNotices.append(n);
    const DeviceRecord *r = m_deviceMap.value(comID, nullptr);
    if (r && r == m_pageDevice && updadaEven == 2
        && (r->connectionState == StateNone || r->connectionState == StateWirelessAsleep))
        HoldGoing(comID);
    WorkOffNotices();
}

void HID_API::DeviceEvent(uint32_t comID, uchar updadaEven)
{
    QKeyLableItem *tile = m_tileMap.value(comID, nullptr);
    if (!tile)
        return;
    DeviceRecord *r = m_deviceMap.value(comID, nullptr);
    const uint8_t state = r ? r->connectionState.load() : uint8_t(StateNone);
    const bool gone = state == StateNone || state == StateWirelessAsleep;
    // Only the device whose page is open leaves a page; any other one, also the current device
    // after its page was left, is reported by a tip.
    if (r) {
        if (r == m_pageDevice && state == StateWirelessAsleep) {
            Q_EMIT CLosingUsb();
            Q_EMIT freeDevicePageMemory();
            RefreshDeviceTiles();
        } else if (r != m_pageDevice && updadaEven == 2 && gone) {
            // Only a device that went away is reported as such; battery news needs no tip.
            ShowTip(r, 280);
        }
    }
    switch (updadaEven) {
    case 2:
        if (!r)
            return;
        if (r == m_pageDevice && isHidden() && gone) {
            if (r->deviceType == 2) {
                if (QLStyleKeybordTabWidget *page = QLStyleKeybordTabWidget::instance())
                    page->ButExit_on_clicked();
            } else if (r->deviceType == 1) {
                if (QLStyleMouseTabWidget *page = QLStyleMouseTabWidget::instance())
                    page->ButExit_on_clicked();
            }
        }
        if (!r->CodeText().isEmpty()) {
            if (r->name.isEmpty())
                r->SetName(FindProductRecord(r->CodeText()).name);
            if (QKeyLableItem *t = m_tileMap.value(comID, nullptr))
                t->On_UpdataConnect();
            RefreshDeviceTiles();
        }
        break;
    case 5:
        tile->On_UpPowvalue();
        break;
    case 11:
        tile->On_UpdataProduct();
        break;
    default:
        break;
    }
}

void HID_API::on_HidItem(QWidget *win, bool show)
{
    QPointer<QWidget> tile(win);
    if (!show) {
        DelayMs(100);
        if (tile)
            HidList_Widget->on_ShowWidget(tile);
    } else {
        HidList_Widget->on_HideWidget(win);
    }
}

int HID_API::SelectDevice(QKeyLableItem *tile)
{
    const QList<QWidget *> tiles = HidList_Widget->Widgets();
    for (int i = 0; i < tiles.size() && i < 255; ++i) {
        if (tiles.at(i) != tile)
            continue;
        const uint32_t id = tile->DeviceId();
        if (!m_deviceMap.contains(id))
            return 1;
        SetCurrentDeviceById(id);
        m_selectedTile = tile;
        if (QHid_Work_Interface *worker = m_manager->Worker(id)) {
            m_manager->SetCurrentDeviceId(id);
            m_currentWorker = worker;
        }
        Q_EMIT SynchronizingDeviceData();
        return 0;
    }
    return 1;
}

void HID_API::SetCurrentDeviceById(uint32_t deviceId)
{
    if (DeviceRecord *r = m_deviceMap.value(deviceId, nullptr))
        m_currentDevice = r;
}

void HID_API::SetDevicePageOpen(bool open)
{
    m_pageDevice = open ? m_currentDevice : nullptr;
    UpdatePageInput();
}

void HID_API::HoldGoing(uint32_t deviceId)
{
    m_going.insert(deviceId);
    // A keyboard's map store is written by its worker too: it is told itself.
    DeviceRecord *r = m_deviceMap.value(deviceId, nullptr);
    if (r && r->deviceType == 2)
        GetDeviceKeyMap(r)->SetDeviceGone(true);
    UpdatePageInput();
}

void HID_API::ReleaseGoing(uint32_t deviceId, bool stays)
{
    if (!m_going.remove(deviceId))
        return;
    // A device whose sleep was held stays listed: its files are its own again. A removed one's
    // store stays shut until it is freed with its record.
    DeviceRecord *r = stays ? m_deviceMap.value(deviceId, nullptr) : nullptr;
    if (r && r->keyboardStore)
        r->keyboardStore->SetDeviceGone(false);
    UpdatePageInput();
}

void HID_API::UpdatePageInput()
{
    // The page of a device that went takes no input until it is left.
    QWidget *page = nullptr;
    if (PageGoing()) {
        if (m_pageDevice->deviceType == 2)
            page = QLStyleKeybordTabWidget::instance();
        else
            page = QLStyleMouseTabWidget::instance();
    }
    if (page == m_inertPage)
        return;
    // Its input is dropped rather than the page disabled: a dialog it opened (a window of its
    // own) must still take its answer, or the wait that holds the removal would never end.
    if (!m_inertPage && page)
        QCoreApplication::instance()->installEventFilter(this);
    else if (m_inertPage && !page)
        QCoreApplication::instance()->removeEventFilter(this);
    m_inertPage = page;
}

// ---- other slots ----------------------------------------------------------------------------

void HID_API::on_CheckHidDeviceVersions(bool PopMessg)
{
    int count = 0;
    for (QKeyLableItem *tile : qAsConst(m_tileMap)) {
        tile->On_CheckUpgrade();
        if (tile->HasUpdate())
            ++count;
    }
    if (count == 0)
        return;
    if (PopMessg) {
        if (MainWidget *main = MainWidget::instance())
            main->ShowMessage(QColor(178, 179, 180), GetLangText(413).arg(count), true);
        m_placeholder->hide();
        HidScrollArea->show();
    }
    for (QKeyLableItem *tile : qAsConst(m_tileMap))
        if (tile->HasUpdate())
            HidList_Widget->on_ShowWidget(tile);
}

void HID_API::on_CheckHidDeviceVersions()
{
    on_CheckHidDeviceVersions(true);
}

void HID_API::on_ErrorMessgeBox(int errid)
{
    if (MainWidget *main = MainWidget::instance())
        main->ShowErrorCode(true, errid);
}

void HID_API::on_close()
{
}

void HID_API::on_RefreshLangual()
{
    if (m_placeholder)
        m_placeholder->RefreshLanguage();
}

void HID_API::on_ExitButton_clicked()
{
    usbTabWidget->setCurrentIndex(0);
}

void HID_API::on_ResetoreDefault_clicked()
{
    MainWidget *main = MainWidget::instance();
    if (!main || !CurrentDevice())
        return; // no current device: no product to update
    if (!main->ShowMessage(QColor(255, 0, 62), GetLangText(145), false))
        return;
    const DeviceRecord *device = CurrentDevice();
    if (!device)
        return;
    const QString name = device->name;
    if (!IsSafeFileComponent(name)) {
        main->ShowMessage(QColor(255, 0, 62), GetLangText(293) + QStringLiteral("  '%1_updata.exe'").arg(name), true);
        return;
    }
    const QString program = QStringLiteral("%1/Products/%2/%2_updata.exe").arg(AppDirPath(), name);
    if (QFile::exists(program) && QProcess::startDetached(program, QStringList{QString()})) {
        QThread::msleep(500);
        QCoreApplication::exit(0);
        return;
    }
    main->ShowMessage(QColor(255, 0, 62), GetLangText(293) + QStringLiteral("  '%1_updata.exe'").arg(name), true);
}

void HID_API::on_HidGrabCodeSucceed(QString Sn)
{
    m_grabbedCode = Sn;
}

// ---- firmware labels ------------------------------------------------------------------------

namespace {
bool IsCode09Device(const DeviceRecord *record)
{
    return record->CodeText().startsWith(QLatin1String("09"));
}

QString OfferText(const CatalogueEntry *entry)
{
    return GetLangText(339) + QStringLiteral(":") + entry->version;
}
}

int HID_API::ShowDeviceVersion(DeviceRecord *record, QLabel *versionLabel, QLabel *stateLabel)
{
    if (!record || !versionLabel || !stateLabel)
        return 0;
    const uint8_t state = record->connectionState;
    if (state == StateWirelessAwake || state == StateWirelessAsleep) {
        versionLabel->setText(GetLangText(70) + QStringLiteral(":"));
        stateLabel->setText(GetLangText(423));
        return 0;
    }
    versionLabel->setText(GetLangText(70) + QString::asprintf(":V%x", unsigned(DeviceVersionNumber(record))));
    const QKeyLableItem *tile = m_tileMap.value(record->deviceId, nullptr);
    const bool first = tile && tile->FirstUpdateFound();
    const bool second = tile && tile->SecondUpdateFound();
    if (!first && !second) {
        stateLabel->setText(GetLangText(389));
        return 4;
    }
    QWebDeviceVersionCheck *catalogue = QWebDeviceVersionCheck::Instance();
    if (IsCode09Device(record)) {
        const CatalogueEntry *entry = second ? catalogue->FindGeehyEntry(record) : nullptr;
        if (!entry && first)
            entry = catalogue->FindPixArtEntry(record);
        if (entry) {
            stateLabel->setText(OfferText(entry));
            return 2;
        }
    }
    const CatalogueClass *cls = catalogue->ClassNamed(record->name);
    if (cls && cls->wired)
        stateLabel->setText(OfferText(cls->wired));
    return 2;
}

int HID_API::ShowMouseDeviceVersion(DeviceRecord *record, QLabel *versionLabel, QLabel *stateLabel)
{
    if (!record || !versionLabel || !stateLabel)
        return 0;
    DeviceRecord *receiver = record;
    const uint8_t state = record->connectionState;
    if (state == StateNone || state == StateWired) {
        receiver = nullptr;
        const ProductRecord product = FindProductByCode(record->CodeText());
        if (product.receiverIds) {
            for (DeviceRecord *r : qAsConst(m_deviceMap))
                if (r->vendorId == product.receiverIds->vid && r->productId == product.receiverIds->pid)
                    receiver = r;
        }
        if (!receiver) {
            stateLabel->setText(GetLangText(421));
            versionLabel->setText(GetLangText(349) + QStringLiteral(":"));
            return 0;
        }
    }
    uint16_t version = receiver->version;
    if (version == 0)
        version = DeviceVersionNumber(receiver);
    versionLabel->setText(GetLangText(349) + QString::asprintf(":V%x", unsigned(version)));
    const QKeyLableItem *tile = m_tileMap.value(receiver->deviceId, nullptr);
    const bool first = tile && tile->FirstUpdateFound();
    const bool second = tile && tile->SecondUpdateFound();
    if (!first && !second) {
        stateLabel->setText(GetLangText(389));
        return 4;
    }
    QWebDeviceVersionCheck *catalogue = QWebDeviceVersionCheck::Instance();
    if (IsCode09Device(receiver)) {
        const CatalogueEntry *entry = nullptr;
        if (second) {
            versionLabel->setText(GetLangText(349) + QStringLiteral(":V025"));
            entry = catalogue->FindGeehyEntry(receiver);
        } else {
            entry = catalogue->FindPixArtEntry(receiver);
        }
        if (entry)
            stateLabel->setText(OfferText(entry));
        return 2;
    }
    const CatalogueClass *cls = nullptr;
    if (!receiver->name.isEmpty()) {
        if (catalogue->FindGeehyEntry(receiver))
            cls = catalogue->ClassNamed(receiver->name);
    } else if (receiver->vendorId == 0x258A && receiver->productId == 0x0138) {
        cls = catalogue->ClassNamed(QString::fromUtf8(QWebDeviceVersionCheck::UncodedModelName));
    }
    if (const CatalogueEntry *entry = cls ? cls->receiver : nullptr)
        stateLabel->setText(OfferText(entry));
    return 2;
}

// ---- page events ----------------------------------------------------------------------------

namespace {
bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress: case QEvent::MouseButtonRelease: case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: case QEvent::Wheel: case QEvent::KeyPress: case QEvent::KeyRelease:
    case QEvent::Shortcut: case QEvent::ContextMenu: case QEvent::DragEnter: case QEvent::DragMove:
    case QEvent::Drop: case QEvent::TouchBegin: case QEvent::TouchUpdate: case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

// The widget lies on the page itself, not in a window of its own that the page opened.
bool OnPage(QObject *watched, const QWidget *page)
{
    if (!watched->isWidgetType())
        return false;
    for (const QWidget *w = static_cast<QWidget *>(watched); w; w = w->parentWidget()) {
        if (w == page)
            return true;
        if (w->isWindow())
            return false;
    }
    return false;
}
} // namespace

bool HID_API::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == usbTabWidget && event->type() == QEvent::KeyPress)
        return true;
    if (m_inertPage && IsUserInput(event->type()) && OnPage(watched, m_inertPage))
        return true; // the page of a device that went takes no input
    return QWidget::eventFilter(watched, event);
}

void HID_API::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_placeholder && m_placeholder->isVisible())
        ResizeOverlay();
    if (QTitleWin *title = QTitleWin::Instance())
        title->SetMenuButtonHidden(false);
}

void HID_API::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (QTitleWin *title = QTitleWin::Instance())
        title->SetMenuButtonHidden(true);
}

void HID_API::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_placeholder && m_placeholder->isVisible())
        ResizeOverlay();
}

// ---- classification and catalogue ----------------------------------------------------------

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

ProductRecord HID_API::FindProductRecord(const QString &code)
{
    const QString upper = code.toUpper();
    if (upper.isEmpty())
        return ProductRecord();
    for (const ProductRecord &p : GetProductList())
        if (!p.deviceCode.isEmpty() && p.deviceCode.toUpper() == upper)
            return p;
    return ProductRecord();
}

uint8_t *HID_API::CurrentDiyColorMap() const
{
    DeviceRecord *device = CurrentDevice();
    QKeyBoradMApMange *store = device ? GetDeviceKeyMap(device) : nullptr;
    return store ? store->DiyColorMapCopy(520) : nullptr;
}

bool HID_API::SetCurrentDiyColorMap(const uint8_t *map)
{
    // A device that went, or the page of one, keeps and saves no map.
    DeviceRecord *device = PageGoing() ? nullptr : CurrentDevice();
    QKeyBoradMApMange *store = device ? GetDeviceKeyMap(device) : nullptr;
    if (!store || !map || store->DeviceGone())
        return false;
    store->SetDiyColorMap(const_cast<uint8_t *>(map), 520, false); // copied, not taken
    return true;
}
