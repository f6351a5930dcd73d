#pragma once
#include "firmware/Cmd.h"
#include "firmware/CmdControl.h"

#include <QByteArray>
#include <QVector>
#include <string>

// Writes a firmware image into a Geehy-based mouse: switches it into its bootloader when it is
// not there yet and drives the bootloader with 65-byte output reports, each acknowledged.
class CmdControlGeeHy : public CmdControl
{
    Q_OBJECT
public:
    explicit CmdControlGeeHy(QObject *parent = nullptr) : CmdControl(parent) {}
    ~CmdControlGeeHy() override;

    static constexpr int ChunkBytes = 58;
    // Packet numbers are 16 bits wide: larger images cannot be numbered.
    static constexpr int MaxPackets = 65536;
    static constexpr qint64 MaxImageBytes = qint64(MaxPackets) * ChunkBytes;
    static constexpr int Sends = 7;

    // A 65-byte report [report id][command][arguments...][checksum at 64].
    static std::string Report(uint8_t reportId, uint8_t command, const QByteArray &args);

    static const char *BootVid() { return "0x314b"; }
    static const char *BootPid() { return "0x03ec"; }

public Q_SLOTS:
    void run() override;
    QString ReadWiredVersion() override { return QString(); }
    QString QueryWirelessVersion() override { return QString(); }
    bool setup() override;
    bool set_params(QVariantMap params) override;
    bool reset() override;

private:
    hid_device *OpenHidDevice(const QString &vid, const QString &pid);
    bool CanOpenBootloader();
    bool LoadFirmware(const QString &path);
    bool SetBootloader();
    bool Upgrade();
    bool WaitReply(int tries);
    void SendCmd(Cmd cmd);
    bool SendReport(uint8_t command, const QByteArray &args);
    bool SendData();
    bool DeviceGone();
    void UseDevice(hid_device *dev);
    void Fail(const QString &text);

    uint32_t m_byteSum = 0;
    QString m_fwPath, m_version;
    uint32_t m_imageSize = 0;
    int m_packetTime = 16;
    QVector<QByteArray> m_chunks;
    QString m_vid, m_pid, m_geehyVid, m_geehyPid;
    bool m_developMode = false;
    bool m_ownsDevice = false;
    QByteArray m_devicePath;
    bool m_ended = false;
};
