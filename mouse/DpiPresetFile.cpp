#include "mouse/DpiPresetFile.h"
#include "app/CheckedSave.h"
#include "device/HID_API.h"
#include "app/IniOpeners.h"

#include <QSettings>

#include <memory>

QString DpiPresetFile::Text(const QSettings &ini, const QString &key)
{
    const QVariant v = ini.value(key);
    if (v.type() == QVariant::StringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

QStringList DpiPresetFile::List(const QSettings &ini, const QString &key)
{
    const QString text = Text(ini, key);
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char(','));
}

bool DpiPresetFile::Write(const QString &path, const DpiPreset &preset)
{
    if (HID_API::PageDeviceGoing())
        return false; // the mouse went: its presets stay as they were
    std::unique_ptr<QSettings> ini(OpenIniFile(path));
    ini->setValue(QStringLiteral("Product/name"), preset.productName);
    auto list = [&](const QString &group, const QStringList &values, const QString &select, int longerThan) {
        const QString joined = values.join(QLatin1Char(','));
        if (joined.size() <= longerThan)
            return;
        ini->setValue(group + QStringLiteral("/values"), joined);
        ini->setValue(group + QStringLiteral("/select"), select);
    };
    list(QStringLiteral("DpiCountCombox"), preset.countValues, preset.countSelect, 1);
    list(QStringLiteral("MinvalueCombox"), preset.minValues, preset.minSelect, 2);
    list(QStringLiteral("MaxvalueCombox"), preset.maxValues, preset.maxSelect, 2);
    const QString rows = preset.stageValues.join(QLatin1Char(','));
    if (rows.size() > 2) {
        ini->setValue(QStringLiteral("QDpiListWidget/values"), rows);
        ini->setValue(QStringLiteral("QDpiListWidget/select"), preset.select);
    }
    return CheckedSave::SyncSettings(*ini);
}

DpiPreset DpiPresetFile::Read(const QString &path)
{
    std::unique_ptr<QSettings> ini(OpenIniFile(path));
    DpiPreset p;
    p.productName = Text(*ini, QStringLiteral("Product/name"));
    p.countValues = List(*ini, QStringLiteral("DpiCountCombox/values"));
    p.countSelect = Text(*ini, QStringLiteral("DpiCountCombox/select"));
    p.minValues = List(*ini, QStringLiteral("MinvalueCombox/values"));
    p.minSelect = Text(*ini, QStringLiteral("MinvalueCombox/select"));
    p.maxValues = List(*ini, QStringLiteral("MaxvalueCombox/values"));
    p.maxSelect = Text(*ini, QStringLiteral("MaxvalueCombox/select"));
    p.stageValues = List(*ini, QStringLiteral("QDpiListWidget/values"));
    p.select = Text(*ini, QStringLiteral("QDpiListWidget/select")).toInt();
    return p;
}
