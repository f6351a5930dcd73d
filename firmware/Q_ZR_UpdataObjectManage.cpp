#include "firmware/Q_ZR_UpdataObjectManage.h"

#include "app/AppDirPath.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "app/MainWidget.h"
#include "app/NestedWait.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/HidClassify.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QHid_Work_Interface.h"
#include "device/QKeyLableItem.h"
#include "firmware/DownTask.h"
#include "firmware/QDownTaskManage.h"
#include "firmware/QUpdataDlg.h"
#include "firmware/QWebDeviceVersionCheck.h"
#include "firmware/Q_YX_FW_Updata.h"
#include "firmware/Q_ZY_FW_Updata.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <hidapi.h>
#include <mutex>

const char *const Q_ZR_UpdataObjectManage::WiredPicture = ":/new/prefix1/Imges/icons8_sugar_cube_200px.png";
const char *const Q_ZR_UpdataObjectManage::ReceiverPicture = ":/new/prefix1/Imges/icons8_usb_off_200px.png";

namespace {
// A device taken off the list for its update: brought back at the end of the chain when it is
// still there and nothing else brought it back.
struct StoppedDevice
{
    uint32_t id = 0;
    uint16_t vid = 0;
    uint16_t pid = 0;
};

QVector<DownTask *> s_pending;      // tasks of the pair still to run, in order
DownTask *s_running = nullptr;      // the task whose update runs; freed when it ends
bool s_chain = false;               // from StartUpdate until the last end step
// The chain is one wait from its start to its last end step, across the pause between the
// chips of a pair and whichever chip comes first: the program's end waits for the whole of it,
// so that no firmware write is cut short and no device is left half-updated. Never freed at
// exit: a wait still open then has nothing left to return to.
NestedWait::Scope *s_chainWait = nullptr;
bool s_waiting = false;             // the pause before the last task of a pair
QVector<StoppedDevice> s_stopped;
int s_pairWaitMs = 2000;
bool s_wired = false;
// What the last refusal of the chain said, shown when the chain ends without an update that
// spoke for itself; empty for the bare failure text.
QString s_refusal;

bool OnReceiver(const DeviceRecord *dev)
{
    const uint8_t state = dev->connectionState.load();
    return state == StateWirelessAwake || state == StateWirelessAsleep;
}

void FreeTask(DownTask *task)
{
    DownTask *slot = task;
    DeleteDownTasks(&slot, 1);
}

void FreeTasks(QVector<DownTask *> &tasks)
{
    if (!tasks.isEmpty())
        DeleteDownTasks(tasks.data(), tasks.size());
    tasks.clear();
}

// The updaters report their end steps, the dialog's texts and progress through signals.
void WireUpdaters()
{
    if (s_wired)
        return;
    s_wired = true;
    QUpdataDlg *dlg = QUpdataDlg::Instance();
    Q_ZY_FW_Updata *zy = Q_ZY_FW_Updata::Instance();
    QObject::connect(zy, &Q_ZY_FW_Updata::dispdlg, dlg, &QUpdataDlg::on_pop, Qt::QueuedConnection);
    QObject::connect(zy, &Q_ZY_FW_Updata::hidebutton, dlg, &QUpdataDlg::on_Hidebutton);
    QObject::connect(zy, &Q_ZY_FW_Updata::Dispmessg, dlg, &QUpdataDlg::on_DispText);
    QObject::connect(zy, &Q_ZY_FW_Updata::UpdataStep, dlg, &QUpdataDlg::on_DispStup);
    QObject::connect(zy, &Q_ZY_FW_Updata::ButtonVersion, dlg, &QUpdataDlg::SetButtonVersion);
    QObject::connect(zy, &Q_ZY_FW_Updata::UpdateEnded, dlg, &Q_ZR_UpdataObjectManage::OnUpdateEnded);
    QObject::connect(zy, &Q_ZY_FW_Updata::UpdaterDone, dlg, &Q_ZR_UpdataObjectManage::OnUpdaterDone);
    Q_YX_FW_Updata *yx = Q_YX_FW_Updata::Instance();
    QObject::connect(yx, &Q_YX_FW_Updata::popdlg, dlg, &QUpdataDlg::on_pop, Qt::QueuedConnection);
    QObject::connect(yx, &Q_YX_FW_Updata::hidebutton, dlg, &QUpdataDlg::on_Hidebutton);
    QObject::connect(yx, &Q_YX_FW_Updata::hidedlg, dlg, &QUpdataDlg::hide);
    QObject::connect(yx, &Q_YX_FW_Updata::Dispmessg, dlg, &QUpdataDlg::on_DispText);
    QObject::connect(yx, &Q_YX_FW_Updata::UpdataStep, dlg, &QUpdataDlg::on_DispStup);
    QObject::connect(yx, &Q_YX_FW_Updata::UpdateEnded, dlg, &Q_ZR_UpdataObjectManage::OnUpdateEnded);
    QObject::connect(yx, &Q_YX_FW_Updata::UpdaterDone, dlg, &Q_ZR_UpdataObjectManage::OnUpdaterDone);
}

// A file the dispatch may hand to an updater: present, a path over 10 characters, and, with
// links resolved, directly inside the task's own folder under "Buff".
bool AcceptableFile(const DownTask *task)
{
    const QString path = task->filePath;
    if (path.size() <= 10 || !QFileInfo(path).isFile())
        return false;
    const QString buff = QFileInfo(AppDirPath() + QStringLiteral("/Buff")).canonicalFilePath();
    const QString folder = QFileInfo(task->folder).canonicalFilePath();
    const QFileInfo file(QFileInfo(path).canonicalFilePath());
    if (buff.isEmpty() || folder.isEmpty() || !file.isFile())
        return false;
    if (!folder.startsWith(buff + QLatin1Char('/')))
        return false;
    return file.absolutePath() == folder;
}

// The failure text, followed by its cause on a line of its own when the cause is known here.
QString FailureText(uint cause)
{
    return cause ? GetLangText(411) + QLatin1Char('\n') + GetLangText(cause) : GetLangText(411);
}

// The dialog with the failure text and its OK button, so the user is not left without an answer.
void ShowRefusal()
{
    QUpdataDlg *dlg = QUpdataDlg::Instance();
    const QString text = s_refusal.isEmpty() ? FailureText(0) : s_refusal;
    if (dlg->isVisible()) {
        dlg->on_DispText(text);
        dlg->on_Hidebutton();
        return;
    }
    QPointer<QUpdataDlg> d(dlg);
    QTimer::singleShot(0, dlg, [d, text] {
        // Runs inside the dialog's own loop, after its opening texts.
        QTimer::singleShot(0, d, [d, text] {
            d->on_DispText(text);
            d->on_Hidebutton();
        });
        d->on_pop();
    });
}

// A record the device list still holds (listed, or a worker's interface): a device that went
// while its firmware downloaded has had its records freed.
bool DeviceAlive(const DeviceRecord *dev)
{
    HID_API *hid = HID_API::instance();
    if (!dev || !hid)
        return false;
    for (const DeviceRecord *r : qAsConst(hid->DeviceMap()))
        if (r == dev)
            return true;
    if (QHid_Threads_Manage *manager = hid->Manager()) {
        for (uint32_t id : manager->WorkerIds()) {
            const QHid_Work_Interface *worker = manager->Worker(id);
            if (worker && (worker->Device() == dev || worker->m_CommandDevice == dev))
                return true;
        }
    }
    return false;
}

bool StillEnumerated(const StoppedDevice &d)
{
    for (const HidInterfaceEntry &e : EnumerateHidInterfaces(d.vid, d.pid))
        if (InterfaceDeviceId(e.path) == d.id)
            return true;
    return false;
}

void BeginChain()
{
    s_chain = true;
    if (!s_chainWait)
        s_chainWait = new NestedWait::Scope;
}

void FinishChain(bool failed)
{
    s_chain = false;
    // Released first: the devices coming back are listed now, and an end that waited follows.
    delete s_chainWait;
    s_chainWait = nullptr;
    // A failure the user has not seen (an update that never reached its dialog) is shown.
    if (failed && !QUpdataDlg::Instance()->isVisible())
        ShowRefusal();
    HID_API *hid = HID_API::instance();
    QVector<StoppedDevice> stopped;
    stopped.swap(s_stopped);
    if (!hid)
        return;
    // What the updates left open goes first: an arrival must not find the node still held.
    for (const StoppedDevice &d : qAsConst(stopped))
        hid->CloseStoppedDevice(d.id);
    hid->ProcessUsbEvents();
    // A device still present after its update returns as on an arrival; one that left and came
    // back was handled by the queued notices above, one that left for good needs nothing.
    QSet<uint32_t> announced;
    for (const StoppedDevice &d : qAsConst(stopped)) {
        if (hid->DeviceMap().contains(d.id) || announced.contains(d.id) || !StillEnumerated(d))
            continue;
        announced.insert(d.id);
        hid->on_DeviceNotice(true, d.id, d.vid, d.pid, QString());
    }
}

void EndStep(bool failed)
{
    if (s_running) {
        FreeTask(s_running);
        s_running = nullptr;
    }
    if (!s_pending.isEmpty()) {
        Q_ZR_UpdataObjectManage::RunNextPending();
        return;
    }
    if (s_waiting)
        return;
    FinishChain(failed);
}

// A refused task ends like a failed update: its text, then the next task or the chain's end.
// A download that did not complete (failed, cut short, or sent without the length that must be
// announced) is named as the cause; a file found out of place keeps the bare text.
void RefuseTask(DownTask *task)
{
    WriteLogLine(QStringLiteral("Update refused: ") + task->filePath);
    s_refusal = FailureText(task->status != DownTaskDone ? 417 : 0);
    if (s_running == task)
        s_running = nullptr;
    FreeTask(task);
    QUpdataDlg::Instance()->on_DispText(s_refusal);
    EndStep(true);
}

void Dispatch(DownTask *task, bool more)
{
    s_running = task;
    if (!Q_ZR_UpdataObjectManage::RunUpdataFile(task, more))
        RefuseTask(task);
}
}

// ---- offers ---------------------------------------------------------------------------------

bool Q_ZR_UpdataObjectManage::VersionText(DeviceRecord *dev, QKeyLableItem *tile)
{
    if (!dev || !tile)
        return false;
    QWebDeviceVersionCheck *catalogue = QWebDeviceVersionCheck::Instance();
    if (dev->deviceType == 2 && !catalogue->KeyboardUpdateSwitch())
        return false;
    tile->SetUpdateButtonHidden(true);
    if (dev->name.isEmpty()) {
        if (dev->vendorId != 0x258A || (dev->productId != 0x0138 && dev->productId != 0x01BB))
            return false;
        if (dev->productId == 0x0138) {
            const QVector<ProductRecord> products = ProductsForIds(dev->vendorId, dev->productId, true);
            if (!products.isEmpty())
                tile->SetPicture(products.first().smallPicture);
            tile->SetNameForModel(QString::fromUtf8(QWebDeviceVersionCheck::UncodedModelName));
        } else {
            tile->SetNameForModel(QStringLiteral("QUORIX Q3 Pro"));
        }
    }
    auto *button = qobject_cast<QAbstractButton *>(tile->UpdateButton());
    const int current = dev->version.load();
    if (dev->subType == 4) {
        const int offered = catalogue->PixArtVersion(dev);
        if (current >= offered)
            return false;
        if (button)
            button->setText(GetLangText(339) + QStringLiteral("  "));
        tile->SetUpdateButtonHidden(false);
        tile->UpdateButton()->setToolTip(QString::asprintf("%s: V%x", qPrintable(GetLangText(399)), unsigned(offered)));
        return true;
    }
    const CatalogueClass *cls = catalogue->DeviceEntries(dev);
    if (!cls)
        return false;
    const uint8_t state = dev->connectionState.load();
    const CatalogueEntry *entry = nullptr;
    if (state == StateNone || state == StateWired)
        entry = cls->wired;
    else if (state == StateWirelessAwake || state == StateWirelessAsleep)
        entry = cls->receiver;
    if (!entry)
        return false;
    bool ok = false;
    const int offered = DigitsOnly(entry->version).toInt(&ok, 16);
    if (!ok || current >= offered)
        return false;
    if (button)
        button->setText(GetLangText(339) + QStringLiteral("  "));
    tile->SetUpdateButtonHidden(false);
    tile->UpdateButton()->setToolTip(GetLangText(399) + QStringLiteral(": V") + entry->version);
    return true;
}

bool Q_ZR_UpdataObjectManage::CheckNeedUpdate(DeviceRecord *dev)
{
    if (!dev)
        return false;
    if (FindProductRecord(dev->CodeText()).family != 4)
        return false;
    const int offered = QWebDeviceVersionCheck::Instance()->GeehyVersion(dev);
    HID_API *hid = HID_API::instance();
    QHid_Work_Interface *worker = hid && hid->Manager() ? hid->Manager()->Worker(dev->deviceId) : nullptr;
    if (!worker || !worker->Device())
        return false;
    const int reported = ProbeDeviceStatus(worker->Device());
    if (offered < 0)
        return false;
    return offered > reported;
}

int Q_ZR_UpdataObjectManage::ProbeDeviceStatus(DeviceRecord *dev)
{
    if (!dev || !dev->handle || dev->outputLength < 2 || dev->inputLength < 4)
        return -1;
    QByteArray out(dev->outputLength, '\0');
    out[0] = char(0x09);
    out[1] = char(0xB1);
    QByteArray in(qMax<int>(dev->outputLength, int(dev->inputLength)), '\0');
    auto *buffer = reinterpret_cast<unsigned char *>(in.data());
    // The listener reads the same handle: it waits from the request to the last read, so the
    // reply cannot go to it.
    std::lock_guard<std::recursive_mutex> lock(dev->io);
    if (RecordWrite(dev, reinterpret_cast<const unsigned char *>(out.constData()), out.size()) < 0)
        return -1;
    // Two replies at most; status notices (0xFA) that come in between are no replies.
    int replies = 0;
    for (int reads = 0; reads < 8 && replies < 2; ++reads) {
        in.fill('\0');
        int status = 0;
        const int n = hid_read_timeout_status(dev, buffer, int(dev->inputLength), 20, &status);
        if (n > 1 && buffer[1] == 0xFA)
            continue;
        ++replies;
        if (replies == 1 && buffer[3] != 0) {
            dev->version = buffer[3];
            return buffer[3];
        }
    }
    dev->version = 0;
    return -1;
}

// ---- tasks ----------------------------------------------------------------------------------

Q_ZR_UpdataObjectManage::BuffFolder Q_ZR_UpdataObjectManage::BuildBuffFolder(DeviceRecord *dev)
{
    BuffFolder result;
    if (!dev)
        return result;
    const bool receiver = OnReceiver(dev);
    if (!receiver && dev->vendorId == 0x258A && dev->productId == 0x0136) {
        // The notice runs events: a listed device that went meanwhile (its record is kept until
        // the notice has returned) gets no task.
        HID_API *hid = HID_API::instance();
        const uint32_t id = dev->deviceId;
        const bool listed = hid && hid->DeviceById(id);
        if (MainWidget *main = MainWidget::instance())
            main->ShowMessage(QColor(178, 179, 180), GetLangText(422), true);
        hid = HID_API::instance();
        if (listed && !(hid && hid->DeviceById(id)))
            return result;
    }
    QWebDeviceVersionCheck *catalogue = QWebDeviceVersionCheck::Instance();
    CatalogueClass *cls = dev->subType == 4 ? catalogue->PixArtEntries(dev) : catalogue->DeviceEntries(dev);
    if (FindProductRecord(dev->CodeText()).family == 4) {
        HID_API *hid = HID_API::instance();
        QKeyLableItem *tile = hid ? hid->TileMap().value(dev->deviceId, nullptr) : nullptr;
        if (tile && tile->SecondUpdateFound())
            cls = catalogue->GeehyEntries(dev);
    }
    if (!cls)
        return result;
    const CatalogueEntry *entry = receiver ? cls->receiver : cls->wired;
    if (!entry || !IsSafeFileComponent(entry->name))
        return result;
    result.folder = QStringLiteral("%1/Buff/%2/%3/").arg(AppDirPath(), entry->name,
                                                         receiver ? QStringLiteral("Wireless") : QStringLiteral("Wired"));
    result.url = entry->recpath;
    return result;
}

// ---- dispatch -------------------------------------------------------------------------------

void Q_ZR_UpdataObjectManage::StartUpdate(QVector<DownTask *> tasks)
{
    tasks.removeAll(nullptr);
    for (int i = tasks.size() - 1; i >= 0; --i)
        if (tasks[i]->check != DownTaskAlive)
            tasks.remove(i);
    // Nothing starts once the program's end is asked (in the wait before the start): the end
    // would only have to wait for it.
    if (NestedWait::EndRequested()) {
        WriteLogLine(QStringLiteral("Program ending; update batch dropped"));
        FreeTasks(tasks);
        return;
    }
    // One chain at a time: a second batch while one runs is dropped.
    if (s_chain) {
        WriteLogLine(QStringLiteral("Update already running; batch dropped"));
        FreeTasks(tasks);
        return;
    }
    // Tasks of a device that left during the downloads are dropped, as failed downloads are.
    bool dropped = false;
    for (int i = tasks.size() - 1; i >= 0; --i) {
        if (!DeviceAlive(tasks[i]->device)) {
            WriteLogLine(QStringLiteral("Update dropped, device gone: ") + tasks[i]->filePath);
            FreeTask(tasks[i]);
            tasks.remove(i);
            dropped = true;
        }
    }
    s_refusal.clear();
    if (dropped && tasks.isEmpty()) {
        // The record that named the product is gone: no placeholder or earlier product heads it.
        SetUpdateDialogProduct(QString());
        s_refusal = FailureText(420);
        ShowRefusal();
        return;
    }
    if (tasks.size() == 2 && tasks[0]->device && tasks[1]->device
        && tasks[0]->device->deviceId == tasks[1]->device->deviceId && tasks[0]->type != TaskLibrary) {
        BeginChain();
        s_pending = tasks;
        RunNextPending();
        return;
    }
    if (tasks.size() == 1) {
        BeginChain();
        Dispatch(tasks.first(), false);
        return;
    }
    FreeTasks(tasks);
}

void Q_ZR_UpdataObjectManage::RunNextPending()
{
    if (s_pending.isEmpty() || s_waiting)
        return;
    DownTask *task = s_pending.takeFirst();
    WriteLogLine(QStringLiteral("Run_UpdataFile :") + task->filePath);
    if (!s_pending.isEmpty()) {
        Dispatch(task, true);
        return;
    }
    // The first update's device restarts; the second is given time before it starts. The wait
    // lets the event loop run instead of blocking it.
    s_waiting = true;
    QTimer::singleShot(s_pairWaitMs, QUpdataDlg::Instance(), [task] {
        s_waiting = false;
        Dispatch(task, false);
    });
}

bool Q_ZR_UpdataObjectManage::RunUpdataFile(DownTask *task, bool more)
{
    if (!task || !task->device)
        return false;
    if (task->type != TaskLibrary && task->type != TaskPixArt && task->type != TaskGeehy)
        return false;
    DeviceRecord *dev = task->device;
    const bool receiver = OnReceiver(dev);
    const QImage picture(QString::fromLatin1(receiver ? ReceiverPicture : WiredPicture));
    const QString product = QString::asprintf("   %s %x   ", qPrintable(GetLangText(receiver ? 416 : 415)),
                                              unsigned(dev->version.load()));
    // The dialog names the product first: a refusal is shown in it as well.
    QUpdataDlg::Instance()->SetProductImage(picture);
    SetUpdateDialogProduct(product);
    // Only a download that completed is written to a device.
    if (task->status != DownTaskDone)
        return false;
    const QString path = task->filePath;
    HID_API *hid = HID_API::instance();
    if (task->type == TaskLibrary) {
        WireUpdaters();
        Q_ZY_FW_Updata *zy = Q_ZY_FW_Updata::Instance();
        zy->ShowDialog(picture);
        if (!AcceptableFile(task)) {
            WriteLogLine(QStringLiteral("找不到中颖升级文件 Not finde:") + path);
            return false;
        }
        s_stopped.append({dev->deviceId, dev->vendorId, dev->productId});
        if (hid)
            hid->SetUpdating(true);
        WriteLogLine(QStringLiteral("运行中颖升级文件:  Run ") + path);
        zy->SetTargetDevice(dev->deviceId);
        zy->on_startUpdata(path);
        return true;
    }
    if (task->type == TaskPixArt || task->type == TaskGeehy) {
        WireUpdaters();
        Q_YX_FW_Updata *yx = Q_YX_FW_Updata::Instance();
        yx->ShowDialog(picture);
        if (task->type == TaskPixArt)
            yx->SetDevices(dev, nullptr);
        else
            yx->SetDevices(nullptr, dev);
        if (!AcceptableFile(task)) {
            WriteLogLine(QStringLiteral("找不到原相升级文件 :") + path);
            yx->SetDevices(nullptr, nullptr);
            return false;
        }
        WriteLogLine(QStringLiteral("运行原相升级文件: ") + path);
        if (more)
            yx->SetMoreToCome(true);
        s_stopped.append({dev->deviceId, dev->vendorId, dev->productId});
        if (hid)
            hid->SetUpdating(true);
        yx->on_YXstartUpdata(path);
        return true;
    }
    return false;
}

// An update that ran speaks for itself: an earlier refusal's cause is not repeated for it.
void Q_ZR_UpdataObjectManage::OnUpdateEnded()
{
    s_refusal.clear();
    EndStep(false);
}

void Q_ZR_UpdataObjectManage::OnUpdaterDone()
{
    // What the updater said last, its cause included, is shown again should its dialog not be up
    // (a start refused before the device was reached).
    s_refusal = QUpdataDlg::Instance()->MessageText();
    EndStep(true);
}

// ---- look-ups -------------------------------------------------------------------------------

QString Q_ZR_UpdataObjectManage::DigitsOnly(const QString &text)
{
    QString digits;
    for (const QChar c : text)
        if (c.unicode() >= '0' && c.unicode() <= '9')
            digits.append(c);
    return digits;
}

ProductRecord Q_ZR_UpdataObjectManage::FindProductRecord(const QString &code)
{
    return HID_API::FindProductRecord(code);
}

QVector<ProductRecord> Q_ZR_UpdataObjectManage::ProductsForIds(uint16_t vid, uint16_t pid, bool either)
{
    return QWebDeviceVersionCheck::ProductsForIds(vid, pid, either);
}

bool Q_ZR_UpdataObjectManage::IsBusy()
{
    return s_chain;
}

void Q_ZR_UpdataObjectManage::SetPairWaitMs(int ms)
{
    s_pairWaitMs = ms;
}
