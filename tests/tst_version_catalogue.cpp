#include "app/ProductCatalogue.h"
#include "app/ProgramVersion.h"
#include "device/DeviceRecord.h"
#include "firmware/QWebDeviceVersionCheck.h"
#include "tests/support/TestProgramDir.h"

#include <QtTest>

namespace {

const char *const Catalogue = R"(<?xml version="1.0" encoding="UTF-8"?>
<UpdataProduct>
    <firm name="QUORIX"/>
    <UpdataClass Name="Drive" versions="1.0.58.0" path="http://127.0.0.1/QUORIX Setup.exe" OPenUpdataKeyborad="on"/>
    <UpdataClass Name="QUORIX QM8">
        <Item Typ="Wired" Open="on" Version="V10" recpath="wired-1.bin"/>
        <Item Typ="Wired" Open="on" Version="V11" recpath="wired-2.bin"/>
        <Item Typ="Wireless" Open="off" Version="V12" recpath="rx.bin"/>
        <Item Typ="Wired_8K" Open="on" Version="V13" recpath="w8.bin"/>
    </UpdataClass>
    <UpdataClass Name="QUORIX QM8_PixArt">
        <Item Typ="Wired_8K" Open="on" Version="V1A" recpath="p8.bin" exepath="x"/>
        <Item Typ="Wireless_4K" Open="on" Version="1A" recpath="p4.bin"/>
        <Item Typ="Wireless_8K" Open="off" Version="V99" recpath="no.bin"/>
    </UpdataClass>
    <UpdataClass Name="">
        <Item Typ="Wired" Open="on" Version="V1"/>
    </UpdataClass>
    <firm name="OTHERBRAND"/>
    <UpdataClass Name="QUORIX QM8_Geehy">
        <Item Typ="Wired_8K" Open="on" Version="V05"/>
    </UpdataClass>
</UpdataProduct>
)";

void setRateText(TestProgramDir &dir, const QByteArray &rate)
{
    QByteArray xml = dir.readFile("YProduct.xml");
    xml.replace("maxRor=\"4000\"", "maxRor=\"" + rate + "\"");
    QVERIFY(dir.writeFile("YProduct.xml", xml));
    ClearProductListCache();
}

} // namespace

class TstVersionCatalogue : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void programVersionsCompareByPart()
    {
        QVERIFY(IsNewerProgramVersion("1.0.58.0", "1.0.57.0"));
        QVERIFY(IsNewerProgramVersion("1.1.0.0", "1.0.57.0"));
        QVERIFY(IsNewerProgramVersion("2.0", "1.9.99.99"));
        QVERIFY(!IsNewerProgramVersion("1.0.57.0", "1.0.57.0"));
        QVERIFY(!IsNewerProgramVersion("1.0.100.0", "1.1.0.0"));
        QVERIFY(!IsNewerProgramVersion("1.0.56.9", "1.0.57.0"));
        // Nothing usable in the catalogue offers nothing; nothing installed takes any offer.
        QVERIFY(!IsNewerProgramVersion("", "1.0.57.0"));
        QVERIFY(!IsNewerProgramVersion("new", "1.0.57.0"));
        QVERIFY(!IsNewerProgramVersion("1.0.58.0beta", "1.0.57.0"));
        QVERIFY(IsNewerProgramVersion(" 1.0.58.0 ", "garbage"));
        QVERIFY(IsNewerProgramVersion("1.0.58.0", ""));
        QVERIFY(!IsNewerProgramVersion("1.0.57", "1.0.57.0"));
        QVERIFY(!IsNewerProgramVersion("1.0.57.0", "1.0.57"));
        QVERIFY(!IsNewerProgramVersion("1..57", "1.0"));
    }

    void catalogueIsReadUpToAForeignBrand()
    {
        TestProgramDir dir;
        QVERIFY(dir.writeFile("Buff/cat.xml", Catalogue));
        QWebDeviceVersionCheck *checker = QWebDeviceVersionCheck::Instance();
        QVERIFY(checker->ParseCatalogue(dir.filePath("Buff/cat.xml")));
        QCOMPARE(checker->DriveVersion(), QStringLiteral("1.0.58.0"));
        QCOMPARE(checker->DriveDownloadPath(), QStringLiteral("http://127.0.0.1/QUORIX Setup.exe"));
        QVERIFY(checker->KeyboardUpdateSwitch());

        CatalogueClass *cls = checker->ClassNamed("QUORIX QM8");
        QVERIFY(cls);
        QVERIFY(cls->wired);
        QCOMPARE(cls->wired->recpath, QStringLiteral("wired-2.bin")); // the later wired entry
        QCOMPARE(cls->wired->name, QStringLiteral("QUORIX QM8"));
        QVERIFY(!cls->receiver);                                      // "off" is not kept
        QCOMPARE(cls->further.size(), 1);
        CatalogueClass *pix = checker->ClassNamed("QUORIX QM8_PixArt");
        QVERIFY(pix);
        QCOMPARE(pix->further.size(), 2);
        QCOMPARE(pix->further.at(0)->exepath, QStringLiteral("x"));
        QCOMPARE(pix->further.at(1)->typ, QStringLiteral("Wireless_4K"));
        QVERIFY(!checker->ClassNamed(""));
        QVERIFY(!checker->ClassNamed("QUORIX QM8_Geehy")); // after the foreign brand
    }

    void unusableFilesChangeNothing()
    {
        TestProgramDir dir;
        QWebDeviceVersionCheck *checker = QWebDeviceVersionCheck::Instance();
        QVERIFY(dir.writeFile("Buff/cat.xml", Catalogue));
        QVERIFY(checker->ParseCatalogue(dir.filePath("Buff/cat.xml")));
        QVERIFY(dir.writeFile("Buff/cut.xml", QByteArray(Catalogue).left(300)));
        QVERIFY(dir.writeFile("Buff/root.xml", "<Other><UpdataClass Name=\"Drive\" versions=\"9.9\"/></Other>"));
        QVERIFY(dir.writeFile("Buff/html.xml", "<html><body>502 Bad Gateway</body>"));
        for (const char *name : {"Buff/cut.xml", "Buff/root.xml", "Buff/html.xml", "Buff/none.xml"})
            QVERIFY2(!checker->ParseCatalogue(dir.filePath(name)), name);
        QCOMPARE(checker->DriveVersion(), QStringLiteral("1.0.58.0"));
        QVERIFY(checker->ClassNamed("QUORIX QM8"));
    }

    void laterCataloguesReplaceClassesAndTheSwitch()
    {
        TestProgramDir dir;
        QWebDeviceVersionCheck *checker = QWebDeviceVersionCheck::Instance();
        QVERIFY(dir.writeFile("Buff/cat.xml", Catalogue));
        QVERIFY(checker->ParseCatalogue(dir.filePath("Buff/cat.xml")));
        QVERIFY(dir.writeFile("Buff/next.xml",
                              "<UpdataProduct><UpdataClass Name=\"Drive\" versions=\"1.1.0.0\" path=\"p\" OPenUpdataKeyborad=\"close\"/>"
                              "<UpdataClass Name=\"QUORIX QM8\"><I Typ=\"Wireless\" Open=\"on\" Version=\"V2\"/></UpdataClass>"
                              "</UpdataProduct>"));
        QVERIFY(checker->ParseCatalogue(dir.filePath("Buff/next.xml")));
        QCOMPARE(checker->DriveVersion(), QStringLiteral("1.1.0.0"));
        QVERIFY(!checker->KeyboardUpdateSwitch()); // longer than 4 characters
        CatalogueClass *cls = checker->ClassNamed("QUORIX QM8");
        QVERIFY(cls && !cls->wired && cls->receiver);
        QVERIFY(checker->ClassNamed("QUORIX QM8_PixArt")); // classes not named again stay
        QVERIFY(dir.writeFile("Buff/four.xml",
                              "<UpdataProduct><UpdataClass Name=\"Drive\" versions=\"1\" OPenUpdataKeyborad=\"4444\"/></UpdataProduct>"));
        QVERIFY(checker->ParseCatalogue(dir.filePath("Buff/four.xml")));
        QVERIFY(checker->KeyboardUpdateSwitch());
    }

    void devicesFindTheirEntries()
    {
        TestProgramDir dir;
        setRateText(dir, "84");
        QWebDeviceVersionCheck *checker = QWebDeviceVersionCheck::Instance();
        QVERIFY(dir.writeFile("Buff/cat.xml", Catalogue));
        QVERIFY(checker->ParseCatalogue(dir.filePath("Buff/cat.xml")));

        DeviceRecord wired;
        wired.name = "QUORIX QM8";
        wired.vendorId = 0x3A7C;
        wired.productId = 0x0201;
        wired.connectionState = StateWired;
        QCOMPARE(checker->EntryKey(&wired), QStringLiteral("Wired_8K"));
        QVERIFY(checker->FindPixArtEntry(&wired));
        QCOMPARE(checker->FindPixArtEntry(&wired)->recpath, QStringLiteral("p8.bin"));
        QCOMPARE(checker->PixArtVersion(&wired), 0x1A);
        QCOMPARE(checker->GeehyVersion(&wired), -1);
        QVERIFY(checker->DeviceEntries(&wired) == checker->ClassNamed("QUORIX QM8"));

        DeviceRecord rx;
        rx.name = "QUORIX QM8";
        rx.vendorId = 0x3A7C;
        rx.productId = 0x0202;
        rx.connectionState = StateWirelessAsleep;
        QCOMPARE(checker->EntryKey(&rx), QStringLiteral("Wireless_4K"));
        QCOMPARE(checker->PixArtVersion(&rx), 0xA); // "1A": the first character is dropped
        // on a receiver whose ids are no product's receiver pair: the wired digit, the receiver prefix
        wired.connectionState = StateWirelessAwake;
        QCOMPARE(checker->EntryKey(&wired), QStringLiteral("Wireless_8K"));
        wired.connectionState = StateWired;

        // A device without name is found through its product's display name, but has no chip class.
        DeviceRecord unnamed;
        unnamed.vendorId = 0x3A7C;
        unnamed.productId = 0x0201;
        QVERIFY(checker->DeviceEntries(&unnamed) == checker->ClassNamed("QUORIX QM8"));
        QVERIFY(!checker->FindPixArtEntry(&unnamed));

        DeviceRecord stranger;
        stranger.name = "QUORIX QM8";
        stranger.vendorId = 0x1234;
        stranger.productId = 0x5678;
        QVERIFY(checker->EntryKey(&stranger).isEmpty());
        QCOMPARE(checker->PixArtVersion(&stranger), -1);
        QVERIFY(!checker->DeviceEntries(nullptr));
    }

    void shortOrOddRateTextsGiveNoKey()
    {
        QCOMPARE(QWebDeviceVersionCheck::MakeEntryKey(false, "84"), QStringLiteral("Wired_8K"));
        QCOMPARE(QWebDeviceVersionCheck::MakeEntryKey(true, "84"), QStringLiteral("Wireless_4K"));
        QVERIFY(QWebDeviceVersionCheck::MakeEntryKey(true, "8").isEmpty());
        QVERIFY(QWebDeviceVersionCheck::MakeEntryKey(false, "").isEmpty());
        QVERIFY(QWebDeviceVersionCheck::MakeEntryKey(false, "x4").isEmpty());
        QCOMPARE(QWebDeviceVersionCheck::EntryVersionNumber("V1A"), 26);
        QCOMPARE(QWebDeviceVersionCheck::EntryVersionNumber("VZZ"), 0);
        QCOMPARE(QWebDeviceVersionCheck::EntryVersionNumber(""), 0);
    }
};

QTEST_MAIN(TstVersionCatalogue)
#include "tst_version_catalogue.moc"
