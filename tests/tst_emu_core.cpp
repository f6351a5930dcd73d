// The HID device emulator itself: hidraw semantics, real time-outs, validation, environment plug.
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuStdinControl.h"

#include <QtTest>
#include <hidapi.h>

#include <thread>
#include <fcntl.h>
#include <unistd.h>

class TestEmuCore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { emu::Reset(); }
    void plugFromEnvironment();
    void everyHandleHearsEveryReport();
    void realTimeouts();
    void unplugWakesReader();
    void inputWakesWaitingReader_data();
    void inputWakesWaitingReader();
    void malformedRequestsAreModelErrors();
    void trafficLog();
    void handControlKeepsEveryLine();
};

void TestEmuCore::plugFromEnvironment()
{
    qputenv("QUORIX_EMU", "keyboard, mouse-receiver,bogus");
    EmuPlugFromEnvironment();
    qunsetenv("QUORIX_EMU");
    QSet<ushort> pids;
    hid_device_info *list = hid_enumerate(0x3A7C, 0);
    for (hid_device_info *e = list; e; e = e->next)
        pids.insert(e->product_id);
    hid_free_enumeration(list);
    QCOMPARE(pids, QSet<ushort>({0x0101, 0x0202}));
}

void TestEmuCore::everyHandleHearsEveryReport()
{
    auto dev = std::static_pointer_cast<emu::Device20>(emu::MakeDevice(emu::Model::KeyboardReceiver));
    const uint32_t node = emu::Plug(dev);
    const QByteArray path = emu::PathOf(node).toLocal8Bit();
    hid_device *a = hid_open_path(path.constData());
    hid_device *b = hid_open_path(path.constData());
    QVERIFY(a && b);
    dev->InjectNotice(5, 42);
    unsigned char buf[32] = {};
    QCOMPARE(hid_read_timeout(a, buf, sizeof buf, 100), 20);
    QCOMPARE(int(buf[6]), 42);
    QCOMPARE(hid_read_timeout(b, buf, sizeof buf, 100), 20);
    QCOMPARE(hid_read_timeout(a, buf, sizeof buf, 0), 0);
    QCOMPARE(emu::OpenCount(node), 2);
    hid_close(a);
    hid_close(b);
    QCOMPARE(emu::CloseCount(node), 2);
}

void TestEmuCore::realTimeouts()
{
    auto dev = std::static_pointer_cast<emu::Device20>(emu::MakeDevice(emu::Model::KeyboardReceiver));
    const uint32_t node = emu::Plug(dev);
    hid_device *h = hid_open_path(emu::PathOf(node).toLocal8Bit().constData());
    unsigned char buf[20];
    QElapsedTimer t;
    t.start();
    QCOMPARE(hid_read_timeout(h, buf, 20, 80), 0);
    QVERIFY(t.elapsed() >= 75);
    QVERIFY(t.elapsed() < 1000);
    dev->InjectNotice(2, 1, 0, 0, 60); // delayed report
    t.restart();
    QCOMPARE(hid_read_timeout(h, buf, 20, 30), 0);
    QCOMPARE(hid_read_timeout(h, buf, 20, 500), 20);
    QVERIFY(t.elapsed() >= 55);
    hid_close(h);
}

void TestEmuCore::unplugWakesReader()
{
    const uint32_t node = emu::Plug(emu::MakeDevice(emu::Model::MouseReceiver));
    hid_device *h = hid_open_path(emu::PathOf(node).toLocal8Bit().constData());
    int result = 0;
    std::thread reader([&] {
        unsigned char buf[20];
        result = hid_read_timeout(h, buf, 20, 5000);
    });
    QThread::msleep(50);
    QElapsedTimer t;
    t.start();
    emu::Unplug(node);
    reader.join();
    QCOMPARE(result, -1);
    QVERIFY(t.elapsed() < 1000);
    unsigned char out[20] = {5};
    QCOMPARE(hid_write(h, out, 20), -1);
    QCOMPARE(hid_send_feature_report(h, out, 20), -1);
    QVERIFY(!hid_open_path(emu::PathOf(node).toLocal8Bit().constData()));
    hid_close(h);
}

void TestEmuCore::inputWakesWaitingReader_data()
{
    QTest::addColumn<int>("timeoutMs");
    QTest::newRow("with a time-out") << 5000;
    QTest::newRow("blocking") << -1;
}

// A report queued while a reader waits ends the wait at once, whether the read has a time-out
// or blocks; a report due later ends it when due.
void TestEmuCore::inputWakesWaitingReader()
{
    QFETCH(int, timeoutMs);
    auto dev = std::static_pointer_cast<emu::Device20>(emu::MakeDevice(emu::Model::KeyboardReceiver));
    const uint32_t node = emu::Plug(dev);
    hid_device *h = hid_open_path(emu::PathOf(node).toLocal8Bit().constData());
    for (const int delayMs : {0, 80}) {
        int result = 0;
        QElapsedTimer t;
        std::thread reader([&] {
            unsigned char buf[20];
            result = hid_read_timeout(h, buf, 20, timeoutMs);
        });
        QThread::msleep(50);
        t.start();
        dev->InjectNotice(5, 80, 0, 0, delayMs);
        reader.join();
        QCOMPARE(result, 20);
        QVERIFY2(t.elapsed() >= delayMs - 5 && t.elapsed() < delayMs + 1000, qPrintable(QString::number(t.elapsed())));
    }
    hid_close(h);
}

void TestEmuCore::malformedRequestsAreModelErrors()
{
    const uint32_t node = emu::Plug(emu::MakeDevice(emu::Model::KeyboardReceiver));
    hid_device *h = hid_open_path(emu::PathOf(node).toLocal8Bit().constData());
    unsigned char bad[20] = {5, 0x05, 0x01};
    bad[19] = 0x33; // wrong sum
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("wrong sum")));
    hid_write(h, bad, 20);
    unsigned char shortReport[8] = {5, 0x05, 0x01};
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("8 bytes")));
    hid_write(h, shortReport, 8);
    unsigned char wrongId[20] = {6, 0x05, 0x01};
    wrongId[19] = 6 + 5 + 1;
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("report id 6")));
    hid_write(h, wrongId, 20);
    unsigned char outOfOrder[20] = {5, 0x04, 3, 2, 1, 0x10};
    outOfOrder[19] = 5 + 4 + 3 + 2 + 1 + 0x10;
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("out of order")));
    hid_write(h, outOfOrder, 20);
    QCOMPARE(emu::Errors().size(), 4);
    emu::ClearErrors();
    hid_close(h);
}

void TestEmuCore::trafficLog()
{
    const uint32_t node = emu::Plug(emu::MakeDevice(emu::Model::KeyboardReceiver));
    hid_device *h = hid_open_path(emu::PathOf(node).toLocal8Bit().constData());
    unsigned char req[20] = {5, 0x05, 0x01};
    req[19] = 11;
    QCOMPARE(hid_write(h, req, 20), 20);
    unsigned char reply[20] = {};
    QCOMPARE(hid_read_timeout(h, reply, 20, 100), 20);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(reply + 5), 6), QByteArray::fromHex("3a7c01010001"));
    const auto log = emu::TrafficLog(node);
    QCOMPARE(log.size(), 4); // open, write, the device's reply, the read
    QCOMPARE(int(log[1].op), int(emu::Traffic::Write));
    QCOMPARE(int(log[2].op), int(emu::Traffic::Input));
    QCOMPARE(int(log[3].op), int(emu::Traffic::Read));
    hid_close(h);
}

// Many lines written in one go reach the reader in chunks that end inside lines.
void TestEmuCore::handControlKeepsEveryLine()
{
    int in[2], out[2];
    QVERIFY(::pipe(in) == 0 && ::pipe(out) == 0);
    ::fcntl(out[0], F_SETFL, O_NONBLOCK);
    EmuStdinControl control;
    control.Listen(in[0], out[1]);
    const int pairs = 200;
    QByteArray script;
    for (int i = 0; i < pairs; ++i)
        script += "plug keyboard\nunplug keyboard\r\n";
    script += "plug mouse2-receiver\n\nlist"; // a blank line, and a last line without newline
    QCOMPARE(::write(in[1], script.constData(), size_t(script.size())), ssize_t(script.size()));
    ::close(in[1]);

    QByteArray answers;
    QTRY_VERIFY_WITH_TIMEOUT([&] {
        char buf[4096];
        for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;)
            answers.append(buf, int(n));
        return answers.count('\n') >= 2 * pairs + 2;
    }(), 10000);
    const QStringList lines = QString::fromLocal8Bit(answers).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2 * pairs + 2);
    for (int i = 0; i < pairs; ++i) {
        const QRegularExpressionMatch plugged =
            QRegularExpression(QStringLiteral("^plugged keyboard as node (\\d+)$")).match(lines.at(2 * i));
        QVERIFY2(plugged.hasMatch(), qPrintable(lines.at(2 * i)));
        QCOMPARE(lines.at(2 * i + 1), QStringLiteral("unplugged keyboard (node %1)").arg(plugged.captured(1)));
    }
    QVERIFY(lines.at(2 * pairs).startsWith(QStringLiteral("plugged mouse2-receiver")));
    QVERIFY(lines.at(2 * pairs + 1).startsWith(QStringLiteral("mouse2-receiver=")));
    hid_device_info *list = hid_enumerate(0x3A7C, 0);
    QSet<ushort> pids;
    for (hid_device_info *e = list; e; e = e->next)
        pids.insert(e->product_id);
    hid_free_enumeration(list);
    QCOMPARE(pids, QSet<ushort>({0x0302}));
    ::close(in[0]);
    ::close(out[0]);
    ::close(out[1]);
}

QTEST_GUILESS_MAIN(TestEmuCore)
#include "tst_emu_core.moc"
