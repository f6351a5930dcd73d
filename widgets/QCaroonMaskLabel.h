#pragma once
#include <QLabel>

// A fading snapshot of a widget laid over it.
class QCaroonMaskLabel : public QLabel
{
    Q_OBJECT
public:
    static void ShowOver(QWidget *target);
};
