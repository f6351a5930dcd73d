#include "device/ZR_2_0_KeyboradThread.h"
#include "app/CheckedSave.h"

#include "app/AppDirPath.h"
#include "app/DelayMs.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "app/ProductRecord.h"
#include "app/QXM_Process.h"
#include "device/ByteTools.h"
#include "device/DeviceRecord.h"
#include "device/KeyboardCommandBuilder.h"
#include "device/QKeyBoradMApMange.h"
#include "keyboard/QConfigBuildManage_Pro.h"
#include "macros/QJsonConfing.h"
#include "platform/CpuInfo.h"

#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {
const char *const kDashes = "------------------------------";
const int kListenWaitMs = 100;
const int kListenHardWaitMs = 3000;

void LogDone(const char *what, const QString &name)
{
    WriteLogLine(QString::fromUtf8(what) + name);
    WriteLogLine(QString::fromLatin1(kDashes));
}
} // namespace

ZR_2_0_KeyboradThread::ZR_2_0_KeyboradThread(QObject *parent)
    : QHid_Work_Interface(parent), m_AmdAudioSleep(ReadAmdAudioSleep())
{
}

ZR_2_0_KeyboradThread::~ZR_2_0_KeyboradThread()
{
    m_ListenFlag = 0;
    if (isRunning())
        wait(kListenHardWaitMs); // never destroyed under a running listener
    QObject::disconnect(m_Connection);
    m_Device = nullptr;
    m_CommandDevice = nullptr;
    m_Commands.clear();
}

// The processor check is the platform's, read once for the whole program.
int ZR_2_0_KeyboradThread::ReadAmdAudioSleep()
{
    if (!platform::IsAmdProcessor())
        return 0;
    QSettings *ini = OpenSysBuildIni();
    const int value = ini ? ini->value(QStringLiteral("Systime/AudonAmdSellp"), 0).toInt() : 0;
    delete ini;
    return value;
}

void ZR_2_0_KeyboradThread::SleepMs(int ms)
{
    msleep(static_cast<unsigned long>(Ms(ms)));
}

void ZR_2_0_KeyboradThread::SetOptionFlag(uchar flag)
{
    m_OptionFlag = flag;
}

// ---- listener -------------------------------------------------------------------------------

void ZR_2_0_KeyboradThread::StartListening()
{
    m_ListenFlag = 1;
    start(QThread::InheritPriority);
}

void ZR_2_0_KeyboradThread::StopListening()
{
    m_ListenFlag = 0;
    // The listener tests the flag between reads, so it normally ends within one round; a
    // command must never read beside it, so a late listener is waited for a while longer.
    if (!wait(static_cast<unsigned long>(kListenWaitMs))) {
        WriteLogLine(QStringLiteral("keyboard listener still busy after %1 ms").arg(kListenWaitMs));
        wait(static_cast<unsigned long>(kListenHardWaitMs));
    }
    quit();
}

int ZR_2_0_KeyboradThread::ReadOnce(int timeoutMs)
{
    DeviceRecord *d = m_Device;
    if (!d)
        return -1;
    uchar report[20] = {};
    const int length = std::min<int>(20, static_cast<int>(d->inputLength));
    if (length < 2) { // a TLC without input reports has nothing to listen to
        SleepMs(timeoutMs);
        return 0;
    }
    // The status notice is acted on once, by the listener's own rule, not also by the read.
    int status = 0;
    const int n = hid_read_timeout_status(d, report, length, Ms(timeoutMs), &status);
    SleepMs(5);
    if (n > 1 && report[1] == 0x0A)
        HandleStatus(report);
    return n;
}

void ZR_2_0_KeyboradThread::run()
{
    while (m_ListenFlag && m_Device) {
        if (ReadOnce(5) < 0) {
            SleepMs(50); // a vanished device: keep quiet until the page removes the worker
            continue;
        }
        SleepMs(5);
    }
}

void ZR_2_0_KeyboradThread::ReadStatusOnce(uchar timeoutMs)
{
    ReadOnce(timeoutMs);
}

void ZR_2_0_KeyboradThread::HandleStatus(const uchar *report)
{
    DeviceRecord *d = m_Device;
    if (!d)
        return;
    switch (report[5]) {
    case 2:
        if (report[6] == 1) {
            if (d->CodeText().isEmpty()) {
                QEventLoop loop; // a short settling time, ended early when the listener is stopped
                QTimer done;
                done.setSingleShot(true);
                QTimer poll;
                QObject::connect(&done, &QTimer::timeout, &loop, &QEventLoop::quit);
                QObject::connect(&poll, &QTimer::timeout, &loop, [&loop, this] {
                    if (!m_ListenFlag && QThread::currentThread() == this)
                        loop.quit();
                });
                done.start(Ms(200));
                poll.start(5);
                loop.exec();
                QueryDeviceCode(QThread::currentThread() == this);
                const QString code = d->CodeText();
                if (!code.isEmpty() && d->Name().isEmpty())
                    PostDeviceName(d, FindProductRecord(code).name);
            }
            d->connectionState = StateWirelessAwake;
            Q_EMIT Device_Put_Chenge(m_DeviceId, true);
        } else {
            d->connectionState = StateWirelessAsleep;
            Q_EMIT Device_Put_Chenge(m_DeviceId, false);
        }
        break;
    case 5: {
        uint8_t high = 0, low = 0;
        HexByteToNibbles(report[7], &high, &low);
        d->batteryLevel = report[6];
        d->batteryStatus1 = low;
        d->batteryStatus2 = high;
        Q_EMIT mouse_Pow_Chenge(m_DeviceId, report[6]);
        break;
    }
    case 6:
        m_CodeCheckResult = report[6];
        Q_EMIT Code_Check_Retult(m_DeviceId, report[6] != 0);
        break;
    default:
        break;
    }
}

// ---- device code ----------------------------------------------------------------------------

void ZR_2_0_KeyboradThread::QueryDeviceCode(bool fromListener)
{
    DeviceRecord *d = m_Device;
    if (!d || !d->CodeText().isEmpty())
        return;
    const int readLength = std::min<int>(20, d->outputLength > 0 ? d->outputLength : 20);
    for (int attempt = 0; attempt < 4; ++attempt) {
        uchar request[20];
        KeyboardCommandBuilder::ShortRequest(request, d->reportId, 0x05, 0x01);
        // A code request of the manager may run beside this one: each exchange keeps the
        // record's lock from its write to its reply, so neither reads the other's reply.
        std::lock_guard<std::recursive_mutex> exchange(d->io);
        if (RecordWrite(d, request, 20) < 1)
            return;
        for (int i = 0; i < 30; ++i) {
            if (fromListener && !m_ListenFlag)
                return; // a command is waiting for the device
            uchar reply[20] = {};
            const int n = ReadReport(d, reply, readLength, 20);
            if (n < 0)
                return;
            if (n > 0 && reply[1] == 0x05) {
                const QString code = HexDump(reply + 5, 6).remove(QLatin1Char(' '));
                d->SetCodeText(code.size() <= 10 ? QString() : code);
                break;
            }
        }
        if (!d->CodeText().isEmpty())
            return;
    }
}

QString ZR_2_0_KeyboradThread::ReadDeviceCode()
{
    DeviceRecord *d = m_Device;
    if (!d)
        return QString();
    const QString known = d->CodeText();
    if (!known.isEmpty())
        return known;
    StopListening();
    QString code;
    if (d->featureLength > 500) {
        bool ok = false;
        uchar *reply = FeatureRead(0x82, 0, &ok);
        if (ok)
            code = HexDump(reply + 8, 6).remove(QLatin1Char(' '));
        free(reply);
    } else if (d->inputLength == 20 && d->outputLength == 20) {
        QueryDeviceCode();
        code = d->CodeText();
    }
    StartListening();
    return code;
}

bool ZR_2_0_KeyboradThread::CheckOnline()
{
    return RequestGrabCode().size() > 10;
}

ProductRecord ZR_2_0_KeyboradThread::FindProductRecord(const QString &code)
{
    // The catalogue's own lookup reads the file afresh: the cached list belongs to the GUI
    // thread, which empties it at quit.
    return ::FindProductRecord(code);
}

// ---- table reads ----------------------------------------------------------------------------

// A wired read: the request in a buffer of at least the feature length, the reply in the same
// buffer. A table reply is built like the request (its command in byte 1), so one that carries
// another command is no reply; the code reply is taken as it comes.
uchar *ZR_2_0_KeyboradThread::FeatureRead(uchar command, uint16_t length, bool *ok)
{
    DeviceRecord *d = m_Device;
    *ok = false;
    const int size = std::max<int>(520, d ? d->featureLength : 0);
    auto *buffer = static_cast<uchar *>(calloc(static_cast<size_t>(size), 1));
    if (!d)
        return buffer;
    KeyboardCommandBuilder::FeatureReadRequest(buffer, command, length);
    const int sendLength = d->featureLength > 0 ? d->featureLength : 520;
    if (!SetFeatureReport(d, buffer, sendLength))
        return buffer;
    SleepMs(command == 0x82 ? 10 : 20);
    std::memset(buffer, 0, static_cast<size_t>(size));
    if (!GetFeatureReport(d, buffer, sendLength))
        return buffer;
    if (command != 0x82 && buffer[1] != command) {
        WriteLogLine(QString::asprintf("reply 0x%02x to the read 0x%02x ignored", buffer[1], command));
        return buffer;
    }
    *ok = true;
    return buffer;
}

QSettings *ZR_2_0_KeyboradThread::OpenDataIni() const
{
    // The device's own product first, so that the store and the worker use the same file.
    QKeyBoradMApMange *store = GetDeviceKeyMap(m_Device);
    const QString folder = store ? store->ProductName() : QString();
    if (IsSafeFileComponent(folder))
        return OpenIniFile(QStringLiteral("%1/Products/%2/%2_data.ini").arg(AppDirPath(), folder));
    if (MainWidget *main = MainWidget::instance())
        return main->OpenProductDataIni();
    return nullptr;
}

uint8_t *ZR_2_0_KeyboradThread::LoadColorMapFromIni(const QString &key, int *count)
{
    if (count)
        *count = 0;
    QSettings *ini = OpenDataIni();
    if (!ini)
        return nullptr;
    // An unquoted list reads as a string list, a quoted one as one text: both are the same list.
    const QString text = ini->value(key).toStringList().join(QLatin1Char(','));
    delete ini;
    if (text.trimmed().isEmpty())
        return nullptr;
    const QStringList items = text.split(QLatin1Char(','));
    if (count)
        *count = std::min(items.size(), 520);
    return ParseByteList520(items);
}

int ZR_2_0_KeyboradThread::ReadConfigBlock()
{
    DeviceRecord *d = m_Device;
    QKeyBoradMApMange *store = KeyMap();
    if (!d || !store)
        return 1;
    const uint8_t state = d->connectionState;
    if (state == StateWired) {
        bool ok = false;
        uchar *reply = FeatureRead(0x84, 128, &ok);
        if (!ok) {
            free(reply);
            return -1; // the old block stays
        }
        store->SetKeyBlock(reply, 520, true);
        return 0;
    }
    if (state != StateWirelessAwake)
        return 1;
    uchar request[20];
    KeyboardCommandBuilder::ShortRequest(request, d->reportId, 0x44, 0x01);
    SleepMs(200);
    QByteArray data;
    int status = 0;
    GrabData(data, status, 10, request, 4, 5);
    QList<uchar> bytes;
    for (char c : data)
        bytes.append(static_cast<uchar>(c));
    if (status == 0 && EndsWithTrailer(bytes, 128)) {
        store->SetKeyBlock(KeyboardCommandBuilder::ReceiverImage(0x84, data), 520, true);
        return 0;
    }
    LogDone("读取设备配置表信息异常 已加载本地参数", d->Name());
    int count = 0;
    if (uint8_t *image = LoadColorMapFromIni(QStringLiteral("KeyboradConfig/Config"), &count))
        store->SetKeyBlock(image, count, true);
    else
        WriteLogLine(QStringLiteral("no local configuration block: the last one stays"));
    return 1;
}

int ZR_2_0_KeyboradThread::ReadBaseColorMap()
{
    DeviceRecord *d = m_Device;
    QKeyBoradMApMange *store = KeyMap();
    if (!d || !store)
        return 1;
    const QString key = QStringLiteral("BaseColorMap/coloMap");
    auto fromIni = [&]() {
        int count = 0;
        if (uint8_t *image = LoadColorMapFromIni(key, &count))
            store->SetBaseColorMap(image, count, true);
        else
            WriteLogLine(QStringLiteral("no local colour map: the last one stays"));
    };
    const uint8_t state = d->connectionState;
    if (state == StateWired) {
        bool ok = false;
        uchar *reply = FeatureRead(0x8A, 512, &ok);
        if (ok) {
            KeyboardCommandBuilder::SetBaseTrailer(reply);
            store->SetBaseColorMap(reply, 520, true);
        } else {
            free(reply);
            fromIni();
        }
        return 0;
    }
    if (state != StateWirelessAwake)
        return 1;
    if (IsSpecialReceiver()) {
        WriteLogLine(QStringLiteral("--------特殊接收器 颜色表取本地--------"));
        fromIni();
        return 0;
    }
    uchar request[20];
    KeyboardCommandBuilder::ShortRequest(request, d->reportId, 0x49, 0x01);
    QByteArray data;
    int status = 0;
    GrabData(data, status, 35, request, 4, 5);
    if (status == 0 && data.size() == 490) {
        uint8_t *image = KeyboardCommandBuilder::ReceiverImage(0x8A, data);
        KeyboardCommandBuilder::SetBaseTrailer(image);
        store->SetBaseColorMap(image, 520, true);
        return 0;
    }
    LogDone("读取设备颜色表信息异常 已加载本地参数", d->Name());
    fromIni();
    return 1;
}

int ZR_2_0_KeyboradThread::ReadDiyColorMap()
{
    DeviceRecord *d = m_Device;
    QKeyBoradMApMange *store = KeyMap();
    if (!d || !store)
        return 1;
    auto fromIni = [&]() {
        int count = 0;
        if (uint8_t *image = LoadColorMapFromIni(QStringLiteral("DiyColorMap/coloMap"), &count))
            store->SetDiyColorMap(image, count, true);
        else
            WriteLogLine(QStringLiteral("no local self-defined colour map: the last one stays"));
    };
    const uint8_t state = d->connectionState;
    if (state == StateWired) {
        bool ok = false;
        uchar *reply = FeatureRead(0x86, 384, &ok);
        if (ok) {
            store->SetDiyColorMap(reply, 520, true);
        } else {
            free(reply);
            fromIni();
        }
        return 0;
    }
    if (state != StateWirelessAwake)
        return 1;
    if (IsSpecialReceiver()) {
        fromIni();
        return 0;
    }
    uchar request[20];
    KeyboardCommandBuilder::ShortRequest(request, d->reportId, 0x42, 0x01);
    DelayMs(Ms(100));
    QByteArray data;
    int status = 0;
    GrabData(data, status, 27, request, 4, 5);
    if (status == 0 && data.size() == 378) {
        store->SetDiyColorMap(KeyboardCommandBuilder::ReceiverImage(0x86, data), 520, true);
        return 0;
    }
    LogDone("读取设备自定义颜色表信息异常 已加载本地参数", d->Name());
    fromIni();
    return 1;
}

int ZR_2_0_KeyboradThread::ReadDeviceTables()
{
    DeviceRecord *d = m_Device;
    QKeyBoradMApMange *store = KeyMap();
    if (!d || !store)
        return 3;
    int failures = 0;
    const int block = ReadConfigBlock();
    if (block != 0) {
        ++failures;
    } else {
        uint8_t *copy = store->KeyBlockCopy(520);
        const uint8_t state = d->connectionState;
        if (copy[32] == 20 && state != StateWirelessAwake && state != StateWirelessAsleep) {
            QSettings *ini = OpenDataIni();
            const int sleep = ini ? ini->value(QStringLiteral("user/KeybordAudioSleep"), 0).toInt() : 0;
            delete ini;
            if (sleep >= 0 && sleep <= 0xFF) {
                copy[32] = static_cast<uint8_t>(sleep);
                store->SetKeyBlock(copy, 520, false);
                WriteConfigBlock();
            } else {
                WriteLogLine(QStringLiteral("user/KeybordAudioSleep %1 out of range: not written").arg(sleep));
            }
        }
        free(copy);
        LogDone("读取设备配置表信息成功", d->Name());
    }
    SleepMs(50);
    if (ReadBaseColorMap() != 0)
        ++failures;
    else
        LogDone("读取设备颜色表成功", d->Name());
    SleepMs(50);
    if (ReadDiyColorMap() != 0)
        ++failures;
    else
        LogDone("读取设备自定义颜色表成功 ", d->Name());
    if (failures >= 2)
        PostMessgBox(883);
    // The layout file carries the product folder's name.
    store->LoadKeyMap(store->ProductName().isEmpty() ? d->Name() : store->ProductName());
    return failures;
}

void ZR_2_0_KeyboradThread::SynchronizingDeviceData()
{
    StopListening();
    ReadDeviceTables();
    if (MainWidget *main = MainWidget::instance())
        main->EndSyncWait();
    StartListening();
    QSettings *ini = OpenSysBuildIni();
    if (!ini) {
        SetReplyTimeout(kDefaultReplyTimeoutMs);
        SetRetransmissions(kDefaultRetransmissions);
        return;
    }
    // a missing key keeps the working defaults (the setters take 0 or less as "default")
    SetReplyTimeout(ini->value(QStringLiteral("HidParam/GrabTime"), 0).toInt());
    SetRetransmissions(ini->value(QStringLiteral("HidParam/GrabCount"), 0).toInt());
    delete ini;
}

// ---- writes ---------------------------------------------------------------------------------

void ZR_2_0_KeyboradThread::SetWriteResult(bool ok)
{
    m_LastWrite = ok;
    if (MainWidget *main = MainWidget::instance())
        main->SetDeviceWriteResult(ok);
}

bool ZR_2_0_KeyboradThread::WriteResult() const
{
    if (MainWidget *main = MainWidget::instance())
        return main->DeviceWriteResult();
    return m_LastWrite;
}

// Wired: the whole image as one feature report; through the receiver: its data part as echoed
// packets; asleep or offline: nothing, which is a failed write.
bool ZR_2_0_KeyboradThread::SendImage(uchar *image, uchar featureCommand, uchar packetCommand, int total)
{
    DeviceRecord *d = m_Device;
    if (!d || !image)
        return false;
    const uint8_t state = d->connectionState;
    if (state == StateWired) {
        image[0] = d->reportId;
        image[1] = featureCommand;
        return SetFeatureReport(d, image, 520);
    }
    if (state == StateWirelessAwake) {
        if (packetCommand == 9)
            KeyboardCommandBuilder::SetUploadTrailer(image);
        return SendConfigPackets(image, total, packetCommand, 8, 20);
    }
    return false;
}

// A lighting value the block cannot hold: nothing is sent and the failure is in the write result
// the page reads; the log tells why (the language tables have no text for it).
void ZR_2_0_KeyboradThread::LightingParameterError(const QString &what)
{
    WriteLogLine(QStringLiteral("lighting request refused: ") + what);
    SetWriteResult(false);
}

void ZR_2_0_KeyboradThread::ChangeLightModel()
{
    QSettings *ini = OpenDataIni();
    if (!ini)
        return;
    const int model = ini->value(QStringLiteral("ChangeLight/Model"), 0).toInt();
    delete ini;
    StopListening();
    if (KeyboardCommandBuilder::IsLightingModel(model))
        WriteLightModel(model);
    else {
        LightingParameterError(QStringLiteral("model %1").arg(model));
        Q_EMIT ChangeResetLightModelSucceed();
    }
    StartListening();
    Q_EMIT HideBusy();
}

void ZR_2_0_KeyboradThread::ChangeLightColor()
{
    QSettings *ini = OpenDataIni();
    if (!ini)
        return;
    const int model = ini->value(QStringLiteral("ChangeLight/Model"), 0).toInt();
    const QString colour = ini->value(QStringLiteral("ChangeLight/Color")).toString();
    delete ini;
    StopListening();
    int r = 0, g = 0, b = 0;
    if (!KeyboardCommandBuilder::IsLightingModel(model) || !KeyboardCommandBuilder::ParseColour(colour, &r, &g, &b)) {
        LightingParameterError(QStringLiteral("model %1 colour \"%2\"").arg(model).arg(colour));
        Q_EMIT ChangeLightColorSucceed();
    } else {
        WriteLightColor(model, r, g, b);
    }
    StartListening();
    Q_EMIT HideBusy();
}

void ZR_2_0_KeyboradThread::ChangeLightMColor()
{
    QSettings *ini = OpenDataIni();
    if (!ini)
        return;
    const int model = ini->value(QStringLiteral("ChangeLight/Model"), 0).toInt();
    const bool multi = ini->value(QStringLiteral("ChangeLight/MColor"), 0).toInt() != 0;
    delete ini;
    StopListening();
    if (KeyboardCommandBuilder::IsLightingModel(model))
        WriteLightMColor(model, multi);
    else {
        LightingParameterError(QStringLiteral("model %1").arg(model));
        Q_EMIT ChangeMoreColorSucceed();
    }
    StartListening();
    Q_EMIT HideBusy();
}

void ZR_2_0_KeyboradThread::ChangeLightSpeedLuminance()
{
    QSettings *ini = OpenDataIni();
    if (!ini)
        return;
    const int model = ini->value(QStringLiteral("ChangeLight/Model"), 0).toInt();
    const int speed = ini->value(QStringLiteral("ChangeLight/Speed"), 0).toInt();
    const int luminance = ini->value(QStringLiteral("ChangeLight/Luminance"), 0).toInt();
    delete ini;
    StopListening();
    // the speed is one decimal digit of the block (the store reads it back that way)
    if (!KeyboardCommandBuilder::IsLightingModel(model) || speed < 0 || speed > 9 || luminance < 0 || luminance > 0xFF) {
        LightingParameterError(QStringLiteral("model %1 speed %2 luminance %3").arg(model).arg(speed).arg(luminance));
        Q_EMIT CHangeLightSleep_LuminaSucceed();
    } else {
        WriteLightSpeedLuminance(model, speed, luminance);
    }
    StartListening();
    Q_EMIT HideBusy();
}

void ZR_2_0_KeyboradThread::WriteLightModel(int model)
{
    QKeyBoradMApMange *store = m_Device ? KeyMap() : nullptr;
    uchar *image = store ? (SleepMs(50), store->BuildKeyPacket(model, -1, -1)) : nullptr;
    if (!image) {
        SetWriteResult(false); // nothing sent is never a success
        Q_EMIT ChangeResetLightModelSucceed();
        return;
    }
    Q_EMIT ShowBusy();
    SetWriteResult(SendImage(image, 0x04, 4, 136));
    Q_EMIT ChangeResetLightModelSucceed(); // the page reads the flag: it learns of a failure too
    SleepMs(20);
    free(image);
}

void ZR_2_0_KeyboradThread::WriteLightSpeedLuminance(int model, int speed, int luminance)
{
    QKeyBoradMApMange *store = m_Device ? KeyMap() : nullptr;
    uchar *image = store ? store->BuildKeyPacket(model, speed, luminance) : nullptr;
    SetWriteResult(image && SendImage(image, 0x04, 4, 136));
    Q_EMIT CHangeLightSleep_LuminaSucceed();
    SleepMs(20);
    free(image);
}

void ZR_2_0_KeyboradThread::WriteLightColor(int model, int r, int g, int b)
{
    QKeyBoradMApMange *store = m_Device ? KeyMap() : nullptr;
    uchar *image = store ? store->BuildKeyPacketFor(model, false) : nullptr;
    bool ok = image && SendImage(image, 0x04, 4, 136);
    SetWriteResult(ok);
    if (ok) {
        const bool wired = m_Device->connectionState == StateWired;
        if (wired)
            SleepMs(100);
        else
            DelayMs(Ms(500));
        free(image);
        image = store->SetKeyColor(model, r, g, b);
        if (image) {
            ok = SendImage(image, 0x0A, 9, 520);
            SetWriteResult(ok);
            if (!wired)
                SleepMs(300);
        }
    }
    free(image);
    ConnectLightingPage();
    Q_EMIT ChangeLightColorSucceed(); // also after a failed colour map: the flag tells the page
}

void ZR_2_0_KeyboradThread::WriteLightMColor(int model, bool multiColour)
{
    QKeyBoradMApMange *store = m_Device ? KeyMap() : nullptr;
    uchar *image = store ? store->BuildKeyPacketFor(model, multiColour) : nullptr;
    bool ok = image && SendImage(image, 0x04, 4, 136);
    SetWriteResult(ok);
    const bool wired = m_Device && m_Device->connectionState == StateWired;
    SleepMs(wired ? 50 : 500);
    free(image);
    image = nullptr;
    if (ok) {
        image = store->SetKeyColor(model, -1, -1, -1);
        if (image)
            SetWriteResult(SendImage(image, 0x0A, 9, 520));
    }
    free(image);
    Q_EMIT ChangeMoreColorSucceed();
}

void ZR_2_0_KeyboradThread::ConnectLightingPage()
{
    // The lighting page takes these signals through the manager's relays; the direct connection
    // is made once per worker when such a page is registered.
    m_LightingPageConnected = true;
}

void ZR_2_0_KeyboradThread::WriteConfigBlock()
{
    StopListening();
    DeviceRecord *d = m_Device;
    QKeyBoradMApMange *store = d ? KeyMap() : nullptr;
    if (store) {
        uchar *image = store->KeyBlockCopy(520);
        const bool wired = d->connectionState == StateWired;
        const bool ok = SendImage(image, 0x04, 4, 136);
        if (!ok && wired)
            Q_EMIT ErrorPop(false, 2); // "Send Err"; the receiver path reports its own code
        SleepMs(500);
        free(image);
    }
    StartListening();
    Q_EMIT HideBusy();
}

void ZR_2_0_KeyboradThread::RestartListening()
{
    StopListening();
    StartListening();
    Q_EMIT HideBusy();
}

void ZR_2_0_KeyboradThread::WriteDiyColorMap()
{
    StopListening();
    DeviceRecord *d = m_Device;
    QKeyBoradMApMange *store = d ? KeyMap() : nullptr;
    uchar *image = store ? store->DiyColorMapCopy(520) : nullptr;
    const bool wired = d && d->connectionState == StateWired;
    SetWriteResult(image && SendImage(image, 0x06, 2, 392));
    if (wired && image)
        SleepMs(200);
    free(image);
    if (MainWidget *main = MainWidget::instance())
        main->ClearSyncFlag2();
    StartListening();
    Q_EMIT HideBusy();
}

// What keeps the key file from reaching the keyboard before anything is sent: the text that
// says so (a macro named), or 0 and an empty name when it can go.
uint ZR_2_0_KeyboradThread::KeyFileRefusal(QString *macro)
{
    QVector<QStringList> order;
    KeyProfileLayers layers = QConfigBuildManage_Pro().ReadKeyConfig(m_KeyFile, &order);
    uint text = m_ChangedLayer < 0 || m_ChangedLayer >= layers.size() ? 396 : 0;
    QStringList macros;
    for (int l = 0; l < order.size(); ++l)
        for (const QString &key : order.at(l)) {
            const _KeyValueInfo *info = layers.at(l)->value(key);
            if (info->type == 3 && !macros.contains(info->LeftValue))
                macros.append(info->LeftValue);
        }
    FreeKeyProfileLayers(layers);
    for (const QString &name : qAsConst(macros))
        if (!text && QJsonConfing::ReadMacroEvents(MacroFile(name)).isEmpty()) {
            *macro = name;
            text = 771;
        }
    if (!text && !macros.isEmpty()) {
        // The block must fit the device's pieces: eight of 512 bytes wired, sixteen by the receiver.
        bool tooLarge = false;
        const int data = MacroFileToPackets(macros, &tooLarge).size() - 8;
        const bool wired = m_Device && m_Device->connectionState == StateWired;
        if (tooLarge || (wired ? data / 512 > 8 : (data + 511) / 512 > 16))
            text = 131;
    }
    return text;
}

void ZR_2_0_KeyboradThread::WriteKeys()
{
    m_OperationResult = 1;
    StopListening();
    QString macro;
    uint text = KeyFileRefusal(&macro);
    const bool ok = !text && WriteKeyTable(true);
    // A transfer that failed says why: no answer at all, or a wireless link that lost packets
    // while the keyboard still answers.
    DeviceRecord *d = m_Device;
    if (!ok && !text)
        text = d && d->connectionState == StateWirelessAwake && CheckOnline() ? 773 : 772;
    m_OperationResult = ok ? 1 : 0;
    SetWriteResult(ok); // the manager's success code follows this write, not an earlier one
    Q_EMIT ChangeResetKeyvalueRetul(ok);
    Q_EMIT HideBusy();
    StartListening();
    if (!ok)
        QMetaObject::invokeMethod(this, [this, text, macro] {
            Q_EMIT MessgBox(macro.isEmpty() ? GetLangText(text) : GetLangText(text).arg(macro));
        });
}

void ZR_2_0_KeyboradThread::RecoverConfig()
{
    DeviceRecord *d = m_Device;
    if (!d)
        return;
    const uint8_t state = d->connectionState;
    const bool wired = state == StateWired;
    if (state == StateWirelessAwake || state == StateWirelessAsleep) {
        uchar report[20];
        KeyboardCommandBuilder::ShortRequest(report, d->reportId, 0x06, 0x01);
        RecordWrite(d, report, 20);
        m_TaskCode = 0;
    }
    QSettings *ini = OpenDataIni();
    if (!ini)
        return;
    QKeyBoradMApMange *store = KeyMap();
    SleepMs(100);
    // A missing factory list keeps the saved map and sends nothing: an all-zero map is no default.
    auto restore = [&](const char *from, const char *to, uchar command, bool diy) {
        const QString text = ini->value(QLatin1String(from)).toStringList().join(QLatin1Char(','));
        if (text.trimmed().isEmpty()) {
            WriteLogLine(QStringLiteral("%1 missing: %2 kept").arg(QLatin1String(from), QLatin1String(to)));
            return;
        }
        ini->setValue(QLatin1String(to), text);
        CheckedSave::SyncSettings(*ini);
        if (!wired || !store)
            return;
        const QStringList items = text.split(QLatin1Char(','));
        uchar *image = ParseByteList520(items);
        const int count = std::min(items.size(), 520);
        if (diy)
            store->SetDiyColorMap(image, count, false);
        else
            store->SetBaseColorMap(image, count, false);
        if (!SendImage(image, command, 0, 0))
            Q_EMIT ErrorPop(false, 2);
        free(image);
    };
    restore("default/BaseColorMap", "BaseColorMap/coloMap", 0x0A, false);
    SleepMs(100);
    restore("default/DiyColorMap", "DiyColorMap/coloMap", 0x06, true);
    const QString config = ini->value(QStringLiteral("KeyboradConfig/Config")).toStringList().join(QLatin1Char(','));
    delete ini;
    if (!wired)
        return;
    SleepMs(100);
    for (int layer = 0; layer < 3; ++layer) {
        m_ChangedLayer = layer;
        WriteKeys();
        DelayMs(Ms(100));
    }
    SleepMs(100);
    if (!store || config.trimmed().isEmpty()) {
        WriteLogLine(QStringLiteral("KeyboradConfig/Config missing: configuration block kept"));
        return;
    }
    const QStringList items = config.split(QLatin1Char(','));
    uchar *image = ParseByteList520(items);
    store->SetKeyBlock(image, std::min(items.size(), 520), false);
    if (!SendImage(image, 0x04, 0, 0))
        Q_EMIT ErrorPop(false, 2);
    free(image);
}

void ZR_2_0_KeyboradThread::QueueCommand(uchar *buffer, int length, int type)
{
    // Nothing reads the entries; the buffer (the audio spectrum, doubles) is freed on arrival.
    CommandEntry entry;
    entry.length = length;
    entry.type = type;
    if (m_Commands.size() < 1024)
        m_Commands.append(entry);
    delete[] reinterpret_cast<double *>(buffer);
}

void ZR_2_0_KeyboradThread::CommandMarker(uchar *marker)
{
    if (!marker)
        return;
    const uint16_t value = 0xDEED;
    std::memcpy(marker, &value, sizeof value);
}
