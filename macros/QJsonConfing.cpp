#include "macros/QJsonConfing.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "app/MainWidget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <cctype>

namespace {

bool readObject(const QString &path, QJsonObject &object)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll());
    if (!doc.isObject())
        return false;
    const QJsonValue v = doc.object().value(QFileInfo(path).completeBaseName());
    if (!v.isObject())
        return false;
    object = v.toObject();
    return true;
}

// Pairs of hex digits only. A loop, not a regular expression: long macros would exceed the
// matcher's stack and read as broken.
bool isCleanHex(const QString &hex)
{
    if (hex.size() % 2)
        return false;
    for (const QChar c : hex)
        if (!isxdigit(c.unicode() < 128 ? c.unicode() : 'x'))
            return false;
    return true;
}

} // namespace

QJsonConfing::QJsonConfing(QObject *parent) : QObject(parent) {}

QString QJsonConfing::MacroFilePath(const QString &folder, const QString &name)
{
    if (!IsSafeFileComponent(name))
        return QString();
    return QStringLiteral("%1/%2.bin").arg(folder, name);
}

void QJsonConfing::ReadRunMode(const QString &path, int &runWay, int &runOne)
{
    QJsonObject object;
    if (!readObject(path, object))
        return;
    if (object.contains(QStringLiteral("RunWay")))
        runWay = object.value(QStringLiteral("RunWay")).toInt();
    if (object.contains(QStringLiteral("RunOne")))
        runOne = object.value(QStringLiteral("RunOne")).toInt();
}

QByteArray QJsonConfing::ReadMacroData(const QString &name, int &runWay, int &runOne)
{
    MainWidget *w = MainWidget::instance();
    if (!w)
        return QByteArray();
    const QString path = MacroFilePath(w->ModifyConfigDir(), name);
    if (path.isEmpty()) {
        WriteLogLine(QStringLiteral("macro name refused: \"%1\"").arg(name));
        return QByteArray();
    }
    ReadRunMode(path, runWay, runOne);
    return ReadMacroEvents(path);
}

QByteArray QJsonConfing::ReadMacroEvents(const QString &path)
{
    QJsonObject object;
    if (path.isEmpty() || !readObject(path, object))
        return QByteArray();
    const QString hex = object.value(QStringLiteral("mdfdata")).toString().remove(QLatin1Char(' '));
    // fromHex skips bad characters silently; corrupt events must not reach a device.
    if (!isCleanHex(hex)) {
        WriteLogLine(QStringLiteral("macro file %1 holds malformed data").arg(path));
        return QByteArray();
    }
    return QByteArray::fromHex(hex.toLatin1());
}

QStringList QJsonConfing::ListMacroFiles(bool baseNames)
{
    const MainWidget *main = MainWidget::instance();
    if (!main || main->CurrentProductName().isEmpty())
        return QStringList();
    QStringList names;
    const QFileInfoList files =
        QDir(main->ModifyConfigDir()).entryInfoList({QStringLiteral("*.bin")}, QDir::Files, QDir::Name);
    for (const QFileInfo &f : files)
        if (f.suffix() == QLatin1String("bin"))
            names.append(baseNames ? f.completeBaseName() : f.fileName());
    return names;
}
