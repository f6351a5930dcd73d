#pragma once
#include <QColor>
#include <QDialog>

class QDottom_Inerwidget;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;

// The program's message strip: as wide as the main window, 110 pixels high, with the text, a
// Cancel and a Yes button, and a countdown bar that closes the strip when it has run out.
// Built, slid in and started by its constructor; the caller then runs exec() and reads
// LastResult(): 1 for Yes, 0 for Cancel or for a strip that timed out.
class QDottomMessgDlg : public QDialog
{
    Q_OBJECT
public:
    QDottomMessgDlg(QWidget *parent, const QColor &colour, const QString &text, bool yesOnly, int width);

    static uchar LastResult();

    QDottom_Inerwidget *Panel() const { return Dottom_Inerwidget; }

Q_SIGNALS:
    void Starte_Animat();
    void Stop_Animat();

public Q_SLOTS:
    void on_But_Yes_clicked();
    void on_But_Cancel_clicked();
    void on_end_Animat();
    void onShakeWindow();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setupUi();
    void answer(uchar result);

    QGridLayout *gridLayout = nullptr;
    QDottom_Inerwidget *Dottom_Inerwidget = nullptr;
    QHBoxLayout *horizontalLayout = nullptr;
    QLabel *Messgeinfo = nullptr;
    QPushButton *But_Cancel = nullptr;
    QPushButton *But_Yes = nullptr;
    // Set by the first answer: a click or key during the closing wipe must not change it.
    bool m_answered = false;

    static uchar s_lastResult;
};
