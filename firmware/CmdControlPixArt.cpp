#include "firmware/CmdControlPixArt.h"

#include "device/HidClassify.h"
#include "firmware/CmdDispatch.h"
#include "firmware/CmdThread.h"
#include "firmware/PixArtCommandTable.h"

#include <QDebug>
#include <QElapsedTimer>
#include "platform/HidPlatform.h"
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <hidapi.h>

namespace {
uint8_t At(const std::string &s, size_t i)
{
    return i < s.size() ? static_cast<uint8_t>(s[i]) : 0;
}
void Put32(std::string &s, size_t at, uint32_t v)
{
    for (size_t i = 0; i < 4 && at + i < s.size(); ++i)
        s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
const char *Step(bool wireless, const char *wired, const char *viaReceiver)
{
    return wireless ? viaReceiver : wired;
}
} // namespace

CmdControlPixArt::CmdControlPixArt(QObject *parent) : CmdControl(parent)
{
    InitPixArtCommandTable();
}

CmdControlPixArt::~CmdControlPixArt()
{
    CloseOwnDevice();
}

int CmdControlPixArt::HexTextToInt(const QByteArray &text)
{
    QByteArray t = text.trimmed();
    if (t.startsWith("0x") || t.startsWith("0X"))
        t = t.mid(2);
    bool ok = false;
    const int v = t.isEmpty() ? 0 : t.toInt(&ok, 16);
    return ok || t.isEmpty() ? v : -1; // not hexadecimal: matches no device
}

std::string CmdControlPixArt::ImageOf(const QByteArray &file)
{
    if (file.isEmpty())
        return std::string(); // nothing to write: no trailer-only image
    static const QByteArray trailer =
        QByteArray::fromHex("002E002E") + QByteArray(20, '\0') + QByteArray::fromHex("55AA55AA55AA55AA");
    return (file + trailer).toStdString();
}

QList<std::string> CmdControlPixArt::CutPackets(const std::string &image, int packetSize)
{
    QList<std::string> packets;
    std::string packet;
    int c4k = 0, c1k = 0, cp = 0;
    for (char byte : image) {
        packet.push_back(byte);
        ++c4k, ++c1k, ++cp;
        if (c4k == 4096) {
            packets.append(packet), packet.clear();
            c4k = c1k = cp = 0;
        } else if (c1k == 1000) {
            packets.append(packet), packet.clear();
            c1k = cp = 0;
        } else if (cp == packetSize) {
            packets.append(packet), packet.clear();
            cp = 0;
        }
    }
    if (!packet.empty())
        packets.append(packet);
    return packets;
}

bool CmdControlPixArt::set_params(QVariantMap params)
{
    m_verifyPassword = params.value("_verify_password").toString().toUtf8();
    m_verifyVid = params.value("_verify_vid").toString().toUtf8();
    m_verifyPid = params.value("_verify_pid").toString().toUtf8();
    m_retryCnt = params.value("_retry_cnt").toInt();
    m_packetTime = params.value("_packet_time").toInt();
    m_wirelessMode = params.value("_wireless_mode").toBool();
    m_fwPath = params.value("_fw_path").toString().toUtf8();
    m_developMode = params.value("_develop_mode").toBool();
    m_dongles = params.value("_dongles").toJsonArray();
    return true;
}

bool CmdControlPixArt::reset()
{
    CmdControl::reset();
    CloseOwnDevice();
    m_packets.clear();
    m_dataSum = 0;
    m_lastTag = 0;
    m_device = nullptr;
    m_sequence = 1;
    m_gone = false;
    return true;
}

void CmdControlPixArt::CloseOwnDevice()
{
    if (m_ownsDevice && m_device) {
        delete m_dispatcher; // it acts on the handle
        m_dispatcher = nullptr;
        hid_close(m_device);
        m_device = nullptr;
    }
    m_ownsDevice = false;
}

void CmdControlPixArt::Fail(const QString &text)
{
    qDebug() << "pixart update:" << text;
    if (m_ended)
        return; // a run ends with one signal
    m_ended = true;
    emit failed(text);
}

CmdControlPixArt::FileCheck CmdControlPixArt::CheckFirmwareFile()
{
    const QString path = QString::fromUtf8(m_fwPath);
    qDebug() << "fw:path " << path;
    QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || !info.isFile()) {
        qDebug() << "firmware file not found";
        return FileCheck::Missing;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        qDebug() << "firmware file open failed";
        return FileCheck::Missing;
    }
    if (f.size() == 0)
        return FileCheck::Empty;
    if (f.size() + 32 >= MaxImageBytes)
        return FileCheck::TooLarge;
    return FileCheck::Ok;
}

bool CmdControlPixArt::LoadFirmware()
{
    QFile f(QString::fromUtf8(m_fwPath));
    if (!f.exists()) {
        qDebug() << "firmware file not found";
        return false;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        qDebug() << "firmware file open failed";
        return false;
    }
    const QByteArray file = f.readAll();
    qDebug() << "fw:size " << file.size();
    m_imageSize = file.size() + 32;
    m_packets = CutPackets(ImageOf(file), m_packetSize);
    return true;
}

hid_device *CmdControlPixArt::OpenPixArtDevice(int vid, int pid)
{
    if (vid < 0 || pid < 0)
        return nullptr;
    hid_init();
    for (const HidInterfaceEntry &e : EnumerateHidInterfaces(uint16_t(vid), uint16_t(pid))) {
        if (e.vendorId != vid || e.productId != pid || e.tlc.featureLength < 50)
            continue; // only the TLC that carries the 64-byte feature frames is opened
        hid_device *dev = hid_open_path(e.path.toUtf8().constData());
        if (!dev)
            continue;
        hid_set_nonblocking(dev, 1);
        m_devicePath = e.path.toUtf8();
        return dev;
    }
    return nullptr;
}

bool CmdControlPixArt::OpenFromIdList(bool wireless)
{
    QList<QPair<QByteArray, QByteArray>> pairs;
    if (wireless) {
        for (const QJsonValue &v : m_dongles)
            pairs.append({v.toObject().value("vid").toString().toUtf8(), v.toObject().value("pid").toString().toUtf8()});
    } else {
        pairs.append({m_verifyVid, m_verifyPid});
    }
    for (const auto &p : pairs) {
        if (hid_device *dev = OpenPixArtDevice(HexTextToInt(p.first), HexTextToInt(p.second))) {
            CloseOwnDevice();
            m_device = dev;
            m_ownsDevice = true;
            return true;
        }
    }
    return false;
}

void CmdControlPixArt::SendCmd(const Cmd &cmd)
{
    Cmd c = cmd;
    if (!PixArtPrepareSend(c, m_sequence)) {
        qDebug() << "pixart update: frame of" << cmd.out_bytes.size() << "bytes not sent";
        return;
    }
    m_dispatcher->set_cmd(c);
}

bool CmdControlPixArt::CheckReply(const Cmd &reply)
{
    const std::string &r = reply.in_bytes;
    if (r.size() > 4)
        m_lastTag = At(r, 4);
    if (r.size() >= 3 && At(r, 2) != 0)
        qDebug() << "pixart update:" << reply.name << "status" << At(r, 2);
    return r.size() >= 3 && At(r, 2) == 0;
}

bool CmdControlPixArt::DeviceGone()
{
    if (m_gone)
        return true;
    if (m_devicePath.isEmpty())
        return false;
    bool present = false;
    hid_device_info *list = hid_enumerate(0, 0);
    for (hid_device_info *i = list; i; i = i->next)
        if (i->path && m_devicePath == i->path)
            present = true;
    hid_free_enumeration(list);
    m_gone = !present;
    return m_gone;
}

bool CmdControlPixArt::RunStep(const Cmd &cmd)
{
    for (int attempt = 0; attempt < m_retryCnt; ++attempt) {
        SendCmd(cmd);
        const Cmd reply = m_dispatcher->fetch_last_one();
        if (CheckReply(reply))
            return true;
        if (reply.in_bytes.empty() && DeviceGone())
            return false; // no budget is spent on a device that has left
        FirmwareSleepMs(m_packetTime);
    }
    return false;
}

bool CmdControlPixArt::StepExchange(const QList<Cmd> &cmds, bool sleep)
{
    if (cmds.isEmpty())
        return false;
    for (const Cmd &c : cmds)
        SendCmd(c);
    if (sleep)
        FirmwareSleepMs(m_packetTime);
    const Cmd reply = m_dispatcher->fetch_last_one();
    if (CheckReply(reply))
        return true;
    if (reply.in_bytes.empty() && DeviceGone())
        return false;
    return RunStep(cmds.last());
}

void CmdControlPixArt::run()
{
    m_ended = false;
    if (m_wirelessMode)
        UpgradeWireless();
    else
        UpgradeWired();
    CloseOwnDevice();
}

bool CmdControlPixArt::UpgradeWired()
{
    if (!OpenFromIdList(false)) {
        Fail("can't find device");
        return false;
    }
    if (!m_dispatcher)
        m_dispatcher = new CmdDispatch(m_device);
    // The file is judged before anything goes to the mouse.
    switch (CheckFirmwareFile()) {
    case FileCheck::Missing:
        Fail("missing firmware.bin");
        return false;
    case FileCheck::Empty:
    case FileCheck::TooLarge:
        Fail("firmware data error");
        return false;
    case FileCheck::Ok:
        break;
    }
    if (!WiredVerifyPass() && !m_developMode)
        return false;
    qDebug() << "upgrade_wired_verify_pass done";
    if (!WiredSendReady() && !m_developMode) {
        Fail("setup device failed.");
        return false;
    }
    qDebug() << "upgrade_wired_send_ready done";
    if (!LoadFirmware()) {
        Fail("missing firmware.bin");
        return false;
    }
    if (m_packets.isEmpty()) {
        Fail("firmware data error");
        return false;
    }
    qDebug() << "load_firmware done";
    if (!SendData(false) && !m_developMode) {
        Fail("upgrade device failed.");
        return false;
    }
    qDebug() << "upgrade_wired_send_data done";
    if (Finish(false) || m_developMode) {
        qDebug() << "upgrade_wired_finished done";
        FirmwareSleepMs(1000);
        if (!m_ended) {
            m_ended = true;
            emit finished();
        }
        qDebug() << "upgrade finished";
        return true;
    }
    Fail("valid upgrade failed.");
    return false;
}

bool CmdControlPixArt::WiredVerifyPass()
{
    const QList<Cmd> step = PixArtStep("wired_upgrade_verify_pass");
    for (int attempt = 0; attempt < m_retryCnt; ++attempt) {
        SendCmd(step[0]);
        SendCmd(step[1]);
        const Cmd reply = m_dispatcher->fetch_last_one();
        CheckReply(reply);
        const std::string &r = reply.in_bytes;
        if (r.size() >= 28 && At(r, 8) == 0x80) {
            const QByteArray identity = QByteArray::fromStdString(r.substr(13, 6));
            if (identity == "DONGLE" || identity.toHex() == m_verifyPassword)
                return true;
            Fail("verify pass failed");
            return false;
        }
        if (r.size() >= 28 && At(r, 8) == 0x27) {
            SendCmd(PixArtStep("wired_upgrade_verify_reboot").value(0));
            FirmwareSleepMs(1000);
            Fail("device rebooted, please try again");
            return false;
        }
        if (r.empty() && DeviceGone())
            break;
    }
    Fail("verify pass failed");
    return false;
}

bool CmdControlPixArt::WiredSendReady()
{
    LoadFirmware(); // sets the image size announced below
    const QList<Cmd> step = PixArtStep("wired_upgrade_send_ready");
    Cmd c27 = step[0];
    Put32(c27.out_bytes, 10, uint32_t(m_imageSize));
    SendCmd(c27);
    SendCmd(step[1]);
    SendCmd(step[2]);
    std::string sizeReply;
    for (int attempt = 0; attempt < std::max(1, m_retryCnt); ++attempt) {
        FirmwareSleepMs(15);
        SendCmd(step[3]);
        const Cmd reply = m_dispatcher->fetch_last_one();
        if (reply.in_bytes.size() == 42) {
            sizeReply = reply.in_bytes;
            break;
        }
        if (reply.in_bytes.empty() && DeviceGone())
            return false;
    }
    if (sizeReply.empty())
        return false;
    m_lastTag = At(sizeReply, 4);
    m_packetSize = static_cast<int8_t>(At(sizeReply, 19));
    if (m_packetSize < MinPacketSize || m_packetSize > MaxPacketSize) {
        // Larger frames would be cut at 64 bytes while the sums count the bytes never sent.
        qDebug() << "pixart update: packet size" << m_packetSize << "refused";
        return false;
    }
    SendCmd(step[4]);
    SendCmd(step[5]);
    const Cmd reply = m_dispatcher->fetch_last_one();
    if (reply.in_bytes.size() > 4)
        m_lastTag = At(reply.in_bytes, 4);
    return reply.in_bytes.size() == 42 && At(reply.in_bytes, 3) == 0x25;
}

bool CmdControlPixArt::SendData(bool wireless)
{
    m_dataSum = 0;
    const Cmd header = PixArtStep(Step(wireless, "wired_upgrade_send_data", "wireless_upgrade_send_data")).value(0);
    int c1k = 0, c4k = 0, total = 0;
    const int n = m_packets.size();
    const int every = n < 200 ? 1 : n / 100;
    for (int i = 0; i < n; ++i) {
        const std::string &packet = m_packets[i];
        for (char b : packet)
            m_dataSum = uint16_t(m_dataSum + uint8_t(b));
        Cmd c = header;
        c.out_bytes += packet;
        SendCmd(c);
        FirmwareSleepMs(m_packetTime);
        c1k += int(packet.size()), c4k += int(packet.size()), total += int(packet.size());
        if (i % every == 0 && m_imageSize > 0)
            emit update_process(int(qint64(total) * 100 / m_imageSize));
        if ((wireless || m_packetSize == 25) && c1k >= 1000) {
            c1k = 0;
            if (!Valid(wireless)) {
                qDebug() << "error upgrade_wired_verify_1k_data";
                emit message("verify 1k data failed");
                return false;
            }
        }
        if (c4k >= 4096) {
            c1k = c4k = 0;
            if (!Valid(wireless)) {
                qDebug() << "error upgrade_wired_verify_1k_data";
                emit message("verify 1k data failed");
                return false;
            }
            if (!Verify4k(wireless, total)) {
                qDebug() << "error upgrade_wired_verify_4k_data";
                emit message("verify 4k data failed");
                return false;
            }
        }
    }
    if (!Valid(false)) {
        emit message("verify 1k data failed");
        return false;
    }
    return true;
}

bool CmdControlPixArt::Valid(bool wireless)
{
    QList<Cmd> step = PixArtStep(Step(wireless, "wired_upgrade_valid", "wireless_upgrade_valid"));
    std::string &f = step[0].out_bytes;
    f.push_back(static_cast<char>(m_dataSum & 0xFF));
    f.push_back(static_cast<char>(m_dataSum >> 8));
    f[4] = static_cast<char>(m_lastTag + 1);
    return StepExchange(step, true);
}

bool CmdControlPixArt::Verify4k(bool wireless, int total)
{
    const QList<Cmd> step = PixArtStep(Step(wireless, "wired_upgrade_send_ready", "wireless_upgrade_send_ready"));
    Cmd c = step[4];
    const int blocks = (total + 1) / 4096;
    c.out_bytes[11] = static_cast<char>((blocks % 16) * 16);
    c.out_bytes[12] = static_cast<char>((blocks / 16) & 0xFF);
    c.out_bytes[4] = static_cast<char>(m_lastTag + 1);
    SendCmd(c);
    SendCmd(step[5]);
    FirmwareSleepMs(m_packetTime);
    const Cmd reply = m_dispatcher->fetch_last_one();
    if (CheckReply(reply))
        return true;
    if (reply.in_bytes.empty() && DeviceGone())
        return false;
    return RunStep(step[5]);
}

bool CmdControlPixArt::Finish(bool wireless)
{
    QList<Cmd> info =
        PixArtStep(Step(wireless, "wired_upgrade_update_firmware_info", "wireless_upgrade_update_firmware_info"));
    Put32(info[0].out_bytes, 10, uint32_t(m_imageSize));
    info[0].out_bytes[14] = static_cast<char>(m_dataSum & 0xFF);
    info[0].out_bytes[15] = static_cast<char>(m_dataSum >> 8);
    if (!StepExchange(info, false))
        return false;
    if (!StepExchange(PixArtStep(Step(wireless, "wired_upgrade_verify_reboot", "wireless_upgrade_verify_reboot")), false))
        return false;
    emit update_process(100);
    return true;
}

namespace {
qint64 NowMs()
{
    static QElapsedTimer clock;
    static const bool started = (clock.start(), true);
    Q_UNUSED(started);
    return clock.elapsed();
}
} // namespace

bool CmdControlPixArt::StageTimeUp() const
{
    return m_stageDeadline >= 0 && NowMs() >= m_stageDeadline;
}

bool CmdControlPixArt::UpgradeWireless()
{
    if (!OpenFromIdList(true)) {
        Fail("can't find device");
        return false;
    }
    if (!m_dispatcher)
        m_dispatcher = new CmdDispatch(m_device);
    const FileCheck file = CheckFirmwareFile();
    if (file == FileCheck::Missing || !LoadFirmware()) {
        Fail("missing firmware.bin");
        return false;
    }
    if (file != FileCheck::Ok || m_packets.isEmpty()) {
        Fail("firmware data error");
        return false;
    }
    const QList<Cmd> ready = PixArtStep("wireless_upgrade_verify_ready");
    if (!StepExchange(ready, false) && !m_developMode) {
        Fail("wireless verify ready failed");
        return false;
    }
    qDebug() << "upgrade_wireless_verify_ready done";
    emit message("verify ready ok");

    // A receiver whose mouse has not woken yet answers with its own identity, so a wrong one is
    // asked again too. The whole identity stage runs against one deadline: a receiver whose mouse
    // never answers would otherwise keep it busy for hours.
    m_stageDeadline = NowMs() + platform::HidScaledMs(VerifyStageMs);
    Verdict pass = WirelessVerifyPass();
    for (int round = 0; round < 1000 && pass != Verdict::Pass && !m_gone && !StageTimeUp(); ++round)
        if (StepExchange(ready, false))
            pass = WirelessVerifyPass();
    m_stageDeadline = -1;
    if (pass != Verdict::Pass && !m_developMode) {
        Fail("wireless verify pass failed");
        return false;
    }
    emit message("verify password ok");
    qDebug() << "upgrade_wireless_verify_pass done";
    if (WirelessVerifyId() != Verdict::Pass && !m_developMode) {
        Fail("wireless verify ID failed");
        return false;
    }
    emit message("verify vid pid ok");
    qDebug() << "upgrade_wireless_verify_vidpid done";
    if (!StepExchange(PixArtStep("wireless_upgrade_verify_exit"), true) && !m_developMode) {
        Fail("wireless verify exit failed");
        return false;
    }
    qDebug() << "upgrade_wireless_verify_exit done";
    LoadFirmware();
    QList<Cmd> sendReady = PixArtStep("wireless_upgrade_send_ready");
    Put32(sendReady[0].out_bytes, 10, uint32_t(m_imageSize));
    if (!StepExchange(sendReady, false) && !m_developMode) {
        Fail("wireless send ready failed");
        return false;
    }
    emit message("upgrading");
    qDebug() << "upgrade_wireless_send_ready done";
    if (!SendData(true) && !m_developMode) {
        Fail("wireless upgrade device failed");
        return false;
    }
    qDebug() << "upgrade_wireless_send_data done";
    if (!Finish(true) && !m_developMode) {
        Fail("wireless send reboot failed");
        return false;
    }
    FirmwareSleepMs(1000);
    qDebug() << "upgrade_wireless_send_finished done";
    if (!m_ended) {
        m_ended = true;
        emit finished();
    }
    return true;
}

CmdControlPixArt::Verdict CmdControlPixArt::WirelessVerifyPass()
{
    const QList<Cmd> step = PixArtStep("wireless_upgrade_verify_pass");
    for (int attempt = 0; attempt < 1000 && !StageTimeUp(); ++attempt) {
        SendCmd(step[0]);
        SendCmd(step[1]);
        const Cmd reply = m_dispatcher->fetch_last_one();
        CheckReply(reply);
        const std::string &r = reply.in_bytes;
        if (r.size() >= 28 && At(r, 8) == 0x80) {
            // A definite answer ends this pass; the stage decides whether to ask again.
            return QByteArray::fromStdString(r.substr(13, 6)).toHex() == m_verifyPassword ? Verdict::Pass
                                                                                           : Verdict::Mismatch;
        }
        if (r.empty() && DeviceGone())
            return Verdict::Fail;
    }
    return Verdict::Fail;
}

CmdControlPixArt::Verdict CmdControlPixArt::WirelessVerifyId()
{
    const QList<Cmd> step = PixArtStep("wireless_upgrade_verify_pass");
    for (int attempt = 0; attempt < 1000; ++attempt) {
        SendCmd(step[2]);
        SendCmd(step[3]);
        const Cmd reply = m_dispatcher->fetch_last_one();
        CheckReply(reply);
        const std::string &r = reply.in_bytes;
        if (r.size() >= 14 && At(r, 8) == 0x92) {
            // Compared as numbers: the catalogue's "0x0302" and the reply's 02 03 are one id.
            const int vid = At(r, 11) << 8 | At(r, 10), pid = At(r, 13) << 8 | At(r, 12);
            return vid == HexTextToInt(m_verifyVid) && pid == HexTextToInt(m_verifyPid) ? Verdict::Pass
                                                                                          : Verdict::Mismatch;
        }
        if (r.empty() && DeviceGone())
            return Verdict::Fail;
    }
    return Verdict::Fail;
}
