#include "app/DelayMs.h"
#include "app/MainWidget.h"
#include "app/QLeftMenuPop.h"
#include "app/QTitleWin.h"
#include "app/QXM_Process.h"
#include "device/HID_API.h"
#include "tests/emu/EmuControl.h"
#include "tests/support/TestProgramDir.h"

#include <QImage>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {

// Opens the menu over the window, runs `during` once the slide has ended, and returns when the
// menu's modal run is over and the menu is gone.
void runMenu(MainWidget &w, const std::function<void(QLeftMenuPop *)> &during)
{
    auto *menu = new QLeftMenuPop(&w);
    // `during` runs once the slide has really ended: a loaded machine may take longer than
    // the slide's nominal time.
    auto *poll = new QTimer(menu);
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, menu, [menu, poll, during] {
        const auto *slide = menu->findChild<QPropertyAnimation *>();
        if (slide && slide->state() != QAbstractAnimation::Stopped)
            return;
        poll->stop();
        during(menu);
    });
    QTimer::singleShot(QLeftMenuPop::SlideMs, poll, [poll] { poll->start(); });
    // Whatever happens in `during`, the run ends.
    QTimer::singleShot(5000, menu, [menu] { menu->hide(); });
    menu->Animationgeometry_show();
    delete menu;
}

} // namespace

class TstNavpopMenu : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void entriesSwitchPagesAndTheMenuGoes()
    {
        TestProgramDir dir;
        MainWidget w;
        w.show();
        QTabWidget *tabs = w.TabWidget();
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(!QLeftMenuPop::Instance());

        QRect opened;
        bool wasInstance = false;
        runMenu(w, [&](QLeftMenuPop *menu) {
            wasInstance = QLeftMenuPop::Instance() == menu;
            opened = menu->geometry();
            QCOMPARE(menu->findChild<QRadioButton *>("ButMainWidget")->text(), GetLangText(317));
            QCOMPARE(menu->findChild<QRadioButton *>("ButSetwidget")->text(), GetLangText(161));
            QVERIFY(menu->findChild<QRadioButton *>("ButFirmwareFix")->isHidden());
            QTest::mouseClick(menu->findChild<QRadioButton *>("ButSetwidget"), Qt::LeftButton);
        });
        QVERIFY(wasInstance);
        QCOMPARE(opened, QRect(QPoint(5, 5), QPoint(300, w.height() - 10)));
        QCOMPARE(opened.width(), 296);
        QCOMPARE(tabs->currentIndex(), 3);
        QVERIFY(!QLeftMenuPop::Instance());

        runMenu(w, [&](QLeftMenuPop *menu) {
            QTest::mouseClick(menu->findChild<QRadioButton *>("ButMainWidget"), Qt::LeftButton);
        });
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(!QLeftMenuPop::Instance());
    }

    void closeLeavesThePageAndFollowsTheWindowHeight()
    {
        TestProgramDir dir;
        MainWidget w;
        w.show();
        w.on_TabChangeGlobalSet();
        const int before = w.height();
        w.resize(w.width(), before + 60);
        QCOMPARE(w.height(), before + 60);
        QRect opened;
        QRect closed;
        runMenu(w, [&](QLeftMenuPop *menu) {
            opened = menu->geometry();
            QTest::mouseClick(menu->findChild<QPushButton *>("ButExit"), Qt::LeftButton);
            closed = menu->geometry();
        });
        QCOMPARE(opened.height(), before + 60 - 14);
        QCOMPARE(closed.width(), 1); // slid shut before it was hidden
        QCOMPARE(w.TabWidget()->currentIndex(), 3);
        QVERIFY(!QLeftMenuPop::Instance());
    }

    // The menu holds nothing a device's going frees: a keyboard plugged while it is open gets
    // its tile at once.
    void devicesComeWhileTheMenuIsOpen()
    {
        TestProgramDir dir;
        MainWidget w;
        w.show();
        bool listed = false;
        runMenu(w, [&](QLeftMenuPop *menu) {
            const uint32_t node = emu::Plug(emu::MakeDevice(emu::Model::KeyboardWired));
            listed = QTest::qWaitFor([node] { return HID_API::instance()->TileMap().contains(node); }, 3000);
            QTest::mouseClick(menu->findChild<QPushButton *>("ButExit"), Qt::LeftButton);
        });
        QVERIFY(listed);
        emu::Reset();
    }

    // Opened while another wait runs, the menu's page switch follows that wait.
    void pageSwitchInsideAWaitFollowsIt()
    {
        TestProgramDir dir;
        MainWidget w;
        w.show();
        int inWait = -1;
        QTimer::singleShot(0, &w, [&] {
            runMenu(w, [](QLeftMenuPop *menu) {
                QTest::mouseClick(menu->findChild<QRadioButton *>("ButSetwidget"), Qt::LeftButton);
            });
            inWait = w.TabWidget()->currentIndex();
        });
        DelayMs(2000);
        QCOMPARE(inWait, 0);
        QTRY_COMPARE(w.TabWidget()->currentIndex(), 3);
    }

    void picturesAreInTheResourceTree()
    {
        for (const char *name : {"QUORIX_IMGS/Layer Hoem.png", "QUORIX_IMGS/LayerSet.png", "QUORIX_IMGS/Wrench_40px.png",
                                 "QUORIX_IMGS/tarvenoLog.png"}) {
            const QImage img(QStringLiteral(":/new/prefix1/Imges/") + QLatin1String(name));
            QVERIFY2(!img.isNull(), name);
        }
    }

    void iconButtonOpensOneMenuAtATime()
    {
        TestProgramDir dir;
        MainWidget w;
        w.show();
        QTitleWin *title = QTitleWin::Instance();
        QVERIFY(title);
        int menus = -1;
        QTimer::singleShot(QLeftMenuPop::SlideMs + 150, &w, [&] {
            title->on_Titleicon_clicked(); // a second click while open: returns at once
            menus = w.findChildren<QLeftMenuPop *>().size();
            QTest::mouseClick(QLeftMenuPop::Instance()->findChild<QPushButton *>("ButExit"), Qt::LeftButton);
        });
        title->on_Titleicon_clicked();
        QCOMPARE(menus, 1);
        QVERIFY(!QLeftMenuPop::Instance());
        QVERIFY(w.findChildren<QLeftMenuPop *>().isEmpty());
    }
};

QTEST_MAIN(TstNavpopMenu)
#include "tst_navpop_menu.moc"
