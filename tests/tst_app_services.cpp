#include "app/AppDirPath.h"
#include "app/CheckedSave.h"
#include "app/IniCodec.h"
#include "app/DelayMs.h"
#include "app/IniOpeners.h"
#include "app/LogWriter.h"
#include "app/ProductCatalogue.h"
#include "app/QXM_Process.h"
#include "device/ByteTools.h"
#include "macros/QJsonConfing.h"
#include "macros/OpenXmlDocument.h"
#include "macros/SaveXmlDocument.h"
#include "macros/SetXmlContent.h"
#include "tests/support/TestProgramDir.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSettings>
#include <QThread>
#include <QTimer>
#include <QtTest>
#include <QTextCodec>
#include <memory>
#include <csignal>
#include <sys/resource.h>

class TstAppServices : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void logLinesFromManyThreads()
    {
        TestProgramDir dir;
        const int threads = 8, lines = 250;
        QVector<QThread *> workers;
        for (int t = 0; t < threads; ++t) {
            workers.append(QThread::create([t, lines] {
                for (int i = 0; i < lines; ++i)
                    WriteLogLine(QStringLiteral("t%1-%2 中文").arg(t).arg(i));
            }));
            workers.last()->start();
        }
        for (QThread *w : workers) {
            QVERIFY(w->wait(20000));
            delete w;
        }
        const QByteArray log = dir.readFile("Log.txt");
        QVERIFY(log.endsWith("\r\n"));
        const QList<QByteArray> all = log.split('\n');
        QCOMPARE(all.size() - 1, threads * lines);
        static const QRegularExpression line(
            QStringLiteral("^t\\d+-\\d+ 中文   \\d{4} \\d\\d \\d\\d \\d\\d:\\d\\d:\\d\\d:\\d{3}\\r$"));
        QSet<QString> seen;
        for (int i = 0; i < all.size() - 1; ++i) {
            const QString s = QString::fromUtf8(all[i]); // UTF-8 whatever the locale
            QVERIFY2(line.match(s).hasMatch(), qPrintable(s));
            seen.insert(s.section(QLatin1Char(' '), 0, 0));
        }
        QCOMPARE(seen.size(), threads * lines);
    }

    void logToUnwritableFolderIsSilent()
    {
        SetAppDirPathOverride(QStringLiteral("/proc/no-such-folder"));
        WriteLogLine(QStringLiteral("lost"));
        SetAppDirPathOverride(QString());
    }

    void languageTables()
    {
        TestProgramDir dir;
        QXM_Process *lang = QXM_Process::instance(); // seeded from data.ini: English
        QCOMPARE(GetLangText(1), QStringLiteral("OK"));
        QCOMPARE(GetLangText(999999), QStringLiteral("not Code"));
        lang->ReloadLanguage(0);
        QCOMPARE(GetLangText(1), QStringLiteral("确定"));
        lang->ReloadLanguage(2);
        QCOMPARE(GetLangText(1), QStringLiteral("확인"));
        lang->ReloadLanguage(3);
        QCOMPARE(GetLangText(1), QStringLiteral("not Code"));
        lang->ReloadLanguage(1);
        QCOMPARE(GetLangText(150), QStringLiteral("Please connect a device"));

        // Every id in any table exists in all three.
        const auto zh = QXM_Process::LoadLanguageFile("LingualDir/Lingual_ZH");
        const auto en = QXM_Process::LoadLanguageFile("LingualDir/Lingual_English");
        const auto ko = QXM_Process::LoadLanguageFile("LingualDir/Lingual_Korean");
        QVERIFY(!zh.isEmpty());
        QCOMPARE(zh.keys(), en.keys());
        QCOMPARE(zh.keys(), ko.keys());

        QSignalSpy spy(lang, &QXM_Process::LanguageChange);
        lang->NotifyLanguageChange();
        QCOMPARE(spy.count(), 1);
    }

    void malformedLanguageTables()
    {
        TestProgramDir dir;
        QVERIFY(dir.writeFile("LingualDir/Lingual_English.xml",
            QStringLiteral("<语言模块><!-- note --><T ID='5' Code='first'/><T ID='5' Code='second'/>"
                           "<T ID='abc' Code='zero'/><T ID='6'/></语言模块>").toUtf8()));
        auto t = QXM_Process::LoadLanguageFile("LingualDir/Lingual_English");
        QCOMPARE(t.value(5), QStringLiteral("second"));
        QCOMPARE(t.value(0), QStringLiteral("zero"));
        QVERIFY(t.contains(6));
        QCOMPARE(t.value(6), QString());
        QCOMPARE(t.size(), 3); // the comment is not an entry

        QVERIFY(dir.writeFile("LingualDir/Lingual_English.xml", "<Language><T ID='1' Code='x'/></Language>"));
        QVERIFY(QXM_Process::LoadLanguageFile("LingualDir/Lingual_English").isEmpty());
        QVERIFY(dir.writeFile("LingualDir/Lingual_English.xml", "<语言模块><T ID='1'"));
        QVERIFY(QXM_Process::LoadLanguageFile("LingualDir/Lingual_English").isEmpty());
        QVERIFY(dir.removeFile("LingualDir/Lingual_English.xml"));
        QXM_Process::instance()->ReloadLanguage(1);
        QCOMPARE(GetLangText(1), QStringLiteral("not Code"));
    }

    void deeplyNestedXmlIsRefused_data()
    {
        QTest::addColumn<int>("depth");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QByteArray>("doctype"); // before the root
        QTest::addColumn<QByteArray>("text");    // inside the innermost element
        QTest::addColumn<QString>("refusal");    // logged; empty: read
        const QString deep = QStringLiteral("elements nested deeper than 256");
        // An element with that many attributes; "=" and ">" in a value are no more of them.
        const auto attributes = [](int count) {
            QByteArray b = "<b a0='=>\"='";
            for (int i = 1; i < count; ++i)
                b += " a" + QByteArray::number(i) + " = \"" + QByteArray::number(i) + "\"";
            return b + "/>";
        };
        QTest::newRow("256 levels") << 256 << true << QByteArray() << QByteArray("&amp;&lt;&#65;&#x42;") << QString();
        QTest::newRow("257 levels") << 257 << true << QByteArray() << QByteArray() << deep;
        QTest::newRow("256 attributes") << 1 << true << QByteArray() << "&amp;&lt;&#65;&#x42;" + attributes(256) << QString();
        QTest::newRow("257 attributes") << 1 << true << QByteArray() << attributes(257)
                                        << QStringLiteral("more than 256 attributes on one element");
        QTest::newRow("30,000 levels closed") << 30000 << true << QByteArray() << QByteArray() << deep;
        QTest::newRow("30,000 levels unclosed") << 30000 << false << QByteArray() << QByteArray() << deep;
        // The stream reader leaves the entity after the unread external one undeclared; the DOM
        // parser would expand it 300 levels deep.
        QTest::newRow("entity after an external one")
            << 1 << true
            << "<!DOCTYPE r [ <!ENTITY % ext SYSTEM \"x.dtd\"> %ext; <!ENTITY e \"" + QByteArray("<a>").repeated(300)
                   + QByteArray("</a>").repeated(300) + "\"> ]>"
            << QByteArray("&e;") << QStringLiteral("a document type declaration is not accepted");

        // Text the two parsers would decode apart: in UTF-7 "+...-" hides markup that UTF-8 reads
        // as plain characters, and the reverse.
        const auto utf7 = [](const QString &s) {
            QByteArray utf16;
            for (const QChar c : s)
                utf16 += char(c.unicode() >> 8) + QByteArray(1, char(c.unicode() & 0xFF));
            return "+" + utf16.toBase64(QByteArray::OmitTrailingEquals) + "-";
        };
        const QByteArray dtd = "<!DOCTYPE r [ <!ENTITY e \"x\"> ]>";
        const QByteArray text = "&amp;&lt;&#65;&#x42;";
        // Read as UTF-8, a comment; taken for the declaration, UTF-7 would end it before the DTD.
        QTest::newRow("UTF-7 named by another instruction")
            << 1 << true << "<?xml-stylesheet encoding=\"UTF-7\"?><!-- " + utf7("--> " + dtd + " <!--") + " -->"
            << text << QString();
        // Named past the first 1024 bytes, UTF-7 would make 300 levels a comment, UTF-8 not. The
        // whole declaration is read; markup spelled in UTF-7's base64 does not encode back alike.
        QTest::newRow("UTF-7 named in a long declaration")
            << 1 << true << "<?xml version=\"1.0\" encoding=\"UTF-7\"" + QByteArray(1100, ' ') + "?>"
            << "<?q " + utf7("?>") + "<!--?>" + QByteArray("<a>").repeated(300) + QByteArray("</a>").repeated(300) + "<?q "
                   + utf7("--><") + "?r ?>"
            << QStringLiteral("the text is not encoded as UTF-7");
    }

    void deeplyNestedXmlIsRefused()
    {
        QFETCH(int, depth);
        QFETCH(bool, closed);
        QFETCH(QByteArray, doctype);
        QFETCH(QByteArray, text);
        QFETCH(QString, refusal);
        const bool read = refusal.isEmpty();
        TestProgramDir dir;
        // Every reader of the program's XML files: the catalogue, a language table, and the rest
        // (layouts, configurations, item lists, the update catalogue) through OpenXmlDocument.
        auto write = [&](const QString &file, const QString &root) {
            QByteArray x = doctype + "<" + root.toUtf8() + ">" + QByteArray("<a>").repeated(depth - 1) + text;
            if (closed)
                x += QByteArray("</a>").repeated(depth - 1) + "</" + root.toUtf8() + ">";
            return dir.writeFile(file, x);
        };
        const QString table = QStringLiteral("语言模块");
        QVERIFY(write("YProduct.xml", "YProduct") && write("LingualDir/Lingual_English.xml", table)
                && write("layout.xml", "KeyBoardRoot"));
        QCOMPARE(OpenProductXml().documentElement().tagName(), read ? "YProduct" : "");
        QCOMPARE(QXM_Process::ReadXmlDocument("LingualDir/Lingual_English").documentElement().tagName(),
                 read ? table : "");
        const QDomDocument layout = OpenXmlDocument(dir.filePath("layout.xml"));
        QCOMPARE(layout.documentElement().tagName(), read ? "KeyBoardRoot" : "");
        if (read) // the predefined entities and character references are read as ever
            QCOMPARE(layout.documentElement().text(), QStringLiteral("&<AB"));
        QVERIFY(layout.doctype().name().isEmpty()); // no more than was measured
        QCOMPARE(dir.readFile("Log.txt").contains("unreadable: " + refusal.toUtf8()), !read);
    }

    void declaredEncodingsAreRead_data()
    {
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<QByteArray>("prolog");  // after the declaration
        QTest::addColumn<QByteArray>("encoded"); // the value's bytes in that encoding
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("refusal"); // empty: read, and written back in that encoding
        const auto row = [](const char *encoding, const QByteArray &encoded, const QString &value) {
            QTest::newRow(encoding) << QByteArray(encoding) << QByteArray() << encoded << value << QString();
        };
        // A character beyond U+FFFF in each, as a reference where the encoding has no bytes for it.
        row("GB2312", "\xD6\xD0\xCE\xC4&#x1f600;", QStringLiteral("中文😀"));
        row("GBK", "\xE6\x49\xB1\x50&#x1f600;", QStringLiteral("鍵盤😀"));
        row("GB18030", "\xCA\xF3\xB1\xEA\x94\x39\xFC\x36", QStringLiteral("鼠标😀"));
        row("ISO-8859-1", "\x47\x72\xF6\xDF\x65\x20\xE9&#x4f60;&#x1f600;", QStringLiteral("Größe é你😀"));
        row("windows-1252", "\x80\x20\x93\x4D\x61\x75\x73\x94&#x1f600;", QStringLiteral("€ “Maus”😀"));
        row("EUC-KR", "\xC5\xB0\xBA\xB8\xB5\xE5&#x1f600;", QStringLiteral("키보드😀"));
        row("Shift_JIS", "\x83\x4C\x81\x5B&#x1f600;", QStringLiteral("キー😀"));
        row("US-ASCII", "Mouse 8&#x1f600;", QStringLiteral("Mouse 8😀"));
        row("UTF-8", "\xF0\x9F\x98\x80", QStringLiteral("😀")); // with a byte order mark
        row("UTF-16LE", QByteArray("\x2E\x95\xD8\x76\x3D\xD8\x00\xDE", 8), QStringLiteral("键盘😀"));
        row("UTF-32BE", QByteArray("\0\0\x93\x75\0\x01\xF6\0", 8), QStringLiteral("鍵😀"));
        row("UTF-32", QByteArray("\x75\x93\0\0\0\xF6\x01\0", 8), QStringLiteral("鍵😀")); // with a mark
        QTest::newRow("unknown encoding") << QByteArray("x-quorix") << QByteArray() << QByteArray("a") << QString()
                                          << QStringLiteral("encoding x-quorix is not known");
        QTest::newRow("cut sequence") << QByteArray("GB18030") << QByteArray() << QByteArray("\xCA\xF3\x81\x30")
                                      << QString() << QStringLiteral("the text is not encoded as GB18030");
        QTest::newRow("DTD in GBK") << QByteArray("GBK") << QByteArray("<!DOCTYPE r [ <!ENTITY e \"x\"> ]>")
                                    << QByteArray("\xE6\x49\xB1\x50") << QString()
                                    << QStringLiteral("a document type declaration is not accepted");
        QTest::newRow("reference to no character") << QByteArray("GBK") << QByteArray() << QByteArray("&#x110000;")
                                                   << QString() << QStringLiteral("Invalid character reference.");
        QTest::newRow("UTF-32 surrogate") << QByteArray("UTF-32LE") << QByteArray() << QByteArray("\0\xD8\0\0", 4)
                                          << QString() << QStringLiteral("the text is not encoded as UTF-32LE");
        QTest::newRow("UTF-32 beyond Unicode") << QByteArray("UTF-32BE") << QByteArray() << QByteArray("\0\x11\0\0", 4)
                                               << QString() << QStringLiteral("the text is not encoded as UTF-32BE");
    }

    void declaredEncodingsAreRead()
    {
        QFETCH(QByteArray, encoding);
        QFETCH(QByteArray, prolog);
        QFETCH(QByteArray, encoded);
        QFETCH(QString, value);
        QFETCH(QString, refusal);
        QByteArray content = "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>\n" + prolog + "<r v=\"";
        // "&#" is a reference only in content and attribute values.
        const QByteArray end = "\">&amp;#x1F600;<![CDATA[&#x1F600;]]>&#128512;&#x1F600;</r>\n";
        const QString text = QStringLiteral("&#x1F600;&#x1F600;😀😀");
        if (encoding.startsWith("UTF-")) { // the markup in the same width; a mark where no order is named
            QTextCodec *const codec = QTextCodec::codecForName(encoding);
            QTextCodec::ConverterState first(encoding.endsWith('E') ? QTextCodec::IgnoreHeader
                                                                     : QTextCodec::DefaultConversion);
            QTextCodec::ConverterState rest(QTextCodec::IgnoreHeader);
            const QString before = QString::fromLatin1(content), after = QString::fromLatin1(end);
            content = codec->fromUnicode(before.constData(), before.size(), &first) + encoded
                      + codec->fromUnicode(after.constData(), after.size(), &rest);
        } else {
            content += encoded + end;
        }
        QDomDocument document;
        QString error;
        QCOMPARE(SetXmlContent(document, content, &error), refusal.isEmpty());
        QCOMPARE(error, refusal);
        if (!refusal.isEmpty())
            return;
        QCOMPARE(document.documentElement().attribute("v"), value);
        QCOMPARE(document.documentElement().text(), text);
        TestProgramDir dir;
        QVERIFY(SaveXmlDocument(dir.filePath("written.xml"), document));
        QVERIFY(dir.readFile("written.xml").contains(encoded));
        const QDomElement back = OpenXmlDocument(dir.filePath("written.xml")).documentElement();
        QCOMPARE(back.attribute("v"), value);
        QCOMPARE(back.text(), text);
    }

    void delayKeepsEventsFlowing()
    {
        int ticks = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
        timer.start(10);
        QElapsedTimer clock;
        clock.start();
        DelayMs(120);
        QVERIFY(clock.elapsed() >= 118);
        QVERIFY(ticks >= 3);
        DelayMs(0);
        DelayMs(-5);

        // In a worker thread too.
        qint64 waited = 0;
        std::unique_ptr<QThread> t(QThread::create([&waited] {
            QElapsedTimer c;
            c.start();
            DelayMs(50);
            waited = c.elapsed();
        }));
        t->start();
        QVERIFY(t->wait(5000));
        QVERIFY(waited >= 48);
    }

    void byteTools()
    {
        const unsigned char two[] = {0x0A, 0xFF};
        QCOMPARE(HexDump(two, 2), QStringLiteral("0a ff "));
        QCOMPARE(HexDump(two, 0), QString());
        QCOMPARE(HexDump(two, -1), QString());
        QCOMPARE(HexDump(nullptr, 3), QString());
        unsigned char report[20];
        memset(report, 0xFF, sizeof report);
        QCOMPARE(int(ByteSum19(report)), 0xED); // 19 x 0xFF mod 256; byte 19 not counted
        report[19] = 0;
        QCOMPARE(int(ByteSum19(report)), 0xED);
    }

    void safeNames()
    {
        QVERIFY(IsSafeFileComponent("QK75"));
        QVERIFY(IsSafeFileComponent("my macro 1"));
        QVERIFY(!IsSafeFileComponent(""));
        QVERIFY(!IsSafeFileComponent("."));
        QVERIFY(!IsSafeFileComponent(".."));
        QVERIFY(!IsSafeFileComponent("../x"));
        QVERIFY(!IsSafeFileComponent("a/b"));
        QVERIFY(!IsSafeFileComponent("a\\b"));
        QVERIFY(!IsSafeFileComponent(QStringLiteral("a\nb")));
    }

    void macroFiles()
    {
        TestProgramDir dir;
        const QString folder = dir.filePath("Products/QK75/moidefConfig");
        QVERIFY(dir.writeFile("Products/QK75/moidefConfig/good.bin",
                              "{\"good\":{\"mdfdata\":\"0x040x670x6f0x6f0x640x0a0x0b0x0c0xFF\",\"RunWay\":2,\"RunOne\":5}}"));
        QVERIFY(dir.writeFile("Products/QK75/moidefConfig/bad.bin", "{\"bad\":{\"mdfdata\":\"0x030x620x610x640x0g\",\"RunWay\":1}}"));
        QVERIFY(dir.writeFile("Products/QK75/moidefConfig/other.bin", "{\"someone\":{\"RunWay\":4}}"));
        QVERIFY(dir.writeFile("Products/QK75/moidefConfig/broken.bin", "{\"broken\":"));

        int way = 0, one = 1;
        QJsonConfing::ReadRunMode(folder + "/good.bin", &way, &one);
        QCOMPARE(way, 2);
        QCOMPARE(one, 5);
        way = 0, one = 1;
        QJsonConfing::ReadRunMode(folder + "/other.bin", &way, &one);
        QCOMPARE(way, 0); // object stored under another name: outputs untouched
        QJsonConfing::ReadRunMode(folder + "/missing.bin", &way, &one);
        QJsonConfing::ReadRunMode(folder + "/broken.bin", &way, &one);
        QCOMPARE(way, 0);
        QCOMPARE(one, 1);

        // the devices get the records only, without the name in front of them
        QCOMPARE(QJsonConfing::ReadMacroEvents(folder + "/good.bin"), QByteArray::fromHex("0a0b0cff"));
        QVERIFY(QJsonConfing::ReadMacroEvents(folder + "/bad.bin").isEmpty());
        QVERIFY(QJsonConfing::ReadMacroEvents(folder + "/missing.bin").isEmpty());
        QVERIFY(QJsonConfing::ReadMacroEvents(folder + "/broken.bin").isEmpty());
        QVERIFY(dir.writeFile("Products/QK75/moidefConfig/odd.bin", "{\"odd\":{\"mdfdata\":\"0x030x6f0x640x640x0\",\"RunWay\":1}}"));
        QVERIFY(QJsonConfing::ReadMacroEvents(folder + "/odd.bin").isEmpty());
        // the longest image reads whole, not as broken
        QByteArray events;
        for (int i = 0; i < 2040; ++i)
            events.append(char(i * 7));
        QVERIFY(QJsonConfing(folder).WriteMacroFile("long", QJsonConfing::ImageToHex(QJsonConfing::MacroImage("long", events)), 1, 1));
        QCOMPARE(QJsonConfing::ReadMacroEvents(folder + "/long.bin"), events);

        QCOMPARE(QJsonConfing::MacroFilePath(folder, "good"), folder + "/good.bin");
        QVERIFY(QJsonConfing::MacroFilePath(folder, "../../SysBuild").isEmpty());

        QVERIFY(OpenXmlDocument(dir.filePath("YProduct.xml")).documentElement().tagName() == "YProduct");
        QVERIFY(OpenXmlDocument(dir.filePath("nothing.xml")).documentElement().tagName().isEmpty());
        QVERIFY(OpenXmlDocument(folder + "/broken.bin").documentElement().tagName().isEmpty());
    }

    // The program's INI files are read and written by its own codec: QSettings' INI format must
    // read what it writes, and the other way round.
    void iniFormatRoundTrip_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("plain") << "Systime/Version" << QVariant(QStringLiteral("1.0.3"));
        QTest::newRow("hex list") << "ChangeLight/Color" << QVariant(QStringList{"ff", "00", "7f"});
        QTest::newRow("han, quotes, ;=") << QStringLiteral("组/键 名") << QVariant(QStringLiteral(" \"引号\"; a=b \\ "));
        QTest::newRow("general, @, controls") << "top" << QVariant(QStringLiteral("@at\t\n\x01" "1"));
        QTest::newRow("number and bool") << "a/b/c" << QVariant(QStringList{"12", "true", ""});
        QTest::newRow("empty list") << "General/x" << QVariant(QStringList());
        QTest::newRow("bytes") << "k" << QVariant(QByteArray("\x00\xff,", 3));
    }

    void iniFormatRoundTrip()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        TestProgramDir dir;
        {
            QSettings qt(dir.filePath("qt.ini"), QSettings::IniFormat);
            qt.setIniCodec("UTF-8");
            qt.setValue(key, value);
            qt.setValue("zz/other", 5);
        }
        // An empty list is stored as "no value", by QSettings as by the codec.
        const QVariant read = value.userType() == QMetaType::QStringList && value.toStringList().isEmpty() ? QVariant() : value;
        QSettings::SettingsMap ours;
        IniCodec::Parse(dir.readFile("qt.ini"), ours);
        QCOMPARE(ours.value(key), read);
        QCOMPARE(ours.value("zz/other").toInt(), 5);
        QVERIFY(dir.writeFile("ours.ini", IniCodec::Serialize(ours)));
        QSettings back(dir.filePath("ours.ini"), QSettings::IniFormat);
        back.setIniCodec("UTF-8");
        QCOMPARE(back.value(key), read);
    }

    // A file that cannot be written whole keeps what it held, and the caller learns it: here the
    // file size limit cuts the write short, as a full disk does.
    void failedSavesKeepTheOldFile()
    {
        TestProgramDir dir;
        const QByteArray xmlBefore = dir.readFile("YProduct.xml"), iniBefore = dir.readFile("SysBuild.ini");
        QDomDocument big;
        big.appendChild(big.createElement("Backinfos")).toElement().setAttribute("x", QString(9000, 'x'));
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit limit = before;
        limit.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &limit);
        const bool xmlSaved = SaveXmlDocument(dir.filePath("YProduct.xml"), big);
        std::unique_ptr<QSettings> ini(OpenSysBuildIni());
        ini->setValue("Systime/UpdataTime", QString(9000, 'y'));
        const bool iniSaved = CheckedSave::SyncSettings(*ini);
        const int error = CheckedSave::LastError();
        ini.reset();
        setrlimit(RLIMIT_FSIZE, &before);
        QVERIFY(!xmlSaved);
        QVERIFY(!iniSaved);
        QCOMPARE(error, EFBIG);
        QCOMPARE(dir.readFile("YProduct.xml"), xmlBefore);
        QSettings::SettingsMap stored, held;
        IniCodec::Parse(iniBefore, held);
        IniCodec::Parse(dir.readFile("SysBuild.ini"), stored);
        QCOMPARE(stored, held);
        // What the program reads next is what the disk holds, not the refused value.
        QVERIFY(std::unique_ptr<QSettings>(OpenSysBuildIni())->value("Systime/UpdataTime").toString().size() < 100);

        CheckedSave::SetFaultForTest([](const QString &path) { return path.endsWith(".xml") ? ENOSPC : 0; });
        QVERIFY(!SaveXmlDocument(dir.filePath("YProduct.xml"), big));
        CheckedSave::SetFaultForTest(nullptr);
        QVERIFY(CheckedSave::FailureText(CheckedSave::Macro).contains(GetLangText(1007)));
        QCOMPARE(dir.readFile("YProduct.xml"), xmlBefore);
    }

    void iniOpeners()
    {
        TestProgramDir dir;
        std::unique_ptr<QSettings> ini(OpenSysBuildIni());
        QCOMPARE(ini->value("Systime/Languageindex").toUInt(), 1u);
        ini->setValue("Systime/UpdataTime", QStringLiteral("二〇二六"));
        ini->sync();
        QVERIFY(dir.readFile("SysBuild.ini").contains(QStringLiteral("二〇二六").toUtf8()));
    }
};

QTEST_MAIN(TstAppServices)
#include "tst_app_services.moc"
