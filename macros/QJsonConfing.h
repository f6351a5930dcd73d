#pragma once
#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QVector>

// The macro store: one JSON document "<name>.bin" per macro in a product's macro folder,
// holding the macro's byte image ([N][N name bytes in UTF-8][4-byte records]) as "0x%02x"
// items and the way the device runs it. Holds no state: make one, call one operation.
class QJsonConfing : public QObject
{
    Q_OBJECT
public:
    // An image is at most this long: the editor builds it in a buffer of this size.
    static constexpr int kMaxImageBytes = 2048;

    // folder: the macro folder to act on; empty for the current product's.
    explicit QJsonConfing(const QString &folder = QString(), QObject *parent = nullptr);

    QString MacroDir() const;
    // Local time as "yyyy-MM-dd  hh-mm-ss".
    static QString TimeStamp();
    bool MacroFileExists(const QString &name) const;
    // Creates or replaces the macro file; false (and the old file untouched) when the name is
    // not one safe file name, the file cannot be written whole or the open page's device went.
    bool WriteMacroFile(const QString &name, const QString &hexData, int runWay, int runOne);
    // The whole image (length byte and name included) and the run mode; empty, outputs untouched,
    // when the file is missing, malformed, longer than kMaxImageBytes or named otherwise.
    QVector<uchar> ReadMacroData(const QString &name, int *runWay, int *runOne) const;
    // Run mode and count of the macro file at a full path; outputs untouched when it cannot be read.
    static void ReadRunMode(const QString &filePath, int *runWay, int *runOne);
    static void ReadRunMode(const QString &filePath, int &runWay, int &runOne) { ReadRunMode(filePath, &runWay, &runOne); }
    // Why a rename was refused.
    enum class RenameFault {
        None,
        Unreadable,     // the macro's file cannot be read
        NotStored,      // the macro could not be stored under the new name (or that name is refused or taken)
        Configurations, // configurations (in *unchanged) could not be rewritten; nothing renamed
        NotPutBack,     // besides, configurations (in *unchanged) keep the new name: both files stay
    };
    // Moves a macro to a new name, rewriting the name inside its image. The new file is written
    // and read back first, then every key or mouse button that plays the macro in the given
    // folder of the product's configurations follows it, and the old file goes last (never when
    // both names are one file). A configuration that cannot be rewritten renames nothing: the
    // keys renamed are put back, those alone, and the new file goes.
    bool RenameMacro(const QString &oldName, const QString &newName, const QString &configDir = QString(),
                     QStringList *unchanged = nullptr, RenameFault *fault = nullptr);
    // The ".bin" files of the macro folder and its subfolders, sorted by name.
    QStringList ListMacroFiles(bool baseNames) const;

    // The records a device is sent for the macro file at a full path: the image without its
    // name, empty (one log line) when the file is refused or holds no "RunWay".
    static QByteArray ReadMacroEvents(const QString &path);
    // The records of an image; empty unless 1 + N <= size <= kMaxImageBytes and whole records follow.
    static QByteArray MacroRecords(const QVector<uchar> &image);
    // The image of a name and its records, and its "0x%02x" text.
    static QByteArray MacroImage(const QString &name, const QByteArray &records);
    static QString ImageToHex(const QByteArray &image);

    // The macro file of a name in a folder; empty when the name is no macro name.
    static QString MacroFilePath(const QString &folder, const QString &name);
    // One safe file name that the listings show: a leading dot would hide the macro's file.
    static bool IsMacroName(const QString &name);

private:
    QString m_folder;
};
