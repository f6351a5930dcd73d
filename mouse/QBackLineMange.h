#pragma once
// The mouse user configuration file: the key-definition page's pictures, the level names and
// one stored row per mouse button of each picture (where it sits, its callout, its factory text
// and code, the device's key address and what the user assigned to it).
#include "mouse/LineKeyRecord.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QVector>

class QDomDocument;
class QLineInfo;

class QBackLineMange : public QObject
{
    Q_OBJECT
public:
    // The largest number of a row's "Rect": window systems place windows in signed 16-bit
    // coordinates (X11), and the page adds and scales these numbers in int.
    static constexpr uint kMaxRectNumber = 32767;

    explicit QBackLineMange(QObject *parent = nullptr);

    // Picture name -> its rows. Texts that the file does not hold keep the caller's values; a
    // missing or malformed file, or one whose root is not "Backinfos", gives no rows.
    QMap<QString, QVector<LineKeyRecord>> Read(const QString &path, QString *levelNames, QString *images,
                                               QString *minImage);
    // The whole file from the three texts and the rows as the page holds them.
    bool Write(const QString &path, const QString &levelNames, const QString &images, const QString &minImage,
               const QMap<QString, QList<QLineInfo *>> &lines);
    // Replaces the file whole; false (the old file kept) when it cannot be written.
    static bool Save(const QDomDocument &document, const QString &path);

    static uint8_t LineDirectionFromText(const QString &text);
    static QString LineDirectionText(uint8_t direction);
    static uint8_t LineStateFromText(const QString &text);
    static QString LineStateText(uint8_t slope);
    static uint8_t ValueTypFromText(const QString &text);
    static QString ValueTypText(uint8_t type);
};
