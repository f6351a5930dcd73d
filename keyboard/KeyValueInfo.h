#pragma once
// One key assignment and the per-layer tables of assignments.
#include <QHash>
#include <QString>
#include <QVector>
#include <cstdint>

struct _KeyValueInfo
{
    int32_t type = 0;        // value type 0..8 (QConfigBuildManage_Pro::TypeName)
    QString KeyButtonName;   // the key's KeyName; key of its layer table
    QString LeftValue;       // text shown on the key; the macro name for type 3
    int16_t Lang = -1;       // type 8: text id replacing LeftValue when above 0
    uint8_t value[4] = {0, 0, 0, 0}; // type 8: the device key code in device order
    uint8_t valueLength = 0; // 0, 1 or 4 meaningful bytes
};

// Entry i is layer i: key name -> assignment. The tables own their records.
using KeyLayerTable = QHash<QString, _KeyValueInfo *>;
using KeyProfileLayers = QVector<KeyLayerTable *>;

// Frees a record handed over by a drop from a configuration list.
void DeleteDragRecord(_KeyValueInfo *record);

// Releases every record and every table.
void FreeKeyProfileLayers(KeyProfileLayers &layers);

// The one code an assignment sends, by the writer's rule: four bytes when more than one is
// meaningful, else the single byte, which a file keeps in byte 3 and a drop in byte 0.
uint32_t KeyValueCode(const _KeyValueInfo &info);
// An Fn value: the code 0d 01 00 00 or 0d 00 00 00 (a single 0d counts as the latter).
bool IsFnValue(const _KeyValueInfo &info);
