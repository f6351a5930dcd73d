#include "app/QXM_Process.h"
#include "widgets/QDarkScreenWidget.h"
#include "widgets/QDiyQRadioButton.h"
#include "widgets/QLStylRadioButton.h"
#include "widgets/QLayerNavigationBar.h"
#include "widgets/QMlanguageLabel.h"
#include "widgets/QTextAndpictue.h"
#include "tests/support/TestProgramDir.h"

#include <QButtonGroup>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {
// Only what the widget paints itself, over transparency.
QImage ownPaint(QWidget *w)
{
    QImage img(w->size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    w->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    return img;
}

QList<QDiyQRadioButton *> layerButtons(QLayerNavigationBar &bar)
{
    QList<QDiyQRadioButton *> list;
    for (QAbstractButton *b : bar.ButtonGroup()->buttons())
        list.append(qobject_cast<QDiyQRadioButton *>(b));
    std::sort(list.begin(), list.end(), [&](QAbstractButton *a, QAbstractButton *b) {
        return bar.ButtonGroup()->id(a) < bar.ButtonGroup()->id(b);
    });
    return list;
}

QColor underline(QWidget *button)
{
    return ownPaint(button).pixelColor(button->width() / 2, button->height() - 1);
}
} // namespace

class TstWidgetsLabels : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TestProgramDir>();
        QXM_Process::instance()->ReloadLanguage(1);
    }
    void cleanup() { m_dir.reset(); }

    // --- layer bar ---

    void buildGivesWidthsNamesAndNoChoice_data()
    {
        QTest::addColumn<int>("minWidth");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::newRow("by text length") << 0 << 36 << 108;
        QTest::newRow("given width") << 70 << 70 << 70;
    }
    void buildGivesWidthsNamesAndNoChoice()
    {
        QFETCH(int, minWidth);
        QFETCH(int, first);
        QFETCH(int, second);
        QLayerNavigationBar bar;
        bar.BuildButtons({QStringLiteral("L1"), QStringLiteral("Layer2")}, minWidth);
        const auto buttons = layerButtons(bar);
        QCOMPARE(buttons.size(), 2);
        QCOMPARE(buttons[0]->minimumWidth(), first);
        QCOMPARE(buttons[1]->minimumWidth(), second);
        QCOMPARE(buttons[1]->objectName(), QStringLiteral("LayerRadioButton_Layer2"));
        QCOMPARE(buttons[1]->text(), QStringLiteral("Layer2"));
        QCOMPARE(bar.CheckedButtonId(), -1);
    }

    void emptyNamesBuildNothing()
    {
        QLayerNavigationBar bar;
        bar.BuildButtons({}, 0);
        QVERIFY(bar.ButtonGroup()->buttons().isEmpty());
        QCOMPARE(bar.CheckedButtonId(), -1);
    }

    void clickReportsIdAndTextEveryTime()
    {
        QLayerNavigationBar bar;
        bar.BuildButtons({QStringLiteral("L1"), QStringLiteral("Layer2"), QStringLiteral("L3")}, 0);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        QStringList heard;
        connect(&bar, QOverload<int, QString>::of(&QLayerNavigationBar::ButtonChange),
                [&](int id, const QString &t) { heard << QStringLiteral("%1 %2").arg(id).arg(t); });
        connect(&bar, QOverload<int>::of(&QLayerNavigationBar::ButtonChange),
                [&](int id) { heard << QString::number(id); });
        QDiyQRadioButton *b = layerButtons(bar)[1];
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(heard, (QStringList{"1 Layer2", "1"}));
        QCOMPARE(bar.CheckedButtonId(), 1);
        QTest::mouseClick(b, Qt::LeftButton); // the one already on reports again
        QCOMPARE(heard.size(), 4);
        QCOMPARE(heard.mid(2), (QStringList{"1 Layer2", "1"}));
    }

    void rebuildFromInsideTheClickSignal()
    {
        QLayerNavigationBar bar;
        bar.BuildButtons({QStringLiteral("A"), QStringLiteral("B")}, 0);
        bar.show();
        QVERIFY(QTest::qWaitForWindowExposed(&bar));
        connect(&bar, QOverload<int>::of(&QLayerNavigationBar::ButtonChange), &bar, [&](int) {
            bar.UnBuilbButtons();
            bar.BuildButtons({QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")}, 0);
        });
        QPointer<QDiyQRadioButton> clicked = layerButtons(bar)[1];
        QTest::mouseClick(clicked, Qt::LeftButton);
        QTRY_VERIFY(!clicked);
        const auto now = layerButtons(bar);
        QCOMPARE(now.size(), 3);
        QCOMPARE(bar.ButtonGroup()->id(now[0]), 0);
        QCOMPARE(now[0]->text(), QStringLiteral("X"));
        QCOMPARE(bar.findChildren<QDiyQRadioButton *>().size(), 3);
        QCOMPARE(bar.CheckedButtonId(), -1);
    }

    void underlineColours()
    {
        QWidget page;
        auto *plain = new QDiyQRadioButton(&page);
        plain->SetButtonText(QStringLiteral("L1"));
        plain->resize(60, 40);
        QCOMPARE(underline(plain), QColor(0, 180, 0));
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(plain, &enter);
        QCOMPARE(underline(plain), QColor(0, 230, 0));
        plain->setChecked(true);
        QCOMPARE(underline(plain), QColor(230, 0, 0)); // on: red whether hovered or not
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(plain, &leave);
        QCOMPARE(underline(plain), QColor(230, 0, 0));
        // The text band above the line stays clear of it.
        QCOMPARE(ownPaint(plain).pixelColor(1, 1).alpha(), 0);
    }

    // --- language-aware labels ---

    void languageLabelFollowsItsTextId()
    {
        QMlanguageLabel fixed;
        fixed.setText(QStringLiteral("kept"));
        QMlanguageLabel named;
        named.SetTextId(2);
        QCOMPARE(named.text(), QStringLiteral("Cancel")); // shown at once, not at the next change
        QXM_Process::instance()->ReloadLanguage(2);
        QXM_Process::instance()->NotifyLanguageChange();
        QCOMPARE(named.text(), QStringLiteral("취소"));
        QCOMPARE(fixed.text(), QStringLiteral("kept"));
    }

    void styledRadioButton()
    {
        QLStylRadioButton none;
        none.setText(QStringLiteral("mine"));
        QXM_Process::instance()->NotifyLanguageChange();
        QCOMPARE(none.text(), QStringLiteral("mine")); // id 0 names no text
        QCOMPARE(none.cursor().shape(), Qt::PointingHandCursor);

        QWidget page;
        auto *tab = new QLStylRadioButton(&page);
        tab->SetTextId(1);
        QCOMPARE(tab->text(), QStringLiteral("OK"));
        QXM_Process::instance()->ReloadLanguage(0);
        QXM_Process::instance()->NotifyLanguageChange();
        QCOMPARE(tab->text(), QStringLiteral("确定"));

        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(tab, &enter);
        QCOMPARE(tab->font().pixelSize(), 18);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(tab, &leave);
        QCOMPARE(tab->font().pixelSize(), 13);
        // A label wider than its tab at the hover size grows only as far as it fits.
        tab->setText(QStringLiteral("Functions"));
        tab->resize(70, 25);
        QApplication::sendEvent(tab, &enter);
        QVERIFY(tab->font().pixelSize() >= 13);
        QVERIFY(QFontMetrics(tab->font()).horizontalAdvance(tab->text()) <= tab->width() - 2);
        QApplication::sendEvent(tab, &leave);

        tab->resize(80, 30);
        tab->setChecked(true);
        QCOMPARE(ownPaint(tab).pixelColor(5, 28), QColor(48, 82, 132));
        tab->setChecked(false);
        QCOMPARE(ownPaint(tab).pixelColor(5, 28).alpha(), 0);
    }

    // --- drag picture ---

    void dragPictureSizes()
    {
        QTextAndpictue pic;
        QCOMPARE(pic.size(), QSize(200, 60));
        pic.SetText(QStringLiteral("abcd"));
        QCOMPARE(pic.size(), QSize(60, 30));
        QPixmap red(30, 30);
        red.fill(Qt::red);
        pic.SetTextAndPicture(red, QStringLiteral("abcd"));
        QCOMPARE(pic.size(), QSize(90, 30));
    }

    void dragPictureModes()
    {
        QTextAndpictue pic;
        pic.SetDrawMode(0);
        pic.SetText(QString());
        pic.resize(60, 30);
        const QImage empty = pic.grab().toImage();
        for (int y = 0; y < empty.height(); ++y)
            for (int x = 0; x < empty.width(); ++x)
                QCOMPARE(empty.pixelColor(x, y).alpha(), 0);

        QPixmap red(10, 10);
        red.fill(Qt::red);
        pic.SetTextAndPicture(red, QStringLiteral("ab"));
        pic.SetDrawMode(1); // the picture scaled over the whole label
        QCOMPARE(pic.grab().toImage().pixelColor(55, 25), QColor(Qt::red));
        pic.SetDrawMode(2); // a 30 x 30 picture, then the text
        QCOMPARE(pic.grab().toImage().pixelColor(5, 5), QColor(Qt::red));
        QCOMPARE(pic.grab().toImage().pixelColor(31, 1).alpha(), 0);
        pic.SetDrawMode(7);
        QCOMPARE(pic.grab().toImage().pixelColor(5, 5).alpha(), 0);
    }

    // --- dark cover ---

    void darkCoverIsOneAndGoesAway()
    {
        QDarkScreenWidget::UnDisp(); // none: nothing happens
        QVERIFY(!QDarkScreenWidget::Current());

        QWidget page;
        page.resize(300, 200);
        page.show();
        QDarkScreenWidget::Disp(&page);
        QDarkScreenWidget::Disp(&page);
        QCOMPARE(page.findChildren<QDarkScreenWidget *>().size(), 1);
        QDarkScreenWidget *cover = QDarkScreenWidget::Current();
        QVERIFY(cover && cover->isVisible());
        QCOMPARE(cover->geometry(), QRect(0, 0, 300, 200));
        const QColor dark = ownPaint(cover).pixelColor(150, 100);
        QCOMPARE(dark.alpha(), 200);
        QVERIFY(dark.red() <= 1 && dark.green() <= 2 && dark.blue() <= 3);

        QWidget other;
        QDarkScreenWidget::Disp(&other); // stays over its first parent
        QCOMPARE(QDarkScreenWidget::Current()->parentWidget(), &page);

        QPointer<QDarkScreenWidget> gone = cover;
        QDarkScreenWidget::UnDisp();
        QVERIFY(!QDarkScreenWidget::Current());
        QTRY_VERIFY(!gone);
    }

    void darkCoverOutlivedByNothing()
    {
        auto *page = new QWidget;
        page->resize(100, 100);
        QDarkScreenWidget::Disp(page);
        QVERIFY(QDarkScreenWidget::Current());
        delete page; // takes the cover with it
        QVERIFY(!QDarkScreenWidget::Current());
        QDarkScreenWidget::UnDisp();
        QWidget next;
        QDarkScreenWidget::Disp(&next);
        QCOMPARE(QDarkScreenWidget::Current()->parentWidget(), &next);
        QDarkScreenWidget::UnDisp();
    }
};

QTEST_MAIN(TstWidgetsLabels)
#include "tst_widgets_labels.moc"
