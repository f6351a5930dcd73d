#pragma once
#include <QRect>
#include <QWidget>

// A horizontal slider over [min, max]; pages write min, max and stepSize directly, then call
// setValue. Values are multiples of stepSize when it is 2 or more.
class QSliderAlterMax : public QWidget
{
    Q_OBJECT
public:
    explicit QSliderAlterMax(QWidget *parent = nullptr);

    void setValue(unsigned int value);
    unsigned int Value() const { return m_value; }
    unsigned int Position() const { return m_position; }
    QRect HandleRect() const { return m_handleRect; }

    unsigned int min = 10;
    unsigned int max = 100;
    int stepSize = -1;

Q_SIGNALS:
    void valueChanged(uint value);
    void sliderReleased(uint value);
    void sliderReleased();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void computeGeometry();
    unsigned int positionAt(int x) const;
    float valueAtPosition() const;
    unsigned int snapped(float v) const;

    unsigned int m_value = 0;
    float m_scale = 0;
    int m_grooveHeight = 5;
    int m_margin = 10;
    QRect m_handleRect;
    int m_grooveStart = 0;
    int m_grooveWidth = 0;
    int m_grooveTop = 0;
    int m_handleHeight = 10;
    unsigned int m_position = 0;
    int m_handleWidth = 18;
    bool m_handlePressed = false;
    bool m_groovePressed = false;
};
