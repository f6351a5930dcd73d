// Device list figures with eight emulated keyboards and the program's own workers: time from
// process start to the last of the eight tiles shown, and from a plug notice to its tile shown.
#include "app/MainWidget.h"
#include "device/HID_API.h"
#include "device/QHidListWidget.h"
#include "device/QKeyLableItem.h"
#include "platform/HidPlatform.h"
#include "tests/emu/EmuControl.h"
#include "tests/support/TestProgramDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

namespace {
// Runs the event loop until the page shows `count` tiles or the time is up; false on time-out.
bool WaitForTiles(HID_API *page, int count, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (page->ListWidget()->VisibleWidgets().size() != count) {
        if (t.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}
} // namespace

int main(int argc, char **argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int plugs = argc > 1 ? QByteArray(argv[1]).toInt() : 8;
    TestProgramDir dir;
    for (int i = 0; i < 8; ++i)
        emu::Plug(emu::MakeDevice(emu::Model::KeyboardWired), false);
    MainWidget window;
    window.show();
    HID_API *page = HID_API::instance();
    if (!WaitForTiles(page, 8, 30000)) {
        std::printf("the eight tiles did not appear\n");
        return 1;
    }
    std::printf("process start to the last of 8 tiles shown: %lld ms\n", static_cast<long long>(sinceStart.elapsed()));

    std::printf("plug  notice-to-tile(ms)\n");
    qint64 total = 0;
    for (int i = 0; i < plugs; ++i) {
        QElapsedTimer t;
        t.start();
        const uint32_t node = emu::Plug(emu::MakeDevice(emu::Model::KeyboardWired), true);
        if (!WaitForTiles(page, 9, 30000)) {
            std::printf("the plugged device got no tile\n");
            return 1;
        }
        const qint64 ms = t.elapsed();
        total += ms;
        std::printf("%4d  %lld\n", i + 1, static_cast<long long>(ms));
        emu::Unplug(node, true);
        if (!WaitForTiles(page, 8, 30000)) {
            std::printf("the unplugged device kept its tile\n");
            return 1;
        }
    }
    if (plugs > 0)
        std::printf("mean notice-to-tile: %lld ms (the page waits 100 + 200 ms before it asks for the code)\n",
                    static_cast<long long>(total / plugs));
    return 0;
}
