#include "platform/UpdateLibrary.h"

#include <QFile>
#include <QFileInfo>

namespace {
using SetterFn = void (*)(UpdateLibrary::Callback);
}

QString UpdateLibrary::FilePath(const QString &folder)
{
#if defined(Q_OS_WIN)
    return folder + QStringLiteral("/UpdateFirmware.dll");
#else
    return folder + QStringLiteral("/UpdateFirmware.so");
#endif
}

bool UpdateLibrary::Load(const QString &folder, Callback message, Callback state, Callback percent)
{
    if (IsLoaded())
        return true;
    const QString path = FilePath(folder);
    // Only a file that is there is loaded: never one found along the system's search path.
    if (!QFileInfo(path).isFile())
        return false;
    m_library.setFileName(path);
    if (!m_library.load())
        return false;
    auto setMessage = reinterpret_cast<SetterFn>(m_library.resolve("OutputMessageCallBack"));
    auto setState = reinterpret_cast<SetterFn>(m_library.resolve("UpdateProcessCallBack"));
    auto setPercent = reinterpret_cast<SetterFn>(m_library.resolve("OutputProcPercentCallBack"));
    auto loadFile = reinterpret_cast<FileFn>(m_library.resolve("LoadUpdateFile"));
    auto start = reinterpret_cast<StartFn>(m_library.resolve("StartUpdateProcess"));
    if (!setMessage || !setState || !setPercent || !loadFile || !start)
        return false;
    setMessage(message);
    setState(state);
    setPercent(percent);
    m_loadFile = loadFile;
    m_start = start;
    return true;
}

int UpdateLibrary::LoadUpdateFile(const QString &path)
{
    if (!m_loadFile)
        return 1;
    const QByteArray encoded = QFile::encodeName(path);
    return m_loadFile(encoded.constData());
}

int UpdateLibrary::StartUpdateProcess()
{
    return m_start ? m_start() : 1;
}
