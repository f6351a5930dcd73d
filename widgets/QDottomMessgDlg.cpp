#include "widgets/QDottomMessgDlg.h"
#include "app/QXM_Process.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

uchar QDottomMessgDlg::s_lastResult = 0;

QDottomMessgDlg::QDottomMessgDlg(QWidget *parent, const QColor &, const QString &text, bool yesOnly, int width)
    : QDialog(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(new QLabel(text, this), 15);
    auto *cancel = new QPushButton(GetLangText(2), this);
    auto *yes = new QPushButton(GetLangText(yesOnly ? 133 : 1), this);
    cancel->setVisible(!yesOnly);
    layout->addWidget(cancel, 1);
    layout->addWidget(yes, 1);
    connect(yes, &QPushButton::clicked, this, [this] { s_lastResult = 1; close(); });
    connect(cancel, &QPushButton::clicked, this, [this] { s_lastResult = 0; close(); });
    resize(width, 110);
}

uchar QDottomMessgDlg::LastResult()
{
    return s_lastResult;
}
