#include "widgets/QDispRedCircle.h"

QDispRedCircle::QDispRedCircle(QWidget *parent) : QLabel(parent)
{
    setFixedSize(12, 12);
    setStyleSheet(QStringLiteral("QLabel{background-color:#f72d04;  border-radius:6px;}"));
}

void QDispRedCircle::showEvent(QShowEvent *event)
{
    if (QWidget *p = parentWidget())
        move(int(p->width() - 1.2 * width()), int(0.3 * width()));
    QLabel::showEvent(event);
}
