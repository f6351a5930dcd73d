#include "app/DownloadPercent.h"
#include "app/InerWidget.h"
#include "app/MainWidget.h"
#include "app/QGlobalSetWidget.h"
#include "app/QXM_Process.h"
#include "firmware/DownTask.h"
#include "firmware/QDownTaskManage.h"
#include "firmware/QWebDeviceVersionCheck.h"
#include "platform/AutoStart.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/TestProgramDir.h"
#include "widgets/QMaskGrayLabel.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <memory>

namespace {

QByteArray catalogue(const QByteArray &version, const QByteArray &path = "http://127.0.0.1/none.sh")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<UpdataProduct><firm name=\"QUORIX\"/>"
           "<UpdataClass Name=\"Drive\" versions=\"" + version + "\" path=\"" + path + "\" OPenUpdataKeyborad=\"on\"/>"
           "</UpdataProduct>\n";
}

void setIni(const TestProgramDir &dir, const QString &key, const QVariant &value)
{
    QSettings ini(dir.filePath("SysBuild.ini"), QSettings::IniFormat);
    ini.setValue(key, value);
}

QVariant iniValue(const TestProgramDir &dir, const QString &key)
{
    QSettings ini(dir.filePath("SysBuild.ini"), QSettings::IniFormat);
    return ini.value(key);
}

template <typename T>
T *part(QWidget *page, const char *name)
{
    T *w = page->findChild<T *>(QLatin1String(name));
    if (!w)
        qFatal("no %s", name);
    return w;
}

// The page after its version check has ended.
struct CheckedPage
{
    std::unique_ptr<QGlobalSetWidget> page;
    InerWidget *iner = nullptr;
    QPushButton *button = nullptr;
    bool ended = false; // the check left the loading state in time
};

CheckedPage checkVersions(const TestProgramDir &dir, const QString &address)
{
    setIni(dir, "Systime/UpdatadataIp", address);
    CheckedPage c;
    c.page.reset(new QGlobalSetWidget);
    c.page->show();
    c.iner = c.page->Iner();
    c.button = part<QPushButton>(c.page.get(), "ButCheckUpda");
    c.iner->on_CheckVersionsStatic();
    c.ended = QTest::qWaitFor([&] { return c.iner->UpdateStateValue() != InerWidget::CatalogueLoading; }, 10000);
    return c;
}

} // namespace

class TstSettingsPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("quorix-hub-test");
    }

    void catalogueDecidesTheOffer_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("textId");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("newer") << catalogue("1.0.58.0") << 200 << "/cat.xml" << 2 << 390 << true;
        QTest::newRow("newer minor") << catalogue("1.1.0.0") << 200 << "/cat.xml" << 2 << 390 << true;
        QTest::newRow("equal") << catalogue("1.0.57.0") << 200 << "/cat.xml" << 5 << 389 << false;
        QTest::newRow("older") << catalogue("1.0.9.0") << 200 << "/cat.xml" << 5 << 389 << false;
        QTest::newRow("missing") << QByteArray("gone") << 404 << "/cat.xml" << 6 << 391 << false;
        QTest::newRow("malformed") << catalogue("1.0.58.0").left(60) << 200 << "/cat.xml" << 6 << 391 << false;
        QTest::newRow("no version") << catalogue("latest") << 200 << "/cat.xml" << 6 << 391 << false;
        QTest::newRow("blank in name") << catalogue("1.0.58.0") << 200 << "/update cat.xml" << 2 << 390 << true;
        QTest::newRow("no address") << QByteArray() << 200 << "" << 6 << 391 << false;
    }

    void catalogueDecidesTheOffer()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, address);
        QFETCH(int, state);
        QFETCH(int, textId);
        QFETCH(bool, enabled);
        TestProgramDir dir;
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        LoopbackHttpServer::Route route;
        route.status = status;
        route.body = body;
        server.setRoute(QUrl(address).toEncoded(), route);

        CheckedPage c = checkVersions(dir, address.isEmpty() ? QString() : server.url(address));
        QVERIFY(c.ended);
        QCOMPARE(int(c.iner->UpdateStateValue()), state);
        QCOMPARE(c.button->text(), GetLangText(textId));
        QCOMPARE(c.button->isEnabled(), enabled);
        if (state == 2)
            QCOMPARE(c.button->toolTip(), GetLangText(390) + QWebDeviceVersionCheck::Instance()->DriveVersion());
        QCOMPARE(QDownTaskManage::Instance()->ActiveCount(), 0);
    }

    void newerProgramIsDownloadedAndStartedOnClick()
    {
        TestProgramDir dir;
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        const QString marker = dir.filePath("installer-ran");
        const QByteArray script = "#!/bin/sh\necho ran > '" + marker.toUtf8() + "'\n";
        server.setFile("/cat.xml", catalogue("1.0.58.0", server.url("/QUORIX%20Setup%202.sh").toUtf8()));
        server.setFile("/QUORIX%20Setup%202.sh", script);

        CheckedPage c = checkVersions(dir, server.url("/cat.xml"));
        QVERIFY(c.ended);
        QCOMPARE(int(c.iner->UpdateStateValue()), 2);
        auto *bar = part<QProgressBar>(c.page.get(), "progressBar");
        auto *bytes = part<QLabel>(c.page.get(), "label_10");

        QTest::mouseClick(c.button, Qt::LeftButton);
        QCOMPARE(int(c.iner->UpdateStateValue()), 3);
        QVERIFY(!c.button->isEnabled());
        QVERIFY(!bar->isHidden() && !bytes->isHidden());
        // Progress reports while the installer loads, before the transfer itself has begun.
        c.iner->on_Signal_DownLoadProgress(500, 1000);
        QCOMPARE(bar->value(), 50);
        QCOMPARE(bytes->text(), QStringLiteral("500 / 1000"));
        c.iner->on_Signal_DownLoadProgress(10, 0);
        c.iner->on_Signal_DownLoadProgress(10, -1);
        QCOMPARE(bar->value(), 50);
        c.iner->on_Signal_DownLoadProgress(40, 50);
        QCOMPARE(bar->value(), 80);
        // A language change while it loads keeps the download and its display.
        c.iner->RefreshLangual();
        c.iner->LoadSystemSettings();
        QCOMPARE(int(c.iner->UpdateStateValue()), 3);
        QVERIFY(!bar->isHidden());

        QTRY_COMPARE_WITH_TIMEOUT(int(c.iner->UpdateStateValue()), 4, 10000);
        QCOMPARE(c.button->text(), GetLangText(348));
        QVERIFY(c.button->isEnabled());
        QVERIFY(bar->isHidden() && bytes->isHidden());
        QCOMPARE(c.iner->InstallerPath(), dir.filePath("Buff/QUORIX_Setup_2.sh"));
        QVERIFY(!QFile::exists(marker)); // nothing runs before the user asks
        c.iner->RefreshLangual();         // showing the page again keeps the ready installer
        QCOMPARE(int(c.iner->UpdateStateValue()), 4);

        QTest::mouseClick(c.button, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 5000);
    }

    void brokenInstallerDownloadOffersNothing()
    {
        TestProgramDir dir;
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        server.setFile("/cat.xml", catalogue("2.0.0.0", server.url("/setup.sh").toUtf8()));
        LoopbackHttpServer::Route cut;
        cut.body = QByteArray(4000, 'x');
        cut.sendBytes = 1500;
        server.setRoute("/setup.sh", cut);

        CheckedPage c = checkVersions(dir, server.url("/cat.xml"));
        QVERIFY(c.ended);
        QCOMPARE(int(c.iner->UpdateStateValue()), 2);
        QTest::mouseClick(c.button, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(int(c.iner->UpdateStateValue()), 6, 10000);
        QCOMPARE(c.button->text(), GetLangText(297));
        QVERIFY(!c.button->isEnabled());
        QVERIFY(part<QProgressBar>(c.page.get(), "progressBar")->isHidden());
        QVERIFY(part<QLabel>(c.page.get(), "label_10")->isHidden());
        QVERIFY(c.iner->InstallerPath().isEmpty());
        QVERIFY(!QFile::exists(dir.filePath("Buff/setup.sh")));
        c.iner->on_ButCheckUpda_clicked();
        QCOMPARE(int(c.iner->UpdateStateValue()), 6);
    }

    void batchRecordsOfOthersAreLeftAlone()
    {
        TestProgramDir dir;
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        server.setFile("/cat.xml", catalogue("1.0.58.0"));
        server.setFile("/fw.bin", "firmware");
        int tag = 0;
        DownTask *foreign = NewDownTask(&tag);
        foreign->type = 11;
        foreign->url = server.url("/fw.bin");
        foreign->folder = dir.filePath("Buff/fw/");
        QDownTaskManage::Instance()->AddTask(foreign);

        setIni(dir, "Systime/UpdatadataIp", server.url("/cat.xml"));
        QGlobalSetWidget page;
        page.Iner()->on_CheckVersionsStatic(); // joins the batch and starts both
        int seen = 0;
        bool foreignIntact = false;
        int pageSlotsLeft = -1;
        auto c = connect(QDownTaskManage::Instance(), &QDownTaskManage::TaskEnd, this, [&](DownTask **ptrs, int count) {
            ++seen;
            pageSlotsLeft = 0;
            for (int i = 0; i < count; ++i) {
                if (ptrs[i] == foreign)
                    foreignIntact = foreign->check == DownTaskAlive && foreign->status == DownTaskDone;
                else if (ptrs[i])
                    ++pageSlotsLeft;
            }
            DeleteDownTasks(&foreign, 1);
        });
        QTRY_COMPARE_WITH_TIMEOUT(seen, 1, 10000);
        disconnect(c);
        QVERIFY(foreignIntact);
        QCOMPARE(pageSlotsLeft, 0); // the page freed its own record and cleared its slot
        QCOMPARE(int(page.Iner()->UpdateStateValue()), 2);
    }

    void recordOfAGonePageIsFreedOnReturn()
    {
        TestProgramDir dir;
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        server.setFile("/cat.xml", catalogue("1.0.58.0"));
        setIni(dir, "Systime/UpdatadataIp", server.url("/cat.xml"));
        QGlobalSetWidget().Iner()->on_CheckVersionsStatic(); // the page goes before the download ends
        int left = -1; // records a later receiver of the batch still sees
        auto c = connect(QDownTaskManage::Instance(), &QDownTaskManage::TaskEnd, this,
                         [&](DownTask **p, int n) { left = n - int(std::count(p, p + n, nullptr)); });
        QTRY_COMPARE_WITH_TIMEOUT(left, 0, 10000);
        disconnect(c);
    }

    void switchesAreStoredAndShown()
    {
        TestProgramDir dir;
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        setIni(dir, "Systime/TrayIcon", true);
        setIni(dir, "Systime/OpenAutoStart", false);
        setIni(dir, "Systime/Languageindex", 1);
        QGlobalSetWidget page;
        QSignalSpy language(&page, &QGlobalSetWidget::SetCurrLanguage);
        page.show();
        InerWidget *iner = page.Iner();
        auto *close = part<QComboBox>(&page, "CloseComboxTyp");
        auto *start = part<QComboBox>(&page, "StarteComBox");
        auto *lang = part<QComboBox>(&page, "Currn_Langue");
        QVERIFY(page.IsCloseToTray());
        QCOMPARE(close->currentIndex(), 0);
        QCOMPARE(start->currentIndex(), 1);
        QCOMPARE(lang->currentIndex(), 1);
        QCOMPARE(start->itemText(0), GetLangText(316));
        QCOMPARE(start->itemText(1), GetLangText(98));

        iner->on_CloseComboxTyp_activated(1);
        QVERIFY(!page.IsCloseToTray());
        QCOMPARE(iniValue(dir, "Systime/TrayIcon").toBool(), false);
        iner->on_CloseComboxTyp_activated(7);
        QCOMPARE(iniValue(dir, "Systime/TrayIcon").toBool(), false);
        iner->on_CloseComboxTyp_activated(0);
        QVERIFY(page.IsCloseToTray());

        // The language choice is stored and announced; the refilled lists still show the stored choices.
        iner->on_Currn_Langue_activated(0);
        QCOMPARE(iniValue(dir, "Systime/Languageindex").toUInt(), 0u);
        QCOMPARE(language.count(), 1);
        QCOMPARE(language.at(0).at(0).value<uchar>(), uchar(0));
        QCOMPARE(close->currentIndex(), 0);
        QCOMPARE(start->currentIndex(), 1);

        // A saved Korean choice has no entry in the list.
        setIni(dir, "Systime/Languageindex", 2);
        iner->LoadSystemSettings();
        QCOMPARE(lang->currentIndex(), -1);
        qunsetenv("XDG_CONFIG_HOME");
    }

    void autoStartRecordsWhatIsInPlace()
    {
        TestProgramDir dir;
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        QGlobalSetWidget page;
        page.show();
        InerWidget *iner = page.Iner();
        auto *start = part<QComboBox>(&page, "StarteComBox");
        const QString entry = config.path() + "/autostart/quorix-hub-test.desktop";

        iner->on_StarteComBox_activated(0);
        QVERIFY(QFile::exists(entry));
        QCOMPARE(iniValue(dir, "Systime/OpenAutoStart").toBool(), true);
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QVERIFY(text.contains("\nExec=" + DesktopExecArgument(QCoreApplication::applicationFilePath()) + "\n"));
        file.close();

        iner->on_StarteComBox_activated(1);
        QVERIFY(!QFile::exists(entry));
        QCOMPARE(iniValue(dir, "Systime/OpenAutoStart").toBool(), false);

        // A folder that cannot be made: nothing is recorded as on, and the list says off.
        QVERIFY(QDir(config.path() + "/autostart").removeRecursively());
        QVERIFY(dir.writeFile("blocker", "x"));
        QVERIFY(QFile::copy(dir.filePath("blocker"), config.path() + "/autostart"));
        start->setCurrentIndex(0);
        iner->on_StarteComBox_activated(0);
        QCOMPARE(iniValue(dir, "Systime/OpenAutoStart").toBool(), false);
        QCOMPARE(start->currentIndex(), 1);
        qunsetenv("XDG_CONFIG_HOME");
    }

    void execLinesSurviveOddPaths()
    {
        QCOMPARE(DesktopExecArgument("/opt/quorix/quorix-hub"), QStringLiteral("\"/opt/quorix/quorix-hub\""));
        QCOMPARE(DesktopExecArgument("/opt/My Apps/hub"), QStringLiteral("\"/opt/My Apps/hub\""));
        // Quoting escapes first, then the string escape doubles every backslash; "%" is doubled.
        QCOMPARE(DesktopExecArgument("/a\"b$c`d"), QStringLiteral("\"/a\\\\\"b\\\\$c\\\\`d\""));
        QCOMPARE(DesktopExecArgument("/a\\b"), QStringLiteral("\"/a\\\\\\\\b\""));
        QCOMPARE(DesktopExecArgument("/100%/hub"), QStringLiteral("\"/100%%/hub\""));
        QVERIFY(AutoStartEntryPath("../escape").isEmpty());
        QVERIFY(!WriteAutoStartEntry("", "/bin/true", true));
    }

    void progressDividesSafely()
    {
        QCOMPARE(DownloadPercent(500, 1000), 50);
        QCOMPARE(DownloadPercent(25, 50), 50);
        QCOMPARE(DownloadPercent(1, 3), 33);
        QCOMPARE(DownloadPercent(0, 0), -1);
        QCOMPARE(DownloadPercent(100, -1), -1);
        QCOMPARE(DownloadPercent(2000, 1000), 100);
        QCOMPARE(DownloadPercent(-5, 1000), 0);
        QCOMPARE(DownloadPercent(Q_INT64_C(4000000000000000000), Q_INT64_C(8000000000000000000)), 50);
    }

    void mainWindowStartsTheCheck()
    {
        TestProgramDir dir;
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        server.setFile("/cat.xml", catalogue("1.0.60.0", server.url("/setup.sh").toUtf8()));
        LoopbackHttpServer::Route slow;
        slow.body = QByteArray(100000, 'x');
        slow.trickleMs = 50;
        slow.trickleBytes = 100;
        server.setRoute("/setup.sh", slow);
        setIni(dir, "Systime/UpdatadataIp", server.url("/cat.xml"));
        MainWidget w;
        auto *page = qobject_cast<QGlobalSetWidget *>(w.TabWidget()->widget(3));
        QVERIFY(page);
        QTRY_COMPARE_WITH_TIMEOUT(int(page->Iner()->UpdateStateValue()), 2, 10000);
        QVERIFY(server.requests().contains("/cat.xml"));

        // The installer's wait given up at the mask's escape: its download ends, the offer stands.
        auto *button = part<QPushButton>(page, "ButCheckUpda");
        page->Iner()->on_ButCheckUpda_clicked();
        QCOMPARE(int(page->Iner()->UpdateStateValue()), 3);
        QTRY_VERIFY(server.requests().contains("/setup.sh"));
        w.findChild<QMaskGrayLabel *>()->EscapeButton()->click();
        QCOMPARE(int(page->Iner()->UpdateStateValue()), 2);
        QVERIFY(button->isEnabled());
        QCOMPARE(button->text(), GetLangText(390));
        QTRY_COMPARE(QDownTaskManage::Instance()->ActiveCount(), 0);
        QVERIFY(!QFile::exists(dir.filePath("Buff/setup.sh")));
    }
};

QTEST_MAIN(TstSettingsPage)
#include "tst_settings_page.moc"
