// Device classification over the emulator: shapes, kinds, states, report ids, the three open routines,
// the product lookups, the status-aware read and hot-plug notices.
#include "app/ProductCatalogue.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/HidClassify.h"
#include "platform/HidPlatform.h"
#include "tests/emu/EmuControl.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/TestProgramDir.h"

#include <QtTest>

using emu::Model;

class TestDeviceClassify : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void sampleCatalogueTable();
    void bothPairsGiveReceiverKind();
    void familyThreeAndFiveNeverOpened();
    void shapeCOnlyOnReopen();
    void reopenPath();
    void unclassifiedReopenGivesNull();
    void arrivedSecondFamily();
    void interfaceThatCannotBeOpened();
    void unknownVendorNeverOpened();
    void truncatedAndNonsenseDescriptors();
    void statusRead();
    void lookups();
    void hotplugNotices();

private:
    TestProgramDir *m_dir = nullptr;
};

void TestDeviceClassify::init()
{
    emu::Reset();
    m_dir = new TestProgramDir;
    QVERIFY(m_dir->isValid());
    ClearProductListCache();
}

void TestDeviceClassify::cleanup()
{
    QVERIFY(HidNoModelErrors());
    emu::Reset();
    delete m_dir;
    m_dir = nullptr;
    ClearProductListCache();
}

void TestDeviceClassify::sampleCatalogueTable()
{
    const uint32_t kbWired = emu::Plug(emu::MakeDevice(Model::KeyboardWired));
    const uint32_t kbRecv = emu::Plug(emu::MakeDevice(Model::KeyboardReceiver));
    const uint32_t mWired = emu::Plug(emu::MakeDevice(Model::MouseWired));
    const uint32_t mRecv = emu::Plug(emu::MakeDevice(Model::MouseReceiver));
    const uint32_t xWired = emu::Plug(emu::MakeDevice(Model::SecondFamilyWired));
    const uint32_t xRecv = emu::Plug(emu::MakeDevice(Model::SecondFamilyReceiver));

    QList<DeviceRecord *> records;
    HID_API::OpenDevices(records);

    struct Row { uint32_t node; int kind; int state; int rid; int type; int in, out, feat; };
    const Row rows[] = {
        {kbWired, 0, 1, 6, 2, 0, 0, 520},  {kbWired, 1, 3, 5, 2, 20, 20, 0}, {kbRecv, 1, 3, 5, 2, 20, 20, 0},
        {mWired, 2, 1, 6, 1, 20, 20, 520}, {mRecv, 3, 3, 5, 1, 20, 20, 520}, {xWired, 6, 0, 3, 1, 0, 0, 64},
        {xWired, 8, 0, 3, 1, 32, 64, 0},   {xRecv, 7, 0, 3, 1, 0, 0, 64},    {xRecv, 9, 0, 3, 1, 12, 64, 0},
    };
    QCOMPARE(records.size(), int(sizeof(rows) / sizeof(rows[0])));
    for (const Row &row : rows) {
        DeviceRecord *r = HidRecordOfKind(records, row.node, row.kind);
        QVERIFY2(r, qPrintable(QStringLiteral("node %1 kind %2").arg(row.node).arg(row.kind)));
        QCOMPARE(int(r->connectionState), row.state);
        QCOMPARE(int(r->reportId), row.rid);
        QCOMPARE(int(r->deviceType), row.type);
        QCOMPARE(int(r->inputLength), row.in);
        QCOMPARE(int(r->outputLength), row.out);
        QCOMPARE(int(r->featureLength), row.feat);
        QCOMPARE(r->deviceId, row.node);
        QCOMPARE(r->version.load(), uint16_t(0x0100));
        QCOMPARE(r->path, emu::PathOf(row.node));
        QVERIFY(r->productString.startsWith(QLatin1String("QUORIX")));
        QCOMPARE(r->vendorId, uint16_t(0x3A7C));
        QVERIFY(r->handle);
        QCOMPARE(int(r->batteryLevel), 100);
        QCOMPARE(int(r->subType), 1);
    }
    // each kept TLC has its own handle on its node
    QCOMPARE(emu::OpenHandles(kbWired), 2);
    QCOMPARE(emu::OpenHandles(xRecv), 2);
    HidCloseAll(records);
    QCOMPARE(emu::OpenHandles(kbWired), 0);
}

void TestDeviceClassify::bothPairsGiveReceiverKind()
{
    QVERIFY(HidWriteCatalogue(m_dir->path(), {HidProductLine("QM8", 1, "QUORIX QM8", "3A7C02010001", "0x3A7C|0x0202|0x05",
                                                             "0x3A7C|0x0202|0x06", "8805")}));
    const uint32_t node = emu::Plug(emu::MakeDevice(Model::MouseReceiver));
    QList<DeviceRecord *> records;
    HID_API::OpenDevices(records);
    QCOMPARE(records.size(), 1);
    QCOMPARE(int(records[0]->kind), 3);
    QCOMPARE(int(records[0]->connectionState), 3);
    QCOMPARE(int(records[0]->reportId), 5);
    QCOMPARE(records[0]->deviceId, node);
    HidCloseAll(records);
}

void TestDeviceClassify::familyThreeAndFiveNeverOpened()
{
    QVERIFY(HidWriteCatalogue(m_dir->path(),
                              {HidProductLine("XG", 1, "XG mouse", "3A7C04010001", "0x3A7C|0x0402|0x05", "0x3A7C|0x0401|0x06", "XG"),
                               HidProductLine("XS", 2, "XS board", "3A7C05010001", "0x3A7C|0x0502|0x05", "0x3A7C|0x0501|0x06", "XS")}));
    const uint32_t a = emu::Plug(emu::MakePlainDevice(0x3A7C, 0x0401, emu::VendorTlc(0xFF00, 1, 6, 19, 19, 519)));
    const uint32_t b = emu::Plug(emu::MakePlainDevice(0x3A7C, 0x0501, emu::VendorTlc(0xFF00, 1, 6, 0, 0, 519)));
    QList<DeviceRecord *> records;
    HID_API::OpenDevices(records);
    QVERIFY(records.isEmpty());
    QCOMPARE(emu::OpenCount(a), 0);
    QCOMPARE(emu::OpenCount(b), 0);
}

void TestDeviceClassify::shapeCOnlyOnReopen()
{
    QVERIFY(HidWriteCatalogue(m_dir->path(),
                              {HidProductLine("DLL", 1, "Outside mouse", "3A7C06010001", "0x3A7C|0x0602|0x07", "0x3A7C|0x0601|0x08", "8805")}));
    const uint32_t wired = emu::Plug(emu::MakePlainDevice(0x3A7C, 0x0601, emu::VendorTlc(0xFF01, 1, 8, 0, 0, 64)));
    const uint32_t recv = emu::Plug(emu::MakePlainDevice(0x3A7C, 0x0602, emu::VendorTlc(0xFF01, 1, 7, 0, 0, 64)));
    QList<DeviceRecord *> records;
    HID_API::OpenDevices(records);
    QVERIFY(records.isEmpty()); // feature 65 is not a shape of the first scan
    QCOMPARE(emu::OpenCount(wired), 0);

    DeviceRecord *w = HID_API::OpenDevice(wired, 0x3A7C, 0x0601);
    QVERIFY(w);
    QCOMPARE(int(w->kind), 4);
    QCOMPARE(int(w->connectionState), 0); // untouched
    QCOMPARE(int(w->featureLength), 65);
    QCOMPARE(int(w->reportId), 8);
    DeviceRecord *r = HID_API::OpenDevice(recv, 0x3A7C, 0x0602);
    QVERIFY(r);
    QCOMPARE(int(r->kind), 5);
    QCOMPARE(int(r->connectionState), 2);
    QCOMPARE(int(r->reportId), 7);
    CloseDeviceRecord(w);
    CloseDeviceRecord(r);
}

void TestDeviceClassify::reopenPath()
{
    const uint32_t kb = emu::Plug(emu::MakeDevice(Model::KeyboardWired));
    const uint32_t xw = emu::Plug(emu::MakeDevice(Model::SecondFamilyWired));
    const uint32_t xr = emu::Plug(emu::MakeDevice(Model::SecondFamilyReceiver));
    DeviceRecord *k = HID_API::OpenDevice(kb, 0x3A7C, 0x0101);
    QVERIFY(k);
    QCOMPARE(int(k->kind), 0);
    QCOMPARE(int(k->connectionState), 1);
    QCOMPARE(k->deviceId, kb);
    QCOMPARE(k->path, emu::PathOf(kb));
    QVERIFY(!HID_API::OpenDevice(kb, 0x3A7C, 0x0102)); // the ids must match too
    QVERIFY(!HID_API::OpenDevice(kb + 100, 0x3A7C, 0x0101));

    // out 64 / in 32 is kind 8 in the first scan but not on re-open; in 12 is
    for (const HidInterfaceEntry &e : EnumerateHidInterfaces()) {
        if (e.tlc.outputLength != 64)
            continue;
        const auto first = ClassifyFirstScan(e);
        const auto again = ClassifyReopen(e);
        QVERIFY(first.has_value());
        if (InterfaceDeviceId(e.path) == xw) {
            QCOMPARE(int(first->kind), 8);
            QVERIFY(!again.has_value());
        } else {
            QCOMPARE(InterfaceDeviceId(e.path), xr);
            QCOMPARE(int(first->kind), 9);
            QVERIFY(again.has_value());
            QCOMPARE(int(again->kind), 9);
        }
    }
    CloseDeviceRecord(k);
}

void TestDeviceClassify::unclassifiedReopenGivesNull()
{
    // shape A interface whose ids are in no product: the re-open path hands out nothing
    const uint32_t node = emu::Plug(emu::MakePlainDevice(0x3A7C, 0x0999, emu::VendorTlc(0xFF00, 1, 5, 19, 19, 0)));
    QVERIFY(!HID_API::OpenDevice(node, 0x3A7C, 0x0999));
    QCOMPARE(emu::OpenHandles(node), 0);
}

void TestDeviceClassify::arrivedSecondFamily()
{
    // The page scans at construction: build it first, so that the arrival path finds the mouse.
    HID_API page;
    const uint32_t xw = emu::Plug(emu::MakeDevice(Model::SecondFamilyWired));
    emu::Plug(emu::MakeDevice(Model::KeyboardWired));
    QList<DeviceRecord *> out;
    page.OpenArrivedDevices(out, xw, 0x3A7C, 0x0301);
    QCOMPARE(out.size(), 2);
    QCOMPARE(int(out[0]->kind), 6);
    QCOMPARE(int(out[1]->kind), 8);
    QCOMPARE(out[0]->deviceId, xw);
    QCOMPARE(out[0]->path, emu::PathOf(xw));
    // an id already in the device map is skipped
    QList<DeviceRecord *> again;
    page.DeviceMap().insert(xw, out[0]);
    page.OpenArrivedDevices(again, xw, 0x3A7C, 0x0301);
    QVERIFY(again.isEmpty());
    page.DeviceMap().clear();
    // other ids are not second-family interfaces
    page.OpenArrivedDevices(again, xw, 0x3A7C, 0x0101);
    QVERIFY(again.isEmpty());
    HidCloseAll(out);
}

void TestDeviceClassify::interfaceThatCannotBeOpened()
{
    auto dev = emu::MakeDevice(Model::KeyboardReceiver);
    emu::Knobs k;
    k.failOpen = true;
    dev->setKnobs(k);
    emu::Plug(dev);
    const uint32_t ok = emu::Plug(emu::MakeDevice(Model::MouseReceiver));
    QList<DeviceRecord *> records;
    HID_API::OpenDevices(records);
    QCOMPARE(records.size(), 1);
    QCOMPARE(records[0]->deviceId, ok);
    HidCloseAll(records);
}

void TestDeviceClassify::unknownVendorNeverOpened()
{
    const uint32_t foreign = emu::Plug(emu::MakePlainDevice(0x046D, 0xC077, emu::BootMouseTlc(0)));
    const uint32_t lookalike = emu::Plug(emu::MakePlainDevice(0x1234, 0x0101, emu::VendorTlc(0xFF00, 1, 6, 19, 19, 519)));
    QList<DeviceRecord *> records;
    HID_API::OpenDevices(records);
    QVERIFY(records.isEmpty());
    QCOMPARE(emu::OpenCount(foreign), 0);
    QCOMPARE(emu::OpenCount(lookalike), 0);
}

void TestDeviceClassify::truncatedAndNonsenseDescriptors()
{
    const QByteArray good = emu::VendorTlc(0xFF00, 2, 5, 19, 19, 0);
    const uint32_t a = emu::Plug(emu::MakePlainDevice(0x3A7C, 0x0102, good.left(good.size() - 4)));
    const uint32_t b = emu::Plug(emu::MakePlainDevice(0x3A7C, 0x0102, QByteArray::fromHex("c0c0c0ffff")));
    const uint32_t c = emu::Plug(emu::MakePlainDevice(0x3A7C, 0x0102, QByteArray()));
    QList<DeviceRecord *> records;
    HID_API::OpenDevices(records);
    QVERIFY(records.isEmpty());
    QCOMPARE(emu::OpenCount(a) + emu::OpenCount(b) + emu::OpenCount(c), 0);
    QVERIFY(!HID_API::OpenDevice(a, 0x3A7C, 0x0102));
}

void TestDeviceClassify::statusRead()
{
    auto dev = std::static_pointer_cast<emu::Device20>(emu::MakeDevice(Model::KeyboardReceiver));
    const uint32_t node = emu::Plug(dev);
    QList<DeviceRecord *> records;
    HID_API::OpenDevices(records);
    QCOMPARE(records.size(), 1);
    DeviceRecord *r = records[0];
    unsigned char buf[20] = {};
    int status = 99;
    // time-out: 0, not a failure
    QCOMPARE(hid_read_timeout_status(r, buf, 20, 20, &status), 0);
    QCOMPARE(status, 0);
    // a boot keyboard report (id 1) on the same node belongs to another TLC: dropped
    QByteArray boot(9, '\0');
    boot[0] = 1;
    boot[1] = 0x0A; // would look like a status notice
    dev->PushInput(boot);
    QCOMPARE(hid_read_timeout_status(r, buf, 20, 30, &status), 0);
    // sleep/wake notices
    dev->InjectNotice(2, 1);
    QCOMPARE(hid_read_timeout_status(r, buf, 20, 100, &status), 20);
    QCOMPARE(status, 1);
    QCOMPARE(int(buf[0]), 5);
    dev->InjectNotice(2, 0);
    QCOMPARE(hid_read_timeout_status(r, buf, 20, 100, &status), 20);
    QCOMPARE(status, -1);
    // battery notice: no sleep/wake status
    dev->InjectNotice(5, 77);
    QCOMPARE(hid_read_timeout_status(r, buf, 20, 100, &status), 20);
    QCOMPARE(status, 0);
    // a short buffer gets at most its length
    dev->InjectNotice(2, 1);
    QCOMPARE(hid_read_timeout_status(r, buf, 4, 100, &status), 4);
    QCOMPARE(status, 0); // too short to carry bytes 5 and 6
    // unplugged: -1 at once, with the error text kept
    emu::Unplug(node);
    QElapsedTimer t;
    t.start();
    QCOMPARE(hid_read_timeout_status(r, buf, 20, 5000, &status), -1);
    QVERIFY(t.elapsed() < 1000);
    QCOMPARE(r->LastError(), QStringLiteral("GetOverlappedResult"));
    HidCloseAll(records);
}

void TestDeviceClassify::lookups()
{
    QVERIFY(!HID_API::ProductFlagByVidPid(0x3A7C, 0x0301)); // QX3: isZrRtu 0
    QVERIFY(HID_API::ProductFlagByVidPid(0x3A7C, 0x0102));
    QVERIFY(!HID_API::ProductFlagByVidPid(0x1234, 0x0102));
    QVERIFY(HID_API::IsProductKind4(0x3A7C, 0x0302));
    QVERIFY(!HID_API::IsProductKind4(0x3A7C, 0x0201));
    QVERIFY(HID_API::IsKnownProductCode(QStringLiteral("3a7c01010001")));
    QVERIFY(HID_API::IsKnownProductCode(QStringLiteral("3A7C02010001")));
    QVERIFY(!HID_API::IsKnownProductCode(QStringLiteral("000000000000")));
    QVERIFY(!HID_API::IsKnownProductCode(QString()));
    QCOMPARE(HID_API::FindProductByCode(QStringLiteral("xx3A7C03010001yy")).folder, QStringLiteral("QX3"));
    QCOMPARE(HID_API::FindProductByCode(QStringLiteral("3a7c03010001")).folder, QStringLiteral("QX3")); // as a worker stores it
    QCOMPARE(HID_API::FindProduct(0x3A7C, 0x0202, true).size(), 1);
    QVERIFY(IdPairMatches(0x3A7C, 0x0101, ProductIds{0x0101, 0x3A7C, 6}));
    QVERIFY(!IdPairMatches(0x3A7C, 0x0101, std::nullopt));
}

void TestDeviceClassify::hotplugNotices()
{
    platform::HidHotplugSource *source = platform::HidHotplugSource::instance();
    QVERIFY(source->isMonitoring());
    // Notices of the earlier cases' plugs may still be queued: let them pass first.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QSignalSpy spy(source, &platform::HidHotplugSource::DeviceNotice);
    const uint32_t node = emu::Plug(emu::MakeDevice(Model::MouseReceiver));
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy[0][0].toBool(), true);
    QCOMPARE(spy[0][1].toUInt(), node);
    QCOMPARE(spy[0][2].value<ushort>(), ushort(0x3A7C));
    QCOMPARE(spy[0][3].value<ushort>(), ushort(0x0202));
    emu::Unplug(node);
    QTRY_COMPARE(spy.count(), 2);
    QCOMPARE(spy[1][0].toBool(), false);
    QCOMPARE(spy[1][1].toUInt(), node);
    // the removed node's sysfs name is still known, as udev's DEVPATH is
    QCOMPARE(InterfaceDeviceId(emu::PathOf(node)), node);
}

QTEST_MAIN(TestDeviceClassify)
#include "tst_device_classify.moc"
