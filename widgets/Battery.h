#pragma once
#include <QColor>
#include <QRectF>
#include <QWidget>

class QTimer;

// A painted battery gauge whose drawn level glides toward a new value in fixed steps every
// 10 ms; the level turns to the alarm colours at or below the alarm value.
class Battery : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(double minValue READ minValue WRITE setMinValue)
    Q_PROPERTY(double maxValue READ maxValue WRITE setMaxValue)
    Q_PROPERTY(double value READ value WRITE setValue)
    Q_PROPERTY(double alarmValue READ alarmValue WRITE setAlarmValue)
    Q_PROPERTY(double step READ step WRITE setStep)
    Q_PROPERTY(int borderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(int borderRadius READ borderRadius WRITE setBorderRadius)
    Q_PROPERTY(int bgRadius READ bgRadius WRITE setBgRadius)
    Q_PROPERTY(int headRadius READ headRadius WRITE setHeadRadius)
    Q_PROPERTY(QColor borderColorStart READ borderColorStart WRITE setBorderColorStart)
    Q_PROPERTY(QColor borderColorEnd READ borderColorEnd WRITE setBorderColorEnd)
    Q_PROPERTY(QColor alarmColorStart READ alarmColorStart WRITE setAlarmColorStart)
    Q_PROPERTY(QColor alarmColorEnd READ alarmColorEnd WRITE setAlarmColorEnd)
    Q_PROPERTY(QColor normalColorStart READ normalColorStart WRITE setNormalColorStart)
    Q_PROPERTY(QColor normalColorEnd READ normalColorEnd WRITE setNormalColorEnd)

public:
    explicit Battery(QWidget *parent = nullptr);
    ~Battery() override;

    double minValue() const { return m_minValue; }
    double maxValue() const { return m_maxValue; }
    double value() const { return m_value; }
    double alarmValue() const { return m_alarmValue; }
    double step() const { return m_step; }
    int borderWidth() const { return m_borderWidth; }
    int borderRadius() const { return m_borderRadius; }
    int bgRadius() const { return m_bgRadius; }
    int headRadius() const { return m_headRadius; }
    QColor borderColorStart() const { return m_borderColorStart; }
    QColor borderColorEnd() const { return m_borderColorEnd; }
    QColor alarmColorStart() const { return m_alarmColorStart; }
    QColor alarmColorEnd() const { return m_alarmColorEnd; }
    QColor normalColorStart() const { return m_normalColorStart; }
    QColor normalColorEnd() const { return m_normalColorEnd; }

    // The level as drawn right now; equals value() once the glide has ended.
    double shownValue() const { return m_currentValue; }
    bool isAnimating() const;
    bool isCharging() const { return m_isCharging; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void valueChanged(double value);

public Q_SLOTS:
    void setRange(double minValue, double maxValue);
    void setRange(int minValue, int maxValue);
    void setMinValue(double minValue);
    void setMaxValue(double maxValue);
    void setValue(double value);
    void setValue(int value);
    void setAlarmValue(double alarmValue);
    void setAlarmValue(int alarmValue);
    void setStep(double step);
    void setStep(int step);
    void setBorderWidth(int borderWidth);
    void setBorderRadius(int borderRadius);
    void setBgRadius(int bgRadius);
    void setHeadRadius(int headRadius);
    void setBorderColorStart(const QColor &color);
    void setBorderColorEnd(const QColor &color);
    void setAlarmColorStart(const QColor &color);
    void setAlarmColorEnd(const QColor &color);
    void setNormalColorStart(const QColor &color);
    void setNormalColorEnd(const QColor &color);
    // Shows the lightning mark over the level.
    void setCharging(bool charging);

protected:
    void paintEvent(QPaintEvent *event) override;

private Q_SLOTS:
    void updateValue();

private:
    void drawBorder(class QPainter *painter);
    void drawBg(class QPainter *painter);
    void drawCharging(class QPainter *painter);

    double m_minValue = 0;
    double m_maxValue = 100;
    double m_value = 0;
    double m_alarmValue = 30;
    double m_step = 5;
    int m_borderWidth = 0;
    int m_borderRadius = 3;
    int m_bgRadius = 2;
    int m_headRadius = 3;
    QColor m_borderColorStart{100, 100, 100};
    QColor m_borderColorEnd{80, 80, 80};
    QColor m_alarmColorStart{250, 118, 113};
    QColor m_alarmColorEnd{204, 38, 38};
    QColor m_normalColorStart{50, 205, 51};
    QColor m_normalColorEnd{60, 179, 133};

    bool m_isForward = false; // true while the drawn level moves down
    double m_currentValue = 0;
    QRectF m_batteryRect;
    QTimer *m_timer = nullptr;
    bool m_isCharging = false;
};
