#pragma once
// The second-family mouse: a feature-report TLC taking 'P'-tagged 64-byte commands and an
// output/input TLC that carries its 0xFA status notices, both on one node.
#include "tests/emu/EmuControl.h"

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
    // A status notice [3][FA][kind][value] on the input TLC.
    void InjectNotice(uint8_t kind, uint8_t value, int delayMs = 0);

    int OnSendFeature(const QByteArray &data) override;
    int OnGetFeature(QByteArray &data) override;

private:
    bool m_wired;
    QByteArray m_image, m_info, m_code, m_reply;
    bool m_awake = true, m_badTag = false, m_badSum = false;
    int m_resets = 0, m_defaults = 0, m_delayMs = 0;
};

} // namespace emu
