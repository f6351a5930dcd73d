#pragma once
#include <QString>

// The program folder: the directory of the running executable, root of every file path.
QString AppDirPath();

// Tests run on a fresh copy of the sample program folder; an empty path restores the default.
void SetAppDirPathOverride(const QString &dir);
