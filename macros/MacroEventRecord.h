#pragma once
#include <QtGlobal>

// One event row as the record codec reads it: type 1 a mouse button (code = button index 0-4),
// type 2 a key (code = key code); the delay is the wait before the event in ms.
struct MacroRow
{
    int type = 0;
    bool down = true;
    uint code = 0;
    uint delay = 0;
};

// One decoded 4-byte record, in the terms of the list's load slots: a key (code = key code) or a
// mouse button (code = down/up message, data = side-button word).
struct MacroRecordEvent
{
    enum Kind { None, Key, Mouse };
    Kind kind = None;
    bool down = false;
    uint code = 0;
    uint data = 0;
    uint delay = 0;
};

// Largest delay a record holds (20 bits).
constexpr uint kMacroMaxDelay = 0xFFFFF;
// The key code the hooks and rows use for the keypad Enter key.
constexpr uint kKeypadEnter = 0xFF0D;
