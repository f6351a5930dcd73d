#pragma once
// Worker of the mouse of the 20-byte/520-byte protocol (kinds 2 and 3): reads the 520-byte
// configuration image, parses it with the product's memory map into the MouseConfigRecord,
// writes changed settings and DPI stages back whole, writes the button assignments and their
// macros, restores the factory image, and listens for the mouse's 20-byte status reports.
#include "device/QHid_Work_Interface.h"

#include <memory>

struct DpiConfigRecord;
struct MouseConfigRecord;

class ZR_2_0_MouseThread : public QHid_Work_Interface
{
    Q_OBJECT
public:
    static constexpr int kImageLength = 520;
    static constexpr int kMaxStages = 15; // the current-DPI byte holds the count in one hex digit
    static constexpr int kMacroPiece = 512;    // macro data per 0x03 report once the block needs pieces
    static constexpr int kMaxMacroPieces = 8;  // whole pieces the mouse's macro memory holds

    explicit ZR_2_0_MouseThread(QObject *parent = nullptr);

    QString ReadDeviceCode() override;
    void WriteKeys() override;
    void WriteDpiTable() override;
    void RecoverConfig() override;
    void SynchronizingDeviceData() override;
    void SetParam(uchar code, uint v1, uint v2, uint v3, uint v4, uint v5, uint v6) override;
    void StartListening() override;
    void StopListening() override;

    bool ReadConfigImage();
    // Parses an image of kImageLength bytes into a new record attached to the device; false
    // (nothing attached) without the product's memory map.
    bool ParseConfigImage(const QByteArray &image);
    void ReadCodeAndBattery(QString &code);
    // The button rows of the key-definition page (their last copy) as the 0x01 key map, then
    // the macros they name as 0x03 macro data; true when everything reached the mouse.
    bool WriteKeyTable();
    // Handles one 20-byte input report; true when it was a status report.
    bool HandleStatus(const uchar *report, int length);

    // On the GUI thread (the worker's own wake handling posts the name there).
    static void SetDeviceName(DeviceRecord *record, const QString &name);
    static uint8_t DpiStepForSensor(uint8_t sensor) { return sensor == 24 ? 100 : 50; }
    static uint8_t RateCode(uint32_t rate);
    // The current-DPI byte and both tables written into image for the record's stages; false
    // (image untouched) for a list the image cannot hold or a map without the three addresses.
    static bool PutDpiStages(QByteArray &image, const MouseConfigRecord &record, const DpiConfigRecord &map);

protected:
    void run() override;

private:
    DpiConfigRecord *ReadMap() const;
    bool SendImage(QByteArray image);
    bool Transaction(QByteArray &buffer, int waitMs);
};
