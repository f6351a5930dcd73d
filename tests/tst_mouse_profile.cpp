// The mouse user configuration file: reading, the writing rules of assigned names and codes,
// round trips through the page's rows, bad files, and the sample configurations.
#include "app/QXM_Process.h"
#include "mouse/QBackLineMange.h"
#include "mouse/QGradualChangeLine.h"
#include "mouse/QLStyleBoraWidget.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "mouse/QLineInfo.h"
#include "tests/support/TestProgramDir.h"

#include <QDomDocument>
#include <QtTest>

#include <memory>

namespace {
QByteArray Document(const QByteArray &lines, const QByteArray &root = "Backinfos")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<" + root + ">\n"
           "<Hint SLeft=\"1\"/>\n<USer_Defined_Keylevel Names=\"L1|L2\"/>\n"
           "<imageInfo Images=\"a.png|b.png\" MinImage=\"a_min.png\" Count=\"2\"/>\n" + lines + "</" + root + ">\n";
}

QDomElement SubLine(const QDomDocument &doc, int index)
{
    return doc.documentElement().elementsByTagName(QStringLiteral("SubLine")).at(index).toElement();
}
} // namespace

class TstMouseProfile : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<QLStyleMouseTabWidget> m_tab;

    QString Path(const QString &name) const { return m_dir->filePath(QStringLiteral("Products/QM8/UserConfig/") + name); }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TestProgramDir>();
        QXM_Process::instance()->ReloadLanguage(1);
        m_tab = std::make_unique<QLStyleMouseTabWidget>();
    }
    void cleanup()
    {
        m_tab.reset();
        m_dir.reset();
    }

    void readsEveryAttribute()
    {
        QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/UserConfig/mine.xml"), Document(
            "<Lines><levelMap image=\"a.png\"/>"
            "<SubLine Rect=\"1,2,300,40\" DefaultText=\"@244\" DefaultCode=\"01010000\" Slope=\"Linejust\" Direction=\"BDottom\""
            " SendAdderss=\"12\" Change=\"7\" ReName=\"NULL\" Recode=\"NULL\" ValueTyp=\"CODITEM\"/>"
            "<SubLine Rect=\"5,6,7\" DefaultText=\"Side\" DefaultCode=\"01040000\" Slope=\"Linelose\" Direction=\"SUp\""
            " SendAdderss=\"70000\" Change=\"0\" ReName=\"Jump\" Recode=\"0x00\" ValueTyp=\"MACROITEM\"/>"
            "<SubLine Rect=\"x,-3,10,10\" DefaultText=\"\" DefaultCode=\"\" Slope=\"?\" Direction=\"Sideways\""
            " SendAdderss=\"no\" ReName=\"\" Recode=\"\" ValueTyp=\"OTHER\"/>"
            "</Lines>")));
        QString levels = QStringLiteral("kept"), images, small;
        const auto map = QBackLineMange().Read(Path(QStringLiteral("mine.xml")), &levels, &images, &small);
        QCOMPARE(levels, QStringLiteral("L1|L2"));
        QCOMPARE(images, QStringLiteral("a.png|b.png"));
        QCOMPARE(small, QStringLiteral("a_min.png"));
        QCOMPARE(map.keys(), QStringList{QStringLiteral("a.png")});
        const QVector<LineKeyRecord> rows = map.value(QStringLiteral("a.png"));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].rect, QRect(1, 2, 300, 40));
        QCOMPARE(rows[0].defaultText, QStringLiteral("@244"));
        QCOMPARE(rows[0].slope, uint8_t(1));
        QCOMPARE(rows[0].direction, uint8_t(8));
        QCOMPARE(rows[0].sendAddress, uint16_t(12));
        QVERIFY(rows[0].change);
        QVERIFY(rows[0].reName.isEmpty()); // "NULL" reads as nothing assigned
        QVERIFY(rows[0].recode.isEmpty());
        QCOMPARE(rows[1].rect, QRect(5, 6, 7, 0)); // a short rectangle keeps the row, size 0
        QCOMPARE(rows[1].valueType, uint8_t(1));
        QCOMPARE(rows[1].reName, QStringLiteral("Jump"));
        QCOMPARE(rows[1].direction, uint8_t(3));
        QCOMPARE(rows[1].sendAddress, uint16_t(70000 & 0xFFFF));
        QVERIFY(!rows[1].change);
        QCOMPARE(rows[2].rect, QRect(0, 0, 10, 10)); // numbers that do not parse read as 0
        QCOMPARE(rows[2].sendAddress, uint16_t(0));
        QCOMPARE(rows[2].valueType, uint8_t(0));
        QCOMPARE(rows[2].direction, uint8_t(1));
    }

    void rectNumbersPastTheScreenReadAsZero_data()
    {
        QTest::addColumn<QByteArray>("attributes");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("x at int max, short") << QByteArray("Rect=\"2147483647,0,2\"") << QRect(0, 0, 2, 0);
        QTest::newRow("x past int max") << QByteArray("Rect=\"2147483648,0,1,1\"") << QRect(0, 0, 1, 1);
        QTest::newRow("x 2.1e9, down") << QByteArray("Rect=\"2100000000,0,1,1\" Direction=\"SDottom\"")
                                       << QRect(0, 0, 1, 1);
        QTest::newRow("past the bound") << QByteArray("Rect=\"32768,5,65536,7\"") << QRect(0, 5, 0, 7);
        QTest::newRow("at the bound, down") << QByteArray("Rect=\"32767,32767,32767,32767\" Direction=\"BDottom\"")
                                            << QRect(32767, 32767, 32767, 32767);
    }

    void rectNumbersPastTheScreenReadAsZero()
    {
        QFETCH(QByteArray, attributes);
        QFETCH(QRect, rect);
        QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/UserConfig/far.xml"),
                                 Document("<Lines><levelMap image=\"a.png\"/><SubLine " + attributes + "/></Lines>")));
        const auto map = QBackLineMange().Read(Path(QStringLiteral("far.xml")), nullptr, nullptr, nullptr);
        QCOMPARE(map.value(QStringLiteral("a.png")).value(0).rect, rect);
        // the page shows the row and writes it back as it read it
        auto *column = new QGradualChangeLine(QLStyleBoraWidget::instance());
        column->SetColumnName(QStringLiteral("a.png"));
        column->SetLines(map.value(QStringLiteral("a.png")));
        QVERIFY(QBackLineMange().Write(Path(QStringLiteral("far.xml")), QString(), QString(), QString(),
                                       QLStyleBoraWidget::instance()->LineValueMap()));
        QCOMPARE(QBackLineMange().Read(Path(QStringLiteral("far.xml")), nullptr, nullptr, nullptr)
                     .value(QStringLiteral("a.png")).value(0).rect, rect);
        delete column;
    }

    void laterPictureReplacesEarlierAndBadFilesGiveNothing()
    {
        QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/UserConfig/twice.xml"), Document(
            "<Lines><levelMap image=\"a.png\"/><SubLine Rect=\"0,0,1,1\" SendAdderss=\"8\"/>"
            "<SubLine Rect=\"0,0,1,1\" SendAdderss=\"12\"/></Lines>"
            "<Lines><levelMap image=\"a.png\"/><SubLine Rect=\"0,0,1,1\" SendAdderss=\"40\"/></Lines>")));
        const auto map = QBackLineMange().Read(Path(QStringLiteral("twice.xml")), nullptr, nullptr, nullptr);
        QCOMPARE(map.value(QStringLiteral("a.png")).size(), 1);
        QCOMPARE(map.value(QStringLiteral("a.png")).first().sendAddress, uint16_t(40));

        QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/UserConfig/other.xml"),
                                 Document("<Lines><levelMap image=\"a.png\"/><SubLine SendAdderss=\"8\"/></Lines>", "Other")));
        QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/UserConfig/cut.xml"), Document("").left(60)));
        for (const QString &name : {QStringLiteral("other.xml"), QStringLiteral("cut.xml"), QStringLiteral("none.xml")}) {
            QString levels = QStringLiteral("kept");
            QVERIFY2(QBackLineMange().Read(Path(name), &levels, nullptr, nullptr).isEmpty(), qPrintable(name));
            QCOMPARE(levels, QStringLiteral("kept"));
        }
    }

    void writingRulesOfNamesAndCodes()
    {
        auto *column = new QGradualChangeLine(QLStyleBoraWidget::instance());
        column->SetColumnName(QStringLiteral("a.png"));
        LineKeyRecord left;
        left.rect = QRect(-4, 6, 200, 50);
        left.defaultText = QStringLiteral("@244");
        left.defaultCode = QStringLiteral("01010000");
        LineKeyRecord disabled = left;
        disabled.defaultText = QStringLiteral("Right");
        disabled.reName = QStringLiteral("@250");
        disabled.recode = QStringLiteral("00000000");
        LineKeyRecord off = disabled;
        off.reName = QStringLiteral("Nothing");
        LineKeyRecord macro = disabled;
        macro.reName = QStringLiteral("Jump");
        macro.recode = QStringLiteral("03000000");
        macro.valueType = 1;
        LineKeyRecord custom = disabled;
        custom.reName = QStringLiteral("Copy");
        custom.recode = QStringLiteral("02000600");
        LineKeyRecord macroNoCode = macro;
        macroNoCode.recode = QStringLiteral("0x00");
        column->SetLines({left, disabled, off, macro, custom, macroNoCode});
        column->Lines()[2]->SetNameId(0);
        column->Lines()[3]->SetNameId(250); // a macro keeps its name even when it has a name id

        const QString path = Path(QStringLiteral("written.xml"));
        QVERIFY(QBackLineMange().Write(path, QStringLiteral("NULL"), QStringLiteral("a.png|b.png|"), QStringLiteral("m.png"),
                                       QLStyleBoraWidget::instance()->LineValueMap()));
        QDomDocument doc;
        QVERIFY(doc.setContent(m_dir->readFile(QStringLiteral("Products/QM8/UserConfig/written.xml"))));
        QCOMPARE(doc.documentElement().firstChildElement().tagName(), QStringLiteral("Hint"));
        QCOMPARE(doc.documentElement().firstChildElement(QStringLiteral("imageInfo")).attribute(QStringLiteral("Count")),
                 QStringLiteral("3")); // the empty last part counts
        QCOMPARE(SubLine(doc, 0).attribute(QStringLiteral("Rect")), QStringLiteral("4,6,200,50"));
        QCOMPARE(SubLine(doc, 0).attribute(QStringLiteral("DefaultText")), QStringLiteral("@244"));
        QCOMPARE(SubLine(doc, 0).attribute(QStringLiteral("Recode")), QStringLiteral("NULL"));
        // an unassigned button stores no name of its own, so it keeps following the language
        QCOMPARE(SubLine(doc, 0).attribute(QStringLiteral("ReName")), QStringLiteral("NULL"));
        QCOMPARE(SubLine(doc, 1).attribute(QStringLiteral("ReName")), QStringLiteral("@250"));
        QCOMPARE(SubLine(doc, 1).attribute(QStringLiteral("Recode")), QStringLiteral("00000000"));
        QCOMPARE(SubLine(doc, 2).attribute(QStringLiteral("ReName")), QStringLiteral("NULL"));
        QCOMPARE(SubLine(doc, 3).attribute(QStringLiteral("ReName")), QStringLiteral("Jump"));
        QCOMPARE(SubLine(doc, 3).attribute(QStringLiteral("ValueTyp")), QStringLiteral("MACROITEM"));
        QCOMPARE(SubLine(doc, 4).attribute(QStringLiteral("ReName")), QStringLiteral("Copy"));
        QCOMPARE(SubLine(doc, 5).attribute(QStringLiteral("Recode")), QStringLiteral("NULL"));
        QCOMPARE(SubLine(doc, 5).attribute(QStringLiteral("ReName")), QStringLiteral("Jump"));
    }

    void roundTripThroughThePage()
    {
        QString levels, images, small;
        const QString sample = Path(QStringLiteral("imageAndLines.xml"));
        const auto first = QBackLineMange().Read(sample, &levels, &images, &small);
        QVERIFY(!first.isEmpty());
        for (auto it = first.cbegin(); it != first.cend(); ++it) {
            auto *column = new QGradualChangeLine(QLStyleBoraWidget::instance());
            column->SetColumnName(it.key());
            column->SetLines(it.value());
        }
        // the user gives one button a macro, then the page is saved and read back
        QLineInfo *row = QLStyleBoraWidget::instance()->LineValues().at(3);
        row->SetValueType(1);
        row->SetReName(QStringLiteral("Jump"));
        row->SetRecode(QStringLiteral("0x00"));
        const QString saved = Path(QStringLiteral("Saved.xml"));
        QVERIFY(QBackLineMange().Write(saved, levels, images, small, QLStyleBoraWidget::instance()->LineValueMap()));
        QString levels2, images2, small2;
        const auto second = QBackLineMange().Read(saved, &levels2, &images2, &small2);
        QCOMPARE(levels2, levels);
        QCOMPARE(images2, images);
        QCOMPARE(small2, small);
        QCOMPARE(second.keys(), first.keys());
        const QVector<LineKeyRecord> a = first.first(), b = second.first();
        QCOMPARE(b.size(), a.size());
        for (int i = 0; i < a.size(); ++i) {
            QCOMPARE(b[i].rect, a[i].rect);
            QCOMPARE(b[i].defaultText, a[i].defaultText);
            QCOMPARE(b[i].defaultCode, a[i].defaultCode);
            QCOMPARE(b[i].slope, a[i].slope);
            QCOMPARE(b[i].direction, a[i].direction);
            QCOMPARE(b[i].sendAddress, a[i].sendAddress);
            QCOMPARE(b[i].change, a[i].change);
            QCOMPARE(b[i].reName, i == 3 ? QStringLiteral("Jump") : QString());
            QCOMPARE(b[i].valueType, uint8_t(i == 3 ? 1 : 0));
        }
    }

    void unwritablePathReportsFailure()
    {
        QVERIFY(m_dir->writeFile(QStringLiteral("Products/QM8/UserConfig/blocker"), "a file, not a folder"));
        const QString path = Path(QStringLiteral("blocker/inside.xml"));
        QVERIFY(!QBackLineMange().Write(path, QString(), QString(), QString(), {}));
        QVERIFY(!QFile::exists(path));
    }

    void sampleConfigurations()
    {
        // two pictures holding the eight callout directions; "Burst" is a user's file with a macro row
        for (const QString &product : {QStringLiteral("QM8"), QStringLiteral("QX3")}) {
            for (const QString &file : {QStringLiteral("imageAndLines"), QStringLiteral("Base"), QStringLiteral("Base/Base"),
                                        QStringLiteral("Burst")}) {
                QString images;
                const auto map = QBackLineMange().Read(
                    m_dir->filePath(QStringLiteral("Products/%1/UserConfig/%2.xml").arg(product, file)), nullptr, &images, nullptr);
                QCOMPARE(images, QStringLiteral("%1_top.png|%1_side.png").arg(product));
                QSet<uint16_t> addresses;
                QSet<int> directions;
                int leftButtons = 0, macros = 0;
                for (const QString &image : images.split(QLatin1Char('|'))) {
                    QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("Products/%1/%2").arg(product, image))));
                    QCOMPARE(map.value(image).size(), 4);
                    for (const LineKeyRecord &r : map.value(image)) {
                        QCOMPARE(r.defaultCode.size(), 8);
                        QVERIFY(QRect(0, 0, 900, 630).contains(r.rect));
                        addresses.insert(r.sendAddress);
                        directions.insert(r.direction);
                        leftButtons += r.defaultText == QLatin1String("@244") ? 1 : 0;
                        macros += r.valueType == 1 && r.reName == QLatin1String("Burst") ? 1 : 0;
                    }
                }
                QCOMPARE(addresses.size(), 8);
                QCOMPARE(directions.size(), 8);
                QCOMPARE(leftButtons, 1);
                QCOMPARE(macros, file == QLatin1String("Burst") ? 1 : 0);
            }
            QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("Products/%1/moidefConfig/Burst.bin").arg(product))));
        }
    }
};

QTEST_MAIN(TstMouseProfile)
#include "tst_mouse_profile.moc"
