#include "app/QXM_Process.h"
#include "widgets/QDisplayInformation.h"
#include "widgets/QInputDialog.h"
#include "widgets/QInputDialogCopy.h"
#include "widgets/infotext.h"
#include "tests/support/TestProgramDir.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

QDialog *visibleDialog(const QString &name)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isVisible())
            return qobject_cast<QDialog *>(w);
    }
    return nullptr;
}

// Runs the answer once the modal loop is up; a guard closes any dialog left open, so a wrong
// answer fails the test instead of hanging it.
void answerLater(const QString &dialogName, std::function<void(QDialog *)> answer)
{
    QTimer::singleShot(0, [dialogName, answer] {
        QDialog *dlg = visibleDialog(dialogName);
        QVERIFY(dlg);
        answer(dlg);
    });
    QTimer::singleShot(3000, [dialogName] {
        if (QDialog *dlg = visibleDialog(dialogName))
            dlg->done(QDialog::Rejected);
    });
}

QColor pixel(QWidget *w, int x, int y)
{
    return w->grab().toImage().pixelColor(x, y);
}

} // namespace

class TstWidgetsInput : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;

private Q_SLOTS:
    void init() { m_dir = std::make_unique<TestProgramDir>(); }
    void cleanup() { m_dir.reset(); }

    void getTextAnswers_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("expected");
        QTest::newRow("confirm") << "macro 1" << "confirm" << "macro 1";
        QTest::newRow("confirm empty") << "" << "confirm" << "";
        QTest::newRow("cancel") << "macro 2" << "cancel" << "";
        QTest::newRow("escape is a cancel") << "macro 3" << "escape" << "";
    }
    void getTextAnswers()
    {
        QFETCH(QString, typed);
        QFETCH(QString, action);
        QFETCH(QString, expected);
        QString prompt;
        QString textAtShow = QStringLiteral("unset");
        answerLater(QStringLiteral("QInputDialog"), [&](QDialog *dlg) {
            prompt = dlg->findChild<QLabel *>(QStringLiteral("label"))->text();
            auto *edit = dlg->findChild<QLineEdit *>(QStringLiteral("InputEdit"));
            textAtShow = edit->text();
            QTest::keyClicks(edit, typed);
            if (action == QLatin1String("confirm"))
                QTest::mouseClick(dlg->findChild<QPushButton *>(QStringLiteral("But_Confirm")), Qt::LeftButton);
            else if (action == QLatin1String("cancel"))
                QTest::mouseClick(dlg->findChild<QPushButton *>(QStringLiteral("But_Concel")), Qt::LeftButton);
            else
                QTest::keyClick(dlg, Qt::Key_Escape);
        });
        const QString result = quorix::QInputDialog::GetText(QStringLiteral("Name of the macro"));
        QCOMPARE(result, expected);
        QCOMPARE(quorix::QInputDialog::LastText(), expected);
        QCOMPARE(prompt, QStringLiteral("Name of the macro"));
        // The shared dialog is reused: every showing starts empty whatever was typed before.
        QCOMPARE(textAtShow, QString());
    }

    void getTextSharesOneDialogWithLanguageButtons()
    {
        QList<QDialog *> seen;
        for (int i = 0; i < 2; ++i) {
            answerLater(QStringLiteral("QInputDialog"), [&](QDialog *dlg) {
                seen.append(dlg);
                QCOMPARE(dlg->findChild<QPushButton *>(QStringLiteral("But_Confirm"))->text(), QStringLiteral("OK"));
                QCOMPARE(dlg->findChild<QPushButton *>(QStringLiteral("But_Concel"))->text(), QStringLiteral("Cancel"));
                QVERIFY(dlg->windowFlags() & Qt::FramelessWindowHint);
                dlg->findChild<QPushButton *>(QStringLiteral("But_Confirm"))->click();
            });
            quorix::QInputDialog::GetText(QStringLiteral("again"));
        }
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0], seen[1]);
    }

    void copyDialogRefusesEmptyConfirm()
    {
        bool openAfterEmptyConfirm = false;
        answerLater(QStringLiteral("QInputDialogCopy"), [&](QDialog *dlg) {
            auto *confirm = dlg->findChild<QPushButton *>(QStringLiteral("But_Confirm"));
            QTest::mouseClick(confirm, Qt::LeftButton);
            openAfterEmptyConfirm = dlg->isVisible();
            QTest::keyClicks(dlg->findChild<QLineEdit *>(QStringLiteral("InputEdit")), QStringLiteral("Profile A"));
            QTest::mouseClick(confirm, Qt::LeftButton);
        });
        QInputDialogCopy ask(nullptr);
        QVERIFY(openAfterEmptyConfirm);
        QCOMPARE(ask.text(), QStringLiteral("Profile A"));
        QVERIFY(!ask.isVisible());
    }

    void copyDialogCancelAndEscapeGiveNothing_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("cancel") << false;
        QTest::newRow("escape") << true;
    }
    void copyDialogCancelAndEscapeGiveNothing()
    {
        QFETCH(bool, escape);
        answerLater(QStringLiteral("QInputDialogCopy"), [&](QDialog *dlg) {
            QTest::keyClicks(dlg->findChild<QLineEdit *>(QStringLiteral("InputEdit")), QStringLiteral("half typed"));
            if (escape)
                QTest::keyClick(dlg, Qt::Key_Escape);
            else
                QTest::mouseClick(dlg->findChild<QPushButton *>(QStringLiteral("But_Concel")), Qt::LeftButton);
        });
        QInputDialogCopy ask(nullptr);
        QCOMPARE(ask.text(), QString());
    }

    void toastFadesInToOpaque()
    {
        infotext toast(nullptr);
        toast.setText(QStringLiteral("Saved"));
        toast.resize(100, 50);
        toast.show();
        QVERIFY(QTest::qWaitForWindowExposed(&toast));
        QCOMPARE(toast.Alpha(), quint16(0));
        QCOMPARE(pixel(&toast, 50, 10).alpha(), 0);

        quint16 highest = 0;
        QTimer probe;
        connect(&probe, &QTimer::timeout, [&] { highest = qMax(highest, toast.Alpha()); });
        probe.start(1);
        toast.on_showAction();
        QVERIFY(toast.IsFading());
        QTRY_VERIFY_WITH_TIMEOUT(!toast.IsFading(), 2000);
        QCOMPARE(toast.Alpha(), quint16(255));
        QVERIFY(highest <= 255);

        // Bubble over the top 70 %, pointer tip below it at the centre, clear beside the tip.
        QCOMPARE(pixel(&toast, 5, 5), QColor(41, 42, 43));
        QCOMPARE(pixel(&toast, 50, 38).alpha(), 255);
        QCOMPARE(pixel(&toast, 10, 40).alpha(), 0);
        QCOMPARE(pixel(&toast, 50, 46).alpha(), 0);
    }

    void toastShownWithoutFade()
    {
        infotext toast(nullptr);
        toast.resize(80, 40);
        toast.on_showAction();
        toast.on_hideAction();
        QCOMPARE(toast.Alpha(), quint16(255));
        QTest::qWait(50);
        QCOMPARE(toast.Alpha(), quint16(255));
        QVERIFY(!toast.IsFading());
    }

    void valuePopupLines()
    {
        QDisplayInformation popup(nullptr);
        QCOMPARE(popup.size(), QSize(214, 100));
        QCOMPARE(popup.ValueLine(), QStringLiteral("目标值："));
        QCOMPARE(popup.KeyNameLine(), QStringLiteral("键名："));
        popup.SetValues(QStringLiteral("1200"), QStringLiteral("F1"));
        QCOMPARE(popup.ValueLine(), QStringLiteral("Value: 1200"));
        QCOMPARE(popup.KeyNameLine(), QStringLiteral("Key: F1"));
        popup.SetValues(QString(), QString());
        QCOMPARE(popup.ValueLine(), QStringLiteral("Value: "));
        QCOMPARE(popup.KeyNameLine(), QStringLiteral("Key: "));
        QVERIFY(popup.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(popup.font().pixelSize(), 35);
    }

    void valuePopupRoundedPanel()
    {
        QDisplayInformation popup(nullptr);
        popup.resize(130, 70);
        popup.show();
        QVERIFY(QTest::qWaitForWindowExposed(&popup));
        auto *panel = popup.findChild<QWidget *>(QStringLiteral("widget"));
        QVERIFY(panel);
        const QRect r = panel->geometry();
        const QImage img = popup.grab().toImage();
        // Outside the 10-pixel radius the corner stays see-through; the middle is the panel.
        QCOMPARE(img.pixelColor(r.left() + 1, r.top() + 1).alpha(), 0);
        QCOMPARE(img.pixelColor(r.right() - 1, r.bottom() - 1).alpha(), 0);
        QCOMPARE(img.pixelColor(r.center().x(), r.top() + 4), QColor(30, 30, 30));
    }
};

QTEST_MAIN(TstWidgetsInput)
#include "tst_widgets_input.moc"
