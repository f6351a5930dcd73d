#include "app/ProductCatalogue.h"
#include "app/LogWriter.h"
#include "tests/support/TestProgramDir.h"

#include <QtTest>

class TstAppCatalogue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { ClearProductListCache(); }

    void idAttributes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("present");
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("pid");
        QTest::addColumn<int>("rid");
        QTest::newRow("prefixed") << "0x1234|0xABCD|0x05" << true << 0x1234 << 0xABCD << 5;
        QTest::newRow("plain") << "1234|ABCD|5" << true << 0x1234 << 0xABCD << 5;
        QTest::newRow("two parts") << "1234|ABCD" << false << 0 << 0 << 0;
        QTest::newRow("four parts") << "1234|ABCD|5|" << false << 0 << 0 << 0;
        QTest::newRow("16-bit report id kept") << "1|2|0x1FF" << true << 1 << 2 << 0x1FF;
        QTest::newRow("empty") << "" << false << 0 << 0 << 0;
    }
    void idAttributes()
    {
        QFETCH(QString, text);
        QFETCH(bool, present);
        const auto ids = ParseProductIds(text);
        QCOMPARE(ids.has_value(), present);
        if (present) {
            QFETCH(int, vid);
            QFETCH(int, pid);
            QFETCH(int, rid);
            QCOMPARE(int(ids->vid), vid);
            QCOMPARE(int(ids->pid), pid);
            QCOMPARE(int(ids->reportId), rid);
        }
    }

    void families()
    {
        QCOMPARE(int(ParseProductFamily("900")), 1);
        QCOMPARE(int(ParseProductFamily("8805")), 2);
        QCOMPARE(int(ParseProductFamily("XG")), 3);
        QCOMPARE(int(ParseProductFamily("YX")), 4);
        QCOMPARE(int(ParseProductFamily("XS")), 5);
        QCOMPARE(int(ParseProductFamily("yx")), 1);
        QCOMPARE(int(ParseProductFamily("")), 1);
    }

    void sampleCatalogue()
    {
        TestProgramDir dir;
        QVERIFY(dir.isValid());
        const auto list = LoadProductList();
        QCOMPARE(list.size(), 3);
        QCOMPARE(list[0].folder, QStringLiteral("QK75"));
        QCOMPARE(int(list[0].deviceType), 2);
        QVERIFY(list[0].wiredIds && list[0].receiverIds);
        QCOMPARE(int(list[2].family), 4);
        QCOMPARE(list[2].isZrRtu, false);
    }

    void attributesAndDefaults()
    {
        TestProgramDir dir;
        QVERIFY(dir.writeFile("YProduct.xml",
            "<YProduct>"
            "<SubProduct ProductDir='A' ProductTyp='258' Productpassword='ABC12' isZrRtu='2' Productusb='1|2|3' Core='yx'/>"
            "<Other ProductDir='X'/>"
            "<SubProduct ProductDir='B' isZrRtu='abc' ProductBlue='1|2|4' dataLength='x'/>"
            "<SubProduct ProductDir='../evil' Productusb='9|9|9'/>"
            "<SubProduct ProductDir='C' Productpassword='' Productusb='1|2|5'/>"
            "</YProduct>"));
        const auto list = LoadProductList();
        QCOMPARE(list.size(), 3); // "Other" and the unsafe folder are skipped
        QCOMPARE(int(list[0].deviceType), 2);
        QCOMPARE(list[0].isZrRtu, true);
        QCOMPARE(int(list[0].family), 1);
        QCOMPARE(list[1].isZrRtu, false);
        QCOMPARE(list[1].dataLength, 0u);
        QVERIFY(!list[1].wiredIds);
        QVERIFY(list[0].picture.isNull());

        // Wired-only versus any pair; each record once, in catalogue order.
        QCOMPARE(FindProduct(1, 2, false).size(), 2);
        const auto any = FindProduct(1, 2, true);
        QCOMPARE(any.size(), 3);
        QCOMPARE(any[0].folder, QStringLiteral("A"));
        QCOMPARE(any[1].folder, QStringLiteral("B"));
        QCOMPARE(FindProduct(9, 9, true).size(), 0);
        // An absent id block matches nothing, not 0000:0000.
        QCOMPARE(FindProduct(0, 0, true).size(), 0);

        QCOMPARE(FindProductRecord("abc12").folder, QStringLiteral("A"));
        // An empty code means none: it must not pick product C, whose code is empty.
        QCOMPARE(FindProductRecord("").folder, QString());
        QCOMPARE(FindProductRecord("000000000000").folder, QString());

        // A picture name that climbs out of its product folder loads nothing, though the file exists.
        QVERIFY(dir.writeFile("YProduct.xml",
            "<YProduct><SubProduct ProductDir='QK75' Productimage='../QM8/QM8.png' MInImage='QK75_min.png'/></YProduct>"));
        const auto pictures = LoadProductList();
        QCOMPARE(pictures.size(), 1);
        QVERIFY(pictures[0].picture.isNull());
        QVERIFY(!pictures[0].smallPicture.isNull());
    }

    void missingOrMalformedCatalogue()
    {
        TestProgramDir dir;
        QVERIFY(dir.removeFile("YProduct.xml"));
        QVERIFY(LoadProductList().isEmpty());
        const ProductRecord r = FindProductRecord("3A7C01010001");
        QCOMPARE(r.dataLength, 520u);
        QCOMPARE(r.dataLength24g, 20u);
        QCOMPARE(int(r.family), 1);
        QCOMPARE(int(r.deviceType), 0);
        QVERIFY(r.isZrRtu);
        QVERIFY(!r.wiredIds && !r.receiverIds);
        QVERIFY(dir.readFile("Log.txt").contains("YProduct.xml missing"));

        QVERIFY(dir.writeFile("YProduct.xml", "<YProduct><SubProduct ProductDir='A'"));
        QVERIFY(LoadProductList().isEmpty());
        QVERIFY(dir.writeFile("YProduct.xml", "<Products><SubProduct ProductDir='A'/></Products>"));
        QVERIFY(LoadProductList().isEmpty());
        QVERIFY(OpenProductXml().documentElement().tagName() == QLatin1String("Products"));
    }

    void cacheIsKeptUntilEmptied()
    {
        TestProgramDir dir;
        QCOMPARE(GetProductList().size(), 3);
        QVERIFY(dir.writeFile("YProduct.xml", "<YProduct><SubProduct ProductDir='Z'/></YProduct>"));
        QCOMPARE(GetProductList().size(), 3);   // cached
        QCOMPARE(LoadProductList().size(), 1);  // re-read every call
        ClearProductListCache();
        QCOMPARE(GetProductList().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TstAppCatalogue)
#include "tst_app_catalogue.moc"
