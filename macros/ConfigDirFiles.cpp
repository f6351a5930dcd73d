#include "macros/ConfigDirFiles.h"
#include "macros/SetXmlContent.h"
#include "app/CheckedSave.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <algorithm>

namespace {
const QString kBase = QStringLiteral("Base");
const QString kImageAndLines = QStringLiteral("imageAndLines");
} // namespace

QStringList ConfigDirFiles::List() const
{
    QStringList names;
    const QFileInfoList entries = QDir(m_Dir).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo &entry : entries) {
        if (entry.completeSuffix() != QLatin1String("xml"))
            continue;
        const QString base = entry.baseName();
        if (base.isEmpty() || base == kImageAndLines)
            continue;
        names << base;
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        if ((a == kBase) != (b == kBase))
            return a == kBase;
        const int c = QString::compare(a, b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

QString ConfigDirFiles::FilePath(const QString &name) const
{
    return m_Dir + QLatin1Char('/') + name + QStringLiteral(".xml");
}

bool ConfigDirFiles::Exists(const QString &name) const
{
    return QFileInfo::exists(FilePath(name));
}

bool ConfigDirFiles::IsPlainName(const QString &name)
{
    if (name.trimmed().isEmpty())
        return false;
    for (const QChar c : name) {
        // A dot would hide the file from the list; separators and controls leave or break paths.
        if (c == QLatin1Char('.') || c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20
            || c.unicode() == 0x7f || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool ConfigDirFiles::IsSafeName(const QString &name)
{
    const Result check = CheckName(name);
    return check != Result::BadName && check != Result::TooLong;
}

bool ConfigDirFiles::IsTooLong(const QString &name)
{
    return QFile::encodeName(name + QStringLiteral(".xml")).size() > MaxFileNameBytes;
}

bool ConfigDirFiles::IsReserved(const QString &name)
{
    return name.compare(kBase, Qt::CaseInsensitive) == 0 || name.compare(kImageAndLines, Qt::CaseInsensitive) == 0;
}

QString ConfigDirFiles::ImportName(const QString &sourcePath)
{
    const QString fileName = QFileInfo(sourcePath).fileName();
    return fileName.left(fileName.indexOf(QLatin1Char('.')));
}

ConfigDirFiles::Result ConfigDirFiles::CheckName(const QString &name)
{
    if (!IsPlainName(name))
        return Result::BadName;
    // The chosen name is kept in the product's data file, and Qt 5's INI writer encodes each
    // UTF-16 unit on its own: both halves of a character outside the Basic Multilingual Plane
    // are dropped, so the file would name another configuration after the next start.
    for (const QChar c : name)
        if (c.isSurrogate())
            return Result::BadName;
    if (IsTooLong(name))
        return Result::TooLong;
    if (IsReserved(name))
        return Result::Reserved;
    return Result::Ok;
}

uint ConfigDirFiles::RefusalTextId(Result result)
{
    switch (result) {
    case Result::Reserved:
    case Result::Exists:
        return 140;
    case Result::TooLong:
        return 762;
    case Result::WriteFailed:
        return 763;
    case Result::Missing:
        return 764;
    default:
        return 139;
    }
}

QString ConfigDirFiles::StartFolder()
{
    // Without a desktop folder a dialog would take the missing folder's name for the file.
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return QFileInfo(desktop).isDir() ? desktop : QDir::homePath();
}

QString ConfigDirFiles::ExportProposal(const QString &name)
{
    return StartFolder() + QLatin1Char('/') + name + QStringLiteral(".xml");
}

ConfigDirFiles::Result ConfigDirFiles::CheckNewName(const QString &name) const
{
    const Result check = CheckName(name);
    if (check != Result::Ok)
        return check;
    return Exists(name) ? Result::Exists : Result::Ok;
}

ConfigDirFiles::Result ConfigDirFiles::CreateNew(const QString &name, const QByteArray &content) const
{
    const Result check = CheckNewName(name);
    if (check != Result::Ok)
        return check;
    QTemporaryFile temp(m_Dir + QStringLiteral("/.new-XXXXXX"));
    if (!temp.open() || !CheckedSave::WriteAll(temp, content))
        return Result::WriteFailed;
    // QFile::rename never replaces an existing file, so a file made meanwhile is kept.
    if (!temp.rename(FilePath(name)))
        return Exists(name) ? Result::Exists : Result::WriteFailed;
    temp.setAutoRemove(false);
    return Result::Ok;
}

ConfigDirFiles::Result ConfigDirFiles::Add(const QString &name) const
{
    const Result check = CheckNewName(name);
    if (check != Result::Ok)
        return check;
    QFile factory(m_Dir + QStringLiteral("/Base/Base.xml"));
    if (!factory.open(QIODevice::ReadOnly))
        return Result::Missing;
    return CreateNew(name, factory.readAll());
}

ConfigDirFiles::Result ConfigDirFiles::Rename(const QString &from, const QString &to) const
{
    if (IsReserved(from))
        return Result::Reserved;
    if (!IsPlainName(from) || !Exists(from))
        return Result::Missing;
    const Result check = CheckNewName(to);
    if (check != Result::Ok)
        return check;
    if (!QFile::rename(FilePath(from), FilePath(to)))
        return Exists(to) ? Result::Exists : Result::WriteFailed;
    return Result::Ok;
}

ConfigDirFiles::Result ConfigDirFiles::Remove(const QString &name) const
{
    if (IsReserved(name))
        return Result::Reserved;
    if (!IsPlainName(name) || !Exists(name))
        return Result::Missing;
    return QFile::remove(FilePath(name)) ? Result::Ok : Result::WriteFailed;
}

ConfigDirFiles::Result ConfigDirFiles::Import(const QString &sourcePath, QString *name) const
{
    const QFileInfo source(sourcePath);
    if (source.suffix() != QLatin1String("xml") || !source.isFile())
        return Result::NotConfig;
    if (source.size() > MaxImportSize)
        return Result::TooLarge;
    const QString target = ImportName(sourcePath);
    const Result check = CheckNewName(target);
    if (check != Result::Ok)
        return check;

    QFile file(sourcePath);
    if (!file.open(QIODevice::ReadOnly))
        return Result::Missing;
    // The file may have grown since it was measured: read no more than the limit allows.
    const QByteArray content = file.read(MaxImportSize + 1);
    if (content.size() > MaxImportSize)
        return Result::TooLarge;
    QDomDocument document;
    if (!SetXmlContent(document, content) || document.documentElement().tagName() != QLatin1String("Backinfos"))
        return Result::NotConfig;
    const Result written = CreateNew(target, content);
    if (written == Result::Ok && name)
        *name = target;
    return written;
}

ConfigDirFiles::Result ConfigDirFiles::Export(const QString &name, const QString &target) const
{
    if (!IsPlainName(name) && name != kBase)
        return Result::Missing;
    QFile source(FilePath(name));
    if (!source.open(QIODevice::ReadOnly))
        return Result::Missing;
    const QByteArray content = source.readAll();
    if (!CheckedSave::WriteFile(target, content))
        return Result::WriteFailed;
    return Result::Ok;
}
