#pragma once
// The firmware side of a PixArt mouse: takes the update frames (bytes 2-3 = 65 3A) on the
// feature TLC, checks each one strictly and keeps the image it received.
#include <QByteArray>
#include <QString>
#include <cstdint>

namespace emu {

struct PixArtKnobs
{
    QByteArray identity = QByteArray::fromHex("3a7c03010001"); // bytes 13-18 of the 0x80 reply
    bool leftInUpgradeMode = false; // the 0x80 reply names 0x27
    int packetSize = 25;            // byte 19 of the 0x42 reply (a signed byte)
    int lostReplies = 0;            // the next k gets fail: their replies never come
    int corruptDataAt = -1;         // this byte of the image is stored wrong, so a later sum fails
    int vanishAtPacket = -1;        // the mouse is pulled out when data packet k (0-based) arrives
    int flashSize = -1;             // announced images above it are refused (-1: any)
    int busyReads = 0;              // the next N gets answer a busy status
    int reenumerateMs = 50;         // time away after the reboot command
    int replyBytes = 42;            // the length of every reply
    int asleepQueries = 0;          // receiver: the next N relayed identity queries get its own identity
};

class PixArtFlash
{
public:
    explicit PixArtFlash(bool receiver = false) : receiver(receiver) {}
    // An update command after 65 3A (the receiver's own exchanges told from the settings
    // worker's block upload by their tags).
    bool IsUpdateFrame(const QByteArray &frame) const;

    const bool receiver;            // relays link-1 frames to its paired mouse
    bool paired = true;             // a receiver without its mouse answers relayed frames with status 1

    PixArtKnobs knobs;
    uint16_t version = 0x0100;      // answered to 0x92
    uint16_t newVersion = 0x0200;   // taken on the reboot after a complete image
    uint16_t vid = 0x3A7C, pid = 0x0301;

    // A frame of 64 bytes; a request the firmware does not allow gives an error text.
    QString OnFrame(const QByteArray &frame);
    // The reply to a get; empty when nothing is answered (the get fails).
    QByteArray OnGet();
    // True once after the reply to the reboot command was read: the mouse leaves now.
    bool TakeReboot();
    bool VanishNow() const { return m_vanish; }

    QByteArray Received() const { return m_image; }
    int Frames(uint8_t command) const { return m_frames[command]; }
    QByteArray Written() const { return m_written; } // the image of the last complete update

private:
    QByteArray Reply(uint8_t status, const QByteArray &frame, uint8_t command) const;
    uint16_t Sum() const;

    QString OnReceiverFrame(const QByteArray &frame, bool *handled);

    enum class State { Idle, Verified, Ready, Data };
    State m_state = State::Idle;
    // The receiver's preparation (0x44, 0x57, 0x83) and exit (0x5E, 0x43, 0x44) exchanges.
    enum class Link { None, Ready1, Ready2, Prepared, Exit1, Exit2 };
    Link m_link = Link::None;
    QByteArray m_reply, m_image, m_written;
    uint32_t m_announced = 0;
    int m_expectSeq = -1;
    int m_packets = 0;
    int m_frames[256] = {};
    bool m_refused = false, m_rebootPending = false, m_reboot = false, m_vanish = false;
};

} // namespace emu
