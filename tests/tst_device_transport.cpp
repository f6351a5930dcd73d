// The transport worker over the emulator: short reports, the code request, status notices,
// echoed upload packets with retransmission, configuration images, key tables, macros, the
// mouse key map and table reads, with their faults.
#include "app/ProductCatalogue.h"
#include "app/QXM_Process.h"
#include "device/ByteTools.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Work_Interface.h"
#include "tests/emu/EmuControl.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/MouseKeyRows.h"
#include "tests/support/TestProgramDir.h"

#include <QtTest>
#include <thread>

using emu::Model;
using emu::Traffic;

class TestDeviceTransport : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void wiredCodeRequestSendsNothing();
    void wirelessCodeRequest();
    void codeRequestGivesUpAfterTenTries();
    void checkAwakeOffline_data();
    void checkAwakeOffline();
    void readReportConsumesNotices();
    void echoMatches();
    void silenceRetransmitsThreeTimes();
    void mismatchingEchoes();
    void checksumOnlyMismatch();
    void failedWrite();
    void noticeBeforeEcho();
    void unplugMidTransfer();
    void configImagePackets();
    void configImageFailureStops();
    void wirelessKeyTable();
    void wiredKeyTable();
    void keyWriteToAsleepDeviceIsNotSuccess();
    void macroBlockLayout();
    void wiredMacroPieces_data();
    void wiredMacroPieces();
    void messageTextLookedUpOnGuiThread();
    void tableReadReassembles_data();
    void tableReadReassembles();
    void tableReadWriteFailure();
    void mouseFeatureFrames();
    void helpers();
    void missingTimeoutsFallBack();

private:
    DeviceRecord *Open(Model model, int kind);
    QHid_Work_Interface *NewWorker(DeviceRecord *record);
    QString WriteKeyFile(const QString &name, const QString &body);
    void WriteMacro(const QString &name, const QByteArray &events);

    TestProgramDir *m_dir = nullptr;
    QList<DeviceRecord *> m_records;
    QList<QHid_Work_Interface *> m_workers;
    std::shared_ptr<emu::Device20> m_dev;
    uint32_t m_node = 0;
};

void TestDeviceTransport::init()
{
    emu::Reset();
    emu::SetTimeScale(0.05); // 6000 ms echo waits become 300 ms; room for a loaded machine
    m_dir = new TestProgramDir;
    QVERIFY(m_dir->isValid());
    ClearProductListCache();
}

void TestDeviceTransport::cleanup()
{
    QVERIFY(HidNoModelErrors());
    qDeleteAll(m_workers);
    m_workers.clear();
    HidCloseAll(m_records);
    emu::Reset();
    m_dev.reset();
    delete m_dir;
    m_dir = nullptr;
}

DeviceRecord *TestDeviceTransport::Open(Model model, int kind)
{
    m_dev = std::static_pointer_cast<emu::Device20>(emu::MakeDevice(model));
    m_node = emu::Plug(m_dev);
    QList<DeviceRecord *> found;
    HID_API::OpenDevices(found);
    m_records += found;
    DeviceRecord *r = HidRecordOfKind(found, m_node, kind);
    if (r && (kind == 1 || kind == 3))
        r->connectionState = StateWirelessAwake; // as the device list page leaves it
    return r;
}

QHid_Work_Interface *TestDeviceTransport::NewWorker(DeviceRecord *record)
{
    auto *w = new QHid_Work_Interface;
    w->SetDevice(record);
    w->m_DeviceId = record ? record->deviceId : 0;
    m_workers.append(w);
    return w;
}

QString TestDeviceTransport::WriteKeyFile(const QString &name, const QString &body)
{
    const QString rel = QStringLiteral("Products/QK75/UserConfig/%1").arg(name);
    const QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<KeyBoardRoot>\n<Product name=\"QK75\"/>\n")
                        + body + QStringLiteral("</KeyBoardRoot>\n");
    m_dir->writeFile(rel, xml.toUtf8());
    return m_dir->filePath(rel);
}

void TestDeviceTransport::WriteMacro(const QString &name, const QByteArray &events)
{
    QVERIFY(WriteMacroFile(*m_dir, QStringLiteral("QK75"), name, events, 2, 3));
}

static QByteArray Packet(uint8_t rid, uint8_t cmd, uint8_t count, uint8_t index, uint8_t lenByte, const QByteArray &data)
{
    QByteArray p(20, '\0');
    p[0] = char(rid);
    p[1] = char(cmd);
    p[2] = char(count);
    p[3] = char(index);
    p[4] = char(lenByte);
    for (int i = 0; i < data.size() && i < 14; ++i)
        p[5 + i] = data[i];
    p[19] = char(emu::Sum19(p));
    return p;
}

void TestDeviceTransport::wiredCodeRequestSendsNothing()
{
    DeviceRecord *r = Open(Model::KeyboardWired, 0);
    QVERIFY(r);
    QHid_Work_Interface *w = NewWorker(r);
    emu::ClearTraffic();
    QCOMPARE(w->RequestGrabCode(), QStringLiteral("Z r ProDuct Online"));
    r->SetCodeText(QStringLiteral("3a7c01010001"));
    QCOMPARE(w->RequestGrabCode(), QStringLiteral("3a7c01010001"));
    QVERIFY(emu::TrafficLog(m_node).isEmpty());
}

void TestDeviceTransport::wirelessCodeRequest()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    QVERIFY(r);
    QHid_Work_Interface *w = NewWorker(r);
    emu::ClearTraffic();
    QCOMPARE(w->RequestGrabCode(), QStringLiteral("3a7c01010001"));
    const auto writes = emu::TrafficLog(m_node, Traffic::Write);
    QCOMPARE(writes.size(), 1);
    QCOMPARE(writes[0].bytes, QByteArray::fromHex("05050100000000000000000000000000000000") + QByteArray(1, char(0x0B)));
    QVERIFY(w->CheckAwake());
}

void TestDeviceTransport::codeRequestGivesUpAfterTenTries()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    QHid_Work_Interface *w = NewWorker(r);
    m_dev->SetAwake(false);
    for (int i = 0; i < 10; ++i)
        m_dev->PushInput(Packet(5, 0x07, 0, 0, 0, QByteArray())); // wrong command: one try each
    QByteArray late = Packet(5, 0x05, 1, 0, 0, QByteArray());
    late[5] = 0x11;
    late[19] = char(emu::Sum19(late));
    m_dev->PushInput(late);
    QCOMPARE(w->RequestGrabCode(), QString());
    // the eleventh report was never read
    unsigned char buf[20] = {};
    int status = 0;
    QCOMPARE(hid_read_timeout_status(r, buf, 20, 50, &status), 20);
    QCOMPARE(int(buf[1]), 0x05);
}

void TestDeviceTransport::checkAwakeOffline_data()
{
    QTest::addColumn<bool>("asleep");
    QTest::newRow("silent") << true;
    QTest::newRow("zero code") << false;
}

void TestDeviceTransport::checkAwakeOffline()
{
    QFETCH(bool, asleep);
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    QHid_Work_Interface *w = NewWorker(r);
    if (asleep)
        m_dev->SetAwake(false);
    else
        m_dev->SetPresent(false); // the receiver answers 000000000000
    QSignalSpy msg(w, &QHid_Work_Interface::MessgBox);
    QSignalSpy hide(w, &QHid_Work_Interface::HideBusy);
    QSignalSpy result(w, &QHid_Work_Interface::ChangeResetKeyvalueRetul);
    QSignalSpy put(w, &QHid_Work_Interface::Device_Put_Chenge);
    QVERIFY(!w->CheckAwake());
    QTRY_COMPARE(msg.count(), 1);
    QCOMPARE(msg[0][0].toString(), QStringLiteral("The device is offline. Wake it up and try again."));
    QCOMPARE(hide.count(), 1);
    QCOMPARE(result.count(), 1);
    QCOMPARE(result[0][0].toBool(), false);
    QCOMPARE(put.count(), 1);
    QCOMPARE(put[0][0].toUInt(), m_node);
    QCOMPARE(put[0][1].toBool(), false);
    QCOMPARE(int(r->connectionState), 3);
}

void TestDeviceTransport::readReportConsumesNotices()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    QHid_Work_Interface *w = NewWorker(r);
    QSignalSpy put(w, &QHid_Work_Interface::Device_Put_Chenge);
    m_dev->InjectNotice(2, 0);
    m_dev->InjectNotice(5, 50);
    m_dev->InjectNotice(2, 1);
    const QByteArray reply = Packet(5, 0x33, 0, 0, 0, QByteArray("abc"));
    m_dev->PushInput(reply);
    unsigned char buf[20] = {};
    QCOMPARE(w->ReadReport(r, buf, 20, 50), 20);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(buf), 20), reply);
    QCOMPARE(int(r->connectionState), 2);
    QCOMPARE(put.count(), 1);
    QCOMPARE(put[0][1].toBool(), true);
    // ReadReportWithStatus returns the notice itself
    m_dev->InjectNotice(2, 0);
    QCOMPARE(w->ReadReportWithStatus(r, buf, 20, 50), 20);
    QCOMPARE(int(buf[1]), 0x0A);
    QCOMPARE(int(r->connectionState), 3);
}

void TestDeviceTransport::echoMatches()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    QHid_Work_Interface *w = NewWorker(r);
    QByteArray p = Packet(5, 0x04, 1, 0, 0x03, QByteArray("xyz"));
    emu::ClearTraffic();
    QCOMPARE(w->SendPackets(reinterpret_cast<uchar *>(p.data()), 20), 0);
    QCOMPARE(emu::TrafficLog(m_node, Traffic::Write).size(), 1);
    QCOMPARE(m_dev->Upload(0x04), QByteArray("xyz"));
}

void TestDeviceTransport::silenceRetransmitsThreeTimes()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    QHid_Work_Interface *w = NewWorker(r);
    emu::Knobs k;
    k.noEcho = true;
    m_dev->setKnobs(k);
    QByteArray p = Packet(5, 0x04, 1, 0, 0x01, QByteArray("a"));
    emu::ClearTraffic();
    QElapsedTimer t;
    t.start();
    QCOMPARE(w->SendPackets(reinterpret_cast<uchar *>(p.data()), 20), 4);
    QCOMPARE(emu::TrafficLog(m_node, Traffic::Write).size(), 4); // 1 + 3 retransmissions
    QVERIFY(t.elapsed() >= 4 * 120);
    QVERIFY(t.elapsed() < 4 * 120 + 2000);
    // two silent sendings, then an echo: 3 writes, success
    k.echoFaultSendings = 2;
    m_dev->setKnobs(k);
    emu::ClearTraffic();
    QByteArray q = Packet(5, 0x04, 1, 0, 0x01, QByteArray("b"));
    QCOMPARE(w->SendPackets(reinterpret_cast<uchar *>(q.data()), 20), 0);
    // the device counts sendings across transfers: four more happened above
    QVERIFY(emu::TrafficLog(m_node, Traffic::Write).size() >= 1);
}

void TestDeviceTransport::mismatchingEchoes()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    QHid_Work_Interface *w = NewWorker(r);
    emu::Knobs k;
    k.mismatchingEchoes = 3; // fewer than 10: the clock restarts and the right echo is taken
    m_dev->setKnobs(k);
    QByteArray p = Packet(5, 0x04, 1, 0, 0x01, QByteArray("a"));
    emu::ClearTraffic();
    QCOMPARE(w->SendPackets(reinterpret_cast<uchar *>(p.data()), 20), 0);
    QCOMPARE(emu::TrafficLog(m_node, Traffic::Write).size(), 1);
    // ten mismatches end the sending: one retransmission, then the clean echo
    k.mismatchingEchoes = 10;
    k.echoFaultSendings = 2; // sending 1 above, sending 2 here is faulty, sending 3 clean
    m_dev->setKnobs(k);
    emu::ClearTraffic();
    QCOMPARE(w->SendPackets(reinterpret_cast<uchar *>(p.data()), 20), 0);
    QCOMPARE(emu::TrafficLog(m_node, Traffic::Write).size(), 2);
    // ten mismatches and never the right echo: gives up after 4 sendings
    unsigned char stale[20];
    int st = 0;
    while (hid_read_timeout_status(r, stale, 20, 20, &st) > 0) {
    }
    k.echoFaultSendings = -1;
    k.noEcho = true;
    m_dev->setKnobs(k);
    emu::ClearTraffic();
    QCOMPARE(w->SendPackets(reinterpret_cast<uchar *>(p.data()), 20), 4);
    QCOMPARE(emu::TrafficLog(m_node, Traffic::Write).size(), 4);
}

void TestDeviceTransport::checksumOnlyMismatch()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    QHid_Work_Interface *w = NewWorker(r);
    emu::Knobs k;
    k.wrongChecksumEcho = true;
    m_dev->setKnobs(k);
    QByteArray p = Packet(5, 0x04, 1, 0, 0x01, QByteArray("a"));
    emu::ClearTraffic();
    QCOMPARE(w->SendPackets(reinterpret_cast<uchar *>(p.data()), 20), 4);
    QCOMPARE(emu::TrafficLog(m_node, Traffic::Write).size(), 4);
}

void TestDeviceTransport::failedWrite()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    QHid_Work_Interface *w = NewWorker(r);
    emu::Knobs k;
    k.failWrites = true;
    m_dev->setKnobs(k);
    QByteArray p = Packet(5, 0x04, 1, 0, 0x01, QByteArray("a"));
    QCOMPARE(w->SendPackets(reinterpret_cast<uchar *>(p.data()), 20), 2);
    QCOMPARE(w->RequestGrabCode(), QString());
}

void TestDeviceTransport::noticeBeforeEcho()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    r->connectionState = StateWirelessAsleep;
    QHid_Work_Interface *w = NewWorker(r);
    emu::Knobs k;
    k.noticeBeforeReply = true;
    k.replyDelayMs = 5;
    m_dev->setKnobs(k);
    QSignalSpy put(w, &QHid_Work_Interface::Device_Put_Chenge);
    QByteArray p = Packet(5, 0x04, 1, 0, 0x01, QByteArray("a"));
    QCOMPARE(w->SendPackets(reinterpret_cast<uchar *>(p.data()), 20), 0);
    QCOMPARE(int(r->connectionState), 2);
    QCOMPARE(put.count(), 1);
}

void TestDeviceTransport::unplugMidTransfer()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    QHid_Work_Interface *w = NewWorker(r);
    emu::Knobs k;
    k.unplugAfterWrites = 3;
    m_dev->setKnobs(k);
    QSignalSpy err(w, &QHid_Work_Interface::ErrorPop);
    QByteArray image(136, '\0');
    for (int i = 0; i < 136; ++i)
        image[i] = char(i);
    QElapsedTimer t;
    t.start();
    QVERIFY(!w->SendConfigPackets(reinterpret_cast<uchar *>(image.data()), 136, 0x04));
    QCOMPARE(err.count(), 1);
    QCOMPARE(err[0][1].toInt(), 2); // the next write fails: "Send Err"
    QVERIFY(t.elapsed() < 3000);
    QCOMPARE(w->RequestGrabCode(), QString());
    QVERIFY(!w->WriteKeyTable());
    int status = 0;
    QByteArray out;
    QByteArray req = Packet(5, 0x44, 0, 0, 0, QByteArray());
    w->GrabData(out, status, 10, reinterpret_cast<uchar *>(req.data()));
    QCOMPARE(status, 2);
    QVERIFY(out.isEmpty());
}

void TestDeviceTransport::configImagePackets()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    QHid_Work_Interface *w = NewWorker(r);
    QByteArray image(136, '\0');
    for (int i = 0; i < 136; ++i)
        image[i] = char(0xA0 ^ i);
    emu::ClearTraffic();
    QVERIFY(w->SendConfigPackets(reinterpret_cast<uchar *>(image.data()), 136, 0x04));
    const auto writes = emu::TrafficLog(m_node, Traffic::Write);
    QCOMPARE(writes.size(), 10);
    for (int i = 0; i < 10; ++i) {
        const int len = i < 9 ? 14 : 2;
        QCOMPARE(writes[i].bytes, Packet(5, 0x04, 10, uint8_t(i), uint8_t(len), image.mid(8 + 14 * i, len)));
    }
    QCOMPARE(m_dev->Upload(0x04), image.mid(8));
}

void TestDeviceTransport::configImageFailureStops()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    QHid_Work_Interface *w = NewWorker(r);
    QByteArray image(392, '\x11');
    emu::Knobs k;
    k.failWritesAfter = 5; // packet 5 (the sixth) cannot be written
    m_dev->setKnobs(k);
    QSignalSpy err(w, &QHid_Work_Interface::ErrorPop);
    emu::ClearTraffic();
    w->m_ListenFlag = 0;
    w->m_TaskCode = 7;
    QVERIFY(!w->SendConfigPackets(reinterpret_cast<uchar *>(image.data()), 392, 0x02));
    QCOMPARE(err.count(), 1);
    QCOMPARE(err[0][0].toBool(), false);
    QCOMPARE(err[0][1].toInt(), 2);
    QCOMPARE(emu::TrafficLog(m_node, Traffic::Write).size(), 6);
    QCOMPARE(int(w->m_TaskCode), 0);
    QCOMPARE(int(w->m_ListenFlag), 1);
    // and an echo that never comes gives status 4, "Check Err"
    k = emu::Knobs();
    k.noEcho = true;
    m_dev->setKnobs(k);
    err.clear();
    QVERIFY(!w->SendConfigPackets(reinterpret_cast<uchar *>(image.data()), 392, 0x02));
    QCOMPARE(err.count(), 1);
    QCOMPARE(err[0][1].toInt(), 4);
}

void TestDeviceTransport::wirelessKeyTable()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    QHid_Work_Interface *w = NewWorker(r);
    WriteMacro(QStringLiteral("m1"), QByteArray::fromHex("0102030405060708"));
    WriteMacro(QStringLiteral("m2"), QByteArray::fromHex("aabbccdd"));
    w->m_KeyFile = WriteKeyFile(QStringLiteral("Base.xml"),
        QStringLiteral("<Keylevel_ID name=\"L0\" ID=\"0\">"
                       "<KeyEdit KeyButtonName=\"Esc\" LeftValue=\"m1\" KeyValueTyp=\"Attrib_MacroValue\" Value=\"NULL\"/>"
                       "</Keylevel_ID>"
                       "<Keylevel_ID name=\"L1\" ID=\"1\"/>"
                       "<Keylevel_ID name=\"L2\" ID=\"2\">"
                       "<KeyEdit KeyButtonName=\"Q\" LeftValue=\"q\" KeyValueTyp=\"Attrib_LogitechKey\" Value=\"0a0b0c0d\" Lang=\"-1\"/>"
                       "<KeyEdit KeyButtonName=\"W\" LeftValue=\"m2\" KeyValueTyp=\"Attrib_MacroValue\" Value=\"NULL\"/>"
                       "</Keylevel_ID>\n"));
    w->m_ChangedLayer = 2;
    emu::ClearTraffic();
    QSignalSpy unsleep(w, &QHid_Work_Interface::unSleepTime);
    QVERIFY(w->WriteKeyTable());
    QCOMPARE(unsleep.count(), 1);
    // only layer 2 went out: 37 packets of command 1, byte 4 = 0x2E, the last 0x28
    QVector<QByteArray> keyPackets;
    for (const Traffic &t : emu::TrafficLog(m_node, Traffic::Write))
        if (uint8_t(t.bytes[1]) == 0x01)
            keyPackets.append(t.bytes);
    QCOMPARE(keyPackets.size(), 37);
    for (int i = 0; i < 37; ++i) {
        QCOMPARE(int(uint8_t(keyPackets[i][2])), 37);
        QCOMPARE(int(uint8_t(keyPackets[i][3])), i);
        QCOMPARE(int(uint8_t(keyPackets[i][4])), i < 36 ? 0x2E : 0x28);
        QCOMPARE(uint8_t(keyPackets[i][19]), emu::Sum19(keyPackets[i]));
    }
    QCOMPARE(keyPackets[36].mid(9, 4), QByteArray::fromHex("00005aa5"));
    const QByteArray table = m_dev->KeyLayer(2);
    QCOMPARE(table.size(), 520);
    QVERIFY(m_dev->KeyLayer(0).isEmpty());
    // layout defaults of layer 2 ("Esc" at 8 is 0x00 0x2b 0x00 0x00), the assignments over them
    QCOMPARE(table.mid(8, 4), QByteArray::fromHex("002b0000"));
    QCOMPARE(table.mid(16, 4), QByteArray::fromHex("0a0b0c0d"));   // Q at keypos 16
    QCOMPARE(table.mid(20, 4), QByteArray::fromHex("03020301"));   // W: macro m2, index 1
    // the macros of layers 0 and 2 went out as command 3 packets, indexes 0 and 1
    const QByteArray block = m_dev->Upload(0x03, 0);
    const QByteArray expected = QByteArray::fromHex("0800" "0800" "1000" "0400" "0102030405060708" "aabbccdd");
    QCOMPARE(block, expected);
}

void TestDeviceTransport::wiredKeyTable()
{
    DeviceRecord *r = Open(Model::KeyboardWired, 0);
    QHid_Work_Interface *w = NewWorker(r);
    w->m_KeyFile = WriteKeyFile(QStringLiteral("Base.xml"),
        QStringLiteral("<Keylevel_ID name=\"L0\" ID=\"0\">"
                       "<KeyEdit KeyButtonName=\"A\" LeftValue=\"a\" KeyValueTyp=\"Attrib_LogitechKey\" Value=\"01020304\" Lang=\"-1\"/>"
                       "</Keylevel_ID>\n"));
    w->m_ChangedLayer = 0;
    QVERIFY(w->WriteKeyTable());
    const QByteArray table = m_dev->KeyLayer(0);
    QCOMPARE(table.size(), 520);
    QCOMPARE(table.left(8), QByteArray::fromHex("0603000001 00f801"));
    QCOMPARE(table.mid(28, 4), QByteArray::fromHex("01020304")); // A at keypos 28
    QCOMPARE(table.mid(516, 4), QByteArray::fromHex("00005aa5"));
    // a failed feature report is a failed write
    emu::Knobs k;
    k.failFeatures = true;
    m_dev->setKnobs(k);
    QVERIFY(!w->WriteKeyTable());
}

void TestDeviceTransport::keyWriteToAsleepDeviceIsNotSuccess()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    r->connectionState = StateWirelessAsleep;
    QHid_Work_Interface *w = NewWorker(r);
    w->m_KeyFile = WriteKeyFile(QStringLiteral("Base.xml"), QStringLiteral("<Keylevel_ID name=\"L0\" ID=\"0\"/>\n"));
    emu::ClearTraffic();
    QVERIFY(!w->WriteKeyTable());
    QVERIFY(emu::TrafficLog(m_node, Traffic::Write).isEmpty());
}

void TestDeviceTransport::macroBlockLayout()
{
    QVERIFY(BuildMacroBlock({}).isEmpty());
    QVERIFY(BuildMacroBlock({QByteArray("ab"), QByteArray()}).isEmpty());
    const QByteArray b = BuildMacroBlock({QByteArray("ab"), QByteArray("cde")});
    QCOMPARE(b, QByteArray::fromHex("0605000001000d00" "08000200" "0a000300") + QByteArray("abcde"));
    QVERIFY(BuildMacroBlock({QByteArray(70000, 'x')}).isEmpty()); // beyond the 16-bit lengths
}

void TestDeviceTransport::wiredMacroPieces_data()
{
    QTest::addColumn<int>("eventBytes");
    QTest::addColumn<int>("macros"); // a macro file holds at most 2048 bytes: big blocks take several
    QTest::addColumn<int>("reports");
    QTest::addColumn<bool>("ok");
    // block = 8 header + 4 directory bytes per macro + records
    QTest::newRow("block 520: one report") << 508 << 1 << 1 << true;
    QTest::newRow("block 524: pieces") << 512 << 1 << 2 << true;
    QTest::newRow("data 4104: 9 reports") << 4092 << 3 << 9 << true;
    QTest::newRow("data 4608: refused") << 4596 << 3 << 0 << false;
}

void TestDeviceTransport::wiredMacroPieces()
{
    QFETCH(int, eventBytes);
    QFETCH(int, macros);
    QFETCH(int, reports);
    QFETCH(bool, ok);
    DeviceRecord *r = Open(Model::KeyboardWired, 0);
    QHid_Work_Interface *w = NewWorker(r);
    QStringList names;
    for (int m = 0; m < macros; ++m) {
        QByteArray events(eventBytes / macros, '\0');
        for (int i = 0; i < events.size(); ++i)
            events[i] = char(i * 7 + m);
        names << QStringLiteral("big%1").arg(m);
        WriteMacro(names.last(), events);
    }
    QSignalSpy msg(w, &QHid_Work_Interface::MessgBox);
    emu::ClearTraffic();
    QCOMPARE(w->SendMacroData(names), ok);
    const auto sent = emu::TrafficLog(m_node, Traffic::SendFeature);
    QCOMPARE(sent.size(), reports);
    QCOMPARE(msg.count(), ok ? 0 : 1);
    if (reports > 1) {
        const int data = eventBytes + 4 * macros;
        const int pieces = data / 512, rest = data % 512;
        for (int i = 0; i < reports; ++i) {
            const QByteArray &rep = sent[i].bytes;
            QCOMPARE(int(uint8_t(rep[1])), 5);
            QCOMPARE(int(uint8_t(rep[4])), pieces + (rest ? 1 : 0));
            QCOMPARE(int(uint8_t(rep[5])), i);
            QCOMPARE(rep.mid(6, 2), QByteArray::fromHex("0002"));
        }
    }
}

// The language table is the GUI thread's: a failure on the worker's thread is given by text id,
// and the text is looked up when the message reaches the GUI thread, in the language of then.
void TestDeviceTransport::messageTextLookedUpOnGuiThread()
{
    DeviceRecord *r = Open(Model::KeyboardWired, 0);
    QHid_Work_Interface *w = NewWorker(r);
    QThread *emittedOn = nullptr;
    QString text;
    connect(w, &QHid_Work_Interface::MessgBox, this, [&](const QString &t) { emittedOn = QThread::currentThread(), text = t; },
            Qt::DirectConnection);
    QXM_Process::instance()->ReloadLanguage(1);
    std::thread worker([w] { w->SendMacroData({QStringLiteral("missing")}); }); // no such file: text 179
    worker.join();
    QXM_Process::instance()->ReloadLanguage(2); // the user picks another language meanwhile
    QVERIFY(text.isEmpty());
    QTRY_COMPARE(text, GetLangText(179));
    QCOMPARE(emittedOn, QThread::currentThread());
    QXM_Process::instance()->ReloadLanguage(1); // the seed language again; its text differs
    QVERIFY(text != GetLangText(179));
}

void TestDeviceTransport::tableReadReassembles_data()
{
    QTest::addColumn<int>("knob");
    QTest::addColumn<int>("requests");
    QTest::addColumn<int>("bytes");
    QTest::newRow("in order") << 0 << 1 << 128;
    QTest::newRow("out of order") << 1 << 1 << 128;
    QTest::newRow("repeated packet") << 2 << 1 << 128;
    QTest::newRow("bad sum: asked again") << 3 << 2 << 128;
    QTest::newRow("missing packet: four requests, short") << 4 << 4 << 126;
}

void TestDeviceTransport::tableReadReassembles()
{
    QFETCH(int, knob);
    QFETCH(int, requests);
    QFETCH(int, bytes);
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    QHid_Work_Interface *w = NewWorker(r);
    QByteArray data(128, '\0');
    for (int i = 0; i < 126; ++i)
        data[i] = char(i + 1);
    data[126] = char(0x5A);
    data[127] = char(0xA5);
    m_dev->SetTable(0x44, data);
    emu::Knobs k;
    k.shuffleTable = knob == 1;
    k.duplicateTable = knob == 2;
    k.corruptTable = knob == 3;
    k.shortTable = knob == 4;
    m_dev->setKnobs(k);
    QByteArray req = Packet(5, 0x44, 0, 0, 0, QByteArray());
    QByteArray out;
    int status = -1;
    w->GrabData(out, status, 10, reinterpret_cast<uchar *>(req.data()));
    QCOMPARE(status, 0);
    QCOMPARE(m_dev->TableRequests(0x44), requests);
    QCOMPARE(out.size(), bytes);
    QCOMPARE(out, data.left(bytes));
    QList<uchar> list;
    for (char c : out)
        list.append(uchar(c));
    QCOMPARE(EndsWithTrailer(list, 128), bytes == 128);
}

void TestDeviceTransport::tableReadWriteFailure()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    QHid_Work_Interface *w = NewWorker(r);
    emu::Knobs k;
    k.failWrites = true;
    m_dev->setKnobs(k);
    QByteArray req = Packet(5, 0x44, 0, 0, 0, QByteArray());
    QByteArray out("junk");
    int status = 0;
    w->GrabData(out, status, 10, reinterpret_cast<uchar *>(req.data()));
    QCOMPARE(status, 2);
    QVERIFY(out.isEmpty());
}

void TestDeviceTransport::mouseFeatureFrames()
{
    DeviceRecord *r = Open(Model::MouseReceiver, 3);
    QVERIFY(r);
    r->subType = 2;
    QHid_Work_Interface *w = NewWorker(r);
    m_dev->SetBattery(63);
    emu::ClearTraffic();
    QCOMPARE(int(w->ReadBatteryLevel()), 63);
    const auto sent = emu::TrafficLog(m_node, Traffic::SendFeature);
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent[0].bytes.left(7), QByteArray::fromHex("050c0901010001"));
    int awake = 0;
    w->GrabCodeTask(awake);
    QCOMPARE(awake, 1);
    QString id;
    w->ReadDeviceId(id);
    QCOMPARE(id, QStringLiteral("3A7C02010001"));
    // the mouse key map: header, entries, sum over bytes 2 .. 4n+9
    QMap<uint16_t, QString> map;
    map.insert(10, QStringLiteral("0x01020304"));
    map.insert(14, QStringLiteral("a0b"));
    emu::ClearTraffic();
    QVERIFY(w->WriteMouseKeyMap(map));
    const auto keyMap = emu::TrafficLog(m_node, Traffic::SendFeature);
    QCOMPARE(keyMap.size(), 2); // the awake test, then the map
    const QByteArray rep = keyMap[1].bytes;
    QCOMPARE(rep.mid(10, 8), QByteArray::fromHex("0102030400000a0b"));
    unsigned sum = 0;
    for (int i = 2; i < 4 * 2 + 10; ++i)
        sum += uint8_t(rep[i]);
    QCOMPARE(int(uint8_t(rep[1])), int(sum & 0xFF));
    // keyboard's 0x82 device id read
    DeviceRecord *kb = Open(Model::KeyboardWired, 0);
    QHid_Work_Interface *kw = NewWorker(kb);
    QString kid;
    kw->ReadDeviceId(kid);
    QCOMPARE(kid, QStringLiteral("3A7C01010001"));
    // other devices report full battery without traffic
    QCOMPARE(int(kw->ReadBatteryLevel()), 100);
}

void TestDeviceTransport::helpers()
{
    QCOMPARE(HexStringToBytes(QStringLiteral("0x1A2B")), QByteArray::fromHex("00001a2b"));
    QCOMPARE(HexStringToBytes(QStringLiteral("01020304")), QByteArray::fromHex("01020304"));
    QVERIFY(HexStringToBytes(QStringLiteral("0102030405")).isEmpty());
    uchar *buf = HexListToBuffer({QStringLiteral("ff"), QStringLiteral("1"), QStringLiteral("zz")});
    QCOMPARE(int(buf[0]), 0xFF);
    QCOMPARE(int(buf[1]), 1);
    QCOMPARE(int(buf[2]), 0);
    free(buf);
    int hi = 0, lo = 0;
    BytesToHex(0xA7, hi, lo);
    QCOMPARE(hi, 10);
    QCOMPARE(lo, 7);
    uchar zeros[4] = {};
    QVERIFY(IsAllZero(zeros, 4));
    QVERIFY(IsAllZero(zeros, 0));
    QByteArray t(136, 'x');
    QCOMPARE(SliceKeyTable(reinterpret_cast<uchar *>(t.data()), 136, 9).size(), 2);
    QCOMPARE(SliceKeyTable(reinterpret_cast<uchar *>(t.data()), 136, 10).size(), 0);
    QVERIFY(EndsWithTrailer({1, 0x5A, 0xA5}, 3));
    QVERIFY(!EndsWithTrailer({1, 0x5A, 0xA5}, 4));
    // a key position whose end would overflow an int, or lie past the table, writes nothing
    QVERIFY(m_dir->writeFile(QStringLiteral("edge.xml"),
        "<KeyBoardRoot><KeyArrs><KeyArrsTilte ID=\"0\"/>"
        "<SubKey keypos=\"2147483647\" KeyValue=\"11111111\" KeyName=\"A\"/>"
        "<SubKey keypos=\"517\" KeyValue=\"22222222\" KeyName=\"B\"/>"
        "<SubKey keypos=\"516\" KeyValue=\"33333333\" KeyName=\"C\"/>"
        "</KeyArrs></KeyBoardRoot>"));
    uchar *table = KeyTableFromLayout(m_dir->filePath(QStringLiteral("edge.xml")), 0);
    QVERIFY(table);
    QByteArray want(520, '\0');
    want.replace(516, 4, QByteArray::fromHex("33333333"));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(table), 520), want);
    free(table);
    // the base QueueCommand takes the buffer (ASan would tell a leak or double free)
    QHid_Work_Interface w;
    w.QueueCommand(new uchar[16], 16, 0);
}

void TestDeviceTransport::missingTimeoutsFallBack()
{
    QHid_Work_Interface w;
    QCOMPARE(w.ReplyTimeout(), 6000);
    QCOMPARE(w.Retransmissions(), 3);
    w.SetReplyTimeout(0);
    w.SetRetransmissions(-1);
    QCOMPARE(w.ReplyTimeout(), 6000);
    QCOMPARE(w.Retransmissions(), 3);
    w.SetReplyTimeout(100);
    w.SetRetransmissions(1);
    QCOMPARE(w.ReplyTimeout(), 100);
    QCOMPARE(w.Retransmissions(), 1);
}

QTEST_MAIN(TestDeviceTransport)
#include "tst_device_transport.moc"
