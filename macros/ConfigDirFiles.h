#pragma once
// The user configuration files of one product folder: listing, adding, renaming, deleting,
// importing and exporting, without any window so every refusal can be checked directly.
#include <QString>
#include <QStringList>

class ConfigDirFiles
{
public:
    enum class Result {
        Ok,
        NotConfig,   // not an ".xml" file, not well-formed XML or its root is not "Backinfos"
        TooLarge,    // over MaxImportSize; refused before anything is read
        BadName,     // empty, holds a dot, a path separator, a control character or a character
                     // the data file cannot hold
        TooLong,     // "<name>.xml" is longer than the system allows a file name to be
        Reserved,    // "Base" or "imageAndLines"
        Exists,      // a file of that name is already in the folder
        Missing,     // the file to copy, rename or delete is not there
        WriteFailed, // the disk refused; nothing was changed
    };

    static constexpr qint64 MaxImportSize = 1024 * 1024;
    // The longest file name the system takes, in bytes of the encoded name (NAME_MAX).
    static constexpr int MaxFileNameBytes = 255;

    explicit ConfigDirFiles(const QString &dir) : m_Dir(dir) {}

    // Base names of the folder's own ".xml" files, sorted, "Base" first; "imageAndLines" is
    // the pages' own file and never listed.
    QStringList List() const;
    QString FilePath(const QString &name) const;
    bool Exists(const QString &name) const;

    // A name for a new file: a plain file name that the product's data file also holds as typed
    // and the system takes as a file name with its ".xml".
    static bool IsSafeName(const QString &name);
    // "<name>.xml" is longer than MaxFileNameBytes once encoded.
    static bool IsTooLong(const QString &name);
    // One file name of the folder, without a way out of it (names of files already there).
    static bool IsPlainName(const QString &name);
    static bool IsReserved(const QString &name);
    // What an imported file is called here: its file name up to the first dot.
    static QString ImportName(const QString &sourcePath);
    // Why a name for a new file is refused, before the folder is looked at: BadName, TooLong,
    // Reserved, or Ok.
    static Result CheckName(const QString &name);
    // The text id that tells the user why an operation was refused.
    static uint RefusalTextId(Result result);
    // Where the file dialogs start: the desktop folder, or the home folder when there is none.
    static QString StartFolder();
    // The file an export proposes: the configuration's own file name in StartFolder.
    static QString ExportProposal(const QString &name);

    // A new file copied from the product's factory "Base/Base.xml".
    Result Add(const QString &name) const;
    Result Rename(const QString &from, const QString &to) const;
    Result Remove(const QString &name) const;
    Result Import(const QString &sourcePath, QString *name) const;
    // Replaces target whole (the caller asked before overwriting).
    Result Export(const QString &name, const QString &target) const;

private:
    Result CheckNewName(const QString &name) const;
    // Writes a new file only if none of that name exists: a temporary file, then a rename that
    // never replaces.
    Result CreateNew(const QString &name, const QByteArray &content) const;

    QString m_Dir;
};
