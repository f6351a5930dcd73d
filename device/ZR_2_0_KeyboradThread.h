#pragma once
// The protocol worker of a keyboard of the 20-byte/520-byte protocol, wired (one 520-byte
// feature report per table) or through its receiver (20-byte reports and packet transfers):
// the listener of its status notices, the device-code reads, the table reads into the
// device's store and the commands that write lighting, settings, colours, keys and defaults.
#include "device/QHid_Work_Interface.h"

#include <QList>
#include <QMetaObject>
#include <atomic>
#include <cstdint>

class QSettings;
struct ProductRecord;

class ZR_2_0_KeyboradThread : public QHid_Work_Interface
{
    Q_OBJECT
public:
    explicit ZR_2_0_KeyboradThread(QObject *parent = nullptr);
    ~ZR_2_0_KeyboradThread() override;

    void SetOptionFlag(uchar flag) override;
    void ReadStatusOnce(uchar timeoutMs) override;
    QString ReadDeviceCode() override;
    bool CheckOnline() override;
    void WriteKeys() override;
    bool WriteKeysSaysWhy() const override { return true; }
    void WriteConfigBlock() override;
    void RestartListening() override;
    void WriteDiyColorMap() override;
    void RecoverConfig() override;
    void SynchronizingDeviceData() override;
    void ChangeLightModel() override;
    void ChangeLightMColor() override;
    void ChangeLightColor() override;
    void ChangeLightSpeedLuminance() override;
    void QueueCommand(uchar *buffer, int length, int type) override;
    void CommandMarker(uchar *marker) override;
    void StartListening() override;
    void StopListening() override;

    // Table reads: 0 read from the device; non-zero served from the product data or not read.
    int ReadDeviceTables();
    int ReadConfigBlock();
    int ReadBaseColorMap();
    int ReadDiyColorMap();
    void QueryDeviceCode(bool fromListener = false);

    void WriteLightModel(int model);
    void WriteLightColor(int model, int r, int g, int b);
    void WriteLightMColor(int model, bool multiColour);
    void WriteLightSpeedLuminance(int model, int speed, int luminance);
    void ConnectLightingPage();

    static ProductRecord FindProductRecord(const QString &code);
    // The hex byte list of a key of the product data as a 520-byte buffer (caller frees), or
    // null when the key is missing or empty; *count = the number of items.
    uint8_t *LoadColorMapFromIni(const QString &key, int *count);

    uint8_t CodeCheckResult() const { return m_CodeCheckResult; }
    uint8_t OptionFlag() const { return m_OptionFlag; }
    int AmdAudioSleep() const { return m_AmdAudioSleep; }
    int QueuedCommands() const { return m_Commands.size(); }
    bool LightingPageConnected() const { return m_LightingPageConnected; }
    // The result of the last lighting, colour-map or key write (the main window's flag when one exists).
    bool WriteResult() const;

protected:
    void run() override;

private:
    struct CommandEntry
    {
        int length = 0;
        int type = 0;
        uint16_t marker = 0xDEED;
    };
    void HandleStatus(const uchar *report);
    int ReadOnce(int timeoutMs);
    QSettings *OpenDataIni() const;
    bool SendImage(uchar *image, uchar featureCommand, uchar packetCommand, int total);
    uchar *FeatureRead(uchar command, uint16_t length, bool *ok);
    void SetWriteResult(bool ok);
    void LightingParameterError(const QString &what);
    void SleepMs(int ms);
    uint KeyFileRefusal(QString *macro);
    static int ReadAmdAudioSleep();

    QList<CommandEntry> m_Commands;
    QMetaObject::Connection m_Connection;
    int m_AmdAudioSleep = 0;
    std::atomic<uint8_t> m_OptionFlag{0};
    std::atomic<bool> m_LightingPageConnected{false};
    std::atomic<uint8_t> m_CodeCheckResult{0};
    std::atomic<bool> m_LastWrite{false}; // the device-write result when no main window exists
};
