#pragma once
// The small frameless popup that asks for the name of a new user configuration file; its label
// blinks while it waits.
#include <QDialog>
#include <QStringList>
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

    // "<folder>/<name><suffix>" for a confirmed name that is not taken, else empty. reserved
    // names the page keeps for its own files. One popup at a time; a call while one is open
    // returns the last result at once.
    static QString GetFilePath(const QString &folder, const QString &suffix, const QStringList &reserved = QStringList());

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
    // Says why the name was refused and hands the field back for another.
    void Refuse(uint textId);

    QPushButton *ExitButton = nullptr;
    QLineEdit *lineEdit = nullptr;
    QLabel *InputLable = nullptr;
    uint8_t m_Darker = 0;
    uint8_t m_Grey = 180;
    QTimer m_Timer;
    bool m_Refusing = false; // a refusal's message is up: the field's focus loss is no new name

    static QString s_Folder;
    static QStringList s_Reserved;
    static QString s_Suffix;
    static QString s_Result;
    static bool s_Open;
};
