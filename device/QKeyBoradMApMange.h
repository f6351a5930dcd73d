#pragma once
// The in-memory store of one keyboard's configuration block and colour maps.
#include <QMap>
#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <mutex>

class QKeyBoradMApMange : public QObject
{
    Q_OBJECT
public:
    struct KeyRecord
    {
        uint16_t A = 0; // block offset of the luminance byte (speed/colour mode in the next byte)
        uint16_t B = 0; // colour-map offset of red, green, blue; 0 = no colour
        uint16_t C = 0; // mode code written after the self-define flag
    };

    // productName: the device's product (its folder under Products and its file prefix).
    explicit QKeyBoradMApMange(const QString &productName = QString(), QObject *parent = nullptr);
    ~QKeyBoradMApMange() override;

    static constexpr int kBlockSize = 150;
    static constexpr int kMapSize = 520;

    // Every returned buffer is a new malloc allocation that the caller frees with free().
    uint8_t *KeyBlockCopy(int size);
    void SetKeyBlock(uint8_t *image, int count, bool release);
    uint8_t *DiyColorMapCopy(int size);
    void SetDiyColorMap(uint8_t *image, int count, bool release);
    void SetBaseColorMap(uint8_t *image, int count, bool release);
    uint8_t *BaseColorMapCopy(int size);
    uint8_t *SetKeyColor(int model, int r, int g, int b);
    uint8_t *BuildKeyPacket(int model, int speed, int luminance);
    uint8_t *BuildKeyPacketFor(int model, bool multiColour);
    int16_t KeyAtFlagPosition();
    bool KeyInfo(uint16_t key, uint8_t *speed, uint8_t *luminance, uint8_t *multiColour, uint8_t *r, uint8_t *g,
                 uint8_t *b);
    void LoadKeyMap(const QString &name);

    uint16_t FlagPosition() const;
    uint8_t FlagValue() const;
    QMap<uint16_t, KeyRecord> KeyMap() const;
    void SetKeyRecord(uint16_t key, const KeyRecord &record); // tests and the layout loader
    QString ProductName() const { return m_product; }
    // The device went (its removal or sleep is held): the maps still change in memory for
    // whoever holds them, but nothing is saved to the product's file any more.
    void SetDeviceGone(bool gone) { m_deviceGone = gone; }
    bool DeviceGone() const { return m_deviceGone; }

private:
    QString DataIniPath() const;
    void SaveMap(const char *key, const uint8_t *map);
    KeyRecord RecordOf(int model, bool *found) const;
    uint8_t *BuildHead(int model, KeyRecord *record, bool *found);

    mutable std::recursive_mutex m_lock;
    QString m_product;
    uint8_t m_block[kBlockSize] = {};
    uint8_t m_diyMap[kMapSize] = {};
    uint8_t m_baseMap[kMapSize] = {};
    uint16_t m_flagPosition = 17;
    uint8_t m_flagValue = 126;
    QMap<uint16_t, KeyRecord> m_keyMap;
    std::atomic<bool> m_deviceGone{false};
};
