#pragma once
#include <QWidget>

class QGridLayout;
class QLabel;
class QVBoxLayout;

// A borderless always-on-top panel with two lines, the value and the key name; the pointer passes through it.
class QDisplayInformation : public QWidget
{
    Q_OBJECT
public:
    explicit QDisplayInformation(QWidget *parent = nullptr);

    void SetValues(const QString &value, const QString &keyName);
    QString ValueLine() const;
    QString KeyNameLine() const;

private:
    void setupUi();
    void retranslateUi();

    QGridLayout *gridLayout = nullptr;
    QWidget *widget = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    QLabel *CurValue = nullptr;
    QLabel *DefultValue = nullptr;
};
