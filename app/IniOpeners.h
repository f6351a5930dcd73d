#pragma once
#include <QString>

class QSettings;

// A new settings object on "SysBuild.ini" (INI, UTF-8); the caller deletes it.
QSettings *OpenSysBuildIni();

// A new settings object on an INI file (INI, UTF-8); the caller deletes it.
QSettings *OpenIniFile(const QString &path);

// True when a name from outside (product folder, macro or file name) is one safe path component.
bool IsSafeFileComponent(const QString &name);
