#include "app/QXM_Process.h"
#include "app/AppDirPath.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "macros/SetXmlContent.h"

#include <QFile>
#include <QSettings>
#include <memory>

namespace {
// A table is read more than once (at start the seed language, then the saved one): a missing or
// broken file is logged once, not at each read. A good read (empty text) forgets it, so a later
// breakage is logged again. The path is part of what is kept: another folder, another table.
void reportTable(const QString &file, const QString &text)
{
    static QString last; // GUI thread only
    const QString key = text.isEmpty() ? QString() : file + QLatin1Char('\n') + text;
    if (last == key)
        return;
    last = key;
    if (!text.isEmpty())
        WriteLogLine(text);
}

QString tablePath(const QString &name)
{
    return QStringLiteral("%1/%2.xml").arg(AppDirPath(), name);
}
} // namespace

QXM_Process *QXM_Process::instance()
{
    static QXM_Process *self = nullptr;
    if (!self) {
        self = new QXM_Process;
        std::unique_ptr<QSettings> seed(OpenIniFile(AppDirPath() + QStringLiteral("/data.ini")));
        const uint index = seed->value(QStringLiteral("system/Languageindex"), 0).toUInt();
        self->m_table = LoadLanguageFile(LanguageFileName(static_cast<uchar>(index & 0xFF)));
    }
    return self;
}

QString QXM_Process::LanguageFileName(uchar index)
{
    switch (index) {
    case 0: return QStringLiteral("LingualDir/Lingual_ZH");
    case 1: return QStringLiteral("LingualDir/Lingual_English");
    case 2: return QStringLiteral("LingualDir/Lingual_Korean");
    default: return QString();
    }
}

QString QXM_Process::GetText(uint id) const
{
    const auto it = m_table.constFind(id);
    return it == m_table.constEnd() ? QStringLiteral("not Code") : it.value();
}

void QXM_Process::ReloadLanguage(uchar index)
{
    m_table.clear();
    const QString name = LanguageFileName(index);
    if (name.isEmpty()) {
        WriteLogLine(QStringLiteral("language index %1 has no table").arg(index));
        return;
    }
    m_table = LoadLanguageFile(name);
}

void QXM_Process::NotifyLanguageChange()
{
    Q_EMIT LanguageChange();
}

QDomDocument QXM_Process::ReadXmlDocument(const QString &name)
{
    QDomDocument doc;
    QFile file(tablePath(name));
    if (!file.open(QIODevice::ReadOnly)) {
        reportTable(file.fileName(), QStringLiteral("language table %1 missing").arg(name));
        return doc;
    }
    QString error;
    int line = 0;
    if (!SetXmlContent(doc, file.readAll(), &error, &line)) {
        reportTable(file.fileName(), QStringLiteral("language table %1 unreadable: %2 (line %3)").arg(name, error).arg(line));
        return QDomDocument();
    }
    return doc;
}

QXM_Process::Table QXM_Process::LoadLanguageFile(const QString &name)
{
    Table table;
    if (name.isEmpty())
        return table;
    const QDomDocument doc = ReadXmlDocument(name);
    const QDomElement root = doc.documentElement();
    if (root.isNull())
        return table; // missing or unreadable: already logged
    if (root.tagName() != QStringLiteral("语言模块")) {
        reportTable(tablePath(name),
                    QStringLiteral("language table %1 unreadable: root element \"%2\"").arg(name, root.tagName()));
        return table;
    }
    reportTable(QString(), QString());
    // Elements only: a comment node would otherwise store an empty text under id 0.
    for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        const uint id = e.attribute(QStringLiteral("ID")).toUInt();
        table.insert(id, e.attribute(QStringLiteral("Code")));
    }
    return table;
}

QString GetLangText(uint id)
{
    return QXM_Process::instance()->GetText(id);
}

namespace {
// Scripts written without spaces between words.
bool WrittenWithoutSpaces(QChar c)
{
    switch (c.script()) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Thai:
    case QChar::Script_Lao:
    case QChar::Script_Khmer:
    case QChar::Script_Myanmar:
        return true;
    default:
        return false;
    }
}
}

QString JoinLangTexts(const QString &first, const QString &second)
{
    if (first.isEmpty() || second.isEmpty() || first.back().isSpace() || second.front().isSpace())
        return first + second;
    if (WrittenWithoutSpaces(first.back()) && WrittenWithoutSpaces(second.front()))
        return first + second;
    return first + QLatin1Char(' ') + second;
}
