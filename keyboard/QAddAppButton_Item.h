#pragma once
#include "keyboard/QConfigListItemBase.h"

// The add-application row: a caption that reports a press.
class QAddAppButton_Item : public QConfigListItemBase
{
    Q_OBJECT
public:
    explicit QAddAppButton_Item(QWidget *parent = nullptr);
    int ItemType() const override { return 6; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_hover = false;
};
