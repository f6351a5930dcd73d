#pragma once
#include <QString>
#include <QTemporaryDir>

// A fresh copy of the sample program folder in a temporary directory, made the program folder
// (AppDirPath) for as long as the object lives.
class TestProgramDir
{
public:
    TestProgramDir();
    ~TestProgramDir();

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &relative) const { return m_dir.filePath(relative); }
    bool isValid() const { return m_valid; }

    // Writes a file below the folder (creating folders); returns false when that failed.
    bool writeFile(const QString &relative, const QByteArray &content) const;
    QByteArray readFile(const QString &relative) const;
    bool removeFile(const QString &relative) const;

    static bool copyTree(const QString &from, const QString &to);

private:
    QTemporaryDir m_dir;
    bool m_valid = false;
};
