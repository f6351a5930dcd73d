#pragma once
#include <QLabel>

// The clickable label of the colour editor's ramp and hue strip; a left click inside it gives
// LeftClick, with an optional round marker at the press.
class QGradientRampEditWidget : public QLabel
{
    Q_OBJECT
public:
    explicit QGradientRampEditWidget(QWidget *parent = nullptr);

    void SetMarkerVisible(bool visible) { m_markerVisible = visible; }
    void SetCentreHorizontally(bool centre) { m_centreHorizontally = centre; }
    QLabel *Marker() const { return m_marker; }

Q_SIGNALS:
    void DragLeft();
    void DragMove();
    void DragReLeft();
    void LeftClick();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void centreMarker();

    QLabel *m_marker = nullptr;
    bool m_markerPlaced = false;
    bool m_pressed = false;
    bool m_centreHorizontally = false;
    bool m_markerVisible = false;
};
