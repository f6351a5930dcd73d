#pragma once
#include <QByteArray>
#include <QString>
#include <QVector>

class QSettings;

using LightRow = QVector<ushort>;
using LightRows = QVector<LightRow>;
using LightBand = QVector<LightRow>;   // the steps of one band, bottom up
using LightBands = QVector<LightBand>;

// The settings of one audio effect as the lighting page keeps them in the light rows file.
struct AudioEffectSettings
{
    uint GrabAudioTime = 0;
    int R = 0, G = 0, B = 0;
    bool MColour = false;
    uint SliderGain = 0;
    uint SliderSmooth = 0;
};

// The product's "rhythmLight.ini": the key rows of the row effects and the audio effects, the
// standard colour map of the preview and the audio effects' last settings. Every reader works
// on a settings object the caller owns, so all of it runs without a window.
class LightRowsFile
{
public:
    // A product never has this many rows; a larger count in the file is taken as this.
    static constexpr int kMaxRows = 1024;
    static constexpr int kFrameSize = 520;

    // The rows of a group: "<group>/Index_numble" rows of "<group>/RowButton_<r>" lists.
    static LightRows ReadRows(QSettings &ini, const QString &group);
    // As ReadRows, with every row first split at "|" into steps.
    static LightBands ReadSteps(QSettings &ini, const QString &group);
    // One row read from a single key ("RETRO_SNAKE/RowButton_1"); a missing key gives (0).
    static LightRow ReadList(QSettings &ini, const QString &key);
    // A "," list converted as decimal, empty and bad items as 0.
    static LightRow ParseList(const QString &text);
    // The 520-byte standard colour map of "STANDARMCOLOURMAP/Buffs"; empty when there is no item.
    static QByteArray StandardColourMap(QSettings &ini);
    // "<name>/GrabAudioTime" ... "<name>/SliderSmooth".
    static AudioEffectSettings ReadAudioSettings(QSettings &ini, const QString &name);

private:
    static int RowCount(QSettings &ini, const QString &group);
    static QString Text(QSettings &ini, const QString &key);
};

// A new settings object on "<productDir>/rhythmLight.ini" (INI, utf-8); the caller deletes it.
QSettings *OpenRhythmLightIni(const QString &productDir);
// The same on the current product's folder; null without a main window.
QSettings *OpenRhythmLightIni();
