// The Linux HID layer: report-descriptor parsing into TLCs with Windows-style lengths, sysfs
// names and Windows paths as device ids.
#include "platform/HidDescriptor.h"
#include "platform/HidIdentity.h"
#include "tests/emu/EmuControl.h"

#include <QtTest>

using platform::HidTlc;
using platform::ParseReportDescriptor;

class TestPlatformHid : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void vendorTlcLengths();
    void compositeKeyboardNode();
    void secondFamilyNode();
    void bootKeyboardWithoutIds();
    void realMouseDescriptorBytes();
    void malformedDescriptors_data();
    void malformedDescriptors();
    void sysfsNames_data();
    void sysfsNames();
    void windowsPaths_data();
    void windowsPaths();
};

void TestPlatformHid::vendorTlcLengths()
{
    bool ok = false;
    const auto tlcs = ParseReportDescriptor(emu::VendorTlc(0xFF00, 0x01, 6, 19, 19, 519), &ok);
    QVERIFY(ok);
    QCOMPARE(tlcs.size(), 1);
    QCOMPARE(tlcs[0].usagePage, uint16_t(0xFF00));
    QCOMPARE(tlcs[0].usage, uint16_t(0x01));
    QCOMPARE(tlcs[0].inputLength, 20);
    QCOMPARE(tlcs[0].outputLength, 20);
    QCOMPARE(tlcs[0].featureLength, 520);
    QVERIFY(tlcs[0].usesReportIds);
    QCOMPARE(tlcs[0].inputIds, QVector<uint8_t>{6});
    QCOMPARE(tlcs[0].featureIds, QVector<uint8_t>{6});
}

void TestPlatformHid::compositeKeyboardNode()
{
    // wired keyboard: 520-byte feature TLC (id 6), 20/20 TLC (id 5), boot keyboard (id 1)
    const QByteArray d = emu::VendorTlc(0xFF00, 1, 6, 0, 0, 519) + emu::VendorTlc(0xFF00, 2, 5, 19, 19, 0)
                         + emu::BootKeyboardTlc(1);
    bool ok = false;
    const auto tlcs = ParseReportDescriptor(d, &ok);
    QVERIFY(ok);
    QCOMPARE(tlcs.size(), 3);
    QCOMPARE(tlcs[0].featureLength, 520);
    QCOMPARE(tlcs[0].inputLength, 0);
    QCOMPARE(tlcs[0].outputLength, 0);
    QVERIFY(tlcs[0].inputIds.isEmpty());
    QCOMPARE(tlcs[1].inputLength, 20);
    QCOMPARE(tlcs[1].outputLength, 20);
    QCOMPARE(tlcs[1].featureLength, 0);
    QCOMPARE(tlcs[1].inputIds, QVector<uint8_t>{5});
    QCOMPARE(tlcs[2].usagePage, uint16_t(0x01));
    QCOMPARE(tlcs[2].usage, uint16_t(0x06));
    QCOMPARE(tlcs[2].inputLength, 9);  // 8 bytes + id
    QCOMPARE(tlcs[2].outputLength, 2); // 5 LED bits + 3 padding + id
    QCOMPARE(tlcs[2].inputIds, QVector<uint8_t>{1});
}

void TestPlatformHid::secondFamilyNode()
{
    const QByteArray d = emu::VendorTlc(0xFF02, 1, 3, 0, 0, 63) + emu::VendorTlc(0xFF02, 2, 3, 31, 63, 0);
    const auto tlcs = ParseReportDescriptor(d);
    QCOMPARE(tlcs.size(), 2);
    QCOMPARE(tlcs[0].featureLength, 64);
    QCOMPARE(tlcs[1].outputLength, 64);
    QCOMPARE(tlcs[1].inputLength, 32);
}

void TestPlatformHid::bootKeyboardWithoutIds()
{
    const auto tlcs = ParseReportDescriptor(emu::BootKeyboardTlc(0));
    QCOMPARE(tlcs.size(), 1);
    QVERIFY(!tlcs[0].usesReportIds);
    QCOMPARE(tlcs[0].inputLength, 9); // the id byte is always counted, as on Windows
    QVERIFY(tlcs[0].inputIds.isEmpty());
}

void TestPlatformHid::realMouseDescriptorBytes()
{
    // A common 3-button mouse descriptor, byte for byte (HID 1.11 appendix E.10 style).
    const QByteArray d = QByteArray::fromHex(
        "05010902a1010901a100050919012903150025019503750181029501750581010501093009311581257f750895028106c0c0");
    bool ok = false;
    const auto tlcs = ParseReportDescriptor(d, &ok);
    QVERIFY(ok);
    QCOMPARE(tlcs.size(), 1);
    QCOMPARE(tlcs[0].usage, uint16_t(2));
    QCOMPARE(tlcs[0].inputLength, 4);
    QCOMPARE(tlcs[0].outputLength, 0);
    QCOMPARE(tlcs[0].featureLength, 0);
}

void TestPlatformHid::malformedDescriptors_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = emu::VendorTlc(0xFF00, 1, 5, 19, 19, 0);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("truncated item") << good.left(good.size() - 3);
    QTest::newRow("cut in a 2-byte value") << QByteArray::fromHex("0600");
    QTest::newRow("end without collection") << QByteArray::fromHex("c0");
    QTest::newRow("collection never closed") << QByteArray::fromHex("06 00ff 0901 a101 8505 7508 9513 8102");
    QTest::newRow("main item outside collection") << QByteArray::fromHex("7508 9513 8102");
    QTest::newRow("report id 0") << QByteArray::fromHex("0600ff0901a10185007508951381 02c0");
    QTest::newRow("pop without push") << QByteArray::fromHex("b4");
    QTest::newRow("absurd report count") << QByteArray::fromHex("0600ff0901a1017508 97ffffff00 8102 c0");
    QTest::newRow("garbage") << QByteArray::fromHex("fffefdfc");
}

void TestPlatformHid::malformedDescriptors()
{
    QFETCH(QByteArray, bytes);
    bool ok = true;
    const auto tlcs = ParseReportDescriptor(bytes, &ok);
    QVERIFY(!ok);
    QVERIFY(tlcs.isEmpty());
}

void TestPlatformHid::sysfsNames_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<uint>("id");
    QTest::addColumn<uint>("vid");
    QTest::addColumn<uint>("pid");
    QTest::newRow("sysfs path") << "/sys/devices/pci0000:00/usb1/1-1/1-1:1.0/0003:258A:0138.000B/hidraw/hidraw3"
                                << 0xBu << 0x258Au << 0x0138u;
    QTest::newRow("bare name") << "0003:3A7C:0101.0001" << 1u << 0x3A7Cu << 0x0101u;
    QTest::newRow("udev devpath") << "/devices/virtual/misc/uhid/0005:046D:B012.0010/hidraw/hidraw7"
                                  << 0x10u << 0x046Du << 0xB012u;
    QTest::newRow("sequence 0") << "0003:258A:0138.0000" << 0u << 0u << 0u;
    QTest::newRow("no name") << "/dev/hidraw3" << 0u << 0u << 0u;
    QTest::newRow("bad hex") << "0003:25ZA:0138.000B" << 0u << 0u << 0u;
    QTest::newRow("empty") << "" << 0u << 0u << 0u;
}

void TestPlatformHid::sysfsNames()
{
    QFETCH(QString, text);
    QFETCH(uint, id);
    QFETCH(uint, vid);
    QFETCH(uint, pid);
    const platform::HidIdentity identity = platform::ParseHidSysfsName(text);
    QCOMPARE(identity.deviceId, id);
    QCOMPARE(uint(identity.vendorId), vid);
    QCOMPARE(uint(identity.productId), pid);
}

void TestPlatformHid::windowsPaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<uint>("id");
    QTest::newRow("Windows path with interface number") << "\\\\?\\hid#vid_258a&pid_0138&mi_01#7&2a8b4b3f&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}"
                                  << 0x2A8B4B3Fu;
    QTest::newRow("no third part") << "\\\\?\\hid#vid_258a&pid_0138" << 0u;
    QTest::newRow("one field") << "a#b#7" << 0u;
    QTest::newRow("not hex") << "a#b#7&zz&0" << 0u;
    QTest::newRow("hidraw") << "/dev/hidraw3" << 0u;
}

void TestPlatformHid::windowsPaths()
{
    QFETCH(QString, path);
    QFETCH(uint, id);
    QCOMPARE(platform::WindowsDeviceIdFromPath(path), id);
}

QTEST_GUILESS_MAIN(TestPlatformHid)
#include "tst_platform_hid.moc"
