#pragma once
#include <QString>
#include <cstdint>

// One row of a configuration tab as read from the product's "ConfigItemList.xml": 0 group
// header, 1 command, 3 macro file, 5 new-macro button, 7 user configuration file, 8 new
// user-configuration button.
struct ConfigItem
{
    uint8_t kind = 0;
    QString left;   // "Lift_text", a button caption, a header text or a file name
    QString centre; // "Cent_text" of a command
    QString code;   // "Code" of a command

    void Set(uint8_t k, const QString &l, const QString &c, const QString &cd)
    {
        kind = k;
        left = l;
        centre = c;
        code = cd;
    }
};
