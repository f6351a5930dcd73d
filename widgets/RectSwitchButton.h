#pragma once
#include <QColor>
#include <QWidget>

class QAcThread;

// An on/off slide switch whose knob glides to its end; reports every press with statusChanged.
class RectSwitchButton : public QWidget
{
    Q_OBJECT
public:
    explicit RectSwitchButton(QWidget *parent = nullptr);
    ~RectSwitchButton() override;

    bool isChecked() const { return m_checked; }
    int KnobX() const { return m_startX; }
    int KnobEndX() const { return m_endX; }
    int Step() const { return m_step; }
    bool IsTravelling() const;
    QString TextOn() const { return m_textOn; }
    QString TextOff() const { return m_textOff; }

Q_SIGNALS:
    void statusChanged(bool checked);

public Q_SLOTS:
    void setChecked(bool checked);
    void updateValue();
    void on_LanguageChange();
    void setSpace(int space);
    void setRadius(int radius);
    void setShowText(bool show);
    void setShowCircle(bool show);
    void setAnimation(bool ok);
    void setBgColorOn(const QColor &color);
    void setBgColorOff(const QColor &color);
    void setSliderColorOn(const QColor &color);
    void setSliderColorOff(const QColor &color);
    void setTextColor(const QColor &color);
    void setTextOn(const QString &text);
    void setTextOff(const QString &text);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void moveKnob();

    int m_space = 2;
    int m_radius = 5;
    bool m_checked = false;
    bool m_showText = false;
    bool m_showCircle = false;
    bool m_animation = true;
    QColor m_bgColorOn{48, 82, 132};
    QColor m_bgColorOff{170, 170, 170};
    QColor m_sliderColorOn{255, 255, 255};
    QColor m_sliderColorOff{180, 180, 180};
    QColor m_textColor{255, 255, 255};
    QString m_textOn;
    QString m_textOff;
    int m_step = 0;
    int m_startX = 0;
    int m_endX = 0;
    QAcThread *m_ticker = nullptr;
};
