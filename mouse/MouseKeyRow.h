#pragma once
// What a mouse worker needs of one button row, copied on the GUI thread so that a worker thread
// never reads the row widgets while the page changes them.
#include <QList>
#include <QString>

#include <cstdint>

struct MouseKeyRow
{
    uint16_t sendAddress = 8; // the device's key index of the button
    uint8_t valueType = 0;    // 0 key code, 1 macro; other values are skipped by the writers
    QString currentCode;      // assigned code when not empty, else the default code
    QString reName;           // the macro name of a macro row
};

struct MouseKeySnapshot
{
    QList<MouseKeyRow> rows; // every column's rows, columns in name order, rows in row order
    uint8_t selectedKey = 0; // the button changed last; 0xFF = all buttons back to defaults
    bool allKeys = false;    // a whole configuration was chosen: every button changed
};
