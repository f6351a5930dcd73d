// Time to write a 64 KiB and a 128 KiB firmware image, PixArt over the cable, PixArt through the
// receiver and Geehy, with every report taking 1 ms in the emulator at time scale 1; printed
// with its ratio to the floor: the reports on the wire times 1 ms plus the waits the protocol
// mandates for what was sent (post-delays, packet time, polls, fixed sleeps; re-enumeration
// runs during the engine's own fixed sleeps). Runs for minutes.
#include "firmware/CmdControlGeeHy.h"
#include "firmware/CmdControlPixArt.h"
#include "firmware/CmdThread.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuGeehyBoot.h"
#include "tests/emu/EmuMouseYx.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cstdio>

enum class Path { PixArtWired, PixArtReceiver, Geehy };

static void Measure(Path path, int kib, const QString &file)
{
    emu::Reset();
    auto mouse = std::make_shared<emu::MouseYx>(path != Path::PixArtReceiver);
    mouse->SetFeatureDelayMs(1);
    emu::Knobs knobs;
    knobs.writeDelayMs = 1;
    mouse->setKnobs(knobs);
    emu::GeehyKnobs boot;
    mouse->SetBootKnobs(boot);
    emu::Plug(mouse, false);
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    QByteArray image(kib * 1024, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7 + i / 253);
    f.write(image);
    f.close();

    CmdControl *engine = nullptr;
    QVariantMap params{{"_fw_path", file}, {"_packet_time", 16}};
    if (path == Path::Geehy) {
        engine = new CmdControlGeeHy;
        params.insert({{"_vid", "0x3A7C"}, {"_pid", "0x0301"}, {"_version", "0x27"}});
    } else {
        engine = new CmdControlPixArt;
        params.insert({{"_verify_password", "3a7c03010001"}, {"_verify_vid", "0x3A7C"},
                       {"_verify_pid", path == Path::PixArtWired ? "0x0301" : "0x0302"}, {"_retry_cnt", 1000},
                       {"_wireless_mode", path == Path::PixArtReceiver},
                       {"_dongles", QJsonArray{QJsonObject{{"vid", "0x3A7C"}, {"pid", "0x0302"}}}}});
    }
    bool ok = false;
    QObject::connect(engine, &CmdControl::finished, [&] { ok = true; });
    engine->reset();
    engine->set_params(params);
    engine->setup();
    emu::ClearTraffic();
    const qint64 waitsBefore = FirmwareWaitTotalMs();
    QElapsedTimer t;
    t.start();
    engine->start();
    engine->wait();
    const double ms = t.nsecsElapsed() / 1e6;
    const qint64 waits = FirmwareWaitTotalMs() - waitsBefore;
    int reports = 0;
    for (const emu::Traffic &x : emu::TrafficLog())
        if (x.op == emu::Traffic::SendFeature || x.op == emu::Traffic::GetFeature || x.op == emu::Traffic::Write)
            ++reports;
    delete engine;
    const char *name = path == Path::PixArtWired ? "PixArt cable" : path == Path::PixArtReceiver ? "PixArt receiver" : "Geehy";
    const double floor = reports + double(waits);
    std::printf("%-16s %4d KiB: %8.1f s  floor %8.1f s (%6d reports, %8.1f s waits)  ratio %.3f %s\n", name, kib,
                ms / 1000, floor / 1000, reports, waits / 1000.0, ms / floor, ok ? "" : "(FAILED)");
    std::fflush(stdout);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file = dir.filePath("firmware.bin");
    for (int kib : {64, 128})
        for (Path p : {Path::PixArtWired, Path::PixArtReceiver, Path::Geehy})
            Measure(p, kib, file);
    emu::Reset();
    return 0;
}
