// Start-up figures of the built program (emulator build, empty device list): time from process
// start to the "OPenApp Zr Hub End" log line, and resident memory once the window is shown.
#include "tests/support/TestProgramDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

namespace {
qint64 residentKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 5;
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    std::printf("run  start-to-shown(ms)  rss-after-shown(KiB)\n");
    for (int run = 0; run < runs; ++run) {
        TestProgramDir dir;
        const QString program = dir.filePath("quorix-hub-emu");
        QFile::copy(QStringLiteral(QUORIX_HUB_EMU_BINARY), program);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("QUORIX_EMU", "");
        QProcess p;
        p.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        p.start(program, QStringList());
        qint64 shownAt = -1;
        while (clock.elapsed() < 30000) {
            if (dir.readFile("Log.txt").contains("OPenApp Zr Hub End")) {
                shownAt = clock.elapsed();
                break;
            }
            QThread::msleep(2);
        }
        QThread::msleep(300); // let the first paint settle before reading memory
        const qint64 rss = residentKiB(p.processId());
        std::printf("%3d  %18lld  %20lld\n", run + 1, static_cast<long long>(shownAt), static_cast<long long>(rss));
        p.kill();
        p.waitForFinished(5000);
    }
    std::printf("(before it shows, the window processes pending events for up to 200 ms and then waits 200 ms)\n");
    return 0;
}
