// Figures of opening the keyboard page from its tile against the emulated QK75, wired and
// through the receiver, each report taking 1 ms each way: the time from the click to the page
// shown with the keyboard's tables read, its ratio to the fixed waits on that path (the worker's
// two 50 ms pauses between table reads, the page's 100 ms, and through the receiver the worker's
// 200 ms before the block read and 100 ms before the DIY map read; the sync wait's 200 ms poll
// adds up to one more period, so the ratio lies between 1 and about 2 where nothing else is
// slow), and the page's own filling time beyond its 100 ms.
#include "app/MainWidget.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyLableItem.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuKeyboard.h"
#include "tests/support/TestProgramDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTabWidget>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
const double kFixedWaitsMs = 50 + 50 + 100;
const double kReceiverWaitsMs = 200 + 100;

bool WaitFor(const std::function<bool()> &ready, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!ready() && t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return ready();
}

void Run(emu::Model model, const char *name, int rounds)
{
    const double waits = kFixedWaitsMs + (model == emu::Model::KeyboardReceiver ? kReceiverWaitsMs : 0.0);
    TestProgramDir dir;
    auto dev = std::static_pointer_cast<emu::EmuKeyboard>(emu::MakeDevice(model));
    emu::Knobs knobs = dev->knobs();
    knobs.replyDelayMs = 1;
    knobs.writeDelayMs = 1;
    dev->setKnobs(knobs);
    dev->SetFeatureDelayMs(1);
    const uint32_t node = emu::Plug(dev);
    {
        MainWidget main;
        main.show();
        HID_API *api = HID_API::instance();
        if (!WaitFor([&] { return api->TileMap().value(node) && !api->TileMap().value(node)->ProductFolder().isEmpty(); }, 8000)) {
            std::printf("%s: no tile\n", name);
            return;
        }
        std::vector<double> open, build;
        for (int r = 0; r < rounds; ++r) {
            main.SetPageIndex();
            QApplication::processEvents();
            QElapsedTimer t;
            t.start();
            api->TileMap().value(node)->on_test();
            open.push_back(t.elapsed());
            t.start();
            main.OpenKeyboardPage(QStringLiteral("QK75"));
            build.push_back(t.elapsed() - 100.0);
            if (main.TabWidget()->currentIndex() != 2)
                std::printf("%s: page not shown\n", name);
        }
        std::sort(open.begin(), open.end());
        std::sort(build.begin(), build.end());
        const double openMedian = open[open.size() / 2], buildMedian = build[build.size() / 2];
        std::printf("%-9s tile click to page shown: median %.0f ms, max %.0f ms; ratio to the %.0f ms of fixed waits %.2f\n", name,
                    openMedian, open.back(), waits, openMedian / waits);
        std::printf("%-9s page filling beyond its 100 ms: median %.1f ms, max %.1f ms\n", name, buildMedian, build.back());
    }
    emu::Reset();
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Run(emu::Model::KeyboardWired, "wired", 5);
    Run(emu::Model::KeyboardReceiver, "receiver", 5);
    return 0;
}
