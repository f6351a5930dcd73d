#include "app/QXM_Process.h"
#include "widgets/QDottomMessgDlg.h"
#include "widgets/QDottom_Inerwidget.h"
#include "tests/support/TestProgramDir.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <memory>

// The message strip: answers, keys, the countdown and the side colour. LastResult() is one
// byte for the whole process, so these cases live in their own executable.
class TstWidgetsMessage : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;

    static QPushButton *button(QDottomMessgDlg &dlg, const char *name)
    {
        return dlg.findChild<QPushButton *>(QLatin1String(name));
    }

private Q_SLOTS:
    void init()
    {
        m_dir.reset(new TestProgramDir);
        QVERIFY(m_dir->isValid());
        QXM_Process::instance()->ReloadLanguage(1);
    }
    void cleanup() { m_dir.reset(); }

    void answers_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("expected");
        QTest::newRow("Yes") << "yes" << 1;
        QTest::newRow("Cancel") << "cancel" << 0;
        QTest::newRow("Return") << "return" << 1;
        QTest::newRow("Enter") << "enter" << 1;
        QTest::newRow("Cancel after an earlier Yes") << "cancel" << 0;
    }
    void answers()
    {
        QFETCH(QString, how);
        QFETCH(int, expected);
        QDottomMessgDlg dlg(nullptr, QColor(178, 179, 180), QStringLiteral("Delete the configuration?"), false, 600);
        QVERIFY(!button(dlg, "But_Cancel")->isHidden());
        QCOMPARE(button(dlg, "But_Yes")->text(), GetLangText(1));
        QCOMPARE(button(dlg, "But_Cancel")->text(), GetLangText(2));
        QVERIFY(dlg.Panel()->IsCounting());

        QElapsedTimer sinceAnswer;
        QTimer::singleShot(50, &dlg, [&] {
            sinceAnswer.start();
            if (how == "yes")
                button(dlg, "But_Yes")->click();
            else if (how == "cancel")
                button(dlg, "But_Cancel")->click();
            else
                QTest::keyClick(&dlg, how == "return" ? Qt::Key_Return : Qt::Key_Enter);
        });
        dlg.exec();
        QCOMPARE(int(QDottomMessgDlg::LastResult()), expected);
        // The strip is wiped away before it closes; the countdown stopped with the answer.
        QVERIFY2(sinceAnswer.elapsed() >= 290, qPrintable(QString::number(sinceAnswer.elapsed())));
        QVERIFY(!dlg.Panel()->IsCounting());
    }

    void yesOnlyIgnoresEveryKeyButReturnAndEnter()
    {
        QDottomMessgDlg dlg(nullptr, QColor(0, 169, 224), QStringLiteral("Saved"), true, 600);
        QVERIFY(button(dlg, "But_Cancel")->isHidden());
        QCOMPARE(button(dlg, "But_Yes")->text(), GetLangText(133));
        QCOMPARE(button(dlg, "But_Yes")->text(), QStringLiteral("Got it"));

        bool openAfterKeys = false;
        QTimer::singleShot(50, &dlg, [&] {
            for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Space, Qt::Key_A, Qt::Key_Tab})
                QTest::keyClick(&dlg, key);
            QTest::qWait(50);
            openAfterKeys = dlg.isVisible() && dlg.Panel()->IsCounting();
            QTest::keyClick(&dlg, Qt::Key_Enter);
        });
        dlg.exec();
        QVERIFY(openAfterKeys);
        QCOMPARE(int(QDottomMessgDlg::LastResult()), 1);
    }

    void secondAnswerDuringTheWipeIsIgnored()
    {
        QDottomMessgDlg dlg(nullptr, QColor(255, 0, 62), QStringLiteral("Reset the keys?"), false, 600);
        QTimer::singleShot(50, &dlg, [&] { button(dlg, "But_Yes")->click(); });
        // Lands inside the Yes's closing wipe.
        QTimer::singleShot(200, &dlg, [&] { button(dlg, "But_Cancel")->click(); });
        dlg.exec();
        QCOMPARE(int(QDottomMessgDlg::LastResult()), 1);
    }

    void countdownClosesTheStripAsNo()
    {
        {
            QDottomMessgDlg first(nullptr, QColor(178, 179, 180), QStringLiteral("first"), true, 600);
            QTimer::singleShot(20, &first, [&] { QTest::keyClick(&first, Qt::Key_Return); });
            first.exec();
            QCOMPARE(int(QDottomMessgDlg::LastResult()), 1);
        }
        // About 120 px of bar at 2 px per 10 ms tick: well under a second.
        QDottomMessgDlg dlg(nullptr, QColor(178, 179, 180), QStringLiteral("nobody answers"), false, 120);
        QElapsedTimer clock;
        clock.start();
        QTimer::singleShot(5000, &dlg, &QDialog::reject); // a safety net only
        dlg.exec();
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!dlg.Panel()->IsCounting());
        QCOMPARE(int(QDottomMessgDlg::LastResult()), 0);
    }

    void repaintsDoNotHurryTheCountdown()
    {
        QDottomMessgDlg dlg(nullptr, QColor(178, 179, 180), QStringLiteral("repaint"), false, 600);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QDottom_Inerwidget *panel = dlg.Panel();
        const int before = panel->BarRect().width();
        for (int i = 0; i < 100; ++i)
            panel->repaint();
        QVERIFY2(before - panel->BarRect().width() <= 10, qPrintable(QString::number(before - panel->BarRect().width())));
        QTimer::singleShot(0, &dlg, [&] { button(dlg, "But_Cancel")->click(); });
        dlg.exec();
    }

    void longMessageWrapsInsideTheStrip_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("textId");
        QTest::newRow("English firmware question") << 1 << 355;
        QTest::newRow("Korean import refusal") << 2 << 139;
    }
    void longMessageWrapsInsideTheStrip()
    {
        QFETCH(int, language);
        QFETCH(int, textId);
        QXM_Process::instance()->ReloadLanguage(uchar(language));
        QDottomMessgDlg dlg(nullptr, QColor(178, 179, 180), GetLangText(textId), false, 900);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        // The strip keeps the width it was given, the buttons stay on it, and the whole text
        // fits the label's height.
        QCOMPARE(dlg.width(), 900);
        QVERIFY(button(dlg, "But_Yes")->geometry().right() < dlg.Panel()->width());
        auto *label = dlg.findChild<QLabel *>(QStringLiteral("Messgeinfo"));
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) > label->width());
        QVERIFY(label->heightForWidth(label->width()) <= label->height());
        QTimer::singleShot(0, &dlg, [&] { button(dlg, "But_Cancel")->click(); });
        dlg.exec();
    }

    void sideColourIsPainted()
    {
        const QColor red(255, 0, 62);
        QDottomMessgDlg dlg(nullptr, red, QStringLiteral("Firmware update failed"), true, 600);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QDottom_Inerwidget *panel = dlg.Panel();
        const QImage picture = panel->grab().toImage();
        QCOMPARE(picture.pixelColor(2, picture.height() / 2).rgb(), red.rgb());
        // The panel itself stays dark next to the strip.
        const QColor inside = picture.pixelColor(picture.width() - 20, 3);
        QVERIFY2(inside.red() < 60 && inside.green() < 100, qPrintable(inside.name()));
        QTimer::singleShot(0, &dlg, [&] { button(dlg, "But_Yes")->click(); });
        dlg.exec();
    }
};

QTEST_MAIN(TstWidgetsMessage)
#include "tst_widgets_message.moc"
