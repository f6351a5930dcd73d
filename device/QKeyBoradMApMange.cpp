#include "device/QKeyBoradMApMange.h"
#include "app/AppDirPath.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "app/MainWidget.h"
#include "keyboard/Zr_KeyBord_Key_Info_toXml.h"

#include <QSettings>

#include <cstdlib>
#include <cstring>

QKeyBoradMApMange::QKeyBoradMApMange(const QString &productName, QObject *parent)
    : QObject(parent), m_product(productName)
{
}

QKeyBoradMApMange::~QKeyBoradMApMange() = default;

static uint8_t *NewZeroed(int size)
{
    return static_cast<uint8_t *>(calloc(static_cast<size_t>(size > 0 ? size : 1), 1));
}

uint8_t *QKeyBoradMApMange::KeyBlockCopy(int size)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    if (size < kBlockSize)
        size = kBlockSize; // the block never overruns a short buffer
    uint8_t *out = NewZeroed(size);
    std::memcpy(out, m_block, kBlockSize);
    return out;
}

void QKeyBoradMApMange::SetKeyBlock(uint8_t *image, int count, bool release)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    std::memset(m_block, 0, kBlockSize);
    if (image)
        std::memcpy(m_block, image, static_cast<size_t>(count >= kBlockSize || count <= 0 ? kBlockSize : count));
    if (release)
        free(image);
}

uint8_t *QKeyBoradMApMange::DiyColorMapCopy(int size)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    if (size <= 420)
        return nullptr;
    uint8_t *out = NewZeroed(size);
    std::memcpy(out, m_diyMap, static_cast<size_t>(std::min(size, kMapSize)));
    return out;
}

void QKeyBoradMApMange::SetDiyColorMap(uint8_t *image, int count, bool release)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    std::memset(m_diyMap, 0, kMapSize);
    if (image && count > 0)
        std::memcpy(m_diyMap, image, static_cast<size_t>(std::min(count, kMapSize)));
    SaveMap("DiyColorMap/coloMap", m_diyMap);
    if (release)
        free(image);
}

void QKeyBoradMApMange::SetBaseColorMap(uint8_t *image, int count, bool release)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    std::memset(m_baseMap, 0, kMapSize);
    if (image && count > 0)
        std::memcpy(m_baseMap, image, static_cast<size_t>(std::min(count, kMapSize)));
    if (release)
        free(image);
}

uint8_t *QKeyBoradMApMange::BaseColorMapCopy(int size)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    uint8_t *out = NewZeroed(std::max(size, 1));
    std::memcpy(out, m_baseMap, static_cast<size_t>(std::min(std::max(size, 0), kMapSize)));
    return out;
}

QKeyBoradMApMange::KeyRecord QKeyBoradMApMange::RecordOf(int model, bool *found) const
{
    const auto it = m_keyMap.constFind(static_cast<uint16_t>(model));
    *found = model >= 0 && model <= 0xFFFF && it != m_keyMap.constEnd();
    return *found ? it.value() : KeyRecord();
}

uint8_t *QKeyBoradMApMange::BuildHead(int model, KeyRecord *record, bool *found)
{
    uint8_t *out = NewZeroed(kMapSize);
    std::memcpy(out, m_block, kBlockSize);
    out[1] = 4;
    *record = RecordOf(model, found);
    if (m_flagPosition + 1 < kBlockSize) {
        out[m_flagPosition] = model == 97 ? 1 : 0;
        out[m_flagPosition + 1] = static_cast<uint8_t>(record->C & 0xFF);
    }
    return out;
}

static uint8_t SpeedByte(int speed, uint8_t current)
{
    // the decimal text of speed followed by the low hex digit, read base 16 (3 over 0x27 -> 0x37)
    const QString text = QString::number(std::min(speed, 15)) + QString::number(current & 0x0F, 16);
    return static_cast<uint8_t>(text.toUInt(nullptr, 16) & 0xFF);
}

uint8_t *QKeyBoradMApMange::BuildKeyPacket(int model, int speed, int luminance)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    KeyRecord rec;
    bool found = false;
    uint8_t *out = BuildHead(model, &rec, &found);
    // A model missing from the key map has no parameter bytes: bytes 0 and 1 (report id and
    // command) are never overwritten.
    if (found && rec.A >= 2 && rec.A + 1 < kBlockSize) {
        if (luminance >= 0)
            out[rec.A] = static_cast<uint8_t>(luminance);
        if (speed >= 0)
            out[rec.A + 1] = speed > 9 ? static_cast<uint8_t>((std::min(speed, 15) << 4) | (out[rec.A + 1] & 0x0F))
                                       : SpeedByte(speed, out[rec.A + 1]);
    }
    std::memcpy(m_block, out, kBlockSize);
    return out;
}

uint8_t *QKeyBoradMApMange::BuildKeyPacketFor(int model, bool multiColour)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    KeyRecord rec;
    bool found = false;
    uint8_t *out = BuildHead(model, &rec, &found);
    if (found && rec.A >= 2 && rec.A + 1 < kBlockSize)
        out[rec.A + 1] = static_cast<uint8_t>((out[rec.A + 1] & 0xF0) | (multiColour ? 0x07 : 0x00));
    std::memcpy(m_block, out, kBlockSize);
    return out;
}

uint8_t *QKeyBoradMApMange::SetKeyColor(int model, int r, int g, int b)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    bool found = false;
    const KeyRecord rec = RecordOf(model, &found);
    if (rec.B == 0 || rec.B + 2 >= kMapSize)
        return nullptr;
    uint8_t *out = NewZeroed(kMapSize);
    std::memcpy(out, m_baseMap, kMapSize);
    out[1] = 0x0A;
    if (r + g + b > 0) {
        out[rec.B] = static_cast<uint8_t>(r);
        out[rec.B + 1] = static_cast<uint8_t>(g);
        out[rec.B + 2] = static_cast<uint8_t>(b);
    }
    std::memcpy(m_baseMap, out, kMapSize);
    SaveMap("BaseColorMap/coloMap", m_baseMap);
    return out;
}

int16_t QKeyBoradMApMange::KeyAtFlagPosition()
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    if (m_flagPosition + 1 >= kBlockSize)
        return -1;
    const uint8_t code = m_block[m_flagPosition + 1];
    for (auto it = m_keyMap.cbegin(); it != m_keyMap.cend(); ++it)
        if (it.value().C == code)
            return static_cast<int16_t>(it.key());
    return -1;
}

bool QKeyBoradMApMange::KeyInfo(uint16_t key, uint8_t *speed, uint8_t *luminance, uint8_t *multiColour, uint8_t *r,
                                uint8_t *g, uint8_t *b)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    const auto it = m_keyMap.constFind(key);
    if (it == m_keyMap.constEnd())
        return false;
    const KeyRecord rec = it.value();
    const uint8_t lum = rec.A < kBlockSize ? m_block[rec.A] : 0;
    const uint8_t mode = rec.A + 1 < kBlockSize ? m_block[rec.A + 1] : 0;
    const QString digits = QString::asprintf("%02x", mode);
    if (luminance)
        *luminance = lum;
    if (speed)
        *speed = digits.at(0).isDigit() ? static_cast<uint8_t>(digits.at(0).digitValue()) : 0;
    if (multiColour)
        *multiColour = digits.at(1).isDigit() && digits.at(1).digitValue() != 0 ? 1 : 0;
    const bool colour = rec.B + 2 < kMapSize;
    if (r)
        *r = colour ? m_baseMap[rec.B] : 0;
    if (g)
        *g = colour ? m_baseMap[rec.B + 1] : 0;
    if (b)
        *b = colour ? m_baseMap[rec.B + 2] : 0;
    return true;
}

void QKeyBoradMApMange::LoadKeyMap(const QString &name)
{
    const QString folder = m_product.isEmpty() && MainWidget::instance() ? MainWidget::instance()->CurrentProductName()
                                                                          : (m_product.isEmpty() ? name : m_product);
    if (!IsSafeFileComponent(folder) || !IsSafeFileComponent(name)) {
        WriteLogLine(QStringLiteral("keyboard layout: unsafe product name \"%1\"").arg(name));
        return;
    }
    // The parser's other results (names, steps, parameter positions) are the page's: only the
    // page's parse on the GUI thread stores positions, never this one on the manager's thread.
    QString productName, productId, images, audio, layers;
    uint16_t flagPosition = 17;
    uint8_t flagValue = 126, display = 0, speedSteps = 0, luminanceSteps = 0;
    LayoutEffectTable effects;
    Zr_KeyBord_Key_Info_toXml parser;
    LayoutKeyGroups groups = parser.ReadKeyBoardXml(QStringLiteral("%1/Products/%2/%3_KeyBoed.xml").arg(AppDirPath(), folder, name),
                                                    productName, productId, images, audio, layers, flagPosition,
                                                    effects, flagValue, display, speedSteps, luminanceSteps);
    parser.Clear(groups);
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    // Every entry is kept as the file gives it, its mode code too: the builders and readers
    // skip a position outside their images where they write or read it. A position or number
    // the file does not give (read as 0) leaves the store's own default.
    m_flagPosition = flagPosition ? flagPosition : 17;
    m_flagValue = flagValue ? flagValue : 126;
    m_keyMap.clear();
    for (auto it = effects.cbegin(); it != effects.cend(); ++it)
        m_keyMap.insert(it.key(), KeyRecord{it->luminance_Speedindex, it->Colour_Index, it->ModelCode});
}

uint16_t QKeyBoradMApMange::FlagPosition() const
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    return m_flagPosition;
}

uint8_t QKeyBoradMApMange::FlagValue() const
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    return m_flagValue;
}

QMap<uint16_t, QKeyBoradMApMange::KeyRecord> QKeyBoradMApMange::KeyMap() const
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    return m_keyMap;
}

void QKeyBoradMApMange::SetKeyRecord(uint16_t key, const KeyRecord &record)
{
    std::lock_guard<std::recursive_mutex> lock(m_lock);
    m_keyMap.insert(key, record);
}

QString QKeyBoradMApMange::DataIniPath() const
{
    QString product = m_product;
    if (product.isEmpty() && MainWidget::instance())
        product = MainWidget::instance()->CurrentProductName();
    if (!IsSafeFileComponent(product))
        return QString();
    return QStringLiteral("%1/Products/%2/%2_data.ini").arg(AppDirPath(), product);
}

void QKeyBoradMApMange::SaveMap(const char *key, const uint8_t *map)
{
    if (m_deviceGone)
        return; // a device that went writes nothing for its product
    const QString path = DataIniPath();
    if (path.isEmpty())
        return; // nothing saved when the INI cannot be opened
    QSettings *ini = OpenIniFile(path);
    if (!ini)
        return;
    QString text;
    text.reserve(kMapSize * 3);
    for (int i = 0; i < kMapSize; ++i)
        text += QString::asprintf("%02x,", map[i]);
    text.chop(1);
    ini->setValue(QLatin1String(key), text);
    delete ini;
}
