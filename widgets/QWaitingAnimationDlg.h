#pragma once
#include <QDialog>

// The busy spinner that follows the mouse cursor; one shared instance.
class QWaitingAnimationDlg : public QDialog
{
    Q_OBJECT
public:
    static QWaitingAnimationDlg *Instance();
    static void Release();

private:
    explicit QWaitingAnimationDlg(QWidget *parent = nullptr);
};

void StopWaitSpinner();
