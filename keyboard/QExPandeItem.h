#pragma once
#include "keyboard/QConfigListItemBase.h"

#include <QTimer>

// A group header: a press folds or unfolds the rows of its group; its text fades on hover.
class QExPandeItem : public QConfigListItemBase
{
    Q_OBJECT
public:
    explicit QExPandeItem(QWidget *parent = nullptr);
    int ItemType() const override { return 0; }
    bool IsCollapsed() const override { return m_collapsed; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void on_Tick();

    quint16 m_grey = 255;
    bool m_hover = false;
    bool m_collapsed = false;
    QTimer m_timer;
    QPixmap m_up;
    QPixmap m_down;
};
