#pragma once
#include <QByteArray>
#include <QString>

#include <functional>

class QFileDevice;
class QSettings;

// The one way the program writes a file. The new bytes reach the disk whole (written, flushed and
// synced, each step checked) before they replace the old file; otherwise the old file stays as it
// was and the caller learns why. Qt 5's QSaveFile::commit() and QSettings::sync() do not check
// their last flush: on a full disk they rename a cut or empty file over the old one and report
// success.
class CheckedSave
{
public:
    // What a failed save did not store, for the message that says so.
    enum What { Configuration, Macro, DpiPreset, Settings, ExportedFile };

    // Replaces `path` with `bytes`; false (and *error an errno value) when it could not.
    static bool WriteFile(const QString &path, const QByteArray &bytes, int *error = nullptr);
    // A new file `to` with the bytes of `from`, as QFile::copy (which never replaces a file), but
    // checked like every other save.
    static bool CopyFile(const QString &from, const QString &to, int *error = nullptr);
    // Writes `bytes` to an open file through its descriptor and syncs it: the file's own buffer
    // is never left to a flush nobody checks.
    static bool WriteAll(QFileDevice &file, const QByteArray &bytes, int *error = nullptr);
    // Writes the settings' changes (INI files opened by OpenIniFile go through the same checked
    // write). On failure the file keeps what it held, and so does what the program reads of it:
    // the refused values are dropped from the settings.
    static bool SyncSettings(QSettings &settings, int *error = nullptr);

    // The errno of this thread's last failed save (0 when the last one succeeded).
    static int LastError();
    static bool DiskFull(int error);
    // "<what> was not saved. <cause>", in the UI language; a full disk is named as the cause.
    static QString FailureText(What what, int error);
    static QString FailureText(What what) { return FailureText(what, LastError()); }
    // The cause of this thread's last failed save, to follow a message of its own; empty when
    // the last save succeeded.
    static QString Cause();
    // `text`, followed by the cause when the last save failed.
    static QString WithCause(const QString &text);

    // Tests: a write to a path for which `fault` returns an errno value fails with it.
    using Fault = std::function<int(const QString &path)>;
    static void SetFaultForTest(Fault fault);

private:
    friend class IniCodec;
    static int FaultFor(const QString &path);
    static void SetLastError(int error);
};
