#pragma once
#include <QDomDocument>
#include <QMap>
#include <QObject>
#include <QString>

// The one loaded language table: text id -> text in the current language.
class QXM_Process : public QObject
{
    Q_OBJECT
public:
    using Table = QMap<uint, QString>;

    static QXM_Process *instance();

    QString GetText(uint id) const;
    void ReloadLanguage(uchar index);
    void NotifyLanguageChange();

    static Table LoadLanguageFile(const QString &name);
    static QDomDocument ReadXmlDocument(const QString &name);
    // The table file name of a language index ("LingualDir/Lingual_English", ...); empty above 2.
    static QString LanguageFileName(uchar index);

Q_SIGNALS:
    void LanguageChange();

private:
    QXM_Process() = default;
    Table m_table;
};

// The UI text of a text id in the current language; "not Code" when the table has none.
QString GetLangText(uint id);

// Two texts of the table as one heading ("Lighting" and "Settings"): a space between them where
// the language separates words, none where it does not (Chinese, Japanese) or where one of the
// texts already carries it.
QString JoinLangTexts(const QString &first, const QString &second);
