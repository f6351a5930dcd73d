#pragma once
#include <QDialog>

class QGridLayout;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// A one-line input without a prompt that asks inside its own constructor and refuses an empty
// confirm; the caller reads text() afterwards (empty after Cancel or Escape, and when the open
// page's device went while it asked).
class QInputDialogCopy : public QDialog
{
    Q_OBJECT
public:
    explicit QInputDialogCopy(QWidget *parent = nullptr);

    QString text() const;

public Q_SLOTS:
    void reject() override;

private Q_SLOTS:
    void on_But_Confirm_clicked();
    void on_But_Concel_clicked();

private:
    void setupUi();

    QGridLayout *gridLayout = nullptr;
    QWidget *widget = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    QHBoxLayout *horizontalLayout_2 = nullptr;
    QLineEdit *InputEdit = nullptr;
    QHBoxLayout *horizontalLayout = nullptr;
    QPushButton *But_Confirm = nullptr;
    QPushButton *But_Concel = nullptr;
};
