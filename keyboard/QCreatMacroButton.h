#pragma once
#include "keyboard/QConfigListItemBase.h"

#include <QTimer>

// The button row that creates a macro: a grey bar whose caption brightens on hover.
class QCreatMacroButton : public QConfigListItemBase
{
    Q_OBJECT
public:
    explicit QCreatMacroButton(QWidget *parent = nullptr);
    int ItemType() const override { return 5; }

protected:
    QCreatMacroButton(int step, QWidget *parent);
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void on_Tick();

    bool m_hover = false;
    quint16 m_grey = 255;
    int m_step = 3;
    QTimer m_timer;
};
