#include "device/ZR_2_0_MouseThread.h"
#include "app/AppDirPath.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "device/ByteTools.h"
#include "device/DeviceRecord.h"
#include "device/DpiConfigRecord.h"
#include "device/MouseConfigRecord.h"
#include "device/MouseParamFile.h"
#include "device/QDpiConfigMange.h"
#include "device/ZR_2_0_KeyboradThread.h"
#include "macros/QJsonConfing.h"
#include "mouse/QLStyleBoraWidget.h"
#include "platform/HidPlatform.h"

#include <QSettings>

#include <cstdlib>
#include <cstring>

namespace {
constexpr int kImageBytes = 520;

uint8_t At(const QByteArray &b, int i)
{
    return i >= 0 && i < b.size() ? static_cast<uint8_t>(b.at(i)) : 0;
}
std::shared_ptr<MouseConfigRecord> RecordOf(DeviceRecord *d)
{
    return d ? std::atomic_load(&d->mouseData) : std::shared_ptr<MouseConfigRecord>();
}
void Seal(QByteArray &image, uint8_t command)
{
    image[2] = static_cast<char>(command);
    image[1] = static_cast<char>(ByteSumFrom2(reinterpret_cast<const uchar *>(image.constData()), kImageBytes));
}
// Reports id 2 and 3 travel through the receiver, which needs longer between writes.
bool ThroughReceiver(const DeviceRecord *d)
{
    return d && (d->reportId == 2 || d->reportId == 3);
}
// The pause after a write before the busy state ends.
void SettlePause(const DeviceRecord *d)
{
    QThread::msleep(static_cast<unsigned long>(platform::HidScaledMs(ThroughReceiver(d) ? 300 : 100)));
}
// The 0x05 code request in a zeroed buffer of the given length, and the code of its reply.
QByteArray CodeRequest(int length)
{
    QByteArray request(length, '\0');
    request[1] = 0x0D; request[2] = 0x05; request[3] = 0x01; request[4] = 0x01; request[6] = 6;
    return request;
}
QString CodeOfReply(const QByteArray &reply)
{
    return HexDump(reinterpret_cast<const uchar *>(reply.constData()) + 8, 6).remove(QLatin1Char(' '));
}
// One byte of a macro entry: a value past a byte would widen its "%02x" and shift the whole
// eight-digit code.
int EntryByte(int v)
{
    return std::min(std::max(v, 0), 0xFF);
}
// The 0x03 reports of a macro block: the block itself when it fits one report, else its data
// (header dropped) in 512-byte pieces. Empty when the data need more pieces than the mouse holds.
QList<QByteArray> MacroReports(const QByteArray &block, uint8_t reportId)
{
    QList<QByteArray> reports;
    auto seal = [&](QByteArray report) {
        report[0] = static_cast<char>(reportId);
        Seal(report, 0x03);
        reports.append(report);
    };
    if (block.size() <= kImageBytes) {
        QByteArray report(kImageBytes, '\0');
        report.replace(0, block.size(), block);
        seal(report);
        return reports;
    }
    const QByteArray data = block.mid(8);
    const int piece = ZR_2_0_MouseThread::kMacroPiece;
    const int whole = data.size() / piece;
    const int rest = data.size() % piece;
    if (whole > ZR_2_0_MouseThread::kMaxMacroPieces)
        return reports;
    const int count = whole + (rest ? 1 : 0);
    for (int k = 0; k < count; ++k) {
        QByteArray report(kImageBytes, '\0');
        report[4] = static_cast<char>(count);
        report[5] = static_cast<char>(k);
        report[6] = static_cast<char>(piece & 0xFF); // 512 in every piece, the shorter last one too
        report[7] = static_cast<char>(piece >> 8);
        const QByteArray part = data.mid(k * piece, piece);
        report.replace(8, part.size(), part);
        seal(report);
    }
    return reports;
}
} // namespace

ZR_2_0_MouseThread::ZR_2_0_MouseThread(QObject *parent) : QHid_Work_Interface(parent) {}

void ZR_2_0_MouseThread::SetDeviceName(DeviceRecord *record, const QString &name)
{
    if (record)
        record->SetName(name);
}

uint8_t ZR_2_0_MouseThread::RateCode(uint32_t rate)
{
    switch (rate) {
    case 500: return 3;
    case 250: return 2;
    case 125: return 1;
    default: return 4; // 1000 Hz and every rate the mouse has no code for
    }
}

DpiConfigRecord *ZR_2_0_MouseThread::ReadMap() const
{
    return QDpiConfigMange().Read(ProductFolder());
}

// One request and its reply as one transaction on the device: the listener's code and battery
// reads must not slip between them.
bool ZR_2_0_MouseThread::Transaction(QByteArray &buffer, int waitMs)
{
    DeviceRecord *d = m_Device;
    if (!d)
        return false;
    std::lock_guard<std::recursive_mutex> lock(d->io);
    if (!SetFeatureReport(d, reinterpret_cast<uchar *>(buffer.data()), buffer.size()))
        return false;
    msleep(static_cast<unsigned long>(Ms(waitMs)));
    return GetFeatureReport(d, reinterpret_cast<uchar *>(buffer.data()), buffer.size());
}

bool ZR_2_0_MouseThread::ReadConfigImage()
{
    DeviceRecord *d = m_Device;
    if (!d)
        return false;
    // A buffer of at least 520 bytes: the sum covers bytes 2..519 whatever the feature length.
    QByteArray buffer(std::max<int>(kImageBytes, d->featureLength), '\0');
    bool ok = d->featureLength >= kImageBytes;
    if (ok) {
        buffer[2] = 0x44;
        buffer[4] = 1;
        buffer[6] = static_cast<char>(400 & 0xFF);
        buffer[7] = static_cast<char>(400 >> 8);
        QByteArray exchange = buffer.left(d->featureLength);
        ok = Transaction(exchange, 100);
        buffer.replace(0, exchange.size(), exchange);
    }
    const auto *b = reinterpret_cast<const uchar *>(buffer.constData());
    if (ok && b[1] == ByteSumFrom2(b, kImageBytes) && ParseConfigImage(buffer.left(kImageBytes)))
        return true;
    WriteLogLine(QStringLiteral("mouse configuration image not read: ")
                 + (ok ? QStringLiteral("bad sum or no memory map") : d->LastError()));
    std::atomic_store(&d->mouseData, std::shared_ptr<MouseConfigRecord>());
    return false;
}

bool ZR_2_0_MouseThread::ParseConfigImage(const QByteArray &image)
{
    DeviceRecord *d = m_Device;
    if (!d || image.size() < kImageBytes)
        return false;
    std::unique_ptr<DpiConfigRecord> map(ReadMap());
    if (!map)
        return false;
    auto r = std::make_shared<MouseConfigRecord>();
    r->batteryLevel = ReadBatteryLevel();
    r->modeBits = 0xFFFF;
    r->image = image;
    auto addr = [](int32_t a) { return DpiConfigRecord::Checked(a, kImageBytes); };
    const int sensor = addr(map->sensorAddress);
    r->sensorCode = sensor < 0 ? 0xFF : At(image, sensor);
    const int sleep = addr(map->sleepAddress);
    r->sleep = sleep < 0 ? 0xFFFFFFFFu : At(image, sleep);
    const int effect = addr(map->effectAddress);
    r->lightEffect = effect < 0 ? 0xFFFF : At(image, effect);
    const int rate = addr(map->rorAddress);
    r->reportRate = rate < 0 ? 0xFFFF : At(image, rate);
    // Two settings sharing one byte: the first element's address when it is 2 or more, else
    // the second's; a half whose own element is absent stays absent.
    auto shared = [&](int32_t first, int32_t second, uint16_t &high, uint16_t &low, bool firstIsHigh) {
        const int a = addr(first), b = addr(second);
        const int at = a >= 2 ? a : b;
        uint16_t &firstField = firstIsHigh ? high : low;
        uint16_t &secondField = firstIsHigh ? low : high;
        firstField = secondField = 0xFFFF;
        if (at < 0)
            return;
        const uint8_t byte = At(image, at);
        if (a >= 0)
            firstField = firstIsHigh ? byte >> 4 : byte & 0x0F;
        if (b >= 0)
            secondField = firstIsHigh ? byte & 0x0F : byte >> 4;
    };
    shared(map->motionSyncAddress, map->shakeAddress, r->motionSync, r->debounce, true);
    shared(map->rippleAddress, map->lineAddress, r->rippleControl, r->angleSnapping, true);
    shared(map->lodAddress, map->moveUpAddress, r->moveUp, r->liftOff, false);
    const int current = addr(map->currentDpiAddress);
    const int x = addr(map->xDpiAddress);
    if (current >= 0 && x >= 0) {
        const uint8_t byte = At(image, current);
        r->currentStage = byte >> 4;
        const int count = std::min<int>(byte & 0x0F, (kImageBytes - x) / 2);
        r->stageCount = static_cast<uint8_t>(count);
        const uint32_t step = DpiStepForSensor(r->sensorCode);
        for (int i = 0; i < count; ++i) {
            const uint16_t entry = static_cast<uint16_t>(At(image, x + 2 * i) | (At(image, x + 2 * i + 1) << 8));
            r->dpiValues.append((entry + 1u) * step);
        }
        if (r->currentStage >= 1 && r->currentStage <= count)
            r->currentDpi = r->dpiValues.at(r->currentStage - 1);
    }
    std::atomic_store(&d->mouseData, r);
    return true;
}

bool ZR_2_0_MouseThread::PutDpiStages(QByteArray &image, const MouseConfigRecord &r, const DpiConfigRecord &map)
{
    // The DPI tables lie in bytes 0..255: their addresses, and every position in them, wrap at 256.
    const int current = DpiConfigRecord::Checked(map.currentDpiAddress, kImageBytes);
    const int x = map.xDpiAddress < 0 ? -1 : map.xDpiAddress % 256;
    const int y = map.yDpiAddress < 0 ? -1 : map.yDpiAddress % 256;
    const int sensor = DpiConfigRecord::Checked(map.sensorAddress, kImageBytes);
    const int count = r.dpiValues.size();
    if (image.size() < kImageBytes || current < 0 || x < 0 || y < 0) {
        WriteLogLine(QStringLiteral("DPI stages not written: the memory map lacks a DPI address"));
        return false;
    }
    if (count < 1 || count > kMaxStages || r.currentStage < 1 || r.currentStage > count) {
        WriteLogLine(QStringLiteral("DPI stages not written: %1 stages, current %2").arg(count).arg(r.currentStage));
        return false;
    }
    const uint32_t step = DpiStepForSensor(sensor < 0 ? 0xFF : At(image, sensor));
    for (uint32_t v : r.dpiValues)
        if (v < step || v / step - 1 > 0xFFFF) {
            WriteLogLine(QStringLiteral("DPI stages not written: DPI %1 at a step of %2").arg(v).arg(step));
            return false;
        }
    image[current] = static_cast<char>((r.currentStage << 4) | count);
    for (int i = 0; i < count; ++i) {
        const uint16_t entry = static_cast<uint16_t>(r.dpiValues.at(i) / step - 1);
        for (int table : {x, y}) {
            image[(table + 2 * i) % 256] = static_cast<char>(entry & 0xFF);
            image[(table + 2 * i + 1) % 256] = static_cast<char>(entry >> 8);
        }
    }
    return true;
}

bool ZR_2_0_MouseThread::SendImage(QByteArray image)
{
    DeviceRecord *d = m_Device;
    if (!d)
        return false;
    image[0] = static_cast<char>(d->reportId);
    Seal(image, 0x04);
    if (ThroughReceiver(d))
        msleep(static_cast<unsigned long>(Ms(100)));
    std::lock_guard<std::recursive_mutex> lock(d->io);
    const bool ok = SetFeatureReport(d, reinterpret_cast<uchar *>(image.data()), std::min<int>(image.size(), d->featureLength));
    if (!ok)
        WriteLogLine(QStringLiteral("mouse image not sent: ") + d->LastError());
    return ok;
}

void ZR_2_0_MouseThread::SetParam(uchar code, uint, uint, uint, uint, uint, uint)
{
    DeviceRecord *d = m_Device;
    Q_EMIT ShowBusy();
    std::unique_ptr<DpiConfigRecord> map(ReadMap());
    const std::shared_ptr<MouseConfigRecord> r = RecordOf(d);
    auto finish = [&] {
        SettlePause(d);
        Q_EMIT HideBusy();
    };
    if (!d || !map || !r || r->image.size() < kImageBytes || code < 1 || code > 10) {
        finish();
        return;
    }
    QByteArray image = r->image;
    if (code == 8) {
        image[83] = static_cast<char>(r->lightEffect & 0xFF);
    } else if (code == 9) {
        if (!PutDpiStages(image, *r, *map)) {
            finish();
            return;
        }
    } else {
        QSettings *ini = OpenMouseParamFile(d);
        if (!ini) {
            finish();
            return;
        }
        const uint change = ini->value(QStringLiteral("ChangeParam/ChangeCode")).toUInt();
        const QString model = ini->value(QStringLiteral("ChangeParam/Model")).toString();
        bool numeric = false;
        const int v = ini->value(model + QStringLiteral("/value")).toInt(&numeric);
        delete ini;
        // The file and the request must name the same change, and the value must fit its place.
        const int limit = (code == 1 || code == 2) ? (code == 1 ? 255 : 8000) : 15;
        if (change != code || !numeric || v < 0 || v > limit) {
            WriteLogLine(QStringLiteral("mouse change %1 not written: file names change %2 with value \"%3\" (0..%4)")
                             .arg(code).arg(change).arg(v).arg(limit));
            finish();
            return;
        }
        auto nibbles = [&](int at, int high, int low) {
            const uint8_t old = At(image, at);
            const int h = high < 0 ? old >> 4 : high & 0x0F;
            const int l = low < 0 ? old & 0x0F : low & 0x0F;
            image[at] = static_cast<char>((h << 4) | l);
        };
        const int lod = DpiConfigRecord::Checked(map->lodAddress >= 2 ? map->lodAddress : map->moveUpAddress, kImageBytes);
        const int rate = DpiConfigRecord::Checked(map->rorAddress, kImageBytes);
        switch (code) {
        case 1: r->sleep = static_cast<uint32_t>(v); image[82] = static_cast<char>(v); break;
        case 2:
            if (rate < 0) { finish(); return; }
            r->reportRate = static_cast<uint16_t>(v);
            image[rate] = static_cast<char>(RateCode(static_cast<uint32_t>(v)));
            break;
        case 3: r->motionSync = static_cast<uint16_t>(v); nibbles(13, v, -1); break;
        case 5: r->debounce = static_cast<uint16_t>(v); nibbles(13, -1, v); break;
        case 6: r->rippleControl = static_cast<uint16_t>(v); nibbles(14, v, -1); break;
        case 4: r->angleSnapping = static_cast<uint16_t>(v); nibbles(14, -1, v); break;
        case 7: case 10:
            if (lod < 0) { finish(); return; }
            if (code == 7) { r->liftOff = static_cast<uint16_t>(v); nibbles(lod, -1, v); }
            else { r->moveUp = static_cast<uint16_t>(v); nibbles(lod, v, -1); }
            break;
        }
    }
    r->image = image;
    SendImage(image);
    finish();
}

void ZR_2_0_MouseThread::WriteDpiTable()
{
    std::unique_ptr<DpiConfigRecord> map(ReadMap());
    const std::shared_ptr<MouseConfigRecord> r = RecordOf(m_Device);
    if (!map || !r || r->image.size() < kImageBytes)
        return;
    QByteArray image = r->image;
    if (!PutDpiStages(image, *r, *map))
        return;
    r->image = image;
    SendImage(image);
}

void ZR_2_0_MouseThread::RecoverConfig()
{
    DeviceRecord *d = m_Device;
    const QString folder = ProductFolder();
    if (!d || !IsSafeFileComponent(folder))
        return;
    QSettings *ini = OpenIniFile(QStringLiteral("%1/Products/%2/%2_data.ini").arg(AppDirPath(), folder));
    if (!ini)
        return;
    Q_EMIT ShowBusy();
    auto load = [&](const char *key) {
        const QStringList items = ini->value(QLatin1String(key)).toStringList().join(QLatin1Char(',')).split(QLatin1Char(','), Qt::SkipEmptyParts);
        uint8_t *bytes = ParseByteList520(items);
        QByteArray out(reinterpret_cast<const char *>(bytes), kImageBytes);
        free(bytes);
        return items.isEmpty() ? QByteArray() : out;
    };
    const QByteArray base = load("MouseConfig/Base");
    QByteArray keys = load("MouseConfig/Keys");
    delete ini;
    // The factory image goes out whether or not a memory map parses it; an empty list is no
    // factory image, and an all-zero one would wipe the mouse's settings.
    if (!base.isEmpty()) {
        if (!ParseConfigImage(base))
            WriteLogLine(QStringLiteral("factory mouse image sent without a memory map to read it"));
        SendImage(base);
        if (ThroughReceiver(d))
            msleep(static_cast<unsigned long>(Ms(300)));
    } else {
        WriteLogLine(QStringLiteral("no factory mouse image in the product data"));
    }
    if (!keys.isEmpty()) {
        keys[0] = static_cast<char>(d->reportId);
        Seal(keys, 0x01);
        std::lock_guard<std::recursive_mutex> lock(d->io);
        SetFeatureReport(d, reinterpret_cast<uchar *>(keys.data()), std::min<int>(keys.size(), d->featureLength));
    }
    SettlePause(d);
    Q_EMIT HideBusy();
    m_TaskCode = 0;
}

void ZR_2_0_MouseThread::WriteKeys()
{
    WriteKeyTable();
}

bool ZR_2_0_MouseThread::WriteKeyTable()
{
    DeviceRecord *d = m_Device;
    // The rows as the page last handed them over: the widgets belong to the GUI thread.
    const MouseKeySnapshot snapshot = QLStyleBoraWidget::KeySnapshot();
    if (!d || snapshot.rows.isEmpty()) {
        m_TaskCode = 0;
        return false;
    }
    Q_EMIT ShowBusy();
    auto finish = [&](bool ok) {
        SettlePause(d);
        Q_EMIT HideBusy();
        m_TaskCode = 0;
        return ok;
    };
    QMap<uint16_t, QString> keys;
    QStringList names;
    QList<MouseKeyRow> macroRows;
    for (const MouseKeyRow &row : snapshot.rows) {
        if (row.valueType == 1) {
            macroRows.append(row);
            if (!names.contains(row.reName))
                names.append(row.reName);
        } else if (row.valueType == 0) {
            keys.insert(row.sendAddress, row.currentCode); // an empty code too: its four bytes stay 0
        }
    }
    // The same files the macro block is read from.
    for (const MouseKeyRow &row : macroRows) {
        int runWay = 0, runOne = 1;
        QJsonConfing::ReadRunMode(MacroFile(row.reName), runWay, runOne);
        keys.insert(row.sendAddress, QString::asprintf("03%02x%02x%02x", EntryByte(runWay), EntryByte(runOne),
                                                       EntryByte(names.indexOf(row.reName))));
    }
    // The macro data are checked before the key map goes out: buttons pointing at macros the
    // mouse never receives would run whatever it held before.
    QList<QByteArray> macros;
    bool single = false, restPiece = false;
    if (!names.isEmpty()) {
        bool tooLarge = false;
        const QByteArray block = MacroFileToBytes(names, &tooLarge);
        if (block.isEmpty() && tooLarge) {
            WriteLogLine(QStringLiteral("mouse keys not written: macro data past the block's 16-bit lengths"));
            PostMessgBox(131);
            return finish(false);
        }
        if (block.isEmpty()) {
            WriteLogLine(QStringLiteral("mouse keys not written: a macro of \"%1\" has no data").arg(names.join(QLatin1String("\", \""))));
            PostMessgBox(179);
            return finish(false);
        }
        macros = MacroReports(block, d->reportId);
        if (macros.isEmpty()) {
            WriteLogLine(QStringLiteral("mouse keys not written: %1 bytes of macro data").arg(block.size() - 8));
            PostMessgBox(131);
            return finish(false);
        }
        single = block.size() <= kImageBytes;
        restPiece = !single && (block.size() - 8) % kMacroPiece != 0;
    }
    std::lock_guard<std::recursive_mutex> lock(d->io);
    if (!WriteMouseKeyMap(keys)) {
        WriteLogLine(QStringLiteral("mouse key map not written: ") + d->LastError());
        return finish(false);
    }
    if (names.isEmpty()) {
        PostDomPopMessge(274, 275);
        return finish(true);
    }
    for (int k = 0; k < macros.size(); ++k) {
        if (restPiece && k == macros.size() - 1)
            msleep(static_cast<unsigned long>(Ms(20)));
        QByteArray &report = macros[k];
        // always whole: a report cut to a shorter feature length would lose macro data unnoticed
        if (!SetFeatureReport(d, reinterpret_cast<uchar *>(report.data()), report.size())) {
            WriteLogLine(QStringLiteral("mouse macro data not sent (report %1 of %2): ").arg(k + 1).arg(macros.size())
                         + d->LastError());
            return finish(false);
        }
    }
    if (single)
        msleep(static_cast<unsigned long>(Ms(50)));
    return finish(true);
}

void ZR_2_0_MouseThread::SynchronizingDeviceData()
{
    ReadConfigImage();
    if (MainWidget *main = MainWidget::instance())
        main->EndSyncWait();
}

void ZR_2_0_MouseThread::ReadCodeAndBattery(QString &code)
{
    code.clear();
    DeviceRecord *d = m_Device;
    if (!d || !d->CodeText().isEmpty() || d->featureLength <= 500 || d->deviceType != 1 || d->subType != 2)
        return;
    QByteArray request = CodeRequest(d->featureLength);
    if (!Transaction(request, 10))
        return;
    code = CodeOfReply(request);
    if (code != QLatin1String("000000000000"))
        d->SetCodeText(code);
    m_DeviceIdText = code;
    QByteArray battery(d->featureLength, '\0');
    battery[2] = 0x09; battery[3] = 0x01; battery[4] = 1; battery[6] = 1;
    battery[1] = static_cast<char>(ByteSumFrom2(reinterpret_cast<const uchar *>(battery.constData()), battery.size()));
    if (Transaction(battery, 10))
        d->batteryLevel = At(battery, 8);
}

QString ZR_2_0_MouseThread::ReadDeviceCode()
{
    DeviceRecord *d = m_Device;
    if (!d)
        return QString();
    const QString known = d->CodeText();
    if (!known.isEmpty())
        return known;
    const bool listening = isRunning() && QThread::currentThread() != this;
    if (listening)
        StopListening();
    QByteArray request = CodeRequest(std::max<int>(d->featureLength, 14));
    const bool ok = Transaction(request, 10);
    if (listening)
        StartListening();
    return ok ? CodeOfReply(request) : QString();
}

bool ZR_2_0_MouseThread::HandleStatus(const uchar *b, int n)
{
    DeviceRecord *d = m_Device;
    if (!d || !b || n < 5 || b[1] != 0x0A)
        return false;
    switch (b[2]) {
    case 2:
        if (b[3] == 1) {
            if (d->CodeText().isEmpty()) {
                msleep(static_cast<unsigned long>(Ms(100)));
                QString code;
                ReadCodeAndBattery(code);
                d->SetCodeText(code == QLatin1String("000000000000") ? QString() : code);
                if (d->Name().isEmpty()) {
                    const ProductRecord product = ZR_2_0_KeyboradThread::FindProductRecord(code);
                    if (!product.name.isEmpty())
                        PostDeviceName(d, product.name);
                }
                Q_EMIT Device_Product_Chenge(m_DeviceId);
            }
            d->connectionState = StateWirelessAwake;
            Q_EMIT Device_Put_Chenge(m_DeviceId, true);
        } else {
            d->connectionState = StateWirelessAsleep;
            Q_EMIT Device_Put_Chenge(m_DeviceId, false);
        }
        break;
    case 3:
        Q_EMIT Mouse_Dpi_Chenge(m_DeviceId, static_cast<uchar>(b[3]));
        break;
    case 5:
        if (const std::shared_ptr<MouseConfigRecord> r = RecordOf(d))
            r->batteryLevel = b[3];
        d->batteryLevel = b[3];
        d->batteryStatus1 = b[4] & 0x0F;
        d->batteryStatus2 = b[4] >> 4;
        Q_EMIT mouse_Pow_Chenge(m_DeviceId, b[3]);
        break;
    case 6:
        d->statusByte = b[3];
        Q_EMIT Code_Check_Retult(m_DeviceId, b[3] != 0);
        break;
    default:
        break;
    }
    return true;
}

void ZR_2_0_MouseThread::run()
{
    uchar buffer[20];
    while (m_ListenFlag) {
        DeviceRecord *d = m_Device;
        if (!d)
            break;
        std::memset(buffer, 0, sizeof buffer);
        const int n = ReadReportWithStatus(d, buffer, 20, 50);
        if (n < 0) {
            WriteLogLine(QStringLiteral("mouse listener ends: ") + d->LastError());
            break; // the device is gone: every further read fails at once
        }
        if (n > 0)
            HandleStatus(buffer, n);
    }
}

void ZR_2_0_MouseThread::StartListening()
{
    m_ListenFlag = 1;
    start(QThread::InheritPriority);
}

void ZR_2_0_MouseThread::StopListening()
{
    m_ListenFlag = 0;
    wait(1000);
    quit();
}
