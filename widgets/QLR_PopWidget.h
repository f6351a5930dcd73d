#pragma once
#include <QWidget>

// The short-lived tip near the lower right corner of the screen.
class QLR_PopWidget : public QWidget
{
    Q_OBJECT
public:
    static void Pop(const QString &caption, const QString &text);
};
