#pragma once
// The tables of a keyboard layout file: keys, lighting effects and device parameter positions.
#include <QList>
#include <QMap>
#include <QString>
#include <cstdint>

// One key of the layout ("SubKey"); owned by its key-group table until
// Zr_KeyBord_Key_Info_toXml::Clear releases it.
struct LayoutKeyRecord
{
    uint8_t hidden = 0;   // "defunctHide" exactly "true"
    QString KeyText;      // cap text; "@1".."@20" select a two-symbol cap (KeyCapText)
    QString KeyName;      // the key's identity everywhere (button object name, assignments)
    QString KeyValue;     // the key's own code text
    int32_t keypos = 0;   // index in the device key table
    int32_t Effectpos = 0; // red of the key in colour frames; green and blue follow
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t Diypos = 0;   // red plane index of the planar self-define map
};

// One lighting effect ("Effect").
struct LayoutEffectEntry
{
    uint8_t NameCode = 0;
    uint16_t luminance_Speedindex = 0;
    uint16_t Colour_Index = 0; // 0: the model takes no colour
    uint8_t ModelCode = 0;
    QString EditModel;
};

using LayoutEffectTable = QMap<uint8_t, LayoutEffectEntry>;
// Group ID ("KeyArrsTilte") -> the group's keys in document order.
using LayoutKeyGroups = QMap<int32_t, QList<LayoutKeyRecord *>>;

// The device parameter positions of "parameterAddrs"; a layout without that element gives these
// defaults, never the values of a keyboard read earlier. A position of 0 or less: no such byte.
struct LayoutPositions
{
    int16_t OsModePos = 8;
    uint8_t MacModeValue = 1;
    uint8_t WinModeValue = 0;
    int16_t WinLockPos = 0;
    int16_t SleepPos = 0;
    int16_t DebouncePos = 0;
    int16_t ReportRatePos = 0;
};
