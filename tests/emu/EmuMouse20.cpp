// Model of the 20/520 mouse's configuration image commands.
#include "tests/emu/EmuMouse20.h"

#include <mutex>
#include <thread>

namespace emu {

std::recursive_mutex &EmuMutex();

namespace {
uint8_t B(const QByteArray &b, int i)
{
    return i >= 0 && i < b.size() ? static_cast<uint8_t>(b.at(i)) : 0;
}
uint16_t U16(const QByteArray &b, int i)
{
    return static_cast<uint16_t>(B(b, i) | (B(b, i + 1) << 8));
}
uint8_t SumFrom2(const QByteArray &b)
{
    unsigned s = 0;
    for (int i = 2; i < b.size(); ++i)
        s += B(b, i);
    return static_cast<uint8_t>(s);
}
} // namespace

EmuMouse20::EmuMouse20(Model model) : Device20(model)
{
    // the sample memory map of QM8: sensor 11, rate 9, lift-off/move-up 10, current DPI 12,
    // motion sync/debounce 13, ripple/angle 14, X table 16, Y table 48, colours 100, sleep 82, effect 83
    m_image = QByteArray(520, '\0');
    m_image[9] = 4;
    m_image[10] = 0x12;
    m_image[11] = 24;
    m_image[12] = 0x24;
    m_image[13] = 0x16;
    m_image[14] = 0x01;
    const int dpi[] = {800, 1600, 3200, 6400};
    for (int k = 0; k < 4; ++k) {
        const int e = dpi[k] / 100 - 1;
        m_image[16 + 2 * k] = m_image[48 + 2 * k] = char(e & 0xFF);
        m_image[17 + 2 * k] = m_image[49 + 2 * k] = char(e >> 8);
    }
    for (int i = 0; i < 24; ++i)
        m_image[100 + i] = char(0x10 + i); // stage colours
    m_image[82] = 30;
    m_image[83] = 2;
}

void EmuMouse20::SetImage(const QByteArray &image) { std::lock_guard<std::recursive_mutex> l(EmuMutex()); m_image = image.left(520).leftJustified(520, '\0'); }
QByteArray EmuMouse20::Image() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_image; }
QByteArray EmuMouse20::KeyImage() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_keys; }
QByteArray EmuMouse20::KeyAt(int position) const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_keys.mid(position, 4); }
int EmuMouse20::KeyMapWrites() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_keyWrites; }
QByteArray EmuMouse20::MacroData() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_macroData; }
int EmuMouse20::MacroReports() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_macroReports; }
int EmuMouse20::MacroUploads() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_macroUploads; }
int EmuMouse20::ImageWrites() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_writes; }
int EmuMouse20::ImageReads() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_reads; }
void EmuMouse20::SetBadImageSum(bool on) { std::lock_guard<std::recursive_mutex> l(EmuMutex()); m_badSum = on; }
void EmuMouse20::SetFeatureDelayMs(int ms) { std::lock_guard<std::recursive_mutex> l(EmuMutex()); m_delayMs = ms; }

void EmuMouse20::InjectStatus(uint8_t sub, uint8_t value, uint8_t extra, int delayMs)
{
    QByteArray r(20, '\0');
    r[0] = char(shortReportId());
    r[1] = 0x0A;
    r[2] = char(sub);
    r[3] = char(value);
    r[4] = char(extra);
    r[19] = char(Sum19(r));
    PushInput(r, delayMs);
}

int EmuMouse20::OnSendFeature(const QByteArray &data)
{
    if (m_delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(m_delayMs));
    m_reply.clear();
    const uint8_t cmd = B(data, 2);
    if (data.size() != 520 || B(data, 0) != featureReportId() || (cmd != 0x44 && cmd != 0x04 && cmd != 0x01 && cmd != 0x03))
        return Device20::OnSendFeature(data);
    if (cmd == 0x44) { // image read: byte 1 is 0 here, not a sum
        if (B(data, 1) != 0 || B(data, 4) != 1 || B(data, 6) != 0x90 || B(data, 7) != 0x01)
            Fail(QStringLiteral("image read request %1").arg(QString::fromLatin1(data.left(8).toHex(' '))));
        for (int i = 8; i < 520; ++i)
            if (B(data, i)) {
                Fail(QStringLiteral("image read request with data in byte %1").arg(i));
                break;
            }
        ++m_reads;
        m_reply = m_image;
        m_reply[0] = char(featureReportId());
        m_reply[2] = 0x44;
        m_reply[1] = char(SumFrom2(m_reply) + (m_badSum ? 1 : 0));
        return data.size();
    }
    if (B(data, 1) != SumFrom2(data)) {
        Fail(QStringLiteral("mouse write 0x%1 with sum %2 (want %3)").arg(cmd, 2, 16, QLatin1Char('0')).arg(B(data, 1)).arg(SumFrom2(data)));
        return data.size();
    }
    if (cmd == 0x04) {
        m_image = data;
        ++m_writes;
    } else if (cmd == 0x03) {
        HandleMacroReport(data);
    } else {
        m_keys = data;
        ++m_keyWrites;
    }
    return data.size();
}

void EmuMouse20::HandleMacroReport(const QByteArray &data)
{
    ++m_macroReports;
    const int count = B(data, 4), index = B(data, 5), length = U16(data, 6);
    auto abandon = [&](const QString &what) {
        Fail(QStringLiteral("macro data: ") + what);
        m_pieces.clear();
        m_pieceCount = m_nextPiece = 0;
    };
    if (B(data, 3) != 0)
        return abandon(QStringLiteral("byte 3 is %1").arg(B(data, 3)));
    if (count == 1) { // the whole block in one report
        if (m_pieceCount)
            return abandon(QStringLiteral("a block report inside a sequence of %1 pieces").arg(m_pieceCount));
        if (index != 0 || length > 512)
            return abandon(QStringLiteral("block report with index %1 and length %2").arg(index).arg(length));
        FinishMacroUpload(data.mid(8), length);
        return;
    }
    if (count < 2 || count > 9 || length != 512)
        return abandon(QStringLiteral("piece %1 of %2 with length %3").arg(index).arg(count).arg(length));
    if (index == 0) {
        if (m_pieceCount)
            return abandon(QStringLiteral("a new sequence after %1 of %2 pieces").arg(m_nextPiece).arg(m_pieceCount));
        m_pieceCount = count;
        m_nextPiece = 0;
        m_pieces.clear();
    } else if (count != m_pieceCount || index != m_nextPiece) {
        return abandon(QStringLiteral("piece %1 of %2 where piece %3 of %4 was due")
                           .arg(index).arg(count).arg(m_nextPiece).arg(m_pieceCount));
    }
    m_pieces += data.mid(8, 512);
    if (++m_nextPiece < m_pieceCount)
        return;
    const QByteArray all = m_pieces;
    m_pieces.clear();
    m_pieceCount = m_nextPiece = 0;
    FinishMacroUpload(all, -1);
}

// Checks the directory (one offset/length pair per macro, macros back to back after it) and
// keeps the data it describes; what follows must be zeros.
void EmuMouse20::FinishMacroUpload(const QByteArray &data, int declaredLength)
{
    const int first = U16(data, 0);
    if (data.size() < 4 || first < 4 || first % 4) {
        Fail(QStringLiteral("macro data: directory starts with offset %1").arg(first));
        return;
    }
    int end = first;
    for (int at = 0; at < first; at += 4) {
        if (U16(data, at) != end || U16(data, at + 2) == 0) {
            Fail(QStringLiteral("macro data: directory entry %1 is %2/%3, offset %4 was due")
                     .arg(at / 4).arg(U16(data, at)).arg(U16(data, at + 2)).arg(end));
            return;
        }
        end += U16(data, at + 2);
    }
    if (end > data.size() || (declaredLength >= 0 && declaredLength != end)) {
        Fail(QStringLiteral("macro data: directory covers %1 bytes of %2 (declared %3)").arg(end).arg(data.size()).arg(declaredLength));
        return;
    }
    for (int i = end; i < data.size(); ++i)
        if (B(data, i)) {
            Fail(QStringLiteral("macro data: byte %1 after the macros is not zero").arg(i));
            return;
        }
    m_macroData = data.left(end);
    ++m_macroUploads;
}

int EmuMouse20::OnGetFeature(QByteArray &data)
{
    if (m_delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(m_delayMs));
    if (m_reply.isEmpty())
        return Device20::OnGetFeature(data);
    if (B(data, 0) != featureReportId()) {
        Fail(QStringLiteral("get feature report id %1").arg(B(data, 0)));
        return -1;
    }
    const int n = std::min(data.size(), m_reply.size());
    for (int i = 0; i < n; ++i)
        data[i] = m_reply.at(i);
    m_reply.clear();
    return n;
}

} // namespace emu
