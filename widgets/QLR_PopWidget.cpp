#include "widgets/QLR_PopWidget.h"

void QLR_PopWidget::Pop(const QString &, const QString &)
{
}
