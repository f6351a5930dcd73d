#pragma once
#include <QString>

// One open entry of the online version catalogue.
struct CatalogueEntry
{
    bool open = true;
    QString name;     // the class "Name"
    QString version;  // "Version": a letter followed by hexadecimal digits, such as V1A
    QString exepath;
    QString recpath;  // the download address of the firmware file
    QString typ;      // "Typ": Wired, Wireless or a further kind such as Wired_8K
};
