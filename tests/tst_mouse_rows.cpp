// The mouse button rows: callouts, heads, text-id references, the frame's map of columns and the
// copy of the rows that the device workers read from their own thread.
#include "tests/support/MessageAnswerer.h"
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "widgets/QDottomMessgDlg.h"
#include "mouse/QGradualChangeLine.h"
#include "mouse/QLStyleBoraWidget.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "mouse/QLineInfo.h"
#include "mouse/QLineLabelHead.h"
#include "tests/support/TestProgramDir.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <memory>

namespace {
LineKeyRecord Record(uint16_t address, const QString &text, const QString &code, const QString &name = QString(),
                     const QString &recode = QString(), uint8_t type = 0, uint8_t direction = 1,
                     QRect rect = QRect(10, 20, 200, 100))
{
    LineKeyRecord r;
    r.rect = rect;
    r.defaultText = text;
    r.defaultCode = code;
    r.direction = direction;
    r.sendAddress = address;
    r.reName = name;
    r.recode = recode;
    r.valueType = type;
    return r;
}


// Reads the snapshot on a thread other than the GUI thread, as the workers do.
MouseKeySnapshot SnapshotFromWorkerThread()
{
    MouseKeySnapshot result;
    std::unique_ptr<QThread> thread(QThread::create([&result] { result = QLStyleBoraWidget::KeySnapshot(); }));
    thread->start();
    thread->wait();
    return result;
}
} // namespace

class TstMouseRows : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<QLStyleMouseTabWidget> m_tab;
    std::vector<std::unique_ptr<QGradualChangeLine>> m_loose;

    QLStyleBoraWidget *Frame() const { return QLStyleBoraWidget::instance(); }
    QGradualChangeLine *Column(const QString &name, const QVector<LineKeyRecord> &records)
    {
        auto *column = new QGradualChangeLine(Frame());
        column->SetColumnName(name);
        column->SetLines(records);
        // only the page on show takes drags; a frame of a hidden main window leaves it on its own
        m_tab->show();
        column->show();
        if (!column->isVisible()) {
            column->setParent(nullptr);
            m_loose.emplace_back(column);
            column->show();
        }
        return column;
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TestProgramDir>();
        QXM_Process::instance()->ReloadLanguage(1);
        m_tab = std::make_unique<QLStyleMouseTabWidget>();
    }
    void cleanup()
    {
        m_loose.clear();
        m_tab.reset();
        m_dir.reset();
    }

    void calloutPoints_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("slope");
        QTest::addColumn<QPoint>("p1");
        QTest::addColumn<QPoint>("p2");
        QTest::addColumn<QPoint>("p3");
        // a 205 x 101 row: every coordinate is truncated towards zero
        QTest::newRow("SLeft") << 1 << 0 << QPoint(184, 50) << QPoint(184, 50) << QPoint(20, 50);
        QTest::newRow("SRight") << 2 << 0 << QPoint(20, 50) << QPoint(20, 50) << QPoint(184, 50);
        QTest::newRow("SUp") << 3 << 0 << QPoint(102, 90) << QPoint(102, 90) << QPoint(102, 23);
        QTest::newRow("SDottom") << 4 << 0 << QPoint(102, 10) << QPoint(102, 10) << QPoint(102, 85);
        QTest::newRow("BLeft lose") << 5 << 0 << QPoint(184, 50) << QPoint(143, 70) << QPoint(10, 70);
        QTest::newRow("BLeft just") << 5 << 1 << QPoint(184, 50) << QPoint(143, 30) << QPoint(10, 30);
        QTest::newRow("BRight lose") << 6 << 0 << QPoint(20, 50) << QPoint(61, 70) << QPoint(194, 70);
        QTest::newRow("BUp just") << 7 << 1 << QPoint(102, 90) << QPoint(20, 80) << QPoint(41, 23);
        QTest::newRow("BUp lose") << 7 << 0 << QPoint(102, 90) << QPoint(184, 80) << QPoint(184, 23);
        QTest::newRow("BDottom just") << 8 << 1 << QPoint(102, 10) << QPoint(82, 20) << QPoint(102, 85);
        QTest::newRow("BDottom lose") << 8 << 0 << QPoint(102, 10) << QPoint(123, 20) << QPoint(123, 85);
    }
    void calloutPoints()
    {
        QFETCH(int, direction);
        QFETCH(int, slope);
        QLineInfo row;
        row.SetLineInfo(QRect(3, 4, 205, 101), QStringLiteral("DPI"), QStringLiteral("01020304"), uint8_t(slope),
                        uint8_t(direction), 12);
        QTEST(row.P1(), "p1");
        QTEST(row.P2(), "p2");
        QTEST(row.P3(), "p3");
        QCOMPARE(row.geometry(), QRect(3, 4, 205, 101));
        QCOMPARE(row.SendAddress(), uint16_t(12));
    }

    void codesAndNames()
    {
        QLineInfo row;
        QCOMPARE(row.SendAddress(), uint16_t(8));
        row.SetLineInfo(QRect(0, 0, 100, 50), QStringLiteral("Forward"), QStringLiteral("00f00400"), 0, 1, 16);
        QCOMPARE(row.ReName(), QStringLiteral("Forward"));
        QCOMPARE(row.CurrentCode(), QStringLiteral("00f00400"));
        row.SetRecode(QStringLiteral("00000000"));
        QCOMPARE(row.CurrentCode(), QStringLiteral("00000000"));
        QCOMPARE(row.DefaultCode(), QStringLiteral("00f00400"));
        row.SetRecode(QString());
        QCOMPARE(row.CurrentCode(), QStringLiteral("00f00400"));
    }

    void textIdReferences()
    {
        uint16_t id = 7;
        QCOMPARE(QLStyleBoraWidget::ParseKeyText(QStringLiteral("@244"), &id), GetLangText(244));
        QCOMPARE(id, uint16_t(244));
        QCOMPARE(QLStyleBoraWidget::ParseKeyText(QString(), &id), QString());
        QCOMPARE(id, uint16_t(0));
        id = 9;
        QCOMPARE(QLStyleBoraWidget::ParseKeyText(QStringLiteral("Back"), &id), QStringLiteral("Back"));
        QCOMPARE(id, uint16_t(9));
        QCOMPARE(QLStyleBoraWidget::ParseKeyText(QStringLiteral("Back"), nullptr), QStringLiteral("Back"));
    }

    void columnBuildsRowsAndHeads()
    {
        QGradualChangeLine *column = Column(QStringLiteral("QM8.png"), {
            Record(8, QStringLiteral("@244"), QStringLiteral("01010000")),
            Record(12, QStringLiteral("Right"), QStringLiteral("01020000"), QStringLiteral("@250"), QStringLiteral("00000000")),
            Record(16, QStringLiteral("Side"), QStringLiteral("01040000"), QStringLiteral("Jump"), QStringLiteral("03010000"), 1, 4,
                   QRect(100, 200, 40, 100)),
        });
        column->resize(900, 630);
        QCOMPARE(column->Lines().size(), 3);
        QCOMPARE(column->Heads().size(), 3);
        QCOMPARE(Frame()->Rows().size(), 3);

        QLineInfo *left = column->Lines().at(0);
        QCOMPARE(left->DefaultText(), GetLangText(244));
        QCOMPARE(left->DefaultTextId(), uint16_t(244));
        QCOMPARE(left->NameId(), uint16_t(0));
        QCOMPARE(column->Heads().at(0)->HeadText(), GetLangText(244));
        QCOMPARE(column->Heads().at(0)->TextId(), uint16_t(244));

        QLineInfo *right = column->Lines().at(1);
        QCOMPARE(right->ReName(), GetLangText(250));
        QCOMPARE(right->NameId(), uint16_t(250));
        QCOMPARE(right->CurrentCode(), QStringLiteral("00000000"));
        QCOMPARE(right->EffectiveTextId(), uint16_t(250));

        // a macro row: picture head 30 px wider, centred over P3 scaled by 1.05 (downward line)
        QLineInfo *macro = column->Lines().at(2);
        QLineLabelHead *head = column->Heads().at(2);
        QCOMPARE(macro->ValueType(), uint8_t(1));
        QCOMPARE(macro->ReName(), QStringLiteral("Jump"));
        QCOMPARE(head->HeadKind(), uint8_t(QLineLabelHead::PictureKind));
        const QPoint p3 = macro->mapTo(column, macro->P3());
        const int ax = int(p3.x() * 1.05), ay = int(p3.y() * 1.05);
        QCOMPARE(head->geometry(), QRect(ax - (16 * 4 + 30) / 2, ay - 30 - 5, 16 * 4 + 30, 30));
    }

    void columnKeepsAtMost255Rows()
    {
        QVector<LineKeyRecord> records;
        for (int i = 0; i < 300; ++i)
            records.append(Record(uint16_t(8 + 4 * i), QStringLiteral("K"), QStringLiteral("01000000")));
        QGradualChangeLine *column = Column(QStringLiteral("many.png"), records);
        QCOMPARE(column->Lines().size(), 255);
    }

    void deletedColumnLeavesTheFrame()
    {
        QGradualChangeLine *column = Column(QStringLiteral("a.png"), {Record(8, QStringLiteral("A"), QStringLiteral("01"))});
        Column(QStringLiteral("b.png"), {Record(12, QStringLiteral("B"), QStringLiteral("02"))});
        QCOMPARE(Frame()->Rows().size(), 2);
        delete column;
        QCOMPARE(Frame()->Rows().size(), 1);
        Frame()->on_ClearItems();
        QVERIFY(Frame()->Rows().isEmpty());
        QVERIFY(Frame()->LineValueMap().isEmpty());
    }

    void mapOrdersColumnsByName()
    {
        // made in the order b, a, b: the map is in name order and the later "b" replaces the first
        Column(QStringLiteral("b.png"), {Record(20, QStringLiteral("B1"), QStringLiteral("20"))});
        Column(QStringLiteral("a.png"), {Record(8, QStringLiteral("A1"), QStringLiteral("08")),
                                         Record(12, QStringLiteral("A2"), QStringLiteral("12"))});
        Column(QStringLiteral("b.png"), {Record(24, QStringLiteral("B2"), QStringLiteral("24"))});
        const auto map = Frame()->LineValueMap();
        QCOMPARE(map.keys(), (QStringList{QStringLiteral("a.png"), QStringLiteral("b.png")}));
        QCOMPARE(map.value(QStringLiteral("b.png")).size(), 1);
        QCOMPARE(map.value(QStringLiteral("b.png")).first()->SendAddress(), uint16_t(24));
        QCOMPARE(Frame()->LineValues().size(), 4); // every column in child order

        const MouseKeySnapshot snap = QLStyleBoraWidget::KeySnapshot();
        QVector<uint16_t> addresses;
        for (const MouseKeyRow &row : snap.rows)
            addresses.append(row.sendAddress);
        QCOMPARE(addresses, (QVector<uint16_t>{8, 12, 24}));
    }

    void workersSeeTheLastSentCopy()
    {
        QGradualChangeLine *column = Column(QStringLiteral("QM8.png"), {
            Record(8, QStringLiteral("Left"), QStringLiteral("01010000")),
            Record(12, QStringLiteral("Side"), QStringLiteral("01040000"), QStringLiteral("Jump"), QStringLiteral("0x00"), 1),
        });
        m_tab->m_CurrentKeyIndex = 12;
        QSignalSpy sent(Frame(), &QLStyleBoraWidget::ZrMouseKeyValueChange);
        Frame()->on_LineValueDtdaChange();
        QCOMPARE(sent.count(), 1);

        // the page changes a row afterwards: a worker still sees what was sent
        column->Lines().at(0)->SetRecode(QStringLiteral("00000000"));
        m_tab->m_CurrentKeyIndex = 8;
        MouseKeySnapshot seen = SnapshotFromWorkerThread();
        QCOMPARE(seen.rows.size(), 2);
        QCOMPARE(seen.rows.at(0).currentCode, QStringLiteral("01010000"));
        QCOMPARE(seen.rows.at(1).valueType, uint8_t(1));
        QCOMPARE(seen.rows.at(1).reName, QStringLiteral("Jump"));
        QCOMPARE(seen.selectedKey, uint8_t(12));

        Frame()->on_LineValueDtdaChange();
        seen = SnapshotFromWorkerThread();
        QCOMPARE(seen.rows.at(0).currentCode, QStringLiteral("00000000"));
        QCOMPARE(seen.selectedKey, uint8_t(8));

        // the frame goes away (program shutdown): a late worker still reads a valid copy
        m_tab.reset();
        QVERIFY(!QLStyleBoraWidget::instance());
        seen = SnapshotFromWorkerThread();
        QCOMPARE(seen.rows.size(), 2);
        QCOMPARE(QLStyleBoraWidget::KeySnapshot().rows.size(), 2);
    }

    void calloutGrowsToItsEnd()
    {
        QGradualChangeLine *column = Column(QStringLiteral("QM8.png"),
                                            {Record(8, QStringLiteral("Left"), QStringLiteral("01"), {}, {}, 0, 6)});
        QLineInfo *row = column->Lines().first();
        row->on_DispLineAnimation();
        QVERIFY(row->IsAnimating());
        QTRY_VERIFY_WITH_TIMEOUT(!row->IsAnimating(), 5000);
        QImage img(row->size(), QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        row->render(&img);
        QVERIFY(qAlpha(img.pixel(row->P3().x() - 3, row->P3().y())) > 0); // the whole line is drawn
    }

    void coloursFollowHover()
    {
        QGradualChangeLine *column = Column(QStringLiteral("QM8.png"), {Record(8, QStringLiteral("A"), QStringLiteral("01")),
                                                                         Record(12, QStringLiteral("B"), QStringLiteral("02"))});
        QLineInfo *a = column->Lines().at(0), *b = column->Lines().at(1);
        QCOMPARE(a->LineColor(), QColor(180, 180, 180, 255));
        Q_EMIT a->enterWidget(a);
        QCOMPARE(a->LineColor(), QColor(255, 255, 255, 255));
        QCOMPARE(b->LineColor(), QColor(100, 100, 100, 255));
        Q_EMIT a->leaveWidget(a);
        QCOMPARE(b->LineColor(), QColor(255, 255, 255, 255));
    }

    void rightClickNearTheLineAsksForReset()
    {
        QLineInfo row;
        row.SetLineInfo(QRect(0, 0, 300, 100), QStringLiteral("A"), QStringLiteral("01"), 0, 2, 8);
        QSignalSpy reset(&row, &QLineInfo::InfoRightRightButton);
        QTest::mouseClick(&row, Qt::RightButton, Qt::NoModifier, row.P1() + QPoint(40, 0));
        QCOMPARE(reset.count(), 1);
        QTest::mouseClick(&row, Qt::RightButton, Qt::NoModifier, QPoint(150, 50)); // mid-line, far from both ends
        QCOMPARE(reset.count(), 1);
        QTest::mouseClick(&row, Qt::LeftButton, Qt::NoModifier, row.P3());
        QCOMPARE(reset.count(), 1);
    }

    // --- drag and drop from the configuration lists ---

    void dragHitsNearTheButtonOrOnTheHead()
    {
        QGradualChangeLine *column = Column(QStringLiteral("QM8.png"), {
            Record(8, QStringLiteral("A"), QStringLiteral("01"), {}, {}, 0, 2, QRect(0, 0, 300, 60)),
            Record(12, QStringLiteral("B"), QStringLiteral("02"), {}, {}, 0, 2, QRect(0, 200, 300, 60)),
        });
        column->resize(900, 630);
        QLineInfo *a = column->Lines().at(0), *b = column->Lines().at(1);
        const QPoint p1 = b->mapToGlobal(b->P1());
        column->on_MouseDragMove(p1 + QPoint(9, 0));
        QCOMPARE(column->DropTarget(), b);
        QCOMPARE(b->LineColor(), QColor(255, 255, 255, 255));
        QVERIFY(column->Heads().at(1)->IsSelected());
        column->on_MouseDragMove(p1 + QPoint(11, 0));
        QVERIFY(!column->DropTarget());
        QVERIFY(!column->Heads().at(1)->IsSelected());
        QCOMPARE(b->LineColor(), QColor(180, 180, 180, 255));
        QLineLabelHead *headA = column->Heads().at(0);
        column->on_MouseDragMove(headA->mapToGlobal(headA->rect().center()));
        QCOMPARE(column->DropTarget(), a);
    }

    void dropOfACommand()
    {
        QGradualChangeLine *column = Column(QStringLiteral("QM8.png"), {
            Record(8, QStringLiteral("@244"), QStringLiteral("01010000")),
            Record(0x10C, QStringLiteral("Side"), QStringLiteral("01040000"), {}, {}, 0, 2, QRect(0, 200, 300, 60)),
        });
        QLineInfo *side = column->Lines().at(1);
        QSignalSpy changed(column, &QGradualChangeLine::LineValueDtdaChange);
        column->on_MouseDragMove(side->mapToGlobal(side->P1()));
        column->on_MouseDragRePress(QStringLiteral("@250"), QStringLiteral("00000000"), 0, 0, 250);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(side->Recode(), QStringLiteral("00000000"));
        QCOMPARE(side->NameId(), uint16_t(250));
        QCOMPARE(column->Heads().at(1)->HeadText(), GetLangText(250));
        QCOMPARE(QLStyleMouseTabWidget::instance()->m_CurrentKeyIndex, uchar(0x0C)); // the low byte of the send address
        QVERIFY(!column->DropTarget());

        // the disabled button refuses further drops, silently
        column->on_MouseDragMove(side->mapToGlobal(side->P1()));
        column->on_MouseDragRePress(QStringLiteral("Copy"), QStringLiteral("02000600"), 0, 0, 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(side->Recode(), QStringLiteral("00000000"));
        column->on_MouseDragMove(side->mapToGlobal(side->P1()));
        column->on_MouseDragPixRePress(QStringLiteral("Jump"), QPixmap(), QStringLiteral("0x00"), 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(side->ValueType(), uint8_t(0));

        // a drop without a target changes nothing
        column->on_MouseDragRePress(QStringLiteral("Copy"), QStringLiteral("02000600"), 0, 0, 0);
        QCOMPARE(changed.count(), 1);
    }

    void droppingTheSameCodeChangesNothing()
    {
        QGradualChangeLine *column = Column(QStringLiteral("QM8.png"), {
            Record(8, QStringLiteral("@244"), QStringLiteral("01010000")),
            Record(12, QStringLiteral("Side"), QStringLiteral("01040000"), {}, {}, 0, 2, QRect(0, 200, 300, 60)),
        });
        QLineInfo *side = column->Lines().at(1);
        QSignalSpy changed(column, &QGradualChangeLine::LineValueDtdaChange);
        column->on_MouseDragMove(side->mapToGlobal(side->P1()));
        column->on_MouseDragRePress(QStringLiteral("Side"), QStringLiteral("01040000"), 0, 0, 0);
        QCOMPARE(changed.count(), 0);
        QVERIFY(side->Recode().isEmpty());
        QVERIFY(!column->DropTarget());
    }

    void theLastLeftButtonIsKept()
    {
        MainWidget main;
        MessageAnswerer answers;
        QGradualChangeLine *column = Column(QStringLiteral("QM8.png"), {
            Record(8, QStringLiteral("@244"), QStringLiteral("01010000")),
            Record(12, QStringLiteral("Right"), QStringLiteral("01020000"), {}, {}, 0, 2, QRect(0, 200, 300, 60)),
        });
        QLineInfo *left = column->Lines().at(0), *right = column->Lines().at(1);
        QSignalSpy changed(column, &QGradualChangeLine::LineValueDtdaChange);

        // the only left button takes no other function
        column->on_MouseDragMove(left->mapToGlobal(left->P1()));
        column->on_MouseDragRePress(QStringLiteral("Copy"), QStringLiteral("02000600"), 0, 0, 0);
        QCOMPARE(changed.count(), 0);
        QVERIFY(left->Recode().isEmpty());
        QVERIFY2(answers.shown().contains(GetLangText(244)), qPrintable(answers.shown()));

        // with a second left button it does
        column->on_MouseDragMove(right->mapToGlobal(right->P1()));
        column->on_MouseDragRePress(QStringLiteral("@244"), QStringLiteral("01010000"), 0, 244, 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(column->LeftButtonRows(), 2);
        column->on_MouseDragMove(left->mapToGlobal(left->P1()));
        column->on_MouseDragPixRePress(QStringLiteral("Jump"), QPixmap(), QStringLiteral("0x00"), 1);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(left->ValueType(), uint8_t(1));

        // the factory left button now holds a macro: the right button is the only left one left
        QCOMPARE(column->LeftButtonRows(), 1);
        const int messages = answers.count();
        column->on_MouseDragMove(right->mapToGlobal(right->P1()));
        column->on_MouseDragPixRePress(QStringLiteral("Jump"), QPixmap(), QStringLiteral("0x00"), 1);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(right->ValueType(), uint8_t(0));
        QCOMPARE(answers.count(), messages + 1);

        // and its assignment cannot be reset away either
        column->on_ReSetButton(right);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(right->NameId(), uint16_t(244));
        QVERIFY(answers.shown().endsWith(GetLangText(869)));
    }

    void resetOfOneRow()
    {
        MainWidget main;
        MessageAnswerer answers;
        QGradualChangeLine *column = Column(QStringLiteral("QM8.png"), {
            Record(8, QStringLiteral("@244"), QStringLiteral("01010000")),
            Record(20, QStringLiteral("Right"), QStringLiteral("01020000"), QStringLiteral("@250"), QStringLiteral("00000000"), 0, 2,
                   QRect(0, 200, 300, 60)),
            Record(24, QStringLiteral("Side"), QStringLiteral("01040000"), {}, {}, 0, 2, QRect(0, 300, 300, 60)),
        });
        QSignalSpy changed(column, &QGradualChangeLine::LineValueDtdaChange);
        // nothing assigned: no question, nothing changes
        column->on_ReSetButton(column->Heads().at(2));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(answers.count(), 0);
        column->on_ReSetButton(column); // neither a row nor a head
        QCOMPARE(changed.count(), 0);

        QLineInfo *right = column->Lines().at(1);
        column->on_ReSetButton(column->Heads().at(1));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(answers.count(), 1);
        QVERIFY(right->Recode().isEmpty());
        QCOMPARE(right->NameId(), uint16_t(0));
        QCOMPARE(right->CurrentCode(), QStringLiteral("01020000"));
        QCOMPARE(column->Heads().at(1)->HeadText(), QStringLiteral("Right"));
        QCOMPARE(QLStyleMouseTabWidget::instance()->m_CurrentKeyIndex, uchar(20));
    }

    void resetOfAllRowsRestoresTheFactoryFile()
    {
        MainWidget main;
        main.OpenMousePage(QStringLiteral("QM8"));
        MessageAnswerer answers;
        QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/UserConfig/Base/Base.xml"), "factory"));
        QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/UserConfig/Base.xml"), "user's"));
        QGradualChangeLine *column = Column(QStringLiteral("QM8.png"), {
            Record(8, QStringLiteral("@244"), QStringLiteral("01010000")),
            Record(12, QStringLiteral("Side"), QStringLiteral("01040000"), QStringLiteral("Jump"), QStringLiteral("0x00"), 1),
        });
        QSignalSpy changed(column, &QGradualChangeLine::LineValueDtdaChange);
        QTest::mouseClick(column->ResetButton(), Qt::LeftButton);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(QLStyleMouseTabWidget::instance()->m_CurrentKeyIndex, uchar(0xFF));
        QLineInfo *side = column->Lines().at(1);
        QCOMPARE(side->ValueType(), uint8_t(0));
        QCOMPARE(side->CurrentCode(), QStringLiteral("01040000"));
        QCOMPARE(column->Heads().at(1)->HeadKind(), uint8_t(QLineLabelHead::TextKind));
        QCOMPARE(m_dir->readFile(QStringLiteral("Products/QM8/UserConfig/Base.xml")), QByteArray("factory"));

        // without a factory copy the user's file stays and the rows are still reset
        QVERIFY(m_dir->removeFile(QStringLiteral("Products/QM8/UserConfig/Base/Base.xml")));
        QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/UserConfig/Base.xml"), "user's"));
        QTest::mouseClick(column->ResetButton(), Qt::LeftButton);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(m_dir->readFile(QStringLiteral("Products/QM8/UserConfig/Base.xml")), QByteArray("user's"));
    }

    void languageChangeRetranslates()
    {
        QGradualChangeLine *column = Column(QStringLiteral("QM8.png"), {
            Record(8, QStringLiteral("@244"), QStringLiteral("01010000")),
            Record(12, QStringLiteral("Right"), QStringLiteral("01020000"), QStringLiteral("@250"), QStringLiteral("00000000")),
        });
        const QString englishLeft = GetLangText(244);
        QXM_Process::instance()->ReloadLanguage(0);
        QXM_Process::instance()->NotifyLanguageChange();
        QVERIFY(GetLangText(244) != englishLeft);
        QCOMPARE(column->Lines().at(0)->DefaultText(), GetLangText(244));
        QCOMPARE(column->Heads().at(0)->HeadText(), GetLangText(244));
        QCOMPARE(column->Lines().at(1)->ReName(), GetLangText(250));
        QCOMPARE(column->Heads().at(1)->HeadText(), GetLangText(250));
    }
};

QTEST_MAIN(TstMouseRows)
#include "tst_mouse_rows.moc"
