// The second-family mouse worker against the emulated mouse: settings read, change frames, DPI
// pieces, status notices on the second interface, bad replies and a mouse that vanishes.
#include "app/ProductCatalogue.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/MouseConfigRecord.h"
#include "device/QHid_Threads_Manage.h"
#include "device/ZR_YX_MouseThread.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuMouseYx.h"
#include "tests/support/HidTestSupport.h"
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

private:
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
};

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
    QTest::newRow("reply with a wrong tag") << 1;
    QTest::newRow("reply with a wrong sum") << 2;
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
    QVERIFY(!m_cmd->mouseData); // no record of zeros or of a garbled reply
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
    QSignalSpy levels(worker, QOverload<uint, uchar>::of(&QHid_Work_Interface::Mouse_Dpi_Chenge));
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

QTEST_MAIN(TestDeviceMouseYx)
#include "tst_device_mouseyx.moc"
