#pragma once
#include "firmware/CmdControl.h"
#include "firmware/Cmd.h"

#include <QByteArray>
#include <QJsonArray>
#include <QList>
#include <string>

// Writes a firmware image into a PixArt mouse over its cable or through its receiver, as
// frames of the PixArt command table on the mouse's feature TLC.
class CmdControlPixArt : public CmdControl
{
    Q_OBJECT
public:
    explicit CmdControlPixArt(QObject *parent = nullptr);
    ~CmdControlPixArt() override;

    // Packet sizes a data frame can carry whole in a 64-byte report.
    static constexpr int MinPacketSize = 1, MaxPacketSize = 55;
    // Images at or above this size cannot be addressed by the 4096-byte block check.
    static constexpr qint64 MaxImageBytes = 16 * 1024 * 1024;

    // The image of a file's bytes (the file plus its 32-byte trailer) cut into data packets.
    static QList<std::string> CutPackets(const std::string &image, int packetSize);
    static std::string ImageOf(const QByteArray &file);
    static int HexTextToInt(const QByteArray &text);

    int packetSize() const { return m_packetSize; }
    int imageSize() const { return m_imageSize; }

public Q_SLOTS:
    void run() override;
    bool setup() override { return true; }
    bool set_params(QVariantMap params) override;
    bool reset() override;

private:
    enum class FileCheck { Ok, Missing, Empty, TooLarge };
    FileCheck CheckFirmwareFile();
    bool LoadFirmware();
    hid_device *OpenPixArtDevice(int vid, int pid);
    bool OpenFromIdList(bool wireless);
    void SendCmd(const Cmd &cmd);
    bool CheckReply(const Cmd &reply);
    bool RunStep(const Cmd &cmd);
    bool StepExchange(const QList<Cmd> &cmds, bool sleep);
    bool DeviceGone();
    void CloseOwnDevice();
    void Fail(const QString &text);

    enum class Verdict { Pass, Mismatch, Fail };
    bool UpgradeWired();
    bool UpgradeWireless();
    Verdict WirelessVerifyPass();
    Verdict WirelessVerifyId();
    bool StageTimeUp() const;
    bool WiredVerifyPass();
    bool WiredSendReady();
    bool SendData(bool wireless);
    bool Valid(bool wireless);
    bool Verify4k(bool wireless, int total);
    bool Finish(bool wireless);

    QByteArray m_verifyPassword, m_verifyVid, m_verifyPid, m_fwPath;
    int m_retryCnt = 1000;
    int m_packetTime = 16;
    bool m_wirelessMode = false;
    bool m_developMode = false;
    QJsonArray m_dongles;
    int m_imageSize = 0;
    uint16_t m_dataSum = 0;
    uint8_t m_lastTag = 0;
    QList<std::string> m_packets;
    uint8_t m_sequence = 1;
    int m_packetSize = 25;
    bool m_ownsDevice = false;
    QByteArray m_devicePath;
    bool m_gone = false;
    bool m_ended = false;
    qint64 m_stageDeadline = -1; // monotonic ms; -1: none
    // How long the receiver's identity stage may go on (at time scale 1) before it gives up.
    static constexpr int VerifyStageMs = 180000;
};
