// Model of the second-family mouse's firmware: the 56-byte settings image read in six 10-byte
// blocks, the 20-byte information block, the settings frames and the image pieces.
#include "tests/emu/EmuMouseYx.h"

#include "platform/HidPlatform.h"

#include <algorithm>
#include <mutex>
#include <thread>

namespace emu {

std::recursive_mutex &EmuMutex();

namespace {
uint8_t B(const QByteArray &b, int i)
{
    return i >= 0 && i < b.size() ? static_cast<uint8_t>(b.at(i)) : 0;
}
uint8_t SumFrom2(const QByteArray &b)
{
    unsigned s = 0;
    for (int i = 2; i < b.size(); ++i)
        s += B(b, i);
    return static_cast<uint8_t>(s);
}
QByteArray YxDescriptor(bool wired)
{
    // output report 9 carries the status probe and the bootloader request
    return VendorTlc(0xFF02, 0x01, 3, 0, 0, 63) + VendorTlcWithOutput(0xFF02, 0x02, 3, wired ? 31 : 11, 63, 9, 63);
}
} // namespace

MouseYx::MouseYx(bool wired)
    : Device(0x3A7C, wired ? 0x0301 : 0x0302, 0x0100,
             wired ? QStringLiteral("QUORIX QX3") : QStringLiteral("QUORIX QX3 Receiver"), YxDescriptor(wired)),
      m_wired(wired), m_flash(!wired)
{
    m_flash.pid = productId();
    m_code = QByteArray::fromHex("3a7c03010001");
    m_image = QByteArray(56, '\0');
    m_image[0] = 1;          // sensor flag
    m_image[1] = 0x00;       // 1000 Hz
    m_image[2] = 0x24;       // stage 2 of 4
    m_image[3] = 1;          // lift-off
    m_image[4] = 6;          // debounce
    m_image[5] = char(0x61); // mode 1, motion sync, angle snapping
    m_image[8] = 60;         // sleep 30
    const int dpi[] = {400, 800, 1600, 3200};
    for (int k = 0; k < 4; ++k) {
        m_image[11 + 2 * k] = char((dpi[k] / 50 - 1) & 0xFF);
        m_image[12 + 2 * k] = char((dpi[k] / 50 - 1) >> 8);
    }
    m_info = QByteArray(20, '\0');
    for (int i = 0; i < 6; ++i)
        m_info[2 + i] = m_code.at(i); // information block 0 carries the code from reply byte 8
    m_info[10] = 77;                  // battery
    m_info[12] = 7;                   // 8000 Hz
    m_info[14] = char((26000 / 50 - 1) & 0xFF);
    m_info[15] = char((26000 / 50 - 1) >> 8);
}

void MouseYx::SetImage(const QByteArray &image56) { std::lock_guard<std::recursive_mutex> l(EmuMutex()); m_image = image56.left(56).leftJustified(56, '\0'); }
QByteArray MouseYx::Image() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_image; }
void MouseYx::SetInfo(const QByteArray &info20) { std::lock_guard<std::recursive_mutex> l(EmuMutex()); m_info = info20.left(20).leftJustified(20, '\0'); }
QByteArray MouseYx::Info() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_info; }
void MouseYx::SetAwake(bool awake) { std::lock_guard<std::recursive_mutex> l(EmuMutex()); m_awake = awake; }
int MouseYx::FactoryResets() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_resets; }
int MouseYx::DefaultRestores() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_defaults; }
void MouseYx::SetBadReplyTag(bool on) { std::lock_guard<std::recursive_mutex> l(EmuMutex()); m_badTag = on; }
void MouseYx::SetBadReplySum(bool on) { std::lock_guard<std::recursive_mutex> l(EmuMutex()); m_badSum = on; }
void MouseYx::SetFeatureDelayMs(int ms) { std::lock_guard<std::recursive_mutex> l(EmuMutex()); m_delayMs = ms; }

void MouseYx::SetBusyPolls(int polls) { std::lock_guard<std::recursive_mutex> l(EmuMutex()); m_busyPolls = polls; }
void MouseYx::SetNeverReadyFrom(int spell)
{
    std::lock_guard<std::recursive_mutex> l(EmuMutex());
    m_neverReadyFrom = spell;
    if (m_neverReady) { // a mouse stuck busy recovers
        m_neverReady = false;
        m_busyLeft = 0;
    }
}
void MouseYx::SetVanishAfterFrames(int frames) { std::lock_guard<std::recursive_mutex> l(EmuMutex()); m_vanishAfter = frames; }
int MouseYx::ReadinessPolls() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_readinessPolls; }
QByteArray MouseYx::MacroData() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_macro; }
int MouseYx::Uploads() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_uploads; }
QMap<uint8_t, QByteArray> MouseYx::KeyAssignments() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_keys; }

void MouseYx::WithFlash(const std::function<void(PixArtFlash &)> &f)
{
    std::lock_guard<std::recursive_mutex> l(EmuMutex());
    f(m_flash);
}

uint32_t MouseYx::NodeAfterReboot() const
{
    std::lock_guard<std::recursive_mutex> l(EmuMutex());
    return m_nodeAfterReboot;
}

// Leaves (and comes back with its new release) on a thread of its own, outside the emulator's
// lock, with real hot-plug notices. Nothing happens once the test has forgotten the node.
void MouseYx::LeaveLater(bool comeBack, int afterMs)
{
    const uint32_t node = this->node();
    std::thread([this, node, comeBack, afterMs] {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::max(1, platform::HidScaledMs(afterMs))));
        std::shared_ptr<Device> self = DeviceOf(node);
        if (self.get() != this)
            return;
        Unplug(node);
        if (!comeBack)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::max(1, platform::HidScaledMs(afterMs))));
        {
            std::lock_guard<std::recursive_mutex> l(EmuMutex());
            SetRelease(m_flash.version);
        }
        const uint32_t again = Plug(self);
        std::lock_guard<std::recursive_mutex> l(EmuMutex());
        m_nodeAfterReboot = again;
    }).detach();
}

void MouseYx::SetGeehyVersion(uint8_t version) { std::lock_guard<std::recursive_mutex> l(EmuMutex()); m_geehyVersion = version; }
uint8_t MouseYx::GeehyVersion() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_geehyVersion; }
void MouseYx::SetIgnoreBootloaderRequest(bool on) { std::lock_guard<std::recursive_mutex> l(EmuMutex()); m_ignoreBootRequest = on; }
void MouseYx::SetBootKnobs(const GeehyKnobs &knobs) { std::lock_guard<std::recursive_mutex> l(EmuMutex()); m_bootKnobs = knobs; }
std::shared_ptr<GeehyBoot> MouseYx::Bootloader() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_boot; }

int MouseYx::OnWrite(const QByteArray &data)
{
    if (B(data, 0) != 9)
        return Device::OnWrite(data);
    if (data.size() == 64 && B(data, 1) == 0xB1) { // status probe: the Geehy firmware version in byte 3
        QByteArray r(m_wired ? 32 : 12, '\0');
        r[0] = 3;
        r[1] = char(0xB1);
        r[3] = char(m_geehyVersion);
        PushInput(r);
        return data.size();
    }
    unsigned sum = 0;
    for (int i = 1; i < 64; ++i)
        sum += B(data, i);
    bool argsZero = true;
    for (int i = 2; i < 64; ++i)
        argsZero = argsZero && !B(data, i);
    if (data.size() != 65 || B(data, 1) != 0x11 || B(data, 64) != (sum & 0xFF) || !argsZero) {
        Fail(QStringLiteral("output report 9 %1").arg(QString::fromLatin1(data.left(8).toHex(' '))));
        return data.size();
    }
    if (m_ignoreBootRequest)
        return data.size();
    // Leaves and comes back as its bootloader, outside the emulator's lock.
    const uint32_t node = this->node();
    const int ms = m_bootKnobs.reenumerateMs;
    std::thread([this, node, ms] {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::max(1, platform::HidScaledMs(ms))));
        std::shared_ptr<Device> self = DeviceOf(node);
        if (self.get() != this)
            return;
        Unplug(node);
        auto boot = std::make_shared<GeehyBoot>(self);
        {
            std::lock_guard<std::recursive_mutex> l(EmuMutex());
            boot->knobs = m_bootKnobs;
            boot->setKnobs(m_knobs); // the same transfer pacing as the mouse
            m_boot = boot;
        }
        Plug(boot);
    }).detach();
    return data.size();
}

void MouseYx::SetBusy()
{
    if (m_neverReadyFrom == 0)
        m_neverReady = true;
    if (m_neverReadyFrom >= 0)
        --m_neverReadyFrom;
    m_busyLeft = m_neverReady ? 1 : m_busyPolls;
    m_spellPolls = 0;
}

// The "e:" block upload: (receiver: D) W (receiver: R) U, data, sum, end, each in its turn.
void MouseYx::HandleBlockFrame(const QByteArray &data)
{
    const QString text = QString::fromLatin1(data.mid(2, 16).toHex(' '));
    auto fail = [&](const QString &why) {
        Fail(QStringLiteral("block frame %1: %2").arg(text, why));
        m_block = Block::Idle;
    };
    auto zeroFrom = [&](int from) {
        for (int i = from; i < data.size(); ++i)
            if (B(data, i))
                return false;
        return true;
    };
    auto fixed = [&](const QByteArray &from2) { return data.mid(2, from2.size()) == from2 && zeroFrom(2 + from2.size()); };
    if (!m_awake && !m_wired) {
        fail(QStringLiteral("sent to an asleep mouse"));
        return;
    }
    const uint8_t seq = B(data, 4), way = B(data, 5), command = B(data, 6);
    const uint8_t wantWay = m_wired ? 0 : 1;
    if (way != wantWay) {
        fail(QStringLiteral("byte 5 is %1 (want %2)").arg(way).arg(wantWay));
        return;
    }
    if (seq == 0x00 && command == 0x44) { // D
        if (m_wired)
            fail(QStringLiteral("receiver frame D to a wired mouse"));
        else if (!fixed(QByteArray::fromHex("653a000144000944")))
            fail(QStringLiteral("wrong D"));
        else if (m_block != Block::Idle)
            fail(QStringLiteral("D inside an upload"));
        else
            m_block = Block::Opened;
    } else if (seq == 0x01 && command == 0x57) { // W with the size
        const uint32_t size = B(data, 11) | (B(data, 12) << 8) | (B(data, 13) << 16) | (uint32_t(B(data, 14)) << 24);
        if (data.mid(2, 9) != QByteArray::fromHex("653a01").append(char(way)).append(QByteArray::fromHex("5701065703")) || !zeroFrom(15))
            fail(QStringLiteral("wrong W"));
        else if (m_block != (m_wired ? Block::Idle : Block::Opened))
            fail(QStringLiteral("W out of order"));
        else if (size == 0 || size > 0xFFFF)
            fail(QStringLiteral("upload size %1").arg(size));
        else {
            m_block = Block::Sized;
            m_blockSize = size;
            m_blockData.clear();
        }
    } else if (seq == 0x02 && command == 0x52) { // R
        if (m_wired)
            fail(QStringLiteral("receiver frame R to a wired mouse"));
        else if (!fixed(QByteArray::fromHex("653a020152020252")))
            fail(QStringLiteral("wrong R"));
        else if (m_block != Block::Sized)
            fail(QStringLiteral("R out of order"));
        else
            m_block = Block::Received;
    } else if (seq == 0x03 && command == 0x55) { // U
        if (!fixed(QByteArray::fromHex("653a03").append(char(way)).append(QByteArray::fromHex("55030955000000000010"))))
            fail(QStringLiteral("wrong U"));
        else if (m_block != (m_wired ? Block::Sized : Block::Received))
            fail(QStringLiteral("U out of order"));
        else {
            m_block = Block::Data;
            SetBusy();
        }
    } else if (seq == 0x00 && command == 0x50) { // data
        const int n = B(data, 8);
        if (B(data, 7) != 0x04 || n < 1 || n > 25 || !zeroFrom(9 + n))
            fail(QStringLiteral("wrong data frame"));
        else if (m_block != Block::Data)
            fail(QStringLiteral("data out of order"));
        else if (uint32_t(m_blockData.size() + n) > m_blockSize)
            fail(QStringLiteral("data past the size %1").arg(m_blockSize));
        else
            m_blockData += data.mid(9, n);
    } else if (seq == 0x60 && command == 0x51) { // sum
        uint16_t sum = 0;
        for (char b : m_blockData)
            sum = uint16_t(sum + uint8_t(b));
        const uint16_t q = uint16_t(B(data, 10) | (B(data, 11) << 8));
        if (data.mid(2, 8) != QByteArray::fromHex("653a60").append(char(way)).append(QByteArray::fromHex("51600351")) || !zeroFrom(12))
            fail(QStringLiteral("wrong sum frame"));
        else if (m_block != Block::Data)
            fail(QStringLiteral("sum out of order"));
        else if (uint32_t(m_blockData.size()) != m_blockSize)
            fail(QStringLiteral("%1 bytes received of %2").arg(m_blockData.size()).arg(m_blockSize));
        else if (q != sum)
            fail(QStringLiteral("sum %1 (want %2)").arg(q).arg(sum));
        else {
            m_block = Block::Summed;
            SetBusy();
        }
    } else if (seq == 0x70 && command == 0x5E) { // end
        if (!fixed(QByteArray::fromHex("653a70").append(char(way)).append(QByteArray::fromHex("5e70015e"))))
            fail(QStringLiteral("wrong end frame"));
        else if (m_block != Block::Summed)
            fail(QStringLiteral("end out of order"));
        else {
            m_block = Block::Idle;
            m_macro = m_blockData;
            ++m_uploads;
            SetBusy();
        }
    } else {
        fail(QStringLiteral("unknown"));
    }
}

void MouseYx::SetCode(const QByteArray &six)
{
    std::lock_guard<std::recursive_mutex> l(EmuMutex());
    m_code = six.left(6).leftJustified(6, '\0');
    for (int i = 0; i < 6; ++i)
        m_info[2 + i] = m_code.at(i);
}

void MouseYx::InjectNotice(uint8_t kind, uint8_t value, int delayMs)
{
    QByteArray r(m_wired ? 32 : 12, '\0');
    r[0] = 3;
    r[1] = char(0xFA);
    r[2] = char(kind);
    r[3] = char(value);
    PushInput(r, delayMs);
}

int MouseYx::OnSendFeature(const QByteArray &data)
{
    if (m_delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(m_delayMs));
    if (m_vanishAfter == 0)
        return -1;
    if (m_vanishAfter > 0)
        --m_vanishAfter;
    if (data.size() != 64) {
        Fail(QStringLiteral("second-family feature report of %1 bytes (want 64)").arg(data.size()));
        return data.size();
    }
    if (B(data, 0) != 3)
        Fail(QStringLiteral("second-family report id %1 (want 3)").arg(B(data, 0)));
    if (B(data, 1) != SumFrom2(data)) {
        Fail(QStringLiteral("second-family frame with sum %1 (want %2): %3")
                 .arg(B(data, 1)).arg(SumFrom2(data)).arg(QString::fromLatin1(data.left(16).toHex(' '))));
        return data.size();
    }
    m_flashReply = m_flash.IsUpdateFrame(data);
    if (m_flashReply) {
        const QString error = m_flash.OnFrame(data);
        if (!error.isEmpty())
            Fail(QStringLiteral("firmware frame %1: %2").arg(QString::fromLatin1(data.left(12).toHex(' ')), error));
        if (m_flash.VanishNow()) {
            m_vanishAfter = 0;
            LeaveLater(false, 1);
            return -1;
        }
        return data.size();
    }
    const QByteArray head = data.mid(2, 5);
    m_reply = QByteArray(64, '\0');
    for (int i = 2; i < 7; ++i)
        m_reply[i] = data.at(i);
    auto expectZeroFrom = [&](int from) {
        for (int i = from; i < 64; ++i)
            if (B(data, i)) {
                Fail(QStringLiteral("second-family frame %1 with data in byte %2").arg(QString::fromLatin1(head.toHex(' '))).arg(i));
                return;
            }
    };
    if (m_busyLeft > 0) {
        // A worker that has waited its eleven readiness reads goes on; the busy mouse takes nothing.
        if (m_spellPolls < 11)
            Fail(QStringLiteral("second-family frame %1 while the mouse is busy").arg(QString::fromLatin1(head.toHex(' '))));
        return data.size();
    }
    if (B(data, 2) == 0x65 && B(data, 3) == 0x3A) {
        HandleBlockFrame(data);
        return data.size();
    }
    if (m_block != Block::Idle) {
        Fail(QStringLiteral("second-family frame %1 inside a block upload").arg(QString::fromLatin1(head.toHex(' '))));
        m_block = Block::Idle;
    }
    if (B(data, 2) != 0x50) {
        Fail(QStringLiteral("second-family frame with tag 0x%1").arg(B(data, 2), 2, 16, QLatin1Char('0')));
        return data.size();
    }
    const uint8_t len = B(data, 3), b4 = B(data, 4), b5 = B(data, 5), b6 = B(data, 6);
    if (len == 0x00 && b4 == 0x01 && b5 == 0x47) { // code and wake query
        expectZeroFrom(6);
        m_reply[6] = m_awake ? 1 : 0;
        for (int i = 0; i < 6; ++i)
            m_reply[7 + i] = m_awake ? m_code.at(i) : '\0';
    } else if (len == 0x00 && b4 == 0x02 && b5 == 0x4F && (b6 == 0x80 || b6 == 0x81)) { // information block
        expectZeroFrom(7);
        for (int i = 0; i < 10; ++i)
            m_reply[6 + i] = m_info.at(10 * (b6 - 0x80) + i);
    } else if (len == 0x00 && b4 >= 0x0A && b4 <= 0x0F && b5 == 0x4F && b6 == 0x40 + (b4 - 0x0A)) { // settings block
        expectZeroFrom(7);
        const int i0 = 10 * (b4 - 0x0A);
        for (int i = 0; i < 10; ++i)
            m_reply[6 + i] = i0 + i < 56 ? m_image.at(i0 + i) : '\0';
    } else if (len == 0x00 && b4 == 0x0F && b5 == 0x06 && (b6 == 0xFF || b6 == 0x01)) {
        expectZeroFrom(7);
        if (b6 == 0xFF)
            ++m_resets;
        else
            ++m_defaults;
    } else if (len == 0x01 && b4 == 0x31 && b5 == 0x35 && (b6 == 0x08 || b6 == 0x01)) {
        expectZeroFrom(8);
        m_image[b6 == 0x08 ? 8 : 1] = data.at(7);
    } else if (len == 0x03 && b4 == 0x32 && b5 == 0x35 && b6 == 0x03) {
        expectZeroFrom(10);
        for (int i = 0; i < 3; ++i)
            m_image[3 + i] = data.at(7 + i);
    } else if (len == 0x0A && b4 >= 0x90 && b4 <= 0x94 && b5 == 0x36 && b6 == 10 * (b4 - 0x90)) {
        expectZeroFrom(17);
        for (int i = 0; i < 10; ++i)
            m_image[b6 + i] = data.at(7 + i);
    } else if (len == 0x06 && b4 == 0x95 && b5 == 0x37 && b6 == 0x32) {
        expectZeroFrom(13);
        for (int i = 0; i < 6; ++i)
            m_image[50 + i] = data.at(7 + i);
    } else if (len == 0x04 && b4 == 0x20 && b5 == 0x30) { // key or macro key of key index b6
        expectZeroFrom(11);
        if (B(data, 7) == 0x03) {
            // a macro key names a macro of the last upload: its table starts with 4 bytes per macro
            const int macros = m_macro.size() >= 2 ? (B(m_macro, 0) | (B(m_macro, 1) << 8)) / 4 : 0;
            if (B(data, 10) >= macros)
                Fail(QStringLiteral("macro key %1 names macro %2 of %3 uploaded").arg(b6).arg(B(data, 10)).arg(macros));
        }
        m_keys[b6] = data.mid(7, 4);
        SetBusy();
    } else {
        Fail(QStringLiteral("unknown second-family frame %1").arg(QString::fromLatin1(head.toHex(' '))));
        m_reply.clear();
    }
    return data.size();
}

int MouseYx::OnGetFeature(QByteArray &data)
{
    if (m_delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(m_delayMs));
    if (m_vanishAfter == 0)
        return -1;
    if (B(data, 0) != 3) {
        Fail(QStringLiteral("second-family get with report id %1").arg(B(data, 0)));
        return -1;
    }
    if (m_flashReply) {
        const QByteArray reply = m_flash.OnGet();
        if (reply.isEmpty())
            return -1;
        const int n = std::min(data.size(), reply.size());
        for (int i = 0; i < n; ++i)
            data[i] = reply.at(i);
        if (m_flash.TakeReboot())
            LeaveLater(true, m_flash.knobs.reenumerateMs);
        return n;
    }
    QByteArray reply = m_reply.isEmpty() ? QByteArray(64, '\0') : m_reply;
    if (m_busyLeft > 0) {
        for (int i = 5; i < reply.size(); ++i)
            reply[i] = '\0';
        ++m_readinessPolls;
        ++m_spellPolls;
        if (!m_neverReady)
            --m_busyLeft;
    }
    reply[0] = 3;
    if (m_badTag)
        reply[2] = 0x51;
    reply[1] = static_cast<char>(SumFrom2(reply) + (m_badSum ? 1 : 0));
    if (m_knobs.plainAnswers) // no sum, no echo of the tag and header: only the answer's own bytes
        for (int i = 1; i < 5; ++i)
            reply[i] = '\0';
    const int n = std::min(data.size(), reply.size());
    for (int i = 0; i < n; ++i)
        data[i] = reply.at(i);
    return n;
}

} // namespace emu
