#include "widgets/infotext.h"

infotext::infotext(QWidget *parent) : QLabel(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

void infotext::on_showAction()
{
}
