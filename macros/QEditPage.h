#pragma once
#include <QVector>
#include <QWidget>

class QButtonGroup;
class QAbstractButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QEditMacroPage_Iner;

// The macro editor page (main tab 4): one macro's name, its event list filled by recording or
// from its file, the standard delay, the run mode with its count, Reset and Save. Leaving it
// with changes writes the macro file.
class QEditPage : public QWidget
{
    Q_OBJECT
public:
    explicit QEditPage(QWidget *parent = nullptr);
    ~QEditPage() override;
    static QEditPage *Instance();

    void SetMacroName(const QString &name);
    // 1 loop count times, 2 until another key, 4 while held; other modes change nothing.
    void SetRunMode(int mode, int count);
    // Loads an image ([N][N name bytes][records]); false, nothing loaded, when it is empty or
    // names another macro than the one shown.
    bool LoadMacro(QVector<uchar> image, int mode, int count);
    // Writes the macro file; false, nothing written, when the image would not fit its buffer,
    // the name is too long or the file could not be written.
    bool SaveMacro();
    // The idle state of the end of a visit; nothing is saved.
    void ResetPage();

    static QVector<uchar> NameBytes(const QString &name);
    static QString BytesToName(const QVector<uchar> &bytes);

    // The edit-time button.
    bool IsRecordOptionChecked() const;
    // The record button: checked while a recording runs.
    bool IsRecordButtonChecked() const;
    void SetRecordButtonChecked(bool checked);
    void ResetRecordButton();
    // True while the cursor is over the record button, where a left click must reach it to
    // end the recording.
    bool IsRecordButtonHovered() const;
    void SetRecordButtonHovered(bool hovered) { m_recordHover = hovered; }
    void RefreshLangual();

    QString MacroName() const;
    QByteArray MacroEvents() const;
    int RunMode() const { return m_runMode; }
    bool IsChanged() const { return m_changed; }
    QEditMacroPage_Iner *EventList() const { return EditValueWidget; }

Q_SIGNALS:
    void quitPage();
    void MacroFileChangge(const QString &macro);
    void ClearitemsAll();
    void EditSeveAction(const QString &obj);
    void quitEditReodKeyv();

public Q_SLOTS:
    void on_setdatatendency(bool value);
    void on_setdatatendency();
    void on_setScrollBarValue(int v);
    void on_setScrollBarMaxValue(int m);
    void on_ExitButton();
    void on_RunButtonCliced(QAbstractButton *button);
    void on_ButEditTime_clicked(bool checked);
    void on_ButTool_clicked(bool checked);
    void on_ButSeSet_clicked();
    void on_RunModelNumbel_textChanged(const QString &text);
    void on_ButCheckSleep_clicked(bool checked);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setupUi();
    void MarkChanged();
    void ApplyStandardDelay();
    // The event list is as wide as the visible part of its scroll area.
    void FitEventListWidth();

    bool m_recordHover = false;
    bool m_changed = false;
    QButtonGroup *m_runGroup = nullptr;
    int m_runMode = 1;

    QPushButton *ExitButton = nullptr;
    QLabel *PeojectNeme = nullptr;
    QRadioButton *Run_KeyRelese = nullptr;
    QRadioButton *RunKeyDown = nullptr;
    QRadioButton *RunNumBut = nullptr;
    QLabel *label = nullptr;
    QLabel *label_2 = nullptr;
    QLabel *label_3 = nullptr;
    QLineEdit *RunModelNumbel = nullptr;
    QLabel *label_4 = nullptr;
    QCheckBox *ButTool = nullptr;
    QScrollArea *scrollArea = nullptr;
    QEditMacroPage_Iner *EditValueWidget = nullptr;
    QRadioButton *ButEditTime = nullptr;
    QCheckBox *ButCheckSleep = nullptr;
    QLineEdit *EditStudionTime = nullptr;
    QLabel *label_Ms = nullptr;
    QPushButton *ButSeSet = nullptr;
    QPushButton *ButSeven = nullptr;

    static QEditPage *s_instance;
};

// Whether the event rows show and take delay edits; written only by the editor page.
bool IsEditTimeActive();
