#include "platform/SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

SingleInstance::SingleInstance(const QString &appName)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    m_path = dir + QLatin1Char('/') + appName + QStringLiteral(".lock");
    m_lock = std::make_unique<QLockFile>(m_path);
    // Never treat a live instance's lock as stale because of its age; a dead owner is still
    // detected by its process id.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    release();
}

bool SingleInstance::tryAcquire()
{
    return m_lock->tryLock(0);
}

void SingleInstance::release()
{
    if (m_lock && m_lock->isLocked())
        m_lock->unlock();
}
