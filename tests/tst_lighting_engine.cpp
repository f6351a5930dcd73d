// The effect engine against an offscreen keyboard page: model table, frame period, speed and
// luminance limits, and the lifecycle of its thread and effects.
#include "app/QXM_Process.h"
#include "keyboard/LayoutKeyRecord.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "keyboard/QMultifunKeyButton.h"
#include "lighting/LightFramePool.h"
#include "lighting/QBaseEffctThread.h"

#include <QElapsedTimer>
#include <QtTest>
#include <memory>

class TstLightingEngine : public QObject
{
    Q_OBJECT
    std::unique_ptr<QLStyleKeybordTabWidget> m_page;
    QMultifunKeyButton *m_key = nullptr;

private Q_SLOTS:
    void init()
    {
        m_page.reset(new QLStyleKeybordTabWidget);
        LayoutKeyRecord a, b;
        a.KeyName = QStringLiteral("A");
        a.Effectpos = 8;
        b.KeyName = QStringLiteral("B");
        b.Effectpos = 11;
        a.width = a.height = b.width = b.height = 20;
        m_page->KeyBoard()->BuildButtons({&a, &b}, 1);
        m_key = m_page->KeyBoard()->KeyAtEffect(8);
        m_key->SetColour(1, 1, 1, 1);
    }
    void cleanup()
    {
        m_page.reset();
        QCOMPARE(LightFramePool::InFlight(), 0); // every frame sent was shown and given back
    }

    void modelTable_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("base");
        QTest::addColumn<int>("period");
        QTest::addColumn<bool>("hint");
        QTest::addColumn<int>("running");
        QTest::newRow("static at speed 0") << 81 << 0 << 500 << 580 << false << 81;
        QTest::newRow("static at speed 4") << 81 << 4 << 500 << 500 << false << 81;
        QTest::newRow("ripples") << 87 << 4 << 50 << 50 << true << 87;
        QTest::newRow("reaction at speed 2") << 92 << 2 << 500 << 540 << true << 92;
        QTest::newRow("stars") << 88 << 3 << 20 << 40 << false << 88;
        QTest::newRow("raindrops at speed 0") << 85 << 0 << 100 << 180 << false << 85;
        QTest::newRow("snake") << 90 << 4 << 10 << 10 << false << 90;
        QTest::newRow("waterfall") << 95 << 4 << 40 << 40 << false << 95;
        QTest::newRow("light off") << 98 << 4 << 100 << 100 << false << 98;
        QTest::newRow("unknown model") << 100 << 4 << 10 << 10 << false << -1;
        QTest::newRow("disabled speed -1") << 82 << -1 << 100 << 100 << false << 82;
        QTest::newRow("8-step speed 8") << 82 << 8 << 100 << 100 << false << 82;
    }
    void modelTable()
    {
        QFETCH(int, model);
        QFETCH(int, speed);
        QFETCH(int, base);
        QFETCH(int, period);
        QFETCH(bool, hint);
        QFETCH(int, running);
        QBaseEffctThread *engine = QBaseEffctThread::instance();
        m_page->on_DispNotEffct(!hint);
        engine->on_ChangLightModel(model, 0, speed, 4, 255, 0, 0);
        QCOMPARE(engine->BaseSleep(), base);
        QCOMPARE(engine->FramePeriod(), period);
        QCOMPARE(m_page->DispInfoLabel->text(), hint ? GetLangText(291) : QString());
        QCOMPARE(engine->CurrentModel(), running);
        QCOMPARE(engine->isRunning(), running > 0);
        engine->On_StopThread();
        QVERIFY(!engine->isRunning());
        QCOMPARE(engine->CurrentModel(), -1);
        QCOMPARE(engine->BaseSleep(), base); // a stop keeps speed, luminance and base period
    }

    void speedAndLuminance_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("luminance");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("period");
        QTest::newRow("20 is level 4") << 2 << 20 << 4 << 540;
        QTest::newRow("3 stays 3") << 2 << 3 << 3 << 540;
        QTest::newRow("disabled controls") << -1 << -1 << 4 << 500;
        QTest::newRow("255") << 0 << 255 << 4 << 580;
    }
    void speedAndLuminance()
    {
        QFETCH(int, speed);
        QFETCH(int, luminance);
        QFETCH(int, level);
        QFETCH(int, period);
        QBaseEffctThread *engine = QBaseEffctThread::instance();
        engine->on_ChangLightModel(81, 0, 4, 4, 0, 0, 255);
        engine->on_Reset_Speed_Luminance(speed, luminance);
        QCOMPARE(int(engine->LuminanceLevel()), level);
        QCOMPARE(engine->FramePeriod(), period);
        QVERIFY(engine->isRunning());
        // The static colour shows the new level as its transparency: level x 40 + 20.
        QTRY_COMPARE_WITH_TIMEOUT(int(m_key->B), 255, 2000);
        QCOMPARE(int(m_key->A), level * 40 + 20);
        engine->On_StopThread();
    }

    void modelChangeEndsTheOldEffect()
    {
        QBaseEffctThread *engine = QBaseEffctThread::instance();
        engine->on_ChangLightModel(88, 0, 4, 4, 255, 0, 0); // stars: a frame every 20 ms
        QTRY_COMPARE(int(m_key->R) + int(m_page->KeyBoard()->KeyAtEffect(11)->R) > 0, true);
        engine->on_ChangLightModel(81, 0, 4, 4, 0, 0, 255); // first frame after 500 ms
        QCoreApplication::processEvents();
        m_key->SetColour(1, 1, 1, 1);
        QTest::qWait(250);
        QCOMPARE(int(m_key->R), 1); // no frame of the old effect arrived
        QTRY_COMPARE_WITH_TIMEOUT(int(m_key->B), 255, 2000);
        QCOMPARE(int(m_key->R), 0);
        engine->On_StopThread();
    }

    void stopWakesTheFrameWait()
    {
        QBaseEffctThread *engine = QBaseEffctThread::instance();
        engine->on_ChangLightModel(81, 0, 0, 4, 255, 0, 0); // 580 ms period
        QTest::qWait(50);
        QElapsedTimer timer;
        timer.start();
        engine->On_StopThread();
        QVERIFY(!engine->isRunning());
        QVERIFY2(timer.elapsed() < 300, "the stop waited for the frame period");
    }

    void destroyingTheKeyboardEndsTheEngine()
    {
        QPointer<QBaseEffctThread> engine = QBaseEffctThread::instance();
        engine->on_ChangLightModel(82, 0, 4, 4, 255, 0, 0);
        QVERIFY(engine->isRunning());
        m_page.reset(); // the engine is the on-screen keyboard's child
        QVERIFY(engine.isNull());
        QVERIFY(QBaseEffctThread::instance() != nullptr); // a new one on next use
        delete QBaseEffctThread::instance();
    }
};

QTEST_MAIN(TstLightingEngine)
#include "tst_lighting_engine.moc"
