// Audio frames actually sent per second by each audio effect to the emulated keyboard, wired and
// through the receiver, rendering back to back with a changing loud signal and the sleeps the
// sample "SysBuild.ini" ships, as a ratio to the pacing the effects are meant to keep:
//   wired:    per frame, the configured frame sleep;
//   receiver: per frame, per-key packets x 3 ms + the wireless frame sleep;
// plus, for both links, the pauses an effect adds of its own: Clouds Rise and Snow Fly waits 20 ms
// before each frame on a wireless link, Gurgling Stream 10 ms after each frame on either link.
// No keyboard worker runs in this process, so the status read that a worker adds after each
// wireless frame (a read of up to 5 ms, then 5 ms) is not made and not counted. The writes
// themselves and the sleeps' overshoot on a loaded machine keep the ratio a little below 1.
// QUORIX_BENCH_SECONDS sets the window per case (default 2 s).
#include "app/ProductCatalogue.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "lighting/AudioEffectFactory.h"
#include "lighting/QAudioEffctBass.h"
#include "lighting/QAudio_Dynamic_Spectrum.h"
#include "lighting/QEffctBase.h"
#include "tests/emu/EmuKeyboard.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/TestProgramDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {
QString g_rows;
QSettings *RowsFile() { return new QSettings(g_rows, QSettings::IniFormat); }
quint32 g_picture[64 * 256];
const quint32 *Picture() { return g_picture; }

struct Result
{
    double fps = 0;
    double packetsPerFrame = 0;
};

// The pauses an effect adds to every frame beyond the base pacing, in ms.
double OwnPauseMs(ushort type, bool wired)
{
    if (type == 172)
        return 10.0;
    if (type == 170 && !wired)
        return 20.0;
    return 0.0;
}

Result Run(ushort type, bool wired, double seconds, QList<DeviceRecord *> &records)
{
    auto dev = std::static_pointer_cast<emu::EmuKeyboard>(
        emu::MakeDevice(wired ? emu::Model::KeyboardWired : emu::Model::KeyboardReceiver));
    const uint32_t node = emu::Plug(dev);
    QList<DeviceRecord *> found;
    HID_API::OpenDevices(found);
    records += found;
    DeviceRecord *r = nullptr;
    for (DeviceRecord *c : HidRecordsOfNode(found, node))
        if (wired ? c->featureLength == 520 : c->outputLength == 20)
            r = c;
    if (!r)
        return {};
    r->connectionState = wired ? StateWired : StateWirelessAwake;
    std::unique_ptr<QAudioEffctBass> e(CreateAudioEffect(type));
    e->LoadLayout();
    e->SetColours(QColor(200, 100, 50), 1, 0.0, 0.0);
    e->SetPaused(false);
    QVector<double> data(480);
    QElapsedTimer clock;
    clock.start();
    for (int block = 0; clock.elapsed() < seconds * 1000; ++block) {
        for (int i = 0; i < data.size(); ++i)
            data[i] = 5.0 + (i % 40 == block % 40 ? 60.0 + 50.0 * std::sin(block * 0.3) : 0.0);
        for (int p = 0; p < 64 * 256; ++p)
            g_picture[p] = (p + block * 7) % 3 ? 0u : 0x204080u;
        e->Render(data.data(), data.size(), r);
    }
    const double elapsed = clock.elapsed() / 1000.0;
    Result out;
    const int frames = dev->AudioFrames().size();
    out.fps = frames / elapsed;
    int packets = 0;
    for (const emu::Traffic &t : emu::TrafficLog(node, emu::Traffic::Write))
        packets += t.bytes.size() > 4 && uint8_t(t.bytes.at(1)) == 0x88 && uint8_t(t.bytes.at(4)) != 0x23;
    out.packetsPerFrame = frames ? double(packets) / frames : 0;
    e->SetPaused(true);
    emu::Unplug(node);
    return out;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestProgramDir dir;
    ClearProductListCache();
    g_rows = dir.filePath(QStringLiteral("Products/QK75/rhythmLight.ini"));
    QEffctBase::SetRowsFileOpener(&RowsFile);
    QAudio_Dynamic_Spectrum::SetPictureSource(&Picture);
    const double seconds = qEnvironmentVariableIsSet("QUORIX_BENCH_SECONDS")
                               ? qEnvironmentVariable("QUORIX_BENCH_SECONDS").toDouble() : 2.0;
    QList<DeviceRecord *> records;
    std::printf("%-6s %-9s %10s %12s %14s %8s\n", "effect", "link", "frames/s", "packets/fr", "mandated f/s",
                "ratio");
    for (ushort type : {168, 169, 170, 171, 172, 173, 428}) {
        for (bool wired : {true, false}) {
            std::unique_ptr<QAudioEffctBass> probe(CreateAudioEffect(type));
            probe->LoadLayout(); // the spectrum effect reads its sleeps here
            const Result res = Run(type, wired, seconds, records);
            const double period = (wired ? (probe->AmdProcessor() ? probe->AmdFrameSleep() : probe->OtherFrameSleep())
                                         : res.packetsPerFrame * 3.0 + probe->WirelessFrameSleep()) +
                                  OwnPauseMs(type, wired);
            const double mandated = period > 0 ? 1000.0 / period : 0.0;
            std::printf("%-6u %-9s %10.1f %12.2f %14.1f %8.2f\n", type, wired ? "wired" : "receiver", res.fps,
                        res.packetsPerFrame, mandated, mandated > 0 ? res.fps / mandated : 0.0);
            std::fflush(stdout);
        }
    }
    HidCloseAll(records);
    emu::Reset();
    return 0;
}
