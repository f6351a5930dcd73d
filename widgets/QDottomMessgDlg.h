#pragma once
#include <QColor>
#include <QDialog>

class QLabel;
class QPushButton;

// The program's message strip: a text with Yes (and Cancel) buttons.
class QDottomMessgDlg : public QDialog
{
    Q_OBJECT
public:
    QDottomMessgDlg(QWidget *parent, const QColor &colour, const QString &text, bool yesOnly, int width);
    static uchar LastResult();

private:
    static uchar s_lastResult;
};
