// The firmware command queue: reply queue semantics and what each command kind puts on the wire
// of an emulated device.
#include "firmware/CmdDispatch.h"
#include "firmware/CmdThread.h"
#include "tests/emu/EmuControl.h"

#include <QElapsedTimer>
#include <QtTest>
#include <hidapi.h>

using emu::Traffic;

class TestFirmwareCmdQueue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { emu::Reset(); }
    void cleanup() { emu::Reset(); }
    void queueSemantics_data();
    void queueSemantics();
    void kindsOnTheWire_data();
    void kindsOnTheWire();
    void noneStillSleeps();
};

static Cmd Reply(int i)
{
    Cmd c(QString::number(i), GetFeature, 0, 0, std::string(1, '\x03'));
    c.in_bytes = std::to_string(i);
    return c;
}

void TestFirmwareCmdQueue::queueSemantics_data()
{
    QTest::addColumn<int>("replies");
    QTest::addColumn<int>("expectQueued");   // before the fetch
    QTest::addColumn<QString>("expectOldest");
    QTest::newRow("empty") << 0 << 0 << QString();
    QTest::newRow("three") << 3 << 3 << "0";
    QTest::newRow("1025 kept") << 1025 << 1025 << "0";
    QTest::newRow("1026 drops the oldest") << 1026 << 1025 << "1";
}

void TestFirmwareCmdQueue::queueSemantics()
{
    QFETCH(int, replies);
    QFETCH(int, expectQueued);
    QFETCH(QString, expectOldest);
    CmdDispatch d(nullptr);
    for (int i = 0; i < replies; ++i)
        d.Command_In(Reply(i));
    QCOMPARE(d.queued(), expectQueued);
    if (replies > 0) {
        // fetch_one takes the oldest; fetch_last_one the newest and empties the queue
        QCOMPARE(d.fetch_one().name, expectOldest);
        const Cmd last = d.fetch_last_one();
        QCOMPARE(last.name, QString::number(replies - 1));
        QCOMPARE(QByteArray::fromStdString(last.in_bytes), QByteArray::number(replies - 1));
        QCOMPARE(d.queued(), 0);
    }
    const Cmd none = d.fetch_last_one();
    QCOMPARE(none.kind, uint32_t(None));
    QVERIFY(none.in_bytes.empty());
    QVERIFY(none.out_bytes.empty());
    QVERIFY(QMetaType::type("Cmd") != QMetaType::UnknownType);
}

void TestFirmwareCmdQueue::kindsOnTheWire_data()
{
    QTest::addColumn<bool>("withDevice");
    QTest::addColumn<uint>("kind");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<int>("op");             // traffic expected, -1 none
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<bool>("replyQueued");
    const QByteArray req = QByteArray::fromHex("03aa65");
    QTest::newRow("send: 64 zero-filled bytes") << true << uint(SendFeature) << req << int(Traffic::SendFeature)
                                                 << req + QByteArray(61, '\0') << false;
    QTest::newRow("send: out cut at 64") << true << uint(SendFeature) << req + QByteArray(70, '\x11')
                                          << int(Traffic::SendFeature) << req + QByteArray(61, '\x11') << false;
    QTest::newRow("write: exact length") << true << uint(WriteOutput) << req << int(Traffic::Write) << req << false;
    QTest::newRow("get: preset report id, device's length") << true << uint(GetFeature) << req
                                                             << int(Traffic::GetFeature) << QByteArray() << true;
    QTest::newRow("read: nothing within 100 ms") << true << uint(ReadInput) << QByteArray() << -1 << QByteArray()
                                                 << true;
    QTest::newRow("get without device") << false << uint(GetFeature) << req << -1 << QByteArray() << true;
    QTest::newRow("send without device") << false << uint(SendFeature) << req << -1 << QByteArray() << false;
}

void TestFirmwareCmdQueue::kindsOnTheWire()
{
    QFETCH(bool, withDevice);
    QFETCH(uint, kind);
    QFETCH(QByteArray, out);
    QFETCH(int, op);
    QFETCH(QByteArray, wire);
    QFETCH(bool, replyQueued);
    emu::SetTimeScale(0.05);
    const uint32_t node = emu::Plug(emu::MakePlainDevice(0x3a7c, 0x0999, emu::VendorTlc(0xff00, 1, 3, 32, 32, 63)), false);
    hid_device *dev = withDevice ? hid_open_path(emu::PathOf(node).toUtf8().constData()) : nullptr;
    QVERIFY(!withDevice || dev);
    emu::ClearTraffic();
    {
        CmdDispatch d(dev);
        d.Command_In(Reply(7)); // a stale reply that a new read must not leave newest
        d.set_cmd(Cmd("c", kind, 0, 0, out.toStdString()));
        const Cmd got = d.fetch_last_one();
        QCOMPARE(got.name == "c", replyQueued);
        if (replyQueued) {
            QCOMPARE(QByteArray::fromStdString(got.out_bytes), out);
            if (withDevice && kind == GetFeature) {
                QCOMPARE(got.in_bytes.size(), size_t(64));
                QCOMPARE(got.in_bytes[0], '\x03');
            } else {
                QVERIFY(got.in_bytes.empty());
            }
        }
    }
    const QVector<Traffic> log = emu::TrafficLog(node);
    QVector<Traffic> transfers;
    for (const Traffic &t : log)
        if (t.op != Traffic::Open && t.op != Traffic::Close)
            transfers.append(t);
    if (op < 0) {
        QVERIFY(transfers.isEmpty());
    } else {
        QCOMPARE(transfers.size(), 1);
        QCOMPARE(int(transfers[0].op), op);
        if (!wire.isEmpty())
            QCOMPARE(transfers[0].bytes, wire);
    }
    if (dev)
        hid_close(dev);
}

void TestFirmwareCmdQueue::noneStillSleeps()
{
    CmdDispatch d(nullptr);
    QElapsedTimer t;
    t.start();
    d.set_cmd(Cmd("wait", None, 30, 40, std::string()));
    QVERIFY(t.elapsed() >= 70);
    QCOMPARE(d.queued(), 0);
}

QTEST_GUILESS_MAIN(TestFirmwareCmdQueue)
#include "tst_firmware_cmdqueue.moc"
