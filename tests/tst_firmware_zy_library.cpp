#include "app/QXM_Process.h"
#include "firmware/QUpdataDlg.h"
#include "firmware/Q_ZY_FW_Updata.h"
#include "platform/UpdateLibrary.h"
#include "tests/support/QueuedSignalSpy.h"
#include "tests/support/TestProgramDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLibrary>
#include <QtTest>

// The update through the outside library, against our fake library copied into a fresh program
// folder: every start ends in exactly one end step, and no file check is skipped.
class TestZyLibrary : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void updateOutcomes_data();
    void updateOutcomes();
    void secondStartWhileRunningIsIgnored();
};

namespace {
QByteArray FirmwareFile(int size, const QByteArray &version)
{
    QByteArray data(size, char(0x5A));
    data.replace(Q_ZY_FW_Updata::VersionOffset, version.size(), version);
    return data;
}

void SetKnobs(int loadResult, int startResult, const QByteArray &states, const QByteArray &percents,
              bool ownThread)
{
    qputenv("FAKE_UPDATE_LOAD_RESULT", QByteArray::number(loadResult));
    qputenv("FAKE_UPDATE_START_RESULT", QByteArray::number(startResult));
    qputenv("FAKE_UPDATE_STATES", states);
    qputenv("FAKE_UPDATE_PERCENTS", percents);
    qputenv("FAKE_UPDATE_OWN_THREAD", ownThread ? "1" : "0");
}
}

void TestZyLibrary::initTestCase()
{
    TestProgramDir dir; // the language tables of the sample program folder
    QVERIFY(dir.isValid());
    QXM_Process::instance()->ReloadLanguage(0);
    QVERIFY(GetLangText(410) != GetLangText(411));
    QVERIFY(GetLangText(411) != GetLangText(412));
    // Closing the update dialog makes no library updater: making one would load the library.
    QUpdataDlg::Instance()->on_hide();
    QVERIFY(!Q_ZY_FW_Updata::ExistingInstance());
}

void TestZyLibrary::updateOutcomes_data()
{
    QTest::addColumn<bool>("library");
    QTest::addColumn<int>("fileSize");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("loadResult");
    QTest::addColumn<int>("startResult");
    QTest::addColumn<QByteArray>("states");
    QTest::addColumn<QByteArray>("percents");
    QTest::addColumn<bool>("ownThread");
    // Expected: files handed to the library, update calls, end steps, last text id shown.
    QTest::addColumn<int>("loadCalls");
    QTest::addColumn<int>("startCalls");
    QTest::addColumn<int>("ended");
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("lastText");
    QTest::addColumn<QList<int>>("steps");

    const QString fw = QStringLiteral("fw.bin");
    QTest::newRow("no library") << false << 300 << fw << 0 << 0 << QByteArray("0") << QByteArray()
                                << false << 0 << 0 << 0 << 1 << 411 << QList<int>();
    QTest::newRow("199 bytes") << true << 199 << fw << 0 << 0 << QByteArray("0") << QByteArray()
                               << false << 0 << 0 << 0 << 1 << 411 << QList<int>();
    QTest::newRow("200 bytes, written") << true << 200 << QStringLiteral("QK75 固件.bin") << 0 << 0
                                        << QByteArray("0") << QByteArray("10,50,100") << false
                                        << 1 << 1 << 1 << 0 << 410 << QList<int>{10, 50, 100};
    QTest::newRow("file refused") << true << 300 << fw << 1 << 0 << QByteArray("0") << QByteArray()
                                  << false << 1 << 0 << 0 << 1 << 411 << QList<int>();
    QTest::newRow("failed state") << true << 300 << fw << 2 << 0 << QByteArray("7") << QByteArray()
                                  << false << 1 << 1 << 0 << 1 << 411 << QList<int>();
    QTest::newRow("never reports") << true << 300 << fw << 0 << 0 << QByteArray() << QByteArray()
                                   << false << 1 << 1 << 0 << 1 << 411 << QList<int>();
    QTest::newRow("reports twice, first ok") << true << 300 << fw << 0 << 0 << QByteArray("0,5")
                                             << QByteArray() << false << 1 << 1 << 1 << 0 << 410
                                             << QList<int>();
    QTest::newRow("reports twice, first failed") << true << 300 << fw << 0 << 0 << QByteArray("5,0")
                                                 << QByteArray() << false << 1 << 1 << 0 << 1 << 411
                                                 << QList<int>();
    QTest::newRow("update call fails") << true << 300 << fw << 0 << 1 << QByteArray() << QByteArray()
                                       << false << 1 << 1 << 0 << 1 << 412 << QList<int>();
    QTest::newRow("own thread, percent clamped") << true << 300 << fw << 0 << 0 << QByteArray("0")
                                                 << QByteArray("-5,40,150") << true << 1 << 1 << 1
                                                 << 0 << 410 << QList<int>{0, 40, 100};
}

void TestZyLibrary::updateOutcomes()
{
    QFETCH(bool, library);
    QFETCH(int, fileSize);
    QFETCH(QString, fileName);
    QFETCH(int, loadResult);
    QFETCH(int, startResult);
    QFETCH(QByteArray, states);
    QFETCH(QByteArray, percents);
    QFETCH(bool, ownThread);
    QFETCH(int, loadCalls);
    QFETCH(int, startCalls);
    QFETCH(int, ended);
    QFETCH(int, done);
    QFETCH(int, lastText);
    QFETCH(QList<int>, steps);

    TestProgramDir dir;
    QVERIFY(dir.isValid());
    const QString libPath = UpdateLibrary::FilePath(dir.path());
    if (library)
        QVERIFY(QFile::copy(QStringLiteral(FAKE_UPDATE_LIBRARY), libPath));
    const QString firmware = QStringLiteral("Buff/") + fileName;
    QVERIFY(dir.writeFile(firmware, FirmwareFile(fileSize, "1.0.12")));
    SetKnobs(loadResult, startResult, states, percents, ownThread);

    Q_ZY_FW_Updata updater(dir.path());
    QCOMPARE(updater.HasLibrary(), library);
    updater.SetRestartWaitMs(20);
    // The update runs on the updater's own thread (or the library's), which sends these.
    QueuedSignalSpy endedSpy(&updater, &Q_ZY_FW_Updata::UpdateEnded);
    QueuedSignalSpy doneSpy(&updater, &Q_ZY_FW_Updata::UpdaterDone);
    QueuedSignalSpy textSpy(&updater, &Q_ZY_FW_Updata::Dispmessg);
    QueuedSignalSpy stepSpy(&updater, &Q_ZY_FW_Updata::UpdataStep);
    QueuedSignalSpy versionSpy(&updater, &Q_ZY_FW_Updata::ButtonVersion);
    QueuedSignalSpy quitSpy(&updater, &Q_ZY_FW_Updata::quitProdunctPage);
    QueuedSignalSpy dialogSpy(&updater, &Q_ZY_FW_Updata::dispdlg);

    updater.on_startUpdata(dir.filePath(firmware));
    QTRY_VERIFY(endedSpy.count() + doneSpy.count() > 0);
    QVERIFY(updater.wait(5000));
    QTest::qWait(100); // a second end step would arrive by now

    QCOMPARE(endedSpy.count(), ended);
    QCOMPARE(doneSpy.count(), done);
    QVERIFY(!textSpy.isEmpty());
    QCOMPARE(textSpy.last().at(0).toString().section(QLatin1Char('\n'), 0, 0), GetLangText(lastText));
    if (!library)
        QCOMPARE(textSpy.last().at(0).toString().section(QLatin1Char('\n'), 1), GetLangText(790));
    QCOMPARE(dialogSpy.count(), startCalls);
    QList<int> gotSteps;
    for (const QList<QVariant> &s : stepSpy)
        gotSteps << s.at(0).toInt();
    QCOMPARE(gotSteps, steps);

    if (!library)
        return;
    QLibrary fake(libPath);
    QVERIFY(fake.load());
    auto loadCount = reinterpret_cast<int (*)()>(fake.resolve("FakeUpdateLoadCalls"));
    auto startCount = reinterpret_cast<int (*)()>(fake.resolve("FakeUpdateStartCalls"));
    auto lastFile = reinterpret_cast<const char *(*)()>(fake.resolve("FakeUpdateLastFile"));
    QVERIFY(loadCount && startCount && lastFile);
    QCOMPARE(loadCount(), loadCalls);
    QCOMPARE(startCount(), startCalls);
    if (loadCalls)
        QCOMPARE(QByteArray(lastFile()), QFile::encodeName(dir.filePath(firmware)));
    QCOMPARE(quitSpy.count(), fileName.contains(QLatin1String("QK75")) && loadCalls ? 1 : 0);
    if (ended) {
        QCOMPARE(updater.FirmwareVersionText(), QStringLiteral("1.0.12"));
        QCOMPARE(versionSpy.count(), 1);
        QCOMPARE(versionSpy.at(0).at(0).toString(), QStringLiteral("1012  "));
    }
}

// The library holds one file and one device: a start during an update must not reach it.
void TestZyLibrary::secondStartWhileRunningIsIgnored()
{
    TestProgramDir dir;
    QVERIFY(QFile::copy(QStringLiteral(FAKE_UPDATE_LIBRARY), UpdateLibrary::FilePath(dir.path())));
    QVERIFY(dir.writeFile(QStringLiteral("Buff/a.bin"), FirmwareFile(300, "2.0.1")));
    SetKnobs(0, 0, "0", QByteArray(), false);
    Q_ZY_FW_Updata updater(dir.path());
    updater.SetRestartWaitMs(200);
    QueuedSignalSpy endedSpy(&updater, &Q_ZY_FW_Updata::UpdateEnded);
    QueuedSignalSpy doneSpy(&updater, &Q_ZY_FW_Updata::UpdaterDone);
    updater.on_startUpdata(dir.filePath(QStringLiteral("Buff/a.bin")));
    updater.on_startUpdata(dir.filePath(QStringLiteral("Buff/a.bin")));
    QTRY_COMPARE(endedSpy.count(), 1);
    QTest::qWait(100);
    QCOMPARE(doneSpy.count(), 0);
    QLibrary fake(UpdateLibrary::FilePath(dir.path()));
    QVERIFY(fake.load());
    QCOMPARE(reinterpret_cast<int (*)()>(fake.resolve("FakeUpdateLoadCalls"))(), 1);
}

// QTEST_MAIN, and then the wait for Qt Test's watchdog thread to be gone. Its end is signalled
// before its thread has let go of its thread data, and an exit in between leaves that data
// unfreed, which the leak check reports.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestZyLibrary test;
    QTEST_SET_MAIN_SOURCE_PATH
    const int result = QTest::qExec(&test, argc, argv);
    QElapsedTimer waited;
    waited.start();
    const QDir tasks(QStringLiteral("/proc/self/task"));
    while (tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot).size() > 1 && waited.elapsed() < 10000)
        QThread::msleep(1);
    return result;
}
#include "tst_firmware_zy_library.moc"
