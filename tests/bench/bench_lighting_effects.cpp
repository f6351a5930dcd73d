// Cost of each drawing effect's preview at speed 4 on the sample QK75's on-screen keyboard,
// shown offscreen: the whole process's CPU as % of one core over the measuring window (10 s,
// or QUORIX_BENCH_SECONDS) against the same window idle, the CPU per preview frame, and the heap
// allocations per frame made on the effect thread (counted here by replacing operator new).
#include "app/MainWidget.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "keyboard/QMultifunKeyButton.h"
#include "lighting/QBaseEffctThread.h"
#include "lighting/QEffctBase.h"
#include "tests/support/TestProgramDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSettings>
#include <QTimer>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>
#include <thread>

namespace {
std::atomic<long> g_engineAllocs{0};
std::atomic<std::thread::id> g_engineThread{};
QString g_rowsFile;

double ProcessCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

QSettings *RowsFile()
{
    auto *ini = new QSettings(g_rowsFile, QSettings::IniFormat);
    ini->setIniCodec("utf-8");
    return ini;
}

struct Run
{
    double cpuPercent = 0, seconds = 0;
};

Run Measure(int seconds)
{
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    const double cpu0 = ProcessCpuSeconds();
    loop.exec();
    Run r;
    r.seconds = clock.elapsed() / 1000.0;
    r.cpuPercent = 100.0 * (ProcessCpuSeconds() - cpu0) / r.seconds;
    return r;
}
} // namespace

void *operator new(std::size_t size)
{
    if (std::this_thread::get_id() == g_engineThread.load(std::memory_order_relaxed))
        g_engineAllocs.fetch_add(1, std::memory_order_relaxed);
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void *p) noexcept { std::free(p); }
void operator delete(void *p, std::size_t) noexcept { std::free(p); }

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = qEnvironmentVariableIsSet("QUORIX_BENCH_SECONDS") ? qEnvironmentVariableIntValue("QUORIX_BENCH_SECONDS") : 10;
    TestProgramDir dir;
    g_rowsFile = dir.filePath(QStringLiteral("Products/QK75/rhythmLight.ini"));
    QEffctBase::SetRowsFileOpener(&RowsFile);
    MainWidget main;
    main.show();
    main.OpenKeyboardPage(QStringLiteral("QK75"));
    QMultifunKeyBoard *board = QLStyleKeybordTabWidget::instance()->KeyBoard();
    board->CurrentPage = 1;
    QBaseEffctThread *engine = QBaseEffctThread::instance();
    QObject::connect(engine, &QThread::started, engine, [] { g_engineThread.store(std::this_thread::get_id()); },
                     Qt::DirectConnection);
    std::printf("keys on the board %d, %d s a run\n",
                static_cast<int>(board->findChildren<QMultifunKeyButton *>().size()), seconds);

    const Run idle = Measure(seconds);
    std::printf("%-22s %6.2f %% of one core (baseline)\n", "idle window", idle.cpuPercent);

    const struct { int model; const char *name; } effects[] = {
        {81, "static colour"}, {82, "breathing"}, {83, "rainbow breathing"}, {85, "raindrops"},
        {88, "twinkling stars"}, {90, "retro snake"}, {91, "neon stream"}, {93, "sine wave"},
        {94, "rotating windmill"}, {95, "colourful waterfall"}, {96, "blossoming"}};
    std::printf("%-22s %8s %10s %10s %12s %12s\n", "effect", "period", "CPU %", "over idle", "CPU/frame", "allocs/frame");
    for (const auto &e : effects) {
        for (int multi = 0; multi < 2; ++multi) {
            engine->on_ChangLightModel(e.model, multi, 4, 4, 40, 200, 120);
            const int period = engine->FramePeriod();
            g_engineAllocs.store(0);
            const Run r = Measure(seconds);
            const double frames = r.seconds * 1000.0 / period;
            const long allocs = g_engineAllocs.load();
            std::printf("%-19s %s %6d ms %9.2f %% %9.2f %% %9.1f us %12.1f\n", e.name, multi ? "M" : " ", period,
                        r.cpuPercent, r.cpuPercent - idle.cpuPercent,
                        1e6 * (r.cpuPercent - idle.cpuPercent) / 100.0 * r.seconds / frames, allocs / frames);
            engine->On_StopThread();
        }
    }
    return 0;
}
