// Figures of the HID transport against the emulator: the upload of a 520-byte block as echoed
// 20-byte packets with 1 ms per report each way, as a ratio to a floor of 2 ms per packet; and
// the CPU time per second that four idle devices' report readers (5 ms reads) use.
#include "app/ProductCatalogue.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Work_Interface.h"
#include "tests/emu/EmuControl.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/TestProgramDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>

static double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestProgramDir dir;
    ClearProductListCache();

    auto dev = emu::MakeDevice(emu::Model::KeyboardReceiver);
    emu::Knobs k;
    k.writeDelayMs = 1;
    k.replyDelayMs = 1;
    dev->setKnobs(k);
    const uint32_t node = emu::Plug(dev);
    QList<DeviceRecord *> records;
    HID_API::OpenDevices(records);
    DeviceRecord *r = HidRecordOfKind(records, node, 1);
    if (!r) {
        std::printf("no receiver record\n");
        return 1;
    }
    r->connectionState = StateWirelessAwake;
    QHid_Work_Interface worker;
    worker.SetDevice(r);

    std::vector<unsigned char> block(520);
    for (int i = 0; i < 520; ++i)
        block[i] = static_cast<unsigned char>(i);
    const int packets = (520 - 8 + 13) / 14;
    QElapsedTimer t;
    t.start();
    const bool ok = worker.SendConfigPackets(block.data(), 520, 0x09);
    const double ms = t.nsecsElapsed() / 1e6;
    std::printf("upload 520-byte block: %s, %d packets, %.1f ms, %.2f ms per packet, ratio to 2 ms floor %.2f"
                " (the protocol's own pauses: 40 ms per packet)\n",
                ok ? "ok" : "FAILED", packets, ms, ms / packets, ms / (packets * 2.0));

    // four idle readers
    std::vector<DeviceRecord *> idle;
    for (int i = 0; i < 4; ++i) {
        const uint32_t n = emu::Plug(emu::MakeDevice(emu::Model::KeyboardReceiver));
        QList<DeviceRecord *> found;
        HID_API::OpenDevices(found);
        for (DeviceRecord *f : found)
            if (f->deviceId == n)
                idle.push_back(f);
            else
                CloseDeviceRecord(f);
    }
    std::atomic<bool> run{true};
    std::vector<std::thread> readers;
    for (DeviceRecord *d : idle)
        readers.emplace_back([d, &run] {
            unsigned char buf[20];
            int status = 0;
            while (run)
                hid_read_timeout_status(d, buf, 20, 5, &status);
        });
    const double cpu0 = CpuSeconds();
    QThread::msleep(2000);
    const double cpu = CpuSeconds() - cpu0;
    run = false;
    for (auto &th : readers)
        th.join();
    std::printf("four idle readers: %.2f ms CPU per second (%zu devices)\n", cpu * 1000.0 / 2.0, idle.size());
    for (DeviceRecord *d : idle)
        CloseDeviceRecord(d);
    HidCloseAll(records);
    return ok ? 0 : 1;
}
