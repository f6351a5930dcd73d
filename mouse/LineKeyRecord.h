#pragma once
// One stored button row of a mouse user configuration: where the row sits on its picture, its
// callout, its factory text and code, the device's key address and what the user assigned.
#include <QRect>
#include <QString>

#include <cstdint>

struct LineKeyRecord
{
    QRect rect;
    QString defaultText;  // "@<id>" names a text id of the language tables
    QString defaultCode;  // eight hex digits, "00000000" for no function
    uint8_t slope = 0;     // 0 "Linelose", 1 "Linejust"
    uint8_t direction = 1; // 1 to 8, "SLeft" .. "BDottom"
    uint16_t sendAddress = 8;
    bool change = false;
    QString reName;       // empty when nothing is assigned
    QString recode;       // empty when nothing is assigned
    uint8_t valueType = 0; // 0 command, 1 macro file
};
