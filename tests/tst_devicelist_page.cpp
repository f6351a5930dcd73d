// The device list page against the emulator: the first scan, hot-plug in both orders, refused
// codes, bad notices, removals during an arrival, the current device going away, tiles.
#include "app/DelayMs.h"
#include "app/MainWidget.h"
#include "app/NestedWait.h"
#include "app/ProductCatalogue.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/ZR_YX_MouseThread.h"
#include "device/QHID_TempWokThred.h"
#include "device/QHidListWidget.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QHid_Work_Interface.h"
#include "device/QKeyLableItem.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "platform/HidPlatform.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuStdinControl.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/MessageAnswerer.h"
#include "tests/support/TestProgramDir.h"
#include "tests/support/WaitSweep.h"
#include "widgets/Battery.h"
#include "widgets/QWaitGifWidget.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>
#include <hidapi.h>
#include <memory>

using emu::Model;

namespace {

// A worker that asks the device for its code the way the protocol workers do: the 20-byte
// code request where the interface has output reports, the 520-byte 0x82 read otherwise. It
// keeps the code in lower case, as they do.
class CodeWorker : public QHid_Work_Interface
{
public:
    QString ReadDeviceCode() override
    {
        DeviceRecord *d = Device();
        if (!d)
            return QString();
        if (d->outputLength >= 20) {
            uchar request[20] = {};
            request[0] = d->reportId;
            request[1] = 0x05;
            request[2] = 0x01;
            request[19] = emu::Sum19(QByteArray(reinterpret_cast<char *>(request), 20));
            if (RecordWrite(d, request, 20) < 1)
                return QString();
            for (int i = 0; i < 10; ++i) {
                uchar reply[20] = {};
                const int n = ReadReport(d, reply, 20, 200);
                if (n < 0)
                    return QString();
                if (n > 0 && reply[1] == 0x05)
                    return QByteArray(reinterpret_cast<char *>(reply + 5), 6).toHex();
            }
            return QString();
        }
        QByteArray image(d->featureLength, '\0');
        image[0] = char(d->reportId);
        image[1] = char(0x82);
        image[2] = 1;
        image[4] = 1;
        image[6] = 6;
        if (RecordSendFeature(d, reinterpret_cast<uchar *>(image.data()), image.size()) < 0)
            return QString();
        QByteArray reply(d->featureLength, '\0');
        reply[0] = char(d->reportId);
        if (RecordGetFeature(d, reinterpret_cast<uchar *>(reply.data()), reply.size()) < 14)
            return QString();
        return reply.mid(8, 6).toHex();
    }
    void SynchronizingDeviceData() override
    {
        if (MainWidget *main = MainWidget::instance())
            main->EndSyncWait();
    }
};

// Second-family interfaces keep the page's own worker: their protocol is another one.
QHid_Work_Interface *MakeCodeWorker(DeviceRecord *record)
{
    return record->kind <= KindMouseReceiver ? new CodeWorker : nullptr;
}

std::shared_ptr<emu::Device20> Device20Of(const std::shared_ptr<emu::Device> &d)
{
    return std::static_pointer_cast<emu::Device20>(d);
}

int VisibleTiles(HID_API *page)
{
    return page->ListWidget()->VisibleWidgets().size();
}

} // namespace

class TstDeviceListPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void startWithNoneThenPlug();
    void startWithSeveral();
    void zeroCodeAndUnknownCodeRefused();
    void badNoticesChangeNothing();
    void plugAndUnplugInBothOrders();
    void unplugCurrentDevice();
    void removalDuringCodeWait();
    void receiverAsleepThenAwake();
    void secondFamilyMouseOneTile();
    void batteryEventReachesItsTile();
    void selectThenOpenUnderSyncWait();
    void grabShowsTwoTiles();
    void handControlPlugsAndUnplugs();
    void programsOwnKeyboardWorker();
    void leftPageDeviceGoesAlone();
    void goingPageInertDuringArrival();
    void closeDuringASlowCodeRead();
    void tilesClickedInOneWait_data();
    void tilesClickedInOneWait();

private:
    std::unique_ptr<TestProgramDir> m_dir;
};

void TstDeviceListPage::initTestCase()
{
    HID_API::SetWorkerFactory(&MakeCodeWorker);
    platform::HidHotplugSource::instance(); // the emulator's notices reach the page from now on
}

void TstDeviceListPage::init()
{
    HID_API::SetWorkerFactory(&MakeCodeWorker);
    emu::Reset();
    m_dir.reset(new TestProgramDir);
    ClearProductListCache();
}

void TstDeviceListPage::cleanup()
{
    QVERIFY(HidNoModelErrors());
    m_dir.reset();
    emu::Reset();
}

void TstDeviceListPage::startWithNoneThenPlug()
{
    MainWidget w;
    HID_API *page = HID_API::instance();
    QVERIFY(page);
    QVERIFY(!page->DeviceFound());
    QVERIFY(page->ScrollArea()->isHidden());
    QVERIFY(!page->EmptyListOverlay()->isHidden());
    QCOMPARE(page->CurrentDevice(), static_cast<DeviceRecord *>(nullptr));

    const uint32_t node = emu::Plug(emu::MakeDevice(Model::KeyboardWired));
    QTRY_COMPARE_WITH_TIMEOUT(page->TileMap().size(), 1, 5000);
    QVERIFY(page->DeviceMap().contains(node));
    QCOMPARE(page->DeviceMap().value(node)->CodeText(), QStringLiteral("3a7c01010001"));
    QCOMPARE(int(page->DeviceMap().value(node)->connectionState), int(StateWired));
    QVERIFY(page->Manager()->Worker(node));
    QCOMPARE(VisibleTiles(page), 1);
    QVERIFY(!page->ScrollArea()->isHidden());
    QVERIFY(page->EmptyListOverlay()->isHidden());
}

void TstDeviceListPage::startWithSeveral()
{
    const uint32_t kb = emu::Plug(emu::MakeDevice(Model::KeyboardWired));
    const uint32_t mouse = emu::Plug(emu::MakeDevice(Model::MouseWired));
    const uint32_t rx = emu::Plug(emu::MakeDevice(Model::MouseReceiver));
    MainWidget w;
    HID_API *page = HID_API::instance();
    QVERIFY(page->DeviceFound());
    QCOMPARE(page->DeviceMap().keys(), (QList<uint32_t>{kb, mouse, rx}));
    QCOMPARE(page->TileMap().size(), 3);
    QCOMPARE(VisibleTiles(page), 3);
    QCOMPARE(page->CurrentDevice(), page->DeviceMap().value(kb)); // the first record of the scan
    QCOMPARE(int(page->DeviceMap().value(mouse)->deviceType), 1);
    QCOMPARE(int(page->DeviceMap().value(rx)->connectionState), int(StateWirelessAwake));
    QCOMPARE(page->Manager()->WorkerIds().size(), 3);
    // each device keeps exactly one open handle: the duplicate TLCs of one node are closed
    QCOMPARE(emu::OpenHandles(kb), 1);
    QCOMPARE(emu::OpenHandles(mouse), 1);
}

void TstDeviceListPage::zeroCodeAndUnknownCodeRefused()
{
    auto zero = Device20Of(emu::MakeDevice(Model::KeyboardWired));
    zero->SetCode(QByteArray(6, '\0'));
    const uint32_t zeroNode = emu::Plug(zero);
    auto good = emu::MakeDevice(Model::KeyboardWired);
    const uint32_t goodNode = emu::Plug(good);
    MainWidget w;
    HID_API *page = HID_API::instance();
    // at start: the zero-code keyboard is not listed and its handles are closed
    QCOMPARE(page->DeviceMap().keys(), (QList<uint32_t>{goodNode}));
    QCOMPARE(emu::OpenHandles(zeroNode), 0);
    QVERIFY(!page->Manager()->Worker(zeroNode));

    // on arrival: a zero code and an unknown code are both refused and closed
    auto zero2 = Device20Of(emu::MakeDevice(Model::KeyboardWired));
    zero2->SetCode(QByteArray(6, '\0'));
    const uint32_t zero2Node = emu::Plug(zero2);
    auto stranger = Device20Of(emu::MakeDevice(Model::KeyboardWired));
    stranger->SetCode(QByteArray::fromHex("112233445566"));
    const uint32_t strangerNode = emu::Plug(stranger);
    QTRY_VERIFY_WITH_TIMEOUT(emu::OpenCount(strangerNode) > 0 && emu::OpenHandles(strangerNode) == 0, 8000);
    QTRY_COMPARE_WITH_TIMEOUT(emu::OpenHandles(zero2Node), 0, 8000);
    QVERIFY(emu::OpenCount(zero2Node) > 0);
    QCOMPARE(page->DeviceMap().keys(), (QList<uint32_t>{goodNode}));
    QCOMPARE(page->TileMap().keys(), (QList<uint32_t>{goodNode}));
    QVERIFY(!page->Manager()->Worker(strangerNode));
    QVERIFY(!page->Manager()->Worker(zero2Node));
}

void TstDeviceListPage::badNoticesChangeNothing()
{
    const uint32_t kb = emu::Plug(emu::MakeDevice(Model::KeyboardWired));
    MainWidget w;
    HID_API *page = HID_API::instance();
    const int opens = emu::TotalOpenCount();
    DeviceRecord *record = page->DeviceMap().value(kb);
    platform::HidHotplugSource *source = platform::HidHotplugSource::instance();
    QSignalSpy versions(page, &HID_API::updataDeviceVsesion);
    source->Deliver(true, 0, 0x3A7C, 0x0101, QStringLiteral("/dev/hidraw-without-id")); // no id
    source->Deliver(true, kb, 0x3A7C, 0x0101, emu::PathOf(kb));   // already listed
    source->Deliver(false, 0x7777, 0x3A7C, 0x0101, QString());    // unknown id
    source->Deliver(true, 0x7778, 0x1234, 0x5678, QString());     // foreign ids, nothing there
    QTRY_COMPARE_WITH_TIMEOUT(versions.count(), 3, 5000); // the id-less notice is dropped unseen
    QCOMPARE(page->DeviceMap().keys(), (QList<uint32_t>{kb}));
    QCOMPARE(page->DeviceMap().value(kb), record);
    QCOMPARE(page->TileMap().size(), 1);
    QCOMPARE(page->Manager()->WorkerIds(), (QList<uint32_t>{kb}));
    QCOMPARE(emu::TotalOpenCount(), opens);
}

void TstDeviceListPage::plugAndUnplugInBothOrders()
{
    MainWidget w;
    HID_API *page = HID_API::instance();
    const uint32_t a = emu::Plug(emu::MakeDevice(Model::KeyboardWired));
    const uint32_t b = emu::Plug(emu::MakeDevice(Model::MouseWired));
    QTRY_COMPARE_WITH_TIMEOUT(page->TileMap().size(), 2, 8000);
    // first in, first out
    emu::Unplug(a);
    QTRY_COMPARE_WITH_TIMEOUT(page->TileMap().keys(), (QList<uint32_t>{b}), 5000);
    QCOMPARE(emu::OpenHandles(a), 0);
    emu::Unplug(b);
    QTRY_VERIFY_WITH_TIMEOUT(page->TileMap().isEmpty(), 5000);
    QVERIFY(page->DeviceMap().isEmpty());
    QVERIFY(page->Manager()->WorkerIds().isEmpty());
    QVERIFY(page->ScrollArea()->isHidden());
    QVERIFY(!page->EmptyListOverlay()->isHidden());

    // last in, first out
    const uint32_t c = emu::Plug(emu::MakeDevice(Model::KeyboardWired));
    const uint32_t d = emu::Plug(emu::MakeDevice(Model::MouseWired));
    QTRY_COMPARE_WITH_TIMEOUT(page->TileMap().size(), 2, 8000);
    emu::Unplug(d);
    emu::Unplug(c);
    QTRY_VERIFY_WITH_TIMEOUT(page->DeviceMap().isEmpty(), 5000);
    QVERIFY(page->TileMap().isEmpty());
    QCOMPARE(emu::OpenHandles(c) + emu::OpenHandles(d), 0);
    QCOMPARE(page->ListWidget()->Widgets().size(), 0);
}

void TstDeviceListPage::unplugCurrentDevice()
{
    const uint32_t kb = emu::Plug(emu::MakeDevice(Model::KeyboardWired));
    const uint32_t mouse = emu::Plug(emu::MakeDevice(Model::MouseWired));
    MainWidget w;
    HID_API *page = HID_API::instance();
    QKeyLableItem *tile = page->TileMap().value(mouse);
    QCOMPARE(page->SelectDevice(tile), 0);
    QCOMPARE(page->CurrentDevice(), page->DeviceMap().value(mouse));
    QCOMPARE(page->Manager()->CurrentDeviceId(), mouse);
    w.TabWidget()->setCurrentIndex(1); // the mouse page is open

    QSignalSpy closing(page, &HID_API::CLosingUsb);
    QSignalSpy clearMouse(page, &HID_API::ClearMouseDataBuff);
    emu::Unplug(mouse);
    QTRY_COMPARE_WITH_TIMEOUT(closing.count(), 1, 5000);
    QCOMPARE(clearMouse.count(), 1);
    QCOMPARE(page->CurrentDevice(), static_cast<DeviceRecord *>(nullptr));
    QCOMPARE(w.TabWidget()->currentIndex(), 0); // back on the device list
    QVERIFY(!page->TileMap().contains(mouse));
    QVERIFY(!page->Manager()->Worker(mouse));
    QCOMPARE(emu::OpenHandles(mouse), 0);
    // the other device is untouched
    QVERIFY(page->DeviceMap().contains(kb));
    QCOMPARE(emu::OpenHandles(kb), 1);
}

void TstDeviceListPage::removalDuringCodeWait()
{
    MainWidget w;
    HID_API *page = HID_API::instance();
    auto slow = Device20Of(emu::MakeDevice(Model::MouseReceiver));
    emu::Knobs k;
    k.replyDelayMs = 1500; // the code reply comes late: the arrival waits for it
    slow->setKnobs(k);
    const uint32_t node = emu::Plug(slow);
    // the arrival has opened the device and is in its code wait
    QTRY_VERIFY_WITH_TIMEOUT(!emu::TrafficLog(node, emu::Traffic::Write).isEmpty(), 5000);
    emu::Unplug(node);
    QTRY_COMPARE_WITH_TIMEOUT(emu::OpenHandles(node), 0, 8000);
    QTest::qWait(300);
    QVERIFY(!page->DeviceMap().contains(node));
    QVERIFY(page->TileMap().isEmpty());
    QVERIFY(!page->Manager()->Worker(node));
    QCOMPARE(page->ListWidget()->Widgets().size(), 0);

    // the page still takes the next device
    const uint32_t next = emu::Plug(emu::MakeDevice(Model::KeyboardWired));
    QTRY_VERIFY_WITH_TIMEOUT(page->TileMap().contains(next), 8000);
}

void TstDeviceListPage::receiverAsleepThenAwake()
{
    auto rx = Device20Of(emu::MakeDevice(Model::KeyboardReceiver));
    rx->SetPresent(false); // the keyboard behind the receiver is off
    const uint32_t node = emu::Plug(rx);
    const uint32_t kb = emu::Plug(emu::MakeDevice(Model::KeyboardWired));
    MainWidget w;
    HID_API *page = HID_API::instance();
    DeviceRecord *record = page->DeviceMap().value(node);
    QVERIFY(record);
    QCOMPARE(int(record->connectionState), int(StateWirelessAsleep));
    QKeyLableItem *tile = page->TileMap().value(node);
    QVERIFY(tile);
    QVERIFY(tile->isHidden());
    QCOMPARE(VisibleTiles(page), 1);

    // the keyboard wakes: its worker reports the new state and the tile appears
    record->SetCodeText(QStringLiteral("3a7c01010001"));
    record->connectionState = StateWirelessAwake;
    QHid_Work_Interface *worker = page->Manager()->Worker(node);
    Q_EMIT worker->Device_Put_Chenge(node, true);
    QTRY_VERIFY_WITH_TIMEOUT(!tile->isHidden(), 3000);
    QCOMPARE(VisibleTiles(page), 2);
    QCOMPARE(record->name, QStringLiteral("QUORIX QK75"));
    QVERIFY(tile->Gauge()->isVisibleTo(tile));

    // its page is opened, then it sleeps: back to the device list, the tile hidden once more
    QCOMPARE(page->SelectDevice(tile), 0);
    w.TabWidget()->setCurrentIndex(2);
    QSignalSpy closing(page, &HID_API::CLosingUsb);
    QSignalSpy freePage(page, &HID_API::freeDevicePageMemory);
    record->connectionState = StateWirelessAsleep;
    Q_EMIT worker->Device_Put_Chenge(node, false);
    QTRY_VERIFY_WITH_TIMEOUT(tile->isHidden(), 3000);
    QVERIFY(closing.count() >= 1);
    QCOMPARE(freePage.count(), 1);
    QCOMPARE(w.TabWidget()->currentIndex(), 0);
    QCOMPARE(page->CurrentDevice(), record); // asleep, not gone: it stays listed
    QVERIFY(page->DeviceMap().contains(kb));

    // it wakes with its removal already queued: the page hears the removal inside the wait
    // that shows the woken tile, and nothing touches the gone tile or record after it
    QPointer<QKeyLableItem> gone(tile);
    record->connectionState = StateWirelessAwake;
    emu::Unplug(node);
    Q_EMIT worker->Device_Put_Chenge(node, true);
    QTRY_VERIFY_WITH_TIMEOUT(!gone, 3000);
    QVERIFY(!page->CurrentDevice());
    QVERIFY(!page->Manager()->Worker(node));
    QCOMPARE(emu::OpenHandles(node), 0);
    QCOMPARE(page->TileMap().keys(), (QList<uint32_t>{kb}));
    QCOMPARE(VisibleTiles(page), 1);
}

void TstDeviceListPage::secondFamilyMouseOneTile()
{
    const uint32_t node = emu::Plug(emu::MakeDevice(Model::SecondFamilyWired));
    MainWidget w;
    HID_API *page = HID_API::instance();
    QCOMPARE(page->DeviceMap().keys(), (QList<uint32_t>{node}));
    QCOMPARE(int(page->DeviceMap().value(node)->kind), int(KindSecondFeatureWired));
    QCOMPARE(page->TileMap().size(), 1);
    QCOMPARE(page->Manager()->WorkerIds(), (QList<uint32_t>{node}));
    QCOMPARE(emu::OpenHandles(node), 2); // both interfaces serve the one worker
    // The page builds the second-family worker itself; its wake query brings the tile up.
    auto *worker = qobject_cast<ZR_YX_MouseThread *>(page->Manager()->Worker(node));
    QVERIFY(worker);
    QCOMPARE(worker->CommandDevice(), page->DeviceMap().value(node));
    QVERIFY(worker->isRunning()); // its listener was stopped for the companion's record and goes on
    QTRY_COMPARE_WITH_TIMEOUT(VisibleTiles(page), 1, 5000);

    // on arrival the same: one tile for the two interfaces
    const uint32_t rx = emu::Plug(emu::MakeDevice(Model::SecondFamilyReceiver));
    QTRY_COMPARE_WITH_TIMEOUT(page->TileMap().size(), 2, 8000);
    QCOMPARE(page->DeviceMap().size(), 2);
    QCOMPARE(page->ListWidget()->Widgets().size(), 2);
    // the listening interface has the feature interface's state before any notice
    QHid_Work_Interface *rxWorker = page->Manager()->Worker(rx);
    QTRY_VERIFY_WITH_TIMEOUT(rxWorker->Device() != rxWorker->m_CommandDevice, 5000);
    QCOMPARE(int(rxWorker->Device()->connectionState), int(StateWirelessAwake));
    // the tooltip names the sensor's version that the receiver reported on arrival
    QShowEvent shown;
    for (uint32_t id : {node, rx})
        QCoreApplication::sendEvent(page->TileMap().value(id), &shown);
    QVERIFY2(page->TileMap().value(rx)->toolTip().endsWith("_100"), qPrintable(page->TileMap().value(rx)->toolTip()));
    QVERIFY(!page->TileMap().value(node)->toolTip().contains('_'));

    // removing it closes both interfaces, the unlisted one too
    emu::Unplug(node);
    QTRY_COMPARE_WITH_TIMEOUT(emu::OpenHandles(node), 0, 5000);
    QCOMPARE(page->TileMap().keys(), (QList<uint32_t>{rx}));
}

void TstDeviceListPage::batteryEventReachesItsTile()
{
    const uint32_t a = emu::Plug(emu::MakeDevice(Model::MouseReceiver));
    const uint32_t b = emu::Plug(emu::MakeDevice(Model::MouseReceiver));
    MainWidget w;
    HID_API *page = HID_API::instance();
    QKeyLableItem *ta = page->TileMap().value(a);
    QKeyLableItem *tb = page->TileMap().value(b);
    QVERIFY(ta && tb);
    const double before = tb->Gauge()->value();
    page->DeviceMap().value(a)->batteryLevel = 25;
    Q_EMIT page->Manager()->Worker(a)->mouse_Pow_Chenge(a, 25);
    QTRY_COMPARE_WITH_TIMEOUT(ta->Gauge()->value(), 25.0, 3000);
    QTRY_COMPARE_WITH_TIMEOUT(ta->Gauge()->shownValue(), 25.0, 3000);
    QCOMPARE(tb->Gauge()->value(), before);
}

void TstDeviceListPage::selectThenOpenUnderSyncWait()
{
    const uint32_t kb = emu::Plug(emu::MakeDevice(Model::KeyboardWired));
    MainWidget w;
    HID_API *page = HID_API::instance();
    QKeyLableItem *tile = page->TileMap().value(kb);
    QVERIFY(tile);
    QElapsedTimer timer;
    timer.start();
    tile->on_test(); // the worker ends the sync wait once it has read the device
    QVERIFY(timer.elapsed() < 5000);
    QCOMPARE(w.TabWidget()->currentIndex(), 2);
    // the page opens with the product's folder, where its files live
    QCOMPARE(w.CurrentProductName(), QStringLiteral("QK75"));
    QCOMPARE(page->CurrentDevice(), page->DeviceMap().value(kb));
    QVERIFY(!tile->IsOpening());
}

void TstDeviceListPage::grabShowsTwoTiles()
{
    emu::Plug(emu::MakeDevice(Model::KeyboardWired));
    emu::Plug(emu::MakeDevice(Model::MouseWired));
    MainWidget w;
    w.show();
    HID_API *page = HID_API::instance();
    QHidListWidget *list = page->ListWidget();
    QTRY_VERIFY(list->width() > 300);
    list->Relayout();
    const QImage shot = list->grab().toImage();
    int tiles = 0;
    for (QWidget *t : list->VisibleWidgets()) {
        const QColor c = shot.pixelColor(t->geometry().center().x(), t->geometry().top() + 5);
        if (qAbs(c.red() - 21) <= 12 && qAbs(c.green() - 22) <= 12 && qAbs(c.blue() - 23) <= 12)
            ++tiles;
    }
    QCOMPARE(tiles, 2);
    // between the tiles the list is empty
    const QList<QWidget *> visible = list->VisibleWidgets();
    const int gapX = (visible[0]->geometry().right() + visible[1]->geometry().left()) / 2;
    QVERIFY(shot.pixelColor(gapX, visible[0]->geometry().center().y()).alpha() < 40);
}

void TstDeviceListPage::handControlPlugsAndUnplugs()
{
    MainWidget w;
    HID_API *page = HID_API::instance();
    EmuStdinControl control;
    QVERIFY(control.Execute(QStringLiteral("plug keyboard")).startsWith(QStringLiteral("plugged keyboard")));
    QVERIFY(control.Execute(QStringLiteral("  PLUG   mouse ")).startsWith(QStringLiteral("plugged mouse")));
    QTRY_COMPARE_WITH_TIMEOUT(page->TileMap().size(), 2, 8000);
    QVERIFY(control.Execute(QStringLiteral("unplug keyboard")).startsWith(QStringLiteral("unplugged keyboard")));
    QTRY_COMPARE_WITH_TIMEOUT(page->TileMap().size(), 1, 5000);
    QCOMPARE(int(page->DeviceMap().first()->deviceType), 1);
    // nothing to unplug, unknown names and words change nothing
    QVERIFY(control.Execute(QStringLiteral("unplug keyboard")).startsWith(QStringLiteral("no keyboard")));
    QVERIFY(control.Execute(QStringLiteral("plug toaster")).startsWith(QStringLiteral("usage")));
    QVERIFY(control.Execute(QStringLiteral("shake mouse")).startsWith(QStringLiteral("unknown command")));
    QVERIFY(control.Execute(QString()).startsWith(QStringLiteral("usage")));
    QTest::qWait(300);
    QCOMPARE(page->TileMap().size(), 1);
}

// The workers the manager builds itself: the keyboard's reads its code from the device.
void TstDeviceListPage::programsOwnKeyboardWorker()
{
    HID_API::SetWorkerFactory(nullptr);
    const uint32_t kb = emu::Plug(emu::MakeDevice(Model::KeyboardWired));
    {
        MainWidget w;
        HID_API *page = HID_API::instance();
        QVERIFY(page->DeviceMap().contains(kb));
        QCOMPARE(page->DeviceMap().value(kb)->CodeText().toUpper(), QStringLiteral("3A7C01010001"));
        QCOMPARE(page->TileMap().size(), 1);
        auto zero = Device20Of(emu::MakeDevice(Model::KeyboardWired));
        zero->SetCode(QByteArray(6, '\0'));
        const uint32_t zeroNode = emu::Plug(zero);
        QTRY_VERIFY_WITH_TIMEOUT(emu::OpenCount(zeroNode) > 0 && emu::OpenHandles(zeroNode) == 0, 15000);
        QCOMPARE(page->DeviceMap().keys(), (QList<uint32_t>{kb}));
    }
    HID_API::SetWorkerFactory(&MakeCodeWorker);
}

// A device whose page was opened and left goes on its own: no page is left for it, and an
// answer given meanwhile about another device stays an answer.
void TstDeviceListPage::leftPageDeviceGoesAlone()
{
    const uint32_t kb = emu::Plug(emu::MakeDevice(Model::KeyboardWired));
    const uint32_t mouse = emu::Plug(emu::MakeDevice(Model::MouseWired));
    MainWidget w;
    HID_API *page = HID_API::instance();
    QCOMPARE(page->SelectDevice(page->TileMap().value(kb)), 0);
    w.TabWidget()->setCurrentIndex(2); // its page opened
    w.TabWidget()->setCurrentIndex(0); // and left
    QSignalSpy closing(page, &HID_API::CLosingUsb);
    {
        MessageAnswerer yes(true, [&] {
            emu::Unplug(kb);
            QTRY_VERIFY_WITH_TIMEOUT(!page->DeviceById(kb), 3000); // known, held by the question
        });
        QCOMPARE(int(w.ShowMessage(QColor(178, 179, 180), QStringLiteral("update?"), false)), 1);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!page->TileMap().contains(kb), 3000);

    // the mouse's page opened and left, the user on the settings page: they stay there
    QCOMPARE(page->SelectDevice(page->TileMap().value(mouse)), 0);
    w.TabWidget()->setCurrentIndex(1);
    w.TabWidget()->setCurrentIndex(0);
    w.on_TabChangeGlobalSet();
    emu::Unplug(mouse);
    QTRY_VERIFY_WITH_TIMEOUT(!page->TileMap().contains(mouse), 3000);
    QCOMPARE(w.TabWidget()->currentIndex(), 3);
    QCOMPARE(closing.count(), 0);
}

// The keyboard unplugged while a slow mouse's arrival waits for its code: until its page leaves,
// the page takes no click and a key painted meanwhile is not saved.
void TstDeviceListPage::goingPageInertDuringArrival()
{
    const uint32_t kb = emu::Plug(emu::MakeDevice(Model::KeyboardWired));
    MainWidget w;
    HID_API *page = HID_API::instance();
    QCOMPARE(page->SelectDevice(page->TileMap().value(kb)), 0);
    w.TabWidget()->setCurrentIndex(2);
    QFile data(m_dir->filePath(QStringLiteral("Products/QK75/QK75_data.ini")));
    const QByteArray before = data.open(QIODevice::ReadOnly) ? data.readAll() : QByteArray();
    data.close();
    bool armed = true, stayed = false, saved = true;
    NestedWait::SetEnterHook([&](const char *file, int) {
        if (!armed || !QByteArray(file).endsWith("HID_API.cpp"))
            return;
        armed = false;
        emu::Unplug(kb);
        QTimer::singleShot(400, page, [&] {
            QTest::mouseClick(QLStyleKeybordTabWidget::instance()->ButExit, Qt::LeftButton);
            stayed = w.TabWidget()->currentIndex() == 2;
            const QByteArray painted(520, '\x11');
            saved = page->SetCurrentDiyColorMap(reinterpret_cast<const uint8_t *>(painted.constData()));
        });
    });
    auto slow = Device20Of(emu::MakeDevice(Model::MouseReceiver));
    emu::Knobs k;
    k.replyDelayMs = 1500;
    slow->setKnobs(k);
    const uint32_t node = emu::Plug(slow);
    QTRY_VERIFY_WITH_TIMEOUT(page->TileMap().contains(node) && !page->TileMap().contains(kb), 10000);
    NestedWait::SetEnterHook(nullptr);
    QVERIFY(!armed);
    QVERIFY(stayed);
    QVERIFY(!saved);
    QCOMPARE(w.TabWidget()->currentIndex(), 0); // left once the arrival was done
    const QByteArray after = data.open(QIODevice::ReadOnly) ? data.readAll() : QByteArray();
    QCOMPARE(after, before);
}

// The title bar's close while a slow mouse's code read holds the arrival: the window goes within
// about a second; the refused worker and its record go once the read has ended.
void TstDeviceListPage::closeDuringASlowCodeRead()
{
    auto *w = new MainWidget;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QWidget *closer = w->findChild<QWidget *>(QStringLiteral("But_Close2"));
    QElapsedTimer clock;
    bool armed = true;
    NestedWait::SetEnterHook([&](const char *file, int) {
        if (!armed || !QByteArray(file).endsWith("QHID_TempWokThred.cpp"))
            return;
        armed = false;
        QTimer::singleShot(300, w, [&] {
            clock.start();
            WaitSweep::SystemClick(closer, Qt::LeftButton);
        });
    });
    auto slow = Device20Of(emu::MakeDevice(Model::MouseWired));
    emu::Knobs k;
    k.writeDelayMs = 3000; // the code request's transfer takes this long
    slow->setKnobs(k);
    const uint32_t node = emu::Plug(slow);
    QTRY_VERIFY_WITH_TIMEOUT(!MainWidget::instance() && !w->isVisible(), 10000);
    NestedWait::SetEnterHook(nullptr);
    QVERIFY(clock.isValid());
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(!HID_API::instance()->DeviceMap().contains(node));
    QVERIFY(HID_API::instance()->CodeReader()->isRunning()); // the window did not wait for it
    delete w;
    QCOMPARE(emu::OpenHandles(node), 0);
}

// Two tiles clicked during one wait open their pages in turn once it has returned: the second
// device's page is shown, that device is the page's device, and the first page was left.
void TstDeviceListPage::tilesClickedInOneWait_data()
{
    QTest::addColumn<int>("second");
    QTest::newRow("two keyboards") << int(Model::KeyboardWired);
    QTest::newRow("a keyboard, then a mouse") << int(Model::MouseWired);
}

void TstDeviceListPage::tilesClickedInOneWait()
{
    QFETCH(int, second);
    const bool mouse = Model(second) == Model::MouseWired;
    HID_API::SetWorkerFactory(nullptr); // the program's workers read what the pages need
    emu::SetTimeScale(0.05);
    const uint32_t kb = emu::Plug(emu::MakeDevice(Model::KeyboardWired));
    const uint32_t other = emu::Plug(emu::MakeDevice(Model(second)));
    MainWidget w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    HID_API *page = HID_API::instance();
    QTRY_COMPARE_WITH_TIMEOUT(VisibleTiles(page), 2, 5000);
    for (uint32_t id : {kb, other}) // queued: they arrive inside the wait below
        WaitSweep::SystemClick(page->TileMap().value(id)->findChild<QLabel *>(QStringLiteral("LablePictue")),
                               Qt::LeftButton);
    DelayMs(300);
    QVERIFY(page->TileMap().value(kb)->IsOpening());
    QTRY_VERIFY_WITH_TIMEOUT(!page->TileMap().value(other)->IsOpening() && !page->TileMap().value(kb)->IsOpening(), 10000);
    QCOMPARE(w.TabWidget()->currentIndex(), mouse ? 1 : 2);
    QCOMPARE(page->PageDevice(), page->DeviceById(other));
    if (mouse)
        QVERIFY(QLStyleKeybordTabWidget::instance()->BuiltProduct().isEmpty());
}

QTEST_MAIN(TstDeviceListPage)
#include "tst_devicelist_page.moc"
