// The Geehy firmware engine against the emulated QX3 mouse and the bootloader it turns into:
// the exact report traffic, images written byte for byte, and each fault ending in its text.
#include "firmware/CmdControlGeeHy.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuGeehyBoot.h"
#include "tests/emu/EmuMouseYx.h"
#include "tests/support/HidTestSupport.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

using emu::Traffic;
using BootKnob = std::function<void(emu::GeehyKnobs &)>;
Q_DECLARE_METATYPE(BootKnob)

class TestFirmwareGeehy : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup() { emu::Reset(); }
    void smallImageTraffic();
    void imagesWritten_data();
    void imagesWritten();
    void faults_data();
    void faults();

private:
    struct Run
    {
        QStringList failed, messages;
        int finished = 0;
        QList<int> progress;
        qint64 ms = 0;
    };
    Run Update(const QByteArray *file, const QVariantMap &extra = {}, qint64 stretchTo = 0);
    QVector<QByteArray> Writes(uint32_t node) const;

    QTemporaryDir m_dir;
    std::shared_ptr<emu::MouseYx> m_mouse;
    uint32_t m_node = 0;
};

void TestFirmwareGeehy::init()
{
    emu::Reset();
    emu::SetTimeScale(0.01);
    m_mouse = std::make_shared<emu::MouseYx>(true);
    m_node = emu::Plug(m_mouse, false);
}

QVector<QByteArray> TestFirmwareGeehy::Writes(uint32_t node) const
{
    QVector<QByteArray> out;
    for (const Traffic &t : emu::TrafficLog(node, Traffic::Write))
        out.append(t.bytes);
    return out;
}

TestFirmwareGeehy::Run TestFirmwareGeehy::Update(const QByteArray *file, const QVariantMap &extra, qint64 stretchTo)
{
    const QString path = m_dir.filePath("firmware.bin");
    QFile::remove(path);
    if (file) {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(*file);
        if (stretchTo > 0)
            f.resize(stretchTo); // a hole: costs no disk
    }
    QVariantMap params{{"_fw_path", path}, {"_vid", "0x3A7C"}, {"_pid", "0x0301"}, {"_geehy_vid", "0x314b"},
                       {"_geehy_pid", "0x03ec"}, {"_version", "0x27"}, {"_packet_time", 16}};
    for (auto it = extra.cbegin(); it != extra.cend(); ++it)
        params[it.key()] = it.value();
    CmdControlGeeHy engine;
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

static QByteArray Firmware(int bytes)
{
    QByteArray f(bytes, '\0');
    for (int i = 0; i < bytes; ++i)
        f[i] = char((i * 13 + i / 241) & 0xFF);
    return f;
}

static QByteArray Report(uint8_t id, const QByteArray &from1)
{
    QByteArray r(65, '\0');
    r[0] = char(id);
    r.replace(1, from1.size(), from1);
    unsigned sum = 0;
    for (int i = 1; i < 64; ++i)
        sum += uint8_t(r[i]);
    r[64] = char(sum & 0xFF);
    return r;
}

void TestFirmwareGeehy::smallImageTraffic()
{
    const QByteArray file = Firmware(117);
    const Run run = Update(&file);
    QVERIFY2(HidNoModelErrors(), "model errors");
    QCOMPARE(run.failed, QStringList());
    QCOMPARE(run.finished, 1);
    QCOMPARE(run.progress, (QList<int>{0, 33, 66}));
    QCOMPARE(Writes(m_node), QVector<QByteArray>{Report(9, QByteArray::fromHex("11"))});
    const std::shared_ptr<emu::GeehyBoot> boot = m_mouse->Bootloader();
    QVERIFY(boot);
    unsigned sum = 0;
    for (char c : file)
        sum += uint8_t(c);
    const QVector<QByteArray> expected{
        Report(0, QByteArray::fromHex("25")),
        Report(0, QByteArray::fromHex("2275000000")),
        Report(0, QByteArray::fromHex("330002003a") + file.mid(0, 58)),
        Report(0, QByteArray::fromHex("330001003a") + file.mid(58, 58)),
        Report(0, QByteArray::fromHex("33000000 01") + file.mid(116)),
        Report(0, QByteArray::fromHex("44") + QByteArray::fromHex(QByteArray::number(sum, 16).rightJustified(8, '0'))),
        Report(0, QByteArray::fromHex("242700")),
        Report(0, QByteArray::fromHex("55")),
    };
    QCOMPARE(Writes(boot->node()), expected);
    QCOMPARE(boot->Written(), file);
    // The mouse comes back in normal mode and answers the status probe with the written version.
    QTRY_VERIFY(emu::DeviceOf(m_mouse->node()) && emu::PathOf(m_mouse->node()) != emu::PathOf(m_node));
    QCOMPARE(m_mouse->GeehyVersion(), uint8_t(0x27));
}

void TestFirmwareGeehy::imagesWritten_data()
{
    QTest::addColumn<int>("fileBytes");
    QTest::addColumn<bool>("startInBootloader");
    QTest::addColumn<BootKnob>("knob");
    const BootKnob none = [](emu::GeehyKnobs &) {};
    QTest::newRow("58 bytes: one packet numbered 0") << 58 << false << none;
    QTest::newRow("64 KiB") << 65536 << false << none;
    QTest::newRow("already in its bootloader: no switch") << 4096 << true << none;
    QTest::newRow("acks lost twice: resent") << 4096 << false << BootKnob([](emu::GeehyKnobs &k) { k.lostAcks = 2; });
    QTest::newRow("busy for three acks: resent") << 4096 << false << BootKnob([](emu::GeehyKnobs &k) { k.busyAcks = 3; });
}

void TestFirmwareGeehy::imagesWritten()
{
    QFETCH(int, fileBytes);
    QFETCH(bool, startInBootloader);
    QFETCH(BootKnob, knob);
    emu::GeehyKnobs knobs;
    knob(knobs);
    std::shared_ptr<emu::GeehyBoot> boot;
    if (startInBootloader) {
        emu::Unplug(m_node, false);
        boot = std::make_shared<emu::GeehyBoot>(m_mouse);
        boot->knobs = knobs;
        emu::Plug(boot, false);
    } else {
        m_mouse->SetBootKnobs(knobs);
    }
    const QByteArray file = Firmware(fileBytes);
    const Run run = Update(&file);
    QVERIFY2(HidNoModelErrors(), "model errors");
    QCOMPARE(run.failed, QStringList());
    QCOMPARE(run.finished, 1);
    if (!boot)
        boot = m_mouse->Bootloader();
    QVERIFY(boot);
    QCOMPARE(boot->Written(), file);
    QCOMPARE(boot->WrittenVersion(), uint16_t(0x27));
    QCOMPARE(Writes(m_node).isEmpty(), startInBootloader);
    QCOMPARE(emu::OpenHandles(boot->node()), 0);
}

void TestFirmwareGeehy::faults_data()
{
    QTest::addColumn<int>("fileBytes"); // -1: no file
    QTest::addColumn<BootKnob>("knob");
    QTest::addColumn<bool>("ignoreSwitch");
    QTest::addColumn<QVariantMap>("extra");
    QTest::addColumn<QString>("failure");
    QTest::addColumn<bool>("switched"); // the mouse went into its bootloader
    const BootKnob none = [](emu::GeehyKnobs &) {};
    QTest::newRow("missing file") << -1 << none << false << QVariantMap() << "missing firmware.bin" << false;
    QTest::newRow("empty file") << 0 << none << false << QVariantMap() << "firmware data error" << false;
    QTest::newRow("more packets than can be numbered") << 65537 * 58 << none << false << QVariantMap()
                                                       << "firmware data error" << false;
    QTest::newRow("512 MiB: refused unread") << (512 << 20) << none << false << QVariantMap() << "firmware data error"
                                             << false;
    QTest::newRow("acks lost seven times") << 4096 << BootKnob([](emu::GeehyKnobs &k) { k.lostAcks = 7; }) << false
                                           << QVariantMap() << "upgrade_send_fw_data failed" << true;
    QTest::newRow("corrupted byte: CRC") << 4096 << BootKnob([](emu::GeehyKnobs &k) { k.corruptDataAt = 1000; })
                                         << false << QVariantMap() << "upgrade_send_crc_code failed" << true;
    QTest::newRow("vanishes at packet 3") << 4096 << BootKnob([](emu::GeehyKnobs &k) { k.vanishAtPacket = 3; })
                                          << false << QVariantMap() << "upgrade_send_fw_data failed" << true;
    QTest::newRow("image larger than the flash") << 4096 << BootKnob([](emu::GeehyKnobs &k) { k.flashSize = 4000; })
                                                 << false << QVariantMap() << "upgrade_send_fw_length failed" << true;
    QTest::newRow("bootloader never appears") << 4096 << none << true << QVariantMap() << "unknown device status" << false;
    QTest::newRow("another mouse's ids") << 4096 << none << false << QVariantMap{{"_pid", "0x0305"}}
                                         << "can't find device" << false;
}

void TestFirmwareGeehy::faults()
{
    QFETCH(int, fileBytes);
    QFETCH(BootKnob, knob);
    QFETCH(bool, ignoreSwitch);
    QFETCH(QVariantMap, extra);
    QFETCH(QString, failure);
    QFETCH(bool, switched);
    emu::GeehyKnobs knobs;
    knob(knobs);
    m_mouse->SetBootKnobs(knobs);
    m_mouse->SetIgnoreBootloaderRequest(ignoreSwitch);
    const bool huge = fileBytes > (64 << 20);
    const QByteArray file = Firmware(huge ? 0 : std::max(fileBytes, 0));
    const Run run = Update(fileBytes < 0 ? nullptr : &file, extra, huge ? fileBytes : 0);
    QVERIFY2(HidNoModelErrors(), "model errors");
    QCOMPARE(run.failed, QStringList{failure});
    QCOMPARE(run.finished, 0);
    QCOMPARE(bool(m_mouse->Bootloader()), switched);
    if (!switched && !ignoreSwitch)
        QVERIFY(Writes(m_node).isEmpty()); // nothing reached the mouse
    if (const auto boot = m_mouse->Bootloader()) {
        QVERIFY(boot->Written().isEmpty());
        for (const QByteArray &w : Writes(boot->node()))
            QVERIFY(uint8_t(w[1]) != 0x55);
    }
    // Each ends within the waits its retries allow at this time scale.
    QVERIFY2(run.ms < 6000, qPrintable(QString::number(run.ms)));
    QCOMPARE(emu::OpenHandles(m_node), 0);
}

QTEST_GUILESS_MAIN(TestFirmwareGeehy)
#include "tst_firmware_geehy.moc"
