#pragma once
#include <QLabel>

// A 12-pixel red dot that puts itself near the top right corner of its parent when shown.
class QDispRedCircle : public QLabel
{
    Q_OBJECT
public:
    explicit QDispRedCircle(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;
};
