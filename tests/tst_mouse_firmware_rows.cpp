// The firmware and receiver rows of the mouse page against the emulated second-family mouse and
// its receiver, through the main window and the device list: the versions shown, what each
// update button does for each row state, and the question asked before anything downloads.
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QHid_Work_Interface.h"
#include "device/QKeyLableItem.h"
#include "firmware/DownTask.h"
#include "firmware/CmdControlPixArt.h"
#include "firmware/QDownTaskManage.h"
#include "firmware/QUpdataDlg.h"
#include "firmware/QWebDeviceVersionCheck.h"
#include "firmware/Q_ZR_UpdataObjectManage.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuMouseYx.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/MessageAnswerer.h"
#include "tests/support/TestProgramDir.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <memory>

class TstMouseFirmwareRows : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<MainWidget> m_main;
    uint32_t m_node = 0;
    std::shared_ptr<emu::MouseYx> m_mouse;

    QLStyleMouseTabWidget *Tab() const { return QLStyleMouseTabWidget::instance(); }
    HID_API *Api() const { return HID_API::instance(); }

    // Plugs the mouse (or its receiver), opens it as a tile click does and shows the
    // firmware page.
    void Open(bool receiver)
    {
        using emu::Model;
        auto mouse = std::static_pointer_cast<emu::MouseYx>(
            emu::MakeDevice(receiver ? Model::SecondFamilyReceiver : Model::SecondFamilyWired));
        m_node = emu::Plug(mouse);
        m_mouse = mouse;
        m_main = std::make_unique<MainWidget>();
        QKeyLableItem *tile = Api()->TileMap().value(m_node);
        QVERIFY(tile);
        QCOMPARE(Api()->SelectDevice(tile), 0);
        QVERIFY(Api()->Manager()->WaitIdle(10000));
        m_main->OpenMousePage(QStringLiteral("QX3"));
        m_main->show();
        Tab()->butlefit_on_buttonClicked(3);
        if (receiver) {
            // The receiver row describes the record the worker holds: it has the connection
            // state once the mouse behind the receiver has reported in.
            mouse->InjectNotice(2, 1);
            QHid_Work_Interface *worker = Api()->Manager()->Worker(Api()->CurrentDevice()->deviceId);
            QVERIFY(worker && worker->Device());
            QTRY_COMPARE_WITH_TIMEOUT(int(worker->Device()->connectionState), int(StateWirelessAwake), 5000);
        }
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        Tab()->RefreshFirmwareInfo();
    }

private Q_SLOTS:
    void init()
    {
        emu::Reset();
        emu::SetTimeScale(0.05);
        m_dir = std::make_unique<TestProgramDir>();
        QVERIFY(m_dir->isValid());
        ClearProductListCache();
    }
    void cleanup()
    {
        QVERIFY(HidNoModelErrors());
        m_main.reset();
        emu::Reset();
        m_mouse.reset();
        m_dir.reset();
    }

    void rowsShowVersions_data()
    {
        QTest::addColumn<bool>("receiver");
        QTest::addColumn<QString>("fw");
        QTest::addColumn<int>("fwInfo");
        QTest::addColumn<int>("fwStatus");
        QTest::addColumn<QString>("rx");
        QTest::addColumn<int>("rxInfo");
        QTest::addColumn<int>("rxStatus");
        QTest::newRow("wired, no receiver") << false << ":V100" << 389 << 4 << ":" << 421 << 0;
        QTest::newRow("through the receiver") << true << ":" << 423 << 0 << ":V100" << 389 << 4;
    }
    void rowsShowVersions()
    {
        QFETCH(bool, receiver);
        QFETCH(QString, fw);
        QFETCH(int, fwInfo);
        QFETCH(int, fwStatus);
        QFETCH(QString, rx);
        QFETCH(int, rxInfo);
        QFETCH(int, rxStatus);
        Open(receiver);
        QCOMPARE(Tab()->FwLabel->text(), GetLangText(70) + fw);
        QCOMPARE(Tab()->FwInfoLabel->text(), GetLangText(uint(fwInfo)));
        QCOMPARE(int(Tab()->m_FirmwareStatus), fwStatus);
        QCOMPARE(Tab()->RxLabel->text(), GetLangText(349) + rx);
        QCOMPARE(Tab()->RxInfoLabel->text(), GetLangText(uint(rxInfo)));
        QCOMPARE(int(Tab()->m_RxFirmwareStatus), rxStatus);
        for (QPushButton *b : {Tab()->FwButUpdata, Tab()->RxButupdata}) {
            QCOMPARE(b->text(), GetLangText(313));
            QCOMPARE(b->minimumWidth(), GetLangText(313).size() * b->fontMetrics().height() + 20);
            QCOMPARE(b->maximumWidth(), b->minimumWidth());
        }
        // A hidden page keeps its rows.
        Tab()->FwLabel->clear();
        m_main->hide();
        Tab()->RefreshFirmwareInfo();
        QVERIFY(Tab()->FwLabel->text().isEmpty());
    }

    void buttons_data()
    {
        QTest::addColumn<bool>("receiver");
        QTest::addColumn<bool>("rxButton");
        QTest::addColumn<int>("status");  // -1: as the refresh left it
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<int>("shownText"); // 0: no message
        QTest::newRow("firmware row unavailable through the receiver") << true << false << -1 << true << 418;
        QTest::newRow("receiver row up to date meanwhile") << true << true << -1 << true << 0;
        QTest::newRow("receiver row without a receiver") << false << true << -1 << true << 419;
        QTest::newRow("firmware row up to date") << false << false << -1 << true << 0;
        QTest::newRow("nothing newer (1)") << false << false << 1 << true << 0;
        QTest::newRow("newer listed, Cancel") << false << false << 2 << false << 355;
        QTest::newRow("newer listed, Yes without an offer on the tile") << false << false << 2 << true << 355;
    }
    void buttons()
    {
        QFETCH(bool, receiver);
        QFETCH(bool, rxButton);
        QFETCH(int, status);
        QFETCH(bool, answerYes);
        QFETCH(int, shownText);
        Open(receiver);
        if (status >= 0)
            (rxButton ? Tab()->m_RxFirmwareStatus : Tab()->m_FirmwareStatus) = uchar(status);
        MessageAnswerer answer(answerYes);
        (rxButton ? Tab()->RxButupdata : Tab()->FwButUpdata)->click();
        QTest::qWait(100);
        QCOMPARE(answer.count(), shownText ? 1 : 0);
        if (shownText)
            QVERIFY(answer.shown().contains(GetLangText(uint(shownText))));
        // Nothing was queued: no download runs, and the page takes no batch.
        QCOMPARE(QDownTaskManage::Instance()->ActiveCount(), 0);
        DownTask *foreign = NewDownTask(this);
        Tab()->on_TaskEnd(&foreign, 1);
        QCOMPARE(foreign->check, DownTaskAlive);
        DeleteDownTasks(&foreign, 1);
    }

    // Newer PixArt firmware listed for the wired mouse: Yes downloads it once, whatever the
    // further clicks, and the update writes it into the mouse.
    void yesDownloadsAndUpdates()
    {
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        QByteArray file(3000, '\0');
        for (int i = 0; i < file.size(); ++i)
            file[i] = char(i * 7 + 3);
        server.setFile("/qx3.bin", file);
        const QString catalogue = QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<UpdataProduct>\n<firm name=\"QUORIX\"/>\n"
            "<UpdataClass Name=\"QUORIX QX3_PixArt\"><Item Typ=\"Wired_8K\" Open=\"on\" Version=\"V200\" "
            "recpath=\"%1\"/></UpdataClass>\n</UpdataProduct>\n").arg(server.url("/qx3.bin"));
        QVERIFY(m_dir->writeFile("Buff/cat.xml", catalogue.toUtf8()));
        QVERIFY(QWebDeviceVersionCheck::Instance()->ParseCatalogue(m_dir->filePath("Buff/cat.xml")));
        Open(false);
        Api()->TileMap().value(m_node)->On_CheckUpgrade();
        Tab()->RefreshFirmwareInfo();
        QCOMPARE(int(Tab()->m_FirmwareStatus), 2);
        // The dialog's OK once the update has ended.
        QTimer ok;
        connect(&ok, &QTimer::timeout, [] {
            QUpdataDlg *dialog = QUpdataDlg::ExistingInstance();
            if (dialog && dialog->isVisible() && dialog->IsOkShown())
                dialog->on_pushButton_clicked();
        });
        ok.start(50);
        MessageAnswerer yes(true);
        Tab()->FwButUpdata->click();
        Tab()->FwButUpdata->click(); // while the download runs: no second batch
        QCOMPARE(yes.count(), 1);
        QVERIFY(yes.shown().contains(GetLangText(355)));
        QTRY_VERIFY_WITH_TIMEOUT(m_mouse->NodeAfterReboot() != 0, 30000);
        QByteArray written;
        m_mouse->WithFlash([&](emu::PixArtFlash &f) { written = f.Written(); });
        QCOMPARE(written, QByteArray::fromStdString(CmdControlPixArt::ImageOf(file)));
        QCOMPARE(server.requests(), QStringList{"/qx3.bin"});
        QTRY_VERIFY_WITH_TIMEOUT(!Q_ZR_UpdataObjectManage::IsBusy(), 10000);
    }
};

QTEST_MAIN(TstMouseFirmwareRows)
#include "tst_mouse_firmware_rows.moc"
