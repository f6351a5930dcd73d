#include "tests/emu/EmuPixArtFlash.h"

namespace emu {

namespace {
uint8_t B(const QByteArray &b, int i)
{
    return i >= 0 && i < b.size() ? static_cast<uint8_t>(b.at(i)) : 0;
}
uint32_t Le32(const QByteArray &b, int i)
{
    return B(b, i) | (B(b, i + 1) << 8) | (B(b, i + 2) << 16) | (uint32_t(B(b, i + 3)) << 24);
}
const QByteArray &Trailer()
{
    static const QByteArray t = QByteArray::fromHex("002E002E") + QByteArray(20, '\0') + QByteArray::fromHex("55AA55AA55AA55AA");
    return t;
}
} // namespace

bool PixArtFlash::IsUpdateFrame(const QByteArray &f) const
{
    if (B(f, 2) != 0x65 || B(f, 3) != 0x3A)
        return false;
    switch (B(f, 6)) {
    case 0x27: case 0x42: case 0x25: case 0x40: case 0x41: case 0x80: case 0x18: case 0x22: case 0x92:
        return true;
    case 0x83: case 0x43:
        return receiver;
    case 0x44: // the block upload's opening frame has sequence 0 and comes outside an update
        return receiver && (B(f, 7) != 0 || m_link != Link::None);
    case 0x57:
        return receiver && B(f, 4) == 0x0B;
    case 0x5E:
        return receiver && B(f, 4) == 0x07;
    default:
        return false;
    }
}

QString PixArtFlash::OnReceiverFrame(const QByteArray &f, bool *handled)
{
    const uint8_t command = B(f, 6), len = B(f, 8);
    *handled = true;
    auto step = [&](Link from, Link to, int wantLen) -> QString {
        if (len != wantLen)
            return QStringLiteral("length %1 (want %2)").arg(len).arg(wantLen);
        if (m_link != from && !(command == 0x44 && from == Link::None))
            return QStringLiteral("receiver exchange 0x%1 out of order").arg(command, 2, 16, QLatin1Char('0'));
        m_link = to;
        m_reply = Reply(0, f, command);
        return QString();
    };
    switch (command) {
    case 0x44:
        if (m_link == Link::Exit2) {
            const QString error = step(Link::Exit2, Link::None, 9);
            if (error.isEmpty())
                m_state = State::Verified; // ready for the image
            return error;
        }
        return step(Link::None, Link::Ready1, 9);
    case 0x57: return step(Link::Ready1, Link::Ready2, 6);
    case 0x83: return step(Link::Ready2, Link::Prepared, 3);
    case 0x5E: return step(Link::Prepared, Link::Exit1, 1);
    case 0x43: return step(Link::Exit1, Link::Exit2, 2);
    default: break;
    }
    *handled = false;
    return QString();
}

uint16_t PixArtFlash::Sum() const
{
    uint16_t s = 0;
    for (char c : m_image)
        s = uint16_t(s + uint8_t(c));
    return s;
}

QByteArray PixArtFlash::Reply(uint8_t status, const QByteArray &frame, uint8_t command) const
{
    QByteArray r(64, '\0'); // cut to the reply length when read
    r[0] = 3;
    r[1] = 0x65;
    r[2] = char(status);
    r[3] = 0x25;
    r[4] = char(B(frame, 4));
    r[5] = char(B(frame, 5));
    r[6] = 0x0E;
    r[7] = 0x10;
    r[8] = char(command);
    return r;
}

QString PixArtFlash::OnFrame(const QByteArray &f)
{
    const uint8_t command = B(f, 6), seq = B(f, 7), len = B(f, 8);
    ++m_frames[command];
    if (len > 55)
        return QStringLiteral("length byte %1").arg(len);
    for (int i = 9 + len; i < f.size(); ++i)
        if (B(f, i))
            return QStringLiteral("data after the %1 payload bytes").arg(len);
    const uint8_t link = B(f, 5);
    if (!receiver && link != 0)
        return QStringLiteral("link byte %1 on the cable").arg(link);
    if (receiver) {
        // Everything goes to the paired mouse (link 1) but the sum check and the exit's 0x43,
        // and the identity query that asks the receiver itself (link 0).
        const bool linkZero = command == 0x41 || command == 0x43;
        if (command != 0x80 && command != 0x92 && link != (linkZero ? 0 : 1))
            return QStringLiteral("link byte %1 for 0x%2").arg(link).arg(command, 2, 16, QLatin1Char('0'));
        if (command != 0x40 && B(f, 9) != command)
            return QStringLiteral("payload names 0x%1").arg(B(f, 9), 2, 16, QLatin1Char('0'));
        if (command != 0x40) {
            const bool opening = command == 0x44 && m_link == Link::None; // a conversation starts
            if (!opening && m_expectSeq >= 0 && seq != m_expectSeq)
                return QStringLiteral("sequence %1 (want %2)").arg(seq).arg(m_expectSeq);
            m_expectSeq = seq;
        }
        bool handled = false;
        const QString error = OnReceiverFrame(f, &handled);
        if (handled)
            return error;
        if (!paired && link == 1 && command != 0x40) {
            m_reply = Reply(0x01, f, command); // nobody answers behind the receiver
            return QString();
        }
        if (command == 0x80 && link == 0) {
            m_reply = Reply(0, f, 0x80);
            m_reply.replace(13, 6, QByteArray("DONGLE"));
            return QString();
        }
        if (command == 0x92 && link == 0) { // the version query on the cable's frame asks the receiver
            if (len != 2)
                return QStringLiteral("length %1 (want 2)").arg(len);
            m_reply = Reply(0, f, 0x92);
            m_reply[25] = char(version & 0xFF);
            m_reply[26] = char(version >> 8);
            return QString();
        }
        if ((command == 0x80 || command == 0x92) && m_link != Link::Prepared)
            return QStringLiteral("0x%1 before the receiver's preparation").arg(command, 2, 16, QLatin1Char('0'));
        if (command == 0x27 && m_state != State::Verified)
            return QStringLiteral("send ready before the receiver's exit exchange");
    }
    if (command == 0x40) {
        if (seq != 0)
            return QStringLiteral("data packet with sequence %1").arg(seq);
    } else {
        if (B(f, 9) != command)
            return QStringLiteral("payload names 0x%1").arg(B(f, 9), 2, 16, QLatin1Char('0'));
        if (!receiver && (command == 0x80 || command == 0x92))
            m_expectSeq = -1; // a new conversation numbers afresh
        if (m_expectSeq >= 0 && seq != m_expectSeq)
            return QStringLiteral("sequence %1 (want %2)").arg(seq).arg(m_expectSeq);
        m_expectSeq = seq;
    }
    auto expectLen = [&](int n) { return len == n ? QString() : QStringLiteral("length %1 (want %2)").arg(len).arg(n); };
    QString error;
    uint8_t status = 0;
    switch (command) {
    case 0x80:
        if (!(error = expectLen(3)).isEmpty() || B(f, 10) != 0x81)
            break;
        m_reply = Reply(0, f, knobs.leftInUpgradeMode ? 0x27 : 0x80);
        m_reply.replace(13, 6, knobs.identity.left(6).leftJustified(6, '\0'));
        if (receiver && knobs.asleepQueries > 0) {
            --knobs.asleepQueries; // the mouse has not woken: the receiver answers for itself
            m_reply.replace(13, 6, QByteArray("DONGLE"));
        }
        if (!receiver)
            m_state = State::Verified;
        return QString();
    case 0x92:
        if (!(error = expectLen(receiver ? 3 : 2)).isEmpty())
            break;
        m_reply = Reply(0, f, 0x92);
        m_reply[10] = char(vid & 0xFF);
        m_reply[11] = char(vid >> 8);
        m_reply[12] = char(pid & 0xFF);
        m_reply[13] = char(pid >> 8);
        m_reply[25] = char(version & 0xFF);
        m_reply[26] = char(version >> 8);
        return QString();
    case 0x27:
        if (!(error = expectLen(6)).isEmpty())
            break;
        if (m_state != State::Verified)
            return QStringLiteral("send ready before the identity query");
        m_link = Link::None;
        m_announced = Le32(f, 10);
        m_image.clear();
        m_packets = 0;
        m_refused = knobs.flashSize >= 0 && m_announced > uint32_t(knobs.flashSize);
        if (m_refused)
            status = 0x03; // larger than the flash: this update is refused
        else
            m_state = State::Ready;
        m_reply = Reply(status, f, 0x27);
        return QString();
    case 0x42:
        if (!(error = expectLen(2)).isEmpty())
            break;
        if (m_refused) {
            m_reply = Reply(0x03, f, 0x42);
            return QString();
        }
        if (m_state != State::Ready)
            return QStringLiteral("packet size query out of order");
        m_reply = Reply(0, f, 0x42);
        m_reply[19] = char(int8_t(knobs.packetSize));
        return QString();
    case 0x25: {
        if (!(error = expectLen(9)).isEmpty())
            break;
        const uint32_t address = Le32(f, 10);
        if (m_refused) {
            m_reply = Reply(0x03, f, 0x25);
            return QString();
        }
        if (m_state != State::Ready && m_state != State::Data)
            return QStringLiteral("block address out of order");
        if (Le32(f, 14) != 4096 || address % 4096 || address != uint32_t(m_image.size()))
            return QStringLiteral("block address %1 with %2 bytes received").arg(address).arg(m_image.size());
        m_state = State::Data;
        m_reply = Reply(0, f, 0x25);
        return QString();
    }
    case 0x40:
        if (m_state != State::Data)
            return QStringLiteral("data before the first block address");
        if (len < 1)
            return QStringLiteral("empty data packet");
        if (uint32_t(m_image.size() + len) > m_announced)
            return QStringLiteral("data past the announced %1 bytes").arg(m_announced);
        if (knobs.vanishAtPacket == m_packets++) {
            m_vanish = true;
            return QString();
        }
        for (int i = 0; i < len; ++i) {
            char c = f.at(9 + i);
            if (m_image.size() == knobs.corruptDataAt)
                c = char(c ^ 0x5A);
            m_image.append(c);
        }
        m_reply.clear(); // data packets are not answered
        return QString();
    case 0x41: {
        if (!(error = expectLen(3)).isEmpty())
            break;
        if (m_state != State::Data)
            return QStringLiteral("sum check out of order");
        const uint16_t got = uint16_t(B(f, 10) | (B(f, 11) << 8));
        if (got != Sum() && knobs.corruptDataAt < 0)
            return QStringLiteral("data sum %1 (want %2)").arg(got).arg(Sum());
        m_reply = Reply(got == Sum() ? 0 : 0x01, f, 0x41);
        return QString();
    }
    case 0x18: {
        if (!(error = expectLen(12)).isEmpty())
            break;
        if (m_state != State::Data)
            return QStringLiteral("image information out of order");
        const uint16_t got = uint16_t(B(f, 14) | (B(f, 15) << 8));
        if (Le32(f, 10) != m_announced || uint32_t(m_image.size()) != m_announced)
            return QStringLiteral("image information for %1 bytes, %2 announced, %3 received")
                .arg(Le32(f, 10)).arg(m_announced).arg(m_image.size());
        if (f.mid(16, 5) != QByteArray::fromHex("002E002E00") || !m_image.endsWith(Trailer()))
            return QStringLiteral("image without its trailer");
        if (got != Sum() && knobs.corruptDataAt < 0)
            return QStringLiteral("image sum %1 (want %2)").arg(got).arg(Sum());
        m_reply = Reply(got == Sum() ? 0 : 0x01, f, 0x18);
        if (got == Sum())
            m_written = m_image;
        return QString();
    }
    case 0x22:
        if (!(error = expectLen(2)).isEmpty())
            break;
        m_reply = Reply(0, f, 0x22);
        m_rebootPending = true;
        return QString();
    default:
        break;
    }
    return error.isEmpty() ? QStringLiteral("malformed command 0x%1").arg(command, 2, 16, QLatin1Char('0')) : error;
}

QByteArray PixArtFlash::OnGet()
{
    if (m_expectSeq >= 0)
        m_expectSeq = (m_expectSeq + 1) & 0xFF;
    if (knobs.lostReplies > 0) {
        --knobs.lostReplies;
        return QByteArray(); // the reply never comes: the transfer fails
    }
    if (knobs.busyReads > 0) {
        --knobs.busyReads;
        QByteArray busy = m_reply.isEmpty() ? Reply(0, QByteArray(), 0) : m_reply;
        busy[2] = 0x02;
        return busy.left(knobs.replyBytes);
    }
    if (m_rebootPending) {
        m_rebootPending = false;
        m_reboot = true;
    }
    return m_reply.left(knobs.replyBytes);
}

bool PixArtFlash::TakeReboot()
{
    if (!m_reboot)
        return false;
    m_reboot = false;
    if (!m_written.isEmpty())
        version = newVersion;
    m_state = State::Idle;
    m_expectSeq = -1;
    return true;
}

} // namespace emu
