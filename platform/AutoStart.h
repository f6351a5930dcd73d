#pragma once
#include <QString>

// Starting the program with the user's session: an XDG autostart entry
// "<config>/autostart/<name>.desktop" ($XDG_CONFIG_HOME, else ~/.config).

// The folder of the user's autostart entries.
QString AutoStartFolder();

// The entry file of a program name; empty when the name cannot be a file name.
QString AutoStartEntryPath(const QString &appName);

// Writes (on) or removes (off) the entry that starts the program at programPath.
// True only when the entry is in the requested state afterwards.
bool WriteAutoStartEntry(const QString &appName, const QString &programPath, bool on);

// True when the entry file exists.
bool AutoStartEntryExists(const QString &appName);

// The program path as one argument of a desktop entry's Exec key: quoted, with the quoting
// escapes and then the string escapes that the desktop entry format requires.
QString DesktopExecArgument(const QString &programPath);
