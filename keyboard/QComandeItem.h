#pragma once
#include "keyboard/QConfigListItemBase.h"

// A command: its name and value side by side; dragged onto a key or button it assigns the code.
class QComandeItem : public QConfigListItemBase
{
    Q_OBJECT
public:
    explicit QComandeItem(QWidget *parent = nullptr);
    int ItemType() const override { return 1; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_hover = false;
};
