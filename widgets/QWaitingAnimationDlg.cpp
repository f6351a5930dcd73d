#include "widgets/QWaitingAnimationDlg.h"

#include <QPointer>

namespace {
QPointer<QWaitingAnimationDlg> &shared()
{
    static QPointer<QWaitingAnimationDlg> dlg;
    return dlg;
}
} // namespace

QWaitingAnimationDlg::QWaitingAnimationDlg(QWidget *parent) : QDialog(parent)
{
    resize(55, 55);
}

QWaitingAnimationDlg *QWaitingAnimationDlg::Instance()
{
    if (!shared())
        shared() = new QWaitingAnimationDlg;
    return shared();
}

void QWaitingAnimationDlg::Release()
{
    delete shared().data();
}

void StopWaitSpinner()
{
}
