#include "firmware/PixArtCommandTable.h"

#include <QMutex>
#include <QMutexLocker>

std::string PixArtChecksum(const std::string &frame)
{
    if (frame.size() <= 2)
        return frame;
    std::string out = frame;
    unsigned sum = 0;
    for (size_t i = 2; i < out.size(); ++i)
        sum += static_cast<unsigned char>(out[i]);
    out[1] = static_cast<char>(sum & 0xFF);
    return out;
}

namespace {

std::string Hex(const char *hex)
{
    return QByteArray::fromHex(QByteArray(hex)).toStdString();
}

struct Row
{
    const char *step;
    const char *name;
    bool send;
    uint32_t post;
    const char *frame; // byte 1 is recomputed when sent
};

const char *const Preset27Wired = "03BA653A0300270106 27C061010000";
const char *const Preset27Wireless = "03BA653A0301270106 27C061010000";
const char *const Preset42Wired = "032B653A0400420202 4200";
const char *const Preset42Wireless = "032B653A0401420202 4200";
const char *const Preset25 = "036500250500 0E1027000100000000001000001900280000000000 00";
const char *const Preset41 = "0365002504000E1027000100000000001000001900 28";
const char *const Preset80 = "03650025030 00E1480001103010900000000010001002106010702 08"
                             "0000000000000000000000000000";
const char *const Preset18 = "03650025 8E000E1027000100000000001000001900 28 00000000000000000000";
const char *const Preset22 = "03650025 8F000E1027000100000000001000001900 28 00000000000000000000";
const char *const Preset92 = "03650025 08000E1192003A092C62002E 00000000000000000000";
const char *const Preset44 = "03650025 00000E10270001000000000010000019002800019507 0208"
                             "0000000000000000000000000000";
const char *const Preset57 = "03650025 0B000E10270001000000000010000019002800019507 0208"
                             "0000000000000000000000000000";
const char *const Preset83 = "03650025 02000E0883001100480014001000001900280001950702 08"
                             "0000000000000000000000000000";
const char *const Preset5E = "03650025 07000E1192003A092C62002E002E00206601009A950702 08"
                             "0000000000000000000000000000";
const char *const Preset43 = "03650025 000001010 0FF00092C62002E002E00206601009A950702 08"
                             "0000000000000000000000000000";

// 16 steps, 48 commands. The link byte (byte 5) of cmd_41_out in wireless_upgrade_valid and of
// cmd_43_out in wireless_upgrade_verify_exit is 0 although both steps go through the receiver;
// the receiver expects them so.
const Row Rows[] = {
    {"wired_upgrade_send_ready", "cmd_27_out", true, 100, "0300653A03002701062750720100 00"},
    {"wired_upgrade_send_ready", "cmd_27_in", false, 50, Preset27Wired},
    {"wired_upgrade_send_ready", "cmd_42_out", true, 0, "0300653A04004202024200"},
    {"wired_upgrade_send_ready", "cmd_42_in", false, 10, Preset42Wired},
    {"wired_upgrade_send_ready", "cmd_25_out", true, 50, "0300653A050025030925000000000010 0000"},
    {"wired_upgrade_send_ready", "cmd_25_in", false, 0, Preset25},
    {"wired_upgrade_send_data", "cmd_40_out", true, 1, "0300653A0000400419"},
    {"wired_upgrade_valid", "cmd_41_out", true, 50, "0300653A0400410503 41"},
    {"wired_upgrade_valid", "cmd_41_in", false, 0, Preset41},
    {"wired_upgrade_verify_pass", "cmd_80_out", true, 100, "0300653A0300800204808100"},
    {"wired_upgrade_verify_pass", "cmd_80_in", false, 50, Preset80},
    {"wired_upgrade_update_firmware_info", "cmd_18_out", true, 50, "0300653A8E00188F0C1850720100 26F0002E002E00"},
    {"wired_upgrade_update_firmware_info", "cmd_18_in", false, 50, Preset18},
    {"wired_upgrade_verify_reboot", "cmd_22_out", true, 50, "0300653A9200229002 2200"},
    {"wired_upgrade_verify_reboot", "cmd_22_in", false, 50, Preset22},
    {"wired_upgrade_verify_version", "cmd_92_out", true, 50, "0300653A0700920102 9200"},
    {"wired_upgrade_verify_version", "cmd_92_in", false, 50, Preset92},
    {"wireless_upgrade_verify_ready", "cmd_44_out", true, 100, "0300653A000144000944000000000000 0000"},
    {"wireless_upgrade_verify_ready", "cmd_44_in", false, 50, Preset44},
    {"wireless_upgrade_verify_ready", "cmd_57_out", true, 100, "0300653A0B0157010657 0000000000"},
    {"wireless_upgrade_verify_ready", "cmd_57_in", false, 50, Preset57},
    {"wireless_upgrade_verify_ready", "cmd_83_out", true, 100, "0300653A020183010383 8100"},
    {"wireless_upgrade_verify_ready", "cmd_83_in", false, 50, Preset83},
    {"wireless_upgrade_verify_pass", "cmd_80_out", true, 100, "0300653A0301800204808100"},
    {"wireless_upgrade_verify_pass", "cmd_80_in", false, 50, Preset80},
    {"wireless_upgrade_verify_pass", "cmd_92_out", true, 100, "0300653A080192040292 0000"},
    {"wireless_upgrade_verify_pass", "cmd_92_in", false, 50, Preset92},
    {"wireless_upgrade_verify_exit", "cmd_5e_out", true, 100, "0300653A07015E00015E"},
    {"wireless_upgrade_verify_exit", "cmd_5e_in", false, 50, Preset5E},
    {"wireless_upgrade_verify_exit", "cmd_43_out", true, 100, "0300653A00004300024300"},
    {"wireless_upgrade_verify_exit", "cmd_43_in", false, 50, Preset43},
    {"wireless_upgrade_verify_exit", "cmd_44_out", true, 200, "0300653A000144000944000000000000 0000"},
    {"wireless_upgrade_verify_exit", "cmd_44_in", false, 10, Preset43},
    {"wireless_upgrade_send_ready", "cmd_27_out", true, 100, "0300653A03012701062750720100 00"},
    {"wireless_upgrade_send_ready", "cmd_27_in", false, 50, Preset27Wireless},
    {"wireless_upgrade_send_ready", "cmd_42_out", true, 100, "0300653A04014202024200"},
    {"wireless_upgrade_send_ready", "cmd_42_in", false, 10, Preset42Wireless},
    {"wireless_upgrade_send_ready", "cmd_25_out", true, 100, "0300653A050125030925000000000010 0000"},
    {"wireless_upgrade_send_ready", "cmd_25_in", false, 0, Preset25},
    {"wireless_upgrade_send_data", "cmd_40_out", true, 18, "0300653A0001400419"},
    {"wireless_upgrade_valid", "cmd_41_out", true, 200, "0300653A0400410503 41"},
    {"wireless_upgrade_valid", "cmd_41_in", false, 0, Preset41},
    {"wireless_upgrade_update_firmware_info", "cmd_18_out", true, 100, "0300653A8E01188F0C1850720100 26F0002E002E00"},
    {"wireless_upgrade_update_firmware_info", "cmd_18_in", false, 0, Preset18},
    {"wireless_upgrade_verify_reboot", "cmd_22_out", true, 100, "0300653A8F01229002 2200"},
    {"wireless_upgrade_verify_reboot", "cmd_22_in", false, 50, Preset22},
    {"wireless_upgrade_verify_version", "cmd_92_out", true, 100, "0300653A080192040292 0000"},
    {"wireless_upgrade_verify_version", "cmd_92_in", false, 50, Preset92},
};

QMutex &TableLock()
{
    static QMutex lock;
    return lock;
}

} // namespace

QMap<QString, QList<Cmd>> &PixArtCommandTable()
{
    static QMap<QString, QList<Cmd>> table;
    return table;
}

bool InitPixArtCommandTable()
{
    // Several engines and the version query may fill it at once; the filled table never changes.
    QMutexLocker locker(&TableLock());
    QMap<QString, QList<Cmd>> built;
    for (const Row &r : Rows) {
        const std::string frame = Hex(r.frame);
        built[QString::fromLatin1(r.step)].append(
            Cmd(QString::fromLatin1(r.name), r.send ? SendFeature : GetFeature, 0, r.post,
                r.send ? PixArtChecksum(frame) : frame));
    }
    QMap<QString, QList<Cmd>> &table = PixArtCommandTable();
    for (auto it = built.cbegin(); it != built.cend(); ++it)
        table.insert(it.key(), it.value());
    return true;
}

QList<Cmd> PixArtStep(const QString &step)
{
    static const bool filled = InitPixArtCommandTable();
    Q_UNUSED(filled);
    QMutexLocker locker(&TableLock());
    return PixArtCommandTable().value(step);
}

bool PixArtPrepareSend(Cmd &cmd, uint8_t &sequence)
{
    using namespace PixArtFrame;
    std::string &f = cmd.out_bytes;
    if (f.size() > size_t(MaxBytes) || f.empty())
        return false;
    f[ReportId] = 0x03;
    if (cmd.kind == GetFeature)
        ++sequence;
    if (cmd.kind == SendFeature && f.size() > size_t(Length)) {
        f[Length] = static_cast<char>(f.size() - Payload);
        f[Sequence] = static_cast<char>(sequence);
        if (static_cast<unsigned char>(f[Command]) == 0x40)
            f[Sequence] = 0;
    }
    cmd.out_bytes = PixArtChecksum(f);
    return true;
}
