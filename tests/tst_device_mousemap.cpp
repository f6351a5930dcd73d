// The mouse memory map read from "DpiEditConfig.xml", and the outside-object mouse worker
// driven by a scripted device object.
#include "device/DeviceRecord.h"
#include "device/DpiConfigRecord.h"
#include "device/MouseConfigRecord.h"
#include "device/OutsideMouseDevice.h"
#include "device/QDpiConfigMange.h"
#include "device/ZR_DLL_MouseThread.h"
#include "tests/support/TestProgramDir.h"

#include <QtTest>
#include <memory>

namespace {
// A device object answering from a script; unanswered parameters leave their outputs alone.
class FakeOutsideMouse : public OutsideMouseDevice
{
public:
    QByteArray version = "01.02.03.04";
    QVector<uint32_t> dpis{400, 800, 1600, 3200};
    uint32_t current = 800;
    QMap<int, QVector<int>> params;
    QList<int> asked;
    void Version(QByteArray &text) override { text = version; }
    void DpiList(QVector<uint32_t> &values) override { values = dpis; }
    uint32_t CurrentDpi() override { return current; }
    void Parameter(int index, int &a, int &b, int &c, int &d) override
    {
        asked.append(index);
        if (!params.contains(index))
            return;
        const QVector<int> v = params.value(index);
        a = v.value(0, a); b = v.value(1, b); c = v.value(2, c); d = v.value(3, d);
    }
};
} // namespace

class TestDeviceMouseMap : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sampleMapsOfBothMice();
    void absentMarksAndRanges();
    void missingOrForeignFiles();
    void duplicatesAndCase();
    void checkedAddresses();
    void outsideObjectFillsRecord();
    void outsideObjectInvalidVersionOrNone();
};

static DpiConfigRecord *ParseText(TestProgramDir &dir, const QString &body)
{
    dir.writeFile(QStringLiteral("Products/QM8/DpiEditConfig.xml"),
                  (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") + body).toUtf8());
    return QDpiConfigMange().Read(QStringLiteral("QM8"));
}

void TestDeviceMouseMap::sampleMapsOfBothMice()
{
    TestProgramDir dir;
    for (const QString &product : {QStringLiteral("QM8"), QStringLiteral("QX3")}) {
        std::unique_ptr<DpiConfigRecord> r(QDpiConfigMange().Read(product));
        QVERIFY2(r, qPrintable(product));
        QCOMPARE(r->sensorAddress, 11);
        QCOMPARE(r->sensorName, QStringLiteral("PAW3395"));
        QCOMPARE(r->rorValues, QStringList({"125", "250", "500", "1000"}));
        QCOMPARE(r->lodAddress, 10);
        QCOMPARE(r->lodPort, uint8_t(2));
        QCOMPARE(r->moveUpPort, uint8_t(1));
        QCOMPARE(r->xDpiAddress, 16);
        QCOMPARE(r->yDpiAddress, 48);
        QCOMPARE(r->colorsAddress, 100);
        QCOMPARE(r->currentDpiAddress, 12);
        // the fixed write positions of the worker are the product's addresses
        QCOMPARE(r->motionSyncAddress, 13);
        QCOMPARE(r->rippleAddress, 14);
        QCOMPARE(r->sleepAddress, 82);
        QCOMPARE(r->effectAddress, 83);
        QCOMPARE(r->sleepRangeFirst, uint8_t(1));
        QCOMPARE(r->sleepRangeSecond, uint8_t(60));
        QCOMPARE(r->shakeRangeSecond, uint8_t(14));
    }
}

void TestDeviceMouseMap::absentMarksAndRanges()
{
    TestProgramDir dir;
    std::unique_ptr<DpiConfigRecord> r(ParseText(dir, QStringLiteral(
        "<DpiEditModel>"
        "<MouseROR OPen=\"-1\" Address=\"9\" port=\"BACK\" data=\"1|2\"/>"
        "<MouseLod OPen=\"0\" Address=\"10\" data=\"null\"/>"
        "<MouseMoveUp Address=\"10\" data=\"a||b\"/>"
        "<MouseSeep OPen=\"0\" Address=\"82\" data=\"5\"/>"
        "<MouseShakeTime OPen=\"0\" Address=\"13\" data=\"2|900\"/>"
        "<WheelSpeed OPen=\"-1\"/>"
        "<MouseSensor OPen=\"0\" Address=\"x1\" port=\"FRONT\" data=\"A|B\"/>"
        "</DpiEditModel>")));
    QVERIFY(r);
    QCOMPARE(r->rorAddress, -1);
    QVERIFY(r->rorValues.isEmpty());
    QCOMPARE(r->rorPort, uint8_t(3)); // not read after OPen=-1
    QCOMPARE(r->lodAddress, -1);
    QCOMPARE(r->moveUpAddress, 10);
    QCOMPARE(r->moveUpValues, QStringList({"a", "", "b"})); // empty parts kept
    QCOMPARE(r->sleepRangeFirst, uint8_t(0));
    QCOMPARE(r->sleepRangeSecond, uint8_t(0));
    QCOMPARE(r->shakeRangeFirst, uint8_t(2));
    QCOMPARE(r->shakeRangeSecond, uint8_t(255)); // clamped, not 900 & 0xFF
    QVERIFY(!r->wheelSpeed);
    QCOMPARE(r->sensorAddress, 0); // a number that does not parse reads as 0
    QCOMPARE(r->sensorName, QStringLiteral("A|B"));
    QCOMPARE(r->sensorPort, uint8_t(1));
}

void TestDeviceMouseMap::missingOrForeignFiles()
{
    TestProgramDir dir;
    QDpiConfigMange m;
    QVERIFY(!m.Read(QString()));
    QVERIFY(!m.Read(QStringLiteral("../QM8")));
    QVERIFY(!m.Read(QStringLiteral("NoSuchProduct")));
    QVERIFY(!ParseText(dir, QStringLiteral("<DpiModel/>")));
    QVERIFY(!ParseText(dir, QStringLiteral("<DpiEditModel><MouseROR")));
    std::unique_ptr<DpiConfigRecord> empty(ParseText(dir, QStringLiteral("<DpiEditModel/>")));
    QVERIFY(empty);
    const DpiConfigRecord fresh;
    for (int32_t a : {empty->sensorAddress, empty->rorAddress, empty->lodAddress, empty->moveUpAddress,
                      empty->sleepAddress, empty->effectAddress, empty->motionSyncAddress, empty->shakeAddress,
                      empty->rippleAddress, empty->lineAddress, empty->currentDpiAddress, empty->xDpiAddress,
                      empty->yDpiAddress, empty->colorsAddress})
        QCOMPARE(a, -1);
    QCOMPARE(empty->shakeRangeSecond, uint8_t(14));
    QCOMPARE(empty->motionSyncPort, fresh.motionSyncPort);
}

void TestDeviceMouseMap::duplicatesAndCase()
{
    TestProgramDir dir;
    std::unique_ptr<DpiConfigRecord> r(ParseText(dir, QStringLiteral(
        "<DpiEditModel><MouseEffect Address=\"83\" data=\"1|2\"/><mouseeffect Address=\"7\" data=\"9\"/>"
        "<!-- a comment --><MouseEffect Address=\"84\" data=\"3\"/></DpiEditModel>")));
    QVERIFY(r);
    QCOMPARE(r->effectAddress, 84);
    QCOMPARE(r->effectValues, QStringList({"3"}));
}

void TestDeviceMouseMap::checkedAddresses()
{
    QCOMPARE(DpiConfigRecord::Checked(-1, 520), -1);
    QCOMPARE(DpiConfigRecord::Checked(519, 520), 519);
    QCOMPARE(DpiConfigRecord::Checked(520, 520), -1);
    QCOMPARE(DpiConfigRecord::Checked(1 << 30, 520), -1);
}

void TestDeviceMouseMap::outsideObjectFillsRecord()
{
    DeviceRecord device;
    ZR_DLL_MouseThread worker;
    worker.SetDevice(&device);
    FakeOutsideMouse fake;
    fake.params = {{1, {600}}, {2, {1000}}, {3, {1}}, {4, {0}}, {5, {8}}, {6, {1}},
                   {8, {3, 0x1A2, 0x07}}, {9, {-1}}}; // 7 is never answered; battery says -1
    worker.SetOutsideDevice(&fake);
    worker.SynchronizingDeviceData();
    const std::shared_ptr<MouseConfigRecord> r = device.mouseData;
    QVERIFY(r);
    QCOMPARE(fake.asked, QList<int>({1, 2, 3, 4, 5, 6, 7, 8, 9}));
    QCOMPARE(r->stageCount, uint8_t(4));
    QCOMPARE(r->currentStage, uint8_t(0));
    QCOMPARE(r->currentDpi, 800u);
    QCOMPARE(r->dpiValues, QVector<uint32_t>({400, 800, 1600, 3200}));
    QCOMPARE(r->sensorCode, uint8_t(0xFF));
    QCOMPARE(r->sleep, 600u);
    QCOMPARE(r->reportRate, uint16_t(1000));
    QCOMPARE(r->debounce, uint16_t(8));
    QCOMPARE(r->liftOff, uint16_t(0xFFFF)); // unanswered: absent, not parameter 6's value
    QCOMPARE(r->lightEffect, uint16_t(3));
    QCOMPARE(r->lightParam1, uint8_t(0xA2));
    QCOMPARE(r->lightParam2, uint8_t(7));
    QCOMPARE(r->batteryLevel, uint8_t(0)); // never 255 %
}

void TestDeviceMouseMap::outsideObjectInvalidVersionOrNone()
{
    DeviceRecord device;
    auto old = std::make_shared<MouseConfigRecord>();
    device.mouseData = old;
    ZR_DLL_MouseThread worker;
    worker.SetDevice(&device);
    worker.SynchronizingDeviceData(); // no object: the old record stays
    QCOMPARE(device.mouseData, old);
    FakeOutsideMouse fake;
    fake.version = "00.00.00.00";
    worker.SetOutsideDevice(&fake);
    worker.SynchronizingDeviceData();
    QVERIFY(!device.mouseData);
    QVERIFY(fake.asked.isEmpty());
    QVERIFY(old); // a page still holding the old record keeps it
}

QTEST_MAIN(TestDeviceMouseMap)
#include "tst_device_mousemap.moc"
