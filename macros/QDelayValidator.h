#pragma once
#include <QIntValidator>

// The delay edit's validator: 1 to the given top, and also an empty field or zero, which the
// edit turns into 1 when the user is done. Those must count as acceptable, or the edit would
// never report the end of editing for them.
class QDelayValidator : public QIntValidator
{
    Q_OBJECT
public:
    QDelayValidator(int top, QObject *parent) : QIntValidator(1, top, parent) {}
    State validate(QString &input, int &pos) const override;
};
