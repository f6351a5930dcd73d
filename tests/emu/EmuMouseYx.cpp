// Model of the second-family mouse's firmware: the 56-byte settings image read in six 10-byte
// blocks, the 20-byte information block, the settings frames and the image pieces.
#include "tests/emu/EmuMouseYx.h"

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
    return VendorTlc(0xFF02, 0x01, 3, 0, 0, 63) + VendorTlc(0xFF02, 0x02, 3, wired ? 31 : 11, 63, 0);
}
} // namespace

MouseYx::MouseYx(bool wired)
    : Device(0x3A7C, wired ? 0x0301 : 0x0302, 0x0100,
             wired ? QStringLiteral("QUORIX QX3") : QStringLiteral("QUORIX QX3 Receiver"), YxDescriptor(wired)),
      m_wired(wired)
{
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
    if (B(data, 0) != 3) {
        Fail(QStringLiteral("second-family get with report id %1").arg(B(data, 0)));
        return -1;
    }
    QByteArray reply = m_reply.isEmpty() ? QByteArray(64, '\0') : m_reply;
    reply[0] = 3;
    if (m_badTag)
        reply[2] = 0x51;
    reply[1] = static_cast<char>(SumFrom2(reply) + (m_badSum ? 1 : 0));
    const int n = std::min(data.size(), reply.size());
    for (int i = 0; i < n; ++i)
        data[i] = reply.at(i);
    return n;
}

} // namespace emu
