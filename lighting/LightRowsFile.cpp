#include "lighting/LightRowsFile.h"

#include "app/IniOpeners.h"
#include "app/MainWidget.h"
#include "device/ByteTools.h"

#include <QSettings>
#include <QStringList>
#include <cstdlib>

QSettings *OpenRhythmLightIni(const QString &productDir)
{
    return OpenIniFile(productDir + QStringLiteral("/rhythmLight.ini"));
}

QSettings *OpenRhythmLightIni()
{
    MainWidget *main = MainWidget::instance();
    return main ? OpenRhythmLightIni(main->ProductDir()) : nullptr;
}

QString LightRowsFile::Text(QSettings &ini, const QString &key)
{
    // An unquoted "10,11,12" comes back from the INI reader as a string list.
    return ini.value(key).toStringList().join(QLatin1Char(','));
}

int LightRowsFile::RowCount(QSettings &ini, const QString &group)
{
    const int n = ini.value(group + QStringLiteral("/Index_numble")).toInt();
    return n < 0 ? 0 : (n > kMaxRows ? kMaxRows : n);
}

LightRow LightRowsFile::ParseList(const QString &text)
{
    const QStringList items = text.split(QLatin1Char(','));
    LightRow row;
    row.reserve(items.size());
    for (const QString &item : items)
        row.append(item.trimmed().toUShort(nullptr, 10)); // a bad item gives 0
    return row;
}

LightRow LightRowsFile::ReadList(QSettings &ini, const QString &key)
{
    return ParseList(Text(ini, key));
}

LightRows LightRowsFile::ReadRows(QSettings &ini, const QString &group)
{
    LightRows rows;
    const int n = RowCount(ini, group);
    for (int r = 1; r <= n; ++r)
        rows.append(ReadList(ini, QStringLiteral("%1/RowButton_%2").arg(group).arg(r)));
    return rows;
}

LightBands LightRowsFile::ReadSteps(QSettings &ini, const QString &group)
{
    LightBands bands;
    const int n = RowCount(ini, group);
    for (int r = 1; r <= n; ++r) {
        LightBand band;
        const QStringList steps = Text(ini, QStringLiteral("%1/RowButton_%2").arg(group).arg(r)).split(QLatin1Char('|'));
        for (const QString &step : steps)
            band.append(ParseList(step));
        bands.append(band);
    }
    return bands;
}

QByteArray LightRowsFile::StandardColourMap(QSettings &ini)
{
    QString text = Text(ini, QStringLiteral("STANDARMCOLOURMAP/Buffs"));
    text.remove(QLatin1Char(' ')).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    const QStringList items = text.split(QLatin1Char(','));
    if (items.isEmpty())
        return QByteArray();
    uint8_t *bytes = ParseByteList520(items);
    if (!bytes)
        return QByteArray();
    QByteArray frame(reinterpret_cast<const char *>(bytes), kFrameSize);
    std::free(bytes);
    return frame;
}

AudioEffectSettings LightRowsFile::ReadAudioSettings(QSettings &ini, const QString &name)
{
    AudioEffectSettings s;
    s.GrabAudioTime = ini.value(name + QStringLiteral("/GrabAudioTime")).toUInt();
    const LightRow rgb = ParseList(Text(ini, name + QStringLiteral("/LabelColorMap")));
    // Fewer than three items leave the missing ones 0.
    s.R = rgb.value(0);
    s.G = rgb.value(1);
    s.B = rgb.value(2);
    s.MColour = ini.value(name + QStringLiteral("/MColour")).toBool();
    s.SliderGain = ini.value(name + QStringLiteral("/SliderGain")).toUInt();
    s.SliderSmooth = ini.value(name + QStringLiteral("/SliderSmooth")).toUInt();
    return s;
}
