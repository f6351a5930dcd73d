#pragma once
// The keyboard firmware model of the 20-byte/520-byte protocol, wired and through its receiver:
// it keeps the device state (configuration block, base and self-defined colour maps, key layers,
// macro store), answers the table reads from that state, takes every write into it and checks
// each request (command byte, header, lengths, packet counts, trailers).
#include "tests/emu/EmuControl.h"

namespace emu {

// One audio lighting frame the keyboard showed: the colour of each key (R, G, B of key i at
// 3i, keys 0 to 128) and when it arrived, on the traffic log's clock.
struct AudioFrame
{
    qint64 atMs = 0;
    bool singleColour = false;   // the receiver's one-colour report
    QByteArray colours;          // 129 x 3 bytes
};

class EmuKeyboard : public Device20
{
public:
    explicit EmuKeyboard(Model model);

    // Whole 520-byte images as a wired read would return them (byte 0 report id, byte 1 the
    // read command). Setting one replaces the device's table.
    QByteArray Block() const;
    QByteArray BaseMap() const;
    QByteArray DiyMap() const;
    void SetBlock(const QByteArray &image);
    void SetBaseMap(const QByteArray &image);
    void SetDiyMap(const QByteArray &image);
    // The recorded macro store: the data bytes of all pieces received, in piece order.
    QByteArray Macros() const;
    int FactoryResets() const;

    // Fault knobs of this model.
    void SetWrongReplyCommand(bool on);   // every read answers with another command byte
    void SetSleepAfterWrites(int writes); // falls asleep (notice, then silence) after this many
    bool Asleep() const;
    // Every feature report takes this long each way (a 520-byte transfer on the control pipe).
    void SetFeatureDelayMs(int ms);
    void SetAsleep(bool asleep);          // asleep: no echo, no table, no code

    // The audio frames received (wired 0x08 feature reports, receiver 0x88 runs), oldest first.
    QVector<AudioFrame> AudioFrames() const;
    void ClearAudioFrames();

    int OnWrite(const QByteArray &data) override;
    int OnSendFeature(const QByteArray &data) override;
    int OnGetFeature(QByteArray &data) override;

private:
    void Factory();
    void PublishTables();
    void StreamWrong(uint8_t command, const QByteArray &data);
    void CountWrite();
    void TakeWiredAudio(const QByteArray &data);
    void TakeAudioPacket(const QByteArray &data);
    void KeepAudioFrame(const QByteArray &colours, bool single);

    QByteArray m_block, m_base, m_diy;
    QByteArray m_reply;
    bool m_wrongCommand = false;
    bool m_asleep = false;
    int m_sleepAfter = -1;
    int m_resets = 0;
    int m_featureDelayMs = 0;
    QVector<AudioFrame> m_audio;
    // the per-key packet run in progress
    int m_audioCount = 0, m_audioNext = 0;
    QByteArray m_audioStream;
};

} // namespace emu
