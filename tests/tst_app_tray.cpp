#include "app/QXM_Process.h"
#include "app/TrayIcon.h"
#include "tests/support/TestProgramDir.h"

#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QtTest>
#include <memory>

// The tray icon is one object for the whole process.
class TstAppTray : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;

    static QStringList entries()
    {
        QStringList texts;
        for (QAction *a : TrayIcon::Instance()->Menu()->actions())
            texts << a->text();
        return texts;
    }
    static QAction *entry(int index) { return TrayIcon::Instance()->Menu()->actions().value(index); }

private Q_SLOTS:
    void init()
    {
        m_dir.reset(new TestProgramDir);
        QVERIFY(m_dir->isValid());
    }
    void cleanup() { m_dir.reset(); }

    void menuFollowsTheLanguage()
    {
        QWidget window;
        QXM_Process::instance()->ReloadLanguage(1);
        TrayIcon *tray = TrayIcon::Instance();
        QCOMPARE(TrayIcon::Instance(), tray);
        tray->setIcon(QStringLiteral(":/new/prefix1/Imges/appico.png"));
        QVERIFY(!tray->SystemIcon()->icon().isNull());
        tray->setMainWidget(&window);
        QCOMPARE(tray->SystemIcon()->contextMenu(), tray->Menu());
        QCOMPARE(entries(), QStringList({QStringLiteral("Durad Ova"), QStringLiteral("Exit")}));
        for (QAction *a : tray->Menu()->actions())
            QVERIFY(a->shortcut().isEmpty());

        QXM_Process::instance()->ReloadLanguage(2);
        Q_EMIT tray->Menu()->aboutToShow();
        QCOMPARE(entries(), QStringList({QStringLiteral("Durad Ova"), GetLangText(65)}));
        QVERIFY(GetLangText(65) != QLatin1String("Exit"));
        QVERIFY(!tray->SystemIcon()->isVisible());
        tray->setVisible(true);
        QVERIFY(tray->SystemIcon()->isVisible());
        tray->setVisible(false);
    }

    void activationShowsTheWindow_data()
    {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("shows");
        QTest::newRow("trigger") << int(QSystemTrayIcon::Trigger) << true;
        QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << true;
        QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << false;
        QTest::newRow("context") << int(QSystemTrayIcon::Context) << false;
    }
    void activationShowsTheWindow()
    {
        QFETCH(int, reason);
        QFETCH(bool, shows);
        QWidget window;
        TrayIcon::Instance()->setMainWidget(&window);
        QVERIFY(window.isHidden());
        Q_EMIT TrayIcon::Instance()->SystemIcon()->activated(QSystemTrayIcon::ActivationReason(reason));
        QCOMPARE(window.isVisible(), shows);
    }

    void firstEntryRestoresAMinimisedWindow()
    {
        QWidget window;
        TrayIcon::Instance()->setMainWidget(&window);
        window.showMinimized();
        QTRY_VERIFY(window.isMinimized());
        entry(0)->trigger();
        QVERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());
    }

    void windowGoneBeforeTheTray()
    {
        auto *window = new QWidget;
        TrayIcon::Instance()->setMainWidget(window);
        delete window;
        entry(0)->trigger();
        Q_EMIT TrayIcon::Instance()->SystemIcon()->activated(QSystemTrayIcon::Trigger);
        TrayIcon::Instance()->showMessage(QStringLiteral("QUORIX HUB"), QStringLiteral("still here"));
    }

    void destroyMakesWayForANewTray()
    {
        QPointer<TrayIcon> first = TrayIcon::Instance();
        TrayIcon::Destroy();
        QVERIFY(first.isNull());
        TrayIcon::Destroy(); // twice is harmless
        QVERIFY(TrayIcon::Instance() != nullptr);
    }

    void exitEntryEndsTheEventLoopWithTheWindowHidden()
    {
        QWidget window;
        TrayIcon *tray = TrayIcon::Instance();
        tray->setMainWidget(&window);
        tray->setVisible(true);
        QPointer<TrayIcon> watch = tray;
        QTimer::singleShot(0, tray, [] { entry(1)->trigger(); });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(7); }); // a safety net only
        const int code = QCoreApplication::exec();
        QCOMPARE(code, 0);
        QVERIFY(window.isHidden());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(watch.isNull());
        TrayIcon::Destroy();
    }
};

QTEST_MAIN(TstAppTray)
#include "tst_app_tray.moc"
