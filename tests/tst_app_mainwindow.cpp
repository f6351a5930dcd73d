#include "app/AppDirPath.h"
#include "app/DelayMs.h"
#include "app/InerWidget.h"
#include "app/MainWidget.h"
#include "app/NestedWait.h"
#include "app/ProductCatalogue.h"
#include "app/QLeftMenuPop.h"
#include "app/QXM_Process.h"
#include "app/TrayIcon.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyLableItem.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "macros/QEditPage.h"
#include "macros/QGenderConfigInput.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "widgets/QDottomMessgDlg.h"
#include "widgets/QQuorixLabel.h"
#include "widgets/QLR_PopWidget.h"
#include "widgets/QMaskGrayLabel.h"
#include "widgets/QWaitGifWidget.h"
#include "widgets/infotext.h"
#include "tests/emu/EmuControl.h"
#include "tests/support/MessageAnswerer.h"
#include "tests/support/TestProgramDir.h"
#include "tests/support/WaitSweep.h"

#include <QAction>
#include <QButtonGroup>
#include <QTextDocument>
#include <QComboBox>
#include <QListWidget>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QBackingStore>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QPaintEvent>
#include <QSettings>
#include <QTabBar>
#include <QPushButton>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QtTest>
#include <climits>
#include <cmath>
#include <memory>

namespace {
// Records the paint events of watched widgets, their regions in the window's coordinates.
class PaintRecorder : public QObject
{
public:
    PaintRecorder(QWidget *window, const QList<QWidget *> &watched) : m_window(window)
    {
        for (QWidget *w : watched)
            w->installEventFilter(this);
    }
    QRegion painted;
    QMap<QObject *, int> count;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            auto *w = static_cast<QWidget *>(watched);
            painted += static_cast<QPaintEvent *>(event)->region().translated(w->mapTo(m_window, QPoint(0, 0)));
            ++count[watched];
        }
        return false;
    }

private:
    QWidget *m_window;
};

// What the window's backing store holds: what is on screen, partial repaints included (the
// offscreen platform keeps no alpha there; grab() renders the window whole, alpha included).
QImage onScreen(QWidget *window)
{
    QPaintDevice *device = window->backingStore()->paintDevice();
    if (device->devType() == QInternal::Image)
        return static_cast<QImage *>(device)->convertToFormat(QImage::Format_ARGB32);
    return window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

QList<infotext *> toasts()
{
    QList<infotext *> found;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *t = qobject_cast<infotext *>(w))
            found.append(t);
    }
    return found;
}

// What a user cannot read on the open windows: a Han, kana or Hangul text on a widget that is
// shown or a tab click away on its page (the language list names each language in its own
// script), a text cut by the room of a shown label, button or list row, a faint drop-down list.
QStringList unreadable()
{
    static const QRegularExpression asian(QStringLiteral("[\\x{3040}-\\x{30ff}\\x{3400}-\\x{9fff}\\x{ac00}-\\x{d7af}]"));
    const auto luminance = [](const QColor &c) {
        const auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF()) + 0.05;
    };
    QStringList found;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        QList<QWidget *> all = top->findChildren<QWidget *>();
        all << top;
        for (QWidget *w : all) {
            bool near = top->isVisible();
            for (QWidget *a = w; a != top && near; a = a->parentWidget())
                near = !a->isHidden() || (qobject_cast<QStackedWidget *>(a->parentWidget())
                                          && a->parentWidget()->parentWidget() != MainWidget::instance()->TabWidget());
            if (!near || w->objectName() == QLatin1String("Currn_Langue"))
                continue;
            QStringList texts{w->isWindow() ? w->windowTitle() : QString()};
            int room = INT_MAX;
            auto *label = qobject_cast<QLabel *>(w);
            // the keys of the on-screen keyboard draw their caps in fonts of their own
            if (label && !w->inherits("QMultifunKeyButton") && !Qt::mightBeRichText(label->text()))
                room = label->wordWrap() ? INT_MAX : label->contentsRect().width();
            if (label || qobject_cast<QAbstractButton *>(w))
                texts << (label ? label->text() : static_cast<QAbstractButton *>(w)->text());
            if (auto *b = qobject_cast<QPushButton *>(w)) // a picture button's text is transparent
                room = b->icon().isNull() && b->palette().color(QPalette::ButtonText).alpha() ? b->contentsRect().width() : INT_MAX;
            if (auto *c = qobject_cast<QComboBox *>(w)) {
                for (int i = 0; i < c->count(); ++i)
                    texts << c->itemText(i);
                // the open list's rows: in the list's text colour or the box's, on the list
                c->view()->ensurePolished();
                const double base = luminance(c->view()->palette().color(QPalette::Base));
                const double a = luminance(c->view()->palette().color(QPalette::Text)), b = luminance(c->palette().color(QPalette::Text));
                if (std::min(std::max(a, base) / std::min(a, base), std::max(b, base) / std::min(b, base)) < 4.5)
                    found << QStringLiteral("faint list %1").arg(c->objectName());
            }
            if (auto *bar = qobject_cast<QTabBar *>(w))
                for (int i = 0; i < bar->count(); ++i)
                    texts << bar->tabText(i);
            for (const QString &text : texts)
                if (text.contains(asian) || (w->isVisible() && w->fontMetrics().horizontalAdvance(text) > room))
                    found << QStringLiteral("%1 \"%2\" in %3").arg(w->objectName(), text).arg(room);
            auto *list = qobject_cast<QListWidget *>(w);
            auto *rows = list ? qobject_cast<QStyledItemDelegate *>(list->itemDelegate()) : nullptr;
            for (int i = 0; rows && w->isVisible() && i < list->count(); ++i) {
                const QString text = rows->displayText(list->item(i)->text(), QLocale());
                const QRect row(0, 0, list->viewport()->width() - 20, list->visualItemRect(list->item(i)).height());
                if (!row.contains(QFontMetrics(list->item(i)->font()).boundingRect(row, list->wordWrap() ? Qt::TextWordWrap : 0, text))
                    || text.contains(asian))
                    found << QStringLiteral("%1 row \"%2\"").arg(w->objectName(), text);
            }
        }
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

    // Every page in English, each device page's areas with the emulated keyboard and mouse:
    // readable throughout.
    void englishPagesAreReadable()
    {
        TestProgramDir dir;
        const uint32_t kb = emu::Plug(emu::MakeDevice(emu::Model::KeyboardReceiver));
        const uint32_t mouse = emu::Plug(emu::MakeDevice(emu::Model::MouseWired));
        MainWidget w;
        w.show();
        HID_API *api = HID_API::instance();
        QTRY_VERIFY_WITH_TIMEOUT(api->TileMap().value(kb) && !api->TileMap().value(kb)->ProductFolder().isEmpty()
                                     && api->TileMap().value(mouse), 5000);
        QStringList found;
        const auto look = [&found] {
            QTest::qWait(50); // laid out
            found << unreadable();
        };
        look();
        api->TileMap().value(kb)->on_test();
        QLStyleKeybordTabWidget *keyboard = QLStyleKeybordTabWidget::instance();
        for (QAbstractButton *area : keyboard->LeftButtonGroup->buttons()) {
            area->click();
            look();
        }
        keyboard->ButLight->click();
        keyboard->ButAudionLight->click();
        look();
        QVERIFY(keyboard->RxLabel->text().contains(QStringLiteral(":V")));
        w.on_TabChangeEditkeysDefinition();
        look();
        w.on_TabChangeHID_API();
        api->TileMap().value(mouse)->on_test();
        QVERIFY(api->Manager()->WaitIdle(10000));
        for (int area = 0; area < 4; ++area) {
            QLStyleMouseTabWidget::instance()->butlefit_on_buttonClicked(area);
            look();
        }
        w.on_TabChangeGlobalSet();
        look();
        QTimer::singleShot(100, &w, [&] {
            look();
            QApplication::activeModalWidget()->close();
        });
        QGenderConfigInput::GetFilePath(dir.path(), QStringLiteral(".xml")); // the name popup
        found.removeDuplicates();
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
        emu::Reset();
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

    // Missing and broken files of the program folder: one log line per start, however often read.
    void damagedProgramFolderLoggedOnce_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content"); // empty: the file is removed
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("catalogue missing") << "YProduct.xml" << QByteArray() << QByteArray("YProduct.xml missing");
        QTest::newRow("catalogue corrupt") << "YProduct.xml" << QByteArray("<YProduct><Sub") << QByteArray("YProduct.xml unreadable");
        QTest::newRow("table missing") << "LingualDir/Lingual_English.xml" << QByteArray()
                                       << QByteArray("language table LingualDir/Lingual_English missing");
        QTest::newRow("table corrupt") << "LingualDir/Lingual_English.xml" << QByteArray("<a><b")
                                       << QByteArray("language table LingualDir/Lingual_English unreadable");
        QTest::newRow("table wrong root") << "LingualDir/Lingual_English.xml" << QByteArray("<Language/>")
                                          << QByteArray("language table LingualDir/Lingual_English unreadable");
    }
    void damagedProgramFolderLoggedOnce()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, line);
        ClearProductListCache();
        TestProgramDir dir;
        QVERIFY(content.isEmpty() ? dir.removeFile(file) : dir.writeFile(file, content));
        QXM_Process::instance()->ReloadLanguage(1); // the seed language of data.ini, read again at start
        // Discovery looks every interface up in the catalogue.
        emu::Plug(emu::MakeDevice(emu::Model::KeyboardWired));
        emu::Plug(emu::MakeDevice(emu::Model::MouseReceiver));
        {
            MainWidget w; // the saved language is English as well
            w.show();
            QTest::qWait(300);
            QCOMPARE(dir.readFile("Log.txt").count(line), 1);
            // A later language change to the same table is logged again only after a good read.
            w.on_setLanuage(1);
            QCOMPARE(dir.readFile("Log.txt").count(line), 1);
        }
        emu::Reset();
        ClearProductListCache();
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
        MessageAnswerer answer; // no browser here: the web site's address is given instead
        w.findChild<QPushButton *>("But_toWed")->click();
        QVERIFY(answer.shown().contains(QLatin1String(InerWidget::MakerWebSite)));
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
        QVERIFY(dir.writeFile("Products/QK75/moidefConfig/m1.bin", "{\"m1\":{\"mdfdata\":\"0x020x6d0x310x000x000x320x040x800x000x050x04\",\"RunWay\":4,\"RunOne\":1}}"));
        w.on_TabChangeEditkeysDefinition("m1", true);
        QCOMPARE(tabs->currentIndex(), 4);
        QCOMPARE(w.PageState(), 4);
        QCOMPARE(QEditPage::Instance()->MacroEvents().toHex(), QByteArray("0000320480000504"));
        QCOMPARE(QEditPage::Instance()->RunMode(), 4);
        w.on_But_ExitPage();
        QCOMPARE(tabs->currentIndex(), 3);
        { // a macro row clicked twice in a wait: the editor opens once and leads back
            NestedWait::Scope wait;
            for (int click = 0; click < 2; ++click)
                w.on_TabChangeEditkeysDefinition("m1", true);
        }
        QTRY_COMPARE(tabs->currentIndex(), 4);
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

        // A page no longer shown is still left when another device's page opens.
        w.OpenKeyboardPage("QK75");
        w.on_TabChangeHID_API();
        w.OpenMousePage("QM8");
        QVERIFY(QLStyleKeybordTabWidget::instance()->BuiltProduct().isEmpty());
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

    void windowSystemCloseWithNavigationOpen()
    {
        TestProgramDir dir;
        MainWidget w;
        w.show();
        QSignalSpy closed(&w, &MainWidget::W_Close);
        bool visibleAfterClose = true;
        auto *menu = new QLeftMenuPop(&w);
        QTimer::singleShot(QLeftMenuPop::SlideMs + 100, menu, [&] {
            w.close(); // Alt+F4 or the task bar while the menu runs
            visibleAfterClose = w.isVisible();
            menu->hide();
        });
        menu->Animationgeometry_show();
        delete menu;
        QVERIFY(!visibleAfterClose);
        QCOMPARE(closed.count(), 1);
    }

    // The close button, clicked 1 s into a page's data wait under the busy mask, ends the wait
    // and closes the window within about a second; the threads stop once, before the pages go.
    void closeButtonEndsTheDataWait()
    {
        TestProgramDir dir;
        auto *w = new MainWidget;
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QSignalSpy closed(w, &MainWidget::W_Close);
        QWidget *closer = w->findChild<QWidget *>(QStringLiteral("But_Close2"));
        QElapsedTimer clock;
        QTimer::singleShot(1000, w, [&] {
            clock.start();
            WaitSweep::SystemClick(closer, Qt::LeftButton);
        });
        w->ShowBusyAt(true);
        QVERIFY(!w->WaitDeviceSync());
        QVERIFY(clock.isValid());
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible() && !MainWidget::instance(), 1500);
        QCOMPARE(closed.count(), 1);
        delete w;
    }

    // The tray's exit while a question is open, or still sliding in: it closes at once as a No,
    // and one whose opening was cut short does not open.
    void trayExitClosesTheQuestion_data()
    {
        QTest::addColumn<int>("exitAfterMs");
        QTest::newRow("open") << 900;
        QTest::newRow("sliding in") << 200;
    }
    void trayExitClosesTheQuestion()
    {
        QFETCH(int, exitAfterMs);
        TestProgramDir dir;
        MainWidget w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const auto questionShown = [] {
            for (QWidget *t : QApplication::topLevelWidgets())
                if (qobject_cast<QDottomMessgDlg *>(t) && t->isVisible())
                    return true;
            return false;
        };
        QElapsedTimer clock;
        bool shownAtExit = false, shownAfterExit = false;
        int answer = -1;
        QTimer watch, safetyNet;
        connect(&watch, &QTimer::timeout, [&] { shownAfterExit = shownAfterExit || (clock.isValid() && questionShown()); });
        watch.start(10);
        connect(&safetyNet, &QTimer::timeout, [] { QCoreApplication::exit(7); });
        safetyNet.start(8000);
        QTimer::singleShot(0, &w, [&] { answer = w.ShowMessage(QColor(0, 169, 224), QStringLiteral("Reset the mouse?"), false); });
        QTimer::singleShot(exitAfterMs, &w, [&] {
            clock.start();
            shownAtExit = questionShown();
            TrayIcon::Instance()->Menu()->actions().value(1)->trigger();
            shownAfterExit = questionShown();
        });
        QCOMPARE(QCoreApplication::exec(), 0); // the program's loop ends through the tray's exit
        QVERIFY(clock.isValid());
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(answer, 0);
        QCOMPARE(shownAtExit, exitAfterMs > 600); // the slide-in takes 600 ms
        QVERIFY(!shownAfterExit);
    }

    // The page's exit button clicked, double-clicked or given Space during a wait: the page is
    // left once the wait has returned.
    void pageExitDuringAWaitFollowsIt_data()
    {
        QTest::addColumn<int>("clicks"); // 0: Space on the focused button
        QTest::newRow("click") << 1;
        QTest::newRow("double click") << 2;
        QTest::newRow("Space") << 0;
    }
    void pageExitDuringAWaitFollowsIt()
    {
        QFETCH(int, clicks);
        TestProgramDir dir;
        MainWidget w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.OpenKeyboardPage("QK75");
        QLStyleKeybordTabWidget *page = QLStyleKeybordTabWidget::instance();
        page->ButExit->setFocus();
        QString inWait;
        QTimer::singleShot(100, &w, [&] {
            if (clicks == 0)
                WaitSweep::SystemKey(&w, Qt::Key_Space, QStringLiteral(" "));
            for (int i = 0; i < clicks; ++i) // queued at once: the second click is a double click
                WaitSweep::SystemClick(page->ButExit, Qt::LeftButton);
        });
        QTimer::singleShot(400, &w, [&] { inWait = page->BuiltProduct(); });
        DelayMs(600);
        QCOMPARE(inWait, QStringLiteral("QK75"));
        QTRY_COMPARE(w.TabWidget()->currentIndex(), 0);
        QVERIFY(page->BuiltProduct().isEmpty());
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

    // While the "connect a device" text pulses, nothing of the window outside the text's
    // rectangle is repainted, and the shadow around the backdrop stays drawn.
    void pulseRepaintsOnlyTheTextAndKeepsTheShadow()
    {
        TestProgramDir dir;
        MainWidget w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *backdrop = w.findChild<QWidget *>(QStringLiteral("Backdrop_Circle"));
        QVERIFY(backdrop);
        QWaitGifWidget *page = HID_API::instance()->EmptyListOverlay();
        QTRY_VERIFY(page->isVisible());
        auto *text = page->findChild<QLabel *>(QStringLiteral("label_2"));
        const QRect textRect(text->mapTo(&w, QPoint(0, 0)), text->size());
        QTest::qWait(200);

        const QImage before = onScreen(&w);
        const QImage shadowBefore = w.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        const QRect b = backdrop->geometry();
        // just outside the rounded rectangle: the middle of each side and the two top corners
        const QVector<QPoint> shadow{{b.left() - 1, b.center().y()}, {b.right() + 1, b.center().y()},
                                     {b.center().x(), b.top() - 1}, {b.center().x(), b.bottom() + 1},
                                     {b.left() + 2, b.top() + 2}, {b.right() - 2, b.top() + 2}};
        for (const QPoint &p : shadow) {
            const int alpha = qAlpha(shadowBefore.pixel(p));
            QVERIFY2(alpha > 0 && alpha < 255, qPrintable(QStringLiteral("(%1, %2): alpha %3").arg(p.x()).arg(p.y()).arg(alpha)));
        }

        PaintRecorder recorder(&w, {&w, backdrop, text});
        QTest::qWait(1000);
        QVERIFY2(recorder.count.value(text) >= 10, "the pulse repaints its text");
        const QRegion outside = QRegion(recorder.painted) - textRect;
        QVERIFY2(outside.isEmpty(), qPrintable(QStringLiteral("repainted beyond the text: %1,%2 %3x%4")
                                                     .arg(outside.boundingRect().x()).arg(outside.boundingRect().y())
                                                     .arg(outside.boundingRect().width()).arg(outside.boundingRect().height())));

        const QImage shadowAfter = w.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        for (const QPoint &p : shadow)
            QCOMPARE(shadowAfter.pixel(p), shadowBefore.pixel(p));
        const QImage after = onScreen(&w);
        QCOMPARE(after.size(), before.size());
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                if (!textRect.contains(x, y) && after.pixel(x, y) != before.pixel(x, y))
                    QFAIL(qPrintable(QStringLiteral("(%1, %2) changed outside the text").arg(x).arg(y)));
    }
};

QTEST_MAIN(TstAppMainWindow)
#include "tst_app_mainwindow.moc"
