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

    // The record button: checked while a recording runs; hovered while the cursor is over it,
    // where a left click must reach it to end the recording.
    bool IsRecordOptionChecked() const { return m_recordChecked; }
    void SetRecordOptionChecked(bool checked) { m_recordChecked = checked; }
    void ResetRecordButton() { m_recordChecked = false; }
    bool IsRecordButtonHovered() const { return m_recordHover; }
    void SetRecordButtonHovered(bool hovered) { m_recordHover = hovered; }

Q_SIGNALS:
    void quitPage();
    void MacroFileChangge(const QString &macro);

private:
    QString m_name;
    QByteArray m_events;
    int m_runMode = 0;
    bool m_recordChecked = false;
    bool m_recordHover = false;
    static QEditPage *s_instance;
};
