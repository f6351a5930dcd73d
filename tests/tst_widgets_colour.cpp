#include "widgets/QEditColourDialog.h"
#include "widgets/QGradientRampEditWidget.h"
#include "tests/support/TestProgramDir.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {
QVariantList rgb(int r, int g, int b)
{
    return {r, g, b};
}

QColor onScreen(QWidget *w, const QPoint &local)
{
    QWidget *top = w->window();
    return top->grab(QRect(w->mapTo(top, local), QSize(1, 1))).toImage().pixelColor(0, 0);
}
} // namespace

class TstWidgetsColour : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<QEditColourDialog> m_ed;

    template<class T> T *part(const char *name) { return m_ed->findChild<T *>(QLatin1String(name)); }
    QLineEdit *field(const char *name) { return part<QLineEdit>(name); }
    QGradientRampEditWidget *ramp() { return part<QGradientRampEditWidget>("GradientRampEdit"); }
    QGradientRampEditWidget *strip() { return part<QGradientRampEditWidget>("StrawColourLabel"); }

    // A real click: the colour is read back from under the cursor.
    void clickAt(QWidget *w, const QPoint &local, Qt::MouseButton button = Qt::LeftButton)
    {
        QCursor::setPos(w->mapToGlobal(local));
        QTest::mouseClick(w, button, {}, local);
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TestProgramDir>();
        m_ed = std::make_unique<QEditColourDialog>();
        m_ed->move(50, 50);
        m_ed->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_ed.get()));
    }
    void cleanup()
    {
        m_ed.reset();
        m_dir.reset();
    }

    void programSetColourShowsAndStaysQuiet()
    {
        QSignalSpy picks(m_ed.get(), &QEditColourDialog::ChickColorChange);
        QCOMPARE(m_ed->HexText(), QStringLiteral("#FF0000"));
        m_ed->SetColour(18, 52, 171);
        QCOMPARE(m_ed->HexText(), QStringLiteral("#1234AB"));
        QCOMPARE(field("RedLable")->text(), QStringLiteral("18"));
        QCOMPARE(field("GreenLable")->text(), QStringLiteral("52"));
        QCOMPARE(field("BlueLable")->text(), QStringLiteral("171"));
        QCOMPARE(picks.count(), 0);
    }

    void presetsGiveTheirColours_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("1") << 1 << QColor(255, 0, 0);
        QTest::newRow("2") << 2 << QColor(255, 114, 0);
        QTest::newRow("3") << 3 << QColor(255, 240, 5);
        QTest::newRow("4") << 4 << QColor(0, 215, 15);
        QTest::newRow("5") << 5 << QColor(238, 0, 241);
        QTest::newRow("6") << 6 << QColor(255, 0, 138);
        QTest::newRow("7") << 7 << QColor(0, 0, 255);
    }
    void presetsGiveTheirColours()
    {
        QFETCH(int, index);
        QFETCH(QColor, colour);
        m_ed->SetColour(1, 2, 3);
        QSignalSpy picks(m_ed.get(), &QEditColourDialog::ChickColorChange);
        auto *preset = m_ed->findChild<QRadioButton *>(QStringLiteral("BiyColor_%1").arg(index));
        QVERIFY(preset);
        QTest::mouseClick(preset, Qt::LeftButton, {}, QPoint(12, 12));
        QCOMPARE(picks.count(), 1);
        QCOMPARE(picks.at(0), rgb(colour.red(), colour.green(), colour.blue()));
        QCOMPARE(m_ed->CurrentColour(), colour);
        QCOMPARE(field("GreenLable")->text(), QString::number(colour.green()));
    }

    void returnInAFieldTakesAllThree()
    {
        QSignalSpy picks(m_ed.get(), &QEditColourDialog::ChickColorChange);
        QLineEdit *green = field("GreenLable");
        green->selectAll();
        QTest::keyClicks(green, QStringLiteral("128"));
        QCOMPARE(picks.count(), 0); // typing alone picks nothing
        QTest::keyClick(green, Qt::Key_Return);
        QCOMPARE(picks.count(), 1);
        QCOMPARE(picks.at(0), rgb(255, 128, 0));
        QCOMPARE(m_ed->HexText(), QStringLiteral("#FF8000"));
    }

    void fieldsRefuseWhatIsNotAChannel()
    {
        QSignalSpy picks(m_ed.get(), &QEditColourDialog::ChickColorChange);
        QLineEdit *red = field("RedLable");
        red->selectAll();
        QTest::keyClicks(red, QStringLiteral("256"));
        QTest::keyClick(red, Qt::Key_Return);
        QCOMPARE(picks.count(), 0);
        QLineEdit *blue = field("BlueLable");
        blue->clear();
        QTest::keyClick(blue, Qt::Key_Return); // empty: no Return
        QCOMPARE(picks.count(), 0);
        QTest::keyClicks(blue, QStringLiteral("x-"));
        QCOMPARE(blue->text(), QString());

        // Return elsewhere while red still holds the unfinished 256: never wraps to 0.
        blue->setText(QStringLiteral("9"));
        QTest::keyClick(blue, Qt::Key_Return);
        QCOMPARE(picks.count(), 1);
        QCOMPARE(picks.at(0), rgb(255, 0, 9));
        QCOMPARE(red->text(), QStringLiteral("255"));
    }

    void rampClickPicksThePixelUnderTheCursor()
    {
        QSignalSpy picks(m_ed.get(), &QEditColourDialog::ChickColorChange);
        const QPoint at(ramp()->width() / 2, ramp()->height() / 2);
        const QColor expected = onScreen(ramp(), at);
        clickAt(ramp(), at);
        QCOMPARE(picks.count(), 1);
        QCOMPARE(picks.at(0), rgb(expected.red(), expected.green(), expected.blue()));
        // The form's ramp holds shades of red only.
        QVERIFY(expected.red() > 0);
        QCOMPARE(expected.green(), 0);
        QCOMPARE(expected.blue(), 0);
        QCOMPARE(m_ed->CurrentColour(), expected);
        QCOMPARE(field("RedLable")->text(), QString::number(expected.red()));
    }

    void rampClicksThatPickNothing()
    {
        m_ed->SetColour(1, 2, 3);
        QSignalSpy picks(m_ed.get(), &QEditColourDialog::ChickColorChange);
        const QPoint at(ramp()->width() / 2, ramp()->height() / 2);
        clickAt(ramp(), at, Qt::RightButton);
        QCOMPARE(picks.count(), 0);

        // Released outside the ramp after pressing on it.
        QCursor::setPos(ramp()->mapToGlobal(QPoint(-30, at.y())));
        QTest::mousePress(ramp(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(ramp(), Qt::LeftButton, {}, QPoint(-30, at.y()));
        QCOMPARE(picks.count(), 0);

        // The cursor is off the window: the grab has nothing to read.
        QCursor::setPos(m_ed->mapToGlobal(QPoint(-20, -20)));
        QTest::mouseClick(ramp(), Qt::LeftButton, {}, at);
        QCOMPARE(picks.count(), 0);
        QCOMPARE(m_ed->CurrentColour(), QColor(1, 2, 3));
        QCOMPARE(m_ed->HexText(), QStringLiteral("#010203"));
    }

    void rampStyleForAHue()
    {
        const QString style = QEditColourDialog::RampStyleFor(200, 100, 50);
        QVERIFY(style.contains(QLatin1String("stop:0 rgba(200,100,50,255)")));
        QVERIFY(style.contains(QLatin1String("stop:0.433333 rgba(160,80,40,255)")));
        QVERIFY(style.contains(QLatin1String("stop:0.833333 rgba(60,30,15,255)")));
        QVERIFY(style.contains(QLatin1String("stop:1 rgba(20,10,5, 255)")));
        const QString white = QEditColourDialog::RampStyleFor(255, 255, 255);
        QVERIFY(white.contains(QLatin1String("rgba(204,204,204,255)")));
        QVERIFY(white.contains(QLatin1String("rgba(76,76,76,255)")));
        QVERIFY(white.contains(QLatin1String("rgba(25,25,25, 255)")));
        // The disabled look stays the form's.
        QVERIFY(style.contains(QLatin1String(":disabled")));
        QVERIFY(style.contains(QLatin1String("rgba(255,0,0,100)")));
    }

    void hueStripRecoloursTheRampOnly()
    {
        m_ed->SetColour(10, 20, 30);
        QSignalSpy picks(m_ed.get(), &QEditColourDialog::ChickColorChange);
        // Halfway up the strip lies its cyan stop.
        const QPoint at(strip()->width() / 2, strip()->height() / 2);
        const QColor hue = onScreen(strip(), at);
        QVERIFY(hue.blue() > 200 && hue.red() < 60);
        clickAt(strip(), at);
        QCOMPARE(picks.count(), 0);
        QCOMPARE(m_ed->CurrentColour(), QColor(10, 20, 30));
        QCOMPARE(ramp()->styleSheet(), QEditColourDialog::RampStyleFor(hue.red(), hue.green(), hue.blue()));

        // The ramp now paints shades of that hue, and a click there takes one.
        const QPoint mid(ramp()->width() / 2, ramp()->height() / 2);
        clickAt(ramp(), mid);
        QCOMPARE(picks.count(), 1);
        const QColor shade = m_ed->CurrentColour();
        QVERIFY(shade.blue() > shade.red());
        QVERIFY(shade.green() > shade.red());
    }

    void multiColourButton()
    {
        QSignalSpy more(m_ed.get(), &QEditColourDialog::MoreColorChange);
        auto *button = part<QPushButton>("MColorButton");
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(more.count(), 1);
        QCOMPARE(more.at(0).at(0).toBool(), true);
        QVERIFY(m_ed->IsMColorButtonChecked());
        m_ed->SetMColorButtonChecked(false);
        QCOMPARE(more.count(), 1);
        QVERIFY(!m_ed->IsMColorButtonChecked());
    }

    void disablingCoversTheEditingParts()
    {
        m_ed->resize(266, 263);
        m_ed->SetEditEnabled(false);
        QVERIFY(!m_ed->IsGradientRampEnabled());
        QVERIFY(!field("RedLable")->isEnabled());
        QVERIFY(!m_ed->findChild<QRadioButton *>(QStringLiteral("BiyColor_4"))->isEnabled());
        QVERIFY(m_ed->IsMColorButtonEnabled());
        QVERIFY(part<QLabel>("label_Hex")->isEnabled());
        QWidget *overlay = part<QWidget>("DisableOverlay");
        QVERIFY(overlay && overlay->isVisible());
        QCOMPARE(overlay->size(), m_ed->size());

        QSignalSpy picks(m_ed.get(), &QEditColourDialog::ChickColorChange);
        QTest::mouseClick(m_ed->findChild<QRadioButton *>(QStringLiteral("BiyColor_4")), Qt::LeftButton, {}, QPoint(12, 12));
        QCOMPARE(picks.count(), 0);

        m_ed->SetEditEnabled(true);
        QVERIFY(!overlay->isVisible());
        QVERIFY(m_ed->IsGradientRampEnabled());
    }

    void rampMarkerNeverStays()
    {
        const QPoint at(20, 20);
        QTest::mousePress(ramp(), Qt::LeftButton, {}, at);
        QVERIFY(!ramp()->Marker()->isVisible());
        QTest::mouseRelease(ramp(), Qt::LeftButton, {}, at);
        QVERIFY(!strip()->Marker()->isVisible());
    }
};

QTEST_MAIN(TstWidgetsColour)
#include "tst_widgets_colour.moc"
