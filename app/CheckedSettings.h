#pragma once
#include <QSettings>

// Settings on an INI file written only through the checked save: what is left unwritten when the
// object goes is written then, and values the disk refused are not kept for later readers.
class CheckedSettings : public QSettings
{
public:
    explicit CheckedSettings(const QString &path);
    ~CheckedSettings() override;
};
