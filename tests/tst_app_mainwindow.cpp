#include "app/AppDirPath.h"
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "macros/QEditPage.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "widgets/QDottomMessgDlg.h"
#include "widgets/QLR_PopWidget.h"
#include "widgets/QMaskGrayLabel.h"
#include "widgets/infotext.h"
#include "tests/support/TestProgramDir.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QtTest>
#include <memory>

namespace {
QList<infotext *> toasts()
{
    QList<infotext *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *t = qobject_cast<infotext *>(w))
            found.append(t);
    }
    return found;
}
} // namespace

class TstAppMainWindow : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startUpBuildsTheWindow()
    {
        TestProgramDir dir;
        {
            std::unique_ptr<QSettings> ini(new QSettings(dir.filePath("SysBuild.ini"), QSettings::IniFormat));
            ini->setValue("Systime/Languageindex", 2); // data.ini says English; the saved choice wins
        }
        MainWidget w;
        QCOMPARE(MainWidget::instance(), &w);
        QCOMPARE(w.windowTitle(), QStringLiteral("QUORIX HUB"));
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(w.testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(w.size(), QSize(1300, 904));
        QTabWidget *tabs = w.TabWidget();
        QVERIFY(tabs->tabBar()->isHidden());
        const QStringList labels{"HIDAPI", "MouseTabWidget", "KeybordTabWidget", "GlobalSetWidget", "EditkeysDefinition"};
        QCOMPARE(tabs->count(), 5);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(tabs->tabText(i), labels[i]);
        QCOMPARE(tabs->widget(0), static_cast<QWidget *>(HID_API::instance()));
        QCOMPARE(tabs->widget(1), static_cast<QWidget *>(QLStyleMouseTabWidget::instance()));
        QCOMPARE(tabs->widget(2), static_cast<QWidget *>(QLStyleKeybordTabWidget::instance()));
        QCOMPARE(tabs->widget(4), static_cast<QWidget *>(QEditPage::Instance()));
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(GetLangText(1), QStringLiteral("확인"));

        QVERIFY(dir.readFile("Log.txt").startsWith("OPenApp Zr Hub   "));
        QVERIFY(!dir.readFile("Log.txt").contains("OPenApp Zr Hub End"));
        w.show();
        QVERIFY(dir.readFile("Log.txt").contains("OPenApp Zr Hub End   "));
    }

    void missingSettingsStillStart()
    {
        TestProgramDir dir;
        QVERIFY(dir.removeFile("SysBuild.ini"));
        QVERIFY(dir.removeFile("YProduct.xml"));
        QVERIFY(dir.removeFile("LingualDir/Lingual_ZH.xml"));
        MainWidget w;
        QCOMPARE(GetLangText(1), QStringLiteral("not Code")); // index 0, table missing
        QCOMPARE(w.TabWidget()->count(), 5);
    }

    void missingProgramFolderStillStarts()
    {
        ClearProductListCache();
        SetAppDirPathOverride(QStringLiteral("/nonexistent/quorix-program-folder"));
        {
            MainWidget w;
            w.show();
            QCOMPARE(w.TabWidget()->count(), 5);
            QVERIFY(GetProductList().isEmpty());
            w.ShowErrorCode(false, 1);
        }
        ClearProductListCache();
        SetAppDirPathOverride(QString());
    }

    void pageSwitchingAndRollBack()
    {
        TestProgramDir dir;
        MainWidget w;
        QTabWidget *tabs = w.TabWidget();
        w.OpenKeyboardPage("QK75");
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(w.PageState(), 0); // opening a device page changes no page state
        QCOMPARE(w.CurrentProductName(), QStringLiteral("QK75"));
        QCOMPARE(QLStyleKeybordTabWidget::instance()->BuiltProduct(), QStringLiteral("QK75"));

        w.on_TabChangeGlobalSet();
        QCOMPARE(tabs->currentIndex(), 3);
        QCOMPARE(w.PageState(), 3);
        w.on_RollBackPage();
        QCOMPARE(tabs->currentIndex(), 2);
        QCOMPARE(w.PageState(), 3);

        QSignalSpy exitButton(&w, &MainWidget::DispExitButton);
        w.on_TabChangeGlobalSet();
        w.on_But_ExitPage(); // not in the editor: only the signal
        QCOMPARE(tabs->currentIndex(), 3);
        QCOMPARE(exitButton.count(), 1);
        QCOMPARE(exitButton.at(0).at(0).toBool(), false);

        // The editor with a macro read from the product's macro folder.
        QVERIFY(dir.writeFile("Products/QK75/moidefConfig/m1.bin", "{\"m1\":{\"mdfdata\":\"0x020x6d0x310x010x020x030x04\",\"RunWay\":4,\"RunOne\":1}}"));
        w.on_TabChangeEditkeysDefinition("m1", true);
        QCOMPARE(tabs->currentIndex(), 4);
        QCOMPARE(w.PageState(), 4);
        QCOMPARE(QEditPage::Instance()->MacroEvents(), QByteArray("\x01\x02\x03\x04", 4));
        QCOMPARE(QEditPage::Instance()->RunMode(), 4);
        w.on_But_ExitPage();
        QCOMPARE(tabs->currentIndex(), 3);
        // A macro name that leaves its folder reads nothing.
        w.on_TabChangeEditkeysDefinition("../../SysBuild", true);
        QVERIFY(QEditPage::Instance()->MacroEvents().isEmpty());

        w.on_ExitPage(1);
        QCOMPARE(w.PageState(), 1);
        w.on_pushIndex(4);
        QCOMPARE(tabs->currentIndex(), 4);
        w.on_TabChangeHID_API();
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(w.PageState(), 0);
    }

    void leavingDevicePages()
    {
        TestProgramDir dir;
        MainWidget w;
        w.show();
        QTabWidget *tabs = w.TabWidget();
        w.OpenMousePage("QM8");
        QCOMPARE(tabs->currentIndex(), 1);
        QSignalSpy cleared(QLStyleMouseTabWidget::instance(), &QLStyleMouseTabWidget::Cleartabs);
        w.BackFromDevicePage();
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(cleared.count(), 1);

        w.OpenKeyboardPage("QK75");
        w.BackFromDevicePage();
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(QLStyleKeybordTabWidget::instance()->BuiltProduct().isEmpty());

        w.on_pushIndex(3);
        w.BackFromDevicePage();
        QCOMPARE(tabs->currentIndex(), 0);
    }

    void quitWithoutTrayClosesOnce()
    {
        TestProgramDir dir;
        {
            QSettings ini(dir.filePath("SysBuild.ini"), QSettings::IniFormat);
            ini.setValue("Systime/TrayIcon", true);
        }
        auto *w = new MainWidget;
        w->show();
        QVERIFY(!GetProductList().isEmpty());
        QSignalSpy closed(w, &MainWidget::W_Close);
        // Offscreen there is no tray: hiding would strand the user, so the close button quits.
        w->on_quit();
        QCOMPARE(closed.count(), 1);
        QVERIFY(MainWidget::instance() == nullptr);
        QVERIFY(!w->isVisible());
        QVERIFY(dir.readFile("Log.txt").contains("no system tray available"));
        w->on_quit();
        w->Shutdown();
        QCOMPARE(closed.count(), 1);
        delete w;
    }

    void windowSystemCloseAnimatesThenCloses()
    {
        TestProgramDir dir;
        MainWidget w;
        w.show();
        QSignalSpy closed(&w, &MainWidget::W_Close);
        w.close();
        QCOMPARE(closed.count(), 0); // animation first
        QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, 3000);
        QTRY_VERIFY(!w.isVisible());
        w.Shutdown();
        QCOMPARE(closed.count(), 1);
    }

    void syncWaitEndsOnPeriodBoundary()
    {
        TestProgramDir dir;
        MainWidget w;
        std::unique_ptr<QThread> worker(QThread::create([&w] {
            QThread::msleep(300);
            w.EndSyncWait();
        }));
        QElapsedTimer clock;
        clock.start();
        worker->start();
        QVERIFY(w.WaitDeviceSync());
        const qint64 took = clock.elapsed();
        QVERIFY2(took >= 390 && took < 3000, qPrintable(QString::number(took)));
        QVERIFY(worker->wait(1000));
    }

    void syncWaitGivesUp()
    {
        TestProgramDir dir;
        MainWidget w;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!w.WaitDeviceSync());
        QVERIFY(clock.elapsed() >= 52 * 200 - 50);
        QVERIFY(dir.readFile("Log.txt").contains("device data wait gave up"));
    }

    void busyIndicatorRespectsRestore()
    {
        TestProgramDir dir;
        MainWidget w;
        w.show();
        auto *mask = w.findChild<QMaskGrayLabel *>();
        QVERIFY(mask);
        QVERIFY(mask->isHidden());
        w.ShowBusyAt(false);
        QVERIFY(mask->isVisible());
        QCOMPARE(mask->m_ShowText, true);
        w.SetRestoreFlag(true);
        w.on_Hide_busy_Status();
        QVERIFY(mask->isVisible());
        w.SetRestoreFlag(false);
        w.on_Hide_busy_Status();
        QVERIFY(mask->isHidden());
        w.ShowBusyAt(true);
        QCOMPARE(mask->m_ShowText, false);
        w.on_Hide_busy_Status();
        QVERIFY(mask->isHidden());
    }

    void toastSizes()
    {
        TestProgramDir dir;
        MainWidget w;
        w.ShowInfoText("abc");
        QCOMPARE(toasts().size(), 1);
        QCOMPARE(toasts().first()->size(), QSize(40, 50));
        w.ShowInfoText("dropped while one shows");
        QCOMPARE(toasts().size(), 1);
        QCOMPARE(toasts().first()->text(), QStringLiteral("abc"));
        QVERIFY(w.HideInfoText());
        QCOMPARE(toasts().size(), 0);
        w.ShowInfoText(QStringLiteral("中文"));
        QCOMPARE(toasts().first()->size(), QSize(65, 50));
        w.ShowInfoText(QString()); // dropped
        QVERIFY(w.HideInfoText());
        w.ShowInfoText("abcdefgh");
        QCOMPARE(toasts().first()->size(), QSize(64, 50));
        QVERIFY(w.HideInfoText());
        QVERIFY(w.HideInfoText());
    }

    void errorCodesReachTheUser()
    {
        TestProgramDir dir;
        MainWidget w;
        w.show();
        // Code 0 is always a tip, whatever the flag says.
        w.ShowErrorCode(true, 0);
        QVERIFY(QLR_PopWidget::Current());
        QCOMPARE(QLR_PopWidget::Current()->Caption(), GetLangText(296));
        QCOMPARE(QLR_PopWidget::Current()->Text(), GetLangText(275));
        w.ShowErrorCode(false, 7);
        QCOMPARE(QLR_PopWidget::Current()->Caption(), GetLangText(297));
        QCOMPARE(QLR_PopWidget::Current()->Text(), QStringLiteral("Reset Key Succed"));
        w.ShowErrorCode(false, 3);
        QCOMPARE(QLR_PopWidget::Current()->Text(), GetLangText(299));
        w.ShowErrorCode(false, 12);
        w.ShowErrorCode(false, -1);
        QCOMPARE(QLR_PopWidget::Current()->Text(), GetLangText(299));

        // With the flag set a grey message waits for the user; Return answers it.
        QString shown;
        QTimer::singleShot(900, [&shown] {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                if (auto *dlg = qobject_cast<QDottomMessgDlg *>(top)) {
                    if (!dlg->isVisible())
                        continue;
                    for (QLabel *l : dlg->findChildren<QLabel *>())
                        shown += l->text();
                    QTest::keyClick(dlg, Qt::Key_Return);
                }
            }
        });
        w.ShowErrorCode(true, 9);
        QVERIFY2(shown.contains("Recv Config Err"), qPrintable(shown));
        QCOMPARE(int(QDottomMessgDlg::LastResult()), 1);
        QVERIFY(w.findChild<QMaskGrayLabel *>()->isHidden());
    }

    void productPaths()
    {
        TestProgramDir dir;
        MainWidget w;
        // No product page and no device yet: nothing outside "Products" is touched.
        std::unique_ptr<QSettings> none(w.OpenProductDataIni());
        QVERIFY(none->fileName().startsWith(dir.filePath("Products/")));
        none->setValue("x", 1);
        none->sync();
        QVERIFY(QFileInfo(none->fileName()).dir() == QDir(dir.filePath("Products")));

        DeviceRecord rec;
        rec.name = "QUORIX QM8"; // the display name; the folder comes from the catalogue by ids
        rec.vendorId = 0x3A7C;
        rec.productId = 0x0202;
        HID_API::instance()->SetCurrentDevice(&rec);
        std::unique_ptr<QSettings> mouse(w.OpenMouseParamConfig());
        QCOMPARE(mouse->fileName(), dir.filePath("Products/QM8/UserConfig/MouseParamConfig.ini"));
        QCOMPARE(w.CurrentProductName(), QStringLiteral("QM8"));
        std::unique_ptr<QSettings> data(w.OpenProductDataIni());
        QCOMPARE(data->fileName(), dir.filePath("Products/QM8/QM8_data.ini"));
        QCOMPARE(w.ProductDir(), dir.filePath("Products/QM8"));
        QCOMPARE(w.UserConfigDir(), dir.filePath("Products/QM8/UserConfig"));
        QCOMPARE(w.ModifyConfigDir(), dir.filePath("Products/QM8/moidefConfig"));
        HID_API::instance()->SetCurrentDevice(nullptr);

        MainWidget w2;
        DeviceRecord evil;
        evil.name = "../../etc";
        HID_API::instance()->SetCurrentDevice(&evil);
        std::unique_ptr<QSettings> refused(w2.OpenProductDataIni());
        QVERIFY(QFileInfo(refused->fileName()).dir() == QDir(dir.filePath("Products")));
        HID_API::instance()->SetCurrentDevice(nullptr);
    }
};

QTEST_MAIN(TstAppMainWindow)
#include "tst_app_mainwindow.moc"
