#include "app/MainWidget.h"
#include "widgets/QDispRedCircle.h"
#include "widgets/QQuorixLabel.h"
#include "widgets/QSliderAlterMax.h"
#include "widgets/RectSwitchButton.h"
#include "tests/support/TestProgramDir.h"

#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {
// Only what the widget paints itself, over transparency.
QImage ownPaint(QWidget *w)
{
    QImage img(w->size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    w->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

QColor pixel(QWidget *w, int x, int y)
{
    return w->grab().toImage().pixelColor(x, y);
}

// A slider whose groove maps one pixel to one position unit: width 138, margin 10, handle 18.
void unitSlider(QSliderAlterMax &s, unsigned min, unsigned max, int step)
{
    s.resize(138, 30);
    s.min = min;
    s.max = max;
    s.stepSize = step;
    s.setValue(min);
}
} // namespace

class TstWidgetsControls : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;

private Q_SLOTS:
    void init() { m_dir = std::make_unique<TestProgramDir>(); }
    void cleanup() { m_dir.reset(); }

    // --- slide switch ---

    void switchGlidesToItsEndSilently()
    {
        RectSwitchButton sw;
        sw.resize(60, 24);
        QSignalSpy status(&sw, &RectSwitchButton::statusChanged);
        sw.setChecked(true);
        QCOMPARE(sw.Step(), 6);
        QCOMPARE(sw.KnobEndX(), 36);
        QCOMPARE(sw.KnobX(), 0); // it glides, it does not jump
        QVERIFY(sw.IsTravelling());
        QTRY_VERIFY_WITH_TIMEOUT(!sw.IsTravelling(), 2000);
        QCOMPARE(sw.KnobX(), 36);
        QVERIFY(sw.isChecked());
        QCOMPARE(status.count(), 0);

        sw.setChecked(false);
        QTRY_VERIFY_WITH_TIMEOUT(!sw.IsTravelling(), 2000);
        QCOMPARE(sw.KnobX(), 0);
    }

    void switchTurnsBackDuringTravel()
    {
        RectSwitchButton sw;
        sw.resize(60, 24);
        sw.setChecked(true);
        QTRY_VERIFY(sw.KnobX() > 0);
        sw.setChecked(false);
        QTRY_VERIFY_WITH_TIMEOUT(!sw.IsTravelling(), 2000);
        QCOMPARE(sw.KnobX(), 0);
        QVERIFY(!sw.isChecked());
    }

    void switchPressesEmitOnce()
    {
        RectSwitchButton sw;
        sw.resize(60, 24);
        sw.show();
        QSignalSpy status(&sw, &RectSwitchButton::statusChanged);
        QTest::mouseClick(&sw, Qt::LeftButton, {}, QPoint(10, 12));
        QCOMPARE(status.count(), 1);
        QCOMPARE(status.at(0).at(0).toBool(), true);
        QTRY_VERIFY_WITH_TIMEOUT(!sw.IsTravelling(), 2000);
        QCOMPARE(sw.KnobX(), 36);
        QCOMPARE(status.count(), 1);

        // Any other button reports the state it leaves unchanged.
        QTest::mouseClick(&sw, Qt::RightButton, {}, QPoint(10, 12));
        QCOMPARE(status.count(), 2);
        QCOMPARE(status.at(1).at(0).toBool(), true);
        QVERIFY(sw.isChecked());
    }

    void switchWithoutAnimationJumps()
    {
        RectSwitchButton sw;
        sw.resize(60, 24);
        sw.setAnimation(false);
        sw.setChecked(true);
        QCOMPARE(sw.KnobX(), 36);
        QVERIFY(!sw.IsTravelling());
    }

    void narrowSwitchStillArrives()
    {
        RectSwitchButton sw;
        sw.resize(9, 4);
        sw.setChecked(true);
        QCOMPARE(sw.Step(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!sw.IsTravelling(), 2000);
        QCOMPARE(sw.KnobX(), 5);
    }

    void switchDestroyedWhileTravelling()
    {
        auto *sw = new RectSwitchButton;
        sw->resize(300, 24);
        sw->setChecked(true);
        QTest::qWait(30);
        QVERIFY(sw->IsTravelling());
        delete sw; // must stop and wait for its ticker rather than abort
        QTest::qWait(50);
    }

    void switchKnobFollowsLaterLayout()
    {
        QWidget page;
        auto *sw = new RectSwitchButton(&page);
        sw->setAnimation(false);
        sw->setChecked(true); // before layout: the switch still has its default size
        sw->setGeometry(0, 0, 60, 24);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QCOMPARE(sw->KnobX(), 36);
        // Knob at x 36 + 5 .. in the on colour; left of it the blue background.
        QCOMPARE(pixel(sw, 46, 12), QColor(255, 255, 255));
        const QColor back = pixel(sw, 30, 1);
        QVERIFY(back.blue() > back.red());
    }

    void switchOffKnobColour()
    {
        RectSwitchButton sw;
        sw.resize(60, 24);
        sw.setAnimation(false);
        sw.setChecked(false);
        QCOMPARE(pixel(&sw, 12, 12), QColor(180, 180, 180));
    }

    void switchTrackDrawnWhole()
    {
        // The lighting page's size: the track runs under both ends in either state, blended once.
        RectSwitchButton sw;
        sw.resize(50, 24);
        sw.setAnimation(false);
        for (const bool on : {false, true}) {
            sw.setChecked(on);
            const QColor track = on ? QColor(48, 82, 132) : QColor(170, 170, 170);
            const QImage img = ownPaint(&sw);
            for (const int x : {6, 20, 43}) {
                const QColor c = img.pixelColor(x, 3);
                QVERIFY2(qAbs(c.red() - track.red()) <= 1 && qAbs(c.green() - track.green()) <= 1
                             && qAbs(c.blue() - track.blue()) <= 1 && c.alpha() == 150,
                         qPrintable(QStringLiteral("x %1: %2 alpha %3").arg(x).arg(c.name()).arg(c.alpha())));
            }
        }
    }

    void switchTextsFollowLanguage()
    {
        MainWidget main;
        RectSwitchButton sw;
        QCOMPARE(sw.TextOn(), QStringLiteral("已开启"));
        QCOMPARE(sw.TextOff(), QStringLiteral("已关闭"));
        Q_EMIT main.LangualChange();
        QCOMPARE(sw.TextOn(), QStringLiteral("On"));
        QCOMPARE(sw.TextOff(), QStringLiteral("Off"));
    }

    // --- slider ---

    void sliderSetValueClamps_data()
    {
        QTest::addColumn<uint>("given");
        QTest::addColumn<uint>("value");
        QTest::addColumn<uint>("position");
        QTest::newRow("below min") << 5u << 10u << 0u;
        QTest::newRow("above max") << 500u << 100u << 100u;
        QTest::newRow("middle") << 55u << 55u << 50u;
        QTest::newRow("min") << 10u << 10u << 0u;
    }
    void sliderSetValueClamps()
    {
        QFETCH(uint, given);
        QFETCH(uint, value);
        QFETCH(uint, position);
        QSliderAlterMax s;
        QSignalSpy changed(&s, &QSliderAlterMax::valueChanged);
        s.setValue(given);
        QCOMPARE(s.Value(), value);
        QCOMPARE(s.Position(), position);
        QCOMPARE(changed.count(), 0);
    }

    void sliderStepReleaseSnapsAndReportsInOrder()
    {
        QSliderAlterMax s;
        unitSlider(s, 0, 100, 5);
        s.show();
        QStringList order;
        connect(&s, &QSliderAlterMax::valueChanged, [&](uint v) { order << QStringLiteral("changed %1").arg(v); });
        connect(&s, QOverload<uint>::of(&QSliderAlterMax::sliderReleased),
                [&](uint v) { order << QStringLiteral("released %1").arg(v); });
        connect(&s, QOverload<>::of(&QSliderAlterMax::sliderReleased), [&] { order << QStringLiteral("released"); });

        QTest::mousePress(&s, Qt::LeftButton, {}, QPoint(67, 15)); // groove at position 57
        QCOMPARE(s.Position(), 57u);
        QVERIFY(order.isEmpty()); // a groove press says nothing until release
        QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(67, 15));
        QCOMPARE(order, (QStringList{"changed 55", "released 55", "released"}));
        QCOMPARE(s.Value(), 55u);
        QCOMPARE(s.Position(), 55u); // the handle snaps onto the value
    }

    void sliderDragReportsWhileMoving()
    {
        QSliderAlterMax s;
        unitSlider(s, 0, 100, -1);
        s.setValue(20);
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QSignalSpy changed(&s, &QSliderAlterMax::valueChanged);
        const QPoint handle = s.HandleRect().center();
        QTest::mousePress(&s, Qt::LeftButton, {}, handle);
        QCOMPARE(s.Position(), 20u); // pressing the handle does not move it
        QCOMPARE(changed.count(), 0);
        QMouseEvent move(QEvent::MouseMove, QPointF(40, 15), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&s, &move);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toUInt(), 30u);
        // Dragging past the end stops at max.
        QMouseEvent far(QEvent::MouseMove, QPointF(400, 15), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&s, &far);
        QCOMPARE(changed.last().at(0).toUInt(), 100u);
        QTest::mouseRelease(&s, Qt::LeftButton, {}, QPoint(400, 15));
        QCOMPARE(s.Value(), 100u);
    }

    void sliderSnappedValueStaysInRange()
    {
        QSliderAlterMax s;
        unitSlider(s, 10, 100, 25);
        s.show();
        QSignalSpy released(&s, QOverload<uint>::of(&QSliderAlterMax::sliderReleased));
        QTest::mouseClick(&s, Qt::LeftButton, {}, QPoint(22, 15)); // computed 20, snapped down to 0
        QCOMPARE(released.count(), 1);
        QVERIFY(released.at(0).at(0).toUInt() >= 10u);
    }

    void sliderDegenerateRanges_data()
    {
        QTest::addColumn<uint>("min");
        QTest::addColumn<uint>("max");
        QTest::addColumn<int>("width");
        QTest::newRow("min equals max") << 50u << 50u << 138;
        QTest::newRow("zero max") << 0u << 0u << 138;
        QTest::newRow("groove narrower than handle") << 0u << 100u << 30;
    }
    void sliderDegenerateRanges()
    {
        QFETCH(uint, min);
        QFETCH(uint, max);
        QFETCH(int, width);
        QSliderAlterMax s;
        s.resize(width, 30);
        s.min = min;
        s.max = max;
        s.setValue(70);
        QVERIFY(s.Value() >= min && s.Value() <= qMax(min, max));
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QTest::mouseClick(&s, Qt::LeftButton, {}, QPoint(width / 2, 15));
        QVERIFY(s.Value() >= min && s.Value() <= qMax(min, max));
    }

    void disabledSliderIgnoresMouseAndDims()
    {
        QSliderAlterMax s;
        unitSlider(s, 0, 100, -1);
        s.setValue(50);
        s.setEnabled(false);
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QSignalSpy changed(&s, &QSliderAlterMax::valueChanged);
        QTest::mouseClick(&s, Qt::LeftButton, {}, QPoint(20, 15));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(s.Position(), 50u);
        // Only the dark groove: no handle where the handle would be.
        const QColor atHandle = pixel(&s, s.HandleRect().center().x(), 15);
        QVERIFY(atHandle.red() < 100);
    }

    // --- accent label and red dot ---

    void accentLabelBar()
    {
        QWidget parent;
        auto *label = new QQuorixLabel(&parent);
        label->setText(QStringLiteral("DPI"));
        label->resize(120, 30);
        const QImage img = ownPaint(label);
        QCOMPARE(img.pixelColor(3, 25), QColor(48, 82, 132));
        QCOMPARE(img.pixelColor(3, 2).alpha(), 0); // the bar covers the lower 80 % only
        QCOMPARE(img.pixelColor(10, 25).alpha(), 0);
    }

    void redDotPlacesItselfInParent()
    {
        QWidget parent;
        parent.resize(200, 100);
        auto *dot = new QDispRedCircle(&parent);
        dot->move(50, 50);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        QCOMPARE(dot->size(), QSize(12, 12));
        QCOMPARE(dot->pos(), QPoint(185, 3));

        QDispRedCircle alone;
        alone.move(40, 40);
        alone.show();
        QCOMPARE(alone.pos(), QPoint(40, 40));
    }
};

QTEST_MAIN(TstWidgetsControls)
#include "tst_widgets_controls.moc"
