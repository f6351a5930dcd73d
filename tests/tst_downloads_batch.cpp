#include "firmware/DownTask.h"
#include "firmware/DownloadFileName.h"
#include "firmware/QDownTaskManage.h"
#include "firmware/QHttpDownload.h"
#include "tests/emu/EmuControl.h"
#include "tests/support/LoopbackHttpServer.h"
#include "tests/support/TestProgramDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QUrl>
#include <QtTest>

namespace {

// Collects what one TaskEnd handed over, copying the records: the array lives only during the call.
struct BatchEnd
{
    int count = -1;
    QList<DownTask> tasks;
    QList<DownTask *> ptrs;
};

BatchEnd runBatch(const QList<DownTask *> &tasks, int timeoutMs = 10000)
{
    QDownTaskManage *manager = QDownTaskManage::Instance();
    BatchEnd end;
    int ends = 0;
    auto c = QObject::connect(manager, &QDownTaskManage::TaskEnd, [&](DownTask **ptrs, int count) {
        ++ends;
        end.count = count;
        for (int i = 0; i < count; ++i) {
            end.tasks << *ptrs[i];
            end.ptrs << ptrs[i];
        }
    });
    for (DownTask *t : tasks)
        manager->AddTask(t);
    manager->on_statr();
    const bool ended = QTest::qWaitFor([&] { return ends > 0; }, timeoutMs);
    QTest::qWait(50);
    QObject::disconnect(c);
    // A batch that never ended, or ended twice, shows as a count no test expects.
    if (!ended || ends != 1)
        end.count = -100 - ends;
    return end;
}

DownTask *task(const QString &url, const QString &folder)
{
    DownTask *t = NewDownTask();
    t->url = url;
    t->folder = folder;
    return t;
}

void freeAll(const QList<DownTask *> &tasks)
{
    QVector<DownTask *> v = tasks.toVector();
    DeleteDownTasks(v.data(), v.size());
}

QByteArray bytes(int n)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = char(i * 7 + 3);
    return b;
}

} // namespace

class TstDownloadsBatch : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fileNamesStayInTheirFolder()
    {
        QCOMPARE(DownloadFileName(QUrl("http://h/a/fw file 1.bin")), QStringLiteral("fw_file_1.bin"));
        QCOMPARE(DownloadFileName(QUrl("http://h/a/fw%20file.bin")), QStringLiteral("fw_file.bin"));
        // Encoded separators and parent folders are decoded first, then cut to the base name.
        QCOMPARE(DownloadFileName(QUrl("http://h/a/..%2F..%2Fevil.sh")), QStringLiteral("evil.sh"));
        QCOMPARE(DownloadFileName(QUrl("http://h/a/..%5Cevil.sh")), QStringLiteral("evil.sh"));
        QVERIFY(DownloadFileName(QUrl("http://h/a/%2e%2e")).isEmpty());
        QVERIFY(DownloadFileName(QUrl("http://h/a/.")).isEmpty());
        QVERIFY(DownloadFileName(QUrl("http://h/a/")).isEmpty());
        QVERIFY(DownloadFileName(QUrl("http://h")).isEmpty());
        QCOMPARE(DownloadFilePath("/x/Buff/", "f.bin"), QStringLiteral("/x/Buff/f.bin"));
        QCOMPARE(DownloadFilePath("/x/Buff", "f.bin"), QStringLiteral("/x/Buff/f.bin"));
    }

    void completeDownloadIsSavedAndReported()
    {
        TestProgramDir dir;
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        const QByteArray body = bytes(70000);
        server.setFile("/files/new%20firmware%20v2.bin", body);
        const QString folder = dir.filePath("Buff/deep/er/");
        QVERIFY(dir.writeFile("Buff/deep/er/new_firmware_v2.bin", "old contents"));

        QSignalSpy progress(QDownTaskManage::Instance(), &QDownTaskManage::CurrTaskDownLoadProgress);
        DownTask *t = task(server.url("/files/new%20firmware%20v2.bin"), folder);
        const BatchEnd end = runBatch({t});
        QCOMPARE(end.count, 1);
        QCOMPARE(end.tasks.at(0).status, uint8_t(DownTaskDone));
        QCOMPARE(end.tasks.at(0).filePath, folder + "new_firmware_v2.bin");
        QFile saved(folder + "new_firmware_v2.bin");
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), body);
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.last().at(0).toLongLong(), qlonglong(body.size()));
        QCOMPARE(progress.last().at(1).toLongLong(), qlonglong(body.size()));
        // Nothing but the file is left behind in the folder.
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"new_firmware_v2.bin"});
        DeleteDownTasks(&t, 1);
    }

    void failedTransfersAreFailuresAndKeepTheOlderFile()
    {
        TestProgramDir dir;
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        LoopbackHttpServer::Route cut;
        cut.body = bytes(2000);
        cut.sendBytes = 900; // hangs up half-way
        server.setRoute("/half.bin", cut);
        LoopbackHttpServer::Route moved;
        moved.status = 302;
        moved.location = "/nowhere.bin";
        moved.body = "moved";
        server.setRoute("/moved.bin", moved);
        LoopbackHttpServer::Route empty;
        server.setRoute("/empty.bin", empty);
        LoopbackHttpServer::Route error;
        error.status = 500;
        error.body = "<html>server error</html>";
        server.setRoute("/error.bin", error);
        LoopbackHttpServer::Route silent;
        silent.silent = true;
        server.setRoute("/silent.bin", silent);
        moved.location = server.url("/silent.bin").toLatin1();
        server.setRoute("/to-silent.bin", moved);
        moved.location = "file:///etc/passwd";
        server.setRoute("/to-file.bin", moved);
        LoopbackHttpServer::Route overlong; // its length past its bound, its body slow: refused on the length
        overlong.body = bytes(2000);
        overlong.trickleMs = 20;
        overlong.declaredLength = 300000;
        server.setRoute("/overlong.bin", overlong);
        LoopbackHttpServer::Route trickle; // 50 bytes a second, far below 1 KiB in each window
        trickle.body = bytes(2000);
        trickle.trickleMs = 20;
        server.setRoute("/trickle.bin", trickle);
        LoopbackHttpServer::Route drip = trickle; // 1 KiB a second: never stalls, but far too slow for its bound
        drip.body = bytes(60000);
        drip.trickleMs = 100;
        drip.trickleBytes = 100;
        server.setRoute("/drip.bin", drip);
        const QString folder = dir.filePath("Buff/");
        QVERIFY(dir.writeFile("Buff/half.bin", "good old image"));
        QVERIFY(dir.writeFile("local.bin", "a local file"));

        QList<DownTask *> tasks{task(server.url("/half.bin"), folder), task(server.url("/missing.bin"), folder),
                                task(server.url("/moved.bin"), folder), task(server.url("/empty.bin"), folder),
                                task(server.url("/error.bin"), folder), task(server.url("/to-silent.bin"), folder),
                                task(server.url("/to-file.bin"), folder), task("/etc/passwd", folder),
                                task(QUrl::fromLocalFile(dir.filePath("local.bin")).toString(), folder),
                                task(server.url("/overlong.bin"), folder), task(server.url("/trickle.bin"), folder),
                                task(server.url("/drip.bin"), folder)};
        tasks.at(9)->maxBytes = 299999;
        tasks.at(11)->maxBytes = 64 * 1024; // ends by 61 s
        emu::SetTimeScale(0.05); // the stall time-out of 60 s becomes 3 s, that deadline 3.05 s
        const BatchEnd end = runBatch(tasks);
        emu::SetTimeScale(1.0);
        QCOMPARE(end.count, 12);
        for (const DownTask &t : end.tasks)
            QVERIFY2(t.status == DownTaskFailed, qPrintable(t.url));
        QCOMPARE(dir.readFile("Buff/half.bin"), QByteArray("good old image"));
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"half.bin"});
        QVERIFY(server.requests().contains("/nowhere.bin")); // the redirect was followed, to a 404
        QVERIFY(server.requests().contains("/silent.bin"));  // and to the peer that never answers
        const QByteArray log = dir.readFile("Log.txt");
        QVERIFY(log.contains(" 解析异常的 无效地址 /etc/passwd"));
        QVERIFY(log.contains(" 解析异常的 无效地址 file://"));
        QVERIFY(log.contains("Download too large " + server.url("/overlong.bin").toUtf8()));
        QVERIFY(log.contains("Download stalled " + server.url("/trickle.bin").toUtf8()));
        QVERIFY(log.contains("Download too slow " + server.url("/drip.bin").toUtf8()));
        freeAll(tasks);
    }

    // Lengths that say nothing of the body's end: a length given twice with two values, or one
    // that is not a number while the connection is cut half-way.
    void bodiesWithoutATrueLengthAreRefused()
    {
        TestProgramDir dir;
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        const QByteArray body = bytes(4096);
        const QByteArray raws[] = {
            "HTTP/1.1 200 OK\r\nContent-Length: 104\r\nContent-Length: 209\r\n\r\n" + body.left(209),
            "HTTP/1.1 200 OK\r\nContent-Length: abc\r\n\r\n" + body.left(2048),
        };
        QList<DownTask *> tasks;
        for (int i = 0; i < 2; ++i) {
            LoopbackHttpServer::Route route;
            route.raw = raws[i];
            server.setRoute("/fw" + QByteArray::number(i) + ".bin", route);
            QVERIFY(dir.writeFile(QStringLiteral("Buff/fw%1.bin").arg(i), "older image"));
            tasks << task(server.url(QStringLiteral("/fw%1.bin").arg(i)), dir.filePath("Buff/"));
        }
        const BatchEnd end = runBatch(tasks);
        QCOMPARE(end.count, 2);
        for (int i = 0; i < 2; ++i) {
            QVERIFY2(end.tasks.at(i).status == DownTaskFailed, qPrintable(end.tasks.at(i).url));
            QCOMPARE(dir.readFile(QStringLiteral("Buff/fw%1.bin").arg(i)), QByteArray("older image"));
        }
        QCOMPARE(QHttpDownload::DeclaredLength("104, 104"), qint64(104));
        freeAll(tasks);
    }

    // What Qt does with a flood of header fields, or a field that never ends, happens off the
    // window's thread: the window keeps answering and the stall still ends the download.
    void headerFloodsLeaveTheWindowAnswering()
    {
        TestProgramDir dir;
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        LoopbackHttpServer::Route many;
        many.raw = "HTTP/1.1 200 OK\r\n";
        for (int i = 0; i < 30000; ++i)
            many.raw += "X-Field-" + QByteArray::number(i) + ": v\r\n";
        many.raw += "Content-Length: 5\r\n\r\nhello";
        server.setRoute("/many.xml", many);
        LoopbackHttpServer::Route endless;
        endless.raw = "HTTP/1.1 200 OK\r\nX-Long: ";
        endless.endless = QByteArray(65536, 'a');
        server.setRoute("/endless.xml", endless);
        QElapsedTimer clock;
        qint64 last = 0, longest = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&] {
            longest = qMax(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        clock.start();
        tick.start(20);
        emu::SetTimeScale(0.02); // the stall time-out of 60 s becomes 1.2 s
        const QList<DownTask *> tasks{task(server.url("/many.xml"), dir.filePath("Buff/")),
                                      task(server.url("/endless.xml"), dir.filePath("Buff/"))};
        const BatchEnd end = runBatch(tasks);
        emu::SetTimeScale(1.0);
        QCOMPARE(end.count, 2);
        QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(longest < 500, qPrintable(QString::number(longest)));
        for (const DownTask &t : end.tasks)
            QCOMPARE(t.status, uint8_t(DownTaskFailed));
        freeAll(tasks);
    }

    void bodiesEndAsServedWithinTheirBound_data()
    {
        QFile f(QStringLiteral(QUORIX_SOURCE_PROGRAMDIR "/../tests/data/firmware/catalogue.xml"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray catalogue = f.readAll();
        const QByteArray image = bytes(300000);
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("http10"); // and no length
        QTest::addColumn<int>("gzip"); // LoopbackHttpServer::Encoding
        QTest::addColumn<bool>("chunked");
        QTest::addColumn<qint64>("sent"); // bytes sent before hanging up, -1 all
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<bool>("taken");
        const int asked = LoopbackHttpServer::GzipWhenAccepted, unasked = LoopbackHttpServer::GzipAlways;
        QTest::newRow("HTTP/1.0, ended by closing") << catalogue << true << 0 << false << qint64(-1) << qint64(0) << true;
        QTest::newRow("gzip if asked") << catalogue << false << asked << false << qint64(-1) << qint64(0) << true;
        QTest::newRow("gzip if asked, chunked") << catalogue << false << asked << true << qint64(-1) << qint64(0) << true;
        QTest::newRow("exactly its bound") << image << false << 0 << false << qint64(-1) << qint64(image.size()) << true;
        QTest::newRow("past its bound") << image << false << 0 << false << qint64(-1) << qint64(image.size() - 1) << false;
        QTest::newRow("past it, no length") << image << true << 0 << false << qint64(-1) << qint64(image.size() - 1) << false;
        QTest::newRow("gzip unasked") << catalogue << false << unasked << false << qint64(-1) << qint64(0) << false;
        QTest::newRow("gzip unasked, cut short, HTTP/1.0") << image << true << unasked << false << qint64(151) << qint64(0) << false;
        QTest::newRow("gzip unasked, past it once decoded") << image << false << unasked << false << qint64(-1) << qint64(image.size() - 1) << false;
        const int transfer = LoopbackHttpServer::GzipTransfer;
        QTest::newRow("gzip as transfer coding") << catalogue << false << transfer << false << qint64(-1) << qint64(0) << false;
        QTest::newRow("gzip, chunked as transfer codings") << catalogue << false << transfer << true << qint64(-1) << qint64(0) << false;
    }

    void bodiesEndAsServedWithinTheirBound()
    {
        QFETCH(QByteArray, body);
        QFETCH(bool, http10);
        QFETCH(int, gzip);
        QFETCH(bool, chunked);
        QFETCH(qint64, sent);
        QFETCH(qint64, maxBytes);
        QFETCH(bool, taken);
        TestProgramDir dir;
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        LoopbackHttpServer::Route route;
        route.body = body;
        route.http10 = http10;
        route.declaredLength = http10 ? -2 : -1;
        route.encoding = LoopbackHttpServer::Encoding(gzip);
        route.chunked = chunked;
        route.sendBytes = sent;
        server.setRoute("/file.xml", route);
        QVERIFY(dir.writeFile("Buff/file.xml", "old"));
        DownTask *t = task(server.url("/file.xml"), dir.filePath("Buff/"));
        t->maxBytes = maxBytes;
        const BatchEnd end = runBatch({t});
        QCOMPARE(end.count, 1);
        QCOMPARE(end.tasks.at(0).status, uint8_t(taken ? DownTaskDone : DownTaskFailed));
        QCOMPARE(dir.readFile("Buff/file.xml"), taken ? body : QByteArray("old"));
        QCOMPARE(QDir(dir.filePath("Buff/")).entryList(QDir::Files), QStringList{"file.xml"});
        DeleteDownTasks(&t, 1);
    }

    void unusableTasksStillEndTheirBatch()
    {
        TestProgramDir dir;
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        server.setFile("/ok.bin", "payload");
        QVERIFY(dir.writeFile("Blocker", "a file where a folder should be"));

        DownTask *good = task(server.url("/ok.bin"), dir.filePath("Buff/"));
        DownTask *noUrl = task("", dir.filePath("Buff/"));
        DownTask *noFolder = task(server.url("/ok.bin"), "  ");
        DownTask *badFolder = task(server.url("/ok.bin"), dir.filePath("Blocker/sub/"));
        DownTask *noName = task(server.url("/dir/%2e%2e"), dir.filePath("Buff/"));
        DownTask *skipped = task(server.url("/ok.bin"), dir.filePath("Buff/"));
        skipped->status = DownTaskDone; // not new: never downloaded, not in the batch
        const QList<DownTask *> tasks{good, noUrl, noFolder, badFolder, noName, skipped};
        const BatchEnd end = runBatch(tasks);
        QCOMPARE(end.count, 5);
        QVERIFY(!end.ptrs.contains(skipped));
        int done = 0;
        for (const DownTask &t : end.tasks) {
            if (t.status == DownTaskDone)
                ++done;
            else
                QCOMPARE(t.status, uint8_t(DownTaskFailed));
        }
        QCOMPARE(done, 1);
        QCOMPARE(dir.readFile("Buff/ok.bin"), QByteArray("payload"));
        QCOMPARE(QDownTaskManage::Instance()->ActiveCount(), 0);

        // The manager takes the next batch afterwards.
        DownTask *again = task(server.url("/ok.bin"), dir.filePath("Buff/again/"));
        const BatchEnd next = runBatch({again});
        QCOMPARE(next.count, 1);
        QCOMPARE(next.tasks.at(0).status, uint8_t(DownTaskDone));
        QList<DownTask *> all = tasks;
        all << again;
        freeAll(all);
    }

    void batchOfSeveralEndsOnceWithEveryRecord()
    {
        TestProgramDir dir;
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        QList<DownTask *> tasks;
        for (int i = 0; i < 6; ++i) {
            const QByteArray path = "/set/part " + QByteArray::number(i) + ".bin";
            server.setFile(QUrl(QString::fromLatin1(path)).toEncoded(), bytes(1000 + i));
            tasks << task(server.url(QString::fromLatin1(path)), dir.filePath("Buff/set/"));
        }
        const BatchEnd end = runBatch(tasks);
        QCOMPARE(end.count, 6);
        QSet<QString> paths;
        for (const DownTask &t : end.tasks) {
            QCOMPARE(t.status, uint8_t(DownTaskDone));
            paths.insert(t.filePath);
        }
        QCOMPARE(paths.size(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(dir.readFile(QStringLiteral("Buff/set/part_%1.bin").arg(i)), bytes(1000 + i));
        freeAll(tasks);
    }

    // A requester that goes while its downloads run (a tile whose device left) hands its records
    // to the manager: still intact for the batch's TaskEnd, freed after it, or at once when idle.
    void recordsOfAGoneRequesterAreFreedAfterTheirBatch()
    {
        TestProgramDir dir;
        LoopbackHttpServer server;
        QVERIFY(server.listen());
        server.setFile("/a.bin", bytes(5000));
        const int before = DownTasksAlive();
        QDownTaskManage *manager = QDownTaskManage::Instance();
        DownTask *running[2] = {task(server.url("/a.bin"), dir.filePath("Buff/a/")),
                                task(server.url("/missing.bin"), dir.filePath("Buff/a/"))};
        int seen = 0;
        auto c = connect(manager, &QDownTaskManage::TaskEnd, [&](DownTask **ptrs, int count) {
            for (int i = 0; i < count; ++i)
                seen += ptrs[i]->check == DownTaskAlive;
        });
        for (DownTask *t : running)
            manager->AddTask(t);
        manager->on_statr();
        manager->ReleaseWhenEnded({running[0], running[1], running[0], task(QString(), QString())});
        QCOMPARE(DownTasksAlive(), before + 2);
        QTRY_COMPARE(seen, 2);
        disconnect(c);
        QCOMPARE(DownTasksAlive(), before);
        QCOMPARE(dir.readFile("Buff/a/a.bin"), bytes(5000));
    }

    void recordsAreMarkedAndFreedOnce()
    {
        DownTask *tasks[3] = {NewDownTask(this), NewDownTask(), nullptr};
        QCOMPARE(tasks[0]->check, DownTaskAlive);
        QCOMPARE(tasks[0]->owner, static_cast<const void *>(this));
        QCOMPARE(tasks[0]->status, uint8_t(0));
        DeleteDownTasks(tasks, 0);
        QVERIFY(tasks[0] && tasks[1]);
        DeleteDownTasks(tasks, 3);
        QVERIFY(!tasks[0] && !tasks[1] && !tasks[2]);
        DeleteDownTasks(tasks, 3); // slots already cleared: nothing freed twice
    }
};

QTEST_MAIN(TstDownloadsBatch)
#include "tst_downloads_batch.moc"
