#pragma once
// The mouse of the 20-byte/520-byte protocol (wired and through its receiver): keeps its 520-byte
// configuration image, answers the 'D' image read and takes image and key-map writes.
#include "tests/emu/EmuControl.h"

namespace emu {

class EmuMouse20 : public Device20
{
public:
    explicit EmuMouse20(Model model);

    void SetImage(const QByteArray &image520); // bytes 0..2 are the protocol's, the rest the settings
    QByteArray Image() const;                  // as last written (or set)
    QByteArray KeyImage() const;               // the last 0x01 key-map write
    int ImageWrites() const;
    int ImageReads() const;
    void SetBadImageSum(bool on);              // the 'D' reply carries a wrong byte 1
    void SetFeatureDelayMs(int ms);            // each feature report takes this long each way
    // A status report [rid][0x0A][sub][value][extra] with its byte-19 sum.
    void InjectStatus(uint8_t sub, uint8_t value, uint8_t extra = 0, int delayMs = 0);

    int OnSendFeature(const QByteArray &data) override;
    int OnGetFeature(QByteArray &data) override;

private:
    QByteArray m_image, m_keys, m_reply;
    int m_writes = 0, m_reads = 0, m_delayMs = 0;
    bool m_badSum = false;
};

} // namespace emu
