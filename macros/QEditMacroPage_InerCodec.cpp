// The 4-byte macro event records and the key code tables of the event list.
#include "macros/QEditMacroPage_Iner.h"

#include <QHash>

namespace {

struct VkUsage
{
    uint vk;
    uchar usage;
};

// Windows key code -> USB keyboard usage; every pair and nothing more (104 pairs).
const QVector<VkUsage> &Pairs()
{
    static const QVector<VkUsage> pairs = [] {
        QVector<VkUsage> p;
        for (uint i = 0; i < 26; ++i)
            p.append({65 + i, uchar(4 + i)});
        for (uint i = 0; i < 9; ++i)
            p.append({49 + i, uchar(30 + i)});
        p.append({48, 39});
        const VkUsage fixed[] = {{13, 40},  {27, 41},  {8, 42},   {9, 43},   {32, 44},  {189, 45}, {187, 46}, {219, 47},
                                 {221, 48}, {220, 49}, {186, 51}, {222, 52}, {192, 53}, {188, 54}, {190, 55}, {191, 56},
                                 {20, 57},  {44, 70},  {145, 71}, {19, 72},  {45, 73},  {36, 74},  {33, 75},  {46, 76},
                                 {35, 77},  {34, 78},  {39, 79},  {37, 80},  {40, 81},  {38, 82},  {144, 83}, {111, 84},
                                 {106, 85}, {109, 86}, {107, 87}, {kKeypadEnter, 88}, {96, 98}, {110, 99}, {93, 101},
                                 {162, 224}, {160, 225}, {164, 226}, {91, 227}, {163, 228}, {161, 229}, {165, 230}, {92, 231}};
        for (const VkUsage &f : fixed)
            p.append(f);
        for (uint i = 0; i < 12; ++i)
            p.append({112 + i, uchar(58 + i)});
        for (uint i = 0; i < 9; ++i)
            p.append({97 + i, uchar(89 + i)});
        return p;
    }();
    return pairs;
}

// Both directions as plain tables: records are decoded a whole macro at a time.
struct Tables
{
    uchar usageOfVk[256] = {};
    uint vkOfUsage[256] = {};
    Tables()
    {
        for (const VkUsage &p : Pairs()) {
            if (p.vk < 256)
                usageOfVk[p.vk] = p.usage;
            vkOfUsage[p.usage] = p.vk;
        }
    }
};

const Tables &KeyTables()
{
    static const Tables tables;
    return tables;
}

bool IsModifier(uint vk)
{
    return vk == 91 || vk == 92 || (vk >= 160 && vk <= 165);
}

// Button index of a mouse row -> its bit in byte 3 of a record.
const uchar kButtonBits[5] = {0x01, 0x04, 0x02, 0x10, 0x08};

// Bytes 0-2 of a record. The field holds 20 bits; a longer recorded pause is kept as the longest
// one it can hold rather than being cut to a sixteenth of its length.
void WriteHead(char *head, uint kind, uint delay)
{
    const uint d = qMin(delay, kMacroMaxDelay);
    head[0] = char(((kind & 0xF) << 4) | (d >> 16));
    head[1] = char((d >> 8) & 0xFF);
    head[2] = char(d & 0xFF);
}

} // namespace

uchar QEditMacroPage_Iner::VkToDeviceCode(int keyCode)
{
    if (keyCode == int(kKeypadEnter))
        return 88;
    if (keyCode < 0 || keyCode > 255)
        return 0;
    return KeyTables().usageOfVk[keyCode];
}

uint QEditMacroPage_Iner::DeviceCodeToVk(int usage)
{
    if (usage < 0 || usage > 255)
        return 0;
    return KeyTables().vkOfUsage[usage];
}

QString QEditMacroPage_Iner::KeyName(uint keyCode)
{
    static const QHash<uint, QString> names = [] {
        QHash<uint, QString> n{{kKeypadEnter, QStringLiteral("Num Enter")},
                               {8, QStringLiteral("Back")},  {9, QStringLiteral("Tab")},    {13, QStringLiteral("Enter")},
                               {19, QStringLiteral("Pause")}, {20, QStringLiteral("Caps")}, {27, QStringLiteral("Esc")},
                               {32, QStringLiteral("Space")}, {33, QStringLiteral("Pgup")}, {34, QStringLiteral("Pgdn")},
                               {35, QStringLiteral("End")},  {36, QStringLiteral("Home")},  {37, QStringLiteral("Left")},
                               {38, QStringLiteral("Up")},   {39, QStringLiteral("Right")}, {40, QStringLiteral("Down")},
                               {44, QStringLiteral("Pint")}, {45, QStringLiteral("Ins")},   {46, QStringLiteral("Del")},
                               {91, QStringLiteral("Lwin")}, {92, QStringLiteral("Rwin")},  {93, QStringLiteral("App")},
                               {106, QStringLiteral("Num *")}, {107, QStringLiteral("Num +")}, {109, QStringLiteral("Num -")},
                               {110, QStringLiteral("Num .")}, {111, QStringLiteral("Num /")}, {144, QStringLiteral("NumLock")},
                               {145, QStringLiteral("Scrolk")}, {160, QStringLiteral("LShift")}, {161, QStringLiteral("RShift")},
                               {162, QStringLiteral("LCtrl")}, {163, QStringLiteral("RCtrl")}, {164, QStringLiteral("LAlt")},
                               {165, QStringLiteral("RAlt")}, {186, QStringLiteral(";:")},   {187, QStringLiteral("+")},
                               {188, QStringLiteral(",")},   {189, QStringLiteral("-")},    {190, QStringLiteral(".")},
                               {191, QStringLiteral("/?")},  {192, QStringLiteral("~")},    {219, QStringLiteral("[{")},
                               {220, QStringLiteral("|")},   {221, QStringLiteral("]}")},   {222, QStringLiteral("' ''")},
                               {223, QStringLiteral("OEM_8")}};
        for (uint c = 48; c <= 57; ++c)
            n.insert(c, QString(QChar(char16_t(c))));
        for (uint c = 65; c <= 90; ++c)
            n.insert(c, QString(QChar(char16_t(c))));
        for (uint c = 96; c <= 105; ++c)
            n.insert(c, QStringLiteral("Num %1").arg(c - 96));
        for (uint c = 112; c <= 123; ++c)
            n.insert(c, QStringLiteral("F%1").arg(c - 111));
        return n;
    }();
    return names.value(keyCode);
}

QByteArray QEditMacroPage_Iner::RecordHead(uint delay, const QString &kind)
{
    char head[3];
    WriteHead(head, kind.toUInt(nullptr, 16), delay);
    return QByteArray(head, 3);
}

QByteArray QEditMacroPage_Iner::EncodeRows(const QVector<MacroRow> &rows)
{
    QByteArray out(rows.size() * 4, Qt::Uninitialized);
    char *p = out.data();
    for (int i = 0; i < rows.size(); ++i) {
        const MacroRow &r = rows.at(i);
        if (r.type == 1) {
            if (r.code > 4)
                continue;
            WriteHead(p, r.down ? 0x2 : 0xA, r.delay);
            p[3] = char(kButtonBits[r.code]);
        } else if (r.type == 2) {
            // The device presses a key that was never released: a trailing press is left out.
            if (i == rows.size() - 1 && r.down)
                continue;
            const uint kind = IsModifier(r.code) ? (r.down ? 0x1 : 0x9) : (r.down ? 0x0 : 0x8);
            WriteHead(p, kind, r.delay);
            p[3] = char(VkToDeviceCode(int(r.code)));
        } else {
            continue;
        }
        p += 4;
    }
    out.truncate(int(p - out.constData()));
    return out;
}

MacroRecordEvent QEditMacroPage_Iner::DecodeEvent(const QByteArray &record)
{
    MacroRecordEvent e;
    if (record.size() < 4)
        return e;
    const auto *b = reinterpret_cast<const uchar *>(record.constData());
    const uint kind = b[0] >> 4;
    e.delay = (uint(b[0] & 0x0F) << 16) | (uint(b[1]) << 8) | b[2];
    const uint code = b[3];
    switch (kind) {
    case 0x0: case 0x1: case 0x8: case 0x9:
        e.kind = MacroRecordEvent::Key;
        e.down = kind == 0x0 || kind == 0x1;
        e.code = DeviceCodeToVk(int(code));
        return e;
    case 0x2: case 0xA: {
        e.down = kind == 0x2;
        switch (code) {
        case 0x01: e.code = e.down ? 513 : 514; break;
        case 0x02: e.code = e.down ? 516 : 517; break;
        case 0x04: e.code = e.down ? 519 : 520; break;
        case 0x08: e.code = e.down ? 523 : 524; e.data = 0x10000; break;
        case 0x10: e.code = e.down ? 523 : 524; e.data = 0x20000; break;
        default: return MacroRecordEvent();
        }
        e.kind = MacroRecordEvent::Mouse;
        return e;
    }
    default:
        return MacroRecordEvent();
    }
}
