// Figures of the keyboard worker against the emulated keyboard with 1 ms per report each way:
// reading all three tables wired and through the receiver, and writing one key layer, each as a
// ratio to its transfer floor (the reports that must cross the wire, 1 ms each).
#include "app/ProductCatalogue.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/ZR_2_0_KeyboradThread.h"
#include "tests/emu/EmuKeyboard.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/TestProgramDir.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {
struct Keyboard
{
    std::shared_ptr<emu::EmuKeyboard> dev;
    DeviceRecord *record = nullptr;
    QList<DeviceRecord *> records;
};

Keyboard PlugKeyboard(bool wired)
{
    Keyboard k;
    k.dev = std::static_pointer_cast<emu::EmuKeyboard>(
        emu::MakeDevice(wired ? emu::Model::KeyboardWired : emu::Model::KeyboardReceiver));
    emu::Knobs knobs;
    knobs.writeDelayMs = 1;
    knobs.replyDelayMs = 1;
    k.dev->setKnobs(knobs);
    k.dev->SetFeatureDelayMs(1);
    const uint32_t node = emu::Plug(k.dev);
    HID_API::OpenDevices(k.records);
    k.record = HidRecordOfKind(k.records, node, wired ? 0 : 1);
    if (k.record)
        k.record->connectionState = wired ? StateWired : StateWirelessAwake;
    return k;
}

void Report(const char *what, double ms, double floorMs, bool ok)
{
    std::printf("%-44s %8.1f ms  floor %6.1f ms  ratio %6.1f%s\n", what, ms, floorMs, ms / floorMs, ok ? "" : "  (FAILED)");
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestProgramDir dir;
    ClearProductListCache();
    const QString keyFile = dir.filePath(QStringLiteral("Products/QK75/UserConfig/bench.xml"));
    dir.writeFile(QStringLiteral("Products/QK75/UserConfig/bench.xml"),
                  "<?xml version=\"1.0\"?>\n<KeyBoardRoot><Keylevel_ID ID=\"0\">"
                  "<KeyEdit KeyButtonName=\"Q\" LeftValue=\"q\" KeyValueTyp=\"Attrib_LogitechKey\" Value=\"00150000\"/>"
                  "</Keylevel_ID></KeyBoardRoot>\n");

    for (const bool wired : {true, false}) {
        Keyboard k = PlugKeyboard(wired);
        if (!k.record) {
            std::printf("no keyboard record\n");
            return 1;
        }
        ZR_2_0_KeyboradThread worker;
        worker.SetDevice(k.record);
        worker.m_DeviceId = k.record->deviceId;
        QElapsedTimer t;
        t.start();
        const int failures = worker.ReadDeviceTables();
        double ms = t.nsecsElapsed() / 1e6;
        // wired: three requests and three replies; receiver: three requests, 10 + 35 + 27 packets
        Report(wired ? "read all tables, wired" : "read all tables, receiver", ms, wired ? 6.0 : 75.0, failures == 0);
        worker.m_KeyFile = keyFile;
        worker.m_ChangedLayer = 0;
        t.restart();
        const bool ok = worker.WriteKeyTable();
        ms = t.nsecsElapsed() / 1e6;
        // wired: one feature report; receiver: 37 packets and their echoes
        Report(wired ? "write one key layer, wired" : "write one key layer, receiver", ms, wired ? 1.0 : 74.0, ok);
        HidCloseAll(k.records);
        emu::Reset();
    }
    std::printf("the protocol's own pauses dominate: 20 ms per wired read, 200 ms before the receiver's block\n"
                "read, 50 ms between tables; 200 ms before a key layer, 500 ms (receiver) or 200 ms (wired) more,\n"
                "and 500 ms after the key write.\n");
    return 0;
}
