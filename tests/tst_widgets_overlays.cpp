#include "app/QXM_Process.h"
#include "widgets/QCaroonMaskLabel.h"
#include "widgets/QLR_PopWidget.h"
#include "widgets/QMaskGrayLabel.h"
#include "widgets/QWaitGifWidget.h"
#include "widgets/ScreenAtCursor.h"
#include "tests/support/TestProgramDir.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <memory>

// Bottom tip, page mask, grey mask and the placeholder page, on the offscreen 800 x 600 screen.
class TstWidgetsOverlays : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;

    static void waitTipGone()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!QLR_PopWidget::Current(), 3000);
    }

private Q_SLOTS:
    void init()
    {
        m_dir.reset(new TestProgramDir);
        QVERIFY(m_dir->isValid());
        QCursor::setPos(400, 300);
    }
    void cleanup()
    {
        waitTipGone();
        m_dir.reset();
    }

    void screenAtCursorFallsBackToThePrimaryScreen()
    {
        QCOMPARE(ScreenAtCursor()->geometry(), QRect(0, 0, 800, 600));
        QCursor::setPos(-3000, -3000);
        QCOMPARE(ScreenAtCursor(), QGuiApplication::primaryScreen());
    }

    void tipGeometry_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("10 characters stay in place") << 10 << QRect(521, 490, 270, 50);
        QTest::newRow("17 characters stay in place") << 17 << QRect(521, 490, 270, 50);
        QTest::newRow("18 characters move down") << 18 << QRect(521, 550, 270, 50);
        QTest::newRow("20 characters widen") << 20 << QRect(491, 550, 300, 50);
    }
    void tipGeometry()
    {
        QFETCH(int, length);
        QFETCH(QRect, geometry);
        QLR_PopWidget::Pop(QStringLiteral("caption"), QString(length, QLatin1Char('x')));
        QLR_PopWidget *tip = QLR_PopWidget::Current();
        QVERIFY(tip);
        QCOMPARE(tip->geometry(), geometry);
        QVERIFY(tip->isVisible());
        QVERIFY(tip->windowFlags() & Qt::FramelessWindowHint);
    }

    void tipRunsOutAndDeletesItself()
    {
        QElapsedTimer clock;
        clock.start();
        QLR_PopWidget::Pop(QString(), QStringLiteral("DPI: 1600"));
        QPointer<QLR_PopWidget> tip = QLR_PopWidget::Current();
        QVERIFY(tip);
        QTRY_VERIFY_WITH_TIMEOUT(tip.isNull(), 3000);
        QVERIFY(!QLR_PopWidget::Current());
        // 270 px at 6 px per 20 ms tick.
        QVERIFY2(clock.elapsed() >= 850, qPrintable(QString::number(clock.elapsed())));
    }

    void secondPopRestartsTheBar()
    {
        QLR_PopWidget::Pop(QStringLiteral("a"), QStringLiteral("first"));
        QLR_PopWidget *tip = QLR_PopWidget::Current();
        QTRY_VERIFY(tip->ElapsedWidth() >= 60);
        QLR_PopWidget::Pop(QStringLiteral("b"), QStringLiteral("second"));
        QCOMPARE(QLR_PopWidget::Current(), tip);
        QCOMPARE(tip->ElapsedWidth(), 0);
        QCOMPARE(tip->Text(), QStringLiteral("second"));
        QCOMPARE(tip->Caption(), QStringLiteral("b"));
    }

    void veryLongTipStillEnds()
    {
        // Wider than a 16-bit counter can follow.
        QLR_PopWidget::Pop(QString(), QString(2300, QLatin1Char('w')));
        QPointer<QLR_PopWidget> tip = QLR_PopWidget::Current();
        QCOMPARE(tip->width(), 34500);
        for (int i = 0; i < 6000 && QLR_PopWidget::Current(); ++i)
            tip->on_timeout();
        QVERIFY(!QLR_PopWidget::Current());
        QTRY_VERIFY(tip.isNull());
    }

    void pageMaskFades_data()
    {
        QTest::addColumn<bool>("targetShown");
        QTest::newRow("shown target") << true;
        QTest::newRow("hidden target") << false;
    }
    void pageMaskFades()
    {
        QFETCH(bool, targetShown);
        QWidget target;
        target.resize(300, 200);
        if (targetShown) {
            target.show();
            QVERIFY(QTest::qWaitForWindowExposed(&target));
        }
        QCaroonMaskLabel::ShowOver(&target);
        QPointer<QCaroonMaskLabel> mask = QCaroonMaskLabel::Current();
        QVERIFY(mask);
        QCOMPARE(mask->parentWidget(), &target);
        QCOMPARE(mask->size(), target.size());
        QCOMPARE(mask->Opacity(), 0.25f);
        if (targetShown) {
            target.resize(500, 400);
            QCOMPARE(mask->size(), QSize(500, 400));
        }
        QTRY_VERIFY_WITH_TIMEOUT(mask.isNull(), 400);
        QVERIFY(!QCaroonMaskLabel::Current());
    }

    void pageMaskShownTwiceIsReused()
    {
        QWidget target;
        target.resize(300, 200);
        target.show();
        QCaroonMaskLabel::ShowOver(&target);
        QCaroonMaskLabel *mask = QCaroonMaskLabel::Current();
        QTRY_VERIFY(mask->Opacity() < 0.2f);
        QCaroonMaskLabel::ShowOver(&target);
        QCOMPARE(QCaroonMaskLabel::Current(), mask);
        QCOMPARE(mask->Opacity(), 0.25f);
        QCOMPARE(target.findChildren<QCaroonMaskLabel *>().size(), 1);
        QTRY_VERIFY(!QCaroonMaskLabel::Current());
    }

    void pageMaskOverAnotherTargetAndTargetGone()
    {
        auto *first = new QWidget;
        QWidget second;
        QCaroonMaskLabel::ShowOver(first);
        QCaroonMaskLabel::ShowOver(&second);
        QCOMPARE(QCaroonMaskLabel::Current()->parentWidget(), &second);
        QCaroonMaskLabel::ShowOver(first);
        delete first; // takes its mask along
        QVERIFY(!QCaroonMaskLabel::Current());
        QCaroonMaskLabel::ShowOver(nullptr);
        QVERIFY(!QCaroonMaskLabel::Current());
        QTest::qWait(250);
        QCOMPARE(second.findChildren<QCaroonMaskLabel *>().size(), 0);
    }

    void greyMaskEscapeButtonAfterTwelveSeconds()
    {
        QWidget window;
        window.resize(400, 300);
        window.show();
        auto *mask = new QMaskGrayLabel(&window);
        mask->m_ShowText = true;
        mask->show();
        QCOMPARE(mask->size(), window.size());
        QPushButton *escape = mask->EscapeButton();
        QVERIFY(escape->isHidden());
        for (int i = 0; i < 11; ++i)
            QVERIFY(QMetaObject::invokeMethod(mask, "on_timeOut"));
        QVERIFY(escape->isHidden());
        QVERIFY(QMetaObject::invokeMethod(mask, "on_timeOut"));
        QVERIFY(!escape->isHidden());
        QCOMPARE(escape->geometry(), QRect(341, 241, 50, 50));

        // Showing it again starts the count afresh.
        mask->hide();
        mask->show();
        QVERIFY(escape->isHidden());
        for (int i = 0; i < 11; ++i)
            QVERIFY(QMetaObject::invokeMethod(mask, "on_timeOut"));
        QVERIFY(escape->isHidden());

        // Without a main window the button has nothing to end, and must not crash.
        QVERIFY(QMetaObject::invokeMethod(mask, "on_timeOut"));
        escape->click();
        QVERIFY(mask->isVisible());
    }

    void greyMaskFollowsItsParent()
    {
        QWidget window;
        window.resize(400, 300);
        auto *mask = new QMaskGrayLabel(&window);
        window.show();
        mask->show();
        window.resize(640, 480);
        QCOMPARE(mask->size(), QSize(640, 480));
        // The overlay is translucent black over the window.
        const QImage picture = mask->grab().toImage();
        const QColor middle = picture.pixelColor(20, 240);
        QVERIFY2(middle.red() < 10 && middle.alpha() >= 190, qPrintable(middle.name(QColor::HexArgb)));
    }

    void placeholderPagePulses()
    {
        QXM_Process::instance()->ReloadLanguage(1);
        QWaitGifWidget page(nullptr);
        auto *text = page.findChild<QLabel *>(QStringLiteral("label_2"));
        QVERIFY(text);
        QCOMPARE(text->text(), QStringLiteral("Please connect a device"));
        QXM_Process::instance()->ReloadLanguage(0);
        page.RefreshLanguage();
        QCOMPARE(text->text(), QStringLiteral("请连接设备"));

        page.show();
        QCOMPARE(page.GreyLevel(), 50);
        int low = 255, high = 0;
        for (int i = 0; i < 120; ++i) {
            page.on_timerout();
            low = qMin(low, page.GreyLevel());
            high = qMax(high, page.GreyLevel());
        }
        QCOMPARE(high, 242);
        QCOMPARE(low, 42);
        page.hide();
        const int level = page.GreyLevel();
        QCOMPARE(text->palette().color(QPalette::WindowText), QColor(level, level, level));
        QTest::qWait(100);
        QCOMPARE(page.GreyLevel(), level);
    }

    // The text's drawn grey follows the pulse: up by 8 from 50 to 242, one tick held, down by 8
    // to 42, one tick held, up again.
    void pulseColourStepsAsDrawn()
    {
        QWaitGifWidget page(nullptr);
        page.resize(600, 300);
        page.show();
        auto *text = page.findChild<QLabel *>(QStringLiteral("label_2"));
        QVERIFY(text);
        const auto drawnGrey = [&] {
            const QImage shot = page.grab(text->geometry()).toImage();
            int grey = 0;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    grey = qMax(grey, qRed(shot.pixel(x, y)));
            return grey;
        };
        QCOMPARE(drawnGrey(), 255); // white until the first tick

        QVector<int> expected;
        for (int v = 58; v <= 242; v += 8)
            expected << v;
        expected << 242;
        for (int v = 234; v >= 42; v -= 8)
            expected << v;
        expected << 42 << 50 << 58;
        for (int i = 0; i < expected.size(); ++i) {
            page.on_timerout();
            QCOMPARE(page.GreyLevel(), expected[i]);
            QCOMPARE(drawnGrey(), expected[i]);
        }
    }
};

QTEST_MAIN(TstWidgetsOverlays)
#include "tst_widgets_overlays.moc"
