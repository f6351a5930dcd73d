#pragma once
#include <QLabel>

// The toast label shown near the cursor.
class infotext : public QLabel
{
    Q_OBJECT
public:
    explicit infotext(QWidget *parent = nullptr);

public Q_SLOTS:
    void on_showAction();
};
