// The user configuration folder's file operations: what is listed, and every import refusal
// leaves the folder exactly as it was.
#include "macros/ConfigDirFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using Result = ConfigDirFiles::Result;
Q_DECLARE_METATYPE(ConfigDirFiles::Result)

namespace {
const QByteArray kProfile = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Backinfos><Images/></Backinfos>\n";

bool Put(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

QByteArray Get(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TstConfigDirs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listing();
    void import_data();
    void import();
    void addRenameRemove();
    void exportProposal();
};

void TstConfigDirs::listing()
{
    QTemporaryDir dir;
    for (const char *name : {"zeta.xml", "Alpha.xml", "Base.xml", "beta.xml", "imageAndLines.xml", "two.old.xml",
                             "notes.txt", "Base/Base.xml", "sub/inner.xml"})
        QVERIFY(Put(dir.filePath(QString::fromLatin1(name)), kProfile));
    QCOMPARE(ConfigDirFiles(dir.path()).List(), QStringList({"Base", "Alpha", "beta", "zeta"}));
}

void TstConfigDirs::import_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<Result>("expected");
    QTest::addColumn<QString>("imported");

    QTest::newRow("accepted") << "Stage.xml" << kProfile << Result::Ok << "Stage";
    QTest::newRow("name before the first dot") << "Night.old.xml" << kProfile << Result::Ok << "Night";
    QTest::newRow("not xml suffix") << "Stage.txt" << kProfile << Result::NotConfig << "";
    QTest::newRow("not well-formed") << "Broken.xml" << QByteArray("<Backinfos><Images>") << Result::NotConfig << "";
    QTest::newRow("wrong root") << "Other.xml" << QByteArray("<KeyBoardRoot/>") << Result::NotConfig << "";
    QTest::newRow("nested 30,000 deep") << "Deep.xml" << "<Backinfos>" + QByteArray("<a>").repeated(30000)
                                        << Result::NotConfig << "";
    QTest::newRow("over 1 MiB, refused by size") << "Huge.xml" << QByteArray(1024 * 1024 + 1, ' ') << Result::TooLarge
                                                 << "";
    QTest::newRow("exactly 1 MiB is read") << "Padded.xml" << kProfile.leftJustified(1024 * 1024, ' ')
                                           << Result::Ok << "Padded";
    QTest::newRow("empty name") << ".xml" << kProfile << Result::BadName << "";
    QTest::newRow("control character") << "Tab\tbed.xml" << kProfile << Result::BadName << "";
    QTest::newRow("backslash") << "a\\b.xml" << kProfile << Result::BadName << "";
    QTest::newRow("Base") << "Base.xml" << kProfile << Result::Reserved << "";
    QTest::newRow("base in other case") << "base.xml" << kProfile << Result::Reserved << "";
    QTest::newRow("imageAndLines") << "imageAndLines.xml" << kProfile << Result::Reserved << "";
    QTest::newRow("existing file") << "Hidden.xml" << kProfile << Result::Exists << "";
}

void TstConfigDirs::import()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(Result, expected);
    QFETCH(QString, imported);

    QTemporaryDir outside, folder;
    const QByteArray kept = "<Backinfos><Kept/></Backinfos>";
    QVERIFY(Put(folder.filePath("Hidden.xml"), kept));
    QVERIFY(Put(folder.filePath("Base.xml"), kept));
    const QString source = outside.filePath(fileName);
    QVERIFY(Put(source, content));
    const QStringList before = QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    QString name;
    QCOMPARE(ConfigDirFiles(folder.path()).Import(source, &name), expected);
    QStringList after = QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    if (expected == Result::Ok) {
        QCOMPARE(name, imported);
        QCOMPARE(Get(folder.filePath(imported + ".xml")), content);
        QVERIFY(after.removeOne(imported + ".xml"));
    }
    QCOMPARE(after, before); // no temporary file left behind, nothing replaced
    QCOMPARE(Get(folder.filePath("Hidden.xml")), kept);
    QCOMPARE(Get(folder.filePath("Base.xml")), kept);
}

void TstConfigDirs::addRenameRemove()
{
    QTemporaryDir dir;
    const ConfigDirFiles files(dir.path());
    QCOMPARE(files.Add("First"), Result::Missing); // no factory copy to start from
    QVERIFY(Put(dir.filePath("Base/Base.xml"), kProfile));
    QVERIFY(Put(dir.filePath("Base.xml"), kProfile));
    QCOMPARE(files.Add("First"), Result::Ok);
    QCOMPARE(Get(dir.filePath("First.xml")), kProfile);
    QCOMPARE(files.Add("First"), Result::Exists);
    QCOMPARE(files.Add("a.b"), Result::BadName);
    QCOMPARE(files.Add("../Up"), Result::BadName);
    QCOMPARE(files.Add("imageAndLines"), Result::Reserved);

    QVERIFY(Put(dir.filePath("Second.xml"), "<Backinfos/>"));
    QCOMPARE(files.Rename("First", "Second"), Result::Exists);
    QCOMPARE(Get(dir.filePath("Second.xml")), QByteArray("<Backinfos/>"));
    QCOMPARE(files.Rename("First", "Base"), Result::Reserved);
    QCOMPARE(files.Rename("Base", "Other"), Result::Reserved);
    QCOMPARE(files.Rename("Gone", "Other"), Result::Missing);
    QCOMPARE(files.Rename("First", "Third"), Result::Ok);
    QCOMPARE(files.List(), QStringList({"Base", "Second", "Third"}));

    QCOMPARE(files.Remove("Base"), Result::Reserved);
    QCOMPARE(files.Remove("../Third"), Result::Missing);
    QCOMPARE(files.Remove("Third"), Result::Ok);
    QCOMPARE(files.List(), QStringList({"Base", "Second"}));

    // a file name holds at most 255 bytes with its ".xml": a longer name is told so
    QCOMPARE(files.Add(QString(252, 'b')), Result::TooLong);
    QCOMPARE(files.Rename("Second", QString(84, QChar(0x56DB))), Result::TooLong); // 252 bytes of UTF-8
    QVERIFY(ConfigDirFiles::RefusalTextId(Result::TooLong) != ConfigDirFiles::RefusalTextId(Result::BadName));
    QCOMPARE(files.Add(QString(251, 'a')), Result::Ok);
    QCOMPARE(files.Remove(QString(251, 'a')), Result::Ok);

    // Export replaces an existing target whole.
    const QString target = dir.filePath("out/Second-copy.xml");
    QVERIFY(Put(target, QByteArray(4096, 'x')));
    QCOMPARE(files.Export("Second", target), Result::Ok);
    QCOMPARE(Get(target), QByteArray("<Backinfos/>"));
    QCOMPARE(files.Export("Gone", target), Result::Missing);
}

void TstConfigDirs::exportProposal()
{
    // The export proposes the configuration's own file in a folder that exists: the desktop, or
    // the home folder without one.
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", oldHome);
        if (oldConfig.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", oldConfig);
    });
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(ConfigDirFiles::ExportProposal("Kept"), home.path() + "/Kept.xml");
    QVERIFY(QDir(home.path()).mkdir("Desktop"));
    QCOMPARE(ConfigDirFiles::ExportProposal("Kept"), home.path() + "/Desktop/Kept.xml");
}

QTEST_GUILESS_MAIN(TstConfigDirs)
#include "tst_config_dirs.moc"
