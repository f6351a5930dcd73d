// Presses outside the program's windows reach the drop-down's press handlers through the
// system-wide capture; without one the application's own source remains.
#include "platform/GlobalMouseWatcher.h"
#include "platform/RecordMouseSource.h"
#include "tests/support/FakeInputCapture.h"
#include "tests/support/TestProgramDir.h"

#include <QWidget>
#include <QtTest>

class TestPlatformMouseSource : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void pressesOutsideTheProgram();
    void withoutCapture();
};

void TestPlatformMouseSource::pressesOutsideTheProgram()
{
    TestProgramDir dir;
    FakeInputCapture *fake = FakeInputCapture::Install();
    GlobalMouseWatcher &watcher = GlobalMouseWatcher::instance();
    watcher.SetSource(std::make_unique<RecordMouseSource>());
    QWidget window;
    window.setGeometry(100, 100, 200, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVector<QPair<QPoint, int>> presses;
    const int handle = watcher.AddPressHandler([&](const QPoint &pos, Qt::MouseButton b) {
        presses.append({pos, int(b)});
        return false;
    });
    QVERIFY(fake->PointerOn());
    fake->Button(516, 10, 0, QPoint(900, 700));   // right press in another program
    fake->Button(517, 11, 0, QPoint(900, 700));   // releases are not presses
    fake->Button(523, 12, 0x10000, QPoint(5, 5)); // nor side buttons
    fake->Button(519, 13, 0, QPoint(5, 5));
    fake->Button(513, 14, 0, window.geometry().center()); // the program's own: Qt delivers it
    QCOMPARE(presses.size(), 2);
    QCOMPARE(presses.at(0), qMakePair(QPoint(900, 700), int(Qt::RightButton)));
    QCOMPARE(presses.at(1), qMakePair(QPoint(5, 5), int(Qt::MiddleButton)));
    QTest::mouseClick(&window, Qt::LeftButton);
    QCOMPARE(presses.size(), 3);
    watcher.RemovePressHandler(handle);
    QVERIFY(!fake->PointerOn()); // the last handler gone: the capture stops
}

void TestPlatformMouseSource::withoutCapture()
{
    TestProgramDir dir;
    FakeInputCapture *fake = FakeInputCapture::Install(false);
    GlobalMouseWatcher &watcher = GlobalMouseWatcher::instance();
    watcher.SetSource(std::make_unique<RecordMouseSource>());
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    int presses = 0;
    for (int round = 0; round < 2; ++round) {
        const int handle = watcher.AddPressHandler([&](const QPoint &, Qt::MouseButton) { return bool(++presses); });
        QTest::mouseClick(&window, Qt::LeftButton);
        watcher.RemovePressHandler(handle);
    }
    QCOMPARE(presses, 2);
    QVERIFY(!fake->PointerOn());
    QCOMPARE(dir.readFile("Log.txt").count("button capture unavailable"), 1);
}

QTEST_MAIN(TestPlatformMouseSource)
#include "tst_platform_mouse_source.moc"
