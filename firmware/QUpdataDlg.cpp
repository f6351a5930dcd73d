#include "firmware/QUpdataDlg.h"

#include <QGuiApplication>
#include <QCursor>
#include <QScreen>

namespace {
QUpdataDlg *s_dialog = nullptr;
}

QUpdataDlg *QUpdataDlg::Instance()
{
    if (!s_dialog)
        s_dialog = new QUpdataDlg;
    return s_dialog;
}
QUpdataDlg *QUpdataDlg::ExistingInstance() { return s_dialog; }
QUpdataDlg::QUpdataDlg() {}
void QUpdataDlg::setupUi() {}
void QUpdataDlg::CentreOnMainWindow() {}
void QUpdataDlg::SetProductImage(const QImage &) {}
void QUpdataDlg::SetButtonText(const QString &) {}
void QUpdataDlg::SetButtonVersion(const QString &) {}
QString QUpdataDlg::ButtonText() const { return {}; }
QString QUpdataDlg::MessageText() const { return {}; }
int QUpdataDlg::Progress() const { return 0; }
bool QUpdataDlg::IsOkShown() const { return false; }
QScreen *QUpdataDlg::ScreenAtCursor()
{
    const QPoint at = QCursor::pos();
    for (QScreen *screen : QGuiApplication::screens())
        if (screen->geometry().contains(at))
            return screen;
    return nullptr;
}
void QUpdataDlg::on_DispText(QString) {}
void QUpdataDlg::on_DispStup(int) {}
void QUpdataDlg::on_pop() {}
void QUpdataDlg::on_hide() {}
void QUpdataDlg::on_Hidebutton() {}
void QUpdataDlg::on_pushButton_clicked() {}
void QUpdataDlg::showEvent(QShowEvent *event) { QDialog::showEvent(event); }
void SetUpdateDialogProduct(const QString &text) { QUpdataDlg::Instance()->SetButtonText(text); }
