// The chip-family updater against the emulated QX3 mouse, its receiver and its Geehy
// bootloader: the engine's parameters, images written byte for byte, and one end step per run.
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "firmware/CmdControlPixArt.h"
#include "firmware/Q_YX_FW_Updata.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuMouseYx.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/TestProgramDir.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QtTest>
#include <functional>

using Knob = std::function<void(emu::MouseYx &)>;
Q_DECLARE_METATYPE(Knob)

class TestYxUpdater : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup() { emu::Reset(); }
    void engineParams_data();
    void engineParams();
    void updates_data();
    void updates();

private:
    std::unique_ptr<TestProgramDir> m_dir;
};

void TestYxUpdater::initTestCase()
{
    m_dir = std::make_unique<TestProgramDir>();
    QVERIFY(m_dir->isValid());
    QXM_Process::instance()->ReloadLanguage(0);
}

void TestYxUpdater::init()
{
    emu::Reset();
    emu::SetTimeScale(0.01);
}

void TestYxUpdater::engineParams_data()
{
    QTest::addColumn<bool>("pixArt");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("geehyVersion");
    QTest::addColumn<QVariantMap>("own"); // the keys beside the ones every map carries
    const QJsonArray dongles{QJsonObject{{"vid", "3a7c"}, {"pid", "302"}}};
    QTest::newRow("PixArt wired") << true << 1 << -1 << QVariantMap();
    QTest::newRow("PixArt on the receiver") << true << 2 << -1 << QVariantMap{{"_dongles", dongles}};
    QTest::newRow("PixArt receiver asleep") << true << 3 << 0x31 << QVariantMap{{"_dongles", dongles}};
    const QVariantMap geehy{{"_vid", "3a7c"}, {"_pid", "302"}, {"_geehy_vid", "0x314b"}, {"_geehy_pid", "0x03ec"}};
    QVariantMap catalogued = geehy, uncatalogued = geehy;
    catalogued["_version"] = "0x31";
    uncatalogued["_version"] = "0x27";
    QTest::newRow("Geehy, catalogue version") << false << 1 << 0x31 << catalogued;
    QTest::newRow("Geehy, no catalogue entry") << false << 2 << -1 << uncatalogued;
}

void TestYxUpdater::engineParams()
{
    QFETCH(bool, pixArt);
    QFETCH(int, state);
    QFETCH(int, geehyVersion);
    QFETCH(QVariantMap, own);
    Q_YX_FW_Updata::Target t;
    t.valid = true;
    t.vendorId = 0x3A7C;
    t.productId = 0x0302;
    t.connectionState = uint8_t(state);
    t.code = "3a7c03010001";
    t.geehyVersion = geehyVersion;
    QVariantMap expected{{"_verify_password", "3a7c03010001"}, {"_verify_vid", "3a7c"}, {"_verify_pid", "302"},
                         {"_retry_cnt", 1000}, {"_packet_time", 16}, {"_wireless_mode", state >= 2},
                         {"_fw_path", "/p/fw.bin"}, {"_develop_mode", false}};
    for (auto it = own.cbegin(); it != own.cend(); ++it)
        expected[it.key()] = it.value();
    const QVariantMap map = Q_YX_FW_Updata::EngineParams(t, "/p/fw.bin", pixArt);
    QCOMPARE(map.keys(), expected.keys());
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        if (it.key() == "_dongles")
            QCOMPARE(map.value(it.key()).toJsonArray(), it.value().toJsonArray());
        else
            QCOMPARE(map.value(it.key()), it.value());
    }
    QVERIFY(Q_YX_FW_Updata::EngineParams(Q_YX_FW_Updata::Target(), "/p/fw.bin", pixArt).isEmpty());
}

static QByteArray Firmware(int bytes)
{
    QByteArray f(bytes, '\0');
    for (int i = 0; i < bytes; ++i)
        f[i] = char((i * 11 + i / 239) & 0xFF);
    return f;
}

void TestYxUpdater::updates_data()
{
    QTest::addColumn<bool>("pixArt");
    QTest::addColumn<bool>("receiver");
    QTest::addColumn<bool>("more");      // another task of a pair follows
    QTest::addColumn<Knob>("knob");
    QTest::addColumn<bool>("succeeds");
    const Knob none = [](emu::MouseYx &) {};
    QTest::newRow("PixArt wired") << true << false << false << none << true;
    QTest::newRow("PixArt through the receiver") << true << true << false << none << true;
    QTest::newRow("Geehy wired") << false << false << false << none << true;
    QTest::newRow("PixArt, first of a pair") << true << false << true << none << true;
    QTest::newRow("PixArt, another mouse's identity")
        << true << false << false
        << Knob([](emu::MouseYx &m) { m.WithFlash([](emu::PixArtFlash &f) { f.knobs.identity = QByteArray::fromHex("3a7c03010009"); }); })
        << false;
    QTest::newRow("Geehy, first of a pair, acks lost")
        << false << false << true << Knob([](emu::MouseYx &m) { emu::GeehyKnobs k; k.lostAcks = 7; m.SetBootKnobs(k); })
        << false;
}

void TestYxUpdater::updates()
{
    QFETCH(bool, pixArt);
    QFETCH(bool, receiver);
    QFETCH(bool, more);
    QFETCH(Knob, knob);
    QFETCH(bool, succeeds);
    auto mouse = std::make_shared<emu::MouseYx>(!receiver);
    emu::Plug(mouse, false);
    knob(*mouse);
    const QByteArray file = Firmware(3000);
    QVERIFY(m_dir->writeFile("Buff/QX3/fw.bin", file));

    DeviceRecord record;
    record.vendorId = 0x3A7C;
    record.productId = receiver ? 0x0302 : 0x0301;
    record.connectionState = receiver ? StateWirelessAwake : StateWired;
    record.SetCodeText("3a7c03010001");

    Q_YX_FW_Updata updater;
    // What the updater tells the dialog and the manager, in order.
    QStringList events;
    int pops = 0;
    connect(&updater, &Q_YX_FW_Updata::popdlg, [&] { ++pops; });
    connect(&updater, &Q_YX_FW_Updata::hidebutton, [&] { events << "ok"; });
    connect(&updater, &Q_YX_FW_Updata::Dispmessg, [&](const QString &t) { events << "text " + t; });
    connect(&updater, &Q_YX_FW_Updata::UpdataStep, [&](int s) { events << QString("step %1").arg(s); });
    connect(&updater, &Q_YX_FW_Updata::hidedlg, [&] { events << "hide"; });
    connect(&updater, &Q_YX_FW_Updata::UpdateEnded, [&] { events << "ended"; });
    connect(&updater, &Q_YX_FW_Updata::UpdaterDone, [&] { events << "done"; });
    // The second of a pair (the receiver) starts from the first one's end step, as the manager
    // may start it: nothing the first engine sends late may act on it.
    auto rx = std::make_shared<emu::MouseYx>(false);
    DeviceRecord rxRecord;
    rxRecord.vendorId = 0x3A7C;
    rxRecord.productId = 0x0302;
    rxRecord.connectionState = StateWirelessAwake;
    rxRecord.SetCodeText("3a7c03010001");
    const QString path = m_dir->filePath("Buff/QX3/fw.bin");
    if (more) {
        emu::Plug(rx, false);
        auto chain = [&] {
            if (events.count("ok") == 1) {
                updater.SetDevices(&rxRecord, nullptr);
                updater.on_YXstartUpdata(path);
            }
        };
        connect(&updater, &Q_YX_FW_Updata::UpdateEnded, chain);
        connect(&updater, &Q_YX_FW_Updata::UpdaterDone, chain);
    }
    updater.SetDevices(pixArt ? &record : nullptr, pixArt ? nullptr : &record);
    updater.SetMoreToCome(more);
    updater.on_YXstartUpdata(path);
    const int runs = more ? 2 : 1;
    QTRY_VERIFY_WITH_TIMEOUT(events.count("ended") + events.count("done") == runs, 30000);
    // The engines' threads end meanwhile: their QThread::finished, sent after failed runs too,
    // and anything else they sent must not make another end step.
    QTest::qWait(300);
    QVERIFY2(HidNoModelErrors(), "model errors");
    QCOMPARE(pops, runs);
    QCOMPARE(events.count("ok"), runs);
    QCOMPARE(events.count("ended") + events.count("done"), runs);
    const int firstOk = events.indexOf("ok");
    QStringList tail;
    if (!succeeds)
        tail << "text " + GetLangText(411) << "done";
    else if (!more)
        tail << "text " + GetLangText(410) << "step 100" << "ended";
    else
        tail << "ended"; // the first of a pair leaves the 100 % step to the second
    if (succeeds && !pixArt)
        tail << "text " + GetLangText(410) + "\n" + GetLangText(425);
    if (more)
        tail << "hide";
    QCOMPARE(events.mid(firstOk + 1, tail.size()), tail);
    QVERIFY(!updater.MoreToCome());
    QVERIFY(!updater.IsBusy());
    if (more) {
        QCOMPARE(events.mid(events.lastIndexOf("ok") + 1),
                 (QStringList{"text " + GetLangText(410), "step 100", "ended"}));
        QByteArray written;
        rx->WithFlash([&](emu::PixArtFlash &f) { written = f.Written(); });
        QCOMPARE(written, QByteArray::fromStdString(CmdControlPixArt::ImageOf(file)));
    }
    if (!succeeds)
        return;
    QByteArray written;
    if (pixArt)
        mouse->WithFlash([&](emu::PixArtFlash &f) { written = f.Written(); });
    else
        written = mouse->Bootloader()->Written();
    QCOMPARE(written, pixArt ? QByteArray::fromStdString(CmdControlPixArt::ImageOf(file)) : file);
}

QTEST_MAIN(TestYxUpdater)
#include "tst_firmware_yx_updater.moc"
