#pragma once
#include <QLabel>

// A caption with a blue accent bar at its left edge over the lower part of its height.
class QQuorixLabel : public QLabel
{
    Q_OBJECT
public:
    explicit QQuorixLabel(QWidget *parent = nullptr);
    // Room for the bar and the gap before the text.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
