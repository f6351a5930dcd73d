// The keyboard layout file and the key-assignment file: parsing, conversions, round trips and
// damaged input.
#include "app/QXM_Process.h"
#include "keyboard/KeyCapText.h"
#include "keyboard/QConfigBuildManage_Pro.h"
#include "keyboard/Zr_KeyBord_Key_Info_toXml.h"
#include "macros/OpenXmlDocument.h"
#include "tests/support/TestProgramDir.h"

#include <QDir>
#include <QDomElement>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QtTest>

class TestKeyboardFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void numbers_data();
    void numbers();
    void layoutParse();
    void sampleKeyboard();
    void layoutForeignRootAndPositions();
    void capTexts();
    void profileRoundTrip();
    void profileDamaged();
    void profileWriterLayers();

private:
    struct Parsed
    {
        QString name = QStringLiteral("keep"), id, images, audio, layers;
        uint16_t typePos = 17;
        LayoutEffectTable effects;
        uint8_t diy = 126, display = 7, speed = 4, luminance = 4;
        LayoutPositions positions;
        LayoutKeyGroups groups;
    };
    Parsed Parse(const QByteArray &xml);
    QString Write(const QByteArray &content);
    TestProgramDir *m_dir = nullptr;
};

void TestKeyboardFiles::init()
{
    m_dir = new TestProgramDir;
    QVERIFY(m_dir->isValid());
}

void TestKeyboardFiles::cleanup()
{
    delete m_dir;
    m_dir = nullptr;
}

QString TestKeyboardFiles::Write(const QByteArray &content)
{
    m_dir->writeFile(QStringLiteral("t.xml"), content);
    return m_dir->filePath(QStringLiteral("t.xml"));
}

TestKeyboardFiles::Parsed TestKeyboardFiles::Parse(const QByteArray &xml)
{
    Parsed p;
    p.effects.insert(200, LayoutEffectEntry());
    p.groups = Zr_KeyBord_Key_Info_toXml().ReadKeyBoardXml(Write(xml), p.name, p.id, p.images, p.audio, p.layers,
                                                             p.typePos, p.effects, p.diy, p.display, p.speed,
                                                             p.luminance, &p.positions);
    return p;
}

void TestKeyboardFiles::numbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("asSigned");
    QTest::addColumn<uint>("asUnsigned");
    QTest::newRow("blanks") << " 12 " << 12 << 12u;
    QTest::newRow("plus") << "+5" << 5 << 5u;
    QTest::newRow("minus") << "-1" << -1 << 0u;
    QTest::newRow("letters") << "abc" << 0 << 0u;
    QTest::newRow("empty") << "" << 0 << 0u;
    QTest::newRow("hex") << "0x10" << 0 << 0u;
    QTest::newRow("beyond 32 bits") << "4294967296" << 0 << 0u;
    QTest::newRow("unsigned max") << "4294967295" << 0 << 4294967295u;
}

void TestKeyboardFiles::numbers()
{
    QFETCH(QString, text);
    QFETCH(int, asSigned);
    QFETCH(uint, asUnsigned);
    QCOMPARE(Zr_KeyBord_Key_Info_toXml::SignedNumber(text), asSigned);
    QCOMPARE(Zr_KeyBord_Key_Info_toXml::UnsignedNumber(text), asUnsigned);
}

void TestKeyboardFiles::layoutParse()
{
    Parsed p = Parse(
        "<KeyBoardRoot><BoardButtonDispModel Model=\"TextAndImage\"/><ProductInfo Id=\"7\"/>"
        "<KeyEffect><Effect NameCode=\"81\" ModelCode=\"1\"/><Effect NameCode=\"337\" luminance_Speedindex=\"70000\""
        " Colour_Index=\"-1\" ModelCode=\"258\" EditModel=\"e\"/><Attribute Typ_Index=\"70000\" DiyNum=\"300\"/>"
        "<EffectStep Speed=\"abc\" luminanceStep=\" 9 \"/></KeyEffect><BoardButtonDispModel Model=\"Border\"/>"
        "<parameterAddrs ios=\"40000\" Mac=\"257\" Win=\"-1\" LuckWin=\"-3\" delayed=\"10\" shake=\"11\" RoR=\"70000\"/>"
        "<KeyArrs><KeyArrsTilte ID=\"0\"/><SubKey KeyName=\"A\" Diypos=\"300\" defunctHide=\"True\"/></KeyArrs>"
        "<KeyArrs><SubKey KeyName=\"B\" defunctHide=\"true\" x=\" 5\" y=\"+6\" width=\"40\" height=\"41\""
        " Effectpos=\"8\" keypos=\"12\" KeyValue=\"0x29\" KeyText=\"@1\"/><KeyArrsTilte ID=\"0\"/><KeyArrsTilte ID=\"2\"/></KeyArrs>"
        "<KeyArrs><!-- none --></KeyArrs><KeyArrs><KeyArrsTilte ID=\"0\"/><SubKey KeyName=\"C\" x=\"2147483647\" y=\"-32768\""
        " width=\"32767\" height=\"-32767\"/></KeyArrs></KeyBoardRoot>");
    QCOMPARE(p.display, uint8_t(2)); // "Border" (other case) keeps the earlier value
    QCOMPARE(p.name, QString()); // a missing attribute overwrites with the empty text
    QCOMPARE(p.id, QStringLiteral("7"));
    QCOMPARE(p.effects.keys(), QList<uint8_t>({81}));
    const LayoutEffectEntry fx = p.effects.value(81); // 337 replaced the first 81
    QCOMPARE(int(fx.luminance_Speedindex), 70000 & 0xFFFF);
    QCOMPARE(int(fx.Colour_Index), 0xFFFF);
    QCOMPARE(int(fx.ModelCode), 2);
    QCOMPARE(fx.EditModel, QStringLiteral("e"));
    QCOMPARE(int(p.typePos), 4464);
    QCOMPARE(int(p.diy), 44);
    QCOMPARE(int(p.speed), 0);
    QCOMPARE(int(p.luminance), 9);
    QCOMPARE(int(p.positions.OsModePos), -25536);
    QCOMPARE(int(p.positions.MacModeValue), 1);
    QCOMPARE(int(p.positions.WinModeValue), 0);
    QCOMPARE(int(p.positions.WinLockPos), -3);
    QCOMPARE(int(p.positions.SleepPos), 10);
    QCOMPARE(int(p.positions.DebouncePos), 11);
    QCOMPARE(int(p.positions.ReportRatePos), 4464);
    QCOMPARE(p.groups.keys(), QList<int32_t>({-1, 0, 2}));
    QCOMPARE(p.groups.value(-1).size(), 0);
    QCOMPARE(p.groups.value(0).size(), 1); // the later group 0 replaced the first
    QCOMPARE(p.groups.value(0).first()->KeyName, QStringLiteral("C"));
    const LayoutKeyRecord *c = p.groups.value(0).first(); // places past signed 16 bits read as 0
    QCOMPARE(QList<int>({c->x, c->y, c->width, c->height}), QList<int>({0, 0, 32767, -32767}));
    const LayoutKeyRecord *b = p.groups.value(2).value(0);
    QVERIFY(b);
    QCOMPARE(int(b->hidden), 1);
    QCOMPARE(QList<int>({b->x, b->y, b->width, b->height, b->Effectpos, b->keypos}), QList<int>({5, 6, 40, 41, 8, 12}));
    QCOMPARE(b->KeyValue, QStringLiteral("0x29"));
    QCOMPARE(b->KeyText, QStringLiteral("@1"));
    Zr_KeyBord_Key_Info_toXml().Clear(p.groups);

    LayoutKeyGroups keysOnly = Zr_KeyBord_Key_Info_toXml().ReadKeyArrs(m_dir->filePath(QStringLiteral("t.xml")));
    QCOMPARE(int(keysOnly.value(2).value(0)->hidden), 0);
    Zr_KeyBord_Key_Info_toXml().Clear(keysOnly);
}

// The sample QK75: its layout, picture and user configuration fit together.
void TestKeyboardFiles::sampleKeyboard()
{
    Parsed p;
    const QString product = m_dir->filePath(QStringLiteral("Products/QK75/"));
    p.groups = Zr_KeyBord_Key_Info_toXml().ReadKeyBoardXml(product + QStringLiteral("QK75_KeyBoed.xml"), p.name, p.id,
                                                             p.images, p.audio, p.layers, p.typePos, p.effects, p.diy,
                                                             p.display, p.speed, p.luminance, &p.positions);
    const QList<LayoutKeyRecord *> keys = p.groups.value(0);
    QVERIFY(keys.size() >= 75);
    QCOMPARE(p.groups.value(2).size(), keys.size());
    QCOMPARE(int(p.display), 1);
    QCOMPARE(p.layers.split(QLatin1Char('|')).size(), 3);
    QVERIFY(p.layers.contains(QLatin1String("@_")));
    for (int pos : {int(p.positions.OsModePos), int(p.positions.WinLockPos), int(p.positions.SleepPos), p.positions.DebouncePos + 1,
                    int(p.positions.ReportRatePos)})
        QVERIFY(pos >= 8 && pos <= 135);
    const QImage picture(product + p.images.split(QLatin1Char('|')).first());
    QVERIFY(!picture.isNull());
    QSet<QString> names;
    QSet<int> keyposSeen, effectSeen;
    for (const LayoutKeyRecord *k : keys) {
        names.insert(k->KeyName);
        QVERIFY(QRect(0, 0, picture.width(), picture.height()).contains(QRect(k->x, k->y, k->width, k->height)));
        QVERIFY(k->keypos >= 8 && k->keypos <= 520 - 4 && !keyposSeen.contains(k->keypos));
        QVERIFY(k->Effectpos + 2 < 520 && !effectSeen.contains(k->Effectpos));
        QVERIFY(k->Diypos + 2 * p.diy < 520);
        keyposSeen.insert(k->keypos);
        effectSeen.insert(k->Effectpos);
        QCOMPARE(bool(k->hidden), k->KeyName == QLatin1String("@27") || k->KeyName == QLatin1String("@31")
                                      || k->KeyName == QLatin1String("@32"));
    }
    for (int i = 1; i <= 20; ++i)
        QVERIFY2(names.contains(QStringLiteral("@%1").arg(i)), qPrintable(QString::number(i)));
    Zr_KeyBord_Key_Info_toXml().Clear(p.groups);
    // the configuration: three layers, the types 0, 3, 5 and 8 and an Fn value on known keys
    KeyProfileLayers layers = QConfigBuildManage_Pro().ReadKeyConfig(product + QStringLiteral("UserConfig/Base.xml"));
    QCOMPARE(layers.size(), 3);
    QSet<int> types;
    for (const KeyLayerTable *t : layers)
        for (const _KeyValueInfo *k : *t) {
            types.insert(k->type);
            QVERIFY(names.contains(k->KeyButtonName));
            if (k->type == 3)
                QVERIFY(QFile::exists(product + QStringLiteral("moidefConfig/%1.bin").arg(k->LeftValue)));
        }
    QCOMPARE(types, QSet<int>({0, 3, 5, 8}));
    for (const KeyLayerTable *t : layers)
        QVERIFY(IsFnValue(*t->value(QStringLiteral("RCtrl"))));
    FreeKeyProfileLayers(layers);
}

void TestKeyboardFiles::layoutForeignRootAndPositions()
{
    Parsed with = Parse("<KeyBoardRoot><parameterAddrs ios=\"20\" Mac=\"3\" Win=\"4\" LuckWin=\"21\"/></KeyBoardRoot>");
    QCOMPARE(int(with.positions.OsModePos), 20);
    QCOMPARE(int(with.positions.DebouncePos), 0);
    Parsed foreign = Parse("<keyboardroot><ProductInfo name=\"x\"/><KeyArrs><SubKey/></KeyArrs></keyboardroot>");
    QVERIFY(foreign.groups.isEmpty());
    QVERIFY(foreign.effects.isEmpty());
    QCOMPARE(foreign.name, QStringLiteral("keep"));
    QCOMPARE(int(foreign.display), 7);
    for (const QByteArray &xml : {QByteArray("<KeyBoardRoot/>"), QByteArray("<KeyBoardRoot><KeyArrs")}) {
        Parsed without = Parse(xml); // never the positions of the keyboard read before
        QCOMPARE(int(without.positions.OsModePos), 8);
        QCOMPARE(int(without.positions.MacModeValue), 1);
        QCOMPARE(int(without.positions.WinModeValue), 0);
        QCOMPARE(int(without.positions.WinLockPos), 0);
    }
}

void TestKeyboardFiles::capTexts()
{
    const QList<QPair<QString, QString>> cases = {
        {"@1", "[\n{"}, {"@3", "|\n\\"}, {"@5", "''\n'"}, {"@11", "=\n+"}, {"@12", "/"},
        {"@14", QStringLiteral("-")}, {"@17", QString(QChar(0x2190))}, {"@20", QString(QChar(0x2193))},
        {"@21", "NULL"}, {"", "NULL"}, {"@0", "NULL"}, {"@01", "NULL"}, {"Esc", "NULL"}};
    for (const auto &c : cases)
        QCOMPARE(KeyCapText(c.first), c.second);
}

void TestKeyboardFiles::profileRoundTrip()
{
    const QString path = Write(
        "<?xml version=\"1.0\"?><KeyBoardRoot><Keylevel_ID ID=\"0\">"
        "<KeyEdit KeyButtonName=\"K0\" LeftValue=\"a\" KeyValueTyp=\"Attrib_KeyValue\" Value=\"NULL\"/>"
        "<KeyEdit KeyButtonName=\"K1\" LeftValue=\"b\" KeyValueTyp=\"Attrib_MouseValue\"/>"
        "<KeyEdit KeyButtonName=\"K2\" LeftValue=\"c\" KeyValueTyp=\"Attrib_MediaValue\"/>"
        "<KeyEdit KeyButtonName=\"K3\" LeftValue=\"m1\" KeyValueTyp=\"Attrib_MacroValue\" Value=\"x\" Lang=\"3\"/>"
        "<KeyEdit KeyButtonName=\"K4\" LeftValue=\"d\" KeyValueTyp=\"Attrib_Order\"/>"
        "<KeyEdit KeyButtonName=\"K5\" LeftValue=\"e\" KeyValueTyp=\"Attrib_Group\" Value=\"NULL\"/>"
        "<KeyEdit KeyButtonName=\"K6\" LeftValue=\"f\" KeyValueTyp=\"Attrib_KeyFn\"/>"
        "<KeyEdit KeyButtonName=\"K7\" LeftValue=\"g\" KeyValueTyp=\"Attrib_KeyFn2\"/>"
        "<KeyEdit KeyButtonName=\"K8\" LeftValue=\"h\" KeyValueTyp=\"attrib_group\"/></Keylevel_ID><Keylevel_ID ID=\"1\">"
        "<KeyEdit KeyButtonName=\"a\" LeftValue=\"A\" KeyValueTyp=\"Attrib_LogitechKey\" Value=\"0d\"/>"
        "<KeyEdit KeyButtonName=\"b\" LeftValue=\"B\" KeyValueTyp=\"Attrib_LogitechKey\" Value=\"0d010000\" Lang=\"-1\"/>"
        "<KeyEdit KeyButtonName=\"c\" LeftValue=\"C\" KeyValueTyp=\"Attrib_LogitechKey\" Value=\"00\"/>"
        "<KeyEdit KeyButtonName=\"d\" LeftValue=\"D\" KeyValueTyp=\"Attrib_LogitechKey\" Value=\"0d0100\"/>"
        "<KeyEdit KeyButtonName=\"e\" LeftValue=\"E\" KeyValueTyp=\"Attrib_LogitechKey\" Value=\"zz01qq02\" Lang=\"3\"/>"
        "<KeyEdit KeyButtonName=\"f\" LeftValue=\"F\" KeyValueTyp=\"Attrib_LogitechKey\" Value=\"NULL\" Lang=\"65535\"/>"
        "</Keylevel_ID></KeyBoardRoot>");
    QConfigBuildManage_Pro store;
    KeyProfileLayers layers = store.ReadKeyConfig(path);
    QCOMPARE(layers.size(), 2);
    QCOMPARE(layers.at(0)->value(QStringLiteral("K8"))->type, 0); // unknown word: basic key
    QCOMPARE(layers.at(0)->value(QStringLiteral("K3"))->Lang, int16_t(-1)); // read for type 8 only
    // name -> value bytes, length, Lang, LeftValue, and the "Value" written back
    struct Case { const char *key; QByteArray bytes; int length; int lang; QString left; const char *written; };
    const QList<Case> cases = {{"a", QByteArray::fromHex("0000000d"), 1, 0, "A", "0d"},
                               {"b", QByteArray::fromHex("0d010000"), 4, 0, "B", "0d010000"},
                               {"c", QByteArray::fromHex("00000000"), 1, 0, "C", "00"},
                               {"d", QByteArray::fromHex("00000000"), 0, 0, "D", "00"},
                               {"e", QByteArray::fromHex("00010002"), 4, 3, GetLangText(3), "00010002"},
                               {"f", QByteArray::fromHex("00000000"), 0, -1, "F", "00"}};
    for (const Case &c : cases) {
        const _KeyValueInfo *k = layers.at(1)->value(QLatin1String(c.key));
        QVERIFY2(k, c.key);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(k->value), 4), c.bytes);
        QCOMPARE(int(k->valueLength), c.length);
        QCOMPARE(int(k->Lang), c.lang);
        QCOMPARE(k->LeftValue, c.left);
    }
    const QString out = m_dir->filePath(QStringLiteral("out.xml"));
    QVERIFY(store.WriteKeyConfig(out, layers, {QStringLiteral("L0"), QStringLiteral("@_N")}, QStringLiteral("QK75")));
    const QDomDocument doc = OpenXmlDocument(out);
    QCOMPARE(doc.documentElement().firstChildElement(QStringLiteral("Product")).attribute(QStringLiteral("name")),
             QStringLiteral("QK75"));
    QHash<QString, QDomElement> written;
    for (QDomElement l = doc.documentElement().firstChildElement(QStringLiteral("Keylevel_ID")); !l.isNull();
         l = l.nextSiblingElement(QStringLiteral("Keylevel_ID")))
        for (QDomElement e = l.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            written.insert(e.attribute(QStringLiteral("KeyButtonName")), e);
    for (const Case &c : cases)
        QCOMPARE(written.value(QLatin1String(c.key)).attribute(QStringLiteral("Value")), QLatin1String(c.written));
    QCOMPARE(written.value(QStringLiteral("e")).attribute(QStringLiteral("LeftValue")), GetLangText(3));
    QCOMPARE(written.value(QStringLiteral("e")).attribute(QStringLiteral("Lang")), QStringLiteral("3"));
    QCOMPARE(written.value(QStringLiteral("K0")).attribute(QStringLiteral("Value")), QStringLiteral("NULL"));
    QCOMPARE(written.value(QStringLiteral("K3")).attribute(QStringLiteral("Value")), QStringLiteral("NULL"));
    QVERIFY(!written.value(QStringLiteral("K5")).hasAttribute(QStringLiteral("Value")));
    QCOMPARE(written.value(QStringLiteral("K8")).attribute(QStringLiteral("KeyValueTyp")), QStringLiteral("Attrib_KeyValue"));
    // read back: the same content, record by record
    KeyProfileLayers again = store.ReadKeyConfig(out);
    QCOMPARE(again.size(), layers.size());
    for (int l = 0; l < layers.size(); ++l) {
        QCOMPARE(QStringList(again.at(l)->keys()).size(), layers.at(l)->size());
        for (auto it = layers.at(l)->cbegin(); it != layers.at(l)->cend(); ++it) {
            const _KeyValueInfo *a = it.value(), *b = again.at(l)->value(it.key());
            QVERIFY(b);
            QCOMPARE(b->type, a->type);
            QCOMPARE(b->LeftValue, a->LeftValue);
            QCOMPARE(KeyValueCode(*b), KeyValueCode(*a));
        }
    }
    FreeKeyProfileLayers(again);
    FreeKeyProfileLayers(layers);
}

void TestKeyboardFiles::profileDamaged()
{
    QConfigBuildManage_Pro store;
    QVERIFY(store.ReadKeyConfig(Write("<KeyBoardRoot><Keylevel_ID ID=\"0\"><KeyEdit")).isEmpty());
    QVERIFY(store.ReadKeyConfig(Write("<Root><Keylevel_ID ID=\"0\"/></Root>")).isEmpty());
    QVector<QStringList> order;
    KeyProfileLayers layers = store.ReadKeyConfig(
        Write("<KeyBoardRoot><Keylevel_ID ID=\"2\"><KeyEdit KeyButtonName=\"X\"/></Keylevel_ID>"
              "<Keylevel_ID ID=\" 0\"><KeyEdit KeyButtonName=\"Q\" LeftValue=\"1\"/><!-- note -->"
              "<KeyEdit KeyButtonName=\"W\"/><keyedit KeyButtonName=\"E\"/>"
              "<KeyEdit KeyButtonName=\"Q\" LeftValue=\"2\"/></Keylevel_ID></KeyBoardRoot>"),
        &order);
    QCOMPARE(layers.size(), 2); // IDs 0 and 2: layer 1 empty, ID 2 never read
    QCOMPARE(layers.at(0)->size(), 2);
    QCOMPARE(layers.at(0)->value(QStringLiteral("Q"))->LeftValue, QStringLiteral("2"));
    QVERIFY(layers.at(1)->isEmpty());
    QCOMPARE(order.value(0), QStringList({QStringLiteral("W"), QStringLiteral("Q")}));
    FreeKeyProfileLayers(layers);
}

void TestKeyboardFiles::profileWriterLayers()
{
    QConfigBuildManage_Pro store;
    KeyProfileLayers layers{new KeyLayerTable, new KeyLayerTable};
    auto *q = new _KeyValueInfo;
    q->KeyButtonName = QStringLiteral("Q");
    layers.at(1)->insert(q->KeyButtonName, q);
    const QString out = m_dir->filePath(QStringLiteral("w.xml"));
    // more names than tables, and more tables than names: every layer is written, none read beyond
    QVERIFY(store.WriteKeyConfig(out, layers, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, QString()));
    KeyProfileLayers three = store.ReadKeyConfig(out);
    QCOMPARE(three.size(), 3);
    QVERIFY(three.at(1)->contains(QStringLiteral("Q")));
    FreeKeyProfileLayers(three);
    QVERIFY(store.WriteKeyConfig(out, layers, {QStringLiteral("a")}, QString()));
    KeyProfileLayers two = store.ReadKeyConfig(out);
    QCOMPARE(two.size(), 2);
    QVERIFY(two.at(1)->contains(QStringLiteral("Q")));
    FreeKeyProfileLayers(two);
    // a folder that cannot be written: false, the old file intact
    const QString dir = m_dir->filePath(QStringLiteral("ro"));
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(store.WriteKeyConfig(dir + QStringLiteral("/p.xml"), layers, {}, QString()));
    const QByteArray before = m_dir->readFile(QStringLiteral("ro/p.xml"));
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool written = store.WriteKeyConfig(dir + QStringLiteral("/p.xml"), KeyProfileLayers(), {}, QString());
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!written) // an administrator writes anyway
        QCOMPARE(m_dir->readFile(QStringLiteral("ro/p.xml")), before);
    QVERIFY(!store.WriteKeyConfig(dir + QStringLiteral("/p.xml/q.xml"), layers, {}, QString()));
    QCOMPARE(m_dir->readFile(QStringLiteral("ro/p.xml")).isEmpty(), false);
    FreeKeyProfileLayers(layers);
}

QTEST_MAIN(TestKeyboardFiles)
#include "tst_keyboard_files.moc"
