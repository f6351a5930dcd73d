#pragma once
#include <QByteArray>
#include <QWidget>

// The key and macro editor page.
class QEditPage : public QWidget
{
    Q_OBJECT
public:
    explicit QEditPage(QWidget *parent = nullptr);
    ~QEditPage() override;
    static QEditPage *Instance();

    void SetMacroName(const QString &name);
    void LoadMacro(const QString &name, const QByteArray &events, int runWay, int runOne);
    void SetRunMode(int mode, bool on);
    QString MacroName() const { return m_name; }
    QByteArray MacroEvents() const { return m_events; }
    int RunMode() const { return m_runMode; }

Q_SIGNALS:
    void quitPage();
    void MacroFileChangge(const QString &macro);

private:
    QString m_name;
    QByteArray m_events;
    int m_runMode = 0;
    static QEditPage *s_instance;
};
