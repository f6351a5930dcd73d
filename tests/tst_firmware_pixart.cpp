// The PixArt firmware engine against the emulated QX3 mouse: images written byte for byte with
// the exact packet cuts and checks, and every fault ending in its one failure text.
#include "device/DeviceRecord.h"
#include "firmware/CmdControlPixArt.h"
#include "firmware/CmdControlPixArtVersion.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuMouseYx.h"
#include "tests/support/HidTestSupport.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <hidapi.h>

using emu::Traffic;
using Knob = std::function<void(emu::PixArtKnobs &)>;
Q_DECLARE_METATYPE(Knob)

class TestFirmwarePixArt : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { emu::Reset(); }
    void packetCuts_data();
    void packetCuts();
    void wiredImageWritten_data();
    void wiredImageWritten();
    void wiredFaults_data();
    void wiredFaults();
    void wirelessUpdate_data();
    void wirelessUpdate();
    void versionQuery_data();
    void versionQuery();
    void versionBeforeAndAfterUpdate();

private:
    struct Run
    {
        QStringList failed, messages;
        int finished = 0;
        QList<int> progress;
        qint64 ms = 0;
    };
    Run Update(const QByteArray *file, const QVariantMap &extra = {});
    QVector<QByteArray> Frames(uint8_t command) const { return FramesOf(m_node, command); }
    QVector<QByteArray> FramesOf(uint32_t node, uint8_t command) const;

    QTemporaryDir m_dir;
    std::shared_ptr<emu::MouseYx> m_mouse, m_receiver;
    uint32_t m_node = 0, m_rxNode = 0;
};

void TestFirmwarePixArt::init()
{
    emu::Reset();
    emu::SetTimeScale(0.01);
    m_mouse = std::make_shared<emu::MouseYx>(true);
    m_node = emu::Plug(m_mouse, false);
    m_receiver = std::make_shared<emu::MouseYx>(false);
    m_rxNode = emu::Plug(m_receiver, false);
}

QVector<QByteArray> TestFirmwarePixArt::FramesOf(uint32_t node, uint8_t command) const
{
    QVector<QByteArray> out;
    for (const Traffic &t : emu::TrafficLog(node, Traffic::SendFeature))
        if (t.bytes.size() > 8 && uint8_t(t.bytes[2]) == 0x65 && uint8_t(t.bytes[6]) == command)
            out.append(t.bytes);
    return out;
}

TestFirmwarePixArt::Run TestFirmwarePixArt::Update(const QByteArray *file, const QVariantMap &extra)
{
    const QString path = m_dir.filePath("firmware.bin");
    QFile::remove(path);
    if (file) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(*file);
    }
    QVariantMap params{{"_verify_password", "3a7c03010001"}, {"_verify_vid", "0x3A7C"}, {"_verify_pid", "0x0301"},
                       {"_retry_cnt", 1000}, {"_packet_time", 16}, {"_fw_path", path}};
    for (auto it = extra.cbegin(); it != extra.cend(); ++it)
        params[it.key()] = it.value();
    CmdControlPixArt engine;
    Run run;
    connect(&engine, &CmdControl::failed, [&](const QString &t) { run.failed << t; });
    connect(&engine, &CmdControl::message, [&](const QString &t) { run.messages << t; });
    connect(&engine, &CmdControl::finished, [&] { ++run.finished; });
    connect(&engine, &CmdControl::update_process, [&](int p) { run.progress << p; });
    engine.reset();
    engine.set_params(params);
    engine.setup();
    QElapsedTimer t;
    t.start();
    engine.start();
    engine.wait();
    run.ms = t.elapsed();
    return run;
}

void TestFirmwarePixArt::packetCuts_data()
{
    QTest::addColumn<int>("fileBytes");
    QTest::addColumn<int>("packetSize");
    QTest::addColumn<QString>("cuts"); // count x size, in order
    QTest::newRow("4096 at 25") << 4096 << 25 << "163x25 1x21 1x25 1x7";
    QTest::newRow("4096 at 40") << 4096 << 40 << "102x40 1x16 1x32";
    QTest::newRow("1000 at 30: the 1000-cut") << 968 << 30 << "33x30 1x10";
    QTest::newRow("empty: nothing") << 0 << 25 << "";
}

static QString Cuts(const QList<std::string> &packets)
{
    QStringList out;
    int run = 0;
    size_t size = 0;
    for (const std::string &p : packets) {
        if (run && p.size() != size) {
            out << QString("%1x%2").arg(run).arg(size);
            run = 0;
        }
        size = p.size();
        ++run;
    }
    if (run)
        out << QString("%1x%2").arg(run).arg(size);
    return out.join(' ');
}

void TestFirmwarePixArt::packetCuts()
{
    QFETCH(int, fileBytes);
    QFETCH(int, packetSize);
    QFETCH(QString, cuts);
    const std::string image = CmdControlPixArt::ImageOf(QByteArray(fileBytes, '\x5a'));
    QCOMPARE(int(image.size()), fileBytes ? fileBytes + 32 : 0);
    QCOMPARE(Cuts(CmdControlPixArt::CutPackets(image, packetSize)), cuts);
}

static QByteArray Firmware(int bytes)
{
    QByteArray f(bytes, '\0');
    for (int i = 0; i < bytes; ++i)
        f[i] = char((i * 7 + i / 251) & 0xFF);
    return f;
}

void TestFirmwarePixArt::wiredImageWritten_data()
{
    QTest::addColumn<int>("fileBytes");
    QTest::addColumn<Knob>("knob");
    QTest::addColumn<QString>("cuts");
    QTest::addColumn<int>("valids");   // 0x41 frames
    QTest::addColumn<int>("blocks");   // 0x25 frames
    const Knob none = [](emu::PixArtKnobs &) {};
    QTest::newRow("4096 bytes") << 4096 << none << "163x25 1x21 1x25 1x7" << 6 << 2;
    QTest::newRow("packet size 40: no 1k checks") << 4096 << Knob([](emu::PixArtKnobs &k) { k.packetSize = 40; })
                                                  << "102x40 1x16 1x32" << 2 << 2;
    QTest::newRow("identity DONGLE passes") << 100 << Knob([](emu::PixArtKnobs &k) { k.identity = "DONGLE"; })
                                            << "5x25 1x7" << 1 << 1;
    QTest::newRow("replies lost and busy: retried")
        << 2000 << Knob([](emu::PixArtKnobs &k) { k.lostReplies = 2, k.busyReads = 3; }) << "" << -1 << 1;
    QTest::newRow("64 KiB") << 65536 << none << "" << -1 << 17;
}

void TestFirmwarePixArt::wiredImageWritten()
{
    QFETCH(int, fileBytes);
    QFETCH(Knob, knob);
    QFETCH(QString, cuts);
    QFETCH(int, valids);
    QFETCH(int, blocks);
    m_mouse->WithFlash([&](emu::PixArtFlash &f) { knob(f.knobs); f.newVersion = 0x0107; });
    const QByteArray file = Firmware(fileBytes);
    const Run run = Update(&file);
    QVERIFY2(HidNoModelErrors(), "model errors");
    QCOMPARE(run.failed, QStringList());
    QCOMPARE(run.finished, 1);
    QVERIFY(!run.progress.isEmpty());
    QVERIFY(std::is_sorted(run.progress.begin(), run.progress.end()));
    QCOMPARE(run.progress.last(), 100);
    QByteArray written;
    m_mouse->WithFlash([&](emu::PixArtFlash &f) { written = f.Written(); });
    QCOMPARE(written, QByteArray::fromStdString(CmdControlPixArt::ImageOf(file)));
    QList<std::string> sent;
    for (const QByteArray &f : Frames(0x40))
        sent.append(f.mid(9, uint8_t(f[8])).toStdString());
    if (!cuts.isEmpty())
        QCOMPARE(Cuts(sent), cuts);
    if (valids >= 0)
        QCOMPARE(Frames(0x41).size(), valids);
    QCOMPARE(Frames(0x25).size(), blocks);
    const QByteArray info = Frames(0x18).value(0);
    QCOMPARE(uint32_t(uint8_t(info[10]) | uint8_t(info[11]) << 8 | uint8_t(info[12]) << 16), uint32_t(fileBytes + 32));
    QCOMPARE(Frames(0x22).size(), 1);
    // The mouse comes back with the new firmware's version as its release number.
    QTRY_VERIFY(m_mouse->NodeAfterReboot() != 0);
    QCOMPARE(emu::DeviceOf(m_mouse->NodeAfterReboot())->release(), uint16_t(0x0107));
    QCOMPARE(emu::OpenHandles(m_node), 0);
}

void TestFirmwarePixArt::wiredFaults_data()
{
    QTest::addColumn<int>("fileBytes");  // -1: no file
    QTest::addColumn<Knob>("knob");
    QTest::addColumn<QVariantMap>("extra");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("anyData");   // 0x40 frames on the wire
    QTest::addColumn<QList<int>>("sentCommands"); // each sent at least once
    const Knob none = [](emu::PixArtKnobs &) {};
    const auto size = [](int s) { return Knob([s](emu::PixArtKnobs &k) { k.packetSize = s; }); };
    QTest::newRow("missing file") << -1 << none << QVariantMap() << "missing firmware.bin" << "" << false << QList<int>();
    QTest::newRow("empty file") << 0 << none << QVariantMap() << "firmware data error" << "" << false << QList<int>();
    QTest::newRow("16 MiB image") << int(CmdControlPixArt::MaxImageBytes - 32) << none << QVariantMap() << "firmware data error"
                                  << "" << false << QList<int>();
    QTest::newRow("wrong identity") << 4096 << Knob([](emu::PixArtKnobs &k) { k.identity = QByteArray::fromHex("3a7c03010002"); })
                                    << QVariantMap() << "verify pass failed" << "" << false << QList<int>{0x80};
    QTest::newRow("left in upgrade mode") << 4096 << Knob([](emu::PixArtKnobs &k) { k.leftInUpgradeMode = true; })
                                          << QVariantMap() << "device rebooted, please try again" << "" << false
                                          << QList<int>{0x80, 0x22};
    QTest::newRow("packet size 0") << 4096 << size(0) << QVariantMap() << "setup device failed." << "" << false << QList<int>{0x42};
    QTest::newRow("packet size -1") << 4096 << size(-1) << QVariantMap() << "setup device failed." << "" << false << QList<int>{0x42};
    QTest::newRow("packet size 56") << 4096 << size(56) << QVariantMap() << "setup device failed." << "" << false << QList<int>{0x42};
    QTest::newRow("corrupted byte: 1k sum") << 4096 << Knob([](emu::PixArtKnobs &k) { k.corruptDataAt = 10; })
                                            << QVariantMap() << "upgrade device failed." << "verify 1k data failed" << true
                                            << QList<int>{0x41};
    QTest::newRow("corrupted byte: final sum") << 4096 << Knob([](emu::PixArtKnobs &k) { k.corruptDataAt = 4100; })
                                               << QVariantMap() << "upgrade device failed." << "verify 1k data failed" << true
                                               << QList<int>{0x41};
    QTest::newRow("vanishes at packet 5") << 4096 << Knob([](emu::PixArtKnobs &k) { k.vanishAtPacket = 5; })
                                          << QVariantMap() << "upgrade device failed." << "verify 1k data failed" << true
                                          << QList<int>{0x40};
    QTest::newRow("image larger than the flash") << 4096 << Knob([](emu::PixArtKnobs &k) { k.flashSize = 4000; })
                                                 << QVariantMap() << "setup device failed." << "" << false << QList<int>{0x27};
    QTest::newRow("another mouse's ids") << 4096 << none << QVariantMap{{"_verify_pid", "0x0305"}}
                                         << "can't find device" << "" << false << QList<int>();
}

void TestFirmwarePixArt::wiredFaults()
{
    QFETCH(int, fileBytes);
    QFETCH(Knob, knob);
    QFETCH(QVariantMap, extra);
    QFETCH(QString, failure);
    QFETCH(QString, message);
    QFETCH(bool, anyData);
    QFETCH(QList<int>, sentCommands);
    m_mouse->WithFlash([&](emu::PixArtFlash &f) { knob(f.knobs); });
    const QByteArray file = Firmware(std::max(fileBytes, 0));
    const Run run = Update(fileBytes < 0 ? nullptr : &file, extra);
    QVERIFY2(HidNoModelErrors(), "model errors");
    QCOMPARE(run.failed, QStringList{failure});
    QCOMPARE(run.finished, 0);
    QCOMPARE(run.messages.contains(message), !message.isEmpty());
    QCOMPARE(!Frames(0x40).isEmpty(), anyData);
    for (int c : sentCommands)
        QVERIFY2(!Frames(uint8_t(c)).isEmpty(), qPrintable(QString::number(c, 16)));
    if (sentCommands.isEmpty())
        QVERIFY(emu::TrafficLog(m_node, Traffic::SendFeature).isEmpty());
    QVERIFY(Frames(0x18).isEmpty());
    // Each ends within its retry budget: the waits the failing step mandates, at this time scale.
    QVERIFY2(run.ms < 3000, qPrintable(QString::number(run.ms)));
    QCOMPARE(emu::OpenHandles(m_node), 0);
}

void TestFirmwarePixArt::wirelessUpdate_data()
{
    QTest::addColumn<int>("fileBytes");
    QTest::addColumn<Knob>("knob");
    QTest::addColumn<bool>("paired");
    QTest::addColumn<QVariantMap>("extra");
    QTest::addColumn<QString>("failure"); // empty: finished
    QTest::addColumn<int>("maxMs");
    const Knob none = [](emu::PixArtKnobs &) {};
    QTest::newRow("4096 bytes") << 4096 << none << true << QVariantMap() << "" << 20000;
    QTest::newRow("64 KiB") << 65536 << none << true << QVariantMap() << "" << 60000;
    QTest::newRow("receiver id as short text") << 100 << none << true << QVariantMap{{"_verify_pid", "302"}} << "" << 20000;
    QTest::newRow("another receiver's id") << 4096 << none << true << QVariantMap{{"_verify_pid", "0x0303"}}
                                           << "wireless verify ID failed" << 3000;
    QTest::newRow("another mouse behind it") << 4096
        << Knob([](emu::PixArtKnobs &k) { k.identity = QByteArray::fromHex("3a7c03010009"); }) << true << QVariantMap()
        << "wireless verify pass failed" << 8000; // asked until the stage deadline
    QTest::newRow("mouse wakes after 3 queries") << 4096 << Knob([](emu::PixArtKnobs &k) { k.asleepQueries = 3; })
                                                 << true << QVariantMap() << "" << 20000;
    QTest::newRow("receiver without its mouse") << 4096 << none << false << QVariantMap()
                                                << "wireless verify pass failed" << 8000;
    QTest::newRow("corrupted byte: 1k sum") << 4096 << Knob([](emu::PixArtKnobs &k) { k.corruptDataAt = 1500; })
                                            << true << QVariantMap() << "wireless upgrade device failed" << 8000;
    QTest::newRow("vanishes at packet 50") << 4096 << Knob([](emu::PixArtKnobs &k) { k.vanishAtPacket = 50; })
                                           << true << QVariantMap() << "wireless upgrade device failed" << 3000;
    QTest::newRow("empty file") << 0 << none << true << QVariantMap() << "firmware data error" << 1000;
    QTest::newRow("no receiver listed") << 4096 << none << true << QVariantMap{{"_dongles", QJsonArray()}}
                                        << "can't find device" << 1000;
}

void TestFirmwarePixArt::wirelessUpdate()
{
    QFETCH(int, fileBytes);
    QFETCH(Knob, knob);
    QFETCH(bool, paired);
    QFETCH(QVariantMap, extra);
    QFETCH(QString, failure);
    QFETCH(int, maxMs);
    m_receiver->WithFlash([&](emu::PixArtFlash &f) { knob(f.knobs); f.paired = paired; });
    const QByteArray file = Firmware(fileBytes);
    QVariantMap params{{"_wireless_mode", true}, {"_verify_pid", "0x0302"},
                       {"_dongles", QJsonArray{QJsonObject{{"vid", "0x3A7C"}, {"pid", "0x0302"}}}}};
    for (auto it = extra.cbegin(); it != extra.cend(); ++it)
        params[it.key()] = it.value();
    const Run run = Update(&file, params);
    QVERIFY2(HidNoModelErrors(), "model errors");
    QVERIFY2(run.ms < maxMs, qPrintable(QString::number(run.ms)));
    QCOMPARE(emu::OpenHandles(m_rxNode), 0);
    QVERIFY(emu::TrafficLog(m_node, Traffic::SendFeature).isEmpty()); // the wired mouse is left alone
    if (!failure.isEmpty()) {
        QCOMPARE(run.failed, QStringList{failure});
        QCOMPARE(run.finished, 0);
        QVERIFY(FramesOf(m_rxNode, 0x18).isEmpty());
        if (failure.contains("verify"))
            QVERIFY(FramesOf(m_rxNode, 0x27).isEmpty());
        return;
    }
    QCOMPARE(run.failed, QStringList());
    QCOMPARE(run.finished, 1);
    QCOMPARE(run.messages, (QStringList{"verify ready ok", "verify password ok", "verify vid pid ok", "upgrading"}));
    QCOMPARE(run.progress.last(), 100);
    QByteArray written;
    m_receiver->WithFlash([&](emu::PixArtFlash &f) { written = f.Written(); });
    QCOMPARE(written, QByteArray::fromStdString(CmdControlPixArt::ImageOf(file)));
    for (const QByteArray &f : FramesOf(m_rxNode, 0x40))
        QCOMPARE(int(f[5]), 1);
}

void TestFirmwarePixArt::versionQuery_data()
{
    QTest::addColumn<bool>("receiver");
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("featureLength"); // 0: no device
    QTest::addColumn<int>("replyBytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("0107") << false << 0x0107 << 64 << 42 << "0107";
    QTest::newRow("0200") << false << 0x0200 << 64 << 42 << "0200";
    QTest::newRow("zero: no text") << false << 0 << 64 << 42 << "";
    QTest::newRow("receiver answers its own") << true << 0x0311 << 64 << 42 << "0311";
    QTest::newRow("no device: no transfer") << false << 0x0107 << 0 << 42 << "";
    QTest::newRow("feature report too short: no transfer") << false << 0x0107 << 26 << 42 << "";
    QTest::newRow("reply too short") << false << 0x0107 << 64 << 26 << "";
}

void TestFirmwarePixArt::versionQuery()
{
    QFETCH(bool, receiver);
    QFETCH(int, version);
    QFETCH(int, featureLength);
    QFETCH(int, replyBytes);
    QFETCH(QString, expected);
    const std::shared_ptr<emu::MouseYx> mouse = receiver ? m_receiver : m_mouse;
    const uint32_t node = receiver ? m_rxNode : m_node;
    mouse->WithFlash([&](emu::PixArtFlash &f) { f.version = uint16_t(version), f.knobs.replyBytes = replyBytes; });
    DeviceRecord record;
    record.handle = featureLength ? hid_open_path(emu::PathOf(node).toUtf8().constData()) : nullptr;
    record.featureLength = uint16_t(featureLength);
    emu::ClearTraffic();
    CmdControlPixArtVersion query;
    query.AttachRecord(&record);
    QCOMPARE(query.ReadWiredVersion(), expected);
    const QVector<Traffic> sent = emu::TrafficLog(node, Traffic::SendFeature);
    if (featureLength < CmdControlPixArtVersion::MinReplyBytes) {
        QVERIFY(sent.isEmpty());
    } else {
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].bytes, QByteArray::fromHex("03CD653A0700920102 9200") + QByteArray(featureLength - 11, '\0'));
        QCOMPARE(emu::TrafficLog(node, Traffic::GetFeature).value(0).bytes.left(1), QByteArray("\x03"));
    }
    QVERIFY2(HidNoModelErrors(), "model errors");
    if (record.handle)
        hid_close(record.handle);
}

void TestFirmwarePixArt::versionBeforeAndAfterUpdate()
{
    m_mouse->WithFlash([&](emu::PixArtFlash &f) { f.version = 0x0105, f.newVersion = 0x0106; });
    auto read = [](uint32_t node) {
        DeviceRecord record;
        record.handle = hid_open_path(emu::PathOf(node).toUtf8().constData());
        record.featureLength = 64;
        CmdControlPixArtVersion query;
        query.AttachRecord(&record);
        const QString v = query.ReadWiredVersion();
        hid_close(record.handle);
        return v;
    };
    QCOMPARE(read(m_node), QString("0105"));
    const QByteArray file = Firmware(3000);
    QCOMPARE(Update(&file).finished, 1);
    QTRY_VERIFY(m_mouse->NodeAfterReboot() != 0);
    QCOMPARE(read(m_mouse->NodeAfterReboot()), QString("0106"));
    QVERIFY2(HidNoModelErrors(), "model errors");
}

QTEST_GUILESS_MAIN(TestFirmwarePixArt)
#include "tst_firmware_pixart.moc"
