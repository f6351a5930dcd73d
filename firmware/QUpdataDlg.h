#pragma once
#include "app/NestedWait.h"

#include <QDialog>
#include <QImage>
#include <QString>
#include <memory>

class QHBoxLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QScreen;
class QSpacerItem;
class QVBoxLayout;
class QWidget;

// The one window that accompanies every firmware update: product picture, product button
// (name and version), progress bar, message line and an OK button shown once the update ended.
// Created on first use and reused; GUI thread only (the updaters reach it through signals).
class QUpdataDlg : public QDialog
{
    Q_OBJECT
public:
    static QUpdataDlg *Instance();
    // The shared dialog when it was made; never makes it.
    static QUpdataDlg *ExistingInstance();

    void SetProductImage(const QImage &image);
    void SetButtonText(const QString &text);
    // Keeps the product text up to its first "V" and appends the given text.
    void SetButtonVersion(const QString &version);

    QString ButtonText() const;
    QString MessageText() const;
    int Progress() const;
    bool IsOkShown() const;

    static QScreen *ScreenAtCursor();

public Q_SLOTS:
    void on_DispText(QString text);
    void on_DispStup(int stup);
    void on_pop();
    void on_hide();
    void on_Hidebutton();
    void on_pushButton_clicked();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QUpdataDlg();
    void setupUi();
    void CentreOnMainWindow();

    QVBoxLayout *verticalLayout = nullptr;
    QWidget *m_inerWidget = nullptr;
    QVBoxLayout *innerLayout = nullptr;
    QLabel *ImgLabel = nullptr;
    QPushButton *ProductName = nullptr;
    QProgressBar *progressBar = nullptr;
    QLabel *InfoText = nullptr;
    QPushButton *pushButton = nullptr;
    // Open while an update runs in the dialog's loop; the update's end releases it, so that the
    // devices coming back are listed at once, not only after OK.
    std::unique_ptr<NestedWait::Scope> m_wait;
};

// Sets the product button text of the shared update dialog.
void SetUpdateDialogProduct(const QString &text);
