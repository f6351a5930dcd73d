#pragma once
#include <QListWidget>

// The preset list: a list that also reports a released right button.
class QReghtListWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit QReghtListWidget(QWidget *parent = nullptr);

Q_SIGNALS:
    void RightChick();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
