#pragma once
// The mouse of the 20-byte/520-byte protocol (wired and through its receiver): keeps its 520-byte
// configuration image, answers the 'D' image read and takes image, key-map and macro-data writes.
#include "tests/emu/EmuControl.h"

namespace emu {

class EmuMouse20 : public Device20
{
public:
    explicit EmuMouse20(Model model);

    void SetImage(const QByteArray &image520); // bytes 0..2 are the protocol's, the rest the settings
    QByteArray Image() const;                  // as last written (or set)
    QByteArray KeyImage() const;               // the last 0x01 key-map write
    QByteArray KeyAt(int position) const;      // the 4 bytes at a key position of that write
    int KeyMapWrites() const;
    // Macro data (0x03): one block report (byte 4 = 1, bytes 6..7 = data length) or a sequence
    // of 512-byte pieces (byte 4 = count up to 9, byte 5 = 0, 1, 2 ...). MacroData() is the last
    // completed upload's data, directory and macros, without the zeros after them.
    QByteArray MacroData() const;
    int MacroReports() const;                  // 0x03 reports received
    int MacroUploads() const;                  // uploads completed
    int ImageWrites() const;
    int ImageReads() const;
    void SetBadImageSum(bool on);              // the 'D' reply carries a wrong byte 1
    void SetFeatureDelayMs(int ms);            // each feature report takes this long each way
    // A status report [rid][0x0A][sub][value][extra] with its byte-19 sum.
    void InjectStatus(uint8_t sub, uint8_t value, uint8_t extra = 0, int delayMs = 0);

    int OnSendFeature(const QByteArray &data) override;
    int OnGetFeature(QByteArray &data) override;

private:
    void HandleMacroReport(const QByteArray &data);
    void FinishMacroUpload(const QByteArray &data, int declaredLength);

    QByteArray m_image, m_keys, m_reply;
    int m_writes = 0, m_reads = 0, m_delayMs = 0, m_keyWrites = 0;
    QByteArray m_macroData, m_pieces;        // completed upload; pieces of the one in progress
    int m_pieceCount = 0, m_nextPiece = 0;   // of the sequence in progress (0: none)
    int m_macroReports = 0, m_macroUploads = 0;
    bool m_badSum = false;
};

} // namespace emu
