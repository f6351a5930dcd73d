#include "firmware/Q_YX_FW_Updata.h"

#include "app/LogWriter.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "firmware/CmdControlGeeHy.h"
#include "firmware/CmdControlPixArt.h"
#include "firmware/QWebDeviceVersionCheck.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {
Q_YX_FW_Updata *s_shared = nullptr;

QString Id(uint16_t id)
{
    return QString::asprintf("%02x", unsigned(id));
}

bool OnReceiver(uint8_t state)
{
    return state == StateWirelessAwake || state == StateWirelessAsleep;
}

// An engine is freed only once its thread has ended: its run may still be closing its device
// after the signal that ended the update.
void ReleaseEngine(CmdControl *engine)
{
    QObject::connect(engine, &QThread::finished, engine, &QObject::deleteLater);
    if (!engine->isRunning())
        delete engine; // ended already (or in its last steps: the destructor waits for them)
}
} // namespace

Q_YX_FW_Updata *Q_YX_FW_Updata::Instance()
{
    if (!s_shared)
        s_shared = new Q_YX_FW_Updata();
    return s_shared;
}

Q_YX_FW_Updata::Q_YX_FW_Updata(QObject *parent) : QThread(parent) {}

Q_YX_FW_Updata::~Q_YX_FW_Updata()
{
    wait();
    if (m_engine) {
        disconnect(m_engine, nullptr, this, nullptr);
        m_engine->wait();
        delete m_engine;
    }
    if (s_shared == this)
        s_shared = nullptr;
}

Q_YX_FW_Updata::Target Q_YX_FW_Updata::TargetOf(DeviceRecord *record)
{
    Target t;
    if (!record)
        return t;
    t.valid = true;
    t.vendorId = record->vendorId;
    t.productId = record->productId;
    t.deviceId = record->deviceId;
    t.connectionState = record->connectionState;
    t.code = record->CodeText();
    t.handle = record->handle;
    t.geehyVersion = QWebDeviceVersionCheck::Instance()->GeehyVersion(record);
    return t;
}

QVariantMap Q_YX_FW_Updata::EngineParams(const Target &target, const QString &path, bool pixArt)
{
    QVariantMap map;
    if (!target.valid)
        return map;
    const bool onReceiver = OnReceiver(target.connectionState);
    if (pixArt) {
        // Through the receiver the engine looks for the receiver among this list only; the
        // record being updated then is the receiver itself.
        if (onReceiver)
            map.insert("_dongles", QJsonArray{QJsonObject{{"vid", Id(target.vendorId)},
                                                          {"pid", Id(target.productId)}}});
    } else {
        map.insert("_vid", Id(target.vendorId));
        map.insert("_pid", Id(target.productId));
        map.insert("_geehy_vid", QStringLiteral("0x314b"));
        map.insert("_geehy_pid", QStringLiteral("0x03ec"));
        // The version the bootloader records: the catalogue's, so that the offer goes away
        // once the update is done.
        map.insert("_version", target.geehyVersion >= 0 ? QString::asprintf("0x%x", unsigned(target.geehyVersion))
                                                        : QStringLiteral("0x27"));
    }
    map.insert("_verify_password", target.code);
    map.insert("_verify_vid", Id(target.vendorId));
    map.insert("_verify_pid", Id(target.productId));
    map.insert("_retry_cnt", 1000);
    map.insert("_packet_time", 16);
    map.insert("_wireless_mode", onReceiver);
    map.insert("_fw_path", path);
    map.insert("_develop_mode", false);
    return map;
}

void Q_YX_FW_Updata::SetDevices(DeviceRecord *pixArt, DeviceRecord *geehy)
{
    m_pixArtDevice = pixArt;
    m_geehyDevice = geehy;
    m_pixArtChosen = pixArt != nullptr;
}

void Q_YX_FW_Updata::on_YXstartUpdata(QString pathFile)
{
    // One engine at a time: the running update's end step carries the chain on.
    if (m_runId) {
        WriteLogLine(QStringLiteral("YX update already running, not started: ") + pathFile);
        return;
    }
    DeviceRecord *record = m_pixArtDevice ? m_pixArtDevice : m_geehyDevice;
    m_target = TargetOf(record);
    if (record) {
        // Its handles stay open; the device list holds them until the update chain has ended.
        if (HID_API *hid = HID_API::instance())
            hid->StopDeviceWorker(m_target.deviceId, false);
    }
    m_path = pathFile;
    m_runId = ++m_lastRunId;
    wait(); // the previous run() may still be returning
    start();
}

void Q_YX_FW_Updata::run()
{
    const quint64 runId = m_runId;
    const bool pixArt = m_pixArtChosen;
    CmdControl *engine = pixArt ? static_cast<CmdControl *>(new CmdControlPixArt)
                                : static_cast<CmdControl *>(new CmdControlGeeHy);
    engine->reset();
    if (m_target.valid)
        engine->attach_device(m_target.handle);
    engine->set_params(EngineParams(m_target, m_path, pixArt));
    // Made on this short-lived thread; its signals and its deletion belong to the GUI thread.
    engine->moveToThread(thread());

    // Each signal carries the run it came from, so nothing of an earlier run acts on this one.
    connect(engine, &CmdControl::update_process, this, [this, runId](int progress) {
        if (runId == m_runId)
            emit UpdataStep(progress);
    });
    // CmdControl's own finished(), not QThread's, which also comes after failed runs.
    connect(engine, &CmdControl::finished, this, [this, runId] {
        if (ClaimEnd(runId, "finished"))
            on_finished();
    });
    connect(engine, &CmdControl::failed, this, [this, runId](const QString &msg) {
        if (ClaimEnd(runId, "failed"))
            on_failed(msg);
        else
            WriteLogLine(msg);
    });
    connect(engine, &CmdControl::message, this, &Q_YX_FW_Updata::on_message);

    if (!pixArt)
        engine->setup(); // a failed setup makes the engine's run report that no device was found
    m_engine = engine;
    engine->start();
    emit popdlg();
}

bool Q_YX_FW_Updata::ClaimEnd(quint64 runId, const char *what)
{
    if (runId == 0 || runId != m_runId) {
        WriteLogLine(QStringLiteral("YX update: late engine signal dropped: ") + QLatin1String(what));
        return false;
    }
    m_runId = 0;
    return true;
}

void Q_YX_FW_Updata::DetachEngine()
{
    emit hidebutton();
    if (m_engine) {
        disconnect(m_engine, nullptr, this, nullptr);
        ReleaseEngine(m_engine);
        m_engine = nullptr;
    }
    m_path.clear();
    m_target = Target(); // its handle is closed with the record once the chain has ended
    m_pixArtDevice = nullptr;
    m_geehyDevice = nullptr;
}

void Q_YX_FW_Updata::on_message(QString msg)
{
    WriteLogLine(msg);
}

void Q_YX_FW_Updata::on_failed(QString msg)
{
    WriteLogLine(msg);
    const bool more = m_more;
    m_more = false; // cleared before the next task may set it again
    DetachEngine();
    emit Dispmessg(GetLangText(411));
    emit UpdaterDone();
    if (more)
        emit hidedlg();
}

void Q_YX_FW_Updata::on_finished()
{
    const bool more = m_more;
    const bool geehy = !m_pixArtChosen;
    m_more = false;
    DetachEngine();
    if (!more) {
        emit Dispmessg(GetLangText(410));
        emit UpdataStep(100);
    }
    emit UpdateEnded();
    if (geehy)
        emit Dispmessg(GetLangText(410) + QStringLiteral("\n") + GetLangText(425));
    if (more)
        emit hidedlg();
}
