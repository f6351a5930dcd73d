#include "device/QHid_Threads_Manage.h"
#include "app/LogWriter.h"
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "device/DeviceRecord.h"
#include "device/QHid_Work_Interface.h"
#include "device/ZR_2_0_KeyboradThread.h"
#include "device/ZR_2_0_MouseThread.h"
#include "device/DpiConfigRecord.h"
#include "device/MouseConfigRecord.h"
#include "device/QDpiConfigMange.h"
#include "device/ZR_DLL_MouseThread.h"

#include <QDeadlineTimer>

QHid_Threads_Manage::QHid_Threads_Manage(QObject *parent) : QThread(parent)
{
    if (MainWidget *main = MainWidget::instance()) {
        connect(this, &QHid_Threads_Manage::DpiInPut, main, &MainWidget::on_DpiInPut);
        connect(this, &QHid_Threads_Manage::MessgBox, main, &MainWidget::on_CloroMessgBox);
        connect(this, &QHid_Threads_Manage::ErrorPop, main, &MainWidget::on_ErrorMessgeBox);
        connect(this, &QHid_Threads_Manage::ShowBusy, main, QOverload<>::of(&MainWidget::on_Show_busy_Status));
        connect(this, &QHid_Threads_Manage::HideBusy, main, &MainWidget::on_Hide_busy_Status);
    }
}

QHid_Threads_Manage::~QHid_Threads_Manage()
{
    {
        QMutexLocker lock(&m_Lock);
        m_Pending.clear();
    }
    wait();
    StopAll();
}

QHid_Work_Interface *QHid_Threads_Manage::Worker(uint32_t deviceId) const
{
    QMutexLocker lock(&m_Lock);
    return m_Workers.value(deviceId, nullptr);
}

QHid_Work_Interface *QHid_Threads_Manage::CurrentWorker() const
{
    return Worker(m_CurrentDeviceId);
}

QList<uint32_t> QHid_Threads_Manage::WorkerIds() const
{
    QMutexLocker lock(&m_Lock);
    return m_Workers.keys();
}

int QHid_Threads_Manage::CommandCode() const
{
    QMutexLocker lock(&m_Lock);
    return m_CommandCode;
}

int QHid_Threads_Manage::PendingCommands() const
{
    QMutexLocker lock(&m_Lock);
    return m_Pending.size();
}

bool QHid_Threads_Manage::WaitIdle(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QMutexLocker lock(&m_Lock);
    while (m_RunActive) {
        if (!m_Changed.wait(&m_Lock, deadline))
            return !m_RunActive;
    }
    lock.unlock();
    wait(deadline);
    return true;
}

QHid_Work_Interface *QHid_Threads_Manage::CreateWorker(uint32_t deviceId, DeviceRecord *device)
{
    if (Worker(deviceId) || !device)
        return nullptr;
    QHid_Work_Interface *worker = nullptr;
    // The keyboard and mouse protocol workers take the place of the base class
    // here as they are built; kinds 6 to 11 get their worker from the device list page.
    switch (device->kind) {
    case KindKeyboardWired: case KindKeyboardReceiver:
        worker = new ZR_2_0_KeyboradThread(this);
        break;
    case KindMouseWired: case KindMouseReceiver:
        worker = new ZR_2_0_MouseThread(this);
        break;
    case KindOutsideWired: case KindOutsideReceiver:
        worker = new ZR_DLL_MouseThread(this);
        break;
    case 6: case 7: case 8: case 9: case 10: case 11:
        return nullptr;
    default:
        worker = new QHid_Work_Interface(nullptr);
    }
    worker->SetDevice(device);
    AddWorker(deviceId, worker);
    return worker;
}

bool QHid_Threads_Manage::AddWorker(uint32_t deviceId, QHid_Work_Interface *worker)
{
    if (!worker)
        return false;
    {
        QMutexLocker lock(&m_Lock);
        QHid_Work_Interface *known = m_Workers.value(deviceId, nullptr);
        if (known == worker)
            return true;
        if (known) {
            lock.unlock();
            worker->StopListener();
            worker->StopListening();
            worker->wait(2000);
            delete worker;
            return false;
        }
        m_Workers.insert(deviceId, worker);
    }
    worker->m_DeviceId = deviceId;
    connect(worker, QOverload<uint, uchar>::of(&QHid_Work_Interface::Mouse_Dpi_Chenge), this, QOverload<uint, uchar>::of(&QHid_Threads_Manage::on_Mouse_Dpi_Chenge));
    connect(worker, &QHid_Work_Interface::Device_Put_Chenge, this, &QHid_Threads_Manage::on_Device_Put_Chenge);
    connect(worker, &QHid_Work_Interface::Code_Check_Retult, this, &QHid_Threads_Manage::on_Code_Check_Retult);
    connect(worker, &QHid_Work_Interface::mouse_Pow_Chenge, this, &QHid_Threads_Manage::on_mouse_Pow_Chenge);
    connect(worker, &QHid_Work_Interface::mouse_Systime_Chenge, this, &QHid_Threads_Manage::on_mouse_Systime_Chenge);
    connect(worker, &QHid_Work_Interface::Device_Product_Chenge, this, &QHid_Threads_Manage::on_Device_Product_Chenge);
    connect(worker, &QHid_Work_Interface::unSleepTime, this, &QHid_Threads_Manage::on_UnSleepTime);
    connect(worker, &QHid_Work_Interface::ThreadInputKeyBoradLightChange, this, &QHid_Threads_Manage::on_ThreadInputKeyBoradLightChange);
    connect(worker, &QHid_Work_Interface::ThreadInputKeyBoradLuckWinChange, this, &QHid_Threads_Manage::on_ThreadInputKeyBoradLuckWinChange);
    connect(worker, &QHid_Work_Interface::ChangeResetKeyvalueRetul, this, &QHid_Threads_Manage::on_ChangeResetKeyvalueRetul);
    connect(worker, &QHid_Work_Interface::ChangeResetLightModelSucceed, this, &QHid_Threads_Manage::on_ChangeResetLightModelSucceed);
    connect(worker, &QHid_Work_Interface::ChangeLightColorSucceed, this, &QHid_Threads_Manage::on_ChangeLightColorSucceed);
    connect(worker, &QHid_Work_Interface::CHangeLightSleep_LuminaSucceed, this, &QHid_Threads_Manage::on_CHangeLightSleep_LuminaSucceed);
    connect(worker, &QHid_Work_Interface::ChangeMoreColorSucceed, this, &QHid_Threads_Manage::on_ChangeMoreColorSucceed);
    if (!worker->isRunning())
        worker->StartListening();
    return true;
}

void QHid_Threads_Manage::WaitUntilNotBusy(QHid_Work_Interface *worker)
{
    while (worker && m_Busy == worker)
        m_Changed.wait(&m_Lock);
}

void QHid_Threads_Manage::RemoveWorker(uint32_t deviceId)
{
    QHid_Work_Interface *worker = nullptr;
    {
        QMutexLocker lock(&m_Lock);
        worker = m_Workers.take(deviceId);
        if (!worker)
            return;
        WaitUntilNotBusy(worker); // never deleted while the manager's thread uses it
    }
    worker->StopListening();
    worker->StopListener();
    worker->wait(2000);
    disconnect(worker, nullptr, this, nullptr);
    worker->disconnect();
    delete worker;
}

void QHid_Threads_Manage::StopAll()
{
    QList<QHid_Work_Interface *> all;
    {
        QMutexLocker lock(&m_Lock);
        for (auto it = m_Workers.cbegin(); it != m_Workers.cend(); ++it)
            all.append(it.value());
        m_Workers.clear();
        m_Pending.clear();
        while (m_Busy)
            m_Changed.wait(&m_Lock);
    }
    for (QHid_Work_Interface *worker : all) {
        worker->StopListener();
        worker->StopListening();
        worker->wait(2000);
        worker->disconnect();
        delete worker;
    }
}

// ---- requests -------------------------------------------------------------------------------

void QHid_Threads_Manage::Submit(const Command &command)
{
    bool start = false;
    {
        QMutexLocker lock(&m_Lock);
        Command c = command;
        c.deviceId = m_CurrentDeviceId;
        bool replaced = false;
        for (Command &waiting : m_Pending)
            if (waiting.code == c.code && waiting.deviceId == c.deviceId) {
                waiting = c; // the newer request of the same command wins (a dragged slider)
                replaced = true;
                break;
            }
        if (!replaced)
            m_Pending.append(c);
        if (!m_RunActive) {
            m_RunActive = true;
            start = true;
        }
    }
    if (start) {
        wait(); // a run that has just ended leaves the thread at once
        QThread::start(QThread::InheritPriority);
    }
}


void QHid_Threads_Manage::on_KeyResetLightModel()
{
    Q_EMIT ShowBusy();
    Command c; c.code = 1; Submit(c);
}

void QHid_Threads_Manage::on_KeyResetLightModelColor()
{
    Q_EMIT ShowBusy();
    Command c; c.code = 2; Submit(c);
}

void QHid_Threads_Manage::on_KeyBoradLightSleep_Lumina()
{
    Command c; c.code = 3; Submit(c);
}

void QHid_Threads_Manage::on_KeyBoradLightMColor()
{
    Command c; c.code = 4; Submit(c);
}

void QHid_Threads_Manage::on_ChangeMousePram(uchar, uint, uint, uint, uint)
{
    Command c; c.code = 4; Submit(c); // the five values are read by no command
}

void QHid_Threads_Manage::on_GrabKeyBoradConfigMaps()
{
    Command c; c.code = 5; Submit(c);
}

void QHid_Threads_Manage::on_ResetMouseCofig()
{
    Command c; c.code = 5; Submit(c);
}

void QHid_Threads_Manage::on_KeyBoard_Keys_Chenge(QString file, uchar ChangeLev)
{
    Command c;
    c.code = 6;
    c.strings << file << QString::number(ChangeLev);
    Submit(c);
}

void QHid_Threads_Manage::on_KeyBoradConfigPramChange(uchar *data)
{
    Command c;
    c.code = 7;
    if (data) {
        c.block = QByteArray(reinterpret_cast<const char *>(data), 520); // a copy, not the page's pointer
        c.hasBlock = true;
    }
    Submit(c);
}

void QHid_Threads_Manage::on_ResetKeyboradConfig(QString file)
{
    Command c;
    c.code = 8;
    c.strings << file;
    Submit(c);
}

void QHid_Threads_Manage::updata_KeyConfig()
{
    Command c; c.code = 9; Submit(c);
}

void QHid_Threads_Manage::on_GrabMousePram()
{
    Command c; c.code = 17; Submit(c);
}

void QHid_Threads_Manage::on_MouseKeysValueCHange()
{
    Command c; c.code = 18; Submit(c);
}

void QHid_Threads_Manage::on_MouseUpdataConfigPram(uchar ConfigPramTyp)
{
    Command c;
    c.code = 19;
    c.byteArg = ConfigPramTyp;
    Submit(c);
}

void QHid_Threads_Manage::on_RecoverMouseConfig()
{
    Command c; c.code = 20; Submit(c);
}

// The device that carries a worker's mouse record: the command interface of a second-family
// mouse, else the worker's own device.
static DeviceRecord *MouseRecordDevice(QHid_Work_Interface *worker)
{
    if (!worker)
        return nullptr;
    if (worker->m_CommandDevice)
        return worker->m_CommandDevice;
    return worker->Device();
}

void QHid_Threads_Manage::on_ChangeDpis(QVector<uint> vlaues, int CurValue)
{
    DeviceRecord *device = MouseRecordDevice(CurrentWorker());
    const std::shared_ptr<MouseConfigRecord> record = device ? std::atomic_load(&device->mouseData) : nullptr;
    if (!record)
        return;
    record->dpiValues = vlaues;
    record->stageCount = static_cast<uint8_t>(std::min(vlaues.size(), 255));
    record->currentDpi = static_cast<uint32_t>(CurValue);
    const int at = vlaues.indexOf(static_cast<uint>(CurValue));
    if (at >= 0)
        record->currentStage = static_cast<uint8_t>(at + 1);
    Command c; c.code = 21; Submit(c);
}

void QHid_Threads_Manage::on_KeyBoradDiyColorChange()
{
    Q_EMIT ShowBusy();
    Command c; c.code = 25; Submit(c);
}

void QHid_Threads_Manage::on_SynchronizingDeviceData()
{
    Command c; c.code = 26; Submit(c);
}

void QHid_Threads_Manage::on_ChangeCurrntDpi(uint)
{
    // writes the current DPI of the mouse record and stores code 1
}

void QHid_Threads_Manage::on_Usb_DispAudio(uchar *audiondata)
{
    if (QHid_Work_Interface *w = CurrentWorker())
        w->CommandMarker(audiondata);
}

void QHid_Threads_Manage::on_Usb_DispAudionEffct(double *buff, int len, int AudionTyp)
{
    if (QHid_Work_Interface *w = CurrentWorker())
        w->QueueCommand(reinterpret_cast<uchar *>(buff), len, AudionTyp);
    else
        delete[] buff; // the callee always owns the buffer handed to it
}

void QHid_Threads_Manage::on_ChangeKeyBoardSucceed() {}
void QHid_Threads_Manage::on_OPen_DlagoConfig() {}

// ---- run ------------------------------------------------------------------------------------

void QHid_Threads_Manage::run()
{
    for (;;) {
        Command command;
        QHid_Work_Interface *worker = nullptr;
        {
            QMutexLocker lock(&m_Lock);
            if (m_Pending.isEmpty()) {
                m_RunActive = false;
                m_Changed.wakeAll();
                return;
            }
            command = m_Pending.takeFirst();
            m_CommandCode = command.code;
            m_StringArgs = command.strings;
            m_HasConfigBlock = command.hasBlock;
            m_ByteArg = command.byteArg;
            worker = m_Workers.value(command.deviceId, nullptr);
            m_Busy = worker;
        }
        if (worker)
            Perform(worker, command);
        if (command.code == 18)
            Q_EMIT HideBusy(); // the key page shows it; the write has ended, with or without a worker
        QMutexLocker lock(&m_Lock);
        m_Busy = nullptr;
        m_HasConfigBlock = false;
        m_Changed.wakeAll();
    }
}

void QHid_Threads_Manage::Perform(QHid_Work_Interface *worker, const Command &c)
{
    MainWidget *main = MainWidget::instance();
    switch (c.code) {
    case 1: worker->ChangeLightModel(); break;
    case 2: worker->ChangeLightColor(); break;
    case 3: worker->ChangeLightSpeedLuminance(); break;
    case 4: worker->ChangeLightMColor(); break;
    case 6:
        if (worker->CheckAwake()) {
            msleep(static_cast<unsigned long>(QHid_Work_Interface::Ms(50)));
            worker->m_KeyFile = c.strings.value(0);
            worker->m_ChangedLayer = c.strings.value(1).toInt();
            if (main)
                main->SetDeviceWriteResult(false); // only this write's own result counts
            worker->WriteKeys();
            main = MainWidget::instance();
            const bool written = main && main->DeviceWriteResult();
            if (written || !worker->WriteKeysSaysWhy()) // one failure, one message
                Q_EMIT ErrorPop(false, written ? 5 : 6);
        }
        break;
    case 7:
        if (c.hasBlock) {
            Q_EMIT ShowBusy();
            worker->WriteConfigBlock();
        }
        break;
    case 8:
        Q_EMIT ShowBusy();
        if (main)
            main->SetRestoreFlag(true);
        worker->m_KeyFile = c.strings.value(0);
        worker->RecoverConfig();
        if ((main = MainWidget::instance()))
            main->SetRestoreFlag(false);
        Q_EMIT HideBusy();
        break;
    case 18: worker->WriteKeys(); break;
    case 19:
        Q_EMIT ShowBusy();
        worker->SetParam(c.byteArg, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu);
        Q_EMIT HideBusy();
        break;
    case 20:
        Q_EMIT ShowBusy();
        worker->RecoverConfig();
        Q_EMIT HideBusy();
        break;
    case 21:
        Q_EMIT ShowBusy();
        worker->WriteDpiTable();
        Q_EMIT HideBusy();
        break;
    case 25: worker->WriteDiyColorMap(); break;
    case 26: worker->SynchronizingDeviceData(); break;
    default: break; // 5, 9, 17 and unknown codes: nothing
    }
}

// ---- relays ---------------------------------------------------------------------------------

void QHid_Threads_Manage::on_Mouse_Dpi_Chenge(uint DeviceId, uchar leve)
{
    QHid_Work_Interface *worker = Worker(DeviceId);
    DeviceRecord *device = MouseRecordDevice(worker);
    if (!device)
        return;
    if (!std::atomic_load(&device->mouseData))
        worker->SynchronizingDeviceData();
    const std::shared_ptr<MouseConfigRecord> record = std::atomic_load(&device->mouseData);
    if (!record)
        return;
    const int count = record->dpiValues.size();
    // A level outside the stages has no DPI to show: the record is left as it is.
    if (leve < 1 || leve > count || count > 15) {
        WriteLogLine(QStringLiteral("DPI level %1 of %2 stages ignored").arg(leve).arg(count));
        return;
    }
    record->currentStage = leve;
    const QVector<ProductRecord> products = FindProduct(device->vendorId, device->productId, true);
    std::unique_ptr<DpiConfigRecord> map(products.isEmpty() ? nullptr : QDpiConfigMange().Read(products.first().folder));
    if (!map)
        return;
    const int at = DpiConfigRecord::Checked(map->currentDpiAddress, record->image.size());
    if (at >= 0)
        record->image[at] = static_cast<char>((leve << 4) | count);
    const uint32_t dpi = record->dpiValues.at(leve - 1);
    record->currentDpi = dpi;
    Q_EMIT DpiInPut(dpi);
    Q_EMIT ThreadDPichange(DeviceId, static_cast<int>(dpi));
}

void QHid_Threads_Manage::on_Mouse_Dpi_Chenge(uint DeviceId, int value)
{
    Q_EMIT ThreadDPichange(DeviceId, value);
    if (value > 50)
        Q_EMIT DpiInPut(static_cast<uint>(value));
}

void QHid_Threads_Manage::on_Device_Put_Chenge(uint DeviceId, bool)
{
    if (Worker(DeviceId))
        Q_EMIT UpdataHidDevice(DeviceId, 2);
}

void QHid_Threads_Manage::on_Code_Check_Retult(uint, bool) {}

void QHid_Threads_Manage::on_mouse_Pow_Chenge(uint DeviceId, uchar)
{
    if (Worker(DeviceId))
        Q_EMIT UpdataHidDevice(DeviceId, 5);
}

void QHid_Threads_Manage::on_mouse_Systime_Chenge(uint, uchar) {}

void QHid_Threads_Manage::on_Device_Product_Chenge(uint DeviceId)
{
    Q_EMIT UpdataHidDevice(DeviceId, 11);
}

void QHid_Threads_Manage::on_UnSleepTime() {}

void QHid_Threads_Manage::on_ThreadInputKeyBoradLightChange()
{
    Q_EMIT mThreadInputKeyBoradLightChange();
}

void QHid_Threads_Manage::on_ThreadInputKeyBoradLuckWinChange()
{
    Q_EMIT mThreadInputKeyBoradLuckWinChange();
}

void QHid_Threads_Manage::on_ChangeResetKeyvalueRetul(bool retuet)
{
    Q_EMIT mChangeResetKeyvalueRetul(retuet);
}

void QHid_Threads_Manage::on_ChangeResetLightModelSucceed()
{
    Q_EMIT mChangeResetLightModelSucceed();
}

void QHid_Threads_Manage::on_ChangeLightColorSucceed()
{
    Q_EMIT mChangeLightColorSucceed();
}

void QHid_Threads_Manage::on_CHangeLightSleep_LuminaSucceed()
{
    Q_EMIT mCHangeLightSleep_LuminaSucceed();
}

void QHid_Threads_Manage::on_ChangeMoreColorSucceed()
{
    Q_EMIT mChangeMoreColorSucceed();
}
