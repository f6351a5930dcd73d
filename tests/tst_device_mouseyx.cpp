// The second-family mouse worker against the emulated mouse: settings read, change frames, DPI
// pieces, status notices on the second interface, bad replies and a mouse that vanishes; button
// assignments and the macro block upload with its readiness polls.
#include "app/ProductCatalogue.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/MouseConfigRecord.h"
#include "device/QHid_Threads_Manage.h"
#include "device/ZR_YX_MouseThread.h"
#include "mouse/LineKeyRecord.h"
#include "mouse/QLStyleBoraWidget.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuMouseYx.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/MouseKeyRows.h"
#include "tests/support/QueuedSignalSpy.h"
#include "tests/support/TestProgramDir.h"

#include <QSignalSpy>
#include <QtTest>

using emu::Traffic;

class TestDeviceMouseYx : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void readAllParsesImageAndInfo_data();
    void readAllParsesImageAndInfo();
    void readAllWithoutRecord_data();
    void readAllWithoutRecord();
    void changeFrames_data();
    void changeFrames();
    void changeForAnotherMouseSendsNothing();
    void dpiStagesRoundTrip();
    void badStageListsRefused_data();
    void badStageListsRefused();
    void codeQueryAndCheckOnline();
    void noticesOnTheSecondInterface();
    void vanishedMouse();
    void keysWithoutKeyFrame_data();
    void keysWithoutKeyFrame();
    void keyRowWritten_data();
    void keyRowWritten();
    void macroUpload_data();
    void macroUpload();
    void readinessNeverReached_data();
    void readinessNeverReached();
    void macrosRefused_data();
    void macrosRefused();
    void mouseVanishesDuringUpload();
    void keysFromTheManagerThread();

private:
    // The mouse page with one column of these rows, the button key selected.
    void Rows(const QVector<LineKeyRecord> &records, uchar key);
    void WriteMacro(const QString &name, const QByteArray &bytes, int runWay, int runOne);
    void Open(bool wired);
    QVector<QByteArray> Sent() const;
    void WriteParams(uint code, const QString &model, const QString &value, const QString &name = QStringLiteral("QUORIX QX3"));

    TestProgramDir *m_dir = nullptr;
    QList<DeviceRecord *> m_records;
    std::shared_ptr<emu::MouseYx> m_dev;
    uint32_t m_node = 0;
    DeviceRecord *m_cmd = nullptr;
    DeviceRecord *m_listen = nullptr;
    ZR_YX_MouseThread *m_worker = nullptr;
    QLStyleMouseTabWidget *m_tab = nullptr;
};

static LineKeyRecord KeyRow(uint16_t key, const QString &code)
{
    LineKeyRecord r;
    r.rect = QRect(0, 0, 80, 20);
    r.defaultText = QStringLiteral("Key");
    r.defaultCode = QStringLiteral("00000000");
    r.sendAddress = key;
    r.reName = QStringLiteral("Assigned");
    r.recode = code;
    r.valueType = 0;
    return r;
}

static LineKeyRecord MacroRow(uint16_t key, const QString &name)
{
    LineKeyRecord r = KeyRow(key, QString());
    r.reName = name;
    r.valueType = 1;
    return r;
}

static QByteArray Pattern(int n, int seed)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b.append(char((seed + 37 * i) & 0xFF));
    return b;
}

static uint16_t Sum16(const QByteArray &b)
{
    uint16_t s = 0;
    for (char c : b)
        s = uint16_t(s + uint8_t(c));
    return s;
}

static QByteArray Hex(const char *text)
{
    return QByteArray::fromHex(text);
}

static QByteArray Frame(const QByteArray &from2)
{
    QByteArray f(64, '\0');
    f[0] = 3;
    for (int i = 0; i < from2.size(); ++i)
        f[2 + i] = from2[i];
    unsigned s = 0;
    for (int i = 2; i < 64; ++i)
        s += uint8_t(f[i]);
    f[1] = char(s);
    return f;
}

void TestDeviceMouseYx::init()
{
    emu::Reset();
    emu::SetTimeScale(0.05);
    m_dir = new TestProgramDir;
    QVERIFY(m_dir->isValid());
    ClearProductListCache();
}

void TestDeviceMouseYx::cleanup()
{
    QVERIFY(HidNoModelErrors());
    if (m_worker) {
        m_worker->StopListening();
        m_worker->wait(2000);
    }
    delete m_worker;
    m_worker = nullptr;
    delete m_tab;
    m_tab = nullptr;
    HidCloseAll(m_records);
    emu::Reset();
    m_dev.reset();
    delete m_dir;
    m_dir = nullptr;
}

void TestDeviceMouseYx::Open(bool wired)
{
    m_dev = std::static_pointer_cast<emu::MouseYx>(
        emu::MakeDevice(wired ? emu::Model::SecondFamilyWired : emu::Model::SecondFamilyReceiver));
    m_node = emu::Plug(m_dev);
    QList<DeviceRecord *> found;
    HID_API::OpenDevices(found);
    m_records += found;
    m_cmd = HidRecordOfKind(found, m_node, wired ? 6 : 7);
    m_listen = HidRecordOfKind(found, m_node, wired ? 8 : 9);
    QVERIFY(m_cmd && m_listen);
    QCOMPARE(m_cmd->deviceId, m_listen->deviceId); // one device id: one worker for both
    m_cmd->name = m_listen->name = QStringLiteral("QUORIX QX3");
    // as the device list page's code read leaves them
    m_cmd->connectionState = m_listen->connectionState = wired ? StateWired : StateWirelessAwake;
    m_worker = new ZR_YX_MouseThread;
    m_worker->SetCommandDevice(m_cmd);
    m_worker->SetDevice(m_listen);
    m_worker->m_DeviceId = m_cmd->deviceId;
    emu::ClearTraffic();
}

QVector<QByteArray> TestDeviceMouseYx::Sent() const
{
    QVector<QByteArray> out;
    for (const Traffic &t : emu::TrafficLog(m_node, Traffic::SendFeature))
        out.append(t.bytes);
    return out;
}

void TestDeviceMouseYx::WriteParams(uint code, const QString &model, const QString &value, const QString &name)
{
    const QString text = QStringLiteral("[Zr_Mouse]\nMouseName=%1\n[ChangeParam]\nChangeCode=%2\nModel=%3\n[%3]\nvalue=%4\n"
                                        "[MotionSync]\nvalue=true\n[modified]\nvalue=false\n[Ripple]\nvalue=true\n")
                             .arg(name).arg(code).arg(model, value);
    QVERIFY(m_dir->writeFile(QStringLiteral("Products/QX3/UserConfig/MouseParamConfig.ini"), text.toUtf8()));
}

void TestDeviceMouseYx::readAllParsesImageAndInfo_data()
{
    QTest::addColumn<bool>("wired");
    QTest::addColumn<int>("rateDigit");
    QTest::newRow("wired: high digit") << true << 1;
    QTest::newRow("receiver: low digit") << false << 2;
}

void TestDeviceMouseYx::readAllParsesImageAndInfo()
{
    QFETCH(bool, wired);
    QFETCH(int, rateDigit);
    Open(wired);
    QByteArray image = m_dev->Image();
    image[1] = 0x12;
    image[2] = 0x35;         // stage 3 of 5
    image[8] = 0x3C;         // sleep 30
    image[19] = char(0x13);  // fifth stage 1000
    image[20] = 0;
    image[55] = char(0xAB);  // a byte no setting names survives
    m_dev->SetImage(image);
    m_worker->SynchronizingDeviceData();
    const std::shared_ptr<MouseConfigRecord> r = m_cmd->mouseData;
    QVERIFY(r);
    QCOMPARE(Sent().size(), 8);
    QCOMPARE(Sent().at(0), Frame(Hex("5000024f80")));
    QCOMPARE(Sent().at(7), Frame(Hex("50000f4f45")));
    QCOMPARE(r->currentStage, uint8_t(3));
    QCOMPARE(r->stageCount, uint8_t(5));
    QCOMPARE(r->dpiValues, QVector<uint32_t>({400, 800, 1600, 3200, 1000}));
    QCOMPARE(r->currentDpi, 1600u);
    QCOMPARE(r->sleep, 30u);
    QCOMPARE(r->reportRate, uint16_t(rateDigit));
    QCOMPARE(r->sensorCode, uint8_t(0xD7));
    QCOMPARE(r->liftOff, uint16_t(1));
    QCOMPARE(r->debounce, uint16_t(6));
    QCOMPARE(r->motionSync, uint16_t(1));
    QCOMPARE(r->angleSnapping, uint16_t(1));
    QCOMPARE(r->rippleControl, uint16_t(0));
    QCOMPARE(r->modeBits, uint16_t(1));
    QCOMPARE(r->lightEffect, uint16_t(0xFFFF));
    QCOMPARE(r->secondFamily, uint8_t(1));
    QCOMPARE(r->batteryLevel, uint8_t(77));
    QCOMPARE(r->maxReportRate, 8000u);
    QCOMPARE(r->maxDpi, 26000u);
    QCOMPARE(r->image, image); // the image read back is the mouse's, byte for byte
}

void TestDeviceMouseYx::readAllWithoutRecord_data()
{
    QTest::addColumn<int>("fault");
    QTest::newRow("receiver asleep") << 0;
    QTest::newRow("reply with a wrong tag: read all the same") << 1;
    QTest::newRow("reply with a wrong sum: read all the same") << 2;
    QTest::newRow("feature reports fail") << 3;
}

void TestDeviceMouseYx::readAllWithoutRecord()
{
    QFETCH(int, fault);
    Open(false);
    m_cmd->mouseData = std::make_shared<MouseConfigRecord>();
    if (fault == 0)
        m_cmd->connectionState = StateWirelessAsleep;
    if (fault == 1)
        m_dev->SetBadReplyTag(true);
    if (fault == 2)
        m_dev->SetBadReplySum(true);
    if (fault == 3) {
        emu::Knobs k;
        k.failFeatures = true;
        m_dev->setKnobs(k);
    }
    m_worker->SynchronizingDeviceData();
    if (fault == 1 || fault == 2) { // the reply bytes are used, not their tag or sum
        QVERIFY(m_cmd->mouseData);
        QCOMPARE(m_cmd->mouseData->image, m_dev->Image());
        return;
    }
    QVERIFY(!m_cmd->mouseData); // no record of zeros
    if (fault == 0)
        QVERIFY(Sent().isEmpty());
    else
        QVERIFY(Sent().size() <= 1); // stops at the first bad exchange
}

void TestDeviceMouseYx::changeFrames_data()
{
    QTest::addColumn<uint>("code");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("imageByte");
    QTest::addColumn<int>("imageValue");
    QTest::newRow("1 sleep") << 1u << "Seep" << "45" << Hex("5001313508" "5a") << 8 << 0x5A;
    QTest::newRow("2 rate 4000 at 8000") << 2u << "Ror" << "4000" << Hex("5001313501" "55") << 1 << 0x55;
    QTest::newRow("2 rate 300") << 2u << "Ror" << "300" << Hex("5001313501" "00") << 1 << 0x00;
    // the bytes the change does not concern are the mouse's own (lift-off 1, debounce 6, flags 0x61)
    QTest::newRow("5 debounce") << 5u << "Shake" << "9" << Hex("5003323503" "010961") << 4 << 9;
    QTest::newRow("7 lift-off") << 7u << "Lod" << "2" << Hex("5003323503" "020661") << 3 << 2;
    QTest::newRow("3 flags") << 3u << "MotionSync" << "1" << Hex("5003323503" "010670") << 5 << 0x70;
}

void TestDeviceMouseYx::changeFrames()
{
    QFETCH(uint, code);
    QFETCH(QString, model);
    QFETCH(QString, value);
    QFETCH(QByteArray, frame);
    QFETCH(int, imageByte);
    QFETCH(int, imageValue);
    Open(true);
    m_worker->SynchronizingDeviceData();
    QVERIFY(m_cmd->mouseData);
    WriteParams(code, model, value);
    emu::ClearTraffic();
    m_worker->SetParam(uchar(code), 0, 0, 0, 0, 0, 0);
    QCOMPARE(Sent().size(), 1);
    QCOMPARE(Sent().at(0), Frame(frame));
    QCOMPARE(uint8_t(m_dev->Image().at(imageByte)), uint8_t(imageValue));
    QCOMPARE(uint8_t(m_cmd->mouseData->image.at(imageByte)), uint8_t(imageValue));
}

void TestDeviceMouseYx::changeForAnotherMouseSendsNothing()
{
    Open(true);
    m_worker->SynchronizingDeviceData();
    WriteParams(1, QStringLiteral("Seep"), QStringLiteral("20"), QStringLiteral("QUORIX QM8"));
    emu::ClearTraffic();
    m_worker->SetParam(1, 0, 0, 0, 0, 0, 0);
    QVERIFY(Sent().isEmpty());
    WriteParams(1, QStringLiteral("Seep"), QStringLiteral("200"));
    m_worker->SetParam(1, 0, 0, 0, 0, 0, 0); // 400 does not fit the sleep byte
    QVERIFY(Sent().isEmpty());
    m_cmd->mouseData.reset();
    WriteParams(5, QStringLiteral("Shake"), QStringLiteral("3"));
    m_worker->SetParam(5, 0, 0, 0, 0, 0, 0); // no image: the other two bytes are unknown
    QVERIFY(Sent().isEmpty());
}

void TestDeviceMouseYx::dpiStagesRoundTrip()
{
    Open(false);
    m_worker->SynchronizingDeviceData();
    std::shared_ptr<MouseConfigRecord> r = m_cmd->mouseData;
    QVERIFY(r);
    r->dpiValues = {100, 1200, 2400, 26000, 50, 5000};
    r->currentStage = 4;
    emu::ClearTraffic();
    m_worker->WriteDpiTable();
    const QVector<QByteArray> sent = Sent();
    QCOMPARE(sent.size(), 7); // the receiver is asked whether the mouse is awake first
    QCOMPARE(sent.at(0), Frame(Hex("50000147")));
    QCOMPARE(sent.at(1).mid(2, 5), Hex("500a903600"));
    QCOMPARE(sent.at(6).mid(2, 5), Hex("5006953732"));
    QCOMPARE(m_dev->Image(), r->image);
    QCOMPARE(uint8_t(m_dev->Image().at(2)), uint8_t(0x46));
    m_worker->SynchronizingDeviceData();
    QCOMPARE(m_cmd->mouseData->dpiValues, QVector<uint32_t>({100, 1200, 2400, 26000, 50, 5000}));
    QCOMPARE(m_cmd->mouseData->currentDpi, 26000u);
}

void TestDeviceMouseYx::badStageListsRefused_data()
{
    QTest::addColumn<QVector<uint32_t>>("dpis");
    QTest::addColumn<int>("stage");
    QTest::newRow("no stages") << QVector<uint32_t>() << 1;
    QTest::newRow("16 stages") << QVector<uint32_t>(16, 800) << 1;
    QTest::newRow("23 stages past the image") << QVector<uint32_t>(23, 800) << 1;
    QTest::newRow("below the step") << QVector<uint32_t>({800, 20}) << 1;
    QTest::newRow("stage past the list") << QVector<uint32_t>({800, 1600}) << 3;
    QTest::newRow("stage 0") << QVector<uint32_t>({800}) << 0;
}

void TestDeviceMouseYx::badStageListsRefused()
{
    QFETCH(QVector<uint32_t>, dpis);
    QFETCH(int, stage);
    Open(true);
    m_worker->SynchronizingDeviceData();
    const QByteArray before = m_dev->Image();
    m_cmd->mouseData->dpiValues = dpis;
    m_cmd->mouseData->currentStage = uint8_t(stage);
    emu::ClearTraffic();
    m_worker->WriteDpiTable();
    QVERIFY(Sent().isEmpty());
    QCOMPARE(m_dev->Image(), before);
    QCOMPARE(m_cmd->mouseData->image.size(), 56);
}

void TestDeviceMouseYx::codeQueryAndCheckOnline()
{
    Open(false);
    QCOMPARE(m_worker->ReadDeviceCode(), QStringLiteral("3a7c03010001"));
    QCOMPARE(Sent().at(0), Frame(Hex("50000147")));
    QCOMPARE(m_cmd->CodeText(), QStringLiteral("3a7c03010001")); // stored though the catalogue is upper case
    QCOMPARE(m_listen->CodeText(), QStringLiteral("3a7c03010001"));
    QVERIFY(m_worker->CheckOnline());
    m_dev->SetAwake(false);
    QVERIFY(!m_worker->CheckOnline()); // an asleep mouse is not reported online
    emu::ClearTraffic();
    m_worker->ApplyDefaults();
    QCOMPARE(m_dev->DefaultRestores(), 0);
    QVERIFY(!m_worker->IsDeviceOnline());
    QCOMPARE(m_worker->ReadDeviceCode(), QStringLiteral("000000000000"));
    QCOMPARE(m_cmd->connectionState.load(), uint8_t(StateWirelessAsleep));
    QCOMPARE(m_listen->connectionState.load(), uint8_t(StateWirelessAsleep));
    m_worker->ResetDevice();
    QCOMPARE(m_dev->FactoryResets(), 1);
}

void TestDeviceMouseYx::noticesOnTheSecondInterface()
{
    Open(false);
    QHid_Threads_Manage manager;
    ZR_YX_MouseThread *worker = m_worker;
    m_worker = nullptr; // the manager owns it now
    QVERIFY(manager.AddWorker(m_cmd->deviceId, worker)); // starts the listener
    QSignalSpy events(&manager, &QHid_Threads_Manage::UpdataHidDevice);
    // Sent by the listener thread.
    QueuedSignalSpy levels(worker, QOverload<uint, uchar>::of(&QHid_Work_Interface::Mouse_Dpi_Chenge));
    m_dev->InjectNotice(2, 0);
    QTRY_COMPARE(events.count(), 1);
    QCOMPARE(events.at(0).at(1).value<uchar>(), uchar(2));
    QCOMPARE(m_cmd->connectionState.load(), uint8_t(StateWirelessAsleep));
    QCOMPARE(m_listen->connectionState.load(), uint8_t(StateWirelessAsleep));
    m_dev->InjectNotice(2, 1); // awake without a code: the code is read on the command interface
    QTRY_COMPARE(events.count(), 2);
    QCOMPARE(m_cmd->connectionState.load(), uint8_t(StateWirelessAwake));
    QCOMPARE(m_listen->connectionState.load(), uint8_t(StateWirelessAwake));
    QCOMPARE(m_cmd->CodeText(), QStringLiteral("3a7c03010001"));
    m_dev->InjectNotice(5, 42);
    QTRY_COMPARE(events.count(), 3);
    QCOMPARE(events.at(2).at(1).value<uchar>(), uchar(5));
    m_dev->InjectNotice(3, 2);
    QTRY_COMPARE(levels.count(), 1);
    QCOMPARE(levels.at(0).at(1).value<uchar>(), uchar(2));
    QElapsedTimer stop;
    stop.start();
    manager.RemoveWorker(m_cmd->deviceId);
    QVERIFY(stop.elapsed() < 1500);
}

void TestDeviceMouseYx::vanishedMouse()
{
    Open(true);
    m_worker->SynchronizingDeviceData();
    QVERIFY(m_cmd->mouseData);
    m_worker->StartListening();
    QTest::qWait(30);
    emu::Unplug(m_node);
    QTRY_VERIFY(!m_worker->isRunning()); // the listener ends instead of spinning on errors
    WriteParams(1, QStringLiteral("Seep"), QStringLiteral("20"));
    m_worker->SetParam(1, 0, 0, 0, 0, 0, 0);
    m_worker->WriteDpiTable();
    QElapsedTimer t;
    t.start();
    m_worker->SynchronizingDeviceData();
    QVERIFY(t.elapsed() < 2000);
    QVERIFY(!m_cmd->mouseData);
    // a worker whose command interface never came
    ZR_YX_MouseThread lone;
    lone.SetDevice(m_listen);
    QVERIFY(!lone.CheckOnline());
    QVERIFY(lone.ReadDeviceCode().isEmpty());
    lone.SynchronizingDeviceData();
    lone.WriteDpiTable();
    const uchar wake[4] = {3, 0xFA, 2, 1};
    QVERIFY(lone.HandleNotice(wake, 4));
}

void TestDeviceMouseYx::Rows(const QVector<LineKeyRecord> &records, uchar key)
{
    m_tab = ShowKeyRows(QStringLiteral("QX3.png"), records, key);
}

void TestDeviceMouseYx::WriteMacro(const QString &name, const QByteArray &bytes, int runWay, int runOne)
{
    QVERIFY(WriteMacroFile(*m_dir, QStringLiteral("QX3"), name, bytes, runWay, runOne));
}

void TestDeviceMouseYx::keysWithoutKeyFrame_data()
{
    QTest::addColumn<int>("situation");
    QTest::addColumn<int>("restores");
    QTest::addColumn<int>("busy");
    QTest::newRow("all keys back to defaults") << 0 << 1 << 1;
    QTest::newRow("asleep behind the receiver") << 1 << 0 << 0;
    QTest::newRow("no rows") << 2 << 0 << 0;
    QTest::newRow("no row for the button") << 3 << 0 << 1;
    QTest::newRow("no command interface") << 4 << 0 << 0;
}

void TestDeviceMouseYx::keysWithoutKeyFrame()
{
    QFETCH(int, situation);
    QFETCH(int, restores);
    QFETCH(int, busy);
    Open(false);
    WriteMacro(QStringLiteral("m1"), Pattern(12, 1), 1, 1);
    const uchar key = situation == 0 ? 0xFF : (situation == 3 ? 7 : 1);
    if (situation == 2)
        Rows({}, key);
    else
        Rows({KeyRow(1, QStringLiteral("02001000")), MacroRow(2, QStringLiteral("m1"))}, key);
    if (situation == 1)
        m_dev->SetAwake(false);
    if (situation == 4)
        m_worker->SetCommandDevice(nullptr);
    QSignalSpy shown(m_worker, &QHid_Work_Interface::ShowBusy);
    QSignalSpy hidden(m_worker, &QHid_Work_Interface::HideBusy);
    m_worker->m_TaskCode = 18;
    m_worker->WriteKeys();
    QVector<QByteArray> want;
    if (situation != 4)
        want << Frame(Hex("50000147"));
    if (restores)
        want << Frame(Hex("50000f0601"));
    QCOMPARE(Sent(), want);
    QCOMPARE(m_dev->DefaultRestores(), restores);
    QVERIFY(m_dev->KeyAssignments().isEmpty());
    QCOMPARE(m_dev->Uploads(), 0);
    QCOMPARE(shown.count(), busy);
    QCOMPARE(hidden.count(), busy);
    QCOMPARE(int(m_worker->m_TaskCode), 0);
}

void TestDeviceMouseYx::keyRowWritten_data()
{
    QTest::addColumn<bool>("wired");
    QTest::addColumn<int>("busyPolls");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QByteArray>("sent"); // empty: no key frame
    QTest::newRow("wired, ready at once") << true << 0 << "02001000" << Hex("5004203003" "02001000");
    QTest::newRow("receiver, busy for 3 reads") << false << 3 << "0x0A0B0C0D" << Hex("5004203003" "0a0b0c0d");
    QTest::newRow("short code is right-aligned") << true << 1 << "1E" << Hex("5004203003" "0000001e");
    QTest::newRow("code of five bytes not sent") << true << 1 << "0102030405" << QByteArray();
    QTest::newRow("code that is not hex not sent") << false << 1 << "02zz1000" << QByteArray();
}

void TestDeviceMouseYx::keyRowWritten()
{
    QFETCH(bool, wired);
    QFETCH(int, busyPolls);
    QFETCH(QString, code);
    QFETCH(QByteArray, sent);
    Open(wired);
    m_dev->SetBusyPolls(busyPolls);
    // the button's first row with key index 3 has a type the writers skip
    LineKeyRecord skipped = KeyRow(3, QStringLiteral("11111111"));
    skipped.valueType = 2;
    Rows({MacroRow(1, QStringLiteral("m1")), skipped, KeyRow(3, code)}, 3);
    WriteMacro(QStringLiteral("m1"), Pattern(12, 1), 1, 1);
    QSignalSpy hidden(m_worker, &QHid_Work_Interface::HideBusy);
    m_worker->WriteKeys();
    QVector<QByteArray> frames = Sent();
    if (!wired)
        QCOMPARE(frames.takeFirst(), Frame(Hex("50000147")));
    QCOMPARE(hidden.count(), 1);
    QCOMPARE(m_dev->Uploads(), 0); // a key row uploads no macro
    if (sent.isEmpty()) {
        QVERIFY(frames.isEmpty());
        QVERIFY(m_dir->readFile(QStringLiteral("Log.txt")).contains("key 3 not written"));
        return;
    }
    QCOMPARE(frames, QVector<QByteArray>({Frame(sent)}));
    QCOMPARE(m_dev->KeyAssignments().keys(), QList<uint8_t>({3}));
    QCOMPARE(m_dev->KeyAssignments().value(3), sent.mid(5));
    // polled until ready (every busy read and the ready one), nothing after
    const QVector<Traffic> log = emu::TrafficLog(m_node);
    int readsAfterKey = 0;
    while (readsAfterKey < log.size() && log.at(log.size() - 1 - readsAfterKey).op == Traffic::GetFeature)
        ++readsAfterKey;
    QCOMPARE(readsAfterKey, busyPolls + 1);
}

void TestDeviceMouseYx::macroUpload_data()
{
    QTest::addColumn<bool>("wired");
    QTest::newRow("through the receiver") << false;
    QTest::newRow("wired") << true;
}

void TestDeviceMouseYx::macroUpload()
{
    QFETCH(bool, wired);
    Open(wired);
    // two macros of 28 bytes: a table of 2 x 4 bytes and 56 bytes of records, 64 in all
    const QByteArray m1 = Pattern(28, 3), m2 = Pattern(28, 200);
    WriteMacro(QStringLiteral("m1"), m1, 2, 5);
    WriteMacro(QStringLiteral("m2"), m2, 4, 1);
    Rows({MacroRow(1, QStringLiteral("m2")), KeyRow(2, QStringLiteral("02001000")), MacroRow(4, QStringLiteral("m1")),
          MacroRow(5, QStringLiteral("m2"))},
         4);
    const QByteArray data = Hex("08001c00" "24001c00") + m2 + m1;
    QCOMPARE(data.size(), 64);
    const uint16_t q = Sum16(data);
    QSignalSpy hidden(m_worker, &QHid_Work_Interface::HideBusy);
    m_worker->m_TaskCode = 18;
    m_worker->WriteKeys();

    const QByteArray w = wired ? Hex("00") : Hex("01");
    QVector<QByteArray> want;
    if (!wired)
        want << Frame(Hex("50000147")) << Frame(Hex("653a000144000944"));
    want << Frame(Hex("653a01") + w + Hex("570106570340000000"));
    if (!wired)
        want << Frame(Hex("653a020152020252"));
    want << Frame(Hex("653a03") + w + Hex("55030955000000000010"));
    want << Frame(Hex("653a00") + w + Hex("500419") + data.mid(0, 25));
    want << Frame(Hex("653a00") + w + Hex("500419") + data.mid(25, 25));
    want << Frame(Hex("653a00") + w + Hex("50040e") + data.mid(50, 14));
    want << Frame(Hex("653a60") + w + Hex("51600351") + QByteArray(1, char(q & 0xFF)) + QByteArray(1, char(q >> 8)));
    want << Frame(Hex("653a70") + w + Hex("5e70015e"));
    // every macro row, in row order: M is the index of its name in the uploaded list
    want << Frame(Hex("5004203001" "03040100")) << Frame(Hex("5004203004" "03020501")) << Frame(Hex("5004203005" "03040100"));
    QCOMPARE(Sent(), want);
    if (!wired) { // the fixed sums come out of the rule
        QCOMPARE(uint8_t(Sent().at(1).at(1)), uint8_t(0x31));
        QCOMPARE(uint8_t(Sent().at(3).at(1)), uint8_t(0x4A));
    }
    QCOMPARE(m_dev->Uploads(), 1);
    QCOMPARE(m_dev->MacroData(), data);
    QCOMPARE(m_dev->KeyAssignments().keys(), QList<uint8_t>({1, 4, 5}));
    QCOMPARE(m_dev->ReadinessPolls(), 6); // one busy read after U, sum, end and each macro key
    QCOMPARE(hidden.count(), 1);
    QCOMPARE(int(m_worker->m_TaskCode), 0);
}

void TestDeviceMouseYx::readinessNeverReached_data()
{
    QTest::addColumn<int>("spell"); // the busy spell that never ends
    QTest::addColumn<QString>("logged");
    QTest::newRow("after the upload start") << 0 << "not ready after the upload start";
    QTest::newRow("after the sum") << 1 << "not ready after the upload sum";
    QTest::newRow("after the end") << 2 << "not ready after the upload end";
    QTest::newRow("after the first macro key") << 3 << "not ready after macro key 1";
}

void TestDeviceMouseYx::readinessNeverReached()
{
    QFETCH(int, spell);
    QFETCH(QString, logged);
    Open(false);
    WriteMacro(QStringLiteral("m1"), Pattern(32, 9), 1, 1);
    Rows({MacroRow(1, QStringLiteral("m1")), MacroRow(2, QStringLiteral("m1"))}, 1);
    m_dev->SetNeverReadyFrom(spell);
    QSignalSpy hidden(m_worker, &QHid_Work_Interface::HideBusy);
    m_worker->m_TaskCode = 18;
    m_worker->WriteKeys();
    // the upload goes on to its last frame after each wait in vain; the busy mouse takes nothing
    QCOMPARE(Sent().last().mid(2, 5), Hex("5004203002"));
    // earlier spells took one busy read each; the stuck one eleven per wait from then on
    QCOMPARE(m_dev->ReadinessPolls(), spell + 11 * (5 - spell));
    QCOMPARE(m_dev->Uploads(), spell >= 2 ? 1 : 0);
    QCOMPARE(m_dev->KeyAssignments().size(), spell == 3 ? 1 : 0);
    QVERIFY(m_dir->readFile(QStringLiteral("Log.txt")).contains(logged.toUtf8()));
    QCOMPARE(hidden.count(), 1);
    QCOMPARE(int(m_worker->m_TaskCode), 0);
}

void TestDeviceMouseYx::macrosRefused_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<uint>("text");
    QTest::newRow("missing macro file") << 0 << 179u;
    QTest::newRow("malformed macro file") << 1 << 179u;
    QTest::newRow("one of two macros missing") << 2 << 179u;
    QTest::newRow("macros past 64 KiB together") << 3 << 131u;
}

void TestDeviceMouseYx::macrosRefused()
{
    QFETCH(int, fault);
    QFETCH(uint, text);
    Open(false);
    QVector<LineKeyRecord> rows = {MacroRow(1, QStringLiteral("m1")), MacroRow(2, QStringLiteral("m2"))};
    if (fault == 1)
        QVERIFY(m_dir->writeFile(QStringLiteral("Products/QX3/moidefConfig/m1.bin"), "{\"m1\": {\"mdfdata\": \"0a0"));
    if (fault == 2)
        WriteMacro(QStringLiteral("m1"), Pattern(20, 1), 1, 1);
    if (fault == 3) { // each fits a macro file; together they pass the 16-bit lengths
        for (int i = 1; i <= 33; ++i) {
            WriteMacro(QStringLiteral("m%1").arg(i), Pattern(2040, i), 1, 1);
            if (i > 2)
                rows << MacroRow(uint16_t(i), QStringLiteral("m%1").arg(i));
        }
    }
    Rows(rows, 2);
    QSignalSpy boxes(m_worker, &QHid_Work_Interface::MessgBox);
    QSignalSpy hidden(m_worker, &QHid_Work_Interface::HideBusy);
    m_worker->WriteKeys();
    QCOMPARE(Sent(), QVector<QByteArray>({Frame(Hex("50000147"))})); // nothing but the wake query
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.at(0).at(0).toString(), GetLangText(text));
    QCOMPARE(hidden.count(), 1);
}

void TestDeviceMouseYx::mouseVanishesDuringUpload()
{
    Open(true);
    WriteMacro(QStringLiteral("m1"), Pattern(80, 4), 1, 1);
    Rows({MacroRow(1, QStringLiteral("m1"))}, 1);
    m_dev->SetVanishAfterFrames(4); // W, U and two of the four data frames
    QSignalSpy hidden(m_worker, &QHid_Work_Interface::HideBusy);
    m_worker->WriteKeys();
    const QVector<Traffic> sends = emu::TrafficLog(m_node, Traffic::SendFeature);
    QCOMPARE(sends.size(), 5); // the failed third data frame ends it
    QCOMPARE(sends.last().result, -1);
    QCOMPARE(m_dev->Uploads(), 0);
    QVERIFY(m_dev->KeyAssignments().isEmpty());
    QVERIFY(m_dir->readFile(QStringLiteral("Log.txt")).contains("second-family frame not sent"));
    QCOMPARE(hidden.count(), 1);
}

void TestDeviceMouseYx::keysFromTheManagerThread()
{
    Open(false);
    QHid_Threads_Manage manager;
    ZR_YX_MouseThread *worker = m_worker;
    m_worker = nullptr; // the manager owns it now
    QVERIFY(manager.AddWorker(m_cmd->deviceId, worker));
    manager.SetCurrentDeviceId(m_cmd->deviceId);
    WriteMacro(QStringLiteral("m1"), Pattern(40, 5), 3, 0);
    Rows({KeyRow(2, QStringLiteral("02001000")), MacroRow(6, QStringLiteral("m1"))}, 6);
    // the page's change takes the copy the worker thread reads
    QLStyleBoraWidget::instance()->on_LineValueDtdaChange();
    m_tab->m_CurrentKeyIndex = 2;
    manager.on_MouseKeysValueCHange();
    QTRY_COMPARE(m_dev->KeyAssignments().value(6), Hex("03030000"));
    QTRY_VERIFY(!manager.isRunning());
    QCOMPARE(m_dev->MacroData(), Hex("04002800") + Pattern(40, 5));
    QVERIFY(!m_dev->KeyAssignments().contains(2));
    manager.RemoveWorker(m_cmd->deviceId);
}

QTEST_MAIN(TestDeviceMouseYx)
#include "tst_device_mouseyx.moc"
