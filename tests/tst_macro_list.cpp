// The macro event list: recording from the hooks, loading records, the row limit, reordering,
// delay rows and removal.
#include "macros/QEditMacroItemBase.h"
#include "macros/QEditMacroPage_Iner.h"
#include "macros/QEditPage.h"
#include "macros/QKeyHook.h"
#include "macros/QMouseHook.h"
#include "macros/QSleepItem.h"
#include "tests/support/FakeInputCapture.h"
#include "tests/support/TestProgramDir.h"

#include <QLineEdit>
#include <QtTest>

class TestMacroList : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void recording_data();
    void recording();
    void repeatFilterOnlyForHookEvents();
    void rowLimit();
    void reorderByDrag();
    void delayRows();
    void removal();

private:
    QByteArray Keys(int n) const;
    TestProgramDir *m_dir = nullptr;
    QEditPage *m_page = nullptr;
    QEditMacroPage_Iner *m_list = nullptr;
    FakeInputCapture *m_fake = nullptr;
};

void TestMacroList::init()
{
    m_dir = new TestProgramDir;
    m_fake = FakeInputCapture::Install();
    m_page = new QEditPage;
    m_page->resize(1200, 900);
    m_list = new QEditMacroPage_Iner(m_page);
}

void TestMacroList::cleanup()
{
    delete m_page;
    QVERIFY(!QKeyHook::Instance()->IsHooked()); // the list lets go of the hooks when it goes
    QVERIFY(!QMouseHook::Instance()->IsHooked());
    delete m_dir;
}

// n key-up records of distinct keys, 10 ms apart
QByteArray TestMacroList::Keys(int n) const
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b += QByteArray::fromHex("80000a") + char(4 + i % 26);
    return b;
}

void TestMacroList::recording_data()
{
    QTest::addColumn<bool>("standard");
    QTest::addColumn<QByteArray>("records");
    // A down at 1000, up at 1120; the first mouse event (right button) 0, its release 40 ms held; B down last
    QTest::newRow("recorded delays") << false << QByteArray::fromHex("00000004" "80007804" "20000002" "a0002802");
    QTest::newRow("standard delay 50") << true << QByteArray::fromHex("00003204" "80003204" "20003202" "a0003202");
}

void TestMacroList::recording()
{
    QFETCH(bool, standard);
    QFETCH(QByteArray, records);
    m_list->on_ActivatestudionTime(standard);
    QSignalSpy changed(m_list, &QEditMacroPage_Iner::setdatatendency);
    QVERIFY(m_list->StartHooks());
    m_fake->Key(true, 65, 1000);
    m_fake->Key(true, 65, 1040); // held: no second row
    m_fake->Key(false, 65, 1120);
    m_fake->Button(516, 1150);
    m_fake->Button(517, 1190);
    m_page->SetRecordButtonHovered(true);
    m_fake->Button(513, 1250); // the click that ends the recording
    m_page->SetRecordButtonHovered(false);
    m_fake->Key(true, 66, 1300); // a last key-down writes no record
    m_list->StopHooks();
    m_fake->Key(false, 66, 1400); // after the recording: nothing
    QCOMPARE(m_list->Rows().size(), 5);
    QCOMPARE(changed.count(), 5);
    QCOMPARE(m_list->EncodeMacro().toHex(), records.toHex());
    // what was saved loads back as the same records
    m_list->LoadMacroBuffer(records);
    QCOMPARE(m_list->EncodeMacro().toHex(), records.toHex());
}

void TestMacroList::repeatFilterOnlyForHookEvents()
{
    m_list->on_ActivatestudionTime(true);
    QVERIFY(m_list->StartHooks());
    m_list->onHookKeyCodeValue(true, 65, 0);
    m_list->onHookKeyCodeValue(true, 65, 0); // a repeat of the hooks: dropped
    QCOMPARE(m_list->Rows().size(), 1);
    m_list->StopHooks();
    QVERIFY(m_list->StartHooks()); // a new recording starts its own filter
    m_list->onHookKeyCodeValue(true, 65, 0);
    QCOMPARE(m_list->Rows().size(), 2);
    m_list->StopHooks();
    // stored records load whole, equal neighbours included
    const QByteArray twice = QByteArray::fromHex("80000a04" "80000a04" "80000a04");
    m_list->LoadMacroBuffer(twice);
    QCOMPARE(m_list->Rows().size(), 3);
    QCOMPARE(m_list->EncodeMacro(), twice);
}

void TestMacroList::rowLimit()
{
    m_list->LoadMacroBuffer(Keys(150));
    m_page->SetRecordButtonChecked(true);
    QVERIFY(m_list->StartHooks());
    m_fake->Key(false, 1, 0); // no row: not pressed after the hook came
    m_list->onHookKeyCodeValue(false, 65, 7); // the 151st row is still added
    QCOMPARE(m_list->Rows().size(), 151);
    m_list->onHookMouseValue(513, 0, 9);
    QCOMPARE(m_list->Rows().size(), 151);
    QVERIFY(!m_list->IsRecording());
    QVERIFY(!QKeyHook::Instance()->IsHooked());
    QVERIFY(!m_page->IsRecordButtonChecked());
    QCOMPARE(m_dir->readFile("Log.txt").count("macro event list full"), 1);

    // a long buffer loads its first 151 rows, says so once and leaves a shared hook alone
    QVERIFY(QKeyHook::Instance()->InstallHook());
    m_list->LoadMacroBuffer(Keys(170));
    QCOMPARE(m_list->Rows().size(), 151);
    QCOMPARE(m_dir->readFile("Log.txt").count("macro event list full"), 2);
    QVERIFY(QKeyHook::Instance()->IsHooked());
    QKeyHook::Instance()->UnHook();
    // records that make no row are skipped
    m_list->LoadMacroBuffer(QByteArray::fromHex("80000a04" "5000010a" "20000103" "80000a05" "0000"));
    QCOMPARE(m_list->EncodeMacro().toHex(), QByteArray("80000a0480000a05"));
}

void TestMacroList::reorderByDrag()
{
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page));
    m_list->LoadMacroBuffer(QByteArray::fromHex("80000104" "80000205" "80000306" "80000407")); // A B C D
    const QVector<QEditMacroItemBase *> rows = m_list->Rows();
    auto dragTo = [&](QEditMacroItemBase *row, const QPoint &listPoint) {
        QTest::mousePress(row, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(row, row->mapFromGlobal(m_list->mapToGlobal(listPoint)));
        QMouseEvent move(QEvent::MouseMove, row->mapFromGlobal(m_list->mapToGlobal(listPoint)), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(row, &move); // the first move makes the drag image, the second finds the gap
        QApplication::sendEvent(row, &move);
        QTest::mouseRelease(row, Qt::LeftButton, {}, QPoint(10, 10));
    };
    // A dropped behind itself (the gap before B) changes nothing
    dragTo(rows[0], rows[1]->geometry().topLeft() + QPoint(-10, 10));
    QCOMPARE(m_list->EncodeMacro().toHex(), QByteArray("80000104800002058000030680000407"));
    // A dropped on the marker before C gives B A C D
    dragTo(rows[0], rows[2]->geometry().topLeft() + QPoint(-10, 10));
    QCOMPARE(m_list->EncodeMacro().toHex(), QByteArray("80000205800001048000030680000407"));
    // D dropped after the last row, from the area right of it
    dragTo(m_list->Rows()[1], m_list->Rows()[3]->geometry().topRight() + QPoint(8, 10));
    QCOMPARE(m_list->EncodeMacro().toHex(), QByteArray("80000205800003068000040780000104"));
}

void TestMacroList::delayRows()
{
    m_list->LoadMacroBuffer(QByteArray::fromHex("80000104"));
    m_list->ShowDelayItems(true); // one row: none added
    QCOMPARE(m_list->Rows().size(), 1);
    m_list->LoadMacroBuffer(QByteArray::fromHex("00000004" "80000504"));
    m_list->ShowDelayItems(true);
    QCOMPARE(m_list->Rows().size(), 4);
    auto *first = qobject_cast<QSleepItem *>(m_list->Rows().at(0));
    QVERIFY(first);
    QCOMPARE(first->Edit()->text(), QStringLiteral("1")); // a delay of 0 shows as 1
    QSignalSpy changed(m_list, &QEditMacroPage_Iner::setdatatendency);
    struct Edit
    {
        const char *typed;
        bool enter; // else the edit loses focus
        uint delay;
    };
    // A click clears the field and shows the value as placeholder; left untouched it keeps it.
    for (const Edit e : {Edit{"70000", true, 70000}, Edit{"7\b", true, 1}, Edit{"5", false, 5}, Edit{"0", false, 1},
                         Edit{"1048570", true, 1048570}, Edit{"", false, 1048570}, Edit{"", true, 1048570}}) {
        QTest::mouseClick(first, Qt::LeftButton, {}, QPoint(25, 40));
        QVERIFY(first->Edit()->text().isEmpty());
        QTest::keyClicks(first->Edit(), QString::fromLatin1(e.typed));
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        if (e.enter)
            QTest::keyClick(first->Edit(), Qt::Key_Return);
        else
            QCoreApplication::sendEvent(first->Edit(), &out);
        QCOMPARE(m_list->Rows().at(1)->Delay(), e.delay);
    }
    QCOMPARE(changed.count(), 5);
    QCOMPARE(first->Edit()->text(), QStringLiteral("17.48")); // minutes
    QCOMPARE(m_list->EncodeMacro().toHex(), QByteArray("0ffffa04" "80000504"));
    // removing a delay row sets its event's delay to 0
    m_list->PluginPressEvent(first);
    m_list->RemoveItems();
    QCOMPARE(m_list->EncodeMacro().toHex(), QByteArray("00000004" "80000504"));
    m_list->ShowDelayItems(false);
    QCOMPARE(m_list->Rows().size(), 2);
}

void TestMacroList::removal()
{
    // select all on one row: Delete removes it
    m_list->LoadMacroBuffer(QByteArray::fromHex("80000104"));
    m_list->on_ClearitemsAll();
    QVERIFY(m_list->Rows().isEmpty());
    m_list->LoadMacroBuffer(QByteArray::fromHex("80000104" "80000205" "80000306"));
    QTest::keyClick(m_list, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(m_list, Qt::Key_Delete);
    QVERIFY(m_list->Rows().isEmpty());
    // a right click removes its row, but not while recording
    m_list->LoadMacroBuffer(QByteArray::fromHex("80000104" "80000205"));
    QVERIFY(m_list->StartHooks());
    m_list->on_MacroRight(m_list->Rows().at(0));
    QCOMPARE(m_list->Rows().size(), 2);
    // the device going away ends the recording and clears the rows, without a message
    m_list->on_HidCLosingUsb();
    QVERIFY(!m_list->IsRecording());
    QVERIFY(m_list->Rows().isEmpty());
    m_list->LoadMacroBuffer(QByteArray::fromHex("80000104" "80000205"));
    m_list->on_MacroRight(m_list->Rows().at(0));
    QCOMPARE(m_list->EncodeMacro().toHex(), QByteArray("80000205"));
    // without a capture the recording does not start
    FakeInputCapture::Install(false);
    m_page->SetRecordButtonChecked(true);
    QVERIFY(!m_list->StartHooks());
    QVERIFY(!m_page->IsRecordButtonChecked());
}

QTEST_MAIN(TestMacroList)
#include "tst_macro_list.moc"
