#include "tests/emu/EmuKeyboard.h"

#include <chrono>
#include <mutex>
#include <thread>

namespace emu {

std::recursive_mutex &EmuMutex();

namespace {
uint8_t U(const QByteArray &b, int i)
{
    return i >= 0 && i < b.size() ? static_cast<uint8_t>(b.at(i)) : 0;
}

QByteArray Image(uint8_t rid, uint8_t command)
{
    QByteArray image(520, '\0');
    image[0] = static_cast<char>(rid);
    image[1] = static_cast<char>(command);
    return image;
}
} // namespace

EmuKeyboard::EmuKeyboard(Model model) : Device20(model)
{
    Factory();
}

// Factory tables: distinct, recognisable bytes; the block's data end in 5A A5.
void EmuKeyboard::Factory()
{
    m_block = Image(featureReportId(), 0x84);
    for (int i = 8; i < 134; ++i)
        m_block[i] = static_cast<char>((i * 3 + 1) & 0x7F);
    m_block[32] = 0x05;
    // the sample layout's settings: Windows mode, Win key free, sleep, debounce, report rate,
    // and model 81's code after the effect-type flag
    const char settings[] = {0x00, 0x00, 0x05, 0x05, 0x00, 0x01};
    for (int i = 0; i < 6; ++i)
        m_block[8 + i] = settings[i];
    m_block[17] = 0x00;
    m_block[18] = 0x01;
    m_block[134] = static_cast<char>(0x5A);
    m_block[135] = static_cast<char>(0xA5);
    m_base = Image(featureReportId(), 0x8A);
    for (int i = 8; i < 512; ++i)
        m_base[i] = static_cast<char>((i * 7) & 0xFF);
    m_diy = Image(featureReportId(), 0x86);
    for (int i = 8; i < 392; ++i)
        m_diy[i] = static_cast<char>((i * 5 + 2) & 0xFF);
    PublishTables();
}

// The receiver's table replies come from the device state.
void EmuKeyboard::PublishTables()
{
    SetTable(0x44, m_block.mid(8, 128));
    SetTable(0x49, m_base.mid(8, 490));
    SetTable(0x42, m_diy.mid(8, 378));
}

QByteArray EmuKeyboard::Block() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_block; }
QByteArray EmuKeyboard::BaseMap() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_base; }
QByteArray EmuKeyboard::DiyMap() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_diy; }

void EmuKeyboard::SetBlock(const QByteArray &image)
{
    std::lock_guard<std::recursive_mutex> l(EmuMutex());
    m_block = image.leftJustified(520, '\0', true);
    PublishTables();
}

void EmuKeyboard::SetBaseMap(const QByteArray &image)
{
    std::lock_guard<std::recursive_mutex> l(EmuMutex());
    m_base = image.leftJustified(520, '\0', true);
    PublishTables();
}

void EmuKeyboard::SetDiyMap(const QByteArray &image)
{
    std::lock_guard<std::recursive_mutex> l(EmuMutex());
    m_diy = image.leftJustified(520, '\0', true);
    PublishTables();
}

QByteArray EmuKeyboard::Macros() const
{
    std::lock_guard<std::recursive_mutex> l(EmuMutex());
    QByteArray out;
    for (int piece = 0; piece < 16; ++piece) {
        const QByteArray wired = Upload(0x05, piece);
        if (!wired.isEmpty())
            out += wired.mid(8);
        out += Upload(0x03, piece);
    }
    return out;
}

int EmuKeyboard::FactoryResets() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_resets; }
void EmuKeyboard::SetWrongReplyCommand(bool on) { std::lock_guard<std::recursive_mutex> l(EmuMutex()); m_wrongCommand = on; }
void EmuKeyboard::SetSleepAfterWrites(int writes) { std::lock_guard<std::recursive_mutex> l(EmuMutex()); m_sleepAfter = writes; }
bool EmuKeyboard::Asleep() const { std::lock_guard<std::recursive_mutex> l(EmuMutex()); return m_asleep; }

void EmuKeyboard::SetAsleep(bool asleep)
{
    std::lock_guard<std::recursive_mutex> l(EmuMutex());
    m_asleep = asleep;
    SetAwake(!asleep);
}

void EmuKeyboard::CountWrite()
{
    if (m_sleepAfter < 0)
        return;
    if (m_sleepAfter-- == 0) {
        SetAsleep(true);
        InjectNotice(2, 0);
    }
}

void EmuKeyboard::StreamWrong(uint8_t command, const QByteArray &data)
{
    const int packets = (data.size() + 13) / 14;
    for (int i = 0; i < packets; ++i) {
        QByteArray r(20, '\0');
        r[0] = static_cast<char>(shortReportId());
        r[1] = static_cast<char>(command + 1);
        r[2] = static_cast<char>(i);
        r[3] = static_cast<char>(i);
        const QByteArray part = data.mid(i * 14, 14);
        r[4] = static_cast<char>(part.size());
        for (int k = 0; k < part.size(); ++k)
            r[5 + k] = part.at(k);
        r[19] = static_cast<char>(Sum19(r));
        PushInput(r, knobs().replyDelayMs);
    }
}

int EmuKeyboard::OnWrite(const QByteArray &data)
{
    CountWrite();
    const uint8_t cmd = U(data, 1);
    if (m_asleep && data.size() == 20 && cmd != 0x06)
        return data.size(); // the receiver cannot reach a sleeping keyboard
    if (cmd == 0x88 && data.size() == 20 && U(data, 0) == shortReportId()) {
        TakeAudioPacket(data);
        return data.size();
    }
    if (data.size() == 20 && (cmd == 0x44 || cmd == 0x49 || cmd == 0x42)) {
        for (int i = 3; i < 19; ++i)
            if (U(data, i) != 0) {
                Fail(QStringLiteral("table read with a non-zero byte %1").arg(i));
                break;
            }
        if (m_wrongCommand && U(data, 19) == Sum19(data)) {
            const QByteArray &source = cmd == 0x44 ? m_block : (cmd == 0x49 ? m_base : m_diy);
            StreamWrong(cmd, source.mid(8, cmd == 0x44 ? 128 : (cmd == 0x49 ? 490 : 378)));
            return data.size();
        }
        return Device20::OnWrite(data);
    }
    const int before4 = UploadCount(0x04), before9 = UploadCount(0x09), before2 = UploadCount(0x02);
    const int result = Device20::OnWrite(data);
    if (cmd == 0x06 && data.size() == 20) {
        Factory();
        ++m_resets;
    } else if (cmd == 0x04 && UploadCount(0x04) > before4) {
        const QByteArray d = Upload(0x04);
        if (d.size() != 128)
            return result; // a transfer of the transport's own tests, not a table
        m_block.replace(8, std::min(128, d.size()), d.left(128));
        PublishTables();
    } else if (cmd == 0x09 && UploadCount(0x09) > before9) {
        const QByteArray d = Upload(0x09);
        if (d.size() != 512)
            return result;
        if (U(d, 506) != 0x5A || U(d, 507) != 0xA5)
            Fail(QStringLiteral("colour map upload without 5A A5 at image byte 514"));
        m_base.replace(8, std::min(512, d.size()), d.left(512));
        PublishTables();
    } else if (cmd == 0x02 && UploadCount(0x02) > before2) {
        const QByteArray d = Upload(0x02);
        if (d.size() != 384)
            return result;
        m_diy.replace(8, std::min(384, d.size()), d.left(384));
        PublishTables();
    }
    return result;
}

void EmuKeyboard::SetFeatureDelayMs(int ms) { std::lock_guard<std::recursive_mutex> l(EmuMutex()); m_featureDelayMs = ms; }

int EmuKeyboard::OnSendFeature(const QByteArray &data)
{
    if (m_featureDelayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(m_featureDelayMs));
    CountWrite();
    m_reply.clear();
    const uint8_t cmd = U(data, 1);
    if (cmd == 0x08 && data.size() == 520 && U(data, 0) == featureReportId()) {
        TakeWiredAudio(data);
        return data.size();
    }
    if (isWired() && data.size() == 520 && U(data, 0) == featureReportId()
        && (cmd == 0x84 || cmd == 0x8A || cmd == 0x86)) {
        const int want = cmd == 0x84 ? 128 : (cmd == 0x8A ? 512 : 384);
        const int length = U(data, 6) | (U(data, 7) << 8);
        if (U(data, 2) || U(data, 3) || U(data, 4) != 1 || U(data, 5) || length != want)
            Fail(QStringLiteral("read 0x%1 with header %2").arg(cmd, 2, 16, QLatin1Char('0')).arg(QString::fromLatin1(data.mid(2, 6).toHex(' '))));
        for (int i = 8; i < 520; ++i)
            if (U(data, i)) {
                Fail(QStringLiteral("read 0x%1 with data bytes").arg(cmd, 2, 16, QLatin1Char('0')));
                break;
            }
        m_reply = cmd == 0x84 ? m_block : (cmd == 0x8A ? m_base : m_diy);
        m_reply[0] = static_cast<char>(featureReportId());
        m_reply[1] = static_cast<char>(m_wrongCommand ? cmd + 1 : cmd);
        return data.size();
    }
    const int result = Device20::OnSendFeature(data);
    if (!isWired() || data.size() != 520)
        return result;
    if (cmd == 0x04) {
        m_block.replace(2, 518, data.mid(2));
        m_block[1] = static_cast<char>(0x84);
        PublishTables();
    } else if (cmd == 0x0A) {
        m_base.replace(2, 518, data.mid(2));
        PublishTables();
    } else if (cmd == 0x06) {
        m_diy.replace(2, 518, data.mid(2));
        PublishTables();
    }
    return result;
}

int EmuKeyboard::OnGetFeature(QByteArray &data)
{
    if (m_featureDelayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(m_featureDelayMs));
    if (m_reply.isEmpty())
        return Device20::OnGetFeature(data);
    if (U(data, 0) != featureReportId()) {
        Fail(QStringLiteral("get feature report id %1").arg(U(data, 0)));
        return -1;
    }
    const int n = std::min(data.size(), m_reply.size());
    for (int i = 0; i < n; ++i)
        data[i] = m_reply.at(i);
    return n;
}

QVector<AudioFrame> EmuKeyboard::AudioFrames() const
{
    std::lock_guard<std::recursive_mutex> l(EmuMutex());
    return m_audio;
}

void EmuKeyboard::ClearAudioFrames()
{
    std::lock_guard<std::recursive_mutex> l(EmuMutex());
    m_audio.clear();
}

void EmuKeyboard::KeepAudioFrame(const QByteArray &colours, bool single)
{
    if (m_audio.size() >= 100000)
        m_audio.remove(0, 50000);
    AudioFrame f;
    f.atMs = ClockMs();
    f.singleColour = single;
    f.colours = colours;
    m_audio.append(f);
}

// [rid][08][00 00 01 00 7A 01] then R, G, B of key i at 8 + 3i; no reply follows.
void EmuKeyboard::TakeWiredAudio(const QByteArray &data)
{
    if (!isWired()) {
        Fail(QStringLiteral("audio frame as a feature report to the receiver"));
        return;
    }
    if (data.mid(2, 6) != QByteArray::fromHex("000001007a01")) {
        Fail(QStringLiteral("audio frame with header %1").arg(QString::fromLatin1(data.mid(2, 6).toHex(' '))));
        return;
    }
    KeepAudioFrame(data.mid(8, 129 * 3), false);
}

// The receiver's 0x88 reports: byte 4 = 0x23 one colour for every key; 0x11..0x1E a packet of
// a per-key run (count in byte 2, index in byte 3) carrying groups R, G, B, k, k key indices.
void EmuKeyboard::TakeAudioPacket(const QByteArray &data)
{
    if (isWired()) {
        Fail(QStringLiteral("receiver audio report to the wired keyboard"));
        return;
    }
    if (U(data, 19) != Sum19(data)) {
        Fail(QStringLiteral("audio report with a wrong sum: %1").arg(QString::fromLatin1(data.toHex(' '))));
        return;
    }
    if (m_asleep)
        return; // the receiver cannot reach a sleeping keyboard
    const uint8_t form = U(data, 4);
    if (form == 0x23) {
        if (U(data, 2) != 1 || U(data, 3) != 0 || data.mid(8, 11).count('\0') != 11)
            Fail(QStringLiteral("one-colour audio report %1").arg(QString::fromLatin1(data.toHex(' '))));
        if (m_audioCount)
            Fail(QStringLiteral("one-colour audio report inside a packet run"));
        m_audioCount = 0;
        QByteArray colours;
        for (int i = 0; i < 129; ++i)
            colours += data.mid(5, 3);
        KeepAudioFrame(colours, true);
        return;
    }
    const int count = U(data, 2), index = U(data, 3), len = form - 0x10;
    if (form < 0x11 || form > 0x1E || count < 1) {
        Fail(QStringLiteral("audio packet %1").arg(QString::fromLatin1(data.toHex(' '))));
        m_audioCount = 0;
        return;
    }
    if (index != (m_audioCount ? m_audioNext : 0) || (m_audioCount && count != m_audioCount) || index >= count) {
        Fail(QStringLiteral("audio packet %1 of %2 after %3 of %4").arg(index).arg(count).arg(m_audioNext - 1).arg(m_audioCount));
        m_audioCount = 0;
        return;
    }
    if (len < 14 && index != count - 1)
        Fail(QStringLiteral("short audio packet %1 before the last").arg(index));
    if (data.mid(5 + len, 14 - len).count('\0') != 14 - len)
        Fail(QStringLiteral("audio packet %1 has data after its length").arg(index));
    if (index == 0)
        m_audioStream.clear();
    m_audioStream += data.mid(5, len);
    m_audioCount = count;
    m_audioNext = index + 1;
    if (m_audioNext < count)
        return;
    m_audioCount = 0;
    QByteArray colours(129 * 3, '\0');
    int at = 0;
    while (at < m_audioStream.size()) {
        const int k = U(m_audioStream, at + 3);
        if (at + 4 + k > m_audioStream.size() || k < 1) {
            Fail(QStringLiteral("audio colour group at stream byte %1 with %2 keys").arg(at).arg(k));
            return;
        }
        for (int i = 0; i < k; ++i) {
            const int key = U(m_audioStream, at + 4 + i);
            if (key > 128) {
                Fail(QStringLiteral("audio key index %1").arg(key));
                return;
            }
            colours.replace(3 * key, 3, m_audioStream.mid(at, 3));
        }
        at += 4 + k;
    }
    KeepAudioFrame(colours, false);
}

} // namespace emu
