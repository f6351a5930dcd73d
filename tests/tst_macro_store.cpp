// The macro store: file layout, round trips, refused files, renames and listings.
#include "macros/QJsonConfing.h"
#include "keyboard/QConfigBuildManage_Pro.h"
#include "tests/support/TestProgramDir.h"

#include <QRegularExpression>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {
// While it lives no file grows past `bytes`: a longer write fails (EFBIG), even for root.
struct FileSizeLimit
{
    rlimit before{};
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit limit = before;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &before); }
};

// A keyboard configuration of one layer laid out as the program writes it: keys K0.. playing
// the macros named, then `plain` basic keys.
QByteArray KeyConfig(const QStringList &macros, int plain = 0)
{
    QByteArray xml("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<KeyBoardRoot>\n    <Keylevel_ID ID=\"0\" name=\"0\">\n");
    for (int i = 0; i < macros.size(); ++i)
        xml += QStringLiteral("        <KeyEdit KeyButtonName=\"K%1\" LeftValue=\"%2\" KeyValueTyp=\"Attrib_MacroValue\" Value=\"NULL\"/>\n")
                   .arg(i).arg(macros.at(i)).toUtf8();
    for (int i = 0; i < plain; ++i)
        xml += QStringLiteral("        <KeyEdit KeyButtonName=\"P%1\" LeftValue=\"A\" KeyValueTyp=\"Attrib_KeyValue\" Value=\"NULL\"/>\n").arg(i).toUtf8();
    return xml + "    </Keylevel_ID>\n</KeyBoardRoot>\n";
}

// The macro each key K0.. of the configuration's first layer plays.
QStringList KeyMacros(const QString &path)
{
    KeyProfileLayers layers = QConfigBuildManage_Pro().ReadKeyConfig(path);
    QStringList names;
    for (int i = 0; !layers.isEmpty() && layers.at(0)->contains(QStringLiteral("K%1").arg(i)); ++i)
        names << layers.at(0)->value(QStringLiteral("K%1").arg(i))->LeftValue;
    FreeKeyProfileLayers(layers);
    return names;
}
} // namespace

class TestMacroStore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void fileLayout();
    void roundTrip_data();
    void roundTrip();
    void refusedFiles_data();
    void refusedFiles();
    void rename();
    void renameRefused();
    void listing();

private:
    QString Write(const QString &name, const QByteArray &records, int runWay = 1, int runOne = 1);
    TestProgramDir *m_dir = nullptr;
    QString m_folder;
};

void TestMacroStore::init()
{
    m_dir = new TestProgramDir;
    m_folder = m_dir->filePath(QStringLiteral("Products/QK75/moidefConfig"));
    QVERIFY(QDir().mkpath(m_folder));
}

void TestMacroStore::cleanup()
{
    delete m_dir;
    m_dir = nullptr;
}

QString TestMacroStore::Write(const QString &name, const QByteArray &records, int runWay, int runOne)
{
    QJsonConfing store(m_folder);
    if (!store.WriteMacroFile(name, QJsonConfing::ImageToHex(QJsonConfing::MacroImage(name, records)), runWay, runOne))
        return QString();
    return m_folder + QLatin1Char('/') + name + QStringLiteral(".bin");
}

void TestMacroStore::fileLayout()
{
    const QString path = Write(QStringLiteral("abc"), QByteArray::fromHex("00003204"), 4, 3);
    QVERIFY(!path.isEmpty());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(f.readAll());
    const QRegularExpression stamp(QStringLiteral("\"Time\": \"(\\d{4}-\\d\\d-\\d\\d  \\d\\d-\\d\\d-\\d\\d)\""));
    QVERIFY(stamp.match(text).hasMatch());
    text.replace(stamp, QStringLiteral("\"Time\": \"T\""));
    QCOMPARE(text, QStringLiteral("{\n"
                                  "    \"abc\": {\n"
                                  "        \"RunOne\": 3,\n"
                                  "        \"RunWay\": 4,\n"
                                  "        \"Time\": \"T\",\n"
                                  "        \"buffsize\": 8,\n"
                                  "        \"mdfdata\": \"0x030x610x620x630x000x000x320x04\"\n"
                                  "    }\n"
                                  "}\n"));
}

void TestMacroStore::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("records");
    QByteArray full;
    for (int i = 0; i < 151 * 4; ++i)
        full.append(char(i * 13));
    QTest::newRow("no records") << QStringLiteral("empty") << QByteArray();
    QTest::newRow("non-ASCII name") << QStringLiteral("宏一") << QByteArray::fromHex("00003204");
    QTest::newRow("151 records") << QStringLiteral("long") << full;
    QTest::newRow("dotted name") << QStringLiteral("a.b") << QByteArray::fromHex("a0000008");
}

void TestMacroStore::roundTrip()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, records);
    const QString path = Write(name, records, 2, 7);
    QVERIFY(!path.isEmpty());
    QJsonConfing store(m_folder);
    QVERIFY(store.MacroFileExists(name));
    int way = -1, one = -1;
    const QVector<uchar> image = store.ReadMacroData(name, &way, &one);
    const QByteArray utf8 = name.toUtf8();
    QCOMPARE(int(image.value(0)), utf8.size()); // bytes, not characters
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(image.constData()), image.size()), QJsonConfing::MacroImage(name, records));
    QCOMPARE(QJsonConfing::MacroRecords(image), records);
    QCOMPARE(QJsonConfing::ReadMacroEvents(path), records);
    QCOMPARE(way, 2);
    QCOMPARE(one, 7);
    way = one = -1;
    QJsonConfing::ReadRunMode(path, &way, &one);
    QCOMPARE(way, 2);
    QCOMPARE(one, 7);
}

void TestMacroStore::refusedFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // empty: no file
    QTest::addColumn<bool>("imageRead");     // the editor still gets the image
    const QByteArray over = "{\"big\": {\"RunWay\": 1, \"mdfdata\": \"" + QJsonConfing::ImageToHex(QByteArray(2049, 'x')).toLatin1() + "\"}}";
    QTest::newRow("not JSON") << "m" << QByteArray("{\"m\": {\"RunWay\": 1,") << false;
    QTest::newRow("member of another name") << "m" << QByteArray("{\"n\": {\"RunWay\": 1, \"mdfdata\": \"0x010x6d0x000x000x000x04\"}}") << false;
    QTest::newRow("not two hex digits") << "m" << QByteArray("{\"m\": {\"RunWay\": 1, \"mdfdata\": \"0x010x6d0xzz0x000x000x04\"}}") << false;
    QTest::newRow("three digits are not a byte") << "m" << QByteArray("{\"m\": {\"RunWay\": 1, \"mdfdata\": \"0x010x6d0x1ff0x000x000x04\"}}") << false;
    QTest::newRow("plain hex") << "m" << QByteArray("{\"m\": {\"RunWay\": 1, \"mdfdata\": \"016d00000004\"}}") << false;
    QTest::newRow("over 2048 bytes") << "big" << over << false;
    QTest::newRow("no RunWay") << "m" << QByteArray("{\"m\": {\"RunOne\": 1, \"mdfdata\": \"0x010x6d0x000x000x000x04\"}}") << true;
    QTest::newRow("image shorter than its name") << "m" << QByteArray("{\"m\": {\"RunWay\": 1, \"mdfdata\": \"0x090x6d\"}}") << true;
    QTest::newRow("record cut short") << "m" << QByteArray("{\"m\": {\"RunWay\": 1, \"mdfdata\": \"0x010x6d0x000x000x00\"}}") << true;
    QTest::newRow("name leaves the folder") << "../m" << QByteArray() << false;
    QTest::newRow("name with a backslash") << "a\\b" << QByteArray() << false;
    QTest::newRow("name with a NUL") << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b")) << QByteArray() << false;
}

// Nothing a device could be sent comes out of a refused file, and nothing reads past it.
void TestMacroStore::refusedFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, imageRead);
    if (!content.isEmpty())
        QVERIFY(m_dir->writeFile(QStringLiteral("Products/QK75/moidefConfig/%1.bin").arg(name), content));
    QJsonConfing store(m_folder);
    int way = -7, one = -7;
    const QVector<uchar> image = store.ReadMacroData(name, &way, &one);
    QCOMPARE(!image.isEmpty(), imageRead);
    if (!imageRead) {
        QCOMPARE(way, -7);
        QCOMPARE(one, -7);
    }
    QVERIFY(QJsonConfing::ReadMacroEvents(m_folder + QLatin1Char('/') + name + QStringLiteral(".bin")).isEmpty());
    QVERIFY(!store.WriteMacroFile(name + QStringLiteral("/x"), QStringLiteral("0x00"), 1, 1));
}

void TestMacroStore::rename()
{
    const QByteArray records = QByteArray::fromHex("0000320480003204");
    QVERIFY(!Write(QStringLiteral("old"), records, 2, 9).isEmpty());
    QVERIFY(m_dir->writeFile(QStringLiteral("Products/QK75/UserConfig/Base.xml"),
                             m_dir->readFile(QStringLiteral("Products/QK75/UserConfig/Base.xml")).replace("Macro1", "old")));
    QJsonConfing store(m_folder);
    // a name that leaves the folder, or a taken name, moves nothing
    QVERIFY(!Write(QStringLiteral("taken"), records).isEmpty());
    QVERIFY(!store.RenameMacro(QStringLiteral("old"), QStringLiteral("../x")));
    QVERIFY(!store.RenameMacro(QStringLiteral("old"), QStringLiteral("taken")));
    QVERIFY(store.MacroFileExists(QStringLiteral("old")));

    // every key that plays it, in every keyboard configuration of the folder, follows it
    const QString configs = m_dir->filePath(QStringLiteral("Products/QK75/UserConfig"));
    QVERIFY(store.RenameMacro(QStringLiteral("old"), QStringLiteral("新名"), configs));
    QVERIFY(!store.MacroFileExists(QStringLiteral("old")));
    QVERIFY(m_dir->readFile(QStringLiteral("Products/QK75/UserConfig/Base.xml")).contains("LeftValue=\"新名\""));
    int way = 0, one = 0;
    const QVector<uchar> image = store.ReadMacroData(QStringLiteral("新名"), &way, &one);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(image.constData()), image.size()), QJsonConfing::MacroImage(QStringLiteral("新名"), records));
    QCOMPARE(way, 2);
    QCOMPARE(one, 9);

    // renaming to the same name keeps the macro
    QVERIFY(store.RenameMacro(QStringLiteral("新名"), QStringLiteral("新名")));
    QVERIFY(store.MacroFileExists(QStringLiteral("新名")));

    // a target that cannot be written whole (its name is too long for the file system) keeps the old file
    const QString tooLong(260, QLatin1Char('x'));
    QVERIFY(!store.RenameMacro(QStringLiteral("新名"), tooLong));
    QVERIFY(!store.WriteMacroFile(tooLong, QStringLiteral("0x00"), 1, 1));
    QVERIFY(store.MacroFileExists(QStringLiteral("新名")));
    QVERIFY(!QFileInfo::exists(m_folder + QLatin1Char('/') + tooLong + QStringLiteral(".bin")));
}

void TestMacroStore::renameRefused()
{
    QVERIFY(!Write(QStringLiteral("old"), QByteArray::fromHex("00003204")).isEmpty());
    const QString configs = m_dir->filePath(QStringLiteral("Products/QK75/UserConfig"));
    QVERIFY(QFile::remove(configs + QStringLiteral("/Base.xml")));
    QJsonConfing store(m_folder);
    QStringList unchanged;
    QJsonConfing::RenameFault fault = QJsonConfing::RenameFault::None;
    // A holds a key that played "new" before (its macro deleted since); B, larger than the
    // limit, cannot be rewritten: only the key renamed goes back, and "new" is not left behind
    QVERIFY(m_dir->writeFile(QStringLiteral("Products/QK75/UserConfig/A.xml"), KeyConfig({"old", "new", "old"})));
    QVERIFY(m_dir->writeFile(QStringLiteral("Products/QK75/UserConfig/B.xml"), KeyConfig({"old"}, 600)));
    {
        FileSizeLimit limit(16 * 1024);
        QVERIFY(!store.RenameMacro(QStringLiteral("old"), QStringLiteral("new"), configs, &unchanged, &fault));
    }
    QCOMPARE(fault, QJsonConfing::RenameFault::Configurations);
    QCOMPARE(unchanged, QStringList{"B"});
    QCOMPARE(KeyMacros(configs + QStringLiteral("/A.xml")), QStringList({"old", "new", "old"}));
    QVERIFY(store.MacroFileExists(QStringLiteral("old")) && !store.MacroFileExists(QStringLiteral("new")));

    // the new file is written before any key names it: when A's put-back fails too (it grows
    // back past the limit), its keys play "n", whose file is there, and "old" stays for B
    const QByteArray a = KeyConfig(QVector<QString>(2000, QStringLiteral("old")).toList());
    QVERIFY(m_dir->writeFile(QStringLiteral("Products/QK75/UserConfig/A.xml"), a));
    QVERIFY(m_dir->writeFile(QStringLiteral("Products/QK75/UserConfig/B.xml"), KeyConfig({"old"}, 3000)));
    {
        FileSizeLimit limit(a.size() - 2000); // A renamed is 4000 bytes shorter
        QVERIFY(!store.RenameMacro(QStringLiteral("old"), QStringLiteral("n"), configs, &unchanged, &fault));
    }
    QCOMPARE(fault, QJsonConfing::RenameFault::NotPutBack);
    QCOMPARE(unchanged, QStringList{"A"});
    QCOMPARE(KeyMacros(configs + QStringLiteral("/A.xml")), QVector<QString>(2000, QStringLiteral("n")).toList());
    QVERIFY(store.MacroFileExists(QStringLiteral("n")) && store.MacroFileExists(QStringLiteral("old")));
}

void TestMacroStore::listing()
{
    for (const char *rel : {"b.bin", "A.bin", "a.b.bin", "C.BIN", "sub/deep.bin", "note.txt"})
        QVERIFY(m_dir->writeFile(QStringLiteral("Products/QK75/moidefConfig/") + QLatin1String(rel), "{}"));
    QJsonConfing store(m_folder);
    // The sample folder's own "Macro1.bin" sorts between them.
    QCOMPARE(store.ListMacroFiles(true), QStringList({"A", "a.b", "b", "deep", "Macro1"}));
    QCOMPARE(store.ListMacroFiles(false), QStringList({"a.b.bin", "A.bin", "b.bin", "deep.bin", "Macro1.bin"}));
    QVERIFY(QJsonConfing(m_folder + QStringLiteral("/none")).ListMacroFiles(true).isEmpty());
}

QTEST_MAIN(TestMacroStore)
#include "tst_macro_store.moc"
