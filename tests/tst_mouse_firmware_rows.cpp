// The firmware and receiver rows of the mouse page against the emulated second-family mouse,
// through the main window and the device list: the versions shown, what each update button
// does for each row state, and the question asked before anything downloads.
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "app/QXM_Process.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyLableItem.h"
#include "device/QHid_Work_Interface.h"
#include "firmware/CmdControlPixArt.h"
#include "firmware/DownTask.h"
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

class TstMouseFirmwareRows : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<MainWidget> m_main;
    std::shared_ptr<emu::MouseYx> m_mouse;
    uint32_t m_node = 0;

    QLStyleMouseTabWidget *Tab() const { return QLStyleMouseTabWidget::instance(); }
    HID_API *Api() const { return HID_API::instance(); }

    // Plugs the mouse (or its receiver), opens it as a tile click does, shows the firmware page.
    void Open(bool receiver)
    {
        m_mouse = std::static_pointer_cast<emu::MouseYx>(
            emu::MakeDevice(receiver ? emu::Model::SecondFamilyReceiver : emu::Model::SecondFamilyWired));
        m_node = emu::Plug(m_mouse);
        m_main = std::make_unique<MainWidget>();
        QCOMPARE(Api()->SelectDevice(Api()->TileMap().value(m_node)), 0);
        QVERIFY(Api()->Manager()->WaitIdle(10000));
        m_main->OpenMousePage(QStringLiteral("QX3"));
        m_main->show();
        Tab()->butlefit_on_buttonClicked(3);
        if (receiver) { // the worker's record learns its state when the mouse reports in
            m_mouse->InjectNotice(2, 1);
            QHid_Work_Interface *worker = Api()->Manager()->Worker(Api()->CurrentDevice()->deviceId);
            QTRY_COMPARE_WITH_TIMEOUT(int(worker->Device()->connectionState), int(StateWirelessAwake), 5000);
        }
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        Tab()->RefreshFirmwareInfo();
    }

private Q_SLOTS:
    void init()
    {
        emu::Reset(), emu::SetTimeScale(0.05);
        m_dir = std::make_unique<TestProgramDir>();
        ClearProductListCache();
    }
    void cleanup()
    {
        QVERIFY(HidNoModelErrors());
        m_main.reset(), emu::Reset(), m_mouse.reset(), m_dir.reset();
    }

    void buttons_data()
    {
        QTest::addColumn<bool>("receiver");
        QTest::addColumn<bool>("rxButton");
        QTest::addColumn<int>("status");    // -1: as the refresh left it
        QTest::addColumn<bool>("yes");
        QTest::addColumn<int>("shownText"); // 0: no message
        QTest::newRow("firmware row through the receiver") << true << false << -1 << true << 418;
        QTest::newRow("receiver row up to date") << true << true << -1 << true << 389;
        QTest::newRow("receiver row without a receiver") << false << true << -1 << true << 419;
        QTest::newRow("firmware row up to date") << false << false << -1 << true << 389;
        QTest::newRow("nothing newer (1)") << false << false << 1 << true << 389;
        QTest::newRow("newer listed, Cancel") << false << false << 2 << false << 355;
        QTest::newRow("newer listed, Yes, no offer on the tile") << false << false << 2 << true << 355;
    }
    void buttons()
    {
        QFETCH(bool, receiver);
        QFETCH(bool, rxButton);
        QFETCH(int, status);
        QFETCH(bool, yes);
        QFETCH(int, shownText);
        Open(receiver);
        QCOMPARE((QStringList{Tab()->FwLabel->text(), Tab()->FwInfoLabel->text(), Tab()->RxLabel->text(),
                              Tab()->RxInfoLabel->text(), QString::number(Tab()->m_FirmwareStatus * 10 + Tab()->m_RxFirmwareStatus)}),
                 (QStringList{GetLangText(70) + (receiver ? ":" : ":V100"), GetLangText(receiver ? 423 : 389),
                              GetLangText(349) + (receiver ? ":V100" : ":"), GetLangText(receiver ? 389 : 421), receiver ? "4" : "40"}));
        QPushButton *button = rxButton ? Tab()->RxButupdata : Tab()->FwButUpdata;
        QCOMPARE(button->text(), GetLangText(313));
        QCOMPARE(button->maximumWidth(), GetLangText(313).size() * button->fontMetrics().height() + 20);
        if (status >= 0)
            (rxButton ? Tab()->m_RxFirmwareStatus : Tab()->m_FirmwareStatus) = uchar(status);
        MessageAnswerer answer(yes);
        button->click();
        QTest::qWait(100);
        QCOMPARE(answer.count(), shownText ? 1 : 0);
        QVERIFY(!shownText || answer.shown().contains(GetLangText(uint(shownText))));
        // Nothing was queued: no download runs, and the page takes no batch.
        QCOMPARE(QDownTaskManage::Instance()->ActiveCount(), 0);
        DownTask *foreign = NewDownTask(this);
        Tab()->on_TaskEnd(&foreign, 1);
        QCOMPARE(foreign->check, DownTaskAlive);
        DeleteDownTasks(&foreign, 1);
        // A hidden page keeps its rows.
        Tab()->FwLabel->clear();
        m_main->hide();
        Tab()->RefreshFirmwareInfo();
        QVERIFY(Tab()->FwLabel->text().isEmpty());
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
        QVERIFY(m_dir->writeFile("Buff/cat.xml", QStringLiteral(
            "<UpdataProduct><firm name=\"QUORIX\"/><UpdataClass Name=\"QUORIX QX3_PixArt\"><Item Typ=\"Wired_8K\" "
            "Open=\"on\" Version=\"V200\" recpath=\"%1\"/></UpdataClass></UpdataProduct>").arg(server.url("/qx3.bin")).toUtf8()));
        QVERIFY(QWebDeviceVersionCheck::Instance()->ParseCatalogue(m_dir->filePath("Buff/cat.xml")));
        Open(false);
        Api()->TileMap().value(m_node)->On_CheckUpgrade();
        Tab()->RefreshFirmwareInfo();
        QCOMPARE(int(Tab()->m_FirmwareStatus), 2);
        QTimer ok; // the dialog's OK once the update has ended
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
