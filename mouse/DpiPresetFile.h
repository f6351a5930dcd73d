#pragma once
// One DPI preset file ("DpiConfig/<name>.ini" of a product, or its read-only
// "DpiConfig/Base/Base.ini"): the stage-count and DPI-limit lists with their choices, and the
// value of every stage row with the current stage.
#include <QString>
#include <QStringList>

class QSettings;

struct DpiPreset
{
    QString productName;     // "Product/name": the product folder the preset was saved for
    QStringList countValues; // "DpiCountCombox/values"
    QString countSelect;     // "DpiCountCombox/select"
    QStringList minValues;   // "MinvalueCombox/values"
    QString minSelect;
    QStringList maxValues;   // "MaxvalueCombox/values"
    QString maxSelect;
    QStringList stageValues; // "QDpiListWidget/values": every row, hidden ones included
    int select = 3;          // "QDpiListWidget/select": the marked row; 3 when none is marked
};

class DpiPresetFile
{
public:
    // Writes the preset. A list is written (with its choice) only when it is worth keeping: the
    // counts when their joined text is longer than 1 character, the limits and the rows when
    // longer than 2; a key not written keeps what the file held.
    static bool Write(const QString &path, const DpiPreset &preset);
    // Reads a preset; a missing file or key reads as empty text (a number as 0).
    static DpiPreset Read(const QString &path);
    // A value as one text: a list written by hand without quotes is joined again with ",".
    static QString Text(const QSettings &ini, const QString &key);
    // The text split at ","; an empty text gives an empty list.
    static QStringList List(const QSettings &ini, const QString &key);
};
