// The PixArt request frame: its checksum, the sender's report-id/sequence/length rule and the
// firmware command table.
#include "firmware/PixArtCommandTable.h"

#include <QtTest>

class TestFirmwarePixArtFrame : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void checksum_data();
    void checksum();
    void table();
    void sendRule_data();
    void sendRule();
};

static std::string H(const char *hex)
{
    return QByteArray::fromHex(hex).toStdString();
}

void TestFirmwarePixArtFrame::checksum_data()
{
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<QByteArray>("out");
    QTest::newRow("two bytes unchanged") << QByteArray::fromHex("0377") << QByteArray::fromHex("0377");
    QTest::newRow("wired version query") << QByteArray::fromHex("0300653A0700920102 9200")
                                         << QByteArray::fromHex("03CD653A0700920102 9200");
    QTest::newRow("wireless version query") << QByteArray::fromHex("0300653A080192040292 0000")
                                            << QByteArray::fromHex("03D2653A080192040292 0000");
    QTest::newRow("sum wraps") << QByteArray::fromHex("0300FFFF03") << QByteArray::fromHex("0301FFFF03");
}

void TestFirmwarePixArtFrame::checksum()
{
    QFETCH(QByteArray, in);
    QFETCH(QByteArray, out);
    QCOMPARE(QByteArray::fromStdString(PixArtChecksum(in.toStdString())), out);
}

void TestFirmwarePixArtFrame::table()
{
    QVERIFY(InitPixArtCommandTable());
    const QMap<QString, QList<Cmd>> first = PixArtCommandTable();
    QVERIFY(InitPixArtCommandTable());
    const QMap<QString, QList<Cmd>> &table = PixArtCommandTable();
    QCOMPARE(table.size(), 16);
    int commands = 0, sends = 0;
    for (auto it = table.cbegin(); it != table.cend(); ++it) {
        commands += it.value().size();
        const QList<Cmd> &again = first.value(it.key());
        QCOMPARE(again.size(), it.value().size());
        for (int i = 0; i < again.size(); ++i) {
            const Cmd &c = it.value()[i];
            QCOMPARE(c.out_bytes, again[i].out_bytes);
            QCOMPARE(c.pre_delay_ms, 0u);
            QVERIFY(c.kind == SendFeature || c.kind == GetFeature);
            QCOMPARE(c.name.endsWith("_out"), c.kind == SendFeature);
            QCOMPARE(c.out_bytes[0], '\x03');
            if (c.kind == SendFeature) {
                ++sends;
                QCOMPARE(c.out_bytes, PixArtChecksum(c.out_bytes));
                QCOMPARE(c.out_bytes.substr(2, 2), H("653A"));
                const bool wireless = it.key().startsWith("wireless");
                const bool quirk = (it.key() == "wireless_upgrade_valid" && c.name == "cmd_41_out") ||
                                   c.name == "cmd_43_out";
                QCOMPARE(int(c.out_bytes[5]), wireless && !quirk ? 1 : 0);
            }
        }
    }
    QCOMPARE(commands, 48);
    QCOMPARE(sends, 25);
    QVERIFY(table.contains("wired_upgrade_verify_version"));
    QVERIFY(table.contains("wireless_upgrade_verify_version"));
    const QList<Cmd> ready = PixArtStep("wired_upgrade_send_ready");
    QCOMPARE(ready[0].post_delay_ms, 100u);
    QCOMPARE(QByteArray::fromStdString(ready[5].out_bytes),
             QByteArray::fromHex("03650025 05000E1027000100000000001000001900280000000000 00"));
    QCOMPARE(ready[3].out_bytes, H("032B653A0400420202 4200"));
    QCOMPARE(PixArtStep("wired_upgrade_verify_pass")[1].out_bytes.size(), size_t(42));
    QCOMPARE(PixArtStep("wireless_upgrade_valid")[1].out_bytes.size(), size_t(22));
}

void TestFirmwarePixArtFrame::sendRule_data()
{
    QTest::addColumn<uint>("kind");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("wire");
    QTest::addColumn<int>("sequenceAfter");
    // sequence counter 5 before each case
    QTest::newRow("data packet: length 25, sequence 0")
        << uint(SendFeature) << QByteArray::fromHex("0000653A0000400419") + QByteArray(25, '\x01') << true
        << QByteArray::fromHex("0311653A0000400019") + QByteArray(25, '\x01') << 5;
    QTest::newRow("request: length and sequence") << uint(SendFeature)
        << QByteArray::fromHex("0300653A0400420202 4200") << true << QByteArray::fromHex("032E653A0400420502 4200") << 5;
    QTest::newRow("read: counts the sequence") << uint(GetFeature) << QByteArray::fromHex("0000653A03")
                                              << true << QByteArray::fromHex("03A2653A03") << 6;
    QTest::newRow("64 bytes go out") << uint(SendFeature) << QByteArray::fromHex("0300653A0000400419") + QByteArray(55, '\0')
                                     << true << QByteArray::fromHex("0316653A0000400037") + QByteArray(55, '\0') << 5;
    QTest::newRow("65 bytes refused") << uint(SendFeature) << QByteArray::fromHex("0300653A0000400419") + QByteArray(56, '\0')
                                      << false << QByteArray() << 5;
}

void TestFirmwarePixArtFrame::sendRule()
{
    QFETCH(uint, kind);
    QFETCH(QByteArray, frame);
    QFETCH(bool, ok);
    QFETCH(QByteArray, wire);
    QFETCH(int, sequenceAfter);
    Cmd c("c", kind, 0, 0, frame.toStdString());
    uint8_t sequence = 5;
    QCOMPARE(PixArtPrepareSend(c, sequence), ok);
    QCOMPARE(int(sequence), sequenceAfter);
    if (ok)
        QCOMPARE(QByteArray::fromStdString(c.out_bytes), wire);
}

QTEST_GUILESS_MAIN(TestFirmwarePixArtFrame)
#include "tst_firmware_pixart_frame.moc"
