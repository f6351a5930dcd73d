#pragma once
#include <QByteArray>
#include <QLibrary>
#include <QString>

// The outside firmware update library ("UpdateFirmware" in the program folder), loaded at run
// time. It does the whole device protocol itself; this class only passes the five calls across.
// A library that is absent or lacks an entry leaves the object unloaded; it is never unloaded
// once loaded, since the library may still hold our callbacks.
class UpdateLibrary
{
public:
    using Callback = void (*)(int);

    // The file looked for in a folder: "UpdateFirmware" with the platform's module suffix.
    static QString FilePath(const QString &folder);

    // Loads the library from the folder when its file exists and every entry resolves, then hands
    // it the three callbacks once (messages, update state, percentage). Returns IsLoaded().
    bool Load(const QString &folder, Callback message, Callback state, Callback percent);
    bool IsLoaded() const { return m_loadFile != nullptr; }

    // Both return 1 (the library's failure) when nothing is loaded.
    int LoadUpdateFile(const QString &path);
    int StartUpdateProcess();

private:
    using FileFn = int (*)(const char *);
    using StartFn = int (*)();

    QLibrary m_library;
    FileFn m_loadFile = nullptr;
    StartFn m_start = nullptr;
};
