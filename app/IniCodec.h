#pragma once
#include <QByteArray>
#include <QSettings>

// The INI format of QSettings (its syntax, escapes and value types, UTF-8 text), read and written
// by the program itself, so that the write is the checked one: a settings file that cannot be
// written whole keeps what it held. Files stay readable by QSettings::IniFormat and the other way
// round.
class IniCodec
{
public:
    // The settings format OpenIniFile opens every INI file with.
    static QSettings::Format Format();

    static void Parse(const QByteArray &data, QSettings::SettingsMap &map);
    static QByteArray Serialize(const QSettings::SettingsMap &map);

private:
    static bool Read(QIODevice &device, QSettings::SettingsMap &map);
    static bool Write(QIODevice &device, const QSettings::SettingsMap &map);
};
