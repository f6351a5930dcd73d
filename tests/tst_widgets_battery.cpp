// The battery gauge: clamping, signals, the glide to a new value, range setters and painting.
#include "widgets/Battery.h"

#include <QSignalSpy>
#include <QtTest>

class TstWidgetsBattery : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void valuesAreClampedAndSignalledOnce();
    void glideEndsExactlyOnTheValue();
    void rangeSetters();
    void nonPositiveStepIgnored();
    void paintingFollowsLevelAndAlarm();
};

void TstWidgetsBattery::valuesAreClampedAndSignalledOnce()
{
    Battery b;
    QSignalSpy changed(&b, &Battery::valueChanged);
    b.setValue(150.0);
    QCOMPARE(b.value(), 100.0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().toDouble(), 100.0);
    QVERIFY(b.isAnimating());
    b.setValue(100.0); // the same value: nothing, the glide goes on
    QCOMPARE(changed.count(), 1);
    QVERIFY(b.isAnimating());
    // the int form, clamped to the minimum, which is the level still drawn: stored, no signal
    b.setValue(-5);
    QCOMPARE(b.value(), 0.0);
    QCOMPARE(changed.count(), 1);
}

void TstWidgetsBattery::glideEndsExactlyOnTheValue()
{
    Battery b;
    b.setValue(37);
    QCOMPARE(b.shownValue(), 0.0);
    QTRY_VERIFY_WITH_TIMEOUT(!b.isAnimating(), 2000);
    QCOMPARE(b.shownValue(), 37.0);
    b.setValue(80);
    QTRY_VERIFY(!b.isAnimating());
    b.setValue(20);
    QVERIFY(b.shownValue() > 20.0);
    QTRY_VERIFY(!b.isAnimating());
    QCOMPARE(b.shownValue(), 20.0);
}

void TstWidgetsBattery::rangeSetters()
{
    Battery b;
    b.setValue(60);
    b.setRange(50.0, 10.0); // ignored
    QCOMPARE(b.minValue(), 0.0);
    QCOMPARE(b.maxValue(), 100.0);
    b.setMaxValue(40.0); // pulls the value down
    QCOMPARE(b.value(), 40.0);
    b.setMinValue(45.0); // not below the maximum: ignored
    QCOMPARE(b.minValue(), 0.0);
    b.setMinValue(30.0);
    QCOMPARE(b.value(), 40.0);
    b.setRange(50, 90); // pulls the value up
    QCOMPARE(b.value(), 50.0);
    QCOMPARE(b.minValue(), 50.0);
    QCOMPARE(b.maxValue(), 90.0);
}

void TstWidgetsBattery::nonPositiveStepIgnored()
{
    Battery b;
    b.setStep(0.0);
    b.setStep(-3);
    QCOMPARE(b.step(), 5.0);
    b.setValue(30);
    QTRY_VERIFY_WITH_TIMEOUT(!b.isAnimating(), 1000);
    QCOMPARE(b.shownValue(), 30.0);
}

void TstWidgetsBattery::paintingFollowsLevelAndAlarm()
{
    Battery b;
    b.resize(150, 80);
    // at the minimum nothing is drawn, not even the outline: one colour everywhere
    const QImage empty = b.grab().toImage();
    const QRgb ground = empty.pixel(0, 0);
    for (int y = 0; y < empty.height(); ++y)
        for (int x = 0; x < empty.width(); ++x)
            QCOMPARE(empty.pixel(x, y), ground);
    b.setValue(80);
    QTRY_VERIFY(!b.isAnimating());
    const QColor high = b.grab().toImage().pixelColor(20, 40);
    QVERIFY2(high.green() > 150 && high.red() < 120, qPrintable(high.name()));
    // a level at the far right edge is not drawn at 80 %
    const QColor beyond = b.grab().toImage().pixelColor(137, 40);
    QVERIFY(beyond != high);
    b.setValue(20);
    QTRY_VERIFY(!b.isAnimating());
    const QColor low = b.grab().toImage().pixelColor(10, 40);
    QVERIFY2(low.red() > 180 && low.green() < 130, qPrintable(low.name()));
    b.setCharging(true);
    QVERIFY(b.isCharging());
}

QTEST_MAIN(TstWidgetsBattery)
#include "tst_widgets_battery.moc"
