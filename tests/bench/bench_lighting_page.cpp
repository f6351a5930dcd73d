// Figures of a lighting choice against the emulated QK75, wired and through the receiver, each
// report taking 1 ms each way: from a click on a mode row to the keyboard's acknowledgement and to
// the first preview frame on the on-screen keyboard, and from a slider release to the
// acknowledgement. Each is printed with its ratio to its floor: the fixed waits on that path (the
// worker's 50 ms before a model block, its 30 ms before each receiver packet, the 200 ms slider
// wait, one frame period of the static mode) plus the transfer (one 520-byte feature report
// wired, ten 20-byte packets with their echoes through the receiver). The acknowledgement is
// taken where the worker reports it.
#include "app/MainWidget.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QHid_Work_Interface.h"
#include "device/QKeyLableItem.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "keyboard/QMultifunKeyButton.h"
#include "lighting/QBaseEffctThread.h"
#include "lighting/QLightConfigWIdget.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuKeyboard.h"
#include "tests/support/TestProgramDir.h"
#include "widgets/QSliderAlterMax.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QRadioButton>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
bool WaitFor(const std::function<bool()> &ready, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!ready() && t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    return ready();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void Print(const char *name, const char *what, const std::vector<double> &v, double floor)
{
    const double m = Median(v);
    std::printf("%-9s %-34s median %6.1f ms, floor %6.1f ms, ratio %.2f\n", name, what, m, floor, floor > 0 ? m / floor : 0);
}

void Run(emu::Model model, const char *name, double transferMs, int rounds)
{
    // the block of 128 bytes goes as ten packets through the receiver, each after 30 ms
    if (model == emu::Model::KeyboardReceiver)
        transferMs += 10 * 30;
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
        api->TileMap().value(node)->on_test();
        QLStyleKeybordTabWidget *page = QLStyleKeybordTabWidget::instance();
        QLightConfigWIdget *light = page->LightPage();
        QHid_Threads_Manage *manager = api->Manager();
        page->ButLight->click();
        page->SetDisplayOn(true);
        light->on_SwtchDispStatic(true);
        QMultifunKeyButton *key = page->KeyBoard()->KeyByName(QStringLiteral("Esc"));
        QElapsedTimer clock;
        std::atomic<qint64> modelAck{-1}, sliderAck{-1};
        QHid_Work_Interface *worker = manager->CurrentWorker();
        QObject::connect(worker, &QHid_Work_Interface::ChangeResetLightModelSucceed, worker,
                         [&] { modelAck = clock.elapsed(); }, Qt::DirectConnection);
        QObject::connect(worker, &QHid_Work_Interface::CHangeLightSleep_LuminaSucceed, worker,
                         [&] { sliderAck = clock.elapsed(); }, Qt::DirectConnection);
        QListWidget *list = light->ui->LightListWidget;
        const int row = light->ModelIds().indexOf(81);
        std::vector<double> ack, frame, slider;
        QBaseEffctThread *engine = QBaseEffctThread::instance();
        for (int r = 0; r < rounds; ++r) {
            WaitFor([&] { return manager->PendingCommands() == 0 && !manager->isRunning(); }, 5000);
            engine->On_StopThread();
            QApplication::processEvents();
            key->SetColour(1, 1, 1, 1);
            list->setCurrentRow(row);
            modelAck = -1;
            clock.start();
            Q_EMIT list->itemClicked(list->item(row));
            if (WaitFor([&] { return modelAck >= 0 && key->A != 1; }, 5000)) {
                ack.push_back(modelAck);
                frame.push_back(clock.elapsed());
            }
            WaitFor([&] { return manager->PendingCommands() == 0 && !manager->isRunning(); }, 5000);
            sliderAck = -1;
            clock.start();
            Q_EMIT light->ui->Backlight_Slider->sliderReleased();
            if (WaitFor([&] { return sliderAck >= 0; }, 5000))
                slider.push_back(sliderAck);
        }
        Print(name, "mode click to acknowledgement", ack, 50 + transferMs);
        Print(name, "mode click to first preview frame", frame, 50 + transferMs + engine->FramePeriod());
        Print(name, "slider release to acknowledgement", slider, 200 + transferMs);
    }
    emu::Reset();
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Run(emu::Model::KeyboardWired, "wired", 2, 5);
    Run(emu::Model::KeyboardReceiver, "receiver", 20, 5);
    return 0;
}
