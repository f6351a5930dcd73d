#include "app/QAnimationEffectsLable.h"
#include "app/QLeftMenuPop.h"
#include "app/QTitleWin.h"
#include "tests/support/TestProgramDir.h"

#include <QCursor>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

namespace {
// A window laid out as the main window: the title bar sits in a backdrop widget.
struct TitledWindow {
    QWidget window;
    QTitleWin *title = nullptr;
    QWidget *dragArea = nullptr;

    TitledWindow()
    {
        auto *backdrop = new QWidget(&window);
        auto *outer = new QVBoxLayout(&window);
        outer->addWidget(backdrop);
        auto *inner = new QVBoxLayout(backdrop);
        title = new QTitleWin(backdrop);
        inner->addWidget(title);
        inner->addStretch();
        window.setGeometry(100, 80, 500, 300);
        window.show();
        dragArea = title->findChild<QWidget *>(QStringLiteral("widgetTitle"));
    }
    QPushButton *button(const char *name) const { return title->findChild<QPushButton *>(QLatin1String(name)); }

    // Mouse events straight to the title area, at global positions of our choosing.
    void mouse(QEvent::Type type, Qt::MouseButton button, const QPoint &global)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                      : type == QEvent::MouseMove       ? Qt::MouseButtons(Qt::LeftButton)
                                                                        : Qt::MouseButtons(button);
        QMouseEvent event(type, dragArea->mapFromGlobal(global), global, button, held, Qt::NoModifier);
        QApplication::sendEvent(dragArea, &event);
    }
};
} // namespace

class TstAppTitlebar : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;

private Q_SLOTS:
    void init()
    {
        m_dir.reset(new TestProgramDir);
        QVERIFY(m_dir->isValid());
        QCursor::setPos(400, 300);
    }
    void cleanup() { m_dir.reset(); }

    void visibleControls()
    {
        TitledWindow w;
        QCOMPARE(QTitleWin::Instance(), w.title);
        QVERIFY(w.dragArea);
        QVERIFY(w.button("Titleicon")->isVisible());
        QVERIFY(w.button("But_Hide2")->isVisible());
        QVERIFY(w.button("But_Close2")->isVisible());
        QVERIFY(w.button("But_Set")->isHidden());
        QVERIFY(w.button("But_Max_noma")->isHidden());
        QVERIFY(w.title->findChild<QLabel *>(QStringLiteral("label_Title"))->text().isEmpty());
        w.title->SetMenuButtonHidden(true);
        QVERIFY(w.button("Titleicon")->isHidden());
        w.title->SetMenuButtonHidden(false);
        QVERIFY(w.button("Titleicon")->isVisible());
    }

    void imagesTheStyleSheetsNameAreInTheResources()
    {
        QStringList paths{QStringLiteral("QUORIX_IMGS/Layer.png"), QStringLiteral("HID_API/Wait1_480px.png")};
        for (const char *name : {"set", "min", "max", "norm", "Delete"})
            for (const char *state : {"nv", "hv"})
                paths << QStringLiteral("Title/%1_%2.png").arg(QLatin1String(name), QLatin1String(state));
        for (const QString &path : paths) {
            const QImage image(QStringLiteral(":/new/prefix1/Imges/") + path);
            QVERIFY2(!image.isNull(), qPrintable(path));
        }
        QCOMPARE(QImage(QStringLiteral(":/new/prefix1/Imges/HID_API/Wait1_480px.png")).size(), QSize(480, 480));
    }

    void buttonsDoNothingWhileTheNavigationIsOpen()
    {
        TitledWindow w;
        QSignalSpy quit(w.title, &QTitleWin::_quit);
        QSignalSpy minimise(w.title, &QTitleWin::_min);
        QSignalSpy resize(w.title, &QTitleWin::_Resize);
        {
            QLeftMenuPop menu(nullptr);
            QVERIFY(QLeftMenuPop::Instance());
            QTest::mouseClick(w.button("But_Close2"), Qt::LeftButton);
            QTest::mouseClick(w.button("But_Hide2"), Qt::LeftButton);
            w.title->on_But_Max_noma_clicked(true);
            const QPoint before = w.window.pos();
            w.mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(200, 100));
            w.mouse(QEvent::MouseMove, Qt::NoButton, QPoint(260, 140));
            QCOMPARE(w.window.pos(), before);
            QCOMPARE(quit.count() + minimise.count() + resize.count(), 0);
        }
        QTest::mouseClick(w.button("But_Close2"), Qt::LeftButton);
        QTest::mouseClick(w.button("But_Hide2"), Qt::LeftButton);
        w.title->on_But_Max_noma_clicked(true);
        QCOMPARE(quit.count(), 1);
        QCOMPARE(minimise.count(), 1);
        QCOMPARE(resize.count(), 1);
        QCOMPARE(resize.first().first().toBool(), true);
    }

    void menuButtonWithoutMainWindowOpensNothing()
    {
        TitledWindow w;
        QTest::mouseClick(w.button("Titleicon"), Qt::LeftButton);
        QVERIFY(!QLeftMenuPop::Instance());
    }

    void dragMovesTheWindowByTheDelta()
    {
        TitledWindow w;
        const QPoint start = w.window.frameGeometry().topLeft();
        w.mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(200, 100));
        w.mouse(QEvent::MouseMove, Qt::NoButton, QPoint(250, 130));
        QCOMPARE(w.window.frameGeometry().topLeft(), start + QPoint(50, 30));
        w.mouse(QEvent::MouseMove, Qt::NoButton, QPoint(180, 90));
        QCOMPARE(w.window.frameGeometry().topLeft(), start + QPoint(-20, -10));

        // Another button's release does not end the drag; the left one does.
        w.mouse(QEvent::MouseButtonRelease, Qt::RightButton, QPoint(180, 90));
        w.mouse(QEvent::MouseMove, Qt::NoButton, QPoint(200, 100));
        QCOMPARE(w.window.frameGeometry().topLeft(), start);
        w.mouse(QEvent::MouseButtonRelease, Qt::LeftButton, QPoint(200, 100));
        w.mouse(QEvent::MouseMove, Qt::NoButton, QPoint(300, 200));
        QCOMPARE(w.window.frameGeometry().topLeft(), start);

        // A right-button press starts nothing, and a double click changes nothing.
        w.mouse(QEvent::MouseButtonPress, Qt::RightButton, QPoint(200, 100));
        w.mouse(QEvent::MouseMove, Qt::NoButton, QPoint(300, 200));
        w.mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, QPoint(300, 200));
        QCOMPARE(w.window.frameGeometry().topLeft(), start);
        QVERIFY(!w.window.isMaximized());
    }

    void maximisedWindowDoesNotMove()
    {
        TitledWindow w;
        w.window.showMaximized();
        QTRY_VERIFY(w.window.isMaximized());
        const QPoint start = w.window.pos();
        w.mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPoint(200, 20));
        w.mouse(QEvent::MouseMove, Qt::NoButton, QPoint(300, 120));
        QCOMPARE(w.window.pos(), start);
    }

    void minimiseFliesTheSnapshotOffScreen()
    {
        QWidget window;
        window.setGeometry(100, 100, 400, 300);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QAnimationEffectsLable *label = QAnimationEffectsLable::instance();
        QCOMPARE(QAnimationEffectsLable::instance(), label);

        label->AnimateMinimize(&window);
        QVERIFY(window.isMinimized());
        QCOMPARE(window.windowOpacity(), 1.0);
        QVERIFY(label->isVisible());
        QCOMPARE(label->SavedGeometry(), QRect(100, 100, 400, 300));
        QCOMPARE(int(label->CurrentMode()), 6);
        QCOMPARE(label->ScreenRect(), QRect(0, 0, 800, 600));
        QVERIFY(!label->pixmap(Qt::ReturnByValue).isNull());
        QTRY_COMPARE_WITH_TIMEOUT(label->geometry(), QRect(800, 600, 100, 100), 1000);
        QTRY_VERIFY_WITH_TIMEOUT(!label->isVisible(), 1000);
    }

    void restoreRightAfterMinimiseFliesBack()
    {
        QWidget window;
        window.setGeometry(120, 90, 300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QAnimationEffectsLable *label = QAnimationEffectsLable::instance();
        label->AnimateMinimize(&window);
        QTest::qWait(100);
        // The minimise's own hide falls due 300 ms after it, in the middle of the restore.
        bool shownMidway = false;
        QTimer::singleShot(250, label, [&] { shownMidway = label->isVisible(); });
        label->AnimateRestore(&window);
        QVERIFY(shownMidway);
        QCOMPARE(int(label->CurrentMode()), 5);
        QCOMPARE(label->geometry(), QRect(120, 90, 300, 200));
        QVERIFY(!label->isVisible());
        QVERIFY(window.isVisible());
    }
};

QTEST_MAIN(TstAppTitlebar)
#include "tst_app_titlebar.moc"
