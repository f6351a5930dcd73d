#include "firmware/CmdControlGeeHy.h"

#include "device/HidClassify.h"
#include "firmware/CmdDispatch.h"
#include "firmware/CmdThread.h"
#include "platform/HidPlatform.h"

#include <QDebug>
#include <functional>
#include <QFile>
#include <QFileInfo>
#include <hidapi.h>

namespace {
int HexId(QString text)
{
    text = text.trimmed();
    if (text.startsWith("0x", Qt::CaseInsensitive))
        text = text.mid(2);
    bool ok = false;
    const int v = text.toInt(&ok, 16);
    return ok ? v : -1;
}
} // namespace

CmdControlGeeHy::~CmdControlGeeHy()
{
    UseDevice(nullptr);
}

std::string CmdControlGeeHy::Report(uint8_t reportId, uint8_t command, const QByteArray &args)
{
    std::string r(65, '\0');
    r[0] = static_cast<char>(reportId);
    r[1] = static_cast<char>(command);
    for (int i = 0; i < args.size() && i < 62; ++i)
        r[2 + i] = args[i];
    return r; // the checksum is put in by SendCmd
}

bool CmdControlGeeHy::set_params(QVariantMap params)
{
    m_fwPath = params.value("_fw_path").toString();
    m_geehyVid = params.value("_geehy_vid").toString();
    m_geehyPid = params.value("_geehy_pid").toString();
    m_vid = params.value("_vid").toString();
    m_pid = params.value("_pid").toString();
    m_version = params.value("_version").toString();
    m_developMode = params.value("_develop_mode").toBool();
    m_packetTime = params.value("_packet_time").toInt();
    return true;
}

void CmdControlGeeHy::UseDevice(hid_device *dev)
{
    delete m_dispatcher; // it acts on the old handle
    m_dispatcher = nullptr;
    if (m_ownsDevice && m_device && m_device != dev)
        hid_close(m_device);
    m_device = dev;
    m_ownsDevice = dev != nullptr;
}

bool CmdControlGeeHy::reset()
{
    delete m_dispatcher;
    m_dispatcher = nullptr;
    return true;
}

hid_device *CmdControlGeeHy::OpenHidDevice(const QString &vid, const QString &pid)
{
    const int v = HexId(vid), p = HexId(pid);
    if (v < 0 || p < 0)
        return nullptr;
    hid_init();
    for (const HidInterfaceEntry &e : EnumerateHidInterfaces(uint16_t(v), uint16_t(p))) {
        if (e.vendorId != v || e.productId != p || e.tlc.outputLength < 60)
            continue; // only the interface that takes the 65-byte reports is opened
        if (hid_device *dev = hid_open_path(e.path.toUtf8().constData())) {
            m_devicePath = e.path.toUtf8();
            return dev;
        }
    }
    return nullptr;
}

bool CmdControlGeeHy::CanOpenBootloader()
{
    hid_device *dev = OpenHidDevice(BootVid(), BootPid());
    if (dev)
        hid_close(dev); // only looked for
    return dev != nullptr;
}

bool CmdControlGeeHy::setup()
{
    reset();
    hid_device *dev = OpenHidDevice(m_vid, m_pid);
    if (!dev)
        dev = OpenHidDevice(BootVid(), BootPid());
    if (!dev)
        return false;
    UseDevice(dev);
    m_dispatcher = new CmdDispatch(m_device);
    return true;
}

void CmdControlGeeHy::Fail(const QString &text)
{
    qDebug() << "geehy update:" << text;
    if (m_ended)
        return;
    m_ended = true;
    emit failed(text);
}

bool CmdControlGeeHy::LoadFirmware(const QString &path)
{
    qDebug() << "fw:path " << path;
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        qDebug() << "firmware file not found";
        return false;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        qDebug() << "firmware file open failed";
        return false;
    }
    m_chunks.clear();
    m_imageSize = 0;
    m_byteSum = 0;
    // Measured before it is read: an image too large to number leaves no chunks and is refused
    // without being loaded. The read is bounded too, for a file that grows meanwhile.
    if (f.size() > MaxImageBytes) {
        qDebug() << "fw:size " << f.size() << "too large";
        return true;
    }
    const QByteArray image = f.read(MaxImageBytes + 1);
    if (image.size() > MaxImageBytes)
        return true;
    m_imageSize = uint32_t(image.size());
    for (char c : image)
        m_byteSum += uint8_t(c);
    for (int i = 0; i < image.size(); i += ChunkBytes)
        m_chunks.append(image.mid(i, ChunkBytes));
    qDebug() << "fw:size " << m_imageSize << "_fw_chunk_datas:size" << m_chunks.size();
    return true;
}

void CmdControlGeeHy::SendCmd(Cmd cmd)
{
    if (cmd.kind == WriteOutput && cmd.out_bytes.size() == 65) {
        unsigned sum = 0;
        for (int i = 1; i < 64; ++i)
            sum += uint8_t(cmd.out_bytes[size_t(i)]);
        cmd.out_bytes[64] = static_cast<char>(sum & 0xFF);
        // Stale acknowledgements are read off first, so that a late one never answers this report.
        unsigned char stale[64];
        while (m_device && hid_read_timeout(m_device, stale, sizeof stale, 0) > 0) {
        }
        if (m_dispatcher)
            m_dispatcher->clear_queue();
    }
    if (m_dispatcher)
        m_dispatcher->set_cmd(cmd);
}

bool CmdControlGeeHy::WaitReply(int tries)
{
    for (int i = 0; i < tries && m_dispatcher; ++i) {
        m_dispatcher->set_cmd(Cmd(QString(), ReadInput, 0, 0, std::string()));
        const Cmd reply = m_dispatcher->fetch_last_one();
        if (reply.kind == ReadInput && reply.in_bytes.size() >= 60 && reply.in_bytes[1] == 0)
            return true;
        if (reply.in_bytes.empty() && DeviceGone())
            return false; // no acknowledgement comes from a device that has left
    }
    return false;
}

bool CmdControlGeeHy::DeviceGone()
{
    if (m_devicePath.isEmpty())
        return false;
    bool present = false;
    hid_device_info *list = hid_enumerate(0, 0);
    for (hid_device_info *i = list; i; i = i->next)
        present = present || (i->path && m_devicePath == i->path);
    hid_free_enumeration(list);
    return !present;
}

bool CmdControlGeeHy::SendReport(uint8_t command, const QByteArray &args)
{
    SendCmd(Cmd(QString(), WriteOutput, 0, 0, Report(0, command, args)));
    return WaitReply(100);
}

bool CmdControlGeeHy::SetBootloader()
{
    SendCmd(Cmd(QString(), WriteOutput, 0, 0, Report(0x09, 0x11, QByteArray())));
    FirmwareSleepMs(1000);
    for (int i = 0; i < 1000; ++i) {
        if (CanOpenBootloader()) {
            emit message("device in bootloader");
            return true;
        }
        emit message("checking device");
        FirmwareSleepMs(5);
    }
    Fail("unknown device status");
    return false;
}

void CmdControlGeeHy::run()
{
    m_ended = false;
    if (!m_dispatcher) {
        Fail("can't find device");
        return;
    }
    // The file is judged before the mouse is switched: a bad file must not strand it in its
    // bootloader, under ids the catalogue does not know.
    if (!LoadFirmware(m_fwPath)) {
        Fail("missing firmware.bin");
    } else if (m_chunks.isEmpty()) { // empty, or too large to number
        Fail("firmware data error");
    } else if (CanOpenBootloader() || SetBootloader()) {
        Upgrade();
    }
    UseDevice(nullptr);
}

bool CmdControlGeeHy::SendData()
{
    const int n = m_chunks.size();
    for (int i = 0; i < n; ++i) {
        const int number = n - 1 - i;
        QByteArray args;
        args.append('\0');
        args.append(char(number & 0xFF));
        args.append(char(number >> 8));
        args.append(char(m_chunks[i].size()));
        args.append(m_chunks[i]);
        bool acked = false;
        for (int send = 0; send < Sends && !acked; ++send) {
            if (send > 0) {
                if (DeviceGone())
                    return false;
                FirmwareSleepMs(20);
            }
            acked = SendReport(0x33, args);
        }
        if (!acked)
            return false;
        emit update_process(100 * i / n);
        FirmwareSleepMs(m_packetTime);
    }
    return true;
}

bool CmdControlGeeHy::Upgrade()
{
    hid_device *boot = OpenHidDevice(BootVid(), BootPid());
    if (!boot) {
        Fail("can't find device");
        return false;
    }
    UseDevice(boot);
    m_dispatcher = new CmdDispatch(m_device);

    const uint32_t size = m_imageSize, sum = m_byteSum;
    const int version = HexId(m_version) < 0 ? 0 : HexId(m_version);
    const auto bytes = [](std::initializer_list<uint32_t> values) {
        QByteArray b;
        for (uint32_t v : values)
            b.append(char(v & 0xFF));
        return b;
    };
    const QByteArray sizeArgs = bytes({size, size >> 8, size >> 16, size >> 24});
    const QByteArray sumArgs = bytes({sum >> 24, sum >> 16, sum >> 8, sum}); // most significant first
    const QByteArray versionArgs = bytes({uint32_t(version), uint32_t(version) >> 8});
    struct Step
    {
        const char *message;
        std::function<bool()> build;
        const char *failure;
        const char *done;
    };
    const Step steps[] = {
        {"lock bootloader", [&] { return SendReport(0x25, QByteArray()); }, "upgrade_send_bootloader_lock failed",
         "upgrade_send_bootloader_lock done"},
        {"send fw length", [&] { return SendReport(0x22, sizeArgs); }, "upgrade_send_fw_length failed",
         "upgrade_send_fw_length done"},
        {"upgrading", [&] { return SendData(); }, "upgrade_send_fw_data failed", "upgrade_send_fw_data done"},
        {"send crc code", [&] { return SendReport(0x44, sumArgs); }, "upgrade_send_crc_code failed",
         "upgrade_send_crc_code done"},
        {"write version", [&] { return SendReport(0x24, versionArgs); }, "upgrade_send_write_version failed",
         "upgrade_send_write_version done"},
        {"send reboot cmd", [&] { return SendReport(0x55, QByteArray()); }, "upgrade_send_reboot failed",
         "upgrade_send_reboot done"},
    };
    for (const Step &s : steps) {
        emit message(s.message);
        if (!s.build()) {
            if (!m_developMode) {
                Fail(s.failure);
                return false;
            }
        } else {
            qDebug() << s.done;
        }
    }
    FirmwareSleepMs(1000);
    emit message("upgrade done");
    if (!m_ended) {
        m_ended = true;
        emit finished();
    }
    return true;
}
