// Models of the devices' firmware and the descriptors they present.
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuMouse20.h"
#include "tests/emu/EmuMouseYx.h"
#include "tests/emu/EmuKeyboard.h"

#include <QDebug>
#include <QStringList>
#include <QtGlobal>

#include <algorithm>
#include <mutex>

namespace emu {

std::recursive_mutex &EmuMutex();

namespace {

// ---- descriptor items (HID 1.11, 6.2.2) -------------------------------------------------------

void Item(QByteArray &d, uint8_t tagType, uint32_t value, int forceSize = -1)
{
    int size = forceSize;
    if (size < 0)
        size = value == 0 ? 0 : (value <= 0xFF ? 1 : (value <= 0xFFFF ? 2 : 4));
    const uint8_t sizeCode = size == 4 ? 3 : static_cast<uint8_t>(size);
    d.append(static_cast<char>(tagType | sizeCode));
    for (int i = 0; i < size; ++i)
        d.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

enum : uint8_t {
    kUsagePage = 0x04, kLogicalMin = 0x14, kLogicalMax = 0x24, kReportSize = 0x74, kReportId = 0x84,
    kReportCount = 0x94, kUsage = 0x08, kUsageMin = 0x18, kUsageMax = 0x28,
    kInput = 0x80, kOutput = 0x90, kFeature = 0xB0, kCollection = 0xA0, kEndCollection = 0xC0
};

void VendorReport(QByteArray &d, uint8_t mainTag, uint8_t usage, int bytes)
{
    if (bytes <= 0)
        return;
    Item(d, kUsage, usage, 1);
    Item(d, kLogicalMin, 0, 1);
    Item(d, kLogicalMax, 0xFF, 2); // 255 as a positive 16-bit number
    Item(d, kReportSize, 8);
    Item(d, kReportCount, static_cast<uint32_t>(bytes));
    Item(d, mainTag, 0x02, 1); // data, variable, absolute
}

} // namespace

QByteArray VendorTlc(uint16_t usagePage, uint8_t usage, uint8_t reportId, int inputBytes, int outputBytes,
                     int featureBytes)
{
    QByteArray d;
    Item(d, kUsagePage, usagePage, 2);
    Item(d, kUsage, usage, 1);
    Item(d, kCollection, 0x01, 1); // application
    if (reportId)
        Item(d, kReportId, reportId, 1);
    VendorReport(d, kInput, 0x01, inputBytes);
    VendorReport(d, kOutput, 0x02, outputBytes);
    VendorReport(d, kFeature, 0x03, featureBytes);
    Item(d, kEndCollection, 0, 0);
    return d;
}

QByteArray VendorTlcWithOutput(uint16_t usagePage, uint8_t usage, uint8_t reportId, int inputBytes, int outputBytes,
                               uint8_t extraOutputId, int extraOutputBytes)
{
    QByteArray d;
    Item(d, kUsagePage, usagePage, 2);
    Item(d, kUsage, usage, 1);
    Item(d, kCollection, 0x01, 1);
    Item(d, kReportId, reportId, 1);
    VendorReport(d, kInput, 0x01, inputBytes);
    VendorReport(d, kOutput, 0x02, outputBytes);
    Item(d, kReportId, extraOutputId, 1);
    VendorReport(d, kOutput, 0x04, extraOutputBytes);
    Item(d, kEndCollection, 0, 0);
    return d;
}

QByteArray BootKeyboardTlc(uint8_t reportId)
{
    QByteArray d;
    Item(d, kUsagePage, 0x01, 1); // generic desktop
    Item(d, kUsage, 0x06, 1);     // keyboard
    Item(d, kCollection, 0x01, 1);
    if (reportId)
        Item(d, kReportId, reportId, 1);
    Item(d, kUsagePage, 0x07, 1); // key codes: 8 modifier bits
    Item(d, kUsageMin, 0xE0, 1);
    Item(d, kUsageMax, 0xE7, 1);
    Item(d, kLogicalMin, 0, 1);
    Item(d, kLogicalMax, 1, 1);
    Item(d, kReportSize, 1);
    Item(d, kReportCount, 8);
    Item(d, kInput, 0x02, 1);
    Item(d, kReportCount, 1); // reserved byte
    Item(d, kReportSize, 8);
    Item(d, kInput, 0x01, 1);
    Item(d, kUsagePage, 0x08, 1); // LEDs: 5 bits + 3 padding
    Item(d, kUsageMin, 1, 1);
    Item(d, kUsageMax, 5, 1);
    Item(d, kReportCount, 5);
    Item(d, kReportSize, 1);
    Item(d, kOutput, 0x02, 1);
    Item(d, kReportCount, 1);
    Item(d, kReportSize, 3);
    Item(d, kOutput, 0x01, 1);
    Item(d, kReportCount, 6); // six key codes
    Item(d, kReportSize, 8);
    Item(d, kLogicalMin, 0, 1);
    Item(d, kLogicalMax, 0xFF, 2);
    Item(d, kUsagePage, 0x07, 1);
    Item(d, kUsageMin, 0, 1);
    Item(d, kUsageMax, 0xFF, 1);
    Item(d, kInput, 0x00, 1);
    Item(d, kEndCollection, 0, 0);
    return d;
}

QByteArray BootMouseTlc(uint8_t reportId)
{
    QByteArray d;
    Item(d, kUsagePage, 0x01, 1);
    Item(d, kUsage, 0x02, 1); // mouse
    Item(d, kCollection, 0x01, 1);
    if (reportId)
        Item(d, kReportId, reportId, 1);
    Item(d, kUsage, 0x01, 1); // pointer
    Item(d, kCollection, 0x00, 1); // physical
    Item(d, kUsagePage, 0x09, 1); // buttons
    Item(d, kUsageMin, 1, 1);
    Item(d, kUsageMax, 3, 1);
    Item(d, kLogicalMin, 0, 1);
    Item(d, kLogicalMax, 1, 1);
    Item(d, kReportCount, 3);
    Item(d, kReportSize, 1);
    Item(d, kInput, 0x02, 1);
    Item(d, kReportCount, 1);
    Item(d, kReportSize, 5);
    Item(d, kInput, 0x01, 1);
    Item(d, kUsagePage, 0x01, 1);
    Item(d, kUsage, 0x30, 1);
    Item(d, kUsage, 0x31, 1);
    Item(d, kUsage, 0x38, 1);
    Item(d, kLogicalMin, 0x81, 1);
    Item(d, kLogicalMax, 0x7F, 1);
    Item(d, kReportSize, 8);
    Item(d, kReportCount, 3);
    Item(d, kInput, 0x06, 1);
    Item(d, kEndCollection, 0, 0);
    Item(d, kEndCollection, 0, 0);
    return d;
}

// ---- Device20 --------------------------------------------------------------------------------

namespace {
struct ModelInfo
{
    uint16_t pid;
    bool keyboard;
    bool wired;
    QString product;
};

ModelInfo InfoOf(Model m)
{
    switch (m) {
    case Model::KeyboardWired: return {0x0101, true, true, QStringLiteral("QUORIX QK75")};
    case Model::KeyboardReceiver: return {0x0102, true, false, QStringLiteral("QUORIX QK75 Receiver")};
    case Model::MouseWired: return {0x0201, false, true, QStringLiteral("QUORIX QM8")};
    case Model::MouseReceiver: return {0x0202, false, false, QStringLiteral("QUORIX QM8 Receiver")};
    case Model::SecondFamilyWired: return {0x0301, false, true, QStringLiteral("QUORIX QX3")};
    case Model::SecondFamilyReceiver: return {0x0302, false, false, QStringLiteral("QUORIX QX3 Receiver")};
    }
    return {0, false, false, QString()};
}

QByteArray DescriptorOf(Model m)
{
    switch (m) {
    case Model::KeyboardWired:
        // 520-byte feature TLC (rid 6) + 20/20 TLC (rid 5) + boot keyboard (rid 1)
        return VendorTlc(0xFF00, 0x01, 6, 0, 0, 519) + VendorTlc(0xFF00, 0x02, 5, 19, 19, 0) + BootKeyboardTlc(1);
    case Model::KeyboardReceiver:
        return VendorTlc(0xFF00, 0x02, 5, 19, 19, 0) + BootKeyboardTlc(1);
    case Model::MouseWired:
        return VendorTlc(0xFF00, 0x01, 6, 19, 19, 519) + BootMouseTlc(1);
    case Model::MouseReceiver:
        return VendorTlc(0xFF00, 0x01, 5, 19, 19, 519) + BootMouseTlc(1);
    case Model::SecondFamilyWired:
        return VendorTlc(0xFF02, 0x01, 3, 0, 0, 63) + VendorTlcWithOutput(0xFF02, 0x02, 3, 31, 63, 9, 63);
    case Model::SecondFamilyReceiver:
        return VendorTlc(0xFF02, 0x01, 3, 0, 0, 63) + VendorTlcWithOutput(0xFF02, 0x02, 3, 11, 63, 9, 63);
    }
    return QByteArray();
}

QByteArray Report20(uint8_t rid, uint8_t cmd)
{
    QByteArray r(20, '\0');
    r[0] = static_cast<char>(rid);
    r[1] = static_cast<char>(cmd);
    return r;
}

void Seal(QByteArray &r)
{
    r[19] = static_cast<char>(Sum19(r));
}

uint8_t U(const QByteArray &b, int i)
{
    return i < b.size() ? static_cast<uint8_t>(b.at(i)) : 0;
}

uint8_t SumFrom2(const QByteArray &b)
{
    unsigned s = 0;
    for (int i = 2; i < b.size(); ++i)
        s += U(b, i);
    return static_cast<uint8_t>(s);
}
} // namespace

Device20::Device20(Model model)
    : Device(0x3A7C, InfoOf(model).pid, 0x0100, InfoOf(model).product, DescriptorOf(model)),
      m_keyboard(InfoOf(model).keyboard), m_wired(InfoOf(model).wired)
{
    m_shortRid = m_wired && !m_keyboard ? 6 : 5;
    m_featureRid = m_wired ? 6 : 5;
    m_code = m_keyboard ? QByteArray::fromHex("3a7c01010001") : QByteArray::fromHex("3a7c02010001");
}

void Device20::SetCode(const QByteArray &six)
{
    std::lock_guard<std::recursive_mutex> lock(EmuMutex());
    m_code = six.left(6).leftJustified(6, '\0');
}

QByteArray Device20::Code() const
{
    std::lock_guard<std::recursive_mutex> lock(EmuMutex());
    return m_code;
}

void Device20::SetAwake(bool awake)
{
    std::lock_guard<std::recursive_mutex> lock(EmuMutex());
    m_awake = awake;
}

void Device20::SetPresent(bool present)
{
    std::lock_guard<std::recursive_mutex> lock(EmuMutex());
    m_present = present;
}

void Device20::SetBattery(uint8_t level)
{
    std::lock_guard<std::recursive_mutex> lock(EmuMutex());
    m_battery = level;
}

void Device20::InjectNotice(uint8_t subCode, uint8_t value, uint8_t extra1, uint8_t extra2, int delayMs)
{
    QByteArray r = Report20(m_shortRid, 0x0A);
    r[5] = static_cast<char>(subCode);
    r[6] = static_cast<char>(value);
    r[7] = static_cast<char>(extra1);
    r[8] = static_cast<char>(extra2);
    Seal(r);
    PushInput(r, delayMs);
}

void Device20::SetTable(uint8_t command, const QByteArray &data)
{
    std::lock_guard<std::recursive_mutex> lock(EmuMutex());
    m_tables[command] = data;
}

int Device20::TableRequests(uint8_t command) const
{
    std::lock_guard<std::recursive_mutex> lock(EmuMutex());
    return m_tableRequests.value(command);
}

QByteArray Device20::Upload(uint8_t command, int block) const
{
    std::lock_guard<std::recursive_mutex> lock(EmuMutex());
    return m_uploads.value(command * 16 + block);
}

int Device20::UploadCount(uint8_t command) const
{
    std::lock_guard<std::recursive_mutex> lock(EmuMutex());
    return m_uploadCount.value(command);
}

QByteArray Device20::FeatureImage(uint8_t command) const
{
    std::lock_guard<std::recursive_mutex> lock(EmuMutex());
    return m_images.value(command);
}

QByteArray Device20::KeyLayer(int layer) const
{
    std::lock_guard<std::recursive_mutex> lock(EmuMutex());
    return m_layers.value(layer);
}

int Device20::PacketWrites() const
{
    std::lock_guard<std::recursive_mutex> lock(EmuMutex());
    return m_packetWrites;
}

void Device20::Reply(const QByteArray &report)
{
    if (m_knobs.noticeBeforeReply) {
        QByteArray n = Report20(m_shortRid, 0x0A);
        n[5] = 2;
        n[6] = 1;
        Seal(n);
        PushInput(n, m_knobs.replyDelayMs);
    }
    PushInput(report, m_knobs.replyDelayMs);
}

bool Device20::EchoFaulty()
{
    ++m_sendings;
    return m_knobs.echoFaultSendings < 0 || m_sendings <= m_knobs.echoFaultSendings;
}

int Device20::OnWrite(const QByteArray &data)
{
    const uint8_t rid = U(data, 0);
    if (rid == 1 && data.size() == 2)
        return data.size(); // boot keyboard LED report
    if (data.size() != 20) {
        Fail(QStringLiteral("output report of %1 bytes (want 20): %2").arg(data.size()).arg(QString::fromLatin1(data.toHex(' '))));
        return data.size();
    }
    if (rid != m_shortRid) {
        Fail(QStringLiteral("output report id %1 (want %2)").arg(rid).arg(m_shortRid));
        return data.size();
    }
    if (U(data, 19) != Sum19(data)) {
        Fail(QStringLiteral("output report with a wrong sum: %1").arg(QString::fromLatin1(data.toHex(' '))));
        return data.size();
    }
    const uint8_t cmd = U(data, 1);
    if (cmd == 0x05) { // device-code request
        if (U(data, 2) != 0x01)
            Fail(QStringLiteral("code request with argument %1").arg(U(data, 2)));
        for (int i = 3; i < 19; ++i)
            if (U(data, i) != 0) {
                Fail(QStringLiteral("code request with a non-zero byte %1").arg(i));
                break;
            }
        if (!m_awake)
            return data.size(); // asleep: silence
        QByteArray r = Report20(m_shortRid, 0x05);
        for (int i = 0; i < 6; ++i)
            r[5 + i] = m_present ? m_code.at(i) : '\0';
        if (!m_knobs.plainAnswers) { // a plain answer has neither argument echo nor sum
            r[2] = 0x01;
            Seal(r);
        }
        Reply(r);
        return data.size();
    }
    if (cmd == 0x06) { // tasks 249/255: no reply
        if (U(data, 2) != 0x01)
            Fail(QStringLiteral("command 0x06 with argument %1").arg(U(data, 2)));
        return data.size();
    }
    if (m_tables.contains(cmd)) {
        HandleTableRequest(cmd);
        return data.size();
    }
    switch (cmd) {
    case 0x01: case 0x02: case 0x03: case 0x04: case 0x09:
        HandleUploadPacket(data);
        break;
    default:
        Fail(QStringLiteral("unknown 20-byte command 0x%1").arg(cmd, 2, 16, QLatin1Char('0')));
    }
    return data.size();
}

void Device20::HandleUploadPacket(const QByteArray &data)
{
    ++m_packetWrites;
    const uint8_t cmd = U(data, 1);
    const int count = U(data, 2);
    const int index = U(data, 3);
    const int block = U(data, 4) >> 4;
    const int len = U(data, 4) & 0x0F;
    const int key = cmd * 16 + block;
    if (count < 1 || index >= count) {
        Fail(QStringLiteral("packet index %1 of count %2").arg(index).arg(count));
        return;
    }
    if (len < 1 || len > 14) {
        Fail(QStringLiteral("packet data length %1").arg(len));
        return;
    }
    if (len < 14 && index != count - 1)
        Fail(QStringLiteral("short packet %1 (%2 bytes) before the last").arg(index).arg(len));
    for (int i = 5 + len; i < 19; ++i)
        if (U(data, i) != 0) {
            Fail(QStringLiteral("packet %1 has data after its length").arg(index));
            break;
        }
    Transfer &t = m_transfers[key];
    if (index == 0 && (t.next != 1 || t.complete)) { // a new transfer (0 right after 0 is a resend)
        t = Transfer();
        t.count = count;
    } else if (t.count == 0 || (t.complete && index != t.count - 1)) {
        Fail(QStringLiteral("packet %1 out of order (expected 0)").arg(index));
        return;
    }
    if (count != t.count) {
        Fail(QStringLiteral("packet count changed from %1 to %2 within a transfer").arg(t.count).arg(count));
        t = Transfer();
        return;
    }
    if (index == t.next) {
        t.data.append(data.mid(5, len));
        ++t.next;
    } else if (index != t.next - 1) { // neither the next packet nor a retransmission
        Fail(QStringLiteral("packet %1 out of order (expected %2)").arg(index).arg(t.next));
        return;
    }
    // echo
    const bool faulty = EchoFaulty();
    if (faulty) {
        for (int i = 0; i < m_knobs.mismatchingEchoes; ++i) {
            QByteArray wrong = data;
            wrong[5] = static_cast<char>(U(wrong, 5) ^ 0x5A);
            Seal(wrong);
            PushInput(wrong, m_knobs.replyDelayMs);
        }
    }
    if (!(faulty && m_knobs.noEcho)) {
        QByteArray echo = data;
        if (faulty && m_knobs.wrongChecksumEcho)
            echo[19] = static_cast<char>(U(echo, 19) + 1);
        Reply(echo);
    }
    if (t.next == t.count && index == t.count - 1) {
        if (cmd == 0x01) { // key table: bytes 8..519 of a 520-byte table
            if (t.count != 37 || len != 8)
                Fail(QStringLiteral("key table of %1 packets, last %2 bytes").arg(t.count).arg(len));
            const QByteArray tail = t.data.right(4);
            if (tail != QByteArray::fromHex("00005aa5"))
                Fail(QStringLiteral("key table without the 00 00 5A A5 trailer"));
            QByteArray table(8, '\0');
            table[1] = 0x03;
            table[2] = static_cast<char>(block);
            table.append(t.data);
            m_layers[block] = table;
        }
        m_uploads[key] = t.data;
        ++m_uploadCount[cmd];
        t.complete = true; // a resend of the last packet is still a retransmission
    }
}

void Device20::HandleTableRequest(uint8_t command)
{
    const int requestNo = ++m_tableRequests[command];
    const QByteArray data = m_tables.value(command);
    const int packets = (data.size() + 13) / 14;
    QVector<QByteArray> out;
    for (int i = 0; i < packets; ++i) {
        QByteArray r = Report20(m_shortRid, command);
        r[2] = static_cast<char>(i);
        r[3] = static_cast<char>(i);
        const QByteArray part = data.mid(i * 14, 14);
        r[4] = static_cast<char>(part.size());
        for (int k = 0; k < part.size(); ++k)
            r[5 + k] = part.at(k);
        out.append(r);
    }
    if (m_knobs.shortTable && !out.isEmpty())
        out.removeLast();
    if (m_knobs.duplicateTable && out.size() > 1)
        out.insert(2, out.at(1));
    if (m_knobs.shuffleTable)
        std::reverse(out.begin(), out.end());
    // byte 2 runs with the order of sending, byte 3 is the packet's index in the table
    for (int k = 0; k < out.size(); ++k) {
        QByteArray &r = out[k];
        r[2] = static_cast<char>(k);
        Seal(r);
        if (U(r, 3) == 0 && m_knobs.corruptTable && requestNo == 1)
            r[19] = static_cast<char>(U(r, 19) ^ 0xFF);
        PushInput(r, m_knobs.replyDelayMs);
    }
}

int Device20::OnSendFeature(const QByteArray &data)
{
    if (data.size() != 520) {
        Fail(QStringLiteral("feature report of %1 bytes (want 520)").arg(data.size()));
        return data.size();
    }
    if (U(data, 0) != m_featureRid) {
        Fail(QStringLiteral("feature report id %1 (want %2)").arg(U(data, 0)).arg(m_featureRid));
        return data.size();
    }
    if (m_keyboard)
        HandleKeyboardFeature(data);
    else
        HandleMouseFeature(data);
    return data.size();
}

void Device20::HandleKeyboardFeature(const QByteArray &data)
{
    if (!m_wired) {
        Fail(QStringLiteral("feature report to the keyboard receiver"));
        return;
    }
    const uint8_t cmd = U(data, 1);
    m_featureReply = QByteArray(520, '\0');
    m_featureReply[0] = static_cast<char>(m_featureRid);
    m_featureReply[1] = static_cast<char>(cmd);
    switch (cmd) {
    case 0x82: // device id: 01 in byte 2, 1 in byte 4, 6 in byte 6
        if (U(data, 2) != 0x01 || U(data, 4) != 1 || U(data, 6) != 6)
            Fail(QStringLiteral("device-id request with a wrong header"));
        if (m_knobs.plainAnswers)
            m_featureReply[1] = 0; // the code alone, without the command
        for (int i = 0; i < 6; ++i)
            m_featureReply[8 + i] = m_code.at(i);
        break;
    case 0x84: case 0x8A: case 0x86: { // reads of the block and the colour maps
        const QByteArray image = m_images.value(cmd & 0x7F, QByteArray(520, '\0'));
        m_featureReply = image;
        m_featureReply[0] = static_cast<char>(m_featureRid);
        m_featureReply[1] = static_cast<char>(cmd);
        break;
    }
    case 0x04: case 0x0A: case 0x06:
        m_images[cmd] = data;
        break;
    case 0x03: { // key table
        if (data.mid(3, 5) != QByteArray::fromHex("000100f801"))
            Fail(QStringLiteral("key table with header %1").arg(QString::fromLatin1(data.mid(3, 5).toHex(' '))));
        if (data.mid(516, 4) != QByteArray::fromHex("00005aa5"))
            Fail(QStringLiteral("key table without the 00 00 5A A5 trailer"));
        m_layers[U(data, 2)] = data;
        break;
    }
    case 0x05: // macro pieces
        m_uploads[0x05 * 16 + U(data, 5)] = data;
        ++m_uploadCount[0x05];
        break;
    default:
        Fail(QStringLiteral("unknown keyboard feature command 0x%1").arg(cmd, 2, 16, QLatin1Char('0')));
    }
}

void Device20::HandleMouseFeature(const QByteArray &data)
{
    // byte 1 = the 8-bit sum of bytes 2 to 519, byte 2 = command
    if (U(data, 1) != SumFrom2(data)) {
        Fail(QStringLiteral("mouse feature report with sum %1 (want %2)").arg(U(data, 1)).arg(SumFrom2(data)));
        return;
    }
    const uint8_t cmd = U(data, 2);
    m_featureReply = QByteArray(520, '\0');
    m_featureReply[0] = static_cast<char>(m_featureRid);
    m_featureReply[2] = static_cast<char>(m_knobs.plainAnswers ? 0 : cmd);
    switch (cmd) {
    case 0x07: m_featureReply[8] = m_awake ? 1 : 0; break;    // awake test
    case 0x09: m_featureReply[8] = static_cast<char>(m_battery); break; // battery
    case 0x05:
        for (int i = 0; i < 6; ++i)
            m_featureReply[8 + i] = m_code.at(i);
        break;
    default:
        m_images[cmd] = data;
    }
}

int Device20::OnGetFeature(QByteArray &data)
{
    if (U(data, 0) != m_featureRid) {
        Fail(QStringLiteral("get feature report id %1 (want %2)").arg(U(data, 0)).arg(m_featureRid));
        return -1;
    }
    QByteArray reply = m_featureReply.isEmpty() ? QByteArray(520, '\0') : m_featureReply;
    reply[0] = static_cast<char>(m_featureRid);
    const int n = std::min(data.size(), reply.size());
    for (int i = 0; i < n; ++i)
        data[i] = reply.at(i);
    return n;
}

std::shared_ptr<Device> MakeDevice(Model model)
{
    if (model == Model::KeyboardWired || model == Model::KeyboardReceiver)
        return std::make_shared<EmuKeyboard>(model);
    if (model == Model::SecondFamilyWired || model == Model::SecondFamilyReceiver)
        return std::make_shared<MouseYx>(model == Model::SecondFamilyWired);
    if (model == Model::MouseWired || model == Model::MouseReceiver)
        return std::make_shared<EmuMouse20>(model);
    return std::make_shared<Device20>(model);
}

std::shared_ptr<Device> MakePlainDevice(uint16_t vid, uint16_t pid, const QByteArray &descriptor, const QString &product)
{
    return std::make_shared<Device>(vid, pid, 0x0100, product, descriptor);
}

} // namespace emu

QMultiMap<QString, uint32_t> EmuPlugFromEnvironment()
{
    QMultiMap<QString, uint32_t> plugged;
    const QStringList names = QString::fromLocal8Bit(qgetenv("QUORIX_EMU")).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &raw : names) {
        const QString name = raw.trimmed().toLower();
        uint32_t node = 0;
        if (name == QLatin1String("keyboard"))
            node = emu::Plug(emu::MakeDevice(emu::Model::KeyboardWired), false);
        else if (name == QLatin1String("keyboard-receiver"))
            node = emu::Plug(emu::MakeDevice(emu::Model::KeyboardReceiver), false);
        else if (name == QLatin1String("mouse"))
            node = emu::Plug(emu::MakeDevice(emu::Model::MouseWired), false);
        else if (name == QLatin1String("mouse-receiver"))
            node = emu::Plug(emu::MakeDevice(emu::Model::MouseReceiver), false);
        else if (name == QLatin1String("mouse2"))
            node = emu::Plug(emu::MakeDevice(emu::Model::SecondFamilyWired), false);
        else if (name == QLatin1String("mouse2-receiver"))
            node = emu::Plug(emu::MakeDevice(emu::Model::SecondFamilyReceiver), false);
        else
            qWarning().noquote() << "QUORIX_EMU: unknown device" << name;
        if (node)
            plugged.insert(name, node);
    }
    return plugged;
}
