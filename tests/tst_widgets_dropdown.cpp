#include "platform/GlobalMouseWatcher.h"
#include "widgets/QACombxBox.h"
#include "widgets/QACombxBoxView.h"
#include "tests/support/TestProgramDir.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

namespace {
// Counts the presses that reach a widget.
class PressCounter : public QObject
{
public:
    int presses = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::MouseButtonPress)
            ++presses;
        return false;
    }
};
} // namespace

class TstWidgetsDropdown : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<QWidget> m_page;
    QACombxBox *m_box = nullptr;
    QACombxBox *m_second = nullptr;
    QPushButton *m_other = nullptr;

    // Opens the box's list and waits for its unfold animation to end.
    QACombxBoxView *open(QACombxBox *box)
    {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(20, 10));
        QACombxBoxView *list = box->OpenList();
        if (!list)
            return nullptr;
        const int full = 27 * box->items().size() + 3;
        if (!QTest::qWaitFor([&] { return list->height() == full; }, 2000))
            return nullptr;
        return list;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TestProgramDir>();
        m_page = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(m_page.get());
        m_box = new QACombxBox(m_page.get());
        m_box->setFixedSize(160, 30);
        m_box->setItems({QStringLiteral("125 Hz"), QStringLiteral("250 Hz"), QStringLiteral("500 Hz"), QStringLiteral("1000 Hz")});
        m_second = new QACombxBox(m_page.get());
        m_second->setFixedSize(160, 30);
        m_second->setItems({QStringLiteral("A"), QStringLiteral("B")});
        m_other = new QPushButton(QStringLiteral("elsewhere"), m_page.get());
        layout->addWidget(m_box);
        layout->addSpacing(150);
        layout->addWidget(m_second);
        layout->addWidget(m_other);
        m_page->move(100, 50);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
    }
    void cleanup()
    {
        m_page.reset();
        QTRY_VERIFY(!QACombxBoxView::Shared());
        QTRY_COMPARE(GlobalMouseWatcher::instance().HandlerCount(), 0);
        m_dir.reset();
    }

    void itemsAndIndexRules()
    {
        QACombxBox box;
        QSignalSpy changed(&box, &QACombxBox::currentIndexChanged);
        QCOMPARE(box.currentIndex(), -1);
        QCOMPARE(box.currentText(), QStringLiteral(" "));
        box.setItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        QCOMPARE(box.currentIndex(), 0);
        QCOMPARE(box.text(), QStringLiteral("a"));
        box.setCurrentIndex(2);
        QCOMPARE(box.currentText(), QStringLiteral("c"));
        QCOMPARE(box.text(), QStringLiteral("c"));
        box.setCurrentIndex(-1);
        box.setCurrentIndex(3);
        QCOMPARE(box.currentIndex(), 2);
        box.addItem(QStringLiteral("d"));
        QCOMPARE(box.currentIndex(), 2);
        QCOMPARE(box.items().size(), 4);
        box.setCurrentText(QStringLiteral("shown only"));
        QCOMPARE(box.currentText(), QStringLiteral("c"));
        box.clear();
        QCOMPARE(box.currentText(), QStringLiteral(" "));
        QCOMPARE(box.currentIndex(), 2);
        QCOMPARE(box.text(), QString());
        box.setItems({});
        QCOMPARE(box.currentIndex(), -1);
        QCOMPARE(box.currentText(), QStringLiteral(" "));
        QCOMPARE(changed.count(), 0); // only a user's pick reports
    }

    void pressOpensTheListUnderTheBox()
    {
        QVERIFY(m_box->IsFolded());
        QACombxBoxView *list = open(m_box);
        QVERIFY(list);
        QVERIFY(list->isVisible());
        QCOMPARE(QACombxBoxView::Shared(), list);
        QCOMPARE(list->Owner(), m_box);
        QVERIFY(!m_box->IsFolded());
        const QPoint corner = m_box->mapToGlobal(QPoint(0, 0));
        QCOMPARE(list->geometry(), QRect(corner.x(), corner.y() + 30 + 2, 160, 111));
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->item(3)->text(), QStringLiteral("1000 Hz"));
        QCOMPARE(GlobalMouseWatcher::instance().HandlerCount(), 1);
    }

    void pickingAnItemReportsOnceAndCloses()
    {
        QSignalSpy changed(m_box, &QACombxBox::currentIndexChanged);
        for (int round = 0; round < 2; ++round) {
            QPointer<QACombxBoxView> list = open(m_box);
            QVERIFY(list);
            const QRect row = list->visualItemRect(list->item(2));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
            QTRY_VERIFY(!list);
            QVERIFY(m_box->IsFolded());
            // The same pick again reports again.
            QCOMPARE(changed.count(), round + 1);
            QCOMPARE(changed.last().at(0).toInt(), 2);
        }
        QCOMPARE(m_box->currentIndex(), 2);
        QCOMPARE(m_box->currentText(), QStringLiteral("500 Hz"));
        QCOMPARE(m_box->text(), QStringLiteral("500 Hz"));
    }

    void pressOnTheOpenBoxFoldsWithoutReopening()
    {
        QPointer<QACombxBoxView> list = open(m_box);
        QVERIFY(list);
        QSignalSpy pressed(m_box, &QPushButton::pressed);
        QTest::mouseClick(m_box, Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(pressed.count(), 0); // the press was kept from the box
        QTRY_VERIFY(!list);
        QVERIFY(m_box->IsFolded());
        QTest::qWait(100);
        QVERIFY(!QACombxBoxView::Shared());
        QVERIFY(!m_box->OpenList());
        // And the next press opens it again.
        QVERIFY(open(m_box));
    }

    void pressOutsideFoldsAndStillArrives_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("left") << int(Qt::LeftButton);
        QTest::newRow("right") << int(Qt::RightButton);
        QTest::newRow("middle") << int(Qt::MiddleButton);
    }
    void pressOutsideFoldsAndStillArrives()
    {
        QFETCH(int, button);
        PressCounter counter;
        m_other->installEventFilter(&counter);
        QSignalSpy changed(m_box, &QACombxBox::currentIndexChanged);
        QPointer<QACombxBoxView> list = open(m_box);
        QVERIFY(list);
        QTest::mousePress(m_other, Qt::MouseButton(button), {}, QPoint(5, 5));
        QCOMPARE(counter.presses, 1);
        QTRY_VERIFY(!list);
        QVERIFY(m_box->IsFolded());
        QCOMPARE(changed.count(), 0);
        QTest::mouseRelease(m_other, Qt::MouseButton(button), {}, QPoint(5, 5));
    }

    void pressInAnotherProgramFolds()
    {
        QPointer<QACombxBoxView> list = open(m_box);
        QVERIFY(list);
        // What the desktop-wide source reports for a press outside the program's windows.
        QVERIFY(!GlobalMouseWatcher::instance().DeliverPress(QPoint(5000, 4000), Qt::LeftButton));
        QTRY_VERIFY(!list);
        QVERIFY(m_box->IsFolded());
        QCOMPARE(GlobalMouseWatcher::instance().HandlerCount(), 0);
    }

    void openingAnotherBoxFoldsTheFirst()
    {
        QPointer<QACombxBoxView> first = open(m_box);
        QVERIFY(first);
        QPointer<QACombxBoxView> second = open(m_second);
        QVERIFY(second);
        QTRY_VERIFY(!first);
        QVERIFY(m_box->IsFolded());
        QVERIFY(!m_second->IsFolded());
        QCOMPARE(QACombxBoxView::Shared(), second.data());
        QCOMPARE(second->Owner(), m_second);
        QCOMPARE(GlobalMouseWatcher::instance().HandlerCount(), 1);
        QACombxBoxView::CloseShared();
        QTRY_VERIFY(!second);
        QVERIFY(m_second->IsFolded());
    }

    void hidingTheBoxTakesTheList()
    {
        QPointer<QACombxBoxView> list = open(m_box);
        QVERIFY(list);
        m_page->hide();
        QTRY_VERIFY(!list);
        QVERIFY(m_box->IsFolded());
    }

    void lockedBoxSwallowsPresses()
    {
        m_box->CanUnfold = false;
        QSignalSpy pressed(m_box, &QPushButton::pressed);
        QTest::mouseClick(m_box, Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(pressed.count(), 0);
        QVERIFY(!m_box->OpenList());
        QVERIFY(m_box->IsFolded());
        // Dimmed: the near-black background.
        const QColor back = m_box->grab().toImage().pixelColor(40, 3);
        QCOMPARE(back, QColor(10, 10, 10));
        m_box->CanUnfold = true;
        QVERIFY(open(m_box));
    }

    void endViewLeavesTheBoxUsable()
    {
        QPointer<QACombxBoxView> list = open(m_box);
        QVERIFY(list);
        list->onEndView();
        QTRY_VERIFY(!list);
        QVERIFY(m_box->IsFolded());
        QVERIFY(!m_box->OpenList());
        QVERIFY(open(m_box));
        QACombxBoxView::PopupFor(nullptr);
        QTRY_VERIFY(!m_box->OpenList());
        QVERIFY(m_box->IsFolded());
    }

    void boxPaintsItsTextAndArrow()
    {
        const QImage folded = m_box->grab().toImage();
        QCOMPARE(folded.pixelColor(40, 3), QColor(38, 38, 38));
        // The arrow sits 10 pixels in from the right edge, centred.
        bool arrowDrawn = false;
        for (int x = 160 - 22; x < 160 - 10; ++x)
            arrowDrawn = arrowDrawn || folded.pixelColor(x, 15).red() > 120;
        QVERIFY(arrowDrawn);
        QVERIFY(open(m_box));
        const QImage unfolded = m_box->grab().toImage();
        QVERIFY(unfolded != folded); // the arrow turns up
    }

    void watcherHandlersMayLeaveWhileCalled()
    {
        GlobalMouseWatcher &w = GlobalMouseWatcher::instance();
        int calls = 0;
        int second = 0;
        const int first = w.AddPressHandler([&](const QPoint &, Qt::MouseButton) {
            ++calls;
            w.RemovePressHandler(second);
            return false;
        });
        second = w.AddPressHandler([&](const QPoint &, Qt::MouseButton) {
            ++calls;
            return true;
        });
        QVERIFY(!w.DeliverPress(QPoint(1, 1), Qt::LeftButton));
        QCOMPARE(calls, 1);
        QVERIFY(!w.DeliverPress(QPoint(1, 1), Qt::BackButton)); // not a press the hook looks at
        QCOMPARE(calls, 1);
        w.RemovePressHandler(first);
        QCOMPARE(w.HandlerCount(), 0);
    }
};

QTEST_MAIN(TstWidgetsDropdown)
#include "tst_widgets_dropdown.moc"
