#pragma once
#include <QDialog>
#include <QTimer>

class QLabel;
class QLineEdit;
class QPushButton;

// The modal overlay in which a new macro gets its name and the way the device runs it. It holds
// the keyboard hook (blocking off, so typed keys still reach the name field) for its whole life
// and hears Esc through it. It writes no file: the editor page creates the file on saving.
class QGenerateFile : public QDialog
{
    Q_OBJECT
public:
    explicit QGenerateFile(QWidget *parent = nullptr);
    ~QGenerateFile() override;

    // Runs the dialog; true only for a name accepted by Enter or Return, with the chosen mode
    // (1 loop, 2 until another key, 4 while held).
    bool GetResult(QString *name, int *mode);
    void RefreshLangual();

    // The verdict on a name typed into the field: 0 accepted, else the text id of the refusal
    // (108 too long or unusable as a file name, 140 taken in the current product's macro folder).
    static int CheckName(const QString &name);

    QLineEdit *NameEdit() const { return lineEdit; }

Q_SIGNALS:
    void GenerFile(const QString &file);

public Q_SLOTS:
    void on_butcliked();
    void on_timeout();
    void on_HookKeyCodeValue(bool Press, uint Keycode, uint subtime);
    void on_LanguageChange();
    void on_lineEdit_cursorPositionChanged(int oldPos, int newPos);
    // Qt's own Escape and a window-manager close end the dialog without a name.
    void reject() override;
    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void setupUi();
    void AcceptName();

    bool m_underline = true;
    QTimer m_blink;
    bool m_hooked = false;
    uchar m_oldBlock = 1;
    bool m_opening = false; // in the wait of its opening
    bool m_endAsked = false;
    int m_endResult = 0;

    QWidget *InerWidget = nullptr;
    QLabel *label_2 = nullptr;
    QPushButton *ButRePress = nullptr;
    QPushButton *But_Othr = nullptr;
    QPushButton *ButRunOne = nullptr;
    QLabel *label_4 = nullptr;
    QLabel *label_5 = nullptr;
    QLabel *label_6 = nullptr;
    QLineEdit *lineEdit = nullptr;
    QLabel *label = nullptr;
    QLabel *label_7 = nullptr;
    QPushButton *pushButton_4 = nullptr;
};
