// The tile grid, the tile's views of its record, the product matches and the code reader's
// pairing of requests and replies.
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/QHID_TempWokThred.h"
#include "device/QHidListWidget.h"
#include "device/QHid_Work_Interface.h"
#include "device/QKeyLableItem.h"
#include "platform/HidAccess.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/TestProgramDir.h"
#include "widgets/Battery.h"

#include <QFile>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>
#include <atomic>

namespace {
// A worker whose device answers the code request after a set time.
class TimedCodeWorker : public QHid_Work_Interface
{
public:
    TimedCodeWorker(const QString &code, int delayMs) : m_code(code), m_delay(delayMs) {}
    QString ReadDeviceCode() override
    {
        ++calls;
        QThread::msleep(static_cast<unsigned long>(m_delay));
        return m_code;
    }
    std::atomic<int> calls{0};

private:
    QString m_code;
    int m_delay;
};

QList<QWidget *> MakeTiles(QHidListWidget &list, int n)
{
    QList<QWidget *> tiles;
    for (int i = 0; i < n; ++i) {
        auto *w = new QWidget(&list);
        list.on_PushWidget(w);
        tiles.append(w);
    }
    return tiles;
}
} // namespace

class TstDeviceListTiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void gridOfThreeColumns();
    void laterRowsStackBelowEachOther();
    void threeTilesFillARowAtAnyWidth();
    void hideShowAndRemove();
    void scrollBarGoesWhenFourTilesRemain();
    void tileFollowsConnectionStates();
    void productMatches();
    void clickWithoutCodeOpensNothing();
    void codeReaderPairsRepliesWithRequests();
    void accessProblemLoggedOnce();
};

void TstDeviceListTiles::gridOfThreeColumns()
{
    QHidListWidget list;
    list.resize(900, 300);
    const QList<QWidget *> tiles = MakeTiles(list, 4);
    QCOMPARE(tiles[0]->size(), QSize(240, 182));
    QCOMPARE(tiles[0]->pos(), QPoint(45, 20));
    QCOMPARE(tiles[1]->pos(), QPoint(330, 20));
    QCOMPARE(tiles[2]->pos(), QPoint(615, 20));
    QCOMPARE(tiles[3]->pos(), QPoint(45, 222));
    // the list grows to hold the second row
    QVERIFY(list.minimumHeight() >= 222 + 182);
}

void TstDeviceListTiles::laterRowsStackBelowEachOther()
{
    QHidListWidget list;
    list.resize(900, 300);
    const QList<QWidget *> tiles = MakeTiles(list, 8);
    QCOMPARE(tiles[6]->pos(), QPoint(45, 424));
    QCOMPARE(tiles[7]->pos(), QPoint(330, 424));
    for (int i = 0; i < tiles.size(); ++i)
        for (int j = i + 1; j < tiles.size(); ++j)
            QVERIFY2(!tiles[i]->geometry().intersects(tiles[j]->geometry()), qPrintable(QStringLiteral("%1/%2").arg(i).arg(j)));
    QVERIFY(list.minimumHeight() >= tiles[7]->geometry().bottom());
}

void TstDeviceListTiles::threeTilesFillARowAtAnyWidth()
{
    for (int width : {300, 640, 1139, 2000}) {
        QHidListWidget list;
        list.resize(width, 200);
        const QList<QWidget *> tiles = MakeTiles(list, 4);
        QCOMPARE(tiles[0]->y(), tiles[2]->y());
        QVERIFY(tiles[3]->y() > tiles[2]->y());
        const double edge = double(tiles[2]->geometry().right() + 1) / width;
        QVERIFY2(edge > 0.9 && edge <= 1.0, qPrintable(QString::number(edge)));
    }
}

void TstDeviceListTiles::hideShowAndRemove()
{
    QHidListWidget list;
    list.resize(900, 300);
    QList<QWidget *> tiles = MakeTiles(list, 1);
    list.on_HideWidget(tiles[0]); // the only tile stays on screen
    QVERIFY(!tiles[0]->isHidden());

    tiles += MakeTiles(list, 2);
    list.on_HideWidget(tiles[0]);
    QVERIFY(tiles[0]->isHidden());
    QCOMPARE(list.VisibleWidgets(), (QList<QWidget *>{tiles[1], tiles[2]}));
    QCOMPARE(tiles[1]->pos(), QPoint(45, 20)); // the others move up

    QWidget stranger;
    list.on_ShowWidget(&stranger);
    list.on_HideWidget(&stranger);
    QCOMPARE(list.Widgets().size(), 3);

    list.on_ShowWidget(tiles[0]);
    QCOMPARE(list.VisibleWidgets().first(), tiles[0]);

    QPointer<QWidget> kept(tiles[1]);
    list.on_ReMoveWidget(tiles[1]);
    QVERIFY(kept);
    QVERIFY(kept->isHidden());
    QVERIFY(!list.Widgets().contains(kept.data()));
    QPointer<QWidget> gone(tiles[2]);
    list.on_ReMoveWidget(tiles[2], true);
    QVERIFY(!gone);
    QCOMPARE(list.Widgets(), (QList<QWidget *>{tiles[0]}));
    delete kept.data();
}

void TstDeviceListTiles::scrollBarGoesWhenFourTilesRemain()
{
    // As the device list page holds it: a resizable scroll area of the page's height.
    QScrollArea area;
    area.setWidgetResizable(true);
    auto *list = new QHidListWidget;
    area.setWidget(list);
    area.resize(1140, 654);
    area.show();
    const QList<QWidget *> tiles = MakeTiles(*list, 7);
    QTRY_VERIFY(area.verticalScrollBar()->isVisible());
    for (int i = 4; i < 7; ++i)
        list->on_ReMoveWidget(tiles[i], true);
    QTRY_VERIFY(!area.verticalScrollBar()->isVisible());
    MakeTiles(*list, 3);
    QTRY_VERIFY(area.verticalScrollBar()->isVisible());
    for (QWidget *w : list->Widgets())
        list->on_ReMoveWidget(w, true);
    QTRY_VERIFY(!area.verticalScrollBar()->isVisible());
}

void TstDeviceListTiles::tileFollowsConnectionStates()
{
    TestProgramDir dir;
    ClearProductListCache();
    MainWidget main;
    DeviceRecord record;
    record.deviceType = 2;
    record.SetCodeText(QStringLiteral("3a7c01010001"));
    record.name = QStringLiteral("QUORIX QK75");
    record.batteryLevel = 60;
    QKeyLableItem tile;
    tile.SetDevice(&record);
    QSignalSpy item(&tile, &QKeyLableItem::HidItem);

    struct Row { uint8_t state; int hidItem; bool hideFlag; bool online; bool wireless; bool gauge; };
    const Row rows[] = {
        {StateNone, 0, false, false, false, false},
        {StateWired, 0, false, true, false, false},
        {StateWirelessAwake, 1, false, true, true, true},
        {StateWirelessAsleep, 1, true, false, true, true},
    };
    for (const Row &row : rows) {
        item.clear();
        record.connectionState = row.state;
        tile.On_UpdataItem();
        QCOMPARE(item.count(), row.hidItem);
        if (row.hidItem)
            QCOMPARE(item.first().at(1).toBool(), row.hideFlag);
        QCOMPARE(tile.OnlineText(), GetLangText(row.online ? 331 : 332));
        QCOMPARE(tile.ConnectionText(), GetLangText(row.wireless ? 301 : 300));
        QCOMPARE(tile.Gauge()->isHidden(), !row.gauge);
    }
    QCOMPARE(tile.Gauge()->value(), 60.0);
    // the product refresh names the tile after the catalogue, whatever the code's case
    QCOMPARE(tile.ProductFolder(), QStringLiteral("QK75"));
    QCOMPARE(tile.ShownName(), QStringLiteral("QK75"));
    QVERIFY(!tile.UpdateButton()->isVisible());
}

void TstDeviceListTiles::productMatches()
{
    TestProgramDir dir;
    QVERIFY(HidWriteCatalogue(dir.path(), {
        HidProductLine("EMPTY", 2, "Empty", "", "0x3A7C|0x0902|0x05", "0x3A7C|0x0901|0x06", "900"),
        HidProductLine("MULTI", 2, "Multi", "AAAA00000001|3A7C0A0A0A0A|BBBB00000001", "0x3A7C|0x0A02|0x05",
                       "0x3A7C|0x0A01|0x06", "900"),
        HidProductLine("ONE", 1, "One", "3A7C0B0B0B0B", "0x3A7C|0x0B02|0x05", "0x3A7C|0x0B01|0x06", "900"),
    }));
    // an empty "Productpassword" matches no code, not even an empty one
    QVERIFY(QKeyLableItem::ProductByDeviceCode(QString()).folder.isEmpty());
    QVERIFY(QKeyLableItem::FindProductByDeviceCode(QStringLiteral("3A7C0B0B0B0B")).folder == QStringLiteral("ONE"));
    QVERIFY(QKeyLableItem::FindProductByDeviceCode(QString()).folder.isEmpty());
    // a code in the middle of a "|" list: found by the product refresh, not by the whole compare
    QCOMPARE(QKeyLableItem::FindProductByDeviceCode(QStringLiteral("3a7c0a0a0a0a")).folder, QStringLiteral("MULTI"));
    QVERIFY(QKeyLableItem::ProductByDeviceCode(QStringLiteral("3A7C0A0A0A0A")).folder.isEmpty());
    QCOMPARE(QKeyLableItem::ProductByDeviceCode(QStringLiteral("3a7c0b0b0b0b")).folder, QStringLiteral("ONE"));
    // a part of a code is no code
    QVERIFY(QKeyLableItem::FindProductByDeviceCode(QStringLiteral("3A7C0A")).folder.isEmpty());
    ClearProductListCache();
}

void TstDeviceListTiles::clickWithoutCodeOpensNothing()
{
    TestProgramDir dir;
    MainWidget main;
    DeviceRecord record;
    record.deviceType = 2;
    record.connectionState = StateWired; // no code text: not a known device
    QKeyLableItem tile;
    tile.SetDevice(&record);
    tile.resize(398, 288);
    tile.show();
    QWidget *inside = tile.findChild<QWidget *>(QStringLiteral("insideWidget"));
    QVERIFY(inside);
    const int page = main.TabWidget()->currentIndex();
    QTest::mouseClick(inside, Qt::LeftButton);
    QCOMPARE(main.TabWidget()->currentIndex(), page);
    QVERIFY(!tile.IsOpening());
}

void TstDeviceListTiles::codeReaderPairsRepliesWithRequests()
{
    QHID_TempWokThred reader;
    QList<QPair<quint64, QString>> answers;
    connect(&reader, &QHID_TempWokThred::GrabCodeAnswered, this,
            [&answers](quint64 r, const QString &c) { answers.append({r, c}); });
    TimedCodeWorker slow(QStringLiteral("AAAAAAAAAAAA"), 3400);
    TimedCodeWorker quick(QStringLiteral("BBBBBBBBBBBB"), 10);
    QVERIFY(!reader.on_GetProductPassWord(&slow)); // still reading after 3000 ms
    // the next request waits for the slow read and is then really carried out
    QVERIFY(reader.on_GetProductPassWord(&quick));
    QTRY_COMPARE(answers.size(), 2);
    QCOMPARE(answers[0], qMakePair(quint64(1), QStringLiteral("AAAAAAAAAAAA")));
    QCOMPARE(answers[1], qMakePair(quint64(2), QStringLiteral("BBBBBBBBBBBB")));
    QCOMPARE(quick.calls.load(), 1);
    QCOMPARE(reader.LastRequest(), quint64(2));
}

void TstDeviceListTiles::accessProblemLoggedOnce()
{
    TestProgramDir dir;
    const QString reason = QStringLiteral("permission denied");
    QVERIFY(platform::LogHidAccessProblemOnce(QStringLiteral("/dev/hidraw7"), QStringLiteral("3a7c:0101"), reason));
    QVERIFY(!platform::LogHidAccessProblemOnce(QStringLiteral("/dev/hidraw7"), QStringLiteral("3a7c:0101"), reason));
    QVERIFY(!platform::LogHidAccessProblemOnce(QStringLiteral("/dev/hidraw8"), QStringLiteral("3a7c:0101"), QString()));
    QFile log(dir.filePath("Log.txt"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromLocal8Bit(log.readAll());
    QCOMPARE(text.count(QStringLiteral("/dev/hidraw7")), 1);
    QVERIFY(text.contains(reason));
}

QTEST_MAIN(TstDeviceListTiles)
#include "tst_devicelist_tiles.moc"
