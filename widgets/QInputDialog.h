#pragma once
#include <QDialog>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace quorix {

// The program's one-line text input with a prompt; Qt's class of the same name is not used.
class QInputDialog : public QDialog
{
    Q_OBJECT
public:
    explicit QInputDialog(QWidget *parent = nullptr);

    // Asks with the one shared dialog; an empty text after Cancel or Escape, or when the open
    // page's device went while it was asked.
    static QString GetText(const QString &prompt, const char *file = __builtin_FILE(), int line = __builtin_LINE());
    // What the last GetText returned.
    static QString LastText();

public Q_SLOTS:
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private Q_SLOTS:
    void on_But_Confirm_clicked();
    void on_But_Concel_clicked();

private:
    void setupUi();

    QGridLayout *gridLayout = nullptr;
    QWidget *widget = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    QLabel *label = nullptr;
    QHBoxLayout *horizontalLayout_2 = nullptr;
    QLineEdit *InputEdit = nullptr;
    QHBoxLayout *horizontalLayout = nullptr;
    QPushButton *But_Confirm = nullptr;
    QPushButton *But_Concel = nullptr;
};

} // namespace quorix
