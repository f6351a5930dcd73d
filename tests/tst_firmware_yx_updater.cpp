// The chip-family updater against the emulated QX3 mouse, its receiver and its Geehy
// bootloader: the engine's parameters, images written byte for byte, one end step per run.
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

class TestYxUpdater : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;

    static void Fill(DeviceRecord &r, bool receiver)
    {
        r.vendorId = 0x3A7C;
        r.productId = receiver ? 0x0302 : 0x0301;
        r.connectionState = receiver ? StateWirelessAwake : StateWired;
        r.SetCodeText("3a7c03010001");
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_dir = std::make_unique<TestProgramDir>();
        QXM_Process::instance()->ReloadLanguage(0);
    }
    void init() { emu::Reset(), emu::SetTimeScale(0.01); }
    void cleanup() { emu::Reset(); }

    void engineParams()
    {
        Q_YX_FW_Updata::Target t;
        t.valid = true, t.vendorId = 0x3A7C, t.productId = 0x0302, t.code = "3a7c03010001";
        const QVariantMap common{{"_verify_password", "3a7c03010001"}, {"_verify_vid", "3a7c"}, {"_verify_pid", "302"},
                                 {"_retry_cnt", 1000}, {"_packet_time", 16}, {"_wireless_mode", false},
                                 {"_fw_path", "/p/fw.bin"}, {"_develop_mode", false}};
        t.connectionState = StateWired;
        QCOMPARE(Q_YX_FW_Updata::EngineParams(t, "/p/fw.bin", true), common);
        // Through the receiver the PixArt engine finds the receiver by the record's own ids.
        t.connectionState = StateWirelessAsleep;
        QVariantMap rx = common;
        rx["_wireless_mode"] = true;
        rx["_dongles"] = QJsonArray{QJsonObject{{"vid", "3a7c"}, {"pid", "302"}}};
        QCOMPARE(Q_YX_FW_Updata::EngineParams(t, "/p/fw.bin", true), rx);
        // Geehy: the catalogue's version, "0x27" only without one.
        t.connectionState = StateWired;
        QVariantMap geehy = common;
        geehy.insert({{"_vid", "3a7c"}, {"_pid", "302"}, {"_geehy_vid", "0x314b"}, {"_geehy_pid", "0x03ec"}, {"_version", "0x27"}});
        QCOMPARE(Q_YX_FW_Updata::EngineParams(t, "/p/fw.bin", false), geehy);
        t.geehyVersion = 0x31;
        geehy["_version"] = "0x31";
        QCOMPARE(Q_YX_FW_Updata::EngineParams(t, "/p/fw.bin", false), geehy);
        QVERIFY(Q_YX_FW_Updata::EngineParams(Q_YX_FW_Updata::Target(), "/p/fw.bin", true).isEmpty());
    }

    void updates_data()
    {
        QTest::addColumn<bool>("pixArt");
        QTest::addColumn<bool>("receiver");
        QTest::addColumn<bool>("more"); // the receiver's PixArt update follows, started from the end step
        QTest::addColumn<bool>("fault");
        QTest::newRow("PixArt wired") << true << false << false << false;
        QTest::newRow("PixArt through the receiver") << true << true << false << false;
        QTest::newRow("Geehy wired") << false << false << false << false;
        QTest::newRow("PixArt pair") << true << false << true << false;
        QTest::newRow("PixArt, another mouse's identity") << true << false << false << true;
        QTest::newRow("Geehy pair, acks lost") << false << false << true << true;
    }
    void updates()
    {
        QFETCH(bool, pixArt);
        QFETCH(bool, receiver);
        QFETCH(bool, more);
        QFETCH(bool, fault);
        auto mouse = std::make_shared<emu::MouseYx>(!receiver), rx = std::make_shared<emu::MouseYx>(false);
        emu::Plug(mouse, false);
        if (more)
            emu::Plug(rx, false);
        if (fault && pixArt)
            mouse->WithFlash([](emu::PixArtFlash &f) { f.knobs.identity = QByteArray::fromHex("3a7c03010009"); });
        if (fault && !pixArt)
            mouse->SetBootKnobs([] { emu::GeehyKnobs k; k.lostAcks = 7; return k; }());
        QByteArray file(3000, '\0');
        for (int i = 0; i < file.size(); ++i)
            file[i] = char(i * 11 + i / 239);
        QVERIFY(m_dir->writeFile("Buff/QX3/fw.bin", file));
        const QString path = m_dir->filePath("Buff/QX3/fw.bin");
        DeviceRecord record, rxRecord;
        Fill(record, receiver), Fill(rxRecord, true);

        Q_YX_FW_Updata updater;
        QStringList events; // what the dialog and the manager are told, in order
        int pops = 0;
        connect(&updater, &Q_YX_FW_Updata::popdlg, [&] { ++pops; });
        connect(&updater, &Q_YX_FW_Updata::hidebutton, [&] { events << "ok"; });
        connect(&updater, &Q_YX_FW_Updata::Dispmessg, [&](const QString &t) { events << t; });
        connect(&updater, &Q_YX_FW_Updata::UpdataStep, [&](int s) { events << QString::number(s); });
        connect(&updater, &Q_YX_FW_Updata::hidedlg, [&] { events << "hide"; });
        const auto end = [&](const char *what) {
            events << what;
            if (more && events.count("ok") == 1) // the second starts inside the first one's end step
                updater.SetDevices(&rxRecord, nullptr), updater.on_YXstartUpdata(path);
        };
        connect(&updater, &Q_YX_FW_Updata::UpdateEnded, [&] { end("ended"); });
        connect(&updater, &Q_YX_FW_Updata::UpdaterDone, [&] { end("done"); });
        updater.SetDevices(pixArt ? &record : nullptr, pixArt ? nullptr : &record);
        updater.SetMoreToCome(more);
        updater.on_YXstartUpdata(path);
        const int runs = more ? 2 : 1;
        QTRY_VERIFY_WITH_TIMEOUT(events.count("ended") + events.count("done") == runs, 30000);
        // Late signals of the ended engines (QThread::finished comes after failed runs too)
        // make no further end step.
        QTest::qWait(300);
        QVERIFY2(HidNoModelErrors(), "model errors");
        QCOMPARE(pops, runs);
        QCOMPARE(events.count("ok"), runs);
        QCOMPARE(events.count("ended") + events.count("done"), runs);
        QStringList first{"ok"};
        if (fault)
            first << GetLangText(411) << "done";
        else
            first << (more ? QStringList{"ended"} : QStringList{GetLangText(410), "100", "ended"}); // no 100 before a second
        if (!fault && !pixArt)
            first << GetLangText(410) + "\n" + GetLangText(425);
        if (more)
            first << "hide";
        QCOMPARE(events.mid(events.indexOf("ok"), first.size()), first);
        if (more)
            QCOMPARE(events.mid(events.lastIndexOf("ok") + 1), (QStringList{GetLangText(410), "100", "ended"}));
        QVERIFY(!updater.MoreToCome() && !updater.IsBusy());
        QByteArray written, rxWritten;
        mouse->WithFlash([&](emu::PixArtFlash &f) { written = f.Written(); });
        rx->WithFlash([&](emu::PixArtFlash &f) { rxWritten = f.Written(); });
        if (!pixArt)
            written = mouse->Bootloader()->Written();
        const QByteArray image = QByteArray::fromStdString(CmdControlPixArt::ImageOf(file));
        QCOMPARE(written, fault ? QByteArray() : pixArt ? image : file);
        QCOMPARE(rxWritten, more ? image : QByteArray());
    }
};

QTEST_MAIN(TestYxUpdater)
#include "tst_firmware_yx_updater.moc"
