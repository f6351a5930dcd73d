#include "widgets/QCaroonMaskLabel.h"

void QCaroonMaskLabel::ShowOver(QWidget *)
{
}
