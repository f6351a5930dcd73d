#pragma once
#include <QRect>
#include <QWidget>

class QTimer;

// The panel of the message strip: a dark rounded background and a countdown bar that loses
// 2 pixels every 10 ms and reports end_Animat() when it is gone.
class QDottom_Inerwidget : public QWidget
{
    Q_OBJECT
public:
    explicit QDottom_Inerwidget(QWidget *parent = nullptr);

    bool IsCounting() const;
    QRect BarRect() const { return m_bar; }

    // Width of the strip on the left edge where the side colour (the panel's style-sheet
    // background) stays visible.
    static constexpr int SideBarWidth = 8;

Q_SIGNALS:
    void end_Animat();

public Q_SLOTS:
    void on_Starte_Animat();
    void on_Stop_Animat();

private Q_SLOTS:
    void on_timeout();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer *m_timer = nullptr;
    QRect m_bar;
};
