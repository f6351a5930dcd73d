#include "widgets/QMaskGrayLabel.h"

QMaskGrayLabel::QMaskGrayLabel(QWidget *parent) : QLabel(parent)
{
}
