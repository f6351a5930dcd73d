#include "app/CheckedSettings.h"
#include "app/CheckedSave.h"
#include "app/IniCodec.h"

CheckedSettings::CheckedSettings(const QString &path) : QSettings(path, IniCodec::Format())
{
}

CheckedSettings::~CheckedSettings()
{
    CheckedSave::SyncSettings(*this);
}
