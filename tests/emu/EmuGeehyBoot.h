#pragma once
// The Geehy bootloader a QX3 mouse turns into (0x314B:0x03EC, one unnumbered 64-byte
// output/input TLC): lock, length, data, CRC, version and reboot, in that order only.
#include "tests/emu/EmuControl.h"

namespace emu {

struct GeehyKnobs
{
    int lostAcks = 0;         // the next k data packet acknowledgements never come
    int corruptDataAt = -1;   // this image byte is stored wrong, so the CRC fails
    int vanishAtPacket = -1;  // pulled out when the k-th data packet (0-based) arrives
    int flashSize = -1;       // an announced length above it is refused (-1: any)
    int busyAcks = 0;         // the next N data packet acknowledgements carry a busy status
    int reenumerateMs = 50;   // time away on each switch
};

class GeehyBoot : public Device
{
public:
    // app: the mouse that comes back after the reboot (with the written version). Held weakly:
    // the mouse keeps its bootloader, and a mouse the test has dropped does not come back.
    explicit GeehyBoot(std::shared_ptr<Device> app);

    GeehyKnobs knobs;         // under the emulator's lock (set before the update starts)
    QByteArray Written() const; // the image of the last completed update
    uint16_t WrittenVersion() const;

    int OnWrite(const QByteArray &data) override;

private:
    void Ack(uint8_t command, uint8_t status = 0);

    enum class State { Idle, Locked, Sized, Data, Crc, Version, Done };
    State m_state = State::Idle;
    std::weak_ptr<Device> m_app;
    uint32_t m_size = 0;
    int m_nextPacket = -1, m_packets = 0;
    QByteArray m_image, m_written;
    uint16_t m_version = 0;
};

// The app's way back: called after the bootloader left (outside the emulator's lock).
void GeehyRebootInto(const std::shared_ptr<Device> &app, uint16_t version);

} // namespace emu
