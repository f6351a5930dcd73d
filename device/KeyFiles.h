#pragma once
// The least of the keyboard files that the transport reads: the
// keyboard layout "%s_KeyBoed.xml" (effect table, effect-type position, key groups) and the
// key-assignment file. The keyboard subsystem's own classes (Zr_KeyBord_Key_Info_toXml,
// QConfigBuildManage_Pro) read the same formats for the pages.
#include <QHash>
#include <QMap>
#include <QString>
#include <QVector>
#include <cstdint>

struct LayoutKey
{
    QString name;      // "KeyName"
    QString value;     // "KeyValue": the key's code text (hex)
    int keypos = 0;    // "keypos": position in the 520-byte key table
    int effectpos = 0; // "Effectpos"
    uint8_t diypos = 0;
};

struct LayoutEffect
{
    uint16_t luminanceSpeedIndex = 0; // A
    uint16_t colourIndex = 0;         // B
    uint8_t modelCode = 0;            // C
};

struct LayoutFile
{
    bool valid = false;               // document element "KeyBoardRoot"
    bool hasFlagPosition = false;
    uint16_t flagPosition = 17;       // "KeyEffect/Attribute" "Typ_Index"
    bool hasFlagValue = false;
    uint8_t flagValue = 126;          // "DiyNum"
    QMap<uint8_t, LayoutEffect> effects;     // by NameCode
    QMap<int, QVector<LayoutKey>> groups;    // by "KeyArrsTilte" ID (layer)
};

LayoutFile ReadLayoutFile(const QString &path);

struct KeyAssignment
{
    int type = 0;        // 8 key code, 3 macro, ...
    QString leftValue;   // macro name for type 3
    uint8_t value[4] = {0, 0, 0, 0};
    int valueLength = 0;
    int order = 0;       // position in the file, so that callers can keep the file's order
};

// One hash per layer (layer i = "Keylevel_ID" ID i), key name -> assignment.
QVector<QHash<QString, KeyAssignment>> ReadKeyAssignments(const QString &path);
