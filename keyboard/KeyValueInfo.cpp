#include "keyboard/KeyValueInfo.h"

void DeleteDragRecord(_KeyValueInfo *record)
{
    delete record;
}

void FreeKeyProfileLayers(KeyProfileLayers &layers)
{
    for (KeyLayerTable *table : layers) {
        if (table)
            qDeleteAll(*table);
        delete table;
    }
    layers.clear();
}

uint32_t KeyValueCode(const _KeyValueInfo &info)
{
    if (info.valueLength > 1)
        return uint32_t(info.value[0]) << 24 | uint32_t(info.value[1]) << 16 | uint32_t(info.value[2]) << 8
               | info.value[3];
    const uint8_t single = info.value[3] ? info.value[3] : info.value[0];
    return uint32_t(single) << 24;
}

bool IsFnValue(const _KeyValueInfo &info)
{
    const uint32_t code = KeyValueCode(info);
    return code == 0x0d010000u || code == 0x0d000000u;
}
