#pragma once
#include <QString>
#include <memory>

class QLockFile;

// Guards against a second running copy of the program: a lock file bearing the given name in the
// user's runtime folder. A lock left by a dead process does not block.
class SingleInstance
{
public:
    explicit SingleInstance(const QString &appName);
    ~SingleInstance();

    bool tryAcquire();
    void release();
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
