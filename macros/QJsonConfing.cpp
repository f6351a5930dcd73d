#include "macros/QJsonConfing.h"
#include "app/CheckedSave.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "app/MainWidget.h"
#include "device/HID_API.h"
#include "keyboard/QConfigBuildManage_Pro.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

int HexDigit(ushort c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The "0x%02x" items of "mdfdata". Empty items are skipped; an item that is not exactly two hex
// digits makes the whole text malformed, so no guessed byte ever reaches a device.
bool ParseHexItems(const QString &text, QVector<uchar> *out)
{
    out->clear();
    const int n = text.size();
    const QChar *s = text.constData();
    auto itemAt = [&](int i) { return i + 1 < n && s[i] == QLatin1Char('0') && s[i + 1] == QLatin1Char('x'); };
    int i = 0;
    if (n && !itemAt(0))
        return false; // text before the first item
    out->reserve(n / 4);
    while (i < n) {
        i += 2; // past "0x"
        int start = i;
        while (i < n && !itemAt(i))
            ++i;
        const int len = i - start;
        if (len == 0)
            continue;
        if (len != 2)
            return false;
        const int hi = HexDigit(s[start].unicode()), lo = HexDigit(s[start + 1].unicode());
        if (hi < 0 || lo < 0)
            return false;
        out->append(uchar(hi * 16 + lo));
    }
    return true;
}

// The member of a macro file named after the macro.
bool ReadMember(const QString &path, const QString &name, QJsonObject *member)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    if (!doc.isObject()) {
        WriteLogLine(QStringLiteral("macro file %1 is not a JSON object").arg(path));
        return false;
    }
    const QJsonValue v = doc.object().value(name);
    if (!v.isObject()) {
        WriteLogLine(QStringLiteral("macro file %1 holds no member \"%2\"").arg(path, name));
        return false;
    }
    *member = v.toObject();
    return true;
}

// The image of a member; false (one log line) when malformed or too long.
bool MemberImage(const QString &path, const QJsonObject &member, QVector<uchar> *image)
{
    if (!ParseHexItems(member.value(QStringLiteral("mdfdata")).toString(), image)) {
        WriteLogLine(QStringLiteral("macro file %1 holds malformed data").arg(path));
        return false;
    }
    if (image->size() > QJsonConfing::kMaxImageBytes) {
        WriteLogLine(QStringLiteral("macro file %1 holds %2 bytes, more than %3").arg(path).arg(image->size()).arg(QJsonConfing::kMaxImageBytes));
        return false;
    }
    return true;
}

void ReadModes(const QJsonObject &member, int *runWay, int *runOne)
{
    if (runWay)
        *runWay = member.value(QStringLiteral("RunWay")).toInt(0);
    if (runOne)
        *runOne = member.value(QStringLiteral("RunOne")).toInt(0);
}

QString NameOfFile(const QString &path)
{
    QString file = QFileInfo(path).fileName();
    if (file.endsWith(QLatin1String(".bin")))
        file.chop(4);
    return file;
}

} // namespace

QJsonConfing::QJsonConfing(const QString &folder, QObject *parent) : QObject(parent), m_folder(folder) {}

QString QJsonConfing::MacroDir() const
{
    if (!m_folder.isEmpty())
        return m_folder;
    MainWidget *w = MainWidget::instance();
    return w ? w->ModifyConfigDir() : QString();
}

QString QJsonConfing::TimeStamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd  hh-mm-ss"));
}

QString QJsonConfing::MacroFilePath(const QString &folder, const QString &name)
{
    if (folder.isEmpty() || !IsMacroName(name))
        return QString();
    return QStringLiteral("%1/%2.bin").arg(folder, name);
}

bool QJsonConfing::IsMacroName(const QString &name)
{
    return IsSafeFileComponent(name) && !name.startsWith(QLatin1Char('.'));
}

bool QJsonConfing::MacroFileExists(const QString &name) const
{
    const QString path = MacroFilePath(MacroDir(), name);
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool QJsonConfing::WriteMacroFile(const QString &name, const QString &hexData, int runWay, int runOne)
{
    // Answered in a wait whose device went (its removal is held until the wait has returned):
    // the gone device's macros stay as they were.
    if (HID_API::PageDeviceGoing()) {
        WriteLogLine(QStringLiteral("macro %1 not written: its device went").arg(name));
        return false;
    }
    const QString path = MacroFilePath(MacroDir(), name);
    if (path.isEmpty()) {
        WriteLogLine(QStringLiteral("macro name refused: \"%1\"").arg(name));
        return false;
    }
    QJsonObject inner;
    inner.insert(QStringLiteral("Time"), TimeStamp());
    inner.insert(QStringLiteral("buffsize"), hexData.split(QStringLiteral("0x")).size() - 1);
    inner.insert(QStringLiteral("mdfdata"), hexData);
    inner.insert(QStringLiteral("RunWay"), runWay);
    inner.insert(QStringLiteral("RunOne"), runOne);
    QJsonObject root;
    root.insert(name, inner);
    return CheckedSave::WriteFile(path, QJsonDocument(root).toJson(QJsonDocument::Indented));
}

QVector<uchar> QJsonConfing::ReadMacroData(const QString &name, int *runWay, int *runOne) const
{
    const QString path = MacroFilePath(MacroDir(), name);
    if (path.isEmpty()) {
        WriteLogLine(QStringLiteral("macro name refused: \"%1\"").arg(name));
        return {};
    }
    QJsonObject member;
    QVector<uchar> image;
    if (!ReadMember(path, name, &member) || !MemberImage(path, member, &image))
        return {};
    ReadModes(member, runWay, runOne);
    return image;
}

void QJsonConfing::ReadRunMode(const QString &filePath, int *runWay, int *runOne)
{
    QJsonObject member;
    if (ReadMember(filePath, NameOfFile(filePath), &member))
        ReadModes(member, runWay, runOne);
}

QByteArray QJsonConfing::ReadMacroEvents(const QString &path)
{
    QJsonObject member;
    QVector<uchar> image;
    if (!ReadMember(path, NameOfFile(path), &member) || !MemberImage(path, member, &image))
        return QByteArray();
    // Without a run mode the device would get an assignment that plays nothing sensible.
    if (!member.value(QStringLiteral("RunWay")).isDouble()) {
        WriteLogLine(QStringLiteral("macro file %1 holds no \"RunWay\"").arg(path));
        return QByteArray();
    }
    const QByteArray records = MacroRecords(image);
    if (records.isEmpty())
        WriteLogLine(QStringLiteral("macro file %1 holds no whole records after its name").arg(path));
    return records;
}

QByteArray QJsonConfing::MacroRecords(const QVector<uchar> &image)
{
    if (image.isEmpty() || image.size() > kMaxImageBytes)
        return QByteArray();
    const int start = 1 + image.at(0);
    const int tail = image.size() - start;
    if (tail <= 0 || tail % 4)
        return QByteArray();
    return QByteArray(reinterpret_cast<const char *>(image.constData()) + start, tail);
}

QByteArray QJsonConfing::MacroImage(const QString &name, const QByteArray &records)
{
    const QByteArray utf8 = name.toUtf8().left(255);
    QByteArray image;
    image.reserve(1 + utf8.size() + records.size());
    image.append(char(utf8.size())).append(utf8).append(records);
    return image;
}

QString QJsonConfing::ImageToHex(const QByteArray &image)
{
    static const char digits[] = "0123456789abcdef";
    QString text(image.size() * 4, Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : image) {
        const uchar b = uchar(c);
        *out++ = QLatin1Char('0');
        *out++ = QLatin1Char('x');
        *out++ = QLatin1Char(digits[b >> 4]);
        *out++ = QLatin1Char(digits[b & 15]);
    }
    return text;
}

bool QJsonConfing::RenameMacro(const QString &oldName, const QString &newName, const QString &configDir,
                               QStringList *unchanged, RenameFault *fault)
{
    const auto refuse = [fault](RenameFault why) {
        if (fault)
            *fault = why;
        return false;
    };
    if (fault)
        *fault = RenameFault::None;
    const QString folder = MacroDir();
    const QString oldPath = MacroFilePath(folder, oldName), newPath = MacroFilePath(folder, newName);
    if (oldPath.isEmpty() || newPath.isEmpty()) {
        WriteLogLine(QStringLiteral("macro rename refused: \"%1\" to \"%2\"").arg(oldName, newName));
        return refuse(RenameFault::NotStored);
    }
    QJsonObject member;
    QVector<uchar> image;
    if (!ReadMember(oldPath, oldName, &member) || !MemberImage(oldPath, member, &image) || image.isEmpty()
        || 1 + image.at(0) > image.size()) {
        WriteLogLine(QStringLiteral("macro %1 not renamed: its file cannot be read").arg(oldName));
        return refuse(RenameFault::Unreadable);
    }
    const int start = 1 + image.at(0);
    const QByteArray records(reinterpret_cast<const char *>(image.constData()) + start, image.size() - start);
    const QByteArray newImage = MacroImage(newName, records);
    int runWay = 0, runOne = 0;
    ReadModes(member, &runWay, &runOne);
    // A case-only change on a file system that ignores case names the same file: replace it in
    // place and remove nothing.
    const bool sameFile = QFileInfo(oldPath).canonicalFilePath() == QFileInfo(newPath).canonicalFilePath()
                          && QFileInfo::exists(newPath);
    if (!sameFile && QFileInfo::exists(newPath)) {
        WriteLogLine(QStringLiteral("macro %1 not renamed: %2 exists").arg(oldName, newName));
        return refuse(RenameFault::NotStored);
    }
    // The macro is stored under the new name first, the keys follow, the old file goes last:
    // stopped at any moment, every key plays a macro that has a file.
    const QString oldHex = ImageToHex(QByteArray(reinterpret_cast<const char *>(image.constData()), image.size()));
    const auto dropNew = [&] {
        // In place, the file is given back its old name and image.
        if (sameFile ? !WriteMacroFile(oldName, oldHex, runWay, runOne) : !QFile::remove(newPath))
            WriteLogLine(QStringLiteral("macro file %1 could not be taken back after a refused rename").arg(newPath));
    };
    if (!WriteMacroFile(newName, ImageToHex(newImage), runWay, runOne)) {
        WriteLogLine(QStringLiteral("macro %1 not renamed: %2 not written").arg(oldName, newName));
        return refuse(RenameFault::NotStored);
    }
    int checkWay = -1, checkOne = -1;
    const QVector<uchar> written = ReadMacroData(newName, &checkWay, &checkOne);
    if (QByteArray(reinterpret_cast<const char *>(written.constData()), written.size()) != newImage || checkWay != runWay
        || checkOne != runOne) {
        WriteLogLine(QStringLiteral("macro %1 not renamed: %2 did not read back").arg(oldName, newName));
        dropNew();
        return refuse(RenameFault::NotStored);
    }
    if (oldName != newName) {
        // Each configuration's rows that were renamed, so that a refusal puts back those alone:
        // a key that played the new name before keeps it.
        QVector<QPair<QString, QVector<int>>> renamed;
        QStringList refused;
        // Each file is read once: one that plays nothing of the macro is left as it is.
        const QFileInfoList files = configDir.isEmpty() ? QFileInfoList()
                                                        : QDir(configDir).entryInfoList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
        for (const QFileInfo &file : files) {
            QVector<int> rows;
            if (!QConfigBuildManage_Pro::RenameMacroKeys(file.filePath(), oldName, newName, &rows))
                refused.append(file.completeBaseName());
            else if (!rows.isEmpty())
                renamed.append({file.completeBaseName(), rows});
        }
        if (!refused.isEmpty()) {
            WriteLogLine(QStringLiteral("macro %1 not renamed: %2 not rewritten").arg(oldName, refused.join(QLatin1Char(','))));
            QStringList notPutBack;
            for (const auto &config : qAsConst(renamed))
                if (!QConfigBuildManage_Pro::PutBackMacroKeys(QStringLiteral("%1/%2.xml").arg(configDir, config.first), oldName,
                                                              newName, config.second))
                    notPutBack.append(config.first);
            if (!notPutBack.isEmpty()) {
                // Their keys play the new name: both files stay, so that every key has its macro.
                WriteLogLine(QStringLiteral("macro %1 kept under both names: %2 not put back").arg(oldName, notPutBack.join(QLatin1Char(','))));
                if (unchanged)
                    *unchanged = notPutBack;
                return refuse(RenameFault::NotPutBack);
            }
            dropNew();
            if (unchanged)
                *unchanged = refused;
            return refuse(RenameFault::Configurations);
        }
    }
    if (!sameFile && !QFile::remove(oldPath))
        WriteLogLine(QStringLiteral("macro file %1 could not be removed after the rename").arg(oldPath));
    return true;
}

QStringList QJsonConfing::ListMacroFiles(bool baseNames) const
{
    QStringList names;
    const QString folder = MacroDir();
    if (folder.isEmpty())
        return names;
    QDirIterator it(folder, QDir::Files | QDir::NoSymLinks | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (info.suffix() != QLatin1String("bin"))
            continue;
        names.append(baseNames ? info.completeBaseName() : info.fileName());
    }
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c ? c < 0 : a < b;
    });
    return names;
}
