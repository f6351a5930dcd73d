// The 4-byte macro records and key code tables, both ways, without a window.
#include "macros/QEditMacroPage_Iner.h"

#include <QtTest>

Q_DECLARE_METATYPE(MacroRow)

class TestMacroCodec : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void goldenRecords_data();
    void goldenRecords();
    void keyTablesAreInverse();
    void rowsThatWriteNothing_data();
    void rowsThatWriteNothing();
    void recordsThatMakeNoRow();
};

static MacroRow Key(uint vk, bool down, uint delay) { return MacroRow{2, down, vk, delay}; }
static MacroRow Mouse(uint index, bool down, uint delay) { return MacroRow{1, down, index, delay}; }

void TestMacroCodec::goldenRecords_data()
{
    QTest::addColumn<MacroRow>("row");
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<uint>("message"); // 0 for key rows
    QTest::addColumn<uint>("data");
    QTest::newRow("A down 50") << Key(65, true, 50) << QByteArray::fromHex("00003204") << 0u << 0u;
    QTest::newRow("left Shift up 1234") << Key(160, false, 1234) << QByteArray::fromHex("9004d2e1") << 0u << 0u;
    QTest::newRow("right button down 70000") << Mouse(2, true, 70000) << QByteArray::fromHex("21117002") << 516u << 0u;
    QTest::newRow("first side button up 0") << Mouse(4, false, 0) << QByteArray::fromHex("a0000008") << 524u << 0x10000u;
    QTest::newRow("second side button down") << Mouse(3, true, 7) << QByteArray::fromHex("20000710") << 523u << 0x20000u;
    QTest::newRow("middle up") << Mouse(1, false, 1) << QByteArray::fromHex("a0000104") << 520u << 0u;
    QTest::newRow("keypad Enter up 1048570") << Key(kKeypadEnter, false, 1048570) << QByteArray::fromHex("8ffffa58") << 0u << 0u;
    QTest::newRow("generic Shift is an ordinary key without usage") << Key(16, false, 3) << QByteArray::fromHex("80000300") << 0u << 0u;
    QTest::newRow("right Windows is a modifier") << Key(92, true, 0) << QByteArray::fromHex("100000e7") << 0u << 0u;
}

void TestMacroCodec::goldenRecords()
{
    QFETCH(MacroRow, row);
    QFETCH(QByteArray, record);
    QFETCH(uint, message);
    QFETCH(uint, data);
    // A trailing key-up keeps the row under test from being the last row.
    const QByteArray buffer = QEditMacroPage_Iner::EncodeRows({row, Key(65, false, 1)});
    QCOMPARE(buffer.size(), 8);
    QCOMPARE(buffer.left(4).toHex(), record.toHex());

    const MacroRecordEvent e = QEditMacroPage_Iner::DecodeEvent(record);
    QCOMPARE(e.down, row.down);
    QCOMPARE(e.delay, row.delay);
    if (row.type == 2) {
        QCOMPARE(e.kind, MacroRecordEvent::Key);
        // A key without usage comes back as key code 0 with the empty name.
        const uint back = QEditMacroPage_Iner::VkToDeviceCode(int(row.code)) ? row.code : 0u;
        QCOMPARE(e.code, back);
    } else {
        QCOMPARE(e.kind, MacroRecordEvent::Mouse);
        QCOMPARE(e.code, message);
        QCOMPARE(e.data, data);
    }
}

void TestMacroCodec::keyTablesAreInverse()
{
    int pairs = 0;
    for (int vk = -5; vk < 0x10000; ++vk) {
        const uchar usage = QEditMacroPage_Iner::VkToDeviceCode(vk);
        if (!usage)
            continue;
        ++pairs;
        QCOMPARE(QEditMacroPage_Iner::DeviceCodeToVk(usage), uint(vk));
    }
    QCOMPARE(pairs, 104);
    int back = 0;
    for (int usage = -1; usage < 300; ++usage)
        if (QEditMacroPage_Iner::DeviceCodeToVk(usage))
            ++back;
    QCOMPARE(back, 104);
    QCOMPARE(QEditMacroPage_Iner::DeviceCodeToVk(88), kKeypadEnter);
    QCOMPARE(QEditMacroPage_Iner::KeyName(kKeypadEnter), QStringLiteral("Num Enter"));
    QCOMPARE(QEditMacroPage_Iner::KeyName(13), QStringLiteral("Enter"));
    QCOMPARE(QEditMacroPage_Iner::KeyName(222), QStringLiteral("' ''"));
    QCOMPARE(QEditMacroPage_Iner::KeyName(105), QStringLiteral("Num 9"));
    QCOMPARE(QEditMacroPage_Iner::KeyName(123), QStringLiteral("F12"));
    QVERIFY(QEditMacroPage_Iner::KeyName(124).isEmpty()); // F13
    QVERIFY(QEditMacroPage_Iner::KeyName(224).isEmpty());
}

void TestMacroCodec::rowsThatWriteNothing_data()
{
    QTest::addColumn<QVector<MacroRow>>("rows");
    QTest::addColumn<QByteArray>("buffer");
    QTest::newRow("last key-down dropped") << QVector<MacroRow>{Key(65, true, 5), Key(66, true, 6)} << QByteArray::fromHex("00000504");
    QTest::newRow("last mouse-down kept") << QVector<MacroRow>{Mouse(0, true, 5)} << QByteArray::fromHex("20000501");
    QTest::newRow("delay rows write nothing") << QVector<MacroRow>{MacroRow{3, true, 0, 9}, MacroRow{4, true, 0, 9}, Key(65, false, 2)}
                                              << QByteArray::fromHex("80000204");
    // Past the 20-bit field the delay is held at its largest value, never wrapped.
    QTest::newRow("long pause held") << QVector<MacroRow>{Key(65, false, 0x100000), Key(65, false, 0xFFFFFFFFu)}
                                     << QByteArray::fromHex("8fffff04" "8fffff04");
}

void TestMacroCodec::rowsThatWriteNothing()
{
    QFETCH(QVector<MacroRow>, rows);
    QFETCH(QByteArray, buffer);
    QCOMPARE(QEditMacroPage_Iner::EncodeRows(rows).toHex(), buffer.toHex());
}

void TestMacroCodec::recordsThatMakeNoRow()
{
    for (const char *hex : {"5000010a", "20000103", "a0000000", "f0000004", "000001"})
        QCOMPARE(QEditMacroPage_Iner::DecodeEvent(QByteArray::fromHex(hex)).kind, MacroRecordEvent::None);
}

QTEST_MAIN(TestMacroCodec)
#include "tst_macro_codec.moc"
