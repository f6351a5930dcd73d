#include "app/QTitleWin.h"

QTitleWin *QTitleWin::s_instance = nullptr;

QTitleWin::QTitleWin(QWidget *parent) : QWidget(parent)
{
    s_instance = this;
}

QTitleWin *QTitleWin::Instance()
{
    return s_instance;
}

void QTitleWin::SetMenuButtonHidden(bool)
{
}
