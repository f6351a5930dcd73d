#pragma once
// The small frameless popup that asks for the name of a new user configuration file; its label
// blinks while it waits.
#include <QDialog>
#include <QTimer>

class QLabel;
class QLineEdit;
class QPushButton;

class QGenderConfigInput : public QDialog
{
    Q_OBJECT
public:
    explicit QGenderConfigInput(QWidget *parent = nullptr);
    ~QGenderConfigInput() override;

    // "<folder>/<name><suffix>" for a confirmed name that is not taken, else empty. One popup at
    // a time; a call while one is open returns the last result at once.
    static QString GetFilePath(const QString &folder, const QString &suffix);

    QLineEdit *LineEdit() const { return lineEdit; }
    QLabel *Label() const { return InputLable; }

public Q_SLOTS:
    void on_lineEdit_editingFinished();
    void on_Exit();
    void on_Timeer();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void setupUi();

    QPushButton *ExitButton = nullptr;
    QLineEdit *lineEdit = nullptr;
    QLabel *InputLable = nullptr;
    uint8_t m_Darker = 0;
    uint8_t m_Grey = 180;
    QTimer m_Timer;

    static QString s_Folder;
    static QString s_Suffix;
    static QString s_Result;
    static bool s_Open;
};
