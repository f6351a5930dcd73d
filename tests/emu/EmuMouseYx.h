#pragma once
// The second-family mouse: a feature-report TLC taking 'P'-tagged 64-byte commands and an
// output/input TLC that carries its 0xFA status notices, both on one node.
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuGeehyBoot.h"
#include "tests/emu/EmuPixArtFlash.h"

#include <functional>

#include <QMap>

namespace emu {

class MouseYx : public Device
{
public:
    explicit MouseYx(bool wired);

    bool isWired() const { return m_wired; }
    // Device state (thread-safe).
    void SetImage(const QByteArray &image56);
    QByteArray Image() const;                 // the settings the mouse keeps (56 bytes)
    void SetInfo(const QByteArray &info20);
    QByteArray Info() const;
    void SetCode(const QByteArray &six);
    void SetAwake(bool awake);
    int FactoryResets() const;
    int DefaultRestores() const;
    // Reply faults: the next replies carry a wrong tag byte or a wrong sum.
    void SetBadReplyTag(bool on);
    void SetBadReplySum(bool on);
    // Each feature report takes this long each way (as a USB control transfer would).
    void SetFeatureDelayMs(int ms);
    // Readiness: after the upload start, sum and end frames and after a key frame the mouse is
    // busy for this many reads (default 1); while busy a read has zeros from byte 5 on, and a
    // frame sent then is a fault unless the worker has read eleven times in vain (it is ignored).
    void SetBusyPolls(int polls);
    void SetNeverReady(bool on) { SetNeverReadyFrom(on ? 0 : -1); } // busy for ever once busy
    // The n-th busy spell from now on (0 = the next) never ends; -1: every spell ends.
    void SetNeverReadyFrom(int spell);
    // After this many more frames every feature report fails, as when the mouse is pulled out.
    void SetVanishAfterFrames(int frames);
    int ReadinessPolls() const;              // reads answered while busy
    // What the mouse took: the data of the last completed upload, completed uploads, and the
    // four bytes after K of every key frame by key index K.
    QByteArray MacroData() const;
    int Uploads() const;
    QMap<uint8_t, QByteArray> KeyAssignments() const;
    // A status notice [3][FA][kind][value] on the input TLC.
    void InjectNotice(uint8_t kind, uint8_t value, int delayMs = 0);

    // The firmware update side (PixArt frames on the feature TLC), under the emulator's lock.
    void WithFlash(const std::function<void(PixArtFlash &)> &f);
    // Re-plugs (as a new node) after the reboot command; 0 before.
    uint32_t NodeAfterReboot() const;

    // The Geehy side: the version answered to the status probe 09 B1, whether the bootloader
    // request is obeyed, and the bootloader the mouse turns into (null before the switch).
    void SetGeehyVersion(uint8_t version);
    uint8_t GeehyVersion() const;
    void SetIgnoreBootloaderRequest(bool on);
    void SetBootKnobs(const GeehyKnobs &knobs);
    std::shared_ptr<GeehyBoot> Bootloader() const;

    int OnWrite(const QByteArray &data) override;
    int OnSendFeature(const QByteArray &data) override;
    int OnGetFeature(QByteArray &data) override;

private:
    void HandleBlockFrame(const QByteArray &data);
    void SetBusy();
    void LeaveLater(bool comeBack, int afterMs);

    enum class Block { Idle, Opened, Sized, Received, Data, Summed };
    Block m_block = Block::Idle;
    uint32_t m_blockSize = 0;
    QByteArray m_blockData, m_macro;
    int m_uploads = 0, m_busyPolls = 1, m_busyLeft = 0, m_readinessPolls = 0;
    int m_neverReadyFrom = -1, m_vanishAfter = -1, m_spellPolls = 0;
    bool m_neverReady = false;
    QMap<uint8_t, QByteArray> m_keys;
    bool m_wired;
    QByteArray m_image, m_info, m_code, m_reply;
    bool m_awake = true, m_badTag = false, m_badSum = false;
    int m_resets = 0, m_defaults = 0, m_delayMs = 0;
    PixArtFlash m_flash;
    bool m_flashReply = false;
    uint32_t m_nodeAfterReboot = 0;
    uint8_t m_geehyVersion = 0x26;
    bool m_ignoreBootRequest = false;
    GeehyKnobs m_bootKnobs;
    std::shared_ptr<GeehyBoot> m_boot;
};

} // namespace emu
