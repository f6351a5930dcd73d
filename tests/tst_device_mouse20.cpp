// The 20/520 mouse worker against the emulated mouse: image read and parse, change codes,
// DPI stages and colours, restore, status reports, button assignments and macros, and a mouse
// that vanishes.
#include "app/ProductCatalogue.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/MouseConfigRecord.h"
#include "device/QHid_Threads_Manage.h"
#include "device/ZR_2_0_MouseThread.h"
#include "mouse/QLStyleBoraWidget.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuMouse20.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/MouseKeyRows.h"
#include "tests/support/QueuedSignalSpy.h"
#include "tests/support/TestProgramDir.h"

#include <QSignalSpy>
#include <QtTest>

using emu::Traffic;

class TestDeviceMouse20 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void imageReadAndParse();
    void badImageSumDropsRecord();
    void changeCodes_data();
    void changeCodes();
    void badParamFileWritesNothing_data();
    void badParamFileWritesNothing();
    void dpiStagesAndColours();
    void mapOutsideImage();
    void restoreFromProductData();
    void statusReportsBecomeEvents();
    void dpiLevelFromMouse();
    void vanishedMouse();
    void keyMapReport();
    void macroEntriesAndBlock();
    void macroPieces_data();
    void macroPieces();
    void refusedMacros_data();
    void refusedMacros();
    void keyWritesThatFail();
    void keysThroughManager();

private:
    void SetRows(const QVector<LineKeyRecord> &records);
    void WriteMacro(const QString &name, const QByteArray &records, int runWay = 1, int runOne = 1);
    void Open(bool wired = true);
    void WriteParams(uint code, const QString &model, const QString &value);
    void WriteMap(const QString &dpis);

    TestProgramDir *m_dir = nullptr;
    QList<DeviceRecord *> m_records;
    std::shared_ptr<emu::EmuMouse20> m_dev;
    uint32_t m_node = 0;
    DeviceRecord *m_rec = nullptr;
    ZR_2_0_MouseThread *m_worker = nullptr;
    QLStyleMouseTabWidget *m_tab = nullptr;
};

static LineKeyRecord Row(uint16_t at, const QString &code, uint8_t type = 0, const QString &name = QString(),
                         const QString &recode = QString())
{
    LineKeyRecord r;
    r.sendAddress = at;
    r.defaultCode = code;
    r.valueType = type;
    r.reName = name;
    r.recode = recode;
    return r;
}

static uint8_t SumFrom2(const QByteArray &b)
{
    unsigned s = 0;
    for (int i = 2; i < b.size(); ++i)
        s += uint8_t(b[i]);
    return uint8_t(s);
}

void TestDeviceMouse20::init()
{
    emu::Reset();
    emu::SetTimeScale(0.05);
    m_dir = new TestProgramDir;
    QVERIFY(m_dir->isValid());
    ClearProductListCache();
}

void TestDeviceMouse20::cleanup()
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

void TestDeviceMouse20::Open(bool wired)
{
    m_dev = std::static_pointer_cast<emu::EmuMouse20>(emu::MakeDevice(wired ? emu::Model::MouseWired : emu::Model::MouseReceiver));
    m_node = emu::Plug(m_dev);
    QList<DeviceRecord *> found;
    HID_API::OpenDevices(found);
    m_records += found;
    m_rec = HidRecordOfKind(found, m_node, wired ? 2 : 3);
    QVERIFY(m_rec);
    // as the device list page leaves a mouse
    m_rec->subType = 2;
    m_rec->deviceType = 1;
    m_rec->connectionState = wired ? StateWired : StateWirelessAwake;
    m_worker = new ZR_2_0_MouseThread;
    m_worker->SetDevice(m_rec);
    m_worker->m_DeviceId = m_rec->deviceId;
    emu::ClearTraffic();
}

void TestDeviceMouse20::WriteParams(uint code, const QString &model, const QString &value)
{
    const QString text = QStringLiteral("[ChangeParam]\nChangeCode=%1\nModel=%2\n[%2]\nvalue=%3\n").arg(code).arg(model, value);
    QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/UserConfig/MouseParamConfig.ini"), text.toUtf8()));
}

void TestDeviceMouse20::WriteMap(const QString &dpis)
{
    QByteArray xml = m_dir->readFile(QStringLiteral("Products/QM8/DpiEditConfig.xml"));
    QString text = QString::fromUtf8(xml);
    text.replace(QRegularExpression(QStringLiteral("<MouseDPisAddress[^>]*/>")), dpis);
    xml = text.toUtf8();
    QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/DpiEditConfig.xml"), xml));
}

void TestDeviceMouse20::imageReadAndParse()
{
    Open();
    m_dev->SetBattery(64);
    m_worker->SynchronizingDeviceData();
    const std::shared_ptr<MouseConfigRecord> r = m_rec->mouseData;
    QVERIFY(r);
    const QVector<Traffic> sent = emu::TrafficLog(m_node, Traffic::SendFeature);
    QVERIFY(!sent.isEmpty());
    QCOMPARE(sent.at(0).bytes.left(8), QByteArray::fromHex("0600440001009001"));
    QCOMPARE(r->sensorCode, uint8_t(24));
    QCOMPARE(r->dpiValues, QVector<uint32_t>({800, 1600, 3200, 6400})); // a step of 100 for sensor 24
    QCOMPARE(r->currentStage, uint8_t(2));
    QCOMPARE(r->stageCount, uint8_t(4));
    QCOMPARE(r->currentDpi, 1600u);
    QCOMPARE(r->reportRate, uint16_t(4));
    QCOMPARE(r->moveUp, uint16_t(1));
    QCOMPARE(r->liftOff, uint16_t(2));
    QCOMPARE(r->motionSync, uint16_t(1));
    QCOMPARE(r->debounce, uint16_t(6));
    QCOMPARE(r->rippleControl, uint16_t(0));
    QCOMPARE(r->angleSnapping, uint16_t(1));
    QCOMPARE(r->sleep, 30u);
    QCOMPARE(r->lightEffect, uint16_t(2));
    QCOMPARE(r->modeBits, uint16_t(0xFFFF));
    QCOMPARE(r->batteryLevel, uint8_t(64));
    QCOMPARE(r->image.mid(3), m_dev->Image().mid(3));
    // and back: an unchanged record written out gives the mouse the same settings
    m_worker->WriteDpiTable();
    QCOMPARE(m_dev->ImageWrites(), 1);
    QCOMPARE(m_dev->Image().mid(3), r->image.mid(3));
    // a sensor other than 24 halves the step
    QByteArray image = m_dev->Image();
    image[11] = 7;
    m_dev->SetImage(image);
    m_worker->SynchronizingDeviceData();
    QCOMPARE(m_rec->mouseData->dpiValues.first(), 400u);
}

void TestDeviceMouse20::badImageSumDropsRecord()
{
    Open();
    m_worker->SynchronizingDeviceData();
    const std::shared_ptr<MouseConfigRecord> held = m_rec->mouseData; // a page still shows it
    QVERIFY(held);
    m_dev->SetBadImageSum(true);
    m_worker->SynchronizingDeviceData();
    QVERIFY(!m_rec->mouseData);
    QCOMPARE(held->dpiValues.size(), 4);
    m_worker->SetParam(9, 0, 0, 0, 0, 0, 0); // nothing to write without a record
    QCOMPARE(m_dev->ImageWrites(), 0);
}

void TestDeviceMouse20::changeCodes_data()
{
    QTest::addColumn<uint>("code");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("at");
    QTest::addColumn<int>("byte");
    QTest::newRow("1 sleep") << 1u << "Seep" << "45" << 82 << 45;
    QTest::newRow("2 rate 500") << 2u << "Ror" << "500" << 9 << 3;
    QTest::newRow("2 rate 8000") << 2u << "Ror" << "8000" << 9 << 4;
    QTest::newRow("3 motion sync") << 3u << "MotionSync" << "0" << 13 << 0x06;
    QTest::newRow("5 debounce") << 5u << "Shake" << "9" << 13 << 0x19;
    QTest::newRow("4 angle") << 4u << "modified" << "0" << 14 << 0x00;
    QTest::newRow("6 ripple") << 6u << "Ripple" << "1" << 14 << 0x11;
    QTest::newRow("7 lift-off") << 7u << "Lod" << "1" << 10 << 0x11;
    QTest::newRow("10 move-up") << 10u << "MoveUp" << "2" << 10 << 0x22;
}

void TestDeviceMouse20::changeCodes()
{
    QFETCH(uint, code);
    QFETCH(QString, model);
    QFETCH(QString, value);
    QFETCH(int, at);
    QFETCH(int, byte);
    Open(false);
    m_worker->SynchronizingDeviceData();
    const QByteArray before = m_dev->Image();
    WriteParams(code, model, value);
    QSignalSpy busy(m_worker, &QHid_Work_Interface::HideBusy);
    m_worker->SetParam(uchar(code), 0, 0, 0, 0, 0, 0);
    QCOMPARE(busy.count(), 1);
    const QByteArray after = m_dev->Image();
    QCOMPARE(after.size(), 520);
    QCOMPARE(uint8_t(after[2]), uint8_t(0x04));
    QCOMPARE(uint8_t(after[1]), SumFrom2(after));
    QCOMPARE(uint8_t(after[at]), uint8_t(byte));
    for (int i = 3; i < 520; ++i)
        if (i != at)
            QVERIFY2(after[i] == before[i], qPrintable(QString::number(i))); // nothing else moved
}

void TestDeviceMouse20::badParamFileWritesNothing_data()
{
    QTest::addColumn<uint>("fileCode");
    QTest::addColumn<QString>("value");
    QTest::newRow("debounce above a hex digit") << 5u << "16";
    QTest::newRow("negative lift-off") << 7u << "-1";
    QTest::newRow("sleep above a byte") << 1u << "300";
    QTest::newRow("not a number") << 5u << "many";
    QTest::newRow("file names another change") << 2u << "3";
}

void TestDeviceMouse20::badParamFileWritesNothing()
{
    QFETCH(uint, fileCode);
    QFETCH(QString, value);
    Open();
    m_worker->SynchronizingDeviceData();
    WriteParams(fileCode, QStringLiteral("V"), value);
    const uchar code = fileCode == 2 ? 5 : uchar(fileCode);
    QSignalSpy busy(m_worker, &QHid_Work_Interface::HideBusy);
    m_worker->SetParam(code, 0, 0, 0, 0, 0, 0);
    QCOMPARE(busy.count(), 1); // the busy state still ends
    QCOMPARE(m_dev->ImageWrites(), 0);
}

void TestDeviceMouse20::dpiStagesAndColours()
{
    Open();
    m_worker->SynchronizingDeviceData();
    const QByteArray colours = m_dev->Image().mid(100, 24);
    std::shared_ptr<MouseConfigRecord> r = m_rec->mouseData;
    r->dpiValues = {100, 400, 26000, 1200, 2000};
    r->currentStage = 5;
    m_worker->WriteDpiTable();
    const QByteArray img = m_dev->Image();
    QCOMPARE(uint8_t(img[12]), uint8_t(0x55));
    QCOMPARE(img.mid(16, 10), QByteArray::fromHex("0000030003010b001300"));
    QCOMPARE(img.mid(48, 10), img.mid(16, 10));
    QCOMPARE(img.mid(100, 24), colours); // the stage colours stay as the mouse has them
    QCOMPARE(img.mid(26, 22), QByteArray(22, '\0'));
    m_worker->SynchronizingDeviceData();
    QCOMPARE(m_rec->mouseData->dpiValues, QVector<uint32_t>({100, 400, 26000, 1200, 2000}));
    QCOMPARE(m_rec->mouseData->currentDpi, 2000u);
    // lists the image cannot hold are refused
    for (const QVector<uint32_t> &bad : {QVector<uint32_t>(), QVector<uint32_t>(16, 800), QVector<uint32_t>({800, 50})}) {
        m_rec->mouseData->dpiValues = bad;
        m_rec->mouseData->currentStage = 1;
        m_worker->WriteDpiTable();
        QCOMPARE(m_dev->ImageWrites(), 1);
    }
}

void TestDeviceMouse20::mapOutsideImage()
{
    Open();
    WriteMap(QStringLiteral("<MouseDPisAddress XsAddress=\"600\" YsAddress=\"-1\" ColorsAddress=\"100\" CurrntDpiAddress=\"70000\"/>"));
    QByteArray xml = m_dir->readFile(QStringLiteral("Products/QM8/DpiEditConfig.xml"));
    xml.replace("Address=\"82\"", "Address=\"520\"");
    QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/DpiEditConfig.xml"), xml));
    m_worker->SynchronizingDeviceData();
    const std::shared_ptr<MouseConfigRecord> r = m_rec->mouseData;
    QVERIFY(r);
    QCOMPARE(r->sleep, 0xFFFFFFFFu); // past the image: absent, not a read past the buffer
    QVERIFY(r->dpiValues.isEmpty());
    r->dpiValues = {800};
    r->currentStage = 1;
    m_worker->WriteDpiTable();
    QCOMPARE(m_dev->ImageWrites(), 0);
    // a table too close to the end of the image for its stages reads only what fits
    WriteMap(QStringLiteral("<MouseDPisAddress XsAddress=\"515\" YsAddress=\"48\" ColorsAddress=\"100\" CurrntDpiAddress=\"12\"/>"));
    m_worker->SynchronizingDeviceData();
    QCOMPARE(m_rec->mouseData->dpiValues.size(), 2);
    // table addresses past 255 wrap into bytes 0..255, and so does a table running past 255
    WriteMap(QStringLiteral("<MouseDPisAddress XsAddress=\"300\" YsAddress=\"254\" ColorsAddress=\"100\" CurrntDpiAddress=\"12\"/>"));
    m_worker->SynchronizingDeviceData();
    const std::shared_ptr<MouseConfigRecord> wrapped = m_rec->mouseData;
    QVERIFY(wrapped);
    wrapped->dpiValues = {800, 1600};
    wrapped->currentStage = 1;
    m_worker->WriteDpiTable();
    QCOMPARE(m_dev->ImageWrites(), 1);
    const QByteArray image = m_dev->Image();
    const int step = wrapped->sensorCode == 24 ? 100 : 50;
    const QByteArray first = QByteArray(1, char(800 / step - 1)) + QByteArray(1, '\0');
    const QByteArray second = QByteArray(1, char(1600 / step - 1)) + QByteArray(1, '\0');
    QCOMPARE(image.mid(44, 4), first + second); // X at 300 - 256
    QCOMPARE(image.mid(254, 2), first);         // Y at 254, its second entry wrapped to 0..1
    QCOMPARE(uint8_t(image.at(12)), uint8_t(0x12));
}

void TestDeviceMouse20::restoreFromProductData()
{
    Open();
    QStringList base, keys;
    for (int i = 0; i < 520; ++i)
        base << QString::asprintf("%02x", i == 12 ? 0x13 : (i == 16 ? 0x07 : (i == 11 ? 24 : 0)));
    for (int i = 0; i < 20; ++i)
        keys << QStringLiteral("%1").arg(i + 1, 2, 16, QLatin1Char('0'));
    QSettings ini(m_dir->filePath(QStringLiteral("Products/QM8/QM8_data.ini")), QSettings::IniFormat);
    ini.setValue(QStringLiteral("MouseConfig/Base"), base.join(QLatin1Char(',')));
    ini.setValue(QStringLiteral("MouseConfig/Keys"), keys.join(QLatin1Char(',')));
    ini.sync();
    m_worker->RecoverConfig();
    QCOMPARE(m_dev->ImageWrites(), 1);
    QCOMPARE(uint8_t(m_dev->Image()[12]), uint8_t(0x13));
    QCOMPARE(m_rec->mouseData->dpiValues, QVector<uint32_t>({800, 100, 100})); // stage 1 of 3
    const QByteArray k = m_dev->KeyImage();
    QCOMPARE(uint8_t(k[2]), uint8_t(0x01));
    QCOMPARE(uint8_t(k[1]), SumFrom2(k));
    QCOMPARE(k.mid(3, 17), QByteArray::fromHex("0405060708090a0b0c0d0e0f1011121314"));
    // without a memory map to read it the factory image still goes out
    QVERIFY(m_dir->removeFile(QStringLiteral("Products/QM8/DpiEditConfig.xml")));
    m_worker->RecoverConfig();
    QCOMPARE(m_dev->ImageWrites(), 2);
    QCOMPARE(uint8_t(m_dev->Image()[12]), uint8_t(0x13));
}

void TestDeviceMouse20::statusReportsBecomeEvents()
{
    Open(false);
    QHid_Threads_Manage manager;
    ZR_2_0_MouseThread *worker = m_worker;
    m_worker = nullptr; // the manager owns it now
    QVERIFY(manager.AddWorker(m_rec->deviceId, worker));
    QSignalSpy events(&manager, &QHid_Threads_Manage::UpdataHidDevice);
    // Sent by the listener thread.
    QueuedSignalSpy levels(worker, QOverload<uint, uchar>::of(&QHid_Work_Interface::Mouse_Dpi_Chenge));
    m_dev->SetBattery(55);
    m_dev->InjectStatus(2, 1); // connected without a code: code and battery are read
    QTRY_COMPARE(events.count(), 2);
    QList<int> kinds{events.at(0).at(1).value<uchar>(), events.at(1).at(1).value<uchar>()};
    std::sort(kinds.begin(), kinds.end());
    QCOMPARE(kinds, QList<int>({2, 11}));
    QCOMPARE(m_rec->CodeText(), QStringLiteral("3a7c02010001"));
    QCOMPARE(m_rec->batteryLevel.load(), uint8_t(55));
    QCOMPARE(m_rec->connectionState.load(), uint8_t(StateWirelessAwake));
    m_dev->InjectStatus(5, 33, 0x21);
    QTRY_COMPARE(events.count(), 3);
    QCOMPARE(events.at(2).at(1).value<uchar>(), uchar(5));
    QCOMPARE(m_rec->batteryLevel.load(), uint8_t(33));
    QCOMPARE(m_rec->batteryStatus1.load(), uint8_t(1));
    QCOMPARE(m_rec->batteryStatus2.load(), uint8_t(2));
    m_dev->InjectStatus(3, 3);
    QTRY_COMPARE(levels.count(), 1);
    m_dev->InjectStatus(2, 0);
    QTRY_COMPARE(events.count(), 4);
    QCOMPARE(m_rec->connectionState.load(), uint8_t(StateWirelessAsleep));
    manager.RemoveWorker(m_rec->deviceId);
}

void TestDeviceMouse20::dpiLevelFromMouse()
{
    Open();
    QHid_Threads_Manage manager;
    ZR_2_0_MouseThread *worker = m_worker;
    m_worker = nullptr;
    QVERIFY(manager.AddWorker(m_rec->deviceId, worker));
    QSignalSpy dpi(&manager, &QHid_Threads_Manage::ThreadDPichange);
    manager.on_Mouse_Dpi_Chenge(m_rec->deviceId, uchar(3)); // no record yet: it is read first
    const std::shared_ptr<MouseConfigRecord> r = m_rec->mouseData;
    QVERIFY(r);
    QCOMPARE(r->currentStage, uint8_t(3));
    QCOMPARE(uint8_t(r->image[12]), uint8_t(0x34));
    QCOMPARE(dpi.count(), 1);
    QCOMPARE(dpi.at(0).at(1).toInt(), 3200);
    manager.on_Mouse_Dpi_Chenge(m_rec->deviceId, uchar(9)); // no such stage: nothing changes
    QCOMPARE(r->currentStage, uint8_t(3));
    QCOMPARE(dpi.count(), 1);
    manager.SetCurrentDeviceId(m_rec->deviceId);
    manager.on_ChangeDpis({500, 700}, 700);
    QCOMPARE(r->currentStage, uint8_t(2));
    QVERIFY(manager.WaitIdle(5000));
    QCOMPARE(uint8_t(m_dev->Image()[12]), uint8_t(0x22));
    manager.RemoveWorker(m_rec->deviceId);
}

void TestDeviceMouse20::vanishedMouse()
{
    Open();
    m_worker->SynchronizingDeviceData();
    m_worker->StartListening();
    QTest::qWait(30);
    emu::Unplug(m_node);
    QTRY_VERIFY(!m_worker->isRunning());
    QElapsedTimer t;
    t.start();
    WriteParams(1, QStringLiteral("Seep"), QStringLiteral("20"));
    m_worker->SetParam(1, 0, 0, 0, 0, 0, 0);
    m_worker->WriteDpiTable();
    m_worker->SynchronizingDeviceData();
    QVERIFY(!m_rec->mouseData);
    QVERIFY(m_worker->ReadDeviceCode().isEmpty());
    QVERIFY(t.elapsed() < 3000);
}

// The mouse page with one column of rows, as the key-definition page builds it.
void TestDeviceMouse20::SetRows(const QVector<LineKeyRecord> &records)
{
    m_tab = ShowKeyRows(QStringLiteral("QM8.png"), records);
}

void TestDeviceMouse20::WriteMacro(const QString &name, const QByteArray &records, int runWay, int runOne)
{
    QVERIFY(WriteMacroFile(*m_dir, QStringLiteral("QM8"), name, records, runWay, runOne));
}

void TestDeviceMouse20::keyMapReport()
{
    Open();
    // an empty-code row still takes its place; a type-2 row is skipped
    SetRows({Row(8, "00010004"), Row(12, "00000000", 0, "Fire", "0x00020010"), Row(16, ""), Row(20, "0000002c"),
             Row(24, "11111111", 2)});
    QSignalSpy shown(m_worker, &QHid_Work_Interface::ShowBusy), hidden(m_worker, &QHid_Work_Interface::HideBusy);
    QSignalSpy done(m_worker, &QHid_Work_Interface::DomPopMessge);
    m_worker->m_TaskCode = 18;
    QVERIFY(m_worker->WriteKeyTable());
    QByteArray want(520, '\0');
    want[0] = 6; want[2] = 1; want[4] = 1; want[6] = 72;
    want.replace(8, 4, QByteArray::fromHex("00010004"));
    want.replace(12, 4, QByteArray::fromHex("00020010"));
    want.replace(20, 4, QByteArray::fromHex("0000002c"));
    want[1] = char(SumFrom2(want.left(4 * 4 + 10))); // four entries: bytes 2..25
    QCOMPARE(m_dev->KeyImage().toHex(), want.toHex());
    QCOMPARE(m_dev->KeyAt(16), QByteArray(4, '\0'));
    QCOMPARE(m_dev->MacroReports(), 0);
    QCOMPARE(done.count(), 1);
    QCOMPARE(done.at(0).at(0).toString(), GetLangText(274));
    QCOMPARE(done.at(0).at(1).toString(), GetLangText(275));
    QCOMPARE(hidden.count(), 1);
    QCOMPARE(m_worker->m_TaskCode.load(), uint8_t(0));
    // no rows: nothing is sent and no busy state
    delete m_tab;
    SetRows({});
    emu::ClearTraffic();
    m_worker->m_TaskCode = 18;
    QVERIFY(!m_worker->WriteKeyTable());
    QVERIFY(emu::TrafficLog(m_node, Traffic::SendFeature).isEmpty());
    QCOMPARE(shown.count(), 1);
    QCOMPARE(m_worker->m_TaskCode.load(), uint8_t(0));
}

void TestDeviceMouse20::macroEntriesAndBlock()
{
    Open(false); // through the receiver: the awake test goes first
    WriteMacro("m1", QByteArray::fromHex("0a0b0c0d"), 2, 5);
    WriteMacro("m2", QByteArray::fromHex("1122334455667788"), 0, 300); // a count past a byte
    WriteMacro("m3", QByteArray::fromHex("77777777"), 0, 1);
    SetRows({Row(8, "", 1, "m1"), Row(12, "00010004"), Row(16, "", 1, "m2"), Row(20, "", 1, "m1"), Row(24, "", 1, "m3")});
    QSignalSpy done(m_worker, &QHid_Work_Interface::DomPopMessge);
    QVERIFY(m_worker->WriteKeyTable());
    QCOMPARE(m_dev->KeyAt(8).toHex(), QByteArray("03020500"));
    QCOMPARE(m_dev->KeyAt(12).toHex(), QByteArray("00010004"));
    QCOMPARE(m_dev->KeyAt(16).toHex(), QByteArray("0300ff01"));
    QCOMPARE(m_dev->KeyAt(20).toHex(), QByteArray("03020500")); // the same macro, the same index
    QCOMPARE(m_dev->KeyAt(24).toHex(), QByteArray("03000102")); // run mode presets 0 and 1
    const QVector<Traffic> sent = emu::TrafficLog(m_node, Traffic::SendFeature);
    QCOMPARE(sent.size(), 3);
    QCOMPARE(uint8_t(sent.at(0).bytes[2]), uint8_t(0x07)); // awake test, key map, macro block
    QCOMPARE(uint8_t(sent.at(1).bytes[2]), uint8_t(0x01));
    const QByteArray block = sent.at(2).bytes;
    QCOMPARE(uint8_t(block[0]), uint8_t(5));
    QCOMPARE(uint8_t(block[1]), SumFrom2(block));
    QCOMPARE(block.mid(2, 6).toHex(), QByteArray("030001001c00")); // one report, 28 bytes of data
    const QByteArray data = QByteArray::fromHex("0c000400" "10000800" "18000400" "0a0b0c0d" "1122334455667788" "77777777");
    QCOMPARE(m_dev->MacroData().toHex(), data.toHex());
    QCOMPARE(m_dev->MacroReports(), 1);
    QCOMPARE(done.count(), 0);
}

void TestDeviceMouse20::macroPieces_data()
{
    QTest::addColumn<int>("dataBytes"); // directory entries plus records
    QTest::addColumn<int>("macros");    // a macro file holds at most 2048 bytes: big blocks take several
    QTest::addColumn<int>("reports");
    QTest::newRow("block of 520 in one report") << 512 << 1 << 1;
    QTest::newRow("524 cut into pieces") << 516 << 1 << 2;
    QTest::newRow("8 whole pieces") << 8 * 512 << 3 << 8;
    QTest::newRow("8 whole pieces and a rest") << 8 * 512 + 100 << 3 << 9;
}

void TestDeviceMouse20::macroPieces()
{
    QFETCH(int, dataBytes);
    QFETCH(int, macros);
    QFETCH(int, reports);
    Open();
    const int words = (dataBytes - 4 * macros) / 4;
    QByteArray entries, records;
    QVector<LineKeyRecord> rows;
    int offset = 4 * macros;
    for (int m = 0; m < macros; ++m) {
        const int n = 4 * (words / macros + (m < words % macros ? 1 : 0));
        QByteArray events(n, '\0');
        for (int i = 0; i < n; ++i)
            events[i] = char((offset + i) * 7 + 1);
        const QString name = QStringLiteral("big%1").arg(m);
        WriteMacro(name, events);
        rows.append(Row(uint16_t(8 + 4 * m), "", 1, name));
        const char entry[] = {char(offset & 0xFF), char(offset >> 8), char(n & 0xFF), char(n >> 8)};
        entries.append(entry, 4);
        records.append(events);
        offset += n;
    }
    SetRows(rows);
    QVERIFY(m_worker->WriteKeyTable());
    const QVector<Traffic> sent = emu::TrafficLog(m_node, Traffic::SendFeature).mid(1); // after the key map
    QCOMPARE(sent.size(), reports);
    for (int k = 0; k < reports && reports > 1; ++k) {
        const QByteArray &r = sent.at(k).bytes;
        QCOMPARE(r.size(), 520);
        QCOMPARE(uint8_t(r[2]), uint8_t(0x03));
        const char head[] = {0, char(reports), char(k), 0x00, 0x02}; // count, index, 512
        QCOMPARE(r.mid(3, 5).toHex(), QByteArray(head, 5).toHex());
        QCOMPARE(uint8_t(r[1]), SumFrom2(r));
    }
    QCOMPARE(m_dev->MacroData(), entries + records);
    QCOMPARE(m_dev->MacroUploads(), 1);
}

void TestDeviceMouse20::refusedMacros_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<uint>("text");
    QTest::newRow("missing file") << "gone" << 179u;
    QTest::newRow("not one path component") << "../QM8/m1" << 179u;
    QTest::newRow("no name") << "" << 179u;
    QTest::newRow("truncated file") << "cut" << 179u;
    QTest::newRow("not hex") << "odd" << 179u;
    QTest::newRow("nine whole pieces") << "big" << 131u;
    QTest::newRow("image over 2048 bytes") << "huge" << 179u;
    QTest::newRow("no run mode") << "noway" << 179u;
    QTest::newRow("name longer than the image") << "short" << 179u;
    QTest::newRow("record cut short") << "tail" << 179u;
    QTest::newRow("text before the first item") << "stray" << 179u;
}

// Refused macros leave the mouse as it was: no macro data, and no key map whose buttons would
// name macros the mouse does not hold.
void TestDeviceMouse20::refusedMacros()
{
    QFETCH(QString, name);
    QFETCH(uint, text);
    Open();
    WriteMacro("m1", QByteArray(2040, '\x11'));
    WriteMacro("m2", QByteArray(2040, '\x33'));
    WriteMacro("big", QByteArray(2040, '\x22')); // with m1 and m2: over 9 x 512 bytes of data
    WriteMacro("huge", QByteArray(2044, '\x22'));
    WriteMacro("tail", QByteArray(6, '\x22'));
    QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/moidefConfig/noway.bin"),
                             "{\"noway\": {\"RunOne\": 1, \"mdfdata\": \"0x050x6e0x6f0x770x610x790x000x000x010x04\"}}"));
    QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/moidefConfig/short.bin"),
                             "{\"short\": {\"RunWay\": 1, \"mdfdata\": \"0x090x730x68\"}}"));
    QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/moidefConfig/stray.bin"),
                             "{\"stray\": {\"RunWay\": 1, \"mdfdata\": \"000x000x00\"}}"));
    QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/moidefConfig/cut.bin"), "{\"cut\": {\"mdfdata\": \"0a0"));
    QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/moidefConfig/odd.bin"), "{\"odd\": {\"mdfdata\": \"0g\"}}"));
    SetRows({Row(8, "", 1, "m1"), Row(12, "", 1, name), Row(16, "", 1, "m2"), Row(20, "00010004")});
    QSignalSpy box(m_worker, &QHid_Work_Interface::MessgBox), done(m_worker, &QHid_Work_Interface::DomPopMessge);
    QSignalSpy hidden(m_worker, &QHid_Work_Interface::HideBusy);
    QVERIFY(!m_worker->WriteKeyTable());
    QCOMPARE(box.count(), 1);
    QCOMPARE(box.at(0).at(0).toString(), GetLangText(text));
    QCOMPARE(done.count(), 0); // never the success texts
    QVERIFY(emu::TrafficLog(m_node, Traffic::SendFeature).isEmpty());
    QCOMPARE(hidden.count(), 1);
    QCOMPARE(m_worker->m_TaskCode.load(), uint8_t(0));
}

void TestDeviceMouse20::keyWritesThatFail()
{
    // a sleeping mouse behind its receiver fails the awake test: no key map, no success texts
    Open(false);
    m_dev->SetAwake(false);
    SetRows({Row(8, "00010004")});
    QSignalSpy done(m_worker, &QHid_Work_Interface::DomPopMessge), hidden(m_worker, &QHid_Work_Interface::HideBusy);
    QVERIFY(!m_worker->WriteKeyTable());
    QCOMPARE(m_dev->KeyMapWrites(), 0);
    QCOMPARE(done.count(), 0);
    QVERIFY(hidden.count() >= 1);
    // a wired mouse that is gone before the write
    m_dev->SetAwake(true);
    m_rec->connectionState = StateWired;
    WriteMacro("m1", QByteArray::fromHex("0a0b0c0d"));
    delete m_tab;
    SetRows({Row(8, "00010004"), Row(12, "", 1, "m1")});
    emu::Unplug(m_node);
    const int before = hidden.count();
    QVERIFY(!m_worker->WriteKeyTable());
    QCOMPARE(hidden.count(), before + 1);
    QCOMPARE(done.count(), 0);
    QCOMPARE(m_worker->m_TaskCode.load(), uint8_t(0));
}

void TestDeviceMouse20::keysThroughManager()
{
    // command 18 runs on the manager's thread and reads the copy the page took
    Open();
    WriteMacro("m1", QByteArray::fromHex("0a0b0c0d"), 4, 1);
    SetRows({Row(8, "00010004"), Row(12, "", 1, "m1")});
    QLStyleBoraWidget::instance()->TakeKeySnapshot();
    QHid_Threads_Manage manager;
    ZR_2_0_MouseThread *worker = m_worker;
    m_worker = nullptr;
    QVERIFY(manager.AddWorker(m_rec->deviceId, worker));
    manager.SetCurrentDeviceId(m_rec->deviceId);
    manager.on_MouseKeysValueCHange();
    QVERIFY(manager.WaitIdle(10000));
    QCOMPARE(m_dev->KeyAt(8).toHex(), QByteArray("00010004"));
    QCOMPARE(m_dev->KeyAt(12).toHex(), QByteArray("03040100"));
    QCOMPARE(m_dev->MacroData().mid(4).toHex(), QByteArray("0a0b0c0d"));
    manager.RemoveWorker(m_rec->deviceId);
}

QTEST_MAIN(TestDeviceMouse20)
#include "tst_device_mouse20.moc"
