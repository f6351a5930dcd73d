// The keyboard worker over the emulated keyboard, wired and through its receiver: table reads
// with their fallbacks, the listener's notices, code reads, every write command's bytes on the
// wire, round trips, the restore, and the faults (sleep, unplug, wrong replies, bad settings).
#include "app/ProductCatalogue.h"
#include "app/QXM_Process.h"
#include "device/ByteTools.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/KeyboardCommandBuilder.h"
#include "device/QKeyBoradMApMange.h"
#include "device/ZR_2_0_KeyboradThread.h"
#include "tests/emu/EmuKeyboard.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/MouseKeyRows.h"
#include "tests/support/QueuedSignalSpy.h"
#include "tests/support/TestProgramDir.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

using emu::Model;
using emu::Traffic;

class TestKeyboardWorker : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void byteHelpers();
    void wiredSyncReadsEveryTable();
    void wiredAudioSleepWrittenBack();
    void receiverSyncReadsEveryTable();
    void receiverTableFaults_data();
    void receiverTableFaults();
    void wiredWrongReplyKeepsBlock();
    void listenerNotices();
    void wakeWithoutCodeAsksForIt();
    void wiredCodeIsReadEachTime();
    void lightingModelBytes_data();
    void lightingModelBytes();
    void colourWritesBlockThenMap_data();
    void colourWritesBlockThenMap();
    void asleepSendsNothing();
    void roundTrips_data();
    void roundTrips();
    void listenerStoppedDuringCommands();
    void settingsOutOfRange_data();
    void settingsOutOfRange();
    void sleepMidCommand();
    void unplugMidCommand();
    void restoreWired();
    void restoreReceiverAndMissingDefaults();
    void keysAndMacros();

private:
    DeviceRecord *Open(Model model, int kind);
    ZR_2_0_KeyboradThread *NewWorker(DeviceRecord *record);
    void SetLight(const QString &key, const QVariant &value);
    QString DataIni() const { return m_dir->filePath(QStringLiteral("Products/QK75/QK75_data.ini")); }
    QVector<QByteArray> Sent(Traffic::Op op, uint8_t command) const;

    TestProgramDir *m_dir = nullptr;
    QList<DeviceRecord *> m_records;
    QList<ZR_2_0_KeyboradThread *> m_workers;
    std::shared_ptr<emu::EmuKeyboard> m_dev;
    uint32_t m_node = 0;
};

void TestKeyboardWorker::init()
{
    emu::Reset();
    // 6000 ms echo waits become 300 ms, the 2500 ms table-read window 125 ms: short enough for
    // a quick run, long enough for a loaded machine under the sanitizers
    emu::SetTimeScale(0.05);
    m_dir = new TestProgramDir;
    QVERIFY(m_dir->isValid());
    ClearProductListCache();
}

void TestKeyboardWorker::cleanup()
{
    for (ZR_2_0_KeyboradThread *w : m_workers)
        w->StopListening();
    QVERIFY(HidNoModelErrors());
    qDeleteAll(m_workers);
    m_workers.clear();
    HidCloseAll(m_records);
    emu::Reset();
    m_dev.reset();
    delete m_dir;
    m_dir = nullptr;
}

DeviceRecord *TestKeyboardWorker::Open(Model model, int kind)
{
    m_dev = std::static_pointer_cast<emu::EmuKeyboard>(emu::MakeDevice(model));
    m_node = emu::Plug(m_dev);
    QList<DeviceRecord *> found;
    HID_API::OpenDevices(found);
    m_records += found;
    DeviceRecord *r = HidRecordOfKind(found, m_node, kind);
    if (r)
        r->connectionState = kind == 1 ? StateWirelessAwake : StateWired;
    return r;
}

ZR_2_0_KeyboradThread *TestKeyboardWorker::NewWorker(DeviceRecord *record)
{
    auto *w = new ZR_2_0_KeyboradThread;
    w->SetDevice(record);
    w->m_DeviceId = record ? record->deviceId : 0;
    m_workers.append(w);
    return w;
}

void TestKeyboardWorker::SetLight(const QString &key, const QVariant &value)
{
    QSettings ini(DataIni(), QSettings::IniFormat);
    ini.setValue(QStringLiteral("ChangeLight/") + key, value);
}

QVector<QByteArray> TestKeyboardWorker::Sent(Traffic::Op op, uint8_t command) const
{
    QVector<QByteArray> out;
    for (const Traffic &t : emu::TrafficLog(m_node, op))
        if (t.bytes.size() > 1 && static_cast<uint8_t>(t.bytes.at(1)) == command)
            out.append(t.bytes);
    return out;
}

static QByteArray Bytes(const uint8_t *p, int n)
{
    return QByteArray(reinterpret_cast<const char *>(p), n);
}

// ---- helpers shared with the mouse workers ----------------------------------------------------

void TestKeyboardWorker::byteHelpers()
{
    uint8_t *b = ParseByteList520({QStringLiteral("ff"), QStringLiteral("zz"), QStringLiteral(" 1a "), QStringLiteral("100"), QString()});
    QCOMPARE(Bytes(b, 6), QByteArray::fromHex("ff001a000000"));
    free(b);
    QStringList many;
    for (int i = 0; i < 600; ++i)
        many << QStringLiteral("7");
    b = ParseByteList520(many); // items past 520 are dropped, never written past the buffer
    QCOMPARE(b[519], uint8_t(7));
    free(b);
    uint8_t high = 9, low = 9;
    HexByteToNibbles(0x15, &high, &low);
    QCOMPARE(int(high), 1);
    QCOMPARE(int(low), 5);
    const uint8_t frame[5] = {0x06, 0x00, 0xF0, 0x20, 0x01};
    QCOMPARE(int(ByteSumFrom2(frame, 5)), 0x11);
    int r = 0, g = 0, bl = 0;
    QVERIFY(KeyboardCommandBuilder::ParseColour(QStringLiteral("#ff8000"), &r, &g, &bl));
    QCOMPARE(QVector<int>({r, g, bl}), QVector<int>({255, 128, 0}));
    QVERIFY(!KeyboardCommandBuilder::ParseColour(QStringLiteral("#ff80"), &r, &g, &bl));
    QVERIFY(!KeyboardCommandBuilder::ParseColour(QStringLiteral("#gg8000"), &r, &g, &bl));
}

// ---- table reads ------------------------------------------------------------------------------

void TestKeyboardWorker::wiredSyncReadsEveryTable()
{
    DeviceRecord *r = Open(Model::KeyboardWired, 0);
    QVERIFY(r);
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    emu::ClearTraffic();
    w->SynchronizingDeviceData();
    QVERIFY(w->isRunning()); // the listener runs again after the reads
    QCOMPARE(Sent(Traffic::SendFeature, 0x84).value(0).left(8), QByteArray::fromHex("0684000001008000"));
    QCOMPARE(Sent(Traffic::SendFeature, 0x8A).value(0).left(8), QByteArray::fromHex("068a000001000002"));
    QCOMPARE(Sent(Traffic::SendFeature, 0x86).value(0).left(8), QByteArray::fromHex("0686000001008001"));
    QVERIFY(Sent(Traffic::SendFeature, 0x04).isEmpty()); // byte 32 is not 20: nothing written back
    QKeyBoradMApMange *store = r->keyboardStore;
    QVERIFY(store);
    uint8_t *block = store->KeyBlockCopy(520);
    QCOMPARE(Bytes(block, 150), m_dev->Block().left(150));
    free(block);
    uint8_t *base = store->BaseColorMapCopy(520);
    QCOMPARE(Bytes(base + 8, 504), m_dev->BaseMap().mid(8, 504));
    QCOMPARE(Bytes(base + 512, 8), QByteArray::fromHex("00005aa500000000"));
    free(base);
    uint8_t *diy = store->DiyColorMapCopy(520);
    QCOMPARE(Bytes(diy + 8, 384), m_dev->DiyMap().mid(8, 384));
    free(diy);
    QCOMPARE(store->KeyMap().size(), 18); // the layout was loaded after the reads
    QSettings ini(DataIni(), QSettings::IniFormat); // the self-defined map is kept locally
    QCOMPARE(ini.value(QStringLiteral("DiyColorMap/coloMap")).toString().left(29),
             QString::fromLatin1(m_dev->DiyMap().left(10).toHex(',')));
}

void TestKeyboardWorker::wiredAudioSleepWrittenBack()
{
    DeviceRecord *r = Open(Model::KeyboardWired, 0);
    QByteArray block = m_dev->Block();
    block[32] = 20;
    m_dev->SetBlock(block);
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    QCOMPARE(w->ReadDeviceTables(), 0);
    const QVector<QByteArray> writes = Sent(Traffic::SendFeature, 0x04);
    QCOMPARE(writes.size(), 1);
    QCOMPARE(int(uint8_t(writes.first().at(32))), 10); // "user/KeybordAudioSleep"
    QCOMPARE(int(uint8_t(m_dev->Block().at(32))), 10);
}

void TestKeyboardWorker::receiverSyncReadsEveryTable()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    QVERIFY(r);
    QByteArray block = m_dev->Block();
    block[32] = 20; // through the receiver it is never written back
    m_dev->SetBlock(block);
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    QSignalSpy box(w, &ZR_2_0_KeyboradThread::MessgBox);
    QCOMPARE(w->ReadDeviceTables(), 0);
    QCOMPARE(box.count(), 0);
    QCOMPARE(m_dev->UploadCount(0x04), 0);
    QKeyBoradMApMange *store = r->keyboardStore;
    uint8_t *b = store->KeyBlockCopy(520);
    QCOMPARE(Bytes(b, 8), QByteArray::fromHex("0684000001008000"));
    QCOMPARE(Bytes(b + 8, 128), m_dev->Block().mid(8, 128));
    free(b);
    b = store->BaseColorMapCopy(520);
    QCOMPARE(Bytes(b, 8), QByteArray::fromHex("068a000001000002"));
    QCOMPARE(Bytes(b + 8, 490), m_dev->BaseMap().mid(8, 490));
    QCOMPARE(Bytes(b + 512, 8), QByteArray::fromHex("00005aa500000000"));
    free(b);
    b = store->DiyColorMapCopy(520);
    QCOMPARE(Bytes(b, 8), QByteArray::fromHex("0686000001000100"));
    QCOMPARE(Bytes(b + 8, 378), m_dev->DiyMap().mid(8, 378));
    free(b);
}

void TestKeyboardWorker::receiverTableFaults_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("failures");
    QTest::newRow("short table: local tables") << 0 << 3;
    QTest::newRow("corrupt packet: asked again") << 1 << 0;
    QTest::newRow("packets reversed and repeated") << 2 << 0;
    QTest::newRow("wrong command byte: local tables") << 3 << 3;
}

void TestKeyboardWorker::receiverTableFaults()
{
    QFETCH(int, fault);
    QFETCH(int, failures);
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    emu::Knobs k;
    k.shortTable = fault == 0;
    k.corruptTable = fault == 1;
    k.shuffleTable = k.duplicateTable = fault == 2;
    m_dev->setKnobs(k);
    m_dev->SetWrongReplyCommand(fault == 3);
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    QSignalSpy box(w, &ZR_2_0_KeyboradThread::MessgBox);
    QCOMPARE(w->ReadDeviceTables(), failures);
    QCOMPARE(box.count(), failures >= 2 ? 1 : 0);
    uint8_t *base = r->keyboardStore->BaseColorMapCopy(520);
    QSettings ini(DataIni(), QSettings::IniFormat);
    uint8_t *local = ParseByteList520(
        ini.value(QStringLiteral("BaseColorMap/coloMap")).toStringList().join(QLatin1Char(',')).split(QLatin1Char(',')));
    if (failures)
        QCOMPARE(Bytes(base, 520), Bytes(local, 520)); // 489 bytes or foreign packets: the saved map
    else
        QCOMPARE(Bytes(base + 8, 490), m_dev->BaseMap().mid(8, 490));
    free(base);
    free(local);
}

void TestKeyboardWorker::wiredWrongReplyKeepsBlock()
{
    DeviceRecord *r = Open(Model::KeyboardWired, 0);
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    QCOMPARE(w->ReadConfigBlock(), 0);
    uint8_t *before = r->keyboardStore->KeyBlockCopy(520);
    m_dev->SetWrongReplyCommand(true);
    QCOMPARE(w->ReadConfigBlock(), -1);
    uint8_t *after = r->keyboardStore->KeyBlockCopy(520);
    QCOMPARE(Bytes(after, 150), Bytes(before, 150));
    free(before);
    free(after);
    emu::Knobs k;
    k.failFeatures = true;
    m_dev->setKnobs(k);
    QCOMPARE(w->ReadConfigBlock(), -1);
    QCOMPARE(w->ReadBaseColorMap(), 0); // served from the saved map
    uint8_t *base = r->keyboardStore->BaseColorMapCopy(520);
    QCOMPARE(int(base[8]), (8 * 11) & 0xFF);
    free(base);
}

// ---- listener and code ------------------------------------------------------------------------

void TestKeyboardWorker::listenerNotices()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    r->SetCodeText(QStringLiteral("3a7c01010001"));
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    // The listener thread sends these.
    QueuedSignalSpy put(w, &ZR_2_0_KeyboradThread::Device_Put_Chenge);
    QueuedSignalSpy power(w, &ZR_2_0_KeyboradThread::mouse_Pow_Chenge);
    QueuedSignalSpy check(w, &ZR_2_0_KeyboradThread::Code_Check_Retult);
    w->StartListening();
    m_dev->InjectNotice(2, 0);
    QTRY_COMPARE(put.count(), 1);
    QCOMPARE(put.at(0).at(1).toBool(), false);
    QCOMPARE(int(r->connectionState), int(StateWirelessAsleep));
    m_dev->InjectNotice(2, 1); // a known code: awake at once
    QTRY_COMPARE(put.count(), 2);
    QCOMPARE(put.at(1).at(1).toBool(), true);
    QCOMPARE(int(r->connectionState), int(StateWirelessAwake));
    m_dev->InjectNotice(5, 64, 0x15);
    QTRY_COMPARE(power.count(), 1);
    QCOMPARE(int(r->batteryLevel), 64);
    QCOMPARE(int(r->batteryStatus1), 5);
    QCOMPARE(int(r->batteryStatus2), 1);
    m_dev->InjectNotice(6, 0);
    QTRY_COMPARE(check.count(), 1);
    QCOMPARE(check.at(0).at(1).toBool(), false);
    m_dev->InjectNotice(9, 1); // unknown sub-codes are ignored
    QTest::qWait(50);
    QCOMPARE(put.count() + power.count() + check.count(), 4);
    QCOMPARE(put.at(0).at(0).toUInt(), r->deviceId);
}

void TestKeyboardWorker::wakeWithoutCodeAsksForIt()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    r->name.clear();
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    QueuedSignalSpy put(w, &ZR_2_0_KeyboradThread::Device_Put_Chenge); // from the listener thread
    // the GUI thread's cached catalogue is not the worker's: it reads the file as it is now
    QVERIFY(!GetProductList().isEmpty());
    QVERIFY(m_dir->writeFile(QStringLiteral("YProduct.xml"),
                             m_dir->readFile(QStringLiteral("YProduct.xml")).replace("\"QUORIX QK75\"", "\"QUORIX QK75 Pro\"")));
    w->StartListening();
    emu::ClearTraffic();
    m_dev->InjectNotice(2, 1);
    QTRY_COMPARE(put.count(), 1);
    QCOMPARE(r->CodeText(), QStringLiteral("3a7c01010001"));
    QCOMPARE(r->name, QStringLiteral("QUORIX QK75 Pro"));
    QCOMPARE(Sent(Traffic::Write, 0x05).value(0), QByteArray::fromHex("050501000000000000000000000000000000000b"));
    // a stop during the wake handling returns quickly and leaves no reader behind
    r->SetCodeText(QString());
    m_dev->SetAsleep(true); // the code request now goes unanswered
    m_dev->InjectNotice(2, 1);
    QTest::qWait(20);
    QElapsedTimer t;
    t.start();
    w->StopListening();
    QVERIFY(!w->isRunning());
    QVERIFY(t.elapsed() < 1000);
}

void TestKeyboardWorker::wiredCodeIsReadEachTime()
{
    DeviceRecord *r = Open(Model::KeyboardWired, 0);
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    QCOMPARE(w->ReadDeviceCode(), QStringLiteral("3a7c01010001"));
    QVERIFY(r->CodeText().isEmpty());
    QCOMPARE(w->ReadDeviceCode(), QStringLiteral("3a7c01010001"));
    const QVector<QByteArray> requests = Sent(Traffic::SendFeature, 0x82);
    QCOMPARE(requests.size(), 2);
    QCOMPARE(requests.first().left(8), QByteArray::fromHex("0682010001000600"));
    QVERIFY(w->isRunning());
    emu::Unplug(m_node);
    QVERIFY(w->ReadDeviceCode().isEmpty()); // a vanished keyboard gives no code, no crash
}

// ---- write commands -----------------------------------------------------------------------------

void TestKeyboardWorker::lightingModelBytes_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("wired") << 0;
    QTest::newRow("receiver") << 1;
}

void TestKeyboardWorker::lightingModelBytes()
{
    QFETCH(int, kind);
    DeviceRecord *r = Open(kind ? Model::KeyboardReceiver : Model::KeyboardWired, kind);
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    QCOMPARE(w->ReadDeviceTables(), 0);
    SetLight(QStringLiteral("Model"), 97);
    QSignalSpy done(w, &ZR_2_0_KeyboradThread::ChangeResetLightModelSucceed);
    QSignalSpy hide(w, &ZR_2_0_KeyboradThread::HideBusy);
    emu::ClearTraffic();
    w->ChangeLightModel();
    QCOMPARE(done.count(), 1);
    QCOMPARE(hide.count(), 1);
    QVERIFY(w->isRunning());
    QByteArray block = m_dev->Block();
    QCOMPARE(int(uint8_t(block.at(17))), 1);  // the self-define flag
    QCOMPARE(int(uint8_t(block.at(18))), 17); // the mode code of model 97
    if (kind == 0) {
        const QVector<QByteArray> sent = Sent(Traffic::SendFeature, 0x04);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.first().size(), 520);
        QCOMPARE(int(uint8_t(sent.first().at(0))), 6);
    } else {
        const QVector<QByteArray> packets = Sent(Traffic::Write, 0x04);
        QCOMPARE(packets.size(), 10);
        QCOMPARE(packets.first().left(5), QByteArray::fromHex("05040a000e"));
        QCOMPARE(packets.last().left(5), QByteArray::fromHex("05040a0902")); // 9 * 14 + 2 = 128
        QCOMPARE(int(uint8_t(packets.first().at(19))), int(emu::Sum19(packets.first())));
    }
    // a dropped echo is a failed write, and the page still hears of it
    emu::Knobs k;
    k.noEcho = true;
    k.failFeatures = true;
    m_dev->setKnobs(k);
    SetLight(QStringLiteral("Model"), 81);
    w->ChangeLightModel();
    QCOMPARE(done.count(), 2);
    QCOMPARE(int(uint8_t(m_dev->Block().at(17))), 1); // the device kept its last setting
}

void TestKeyboardWorker::colourWritesBlockThenMap_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("wired") << 0;
    QTest::newRow("receiver") << 1;
}

void TestKeyboardWorker::colourWritesBlockThenMap()
{
    QFETCH(int, kind);
    DeviceRecord *r = Open(kind ? Model::KeyboardReceiver : Model::KeyboardWired, kind);
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    QCOMPARE(w->ReadDeviceTables(), 0);
    SetLight(QStringLiteral("Model"), 82); // colour at 11
    SetLight(QStringLiteral("Color"), QStringLiteral("#ff8000"));
    QSignalSpy done(w, &ZR_2_0_KeyboradThread::ChangeLightColorSucceed);
    emu::ClearTraffic();
    w->ChangeLightColor();
    QCOMPARE(done.count(), 1);
    QCOMPARE(m_dev->BaseMap().mid(11, 3), QByteArray::fromHex("ff8000"));
    QCOMPARE(int(uint8_t(m_dev->Block().at(23)) & 0x0F), 0); // single-colour mode digit
    if (kind == 0) {
        const QVector<QByteArray> all = [&] {
            QVector<QByteArray> v;
            for (const Traffic &t : emu::TrafficLog(m_node, Traffic::SendFeature))
                v.append(t.bytes.left(2));
            return v;
        }();
        QCOMPARE(all, QVector<QByteArray>({QByteArray::fromHex("0604"), QByteArray::fromHex("060a")}));
    } else {
        QCOMPARE(Sent(Traffic::Write, 0x09).size(), 37);
        QCOMPARE(m_dev->Upload(0x09).mid(506, 2), QByteArray::fromHex("5aa5"));
    }
    QSettings ini(DataIni(), QSettings::IniFormat); // the new map is saved locally
    QCOMPARE(ini.value(QStringLiteral("BaseColorMap/coloMap")).toString().mid(33, 8), QStringLiteral("ff,80,00"));
}

void TestKeyboardWorker::asleepSendsNothing()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    r->connectionState = StateWirelessAsleep;
    SetLight(QStringLiteral("Model"), 85);
    QSignalSpy done(w, &ZR_2_0_KeyboradThread::ChangeResetLightModelSucceed);
    emu::ClearTraffic();
    w->ChangeLightModel();
    w->ChangeLightSpeedLuminance();
    w->WriteDiyColorMap();
    QCOMPARE(done.count(), 1);
    QVERIFY(emu::TrafficLog(m_node, Traffic::Write).isEmpty());
    // nothing sent is reported as a failed write, not as the previous result
    SetLight(QStringLiteral("Model"), 81);
    r->connectionState = StateWirelessAwake;
    w->ChangeLightModel();
    r->connectionState = StateWirelessAsleep;
    w->ChangeLightModel();
    QCOMPARE(done.count(), 3);
    QCOMPARE(Sent(Traffic::Write, 0x04).size(), 10); // only the awake write
}

void TestKeyboardWorker::roundTrips_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("wired") << 0;
    QTest::newRow("receiver") << 1;
}

void TestKeyboardWorker::roundTrips()
{
    QFETCH(int, kind);
    DeviceRecord *r = Open(kind ? Model::KeyboardReceiver : Model::KeyboardWired, kind);
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    QCOMPARE(w->ReadDeviceTables(), 0);
    QKeyBoradMApMange *store = r->keyboardStore;
    // settings page: edit the block; DIY page: edit the map; lighting: speed and brightness
    uint8_t *block = store->KeyBlockCopy(520);
    block[40] = 0x33;
    block[41] = 0x44;
    store->SetKeyBlock(block, 520, true);
    w->WriteConfigBlock();
    uint8_t *diy = store->DiyColorMapCopy(520);
    for (int i = 8; i < 392; ++i)
        diy[i] = static_cast<uint8_t>(255 - i);
    store->SetDiyColorMap(diy, 520, true);
    w->WriteDiyColorMap();
    SetLight(QStringLiteral("Model"), 84);
    SetLight(QStringLiteral("Speed"), 3);
    SetLight(QStringLiteral("Luminance"), 5);
    w->ChangeLightSpeedLuminance();
    SetLight(QStringLiteral("MColor"), 1);
    w->ChangeLightMColor();
    // a second store reads everything back from the device; the commands restarted the
    // listener, which must not take the table replies (the sync stops it the same way)
    w->StopListening();
    delete r->keyboardStore;
    r->keyboardStore = nullptr;
    QCOMPARE(w->ReadDeviceTables(), 0);
    store = r->keyboardStore;
    uint8_t speed = 0, luminance = 0, multi = 0, red = 0, green = 0, blue = 0;
    QVERIFY(store->KeyInfo(84, &speed, &luminance, &multi, &red, &green, &blue));
    QCOMPARE(int(speed), 3);
    QCOMPARE(int(luminance), 5);
    QCOMPARE(int(multi), 1);
    block = store->KeyBlockCopy(520);
    QCOMPARE(Bytes(block + 40, 2), QByteArray::fromHex("3344"));
    free(block);
    diy = store->DiyColorMapCopy(520);
    for (int i = 8; i < (kind ? 386 : 392); ++i)
        QCOMPARE(int(diy[i]), (255 - i) & 0xFF);
    free(diy);
}

void TestKeyboardWorker::listenerStoppedDuringCommands()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    r->SetCodeText(QStringLiteral("3a7c01010001"));
    w->StartListening();
    QVector<bool> runningMidCommand;
    auto probe = [&] { runningMidCommand.append(w->isRunning() || w->m_ListenFlag); };
    connect(w, &ZR_2_0_KeyboradThread::ChangeResetLightModelSucceed, this, probe, Qt::DirectConnection);
    connect(w, &ZR_2_0_KeyboradThread::ChangeLightColorSucceed, this, probe, Qt::DirectConnection);
    connect(w, &ZR_2_0_KeyboradThread::ChangeMoreColorSucceed, this, probe, Qt::DirectConnection);
    connect(w, &ZR_2_0_KeyboradThread::CHangeLightSleep_LuminaSucceed, this, probe, Qt::DirectConnection);
    connect(w, &ZR_2_0_KeyboradThread::ChangeResetKeyvalueRetul, this, probe, Qt::DirectConnection);
    SetLight(QStringLiteral("Model"), 83);
    w->ChangeLightModel();
    QVERIFY(w->isRunning());
    w->ChangeLightColor();
    QVERIFY(w->isRunning());
    w->ChangeLightMColor();
    QVERIFY(w->isRunning());
    w->ChangeLightSpeedLuminance();
    QVERIFY(w->isRunning());
    w->m_KeyFile = m_dir->filePath(QStringLiteral("Products/QK75/UserConfig/none.xml"));
    w->WriteKeys();
    QVERIFY(w->isRunning());
    w->WriteConfigBlock();
    QVERIFY(w->isRunning());
    w->RestartListening();
    QVERIFY(w->isRunning());
    QCOMPARE(runningMidCommand, QVector<bool>(5, false));
    // a notice sent while nobody listened is heard once the listener runs again
    QueuedSignalSpy put(w, &ZR_2_0_KeyboradThread::Device_Put_Chenge);
    m_dev->InjectNotice(2, 0);
    QTRY_COMPARE(put.count(), 1);
}

void TestKeyboardWorker::settingsOutOfRange_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("command"); // 1 model, 2 colour, 3 speed/luminance, 4 multi-colour
    QTest::newRow("model 200") << "Model" << QVariant(200) << 1;
    QTest::newRow("model missing") << "Model" << QVariant() << 4;
    QTest::newRow("colour not hex") << "Color" << QVariant("#12zz56") << 2;
    QTest::newRow("colour short") << "Color" << QVariant("#fff") << 2;
    QTest::newRow("speed 12") << "Speed" << QVariant(12) << 3;
    QTest::newRow("luminance -1") << "Luminance" << QVariant(-1) << 3;
}

void TestKeyboardWorker::settingsOutOfRange()
{
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    QFETCH(int, command);
    DeviceRecord *r = Open(Model::KeyboardWired, 0);
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    QCOMPARE(w->ReadDeviceTables(), 0);
    {
        QSettings ini(DataIni(), QSettings::IniFormat);
        if (value.isValid())
            ini.setValue(QStringLiteral("ChangeLight/") + key, value);
        else
            ini.remove(QStringLiteral("ChangeLight/") + key);
    }
    const QByteArray before = m_dev->Block();
    QSignalSpy box(w, &ZR_2_0_KeyboradThread::MessgBox);
    QSignalSpy hide(w, &ZR_2_0_KeyboradThread::HideBusy);
    emu::ClearTraffic();
    switch (command) {
    case 1: w->ChangeLightModel(); break;
    case 2: w->ChangeLightColor(); break;
    case 3: w->ChangeLightSpeedLuminance(); break;
    default: w->ChangeLightMColor(); break;
    }
    QCOMPARE(box.count(), 0); // no message without a text of its own: the log says why
    QVERIFY(m_dir->readFile(QStringLiteral("Log.txt")).contains("lighting request refused"));
    QCOMPARE(hide.count(), 1);
    QVERIFY(emu::TrafficLog(m_node, Traffic::SendFeature).isEmpty());
    QCOMPARE(m_dev->Block(), before);
}

void TestKeyboardWorker::sleepMidCommand()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    QCOMPARE(w->ReadDeviceTables(), 0);
    const QByteArray before = m_dev->BaseMap();
    SetLight(QStringLiteral("Model"), 86);
    SetLight(QStringLiteral("Color"), QStringLiteral("#010203"));
    m_dev->SetSleepAfterWrites(14); // the block (10 packets) goes through, the map does not
    QSignalSpy done(w, &ZR_2_0_KeyboradThread::ChangeLightColorSucceed);
    QSignalSpy error(w, &ZR_2_0_KeyboradThread::ErrorPop);
    QElapsedTimer t;
    t.start();
    w->ChangeLightColor();
    QVERIFY(t.elapsed() < 5000); // the scaled echo waits, not a hang
    QCOMPARE(done.count(), 1);
    QVERIFY(error.count() >= 1);
    QCOMPARE(m_dev->BaseMap(), before); // the device's map is untouched
    QVERIFY(w->isRunning());
    QTRY_COMPARE(int(r->connectionState), int(StateWirelessAsleep)); // the listener heard the notice
}

void TestKeyboardWorker::unplugMidCommand()
{
    DeviceRecord *r = Open(Model::KeyboardWired, 0);
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    QCOMPARE(w->ReadDeviceTables(), 0);
    const QByteArray iniBefore = m_dev->BaseMap();
    emu::Knobs k;
    k.unplugAfterWrites = 0;
    m_dev->setKnobs(k);
    SetLight(QStringLiteral("Model"), 88);
    QSignalSpy done(w, &ZR_2_0_KeyboradThread::ChangeLightColorSucceed);
    emu::Unplug(m_node);
    w->ChangeLightColor();
    QCOMPARE(done.count(), 1);
    w->WriteConfigBlock();
    w->WriteDiyColorMap();
    QCOMPARE(w->ReadDeviceTables(), 1); // the block read fails; the maps come from the saved copies
    w->StopListening();
    QVERIFY(!w->isRunning());
}

void TestKeyboardWorker::restoreWired()
{
    DeviceRecord *r = Open(Model::KeyboardWired, 0);
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    QCOMPARE(w->ReadDeviceTables(), 0);
    {
        QSettings ini(DataIni(), QSettings::IniFormat);
        ini.setValue(QStringLiteral("BaseColorMap/coloMap"), QStringLiteral("01,02"));
    }
    w->m_KeyFile = m_dir->filePath(QStringLiteral("Products/QK75/UserConfig/none.xml"));
    m_dir->writeFile(QStringLiteral("Products/QK75/UserConfig/none.xml"),
                     "<?xml version=\"1.0\"?>\n<KeyBoardRoot><Keylevel_ID ID=\"0\"/><Keylevel_ID ID=\"1\"/>"
                     "<Keylevel_ID ID=\"2\"/></KeyBoardRoot>\n");
    emu::ClearTraffic();
    w->RecoverConfig();
    QByteArray order;
    for (const Traffic &t : emu::TrafficLog(m_node, Traffic::SendFeature))
        order.append(t.bytes.at(1));
    QCOMPARE(order.toHex(), QByteArray("0a0603030304"));
    QCOMPARE(m_dev->KeyLayer(2).size(), 520);
    QSettings ini(DataIni(), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("BaseColorMap/coloMap")).toStringList().join(QLatin1Char(',')),
             ini.value(QStringLiteral("default/BaseColorMap")).toStringList().join(QLatin1Char(',')));
    QCOMPARE(m_dev->BaseMap().mid(8, 4), QByteArray::fromHex("58636e79")); // the factory map
    QCOMPARE(m_dev->Block().mid(8, 2), QByteArray::fromHex("1012"));
}

void TestKeyboardWorker::restoreReceiverAndMissingDefaults()
{
    DeviceRecord *r = Open(Model::KeyboardReceiver, 1);
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    {
        QSettings ini(DataIni(), QSettings::IniFormat);
        ini.remove(QStringLiteral("default/DiyColorMap"));
        ini.setValue(QStringLiteral("DiyColorMap/coloMap"), QStringLiteral("aa,bb"));
    }
    emu::ClearTraffic();
    w->m_TaskCode = 9;
    w->RecoverConfig();
    const QVector<Traffic> writes = emu::TrafficLog(m_node, Traffic::Write);
    QCOMPARE(writes.size(), 1);
    QCOMPARE(writes.first().bytes, QByteArray::fromHex("050601000000000000000000000000000000000c"));
    QCOMPARE(m_dev->FactoryResets(), 1);
    QCOMPARE(int(w->m_TaskCode), 0);
    QSettings ini(DataIni(), QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("DiyColorMap/coloMap")).toStringList().join(QLatin1Char(',')), QStringLiteral("aa,bb"));
}

void TestKeyboardWorker::keysAndMacros()
{
    DeviceRecord *r = Open(Model::KeyboardWired, 0);
    ZR_2_0_KeyboradThread *w = NewWorker(r);
    auto keyFile = [&](const QString &macro) {
        const QString xml = QStringLiteral("<?xml version=\"1.0\"?>\n<KeyBoardRoot><Keylevel_ID ID=\"0\">"
                                           "<KeyEdit KeyButtonName=\"Esc\" LeftValue=\"%1\" KeyValueTyp=\"Attrib_MacroValue\" Value=\"NULL\"/>"
                                           "<KeyEdit KeyButtonName=\"Q\" LeftValue=\"q\" KeyValueTyp=\"Attrib_LogitechKey\" Value=\"00150000\"/>"
                                           "<KeyEdit KeyButtonName=\"W\" LeftValue=\"w\" KeyValueTyp=\"Attrib_Unknown\" Value=\"00160000\"/>"
                                           "</Keylevel_ID></KeyBoardRoot>\n").arg(macro);
        m_dir->writeFile(QStringLiteral("Products/QK75/UserConfig/k.xml"), xml.toUtf8());
        return m_dir->filePath(QStringLiteral("Products/QK75/UserConfig/k.xml"));
    };
    QVERIFY(WriteMacroFile(*m_dir, QStringLiteral("QK75"), QStringLiteral("m1"), QByteArray::fromHex("0a0b0c0d"), 1, 2));
    m_dir->writeFile(QStringLiteral("Products/QK75/moidefConfig/bad.bin"), "{\"bad\": {\"mdfdata\": \"0a0");
    QSignalSpy result(w, &ZR_2_0_KeyboradThread::ChangeResetKeyvalueRetul);
    QSignalSpy box(w, &ZR_2_0_KeyboradThread::MessgBox);
    w->m_KeyFile = keyFile(QStringLiteral("m1"));
    w->m_ChangedLayer = 0;
    w->WriteKeys();
    QCOMPARE(result.last().at(0).toBool(), true);
    QCOMPARE(m_dev->KeyLayer(0).mid(8, 4), QByteArray::fromHex("03010200")); // Esc: macro 0
    QCOMPARE(m_dev->KeyLayer(0).mid(16, 4), QByteArray::fromHex("00150000"));
    QCOMPARE(m_dev->KeyLayer(0).mid(20, 4), QByteArray::fromHex("001a0000")); // unknown type: the layout's own
    QVERIFY(m_dev->Macros().contains(QByteArray::fromHex("0a0b0c0d")));
    const QByteArray macroFile = m_dir->readFile(QStringLiteral("Products/QK75/moidefConfig/bad.bin"));
    for (const QString &macro : {QStringLiteral("bad"), QStringLiteral("missing")}) {
        w->m_KeyFile = keyFile(macro);
        w->WriteKeys();
        QCOMPARE(result.last().at(0).toBool(), false);
        QVERIFY(box.count() >= 1);
        QCOMPARE(w->m_OperationResult.load(), 0);
    }
    QCOMPARE(m_dir->readFile(QStringLiteral("Products/QK75/moidefConfig/bad.bin")), macroFile);
    // a macro file over 2048 bytes is refused with a message
    QVERIFY(WriteMacroFile(*m_dir, QStringLiteral("QK75"), QStringLiteral("big"), QByteArray(5000, 'a')));
    w->m_KeyFile = keyFile(QStringLiteral("big"));
    const int boxes = box.count();
    w->WriteKeys();
    QCOMPARE(result.last().at(0).toBool(), false);
    QVERIFY(box.count() > boxes);
    // a macro block the keyboard does not take: one message, the cause, no pop-up of its own
    QSignalSpy pops(w, &ZR_2_0_KeyboradThread::ErrorPop);
    emu::Knobs k;
    k.unplugAfterWrites = 1; // the layer goes, the block does not
    m_dev->setKnobs(k);
    w->m_KeyFile = keyFile(QStringLiteral("m1"));
    w->WriteKeys();
    QTRY_COMPARE(box.last().at(0).toString(), GetLangText(772));
    QCOMPARE(pops.count(), 0);
}

QTEST_MAIN(TestKeyboardWorker)
#include "tst_keyboard_worker.moc"
