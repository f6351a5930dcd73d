#include "macros/QDelayValidator.h"

QValidator::State QDelayValidator::validate(QString &input, int &pos) const
{
    bool number = false;
    if (input.isEmpty() || (input.toUInt(&number) == 0 && number))
        return Acceptable;
    return QIntValidator::validate(input, pos);
}
