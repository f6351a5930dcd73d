#include "device/ZR_YX_MouseThread.h"
#include "app/AppDirPath.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "device/ByteTools.h"
#include "device/DeviceRecord.h"
#include "device/MouseConfigRecord.h"
#include "device/MouseParamFile.h"
#include "macros/QJsonConfing.h"
#include "mouse/QLStyleBoraWidget.h"

#include <QDebug>
#include <QSettings>

#include <cstring>
#include <memory>

namespace {
QByteArray Bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(static_cast<char>(v));
    return b;
}
uint8_t At(const QByteArray &b, int i)
{
    return i >= 0 && i < b.size() ? static_cast<uint8_t>(b.at(i)) : 0;
}
std::shared_ptr<MouseConfigRecord> RecordOf(DeviceRecord *d)
{
    return d ? std::atomic_load(&d->mouseData) : std::shared_ptr<MouseConfigRecord>();
}
} // namespace

ZR_YX_MouseThread::ZR_YX_MouseThread(QObject *parent) : QHid_Work_Interface(parent) {}

int ZR_YX_MouseThread::FrameLength() const
{
    DeviceRecord *c = m_CommandDevice;
    return c && c->featureLength > 0 ? c->featureLength : 64;
}

QByteArray ZR_YX_MouseThread::Frame(const QByteArray &fromByte2) const
{
    DeviceRecord *c = m_CommandDevice;
    const int length = FrameLength();
    QByteArray f(length, '\0');
    f[0] = static_cast<char>(c ? c->reportId : 0);
    for (int i = 0; i < fromByte2.size() && 2 + i < length; ++i)
        f[2 + i] = fromByte2.at(i);
    f[1] = static_cast<char>(ByteSumFrom2(reinterpret_cast<const uchar *>(f.constData()), length));
    return f;
}

bool ZR_YX_MouseThread::Exchange(const QByteArray &frame, QByteArray *reply, int waitMs, bool readBack)
{
    DeviceRecord *c = m_CommandDevice;
    if (!c)
        return false;
    // One transaction at a time on the command device: the GUI thread's code read, the
    // listener's wake handling and the manager's commands must not interleave their pairs.
    std::lock_guard<std::recursive_mutex> lock(c->io);
    if (!SendOnly(frame, waitMs))
        return false;
    if (!readBack)
        return true;
    // The reply's bytes are taken as they come: the mouse need not echo the tag or sum its reply.
    QByteArray buffer;
    const bool ok = ReadBack(buffer);
    if (reply)
        *reply = ok ? buffer : QByteArray();
    return ok;
}

void ZR_YX_MouseThread::SetBothStates(uint8_t state)
{
    if (m_CommandDevice)
        m_CommandDevice->connectionState = state;
    if (m_Device)
        m_Device->connectionState = state;
}

bool ZR_YX_MouseThread::IsDeviceOnline()
{
    DeviceRecord *c = m_CommandDevice;
    if (!c)
        return false;
    const uint8_t s = c->connectionState;
    if (s == StateNone || s == StateWired)
        return true;
    QByteArray reply;
    if (!Exchange(Frame(Bytes({0x50, 0x00, 0x01, 0x47})), &reply, 100))
        return false;
    return At(reply, 6) != 0;
}

ProductRecord ZR_YX_MouseThread::FindProductByCode(const QString &code)
{
    // The catalogue's own lookup reads the file afresh: the cached list belongs to the GUI
    // thread, which empties it at quit.
    return FindProductRecord(code);
}

bool ZR_YX_MouseThread::QueryCode(bool receiver, QByteArray *reply, QString *code)
{
    DeviceRecord *c = m_CommandDevice;
    const QByteArray query = receiver ? Bytes({0x50, 0x00, 0x01, 0x47}) : Bytes({0x50, 0x00, 0x02, 0x4F, 0x80});
    if (!c || !Exchange(Frame(query), reply, 100)) {
        if (c)
            WriteLogLine(QStringLiteral("second-family code query failed: ") + c->LastError());
        return false;
    }
    const int from = receiver ? 7 : 8;
    *code = HexDump(reinterpret_cast<const uchar *>(reply->constData()) + from, 6).remove(QLatin1Char(' '));
    const ProductRecord product = FindProductByCode(*code);
    // HexDump gives lower case while catalogues write upper case: compare as the lookup does.
    if (!product.deviceCode.isEmpty() && product.deviceCode.compare(*code, Qt::CaseInsensitive) == 0) {
        c->SetCodeText(*code);
        PostDeviceName(c, product.name);
        if (DeviceRecord *listening = m_Device) {
            listening->SetCodeText(*code);
            PostDeviceName(listening, product.name);
        }
    }
    return true;
}

QString ZR_YX_MouseThread::ReadDeviceCode()
{
    DeviceRecord *c = m_CommandDevice;
    if (!c)
        return QString();
    const bool receiver = c->kind == KindSecondFeatureReceiver;
    QByteArray reply;
    QString code;
    if (!QueryCode(receiver, &reply, &code))
        return QString();
    if (receiver)
        SetBothStates(At(reply, 6) ? StateWirelessAwake : StateWirelessAsleep);
    else
        SetBothStates(StateWired);
    return code;
}

bool ZR_YX_MouseThread::CheckOnline()
{
    DeviceRecord *c = m_CommandDevice;
    if (!c)
        return false;
    if (c->kind != KindSecondFeatureReceiver) {
        SetBothStates(StateWired);
        return true;
    }
    QByteArray reply;
    QString code;
    if (!QueryCode(true, &reply, &code))
        return false; // a failed transfer is not "online"
    if (At(reply, 6) == 0)
        return false; // an asleep mouse would take nothing that follows
    SetBothStates(StateWirelessAwake);
    return true;
}

void ZR_YX_MouseThread::ResetDevice()
{
    Exchange(Frame(Bytes({0x50, 0x00, 0x0F, 0x06, 0xFF})), nullptr, 100, false);
}

void ZR_YX_MouseThread::ApplyDefaults()
{
    if (!CheckOnline())
        return;
    Exchange(Frame(Bytes({0x50, 0x00, 0x0F, 0x06, 0x01})), nullptr, 100);
    Q_EMIT HideBusy();
}

bool ZR_YX_MouseThread::VerifyReply(const QByteArray &sent)
{
    DeviceRecord *c = m_CommandDevice;
    if (!c)
        return false;
    for (int attempt = 0; attempt < 20; ++attempt) {
        QByteArray buffer;
        const bool ok = ReadBack(buffer);
        const auto *b = reinterpret_cast<const uchar *>(buffer.constData());
        if (ok && At(buffer, 5) == At(sent, 5)) {
            WriteLogLine(HexDump(b, buffer.size()));
            return true;
        }
        qDebug().noquote() << HexDump(b, 20);
        WriteLogLine(QStringLiteral("RI_Daride Fail :%1").arg(attempt));
        if (!ok && !c->handle)
            return false;
        msleep(static_cast<unsigned long>(Ms(20)));
    }
    return false;
}

uint8_t ZR_YX_MouseThread::RateCode(uint32_t rate, uint32_t maxRate)
{
    if (maxRate == 8000) {
        switch (rate) {
        case 8000: return 0x44;
        case 4000: return 0x55;
        case 2000: return 0x66;
        default: break;
        }
    }
    if (maxRate == 8000 || maxRate == 1000) {
        switch (rate) {
        case 1000: return 0x00;
        case 500: return 0x11;
        case 250: return 0x22;
        case 125: return 0x33;
        default: break;
        }
    }
    return 0x00;
}

bool ZR_YX_MouseThread::SendStages()
{
    const std::shared_ptr<MouseConfigRecord> r = RecordOf(m_CommandDevice);
    if (!r || r->image.size() < kImageLength) {
        WriteLogLine(QStringLiteral("DPI stages not written: no settings image of the mouse"));
        return false;
    }
    const int count = r->dpiValues.size();
    // Refused rather than sent: a count the stage byte cannot hold, a stage outside the list,
    // or a DPI below the step (its table entry would be 0xFFFF).
    if (count < 1 || count > kMaxStages || r->currentStage < 1 || r->currentStage > count) {
        WriteLogLine(QStringLiteral("DPI stages not written: %1 stages, current %2").arg(count).arg(r->currentStage));
        return false;
    }
    for (uint32_t v : r->dpiValues)
        if (v < 50 || v / 50 - 1 > 0xFFFF) {
            WriteLogLine(QStringLiteral("DPI stages not written: DPI %1 out of range").arg(v));
            return false;
        }
    QByteArray image = r->image;
    image[2] = static_cast<char>((r->currentStage << 4) | count);
    for (int k = 0; k < count; ++k) {
        const uint16_t entry = static_cast<uint16_t>(r->dpiValues.at(k) / 50 - 1);
        image[11 + 2 * k] = static_cast<char>(entry & 0xFF);
        image[12 + 2 * k] = static_cast<char>(entry >> 8);
    }
    r->image = image;
    r->stageCount = static_cast<uint8_t>(count);
    for (int k = 0; k < 6; ++k) {
        QByteArray piece = k < 5 ? Bytes({0x50, 0x0A, 0x90 + k, 0x36, 10 * k}) + image.mid(10 * k, 10)
                                 : Bytes({0x50, 0x06, 0x95, 0x37, 0x32}) + image.mid(50, 6);
        const QByteArray frame = Frame(piece);
        const bool sent = SendOnly(frame, 0);
        qDebug().noquote() << HexDump(reinterpret_cast<const uchar *>(frame.constData()), 20);
        if (!sent)
            return false;
        VerifyReply(frame.left(6));
    }
    return true;
}

void ZR_YX_MouseThread::SetParam(uchar code, uint, uint, uint, uint, uint, uint)
{
    DeviceRecord *c = m_CommandDevice;
    if (!c || !IsDeviceOnline())
        return;
    if (code == 9) {
        SendStages();
        return;
    }
    QSettings *ini = OpenMouseParamFile(c);
    if (!ini)
        return;
    const QString mouseName = ini->value(QStringLiteral("Zr_Mouse/MouseName")).toString();
    const QString model = ini->value(QStringLiteral("ChangeParam/Model")).toString();
    const uint change = ini->value(QStringLiteral("ChangeParam/ChangeCode")).toUInt();
    const uint v = ini->value(model + QStringLiteral("/value")).toUInt();
    const bool motion = ini->value(QStringLiteral("MotionSync/value")).toBool();
    const bool angle = ini->value(QStringLiteral("modified/value")).toBool();
    const bool ripple = ini->value(QStringLiteral("Ripple/value")).toBool();
    delete ini;
    const QString name = c->Name();
    if (mouseName != name) {
        WriteLogLine(QStringLiteral("mouse settings file is for \"%1\", not \"%2\"").arg(mouseName, name));
        return;
    }
    const std::shared_ptr<MouseConfigRecord> r = RecordOf(c);
    const bool haveImage = r && r->image.size() >= kImageLength;
    QByteArray frame;
    switch (change) {
    case 1:
        if (v > 127) { // twice the value must fit the sleep byte
            WriteLogLine(QStringLiteral("sleep %1 out of range").arg(v));
            return;
        }
        if (r)
            r->sleep = v;
        if (haveImage)
            r->image[8] = static_cast<char>(2 * v);
        frame = Bytes({0x50, 0x01, 0x31, 0x35, 0x08, static_cast<int>(2 * v)});
        break;
    case 2: {
        // Without a record the maximum rate is unknown: 1000 Hz codes are what every mouse takes.
        const uint8_t rate = RateCode(v, r ? r->maxReportRate : 1000);
        if (r)
            r->reportRate = static_cast<uint16_t>(v);
        if (haveImage)
            r->image[1] = static_cast<char>(rate);
        frame = Bytes({0x50, 0x01, 0x31, 0x35, 0x01, rate});
        break;
    }
    case 3: case 4: case 5: case 6: case 7: {
        // The frame carries image bytes 3 to 5 together: the ones this change does not concern
        // are sent as the mouse has them, never as fixed values that would overwrite them.
        if (!haveImage) {
            WriteLogLine(QStringLiteral("change %1 not sent: no settings image of the mouse").arg(change));
            return;
        }
        if ((change == 5 || change == 7) && v > 255) {
            WriteLogLine(QStringLiteral("change %1: value %2 out of range").arg(change).arg(v));
            return;
        }
        uint8_t lod = At(r->image, 3), shake = At(r->image, 4), flags = At(r->image, 5);
        if (change == 7) {
            lod = static_cast<uint8_t>(v);
            r->liftOff = static_cast<uint16_t>(v);
        } else if (change == 5) {
            shake = static_cast<uint8_t>(v);
            r->debounce = static_cast<uint16_t>(v);
        } else {
            flags = r->modeBits == 1 ? 0x40 : (r->modeBits == 2 ? 0x80 : 0x00);
            r->motionSync = r->angleSnapping = r->rippleControl = 0;
            if (motion) { flags |= 0x20; r->motionSync = 1; }
            if (angle) { flags |= 0x01; r->angleSnapping = 1; }
            if (ripple) { flags |= 0x10; r->rippleControl = 1; }
        }
        r->image[3] = static_cast<char>(lod);
        r->image[4] = static_cast<char>(shake);
        r->image[5] = static_cast<char>(flags);
        frame = Bytes({0x50, 0x03, 0x32, 0x35, 0x03, lod, shake, flags});
        break;
    }
    default:
        return;
    }
    Exchange(Frame(frame), nullptr, 50);
}

void ZR_YX_MouseThread::WriteDpiTable()
{
    SetParam(9, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu);
}

void ZR_YX_MouseThread::SynchronizingDeviceData()
{
    DeviceRecord *c = m_CommandDevice;
    auto endWait = [] {
        if (MainWidget *main = MainWidget::instance())
            main->EndSyncWait();
    };
    if (!c) {
        endWait();
        return;
    }
    const uint8_t s = c->connectionState;
    bool ok = s != StateNone && s != StateWirelessAsleep;
    QByteArray info, image;
    for (int i = 0; ok && i < 2; ++i) {
        QByteArray reply;
        ok = Exchange(Frame(Bytes({0x50, 0x00, 0x02, 0x4F, 0x80 + i})), &reply, 100);
        info += reply.mid(6, 10);
    }
    for (int i = 0; ok && i < 6; ++i) {
        QByteArray reply;
        ok = Exchange(Frame(Bytes({0x50, 0x00, 0x0A + i, 0x4F, 0x40 + i})), &reply, 100);
        image += reply.mid(6, 10);
    }
    // A failed transfer leaves no record: zeros are not the mouse's settings.
    if (!ok || !ParseConfigText(image.left(kImageLength), info)) {
        if (ok == false && s != StateNone && s != StateWirelessAsleep)
            WriteLogLine(QStringLiteral("second-family settings read failed: ") + c->LastError());
        std::atomic_store(&c->mouseData, std::shared_ptr<MouseConfigRecord>());
    }
    endWait();
}

bool ZR_YX_MouseThread::ParseConfigText(const QByteArray &image, const QByteArray &info)
{
    DeviceRecord *c = m_CommandDevice;
    if (!c || image.size() < kImageLength || info.size() < 16)
        return false;
    auto r = std::make_shared<MouseConfigRecord>();
    if (At(image, 0) == 1)
        r->sensorCode = 0xD7;
    r->batteryLevel = At(info, 10);
    r->sleep = At(image, 8) >> 1;
    r->lightEffect = 0xFFFF;
    r->secondFamily = 1;
    r->debounce = At(image, 4);
    r->liftOff = At(image, 3);
    const uint8_t flags = At(image, 5);
    r->motionSync = (flags >> 5) & 1;
    r->rippleControl = (flags >> 4) & 1;
    r->angleSnapping = flags & 1;
    r->modeBits = flags >> 6;
    const uint8_t state = c->connectionState;
    r->reportRate = (state == StateWirelessAwake || state == StateWirelessAsleep) ? (At(image, 1) & 0x0F) : (At(image, 1) >> 4);
    const uint8_t stage = At(image, 2) >> 4;
    // the stage byte's digits are read as decimal digits; the image holds at most 22 entries
    const int count = std::min<int>(At(image, 2) & 0x0F, (kImageLength - 11) / 2);
    const uint32_t step = r->sensorCode == 24 ? 100 : 50;
    for (int k = 0; k < count; ++k) {
        const uint16_t entry = static_cast<uint16_t>(At(image, 11 + 2 * k) | (At(image, 12 + 2 * k) << 8));
        r->dpiValues.append((entry + 1u) * step);
    }
    r->currentStage = stage;
    if (!r->dpiValues.isEmpty()) {
        r->stageCount = static_cast<uint8_t>(count);
        if (stage >= 1 && stage <= count)
            r->currentDpi = r->dpiValues.at(stage - 1);
    }
    const uint8_t maxCode = At(info, 12);
    r->maxReportRate = maxCode == 4 ? 1000 : (maxCode == 7 ? 8000 : 0);
    r->maxDpi = ((At(info, 14) | (At(info, 15) << 8)) + 1u) * 50u;
    r->image = image.left(kImageLength);
    std::atomic_store(&c->mouseData, r);
    return true;
}

bool ZR_YX_MouseThread::HandleNotice(const uchar *b, int n)
{
    if (!b || n < 4 || b[1] != 0xFA)
        return false;
    switch (b[2]) {
    case 2:
        if (b[3] == 1) {
            SetBothStates(StateWirelessAwake);
            if (m_CommandDevice && m_CommandDevice->CodeText().isEmpty())
                ReadDeviceCode();
            SetBothStates(StateWirelessAwake);
            Q_EMIT Device_Put_Chenge(m_DeviceId, true);
        } else if (b[3] == 0) {
            SetBothStates(StateWirelessAsleep);
            Q_EMIT Device_Put_Chenge(m_DeviceId, false);
        }
        break;
    case 5:
        Q_EMIT mouse_Pow_Chenge(m_DeviceId, b[3]);
        break;
    case 3:
        Q_EMIT Mouse_Dpi_Chenge(m_DeviceId, static_cast<uchar>(b[3]));
        break;
    default:
        break;
    }
    return true;
}

uint8_t ZR_YX_MouseThread::BlockWay() const
{
    const uint8_t s = m_CommandDevice ? m_CommandDevice->connectionState.load() : static_cast<uint8_t>(StateNone);
    return (s == StateWirelessAwake || s == StateWirelessAsleep) ? 1 : 0;
}

bool ZR_YX_MouseThread::SendOnly(const QByteArray &frame, int waitMs)
{
    DeviceRecord *c = m_CommandDevice;
    if (!c)
        return false;
    std::lock_guard<std::recursive_mutex> lock(c->io);
    QByteArray buffer = frame;
    if (!SetFeatureReport(c, reinterpret_cast<uchar *>(buffer.data()), buffer.size())) {
        WriteLogLine(QStringLiteral("second-family frame not sent: ")
                     + HexDump(reinterpret_cast<const uchar *>(frame.constData()), 16) + QStringLiteral(" ")
                     + c->LastError());
        return false;
    }
    if (waitMs > 0)
        msleep(static_cast<unsigned long>(Ms(waitMs)));
    return true;
}

bool ZR_YX_MouseThread::ReadBack(QByteArray &buffer)
{
    DeviceRecord *c = m_CommandDevice;
    buffer = QByteArray(FrameLength(), '\0');
    if (!c)
        return false;
    buffer[0] = static_cast<char>(c->reportId);
    std::lock_guard<std::recursive_mutex> lock(c->io);
    return GetFeatureReport(c, reinterpret_cast<uchar *>(buffer.data()), buffer.size());
}

bool ZR_YX_MouseThread::WaitReady()
{
    QByteArray buffer;
    if (!ReadBack(buffer))
        return false;
    const auto *b = reinterpret_cast<const uchar *>(buffer.constData());
    for (int i = 5; i < buffer.size(); ++i)
        if (b[i])
            return true;
    return false;
}

void ZR_YX_MouseThread::PollReady(int waitMs, const QString &after)
{
    for (int poll = 0; poll < 11; ++poll) {
        if (WaitReady())
            return;
        msleep(static_cast<unsigned long>(Ms(waitMs)));
    }
    // The mouse is given its time and the operation goes on, as it does when the mouse is ready.
    WriteLogLine(QStringLiteral("second-family mouse not ready after ") + after);
}

bool ZR_YX_MouseThread::BeginBlockWrite(uint32_t size)
{
    DeviceRecord *c = m_CommandDevice;
    if (!c)
        return false;
    // The whole opening is one transaction: a code query slipped in between would break it.
    std::lock_guard<std::recursive_mutex> lock(c->io);
    const uint8_t w = BlockWay();
    if (w && !SendOnly(Frame(Bytes({0x65, 0x3A, 0x00, 0x01, 0x44, 0x00, 0x09, 0x44})), 100))
        return false;
    const QByteArray sizeFrame = Frame(Bytes({0x65, 0x3A, 0x01, w, 0x57, 0x01, 0x06, 0x57, 0x03,
                                              static_cast<int>(size & 0xFF), static_cast<int>((size >> 8) & 0xFF),
                                              static_cast<int>((size >> 16) & 0xFF), static_cast<int>(size >> 24)}));
    if (!Exchange(sizeFrame, nullptr, 100)) {
        WriteLogLine(QStringLiteral("second-family upload size not taken: ") + c->LastError());
        return false;
    }
    if (w) {
        msleep(static_cast<unsigned long>(Ms(30)));
        QByteArray buffer;
        if (!ReadBack(buffer)) {
            WriteLogLine(QStringLiteral("second-family receiver gone during the upload: ") + c->LastError());
            return false;
        }
        msleep(static_cast<unsigned long>(Ms(100)));
        msleep(static_cast<unsigned long>(Ms(100)));
        if (!Exchange(Frame(Bytes({0x65, 0x3A, 0x02, 0x01, 0x52, 0x02, 0x02, 0x52})), nullptr, 50)) {
            WriteLogLine(QStringLiteral("second-family receiver did not take the upload: ") + c->LastError());
            return false;
        }
    }
    msleep(static_cast<unsigned long>(Ms(100)));
    if (!SendOnly(Frame(Bytes({0x65, 0x3A, 0x03, w, 0x55, 0x03, 0x09, 0x55, 0, 0, 0, 0, 0, 0x10})), 0))
        return false;
    PollReady(200, QStringLiteral("the upload start"));
    return true;
}

void ZR_YX_MouseThread::WriteKeyRow(uint8_t key, const QString &code)
{
    const QByteArray bytes = HexStringToBytes(code);
    if (bytes.size() != 4) {
        // sending anything else would give the button a code the user never chose
        WriteLogLine(QStringLiteral("second-family key %1 not written: code \"%2\"").arg(key).arg(code));
        return;
    }
    QByteArray body = Bytes({0x50, 0x04, 0x20, 0x30, key});
    body += bytes;
    // no code query between the frame and its readiness reads
    std::lock_guard<std::recursive_mutex> lock(m_CommandDevice->io);
    if (SendOnly(Frame(body), 0))
        PollReady(100, QStringLiteral("key %1").arg(key));
}

void ZR_YX_MouseThread::UploadMacros(const QList<MouseKeyRow> &rows)
{
    DeviceRecord *c = m_CommandDevice;
    QStringList names;
    for (const MouseKeyRow &row : rows)
        if (row.valueType == 1 && !names.contains(row.reName))
            names.append(row.reName);
    bool tooLarge = false;
    const QByteArray block = MacroFileToBytes(names, &tooLarge);
    tooLarge = tooLarge || names.size() > 0x100; // M is one byte
    if (block.size() <= 8 && !tooLarge) {
        // keys must not be pointed at data that never went out
        WriteLogLine(QStringLiteral("second-family macros not uploaded: no macro data for ")
                     + names.join(QLatin1Char(',')));
        PostMessgBox(179);
        return;
    }
    const QByteArray data = block.mid(8);
    if (tooLarge || data.size() > 0xFFFF) {
        WriteLogLine(QStringLiteral("second-family macros not uploaded: too large for the mouse"));
        PostMessgBox(131);
        return;
    }
    uint16_t sum = 0;
    for (char b : data)
        sum = static_cast<uint16_t>(sum + static_cast<uint8_t>(b));

    std::lock_guard<std::recursive_mutex> lock(c->io);
    if (!BeginBlockWrite(static_cast<uint32_t>(data.size())))
        return;
    const uint8_t w = BlockWay();
    for (int at = 0; at < data.size(); at += 25) {
        const QByteArray piece = data.mid(at, 25);
        QByteArray body = Bytes({0x65, 0x3A, 0x00, w, 0x50, 0x04, piece.size()});
        body += piece;
        if (!SendOnly(Frame(body), 10))
            return;
    }
    if (!SendOnly(Frame(Bytes({0x65, 0x3A, 0x60, w, 0x51, 0x60, 0x03, 0x51, sum & 0xFF, sum >> 8})), 0))
        return;
    PollReady(20, QStringLiteral("the upload sum"));
    if (!SendOnly(Frame(Bytes({0x65, 0x3A, 0x70, w, 0x5E, 0x70, 0x01, 0x5E})), 0))
        return;
    PollReady(100, QStringLiteral("the upload end"));
    // Run modes from the same files the data came from.
    for (const MouseKeyRow &row : rows) {
        if (row.valueType != 1)
            continue;
        if (row.sendAddress > 0xFF) {
            WriteLogLine(QStringLiteral("second-family macro key %1 has no one-byte index").arg(row.sendAddress));
            continue;
        }
        int runWay = 0, runOne = 0;
        QJsonConfing::ReadRunMode(MacroFile(row.reName), runWay, runOne);
        const int index = names.indexOf(row.reName);
        const QByteArray frame = Frame(Bytes({0x50, 0x04, 0x20, 0x30, row.sendAddress, 0x03, runWay & 0xFF,
                                              runOne & 0xFF, index}));
        if (!SendOnly(frame, 0))
            return;
        PollReady(200, QStringLiteral("macro key %1").arg(row.sendAddress));
    }
}

void ZR_YX_MouseThread::WriteKeys()
{
    DeviceRecord *c = m_CommandDevice;
    if (!c || !CheckOnline()) {
        m_TaskCode = 0;
        return;
    }
    const MouseKeySnapshot keys = QLStyleBoraWidget::KeySnapshot();
    if (keys.rows.isEmpty()) {
        m_TaskCode = 0;
        return;
    }
    Q_EMIT ShowBusy();
    const uint8_t key = keys.selectedKey;
    if (keys.allKeys) {
        // A chosen configuration changes every button, not only the one changed last.
        bool macros = false;
        for (const MouseKeyRow &row : keys.rows) {
            if (row.valueType == 0 && row.sendAddress <= 0xFF)
                WriteKeyRow(static_cast<uint8_t>(row.sendAddress), row.currentCode);
            macros = macros || row.valueType == 1;
        }
        if (macros)
            UploadMacros(keys.rows);
    } else if (key == 0xFF) {
        Exchange(Frame(Bytes({0x50, 0x00, 0x0F, 0x06, 0x01})), nullptr, 100); // every key back to its default
    } else {
        const MouseKeyRow *found = nullptr;
        for (const MouseKeyRow &row : keys.rows)
            if (row.sendAddress == key && (row.valueType == 0 || row.valueType == 1)) {
                found = &row;
                break;
            }
        if (found && found->valueType == 0)
            WriteKeyRow(key, found->currentCode);
        else if (found)
            UploadMacros(keys.rows);
    }
    Q_EMIT HideBusy();
    m_TaskCode = 0;
}

void ZR_YX_MouseThread::run()
{
    uchar buffer[100];
    while (m_ListenFlag) {
        DeviceRecord *d = m_Device;
        if (!d)
            break;
        std::memset(buffer, 0, sizeof buffer);
        const int length = std::min<int>(static_cast<int>(d->inputLength > 0 ? d->inputLength : 32), sizeof buffer);
        int status = 0;
        const int n = hid_read_timeout_status(d, buffer, length, 20, &status);
        if (n < 0) {
            // The interface is gone: further reads fail at once, so stop rather than spin.
            WriteLogLine(QStringLiteral("second-family listener ends: ") + d->LastError());
            break;
        }
        if (n > 0)
            HandleNotice(buffer, n);
    }
    m_ListenFlag = 0;
}

void ZR_YX_MouseThread::StartListening()
{
    m_ListenFlag = 1;
    start(QThread::InheritPriority);
}

void ZR_YX_MouseThread::StopListening()
{
    m_ListenFlag = 0;
    wait(1000);
    quit();
}
