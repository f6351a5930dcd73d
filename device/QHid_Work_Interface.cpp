#include "device/QHid_Work_Interface.h"
#include "app/AppDirPath.h"
#include "app/DelayMs.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "app/QXM_Process.h"
#include "device/ByteTools.h"
#include "device/DeviceRecord.h"
#include "keyboard/QConfigBuildManage_Pro.h"
#include "keyboard/Zr_KeyBord_Key_Info_toXml.h"
#include "device/QKeyBoradMApMange.h"
#include "macros/QJsonConfing.h"
#include "platform/HidPlatform.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {
const int kFeatureStage = 2050;

uint8_t SumRange(const uchar *b, int from, int to) // bytes from .. to-1
{
    unsigned s = 0;
    for (int i = from; i < to; ++i)
        s += b[i];
    return static_cast<uint8_t>(s);
}

// A code that tells the device answered: at least 10 characters and not all zeros.
bool IsAnswer(const QString &code)
{
    if (code.size() < 10)
        return false;
    for (QChar c : code)
        if (c != QLatin1Char('0'))
            return true;
    return false;
}
} // namespace

int QHid_Work_Interface::Ms(int ms)
{
    return platform::HidScaledMs(ms);
}

QHid_Work_Interface::QHid_Work_Interface(QObject *parent) : QThread(parent)
{
    if (MainWidget *main = MainWidget::instance()) {
        connect(this, &QHid_Work_Interface::MessgBox, main, &MainWidget::on_CloroMessgBox);
        connect(this, &QHid_Work_Interface::ErrorPop, main, &MainWidget::on_ErrorMessgeBox);
        connect(this, &QHid_Work_Interface::ShowBusy, main, QOverload<>::of(&MainWidget::on_Show_busy_Status));
        connect(this, &QHid_Work_Interface::HideBusy, main, &MainWidget::on_Hide_busy_Status);
        connect(this, &QHid_Work_Interface::DomPopMessge, main, &MainWidget::on_PopBottomWindow);
    }
}

QHid_Work_Interface::~QHid_Work_Interface() = default;

// This object lives on the GUI thread: from the worker's thread the call is queued there.
void QHid_Work_Interface::PostMessgBox(uint textId)
{
    QMetaObject::invokeMethod(this, [this, textId] { Q_EMIT MessgBox(GetLangText(textId)); });
}

void QHid_Work_Interface::PostDomPopMessge(uint titleId, uint messageId)
{
    QMetaObject::invokeMethod(this, [this, titleId, messageId] {
        Q_EMIT DomPopMessge(GetLangText(titleId), GetLangText(messageId));
    });
}

void QHid_Work_Interface::PostDeviceName(DeviceRecord *record, const QString &name)
{
    if (!record)
        return;
    if (QThread::currentThread() == thread()) {
        record->SetName(name);
        return;
    }
    // Dropped with the worker; a record the worker no longer holds may be closed by then.
    QMetaObject::invokeMethod(this, [this, record, name] {
        if (record == m_Device || record == m_CommandDevice)
            record->SetName(name);
    });
}

void QHid_Work_Interface::SetReplyTimeout(int ms)
{
    m_ReplyTimeout = ms > 0 ? ms : kDefaultReplyTimeoutMs;
}

void QHid_Work_Interface::SetRetransmissions(int count)
{
    m_Retransmissions = count > 0 ? count : kDefaultRetransmissions;
}

// ---- base operations: do nothing ------------------------------------------------------------

void QHid_Work_Interface::SetOptionFlag(uchar) {}
void QHid_Work_Interface::ReadStatusOnce(uchar) {}
QString QHid_Work_Interface::ReadDeviceCode() { return QString(); }
bool QHid_Work_Interface::CheckOnline() { return false; }
void QHid_Work_Interface::WriteKeys() {}
void QHid_Work_Interface::WriteDpiTable() {}
void QHid_Work_Interface::WriteConfigBlock() {}
void QHid_Work_Interface::RestartListening() {}
void QHid_Work_Interface::WriteDiyColorMap() {}
void QHid_Work_Interface::RecoverConfig() {}
void QHid_Work_Interface::ApplyDefaults() {}
void QHid_Work_Interface::SynchronizingDeviceData() {}
void QHid_Work_Interface::ChangeLightModel() {}
void QHid_Work_Interface::ChangeLightMColor() {}
void QHid_Work_Interface::ChangeLightColor() {}
void QHid_Work_Interface::ChangeLightSpeedLuminance() {}
void QHid_Work_Interface::QueueCommand(uchar *buffer, int, int) { delete[] buffer; }
void QHid_Work_Interface::CommandMarker(uchar *) {}
void QHid_Work_Interface::SetParam(uchar, uint, uint, uint, uint, uint, uint) {}
void QHid_Work_Interface::StartListening() {}
void QHid_Work_Interface::StopListening() {}

// ---- short reports, notices, the code request, the listener ------------------------------

void QHid_Work_Interface::SetDevice(DeviceRecord *device)
{
    // A running listener reads the pointer: the same record is not written again under it.
    if (m_Device != device)
        m_Device = device;
}

void QHid_Work_Interface::SetDevices(DeviceRecord *command, DeviceRecord *listening)
{
    const bool running = isRunning() && QThread::currentThread() != this;
    const bool restart = running && m_ListenFlag;
    if (running) {
        StopListening();
        wait();
    }
    if (command)
        m_CommandDevice = command;
    if (listening)
        SetDevice(listening);
    if (restart)
        StartListening();
}

void QHid_Work_Interface::MarkAsleep()
{
    if (m_Device)
        m_Device->connectionState = StateWirelessAsleep;
    Q_EMIT Device_Put_Chenge(m_DeviceId, false);
}

int QHid_Work_Interface::ReadReport(DeviceRecord *device, uchar *buffer, int length, int timeoutMs)
{
    if (!device || !buffer || length < 1)
        return -1;
    int status = 0;
    int sleepWake = 0;
    QElapsedTimer cap; // the notice loop never outlasts the reply time-out
    cap.start();
    int n = hid_read_timeout_status(device, buffer, length, Ms(timeoutMs), &status);
    while (n >= 2 && buffer[1] == 0x0A) {
        if (status != 0)
            sleepWake = status;
        else if (n >= 7)
            WriteLogLine(QStringLiteral("status notice during a command: ") + HexDump(buffer, std::min(n, 20)));
        std::memset(buffer, 0, static_cast<size_t>(length));
        if (cap.elapsed() > Ms(m_ReplyTimeout)) {
            n = 0;
            break;
        }
        n = hid_read_timeout_status(device, buffer, length, Ms(timeoutMs), &status);
    }
    if (sleepWake > 0) {
        device->connectionState = StateWirelessAwake;
        Q_EMIT Device_Put_Chenge(m_DeviceId, true);
    } else if (sleepWake < 0) {
        device->connectionState = StateWirelessAsleep;
        Q_EMIT Device_Put_Chenge(m_DeviceId, false);
    }
    return n;
}

int QHid_Work_Interface::ReadReportWithStatus(DeviceRecord *device, uchar *buffer, int length, int timeoutMs)
{
    if (!device)
        return -1;
    int status = 0;
    const int n = hid_read_timeout_status(device, buffer, length, Ms(timeoutMs), &status);
    if (n >= 2 && status > 0) {
        device->connectionState = StateWirelessAwake;
        Q_EMIT Device_Put_Chenge(m_DeviceId, true);
    } else if (n >= 2 && status < 0) {
        device->connectionState = StateWirelessAsleep;
        Q_EMIT Device_Put_Chenge(m_DeviceId, false);
    }
    return n;
}

QString QHid_Work_Interface::RequestGrabCode()
{
    DeviceRecord *d = m_Device;
    if (!d)
        return QString();
    const uint8_t state = d->connectionState;
    if (state == StateNone || state == StateWired) {
        const QString code = d->CodeText();
        return code.isEmpty() ? QStringLiteral("Z r ProDuct Online") : code;
    }
    uchar request[20] = {};
    request[0] = d->reportId;
    request[1] = 0x05;
    request[2] = 0x01;
    request[19] = ByteSum19(request);
    // The listener may still be running beside this request (the manager asks it before a key
    // write): holding the record's lock from the write to the last read waits for the
    // listener's current read and keeps it from taking the reply.
    std::unique_lock<std::recursive_mutex> exchange(d->io);
    if (RecordWrite(d, request, 20) < 1)
        return QString();
    WriteLogLine(QStringLiteral("发送请求命令: ") + HexDump(request, 20));
    const int readLength = std::min<int>(20, d->outputLength > 0 ? d->outputLength : 20);
    for (int attempt = 1; attempt <= 10; ++attempt) {
        uchar reply[20] = {};
        const int n = ReadReport(d, reply, readLength, 200);
        if (n > 0 && reply[1] == 0x05) {
            const QString code = HexDump(reply + 5, 6).remove(QLatin1Char(' '));
            WriteLogLine(QStringLiteral("截取密码成功 :") + code);
            exchange.unlock();
            msleep(static_cast<unsigned long>(Ms(100)));
            return code;
        }
        WriteLogLine(QString::asprintf("截取密码失败第%d次 :", attempt));
        if (n < 0)
            break; // the device is gone: every further read fails at once
    }
    return QString();
}

bool QHid_Work_Interface::CheckAwake()
{
    const QString code = RequestGrabCode();
    if (!IsAnswer(code)) {
        PostMessgBox(970);
        Q_EMIT HideBusy();
        Q_EMIT ChangeResetKeyvalueRetul(false);
        MarkAsleep();
        return false;
    }
    return true;
}

void QHid_Work_Interface::GrabCodeTask(int &result)
{
    DeviceRecord *d = m_Device;
    result = 0;
    if (!d) {
        Q_EMIT HideBusy();
        return;
    }
    if (d->connectionState == StateWired) {
        result = 1;
        return;
    }
    if (d->deviceType == 1 && d->subType == 2 && d->featureLength >= 501) {
        uchar report[520] = {};
        report[1] = 0x09;
        report[2] = 0x07;
        report[4] = 1;
        report[6] = 1;
        const int len = std::min<int>(d->featureLength, 520);
        SetFeatureReport(d, report, len);
        msleep(static_cast<unsigned long>(Ms(10)));
        GetFeatureReport(d, report, len);
        result = report[8];
        if (result == 0)
            Q_EMIT HideBusy();
        return;
    }
    if (d->deviceType == 2 && d->outputLength >= 20) {
        uchar request[20] = {};
        request[0] = d->reportId;
        request[1] = 0x05;
        request[2] = 0x01;
        request[19] = ByteSum19(request);
        std::lock_guard<std::recursive_mutex> exchange(d->io); // the reply is this request's alone
        if (RecordWrite(d, request, 20) < 1)
            return;
        for (int i = 0; i < 200; ++i) {
            uchar reply[20] = {};
            const int n = ReadReport(d, reply, 20, 20);
            if (n > 0 && reply[1] == 0x05) {
                d->SetCodeText(HexDump(reply + 5, 6).remove(QLatin1Char(' ')));
                result = 1;
                return;
            }
            if (n < 0)
                break;
        }
        Q_EMIT HideBusy();
        return;
    }
    Q_EMIT HideBusy();
}

void QHid_Work_Interface::ReadDeviceId(QString &idText)
{
    DeviceRecord *d = m_Device;
    if (!d)
        return;
    uchar report[520] = {};
    if (d->deviceType == 2) {
        report[1] = 0x82;
        report[2] = 0x01;
        report[4] = 1;
        report[6] = 6;
    } else if (d->deviceType == 1 && d->subType == 2) {
        report[1] = 0x0D;
        report[2] = 0x05;
        report[3] = 0x01;
        report[4] = 0x01;
        report[6] = 6;
    } else if (d->deviceType == 1 && d->subType == 4) {
        idText = QStringLiteral("000000000000");
        return;
    } else {
        return;
    }
    SetFeatureReport(d, report, 520);
    msleep(static_cast<unsigned long>(Ms(10)));
    GetFeatureReport(d, report, 520);
    idText = QString::asprintf("%02X%02X%02X%02X%02X%02X", report[8], report[9], report[10], report[11], report[12],
                               report[13]);
}

bool QHid_Work_Interface::IsSpecialReceiver() const
{
    const DeviceRecord *d = m_Device;
    if (!d)
        return false;
    const uint8_t s = d->connectionState;
    return d->vendorId == 0x3554 && d->productId == 0xFA09 && d->version == 0x0102 && (s == 2 || s == 3);
}

void QHid_Work_Interface::StartTask()
{
    DeviceRecord *d = m_Device;
    const uint8_t state = d ? d->connectionState.load() : 0;
    if ((d && d->deviceType == 1) || state == 2 || state == 3) {
        m_ListenFlag = 1;
        start(QThread::InheritPriority);
    } else {
        m_ListenFlag = 0;
        quit();
    }
}

void QHid_Work_Interface::StopListener()
{
    m_ListenFlag = 0;
}

QKeyBoradMApMange *QHid_Work_Interface::KeyMap()
{
    return GetDeviceKeyMap(m_Device);
}

uchar *QHid_Work_Interface::DiyColorMap()
{
    QKeyBoradMApMange *store = KeyMap();
    return store ? store->DiyColorMapCopy(520) : nullptr;
}

uchar QHid_Work_Interface::ReadBatteryLevel()
{
    DeviceRecord *d = m_Device;
    if (!d || d->deviceType != 1)
        return 100;
    uchar report[520] = {};
    report[2] = 0x09;
    report[3] = 0x01;
    report[4] = 1;
    report[6] = 1;
    report[1] = SumRange(report, 2, 520);
    SetFeatureReport(d, report, 520);
    msleep(static_cast<unsigned long>(Ms(10)));
    GetFeatureReport(d, report, 520);
    return report[8];
}

void QHid_Work_Interface::run()
{
    RunTask(m_TaskCode);
}

void QHid_Work_Interface::RunTask(uint8_t code)
{
    switch (code) {
    case 7: {
        int result = 0;
        GrabCodeTask(result);
        m_GrabResult = result;
        m_TaskCode = 0;
        break;
    }
    case 130: {
        QString id = m_DeviceIdText;
        ReadDeviceId(id);
        m_DeviceIdText = id;
        break;
    }
    case 241: {
        const QString code = RequestGrabCode();
        if (!IsAnswer(code)) {
            PostMessgBox(970);
            Q_EMIT HideBusy();
            Q_EMIT ChangeResetKeyvalueRetul(false);
            MarkAsleep();
        } else {
            msleep(static_cast<unsigned long>(Ms(50)));
            const bool ok = WriteKeyTable();
            m_OperationResult = ok ? 1 : 0;
            Q_EMIT ChangeResetKeyvalueRetul(ok);
            Q_EMIT HideBusy();
            if (!ok)
                PostMessgBox(773);
        }
        m_TaskCode = 0;
        break;
    }
    case 248: {
        const QString code = RequestGrabCode();
        if (IsAnswer(code)) {
            Q_EMIT HideBusy();
            m_ListenFlag = 1;
        } else {
            Q_EMIT HideBusy();
            MarkAsleep();
            DelayMs(10);
            PostMessgBox(970);
        }
        m_TaskCode = 0;
        break;
    }
    case 249:
    case 255:
        if (DeviceRecord *d = m_Device) {
            uchar report[20] = {};
            report[0] = d->reportId;
            report[1] = 0x06;
            report[2] = 0x01;
            report[19] = ByteSum19(report);
            RecordWrite(d, report, 20);
        }
        m_TaskCode = 0;
        break;
    case 250:
        m_CodePresent = RequestGrabCode().size() > 10;
        m_TaskCode = 0;
        break;
    case 224: case 225: case 226: case 227:
        m_TaskCode = 0;
        break;
    default: // 5, 243 to 247 and unknown codes: nothing, the code stays
        break;
    }
}

void QHid_Work_Interface::on_ThreadReset()
{
    DelayMs(1000);
    StartTask();
}

void QHid_Work_Interface::on_MouseConfigInfo()
{
    m_ListenFlag = 0;
    RunTask(224);
    StartTask();
}

void QHid_Work_Interface::on_ResetKeyBoradLightMColor(int, bool)
{
    m_ListenFlag = 0;
    RunTask(245);
    StartTask();
}

void QHid_Work_Interface::on_UpdataMousePram(uchar)
{
    m_ListenFlag = 0;
    RunTask(225);
    StartTask();
}

void QHid_Work_Interface::on_RecoverMouseConfig()
{
    m_ListenFlag = 0;
    RunTask(226);
    StartTask();
}

void QHid_Work_Interface::on_MouseResetKeys()
{
    m_ListenFlag = 0;
    RunTask(227);
    StartTask();
}

QString QHid_Work_Interface::ProductFolder() const
{
    if (m_Device) {
        const QVector<ProductRecord> products = FindProduct(m_Device->vendorId, m_Device->productId, true);
        if (!products.isEmpty() && IsSafeFileComponent(products.first().folder))
            return products.first().folder;
    }
    if (MainWidget *main = MainWidget::instance())
        return main->CurrentProductName();
    return QString();
}

// ---- helpers --------------------------------------------------------------------------------

bool IsAllZero(const uchar *bytes, int n)
{
    if (!bytes || n < 1)
        return true;
    for (int i = 0; i < n; ++i)
        if (bytes[i])
            return false;
    return true;
}

bool EndsWithTrailer(const QList<uchar> &bytes, int length)
{
    return bytes.size() == length && length >= 2 && bytes.at(length - 2) == 0x5A && bytes.at(length - 1) == 0xA5;
}

static bool FeatureCall(DeviceRecord *device, uchar *buffer, int length, bool get)
{
    if (!device || !buffer || length < 1)
        return false;
    const int len = std::min(length, kFeatureStage);
    std::vector<uchar> stage(kFeatureStage, 0);
    std::memcpy(stage.data(), buffer, static_cast<size_t>(len));
    stage[0] = device->reportId;
    const int n = get ? RecordGetFeature(device, stage.data(), len) : RecordSendFeature(device, stage.data(), len);
    if (n < 1)
        return false;
    std::memcpy(buffer, stage.data(), static_cast<size_t>(std::min(n, len)));
    return true;
}

bool GetFeatureReport(DeviceRecord *device, uchar *buffer, int length)
{
    return FeatureCall(device, buffer, length, true);
}

bool SetFeatureReport(DeviceRecord *device, uchar *buffer, int length)
{
    return FeatureCall(device, buffer, length, false);
}

QKeyBoradMApMange *GetDeviceKeyMap(DeviceRecord *device)
{
    if (!device)
        return nullptr;
    static std::mutex creation;
    std::lock_guard<std::mutex> lock(creation);
    if (!device->keyboardStore) {
        QString folder;
        const QVector<ProductRecord> products = FindProduct(device->vendorId, device->productId, true);
        if (!products.isEmpty())
            folder = products.first().folder;
        device->keyboardStore = new QKeyBoradMApMange(folder);
    }
    return device->keyboardStore;
}

QByteArray SliceKeyTable(const uchar *buffer, int total, int index, int slice, int skip)
{
    QByteArray out;
    if (!buffer || slice < 1 || index < 0)
        return out;
    const int from = skip + index * slice;
    if (from >= total)
        return out;
    const int n = std::min(slice, total - from);
    out = QByteArray(reinterpret_cast<const char *>(buffer + from), n);
    return out;
}

QByteArray HexStringToBytes(const QString &text)
{
    QString t = text;
    t.remove(QStringLiteral("0x")).remove(QStringLiteral("0X"));
    if (t.size() > 8)
        return QByteArray(); // more than four bytes: not a key code
    t = t.rightJustified(8, QLatin1Char('0'));
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const uint v = t.mid(i * 2, 2).toUInt(&ok, 16);
        if (!ok)
            return QByteArray();
        out[i] = static_cast<char>(v);
    }
    return out;
}

void BytesToHex(uchar byte, int &high, int &low)
{
    high = byte >> 4;
    low = byte & 0x0F;
}

uchar *HexListToBuffer(const QStringList &items)
{
    auto *out = static_cast<uchar *>(calloc(520, 1));
    for (int i = 0; i < items.size() && i < 520; ++i)
        out[i] = static_cast<uchar>(items.at(i).trimmed().toUInt(nullptr, 16) & 0xFF);
    return out;
}

uchar *KeyTableFromLayout(const QString &layoutPath, int layer)
{
    Zr_KeyBord_Key_Info_toXml parser;
    LayoutKeyGroups groups = parser.ReadKeyArrs(layoutPath);
    if (!groups.contains(layer)) {
        parser.Clear(groups);
        return nullptr;
    }
    auto *table = static_cast<uchar *>(calloc(520, 1));
    for (const LayoutKeyRecord *k : groups.value(layer)) {
        if (k->keypos < 0 || k->keypos > 520 - 4)
            continue;
        const QByteArray code = HexStringToBytes(k->KeyValue);
        if (code.size() != 4)
            continue;
        std::memcpy(table + k->keypos, code.constData(), 4);
    }
    parser.Clear(groups);
    return table;
}

QByteArray BuildMacroBlock(const QList<QByteArray> &macros, bool *tooLarge)
{
    if (tooLarge)
        *tooLarge = false;
    if (macros.isEmpty())
        return QByteArray();
    int dataLength = 0;
    for (const QByteArray &m : macros) {
        if (m.isEmpty())
            return QByteArray();
        dataLength += m.size() + 4;
    }
    if (8 + dataLength > 0xFFFF) {
        if (tooLarge)
            *tooLarge = true;
        return QByteArray(); // would not fit the 16-bit lengths and the 65535-byte work area
    }
    QByteArray block;
    block.reserve(8 + dataLength);
    block.append('\x06').append('\x05').append('\0').append('\0').append('\x01').append('\0');
    block.append(static_cast<char>(dataLength & 0xFF)).append(static_cast<char>((dataLength >> 8) & 0xFF));
    int offset = 4 * macros.size();
    for (const QByteArray &m : macros) {
        block.append(static_cast<char>(offset & 0xFF)).append(static_cast<char>((offset >> 8) & 0xFF));
        block.append(static_cast<char>(m.size() & 0xFF)).append(static_cast<char>((m.size() >> 8) & 0xFF));
        offset += m.size();
    }
    for (const QByteArray &m : macros)
        block.append(m);
    return block;
}

// ---- packet transfers ---------------------------------------------------------------------

bool QHid_Work_Interface::ComparePacket(const uchar *sent, const uchar *received, int length)
{
    const bool equal = std::memcmp(sent, received, static_cast<size_t>(length)) == 0;
    WriteLogLine(HexDump(received, length)
                 + QString::asprintf(equal ? "比对正常 接收 第%d包" : "比对异常 接收 第%d包", length > 3 ? received[3] : 0));
    return equal;
}

int QHid_Work_Interface::SendPackets(uchar *packet, int length)
{
    DeviceRecord *d = m_Device;
    if (!d || !packet || length < 4 || length > 64)
        return 2;
    int timeout = m_ReplyTimeout > 0 ? m_ReplyTimeout : kDefaultReplyTimeoutMs;
    int retransmissions = m_Retransmissions > 0 ? m_Retransmissions : kDefaultRetransmissions;
    if (IsSpecialReceiver()) {
        timeout = 6000;
        retransmissions = 3;
    }
    uchar copy[64] = {};
    std::memcpy(copy, packet, static_cast<size_t>(length));
    int sendings = 0;
    for (;;) {
        msleep(static_cast<unsigned long>(Ms(10)));
        WriteLogLine(HexDump(copy, length) + QString::asprintf("  发送 第%d包", copy[3]));
        if (RecordWrite(d, copy, length) < 1) {
            WriteLogLine(QStringLiteral("发送数据异常"));
            return 2;
        }
        ++sendings;
        int mismatches = 0;
        QElapsedTimer clock;
        clock.start();
        bool gone = false;
        while (clock.elapsed() < Ms(timeout)) {
            uchar reply[64] = {};
            const int n = ReadReport(d, reply, length, 10);
            if (n < 0) {
                gone = true; // the device is gone: the next write fails
                break;
            }
            if (n == 0 || IsAllZero(reply, length))
                continue;
            if (ComparePacket(copy, reply, length))
                return 0;
            ++mismatches;
            if (mismatches >= 10)
                break;
            WriteLogLine(QString::asprintf("校验异常 次数%d", mismatches));
            clock.restart();
        }
        Q_UNUSED(gone);
        if (sendings >= 1 + retransmissions) {
            WriteLogLine(QString::asprintf("校验 第%d包失败", copy[3]));
            return 4;
        }
        WriteLogLine(QString::asprintf(" 重传 第%d包 第%d次", copy[3], sendings));
        msleep(static_cast<unsigned long>(Ms(20)));
    }
}

bool QHid_Work_Interface::SendConfigPackets(const uchar *buffer, int total, uchar command, int start, int packetSize)
{
    DeviceRecord *d = m_Device;
    if (!d || !buffer || total <= start || packetSize != 20)
        return false;
    const int packets = (total - start + 13) / 14;
    if (packets > 255)
        return false;
    uchar packet[20] = {};
    packet[0] = d->reportId;
    packet[1] = command;
    packet[2] = static_cast<uchar>(packets);
    for (int i = 0; i < packets; ++i) {
        std::memset(packet + 3, 0, 17);
        packet[3] = static_cast<uchar>(i);
        const QByteArray data = SliceKeyTable(buffer, total, i, 14, start);
        packet[4] = static_cast<uchar>(data.size());
        std::memcpy(packet + 5, data.constData(), static_cast<size_t>(data.size()));
        packet[19] = ByteSum19(packet);
        msleep(static_cast<unsigned long>(Ms(30)));
        const int status = SendPackets(packet, 20);
        if (status != 0) {
            Q_EMIT ErrorPop(false, status);
            m_TaskCode = 0;
            m_ListenFlag = 1;
            return false;
        }
    }
    return true;
}

bool QHid_Work_Interface::SendKeyPackets(uchar *table, int layer, int length)
{
    DeviceRecord *d = m_Device;
    if (!table)
        return false;
    if (!d || length != 520 || layer < 0 || layer > 15) {
        free(table);
        return false; // the layer must fit the high four bits of the length byte
    }
    if (d->connectionState == StateWired) {
        table[0] = d->reportId;
        table[1] = 0x03;
        table[2] = static_cast<uchar>(layer);
        table[3] = 0x00;
        table[4] = 0x01;
        table[5] = 0x00;
        table[6] = 0xF8;
        table[7] = 0x01;
        table[516] = 0x00;
        table[517] = 0x00;
        table[518] = 0x5A;
        table[519] = 0xA5;
        const bool sent = SetFeatureReport(d, table, 520);
        msleep(static_cast<unsigned long>(Ms(200)));
        free(table);
        return sent; // the real result, not "true" whatever happened
    }
    msleep(static_cast<unsigned long>(Ms(layer == 0 ? 500 : 1000)));
    table[516] = 0x00;
    table[517] = 0x00;
    table[518] = 0x5A;
    table[519] = 0xA5;
    const int packets = 37;
    for (int i = 0; i < packets; ++i) {
        uchar packet[20] = {};
        packet[0] = d->reportId;
        packet[1] = 0x01;
        packet[2] = packets;
        packet[3] = static_cast<uchar>(i);
        const QByteArray data = SliceKeyTable(table, 520, i, 14, 8);
        packet[4] = static_cast<uchar>(layer * 16 + data.size());
        std::memcpy(packet + 5, data.constData(), static_cast<size_t>(data.size()));
        packet[19] = ByteSum19(packet);
        if (SendPackets(packet, 20) != 0) {
            m_TaskCode = 0;
            m_ListenFlag = 1;
            free(table);
            WriteLogLine(QString::asprintf("键包: %d修改键值失败", i));
            return false;
        }
    }
    free(table);
    return true;
}

bool QHid_Work_Interface::WriteKeyTable(bool causeSaid)
{
    DeviceRecord *d = m_Device;
    if (!d)
        return false;
    QVector<QStringList> keyOrder; // macros are numbered in the order of the file
    KeyProfileLayers layers = QConfigBuildManage_Pro().ReadKeyConfig(m_KeyFile, &keyOrder);
    struct Release
    {
        KeyProfileLayers &layers;
        ~Release() { FreeKeyProfileLayers(layers); }
    } release{layers};
    const uint8_t state = d->connectionState;
    if (state != StateWired && state != StateWirelessAwake) {
        WriteLogLine(QStringLiteral("键值未写入: 设备状态 %1").arg(state));
        return false; // nothing was written: never reported as success
    }
    if (m_ChangedLayer < 0 || m_ChangedLayer >= layers.size()) {
        WriteLogLine(QString::asprintf("键层: %d 不在键值文件中", m_ChangedLayer));
        return false; // the changed layer is not in the file: nothing would be written
    }
    Q_EMIT ShowBusy();
    const QString folder = ProductFolder();
    const QString productDir = QStringLiteral("%1/Products/%2").arg(AppDirPath(), folder);
    const QString layoutPath = QStringLiteral("%1/%2_KeyBoed.xml").arg(productDir, folder);
    // key name -> position in the table, from the on-screen keyboard's keys (group 0)
    QHash<QString, int> positions;
    {
        Zr_KeyBord_Key_Info_toXml parser;
        LayoutKeyGroups groups = parser.ReadKeyArrs(layoutPath);
        for (auto g = groups.cbegin(); g != groups.cend(); ++g)
            for (const LayoutKeyRecord *k : g.value())
                if (!positions.contains(k->KeyName) || g.key() == 0)
                    positions.insert(k->KeyName, k->keypos);
        parser.Clear(groups);
    }
    QStringList macros;
    for (int L = 0; L < layers.size(); ++L) {
        uchar *table = nullptr;
        if (L == 1) {
            if (IsSafeFileComponent(folder)) {
                QSettings *ini = OpenIniFile(QStringLiteral("%1/%2_data.ini").arg(productDir, folder));
                const QString text = ini ? ini->value(QStringLiteral("Fn_default/KeyCode")).toStringList().join(QLatin1Char(',')) : QString();
                delete ini;
                if (!text.isEmpty())
                    table = HexListToBuffer(text.split(QLatin1Char(',')));
            }
        } else {
            table = KeyTableFromLayout(layoutPath, L);
        }
        if (!table)
            table = static_cast<uchar *>(calloc(520, 1));
        for (const QString &name : keyOrder.at(L)) {
            const _KeyValueInfo *a = layers.at(L)->value(name);
            const int pos = positions.value(name, -1);
            if (!a || pos < 0 || pos > 520 - 4)
                continue;
            if (a->type == 8) {
                std::memcpy(table + pos, a->value, 4);
            } else if (a->type == 3) {
                if (!macros.contains(a->LeftValue))
                    macros.append(a->LeftValue);
                int runWay = 0, runOne = 1;
                const QString file = QJsonConfing::MacroFilePath(productDir + QStringLiteral("/moidefConfig"), a->LeftValue);
                if (!file.isEmpty())
                    QJsonConfing::ReadRunMode(file, runWay, runOne);
                table[pos] = 0x03;
                table[pos + 1] = static_cast<uchar>(runWay);
                table[pos + 2] = static_cast<uchar>(runOne);
                table[pos + 3] = static_cast<uchar>(macros.indexOf(a->LeftValue));
            }
        }
        if (L == m_ChangedLayer) {
            msleep(static_cast<unsigned long>(Ms(200)));
            if (!SendKeyPackets(table, L)) {
                WriteLogLine(QString::asprintf("键层: %d修改键值失败", L));
                if (MainWidget *main = MainWidget::instance())
                    main->SetDeviceWriteResult(false);
                Q_EMIT HideBusy();
                return false;
            }
            WriteLogLine(QString::asprintf("键层: %d修改键值成功", L));
        } else {
            free(table);
        }
    }
    if (MainWidget *main = MainWidget::instance())
        main->SetDeviceWriteResult(true);
    DelayMs(Ms(100));
    const bool macrosSent = SendMacroData(macros);
    if (!macrosSent) {
        if (MainWidget *main = MainWidget::instance())
            main->SetDeviceWriteResult(false);
        if (!causeSaid)
            Q_EMIT ErrorPop(false, 8); // "Send Maocr Err"
    }
    msleep(static_cast<unsigned long>(Ms(500)));
    Q_EMIT HideBusy();
    Q_EMIT unSleepTime();
    return macrosSent;
}

QByteArray QHid_Work_Interface::MacroFileToPackets(const QStringList &macros, bool *tooLarge)
{
    QList<QByteArray> bytes;
    for (const QString &name : macros)
        bytes.append(QJsonConfing::ReadMacroEvents(MacroFile(name)));
    return BuildMacroBlock(bytes, tooLarge);
}

QString QHid_Work_Interface::MacroFile(const QString &name) const
{
    const QString folder = ProductFolder();
    if (!IsSafeFileComponent(folder))
        return QString();
    return QJsonConfing::MacroFilePath(QStringLiteral("%1/Products/%2/moidefConfig").arg(AppDirPath(), folder), name);
}

QByteArray QHid_Work_Interface::MacroFileToBytes(const QStringList &macros, bool *tooLarge)
{
    return MacroFileToPackets(macros, tooLarge);
}

bool QHid_Work_Interface::SendMacroData(const QStringList &macros)
{
    DeviceRecord *d = m_Device;
    if (macros.isEmpty())
        return true;
    if (!d)
        return false;
    const QByteArray block = MacroFileToPackets(macros);
    if (d->connectionState == StateWired) {
        if (block.isEmpty()) {
            PostMessgBox(179);
            return false;
        }
        if (block.size() <= 520) {
            uchar report[520] = {};
            std::memcpy(report, block.constData(), static_cast<size_t>(block.size()));
            return SetFeatureReport(d, report, 520);
        }
        const QByteArray data = block.mid(8);
        const int pieces = data.size() / 512;
        const int rest = data.size() % 512;
        if (pieces > 8) {
            PostMessgBox(131);
            return false;
        }
        bool ok = true;
        for (int i = 0; i < pieces; ++i) {
            uchar report[520] = {};
            report[1] = 0x05;
            report[4] = static_cast<uchar>(pieces + (rest ? 1 : 0));
            report[5] = static_cast<uchar>(i);
            report[6] = 0x00;
            report[7] = 0x02;
            std::memcpy(report + 8, data.constData() + i * 512, 512);
            ok = SetFeatureReport(d, report, 520) && ok;
        }
        if (rest) {
            msleep(static_cast<unsigned long>(Ms(50)));
            uchar report[520] = {};
            report[1] = 0x05;
            report[4] = static_cast<uchar>(pieces + 1);
            report[5] = static_cast<uchar>(pieces);
            report[6] = 0x00;
            report[7] = 0x02;
            std::memcpy(report + 8, data.constData() + pieces * 512, static_cast<size_t>(rest));
            ok = SetFeatureReport(d, report, 520) && ok;
        }
        return ok;
    }
    if (block.isEmpty())
        return false;
    const QByteArray data = block.mid(8);
    const int pieceCount = (data.size() + 511) / 512;
    if (pieceCount > 16)
        return false; // the piece number must fit the high four bits of the length byte
    for (int p = 0; p < pieceCount; ++p) {
        const QByteArray piece = data.mid(p * 512, 512);
        const int packets = (piece.size() + 13) / 14;
        for (int i = 0; i < packets; ++i) {
            uchar packet[20] = {};
            packet[0] = d->reportId;
            packet[1] = 0x03;
            packet[2] = static_cast<uchar>(packets);
            packet[3] = static_cast<uchar>(i);
            const QByteArray part = piece.mid(i * 14, 14);
            packet[4] = static_cast<uchar>(p * 16 + part.size());
            std::memcpy(packet + 5, part.constData(), static_cast<size_t>(part.size()));
            packet[19] = ByteSum19(packet);
            msleep(static_cast<unsigned long>(Ms(100)));
            WriteLogLine(QString::asprintf("发送宏数据第%d 包", p));
            if (SendPackets(packet, 20) != 0) {
                WriteLogLine(QString::asprintf("发送宏数据第%d 包异常", p));
                return false; // a failed macro upload is reported, not passed off as success
            }
        }
    }
    return true;
}

bool QHid_Work_Interface::WriteMouseKeyMap(const QMap<uint16_t, QString> &map)
{
    DeviceRecord *d = m_Device;
    int awake = 0;
    GrabCodeTask(awake);
    if (!d || awake < 1 || d->deviceType != 1)
        return false;
    uchar report[520] = {};
    report[0] = d->reportId;
    report[2] = 0x01;
    report[4] = 0x01;
    report[6] = 72;
    report[7] = 0;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const int pos = it.key();
        if (pos > 520 - 4)
            continue;
        const QByteArray code = HexStringToBytes(it.value());
        if (code.size() == 4)
            std::memcpy(report + pos, code.constData(), 4);
    }
    const int end = std::min(4 * map.size() + 10, 520);
    report[1] = SumRange(report, 2, end);
    const int length = d->featureLength > 0 ? std::min<int>(d->featureLength, 520) : 520;
    const bool ok = SetFeatureReport(d, report, length);
    msleep(static_cast<unsigned long>(Ms(20)));
    return ok;
}

void QHid_Work_Interface::GrabData(QByteArray &out, int &status, int expected, const uchar *request, int lengthIndex,
                                   int dataOffset)
{
    out.clear();
    status = 0;
    DeviceRecord *d = m_Device;
    if (!d || !request || expected < 1 || lengthIndex < 0 || lengthIndex > 19 || dataOffset < 0 || dataOffset > 19) {
        status = 2;
        return;
    }
    const int slotCount = 50;
    QMap<int, QByteArray> stored;
    for (int attempt = 0; attempt < 4; ++attempt) {
        QVector<QByteArray> area(slotCount, QByteArray(20, '\0'));
        WriteLogLine(QStringLiteral("Send :") + HexDump(request, 20));
        if (RecordWrite(d, request, 20) < 1) {
            WriteLogLine(QStringLiteral("Send request err!"));
            status = 2;
            out.clear();
            return;
        }
        int kept = 0;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < Ms(2500) && kept < slotCount) {
            QByteArray &slot = area[kept];
            slot.fill('\0');
            const int n = ReadReport(d, reinterpret_cast<uchar *>(slot.data()), 20, 5);
            if (n < 0)
                break;
            if (n == 0)
                continue;
            const auto *s = reinterpret_cast<const uchar *>(slot.constData());
            WriteLogLine(QStringLiteral("Grab :") + HexDump(s, 20) + QString::asprintf("  Bag = %d", s[2]));
            if (s[1] == request[1] && s[2] == kept) {
                ++kept;
                if (kept == expected && s[3] == expected - 1)
                    break;
            }
        }
        for (const QByteArray &slot : area) {
            const auto *s = reinterpret_cast<const uchar *>(slot.constData());
            if (IsAllZero(s, 20) || s[1] != request[1])
                continue;
            if (s[19] == SumRange(s, 0, 19) && !stored.contains(s[3]))
                stored.insert(s[3], slot);
        }
        if (stored.size() >= expected)
            break;
    }
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        const auto *s = reinterpret_cast<const uchar *>(it.value().constData());
        const int n = std::min<int>(s[lengthIndex] & 0x0F, 19 - dataOffset); // never the sum byte
        out.append(reinterpret_cast<const char *>(s + dataOffset), n);
    }
}
