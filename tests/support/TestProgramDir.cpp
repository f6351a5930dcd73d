#include "tests/support/TestProgramDir.h"
#include "app/AppDirPath.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

TestProgramDir::TestProgramDir()
{
    m_valid = m_dir.isValid() && copyTree(QStringLiteral(QUORIX_SOURCE_PROGRAMDIR), m_dir.path());
    SetAppDirPathOverride(m_dir.path());
}

TestProgramDir::~TestProgramDir()
{
    SetAppDirPathOverride(QString());
}

bool TestProgramDir::copyTree(const QString &from, const QString &to)
{
    QDir src(from);
    if (!src.exists())
        return false;
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + QLatin1Char('/') + src.relativeFilePath(file);
        QDir().mkpath(QFileInfo(target).path());
        QFile::remove(target);
        if (!QFile::copy(file, target))
            return false;
        QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    }
    return true;
}

bool TestProgramDir::writeFile(const QString &relative, const QByteArray &content) const
{
    const QString target = filePath(relative);
    QDir().mkpath(QFileInfo(target).path());
    QFile f(target);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(content) == content.size();
}

QByteArray TestProgramDir::readFile(const QString &relative) const
{
    QFile f(filePath(relative));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool TestProgramDir::removeFile(const QString &relative) const
{
    return QFile::remove(filePath(relative));
}
