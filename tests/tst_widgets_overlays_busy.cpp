#include "app/MainWidget.h"
#include "widgets/QLabelThread.h"
#include "widgets/QMaskGrayLabel.h"
#include "widgets/QWaitLabel.h"
#include "widgets/QWaitingAnimationDlg.h"
#include "tests/support/QueuedSignalSpy.h"
#include "tests/support/TestProgramDir.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <memory>

// The busy spinner, its tick threads, and the grey mask's way out of a wait on the main window.
// The shared busy dialog is process-wide, so these cases have their own executable.
namespace {
bool maskVisible(MainWidget &main)
{
    auto *mask = main.findChild<QMaskGrayLabel *>();
    return mask && mask->isVisible();
}
} // namespace

class TstWidgetsOverlaysBusy : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;

private Q_SLOTS:
    void init()
    {
        m_dir.reset(new TestProgramDir);
        QVERIFY(m_dir->isValid());
    }
    void cleanup()
    {
        QWaitingAnimationDlg::Release();
        m_dir.reset();
    }

    void tickThreadTicksAndStopsPromptly()
    {
        QLabelThread ticker;
        QueuedSignalSpy ticks(&ticker, &QLabelThread::Runone); // ticks come from the thread
        ticker.on_StateThred();
        QTest::qWait(1050);
        QVERIFY2(ticks.count() >= 8 && ticks.count() <= 13, qPrintable(QString::number(ticks.count())));
        QElapsedTimer clock;
        clock.start();
        ticker.on_StopThred();
        QVERIFY(ticker.isFinished());
        QVERIFY2(clock.elapsed() < 50, qPrintable(QString::number(clock.elapsed())));

        // It starts again after a stop, also when restarted straight away.
        QCoreApplication::processEvents(); // ticks sent before the stop
        ticks.clear();
        ticker.on_StateThred();
        ticker.on_StopThred();
        ticker.on_StateThred();
        QTRY_VERIFY(ticks.count() >= 2);
    }

    void runningTickThreadsCanBeDestroyed()
    {
        auto *ticker = new QLabelThread;
        ticker->on_StateThred();
        QTest::qWait(30);
        delete ticker; // must join, not abort

        auto *spinner = new QWaitLabel;
        QPointer<QWaitLabel> watch = spinner;
        spinner->resize(52, 52);
        spinner->show();
        QVERIFY(spinner->IsSpinning());
        QTRY_VERIFY(spinner->Angle() >= 20);
        spinner->close(); // deletes itself
        QTRY_VERIFY(watch.isNull());
    }

    void busyDialogIsSharedAndReleased()
    {
        QVERIFY(!QWaitingAnimationDlg::Existing());
        QWaitingAnimationDlg::Release(); // none: nothing happens
        QWaitingAnimationDlg *dlg = QWaitingAnimationDlg::Instance();
        QCOMPARE(QWaitingAnimationDlg::Instance(), dlg);
        QCOMPARE(dlg->objectName(), QStringLiteral("WaitingAnimationDlgface"));
        QCOMPARE(dlg->size(), QSize(55, 55));
        const Qt::WindowFlags flags = dlg->windowFlags();
        QVERIFY((flags & Qt::WindowType_Mask) == Qt::Tool);
        QVERIFY(flags & Qt::FramelessWindowHint);
        QVERIFY(flags & Qt::WindowStaysOnTopHint);
        QWaitingAnimationDlg::Release();
        QVERIFY(!QWaitingAnimationDlg::Existing());
        QVERIFY(QWaitingAnimationDlg::Instance() != nullptr);
    }

    void busyDialogFollowsTheCursorAndReleasesWhileShown()
    {
        QCursor::setPos(200, 150);
        QWaitingAnimationDlg *dlg = QWaitingAnimationDlg::Instance();
        dlg->show();
        QTRY_COMPARE(dlg->pos(), QPoint(210, 160));
        QCursor::setPos(300, 100);
        QTRY_COMPARE(dlg->pos(), QPoint(310, 110));
        QWaitLabel *spinner = dlg->Spinner();
        QTRY_VERIFY(spinner->Angle() >= 20);

        StopWaitSpinner();
        QVERIFY(!spinner->IsSpinning());
        const int angle = spinner->Angle();
        QTest::qWait(250);
        QCOMPARE(spinner->Angle(), angle);

        // Still shown, its own tick running: released all the same.
        QVERIFY(dlg->isVisible());
        QWaitingAnimationDlg::Release();
        QVERIFY(!QWaitingAnimationDlg::Existing());
        StopWaitSpinner(); // no dialog: nothing to stop
        QTest::qWait(150);
    }

    void hidingTheBusyStateReleasesTheSpinner()
    {
        MainWidget main;
        main.show();
        main.ShowBusyAt(true);
        QPointer<QWaitingAnimationDlg> dlg = QWaitingAnimationDlg::Existing();
        QVERIFY(dlg && dlg->isVisible());
        auto *mask = main.findChild<QMaskGrayLabel *>();
        QVERIFY(mask && mask->isVisible());
        QVERIFY(!mask->m_ShowText);

        main.on_Hide_busy_Status();
        QVERIFY(dlg.isNull());
        QVERIFY(!mask->isVisible());
    }

    void escapeButtonEndsTheDeviceWait()
    {
        MainWidget main;
        main.show();
        main.ShowBusyAt(false);
        QVERIFY(maskVisible(main));
        auto *mask = main.findChild<QMaskGrayLabel *>();
        QVERIFY(mask->m_ShowText);
        QVERIFY(mask->EscapeButton()->isHidden());
        QTimer::singleShot(300, mask, [mask] {
            for (int i = 0; i < 12; ++i)
                QMetaObject::invokeMethod(mask, "on_timeOut");
            mask->EscapeButton()->click();
        });
        QElapsedTimer clock;
        clock.start();
        const bool ended = main.WaitDeviceSync();
        QVERIFY(ended);
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!main.IsSyncWaiting());
        QVERIFY(!mask->isVisible());
    }
};

QTEST_MAIN(TstWidgetsOverlaysBusy)
#include "tst_widgets_overlays_busy.moc"
