#include "tests/emu/EmuGeehyBoot.h"

#include "platform/HidPlatform.h"
#include "tests/emu/EmuMouseYx.h"

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
} // namespace

GeehyBoot::GeehyBoot(std::shared_ptr<Device> app)
    : Device(0x314B, 0x03EC, 0x0001, QStringLiteral("Geehy Bootloader"), VendorTlc(0xFF00, 0x01, 0, 64, 64, 0)),
      m_app(std::move(app))
{
}

QByteArray GeehyBoot::Written() const
{
    std::lock_guard<std::recursive_mutex> l(EmuMutex());
    return m_written;
}

uint16_t GeehyBoot::WrittenVersion() const
{
    std::lock_guard<std::recursive_mutex> l(EmuMutex());
    return m_version;
}

void GeehyBoot::Ack(uint8_t command, uint8_t status)
{
    if (command == 0x33 && knobs.lostAcks > 0) {
        --knobs.lostAcks;
        return;
    }
    if (command == 0x33 && knobs.busyAcks > 0) {
        --knobs.busyAcks;
        status = 0x01;
    }
    QByteArray r(64, '\0'); // unnumbered: no report id byte
    r[0] = char(command);
    r[1] = char(status);
    PushInput(r);
}

int GeehyBoot::OnWrite(const QByteArray &d)
{
    const uint8_t command = B(d, 1);
    auto fail = [&](const QString &why) {
        Fail(QStringLiteral("bootloader report 0x%1: %2").arg(command, 2, 16, QLatin1Char('0')).arg(why));
        return int(d.size());
    };
    if (d.size() != 65)
        return fail(QStringLiteral("%1 bytes (want 65)").arg(d.size()));
    if (B(d, 0) != 0)
        return fail(QStringLiteral("report id %1").arg(B(d, 0)));
    unsigned sum = 0;
    for (int i = 1; i < 64; ++i)
        sum += B(d, i);
    if (B(d, 64) != (sum & 0xFF))
        return fail(QStringLiteral("checksum %1 (want %2)").arg(B(d, 64)).arg(sum & 0xFF));
    auto zeroFrom = [&](int from) {
        for (int i = from; i < 64; ++i)
            if (B(d, i))
                return false;
        return true;
    };
    auto expect = [&](State from, State to, int argEnd) {
        if (m_state != from)
            return fail(QStringLiteral("out of order")), false;
        if (!zeroFrom(argEnd))
            return fail(QStringLiteral("data after its arguments")), false;
        m_state = to;
        return true;
    };
    switch (command) {
    case 0x25:
        if (m_state == State::Locked)
            m_state = State::Idle; // a resent lock
        if (expect(State::Idle, State::Locked, 2))
            Ack(command);
        break;
    case 0x22: {
        const uint32_t size = B(d, 2) | B(d, 3) << 8 | B(d, 4) << 16 | uint32_t(B(d, 5)) << 24;
        if (m_state == State::Sized)
            m_state = State::Locked;
        if (!expect(State::Locked, State::Sized, 6))
            break;
        if (size == 0 || (knobs.flashSize >= 0 && size > uint32_t(knobs.flashSize))) {
            m_state = State::Locked;
            Ack(command, 0x03); // refused
            break;
        }
        m_size = size;
        m_image.clear();
        m_packets = 0;
        m_nextPacket = int((size + 57) / 58) - 1;
        Ack(command);
        break;
    }
    case 0x33: {
        const int number = B(d, 3) | B(d, 4) << 8, n = B(d, 5);
        if (m_state != State::Sized && m_state != State::Data)
            return fail(QStringLiteral("data out of order"));
        const bool resent = number == m_nextPacket + 1 && m_packets > 0; // its ack was lost
        if (!resent && number != m_nextPacket)
            return fail(QStringLiteral("packet %1 (want %2)").arg(number).arg(m_nextPacket));
        const int want = number == 0 ? int(m_size) - (int((m_size + 57) / 58) - 1) * 58 : 58;
        if (B(d, 2) != 0 || n != want || !zeroFrom(6 + n))
            return fail(QStringLiteral("packet %1 with %2 bytes (want %3)").arg(number).arg(n).arg(want));
        if (knobs.vanishAtPacket == m_packets) {
            const uint32_t node = this->node();
            const Device *self = this;
            std::thread([node, self] {
                if (DeviceOf(node).get() == self)
                    Unplug(node);
            }).detach();
            return -1;
        }
        if (!resent) {
            for (int i = 0; i < n; ++i) {
                char c = d.at(6 + i);
                if (m_image.size() == knobs.corruptDataAt)
                    c = char(c ^ 0x5A);
                m_image.append(c);
            }
            --m_nextPacket;
            ++m_packets;
        }
        m_state = State::Data;
        Ack(command);
        break;
    }
    case 0x44: {
        if (m_state == State::Crc)
            m_state = State::Data;
        if (m_state != State::Data || m_nextPacket != -1)
            return fail(QStringLiteral("CRC before the last packet"));
        if (!expect(State::Data, State::Crc, 6))
            break;
        uint32_t mine = 0;
        for (char c : m_image)
            mine += uint8_t(c);
        const uint32_t theirs = uint32_t(B(d, 2)) << 24 | B(d, 3) << 16 | B(d, 4) << 8 | B(d, 5);
        if (theirs != mine) {
            m_state = State::Data;
            Ack(command, 0x02); // CRC mismatch
            break;
        }
        Ack(command);
        break;
    }
    case 0x24:
        if (m_state == State::Version)
            m_state = State::Crc;
        if (expect(State::Crc, State::Version, 4)) {
            m_version = uint16_t(B(d, 2) | B(d, 3) << 8);
            Ack(command);
        }
        break;
    case 0x55:
        if (m_state == State::Done)
            m_state = State::Version;
        if (expect(State::Version, State::Done, 2)) {
            m_written = m_image;
            Ack(command);
            const uint32_t node = this->node();
            std::shared_ptr<Device> app = m_app.lock();
            const uint16_t version = m_version;
            const int ms = knobs.reenumerateMs;
            const Device *self = this;
            std::thread([node, app, version, ms, self] {
                std::this_thread::sleep_for(std::chrono::milliseconds(std::max(1, platform::HidScaledMs(ms))));
                if (!app || DeviceOf(node).get() != self)
                    return; // the test is over
                Unplug(node);
                GeehyRebootInto(app, version);
            }).detach();
        }
        break;
    default:
        return fail(QStringLiteral("unknown command"));
    }
    return d.size();
}

void GeehyRebootInto(const std::shared_ptr<Device> &app, uint16_t version)
{
    if (auto *mouse = dynamic_cast<MouseYx *>(app.get()))
        mouse->SetGeehyVersion(uint8_t(version & 0xFF));
    Plug(app);
}

} // namespace emu
