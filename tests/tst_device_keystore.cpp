// The keyboard configuration block and colour maps, loaded from the product files.
#include "app/IniOpeners.h"
#include "device/QKeyBoradMApMange.h"
#include "tests/support/TestProgramDir.h"

#include <QSettings>
#include <QtTest>

#include <cstdlib>

class TestDeviceKeystore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void blockCopies();
    void builders();
    void keyInfoRoundTrip();
    void colourMaps();
    void loadFromLayout();
    void hostileLayout();

private:
    TestProgramDir *m_dir = nullptr;
};

void TestDeviceKeystore::init()
{
    m_dir = new TestProgramDir;
    QVERIFY(m_dir->isValid());
}

void TestDeviceKeystore::cleanup()
{
    delete m_dir;
    m_dir = nullptr;
}

void TestDeviceKeystore::blockCopies()
{
    QKeyBoradMApMange store(QStringLiteral("QK75"));
    auto *image = static_cast<uchar *>(malloc(520));
    for (int i = 0; i < 520; ++i)
        image[i] = uchar(i + 1);
    store.SetKeyBlock(image, 520, false);
    uchar *copy = store.KeyBlockCopy(520);
    for (int i = 0; i < 150; ++i)
        QCOMPARE(int(copy[i]), (i + 1) & 0xFF);
    for (int i = 150; i < 520; ++i)
        QCOMPARE(int(copy[i]), 0);
    free(copy);
    store.SetKeyBlock(image, 520, true); // released by the store
    uchar *shortCopy = store.KeyBlockCopy(10); // never shorter than the block
    free(shortCopy);
    QVERIFY(!store.DiyColorMapCopy(420));
    uchar *diy = store.DiyColorMapCopy(421);
    QVERIFY(diy);
    free(diy);
}

void TestDeviceKeystore::builders()
{
    QKeyBoradMApMange store(QStringLiteral("QK75"));
    uchar *p = store.BuildKeyPacket(97, -1, -1);
    QCOMPARE(int(p[1]), 4);
    QCOMPARE(int(p[17]), 1);
    QCOMPARE(int(p[0]), 0); // a model missing from the key map writes no parameter bytes
    free(p);
    p = store.BuildKeyPacket(81, -1, -1);
    QCOMPARE(int(p[17]), 0);
    free(p);
    store.SetKeyRecord(83, {30, 14, 3});
    auto *image = static_cast<uchar *>(calloc(520, 1));
    image[31] = 0x27;
    store.SetKeyBlock(image, 520, true);
    p = store.BuildKeyPacket(83, 3, 9);
    QCOMPARE(int(p[17]), 0);
    QCOMPARE(int(p[18]), 3);    // C after the flag
    QCOMPARE(int(p[30]), 9);    // luminance at A
    QCOMPARE(int(p[31]), 0x37); // speed 3 over 0x27
    free(p);
    p = store.BuildKeyPacketFor(83, true);
    QCOMPARE(int(p[31]), 0x37);
    free(p);
    p = store.BuildKeyPacketFor(83, false);
    QCOMPARE(int(p[31]), 0x30);
    free(p);
    QCOMPARE(int(store.KeyAtFlagPosition()), 83);
    uchar *block = store.KeyBlockCopy(520);
    QCOMPARE(int(block[31]), 0x30); // the block keeps what was built
    free(block);
}

void TestDeviceKeystore::keyInfoRoundTrip()
{
    QKeyBoradMApMange store(QStringLiteral("QK75"));
    store.SetKeyRecord(85, {40, 20, 5});
    free(store.BuildKeyPacket(85, 4, 7));
    free(store.BuildKeyPacketFor(85, true));
    free(store.SetKeyColor(85, 10, 20, 30));
    uchar speed = 0, lum = 0, multi = 0, r = 0, g = 0, b = 0;
    QVERIFY(store.KeyInfo(85, &speed, &lum, &multi, &r, &g, &b));
    QCOMPARE(int(speed), 4);
    QCOMPARE(int(lum), 7);
    QCOMPARE(int(multi), 1);
    QCOMPARE(int(r), 10);
    QCOMPARE(int(g), 20);
    QCOMPARE(int(b), 30);
    QVERIFY(!store.KeyInfo(86, &speed, &lum, &multi, &r, &g, &b));
}

void TestDeviceKeystore::colourMaps()
{
    QKeyBoradMApMange store(QStringLiteral("QK75"));
    store.SetKeyRecord(84, {24, 17, 4});
    store.SetKeyRecord(81, {20, 0, 1});
    QVERIFY(!store.SetKeyColor(81, 1, 2, 3)); // B = 0: no image
    uchar *map = store.SetKeyColor(84, 0xAA, 0xBB, 0xCC);
    QVERIFY(map);
    QCOMPARE(int(map[1]), 0x0A);
    QCOMPARE(int(map[17]), 0xAA);
    QCOMPARE(int(map[19]), 0xCC);
    free(map);
    QSettings *ini = OpenIniFile(m_dir->filePath(QStringLiteral("Products/QK75/QK75_data.ini")));
    const QStringList items = ini->value(QStringLiteral("BaseColorMap/coloMap")).toString().split(QLatin1Char(','));
    delete ini;
    QCOMPARE(items.size(), 520);
    QCOMPARE(items[17], QStringLiteral("aa"));
    QCOMPARE(items[1], QStringLiteral("0a"));
    // -1, -1, -1 only saves the map again
    map = store.SetKeyColor(84, -1, -1, -1);
    QCOMPARE(int(map[17]), 0xAA);
    free(map);
    // a DIY map of 384 bytes keeps the rest zero and saves all 520 items
    auto *diy = static_cast<uchar *>(malloc(520));
    memset(diy, 0x11, 520);
    store.SetDiyColorMap(diy, 384, true);
    uchar *copy = store.DiyColorMapCopy(520);
    QCOMPARE(int(copy[383]), 0x11);
    QCOMPARE(int(copy[384]), 0);
    free(copy);
    ini = OpenIniFile(m_dir->filePath(QStringLiteral("Products/QK75/QK75_data.ini")));
    const QStringList diyItems = ini->value(QStringLiteral("DiyColorMap/coloMap")).toString().split(QLatin1Char(','));
    delete ini;
    QCOMPARE(diyItems.size(), 520);
    QCOMPARE(diyItems[384], QStringLiteral("00"));
}

void TestDeviceKeystore::loadFromLayout()
{
    QKeyBoradMApMange store(QStringLiteral("QK75"));
    store.LoadKeyMap(QStringLiteral("QK75"));
    const auto map = store.KeyMap();
    QCOMPARE(map.size(), 18); // models 81 to 98 of the example layout
    QCOMPARE(map.value(81).A, uint16_t(20));
    QCOMPARE(map.value(81).B, uint16_t(8));
    QCOMPARE(map.value(82).B, uint16_t(11));
    QCOMPARE(map.value(98).C, uint16_t(18));
    QCOMPARE(int(store.FlagPosition()), 17);
    QCOMPARE(int(store.FlagValue()), 126);
}

void TestDeviceKeystore::hostileLayout()
{
    const QByteArray xml =
        "<?xml version=\"1.0\"?><KeyBoardRoot><KeyEffect>"
        "<Effect NameCode=\"81\" luminance_Speedindex=\"600\" Colour_Index=\"3\" ModelCode=\"1\"/>"
        "<Effect NameCode=\"82\" luminance_Speedindex=\"30\" Colour_Index=\"519\" ModelCode=\"2\"/>"
        "<Effect NameCode=\"83\" luminance_Speedindex=\"30\" Colour_Index=\"12\" ModelCode=\"3\"/>"
        "<Attribute Typ_Index=\"65535\" DiyNum=\"1\"/>"
        "</KeyEffect></KeyBoardRoot>";
    QVERIFY(m_dir->writeFile(QStringLiteral("Products/QK75/Evil_KeyBoed.xml"), xml));
    QKeyBoradMApMange store(QStringLiteral("QK75"));
    store.LoadKeyMap(QStringLiteral("Evil"));
    // every entry is kept as listed; the builders skip the positions outside their images
    QCOMPARE(store.KeyMap().size(), 3);
    QCOMPARE(int(store.FlagPosition()), 65535);
    auto built = [](uchar *p) {
        const QByteArray b(reinterpret_cast<const char *>(p), 520);
        free(p);
        return b;
    };
    QByteArray want(520, '\0');
    want[1] = 4;
    want[30] = 2;
    want[31] = 0x20;
    QCOMPARE(built(store.BuildKeyPacket(83, 2, 2)), want);
    QVERIFY(!store.SetKeyColor(82, 1, 2, 3)); // its colour would end past the map
    QByteArray plain = xml;
    QVERIFY(m_dir->writeFile(QStringLiteral("Products/QK75/Evil_KeyBoed.xml"), plain.replace("Typ_Index=\"65535\" ", "")));
    QKeyBoradMApMange fresh(QStringLiteral("QK75"));
    fresh.LoadKeyMap(QStringLiteral("Evil"));
    QCOMPARE(int(fresh.FlagPosition()), 17);
    want.fill('\0');
    want[1] = 4;
    want[18] = 1; // the mode code of an entry whose luminance lies past the block still goes out
    QCOMPARE(built(fresh.BuildKeyPacket(81, 2, 2)), want);
    store.LoadKeyMap(QStringLiteral("../x")); // unsafe name: nothing read
    QCOMPARE(store.KeyMap().size(), 3);
}

QTEST_MAIN(TestDeviceKeystore)
#include "tst_device_keystore.moc"
