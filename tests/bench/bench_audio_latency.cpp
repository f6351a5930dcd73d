// Audio lighting end to end, on the keyboard page with an emulated wired keyboard and a
// PulseAudio daemon of the benchmark's own:
//   1) latency: from silence, a 1000 Hz tone written into "test_sink" through the benchmark's own
//      low-latency playback stream, to the first 520-byte frame reflecting it that the keyboard
//      receives (effect 171), both on the clock of the emulator's traffic log. Printed as measured
//      from the write, and from the moment the tone enters the sink (write + the stream's reported
//      latency), with that latency;
//   2) CPU of the whole audio path (capture, transform, draw, HID writes, preview on the on-screen
//      keyboard) as % of one core over a 200-4000 Hz sweep, against the same process with audio off.
//
//   bench_audio_latency [trials] [seconds]     defaults 10 trials, 10 s per CPU case
#include "app/MainWidget.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyLableItem.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "lighting/AudioMonitor.h"
#include "lighting/QLightConfigWIdget.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuKeyboard.h"
#include "tests/support/PulseTestServer.h"
#include "tests/support/TestProgramDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <pulse/simple.h>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>
#include <thread>
#include <vector>

namespace {
double ProcessCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

bool WaitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QTest::qWait(10);
    return done();
}

// A playback stream of 10 ms chunks with a 10 ms target buffer.
class LowLatencyPlayer
{
public:
    explicit LowLatencyPlayer(int rate) : m_rate(rate)
    {
        const pa_sample_spec sampleSpec{PA_SAMPLE_S16LE, uint32_t(rate), 2};
        pa_buffer_attr attr;
        attr.maxlength = uint32_t(-1);
        attr.tlength = uint32_t(pa_usec_to_bytes(10000, &sampleSpec));
        attr.prebuf = uint32_t(-1);
        attr.minreq = uint32_t(-1);
        attr.fragsize = uint32_t(-1);
        int error = 0;
        m_pa = pa_simple_new(nullptr, "bench_audio_latency", PA_STREAM_PLAYBACK, "test_sink", "tone", &sampleSpec, nullptr,
                             &attr, &error);
    }
    ~LowLatencyPlayer()
    {
        if (m_pa)
            pa_simple_free(m_pa);
    }
    bool ok() const { return m_pa != nullptr; }
    // One 10 ms chunk (blocks until the stream takes it).
    void Write(double amplitude)
    {
        const int n = m_rate / 100;
        m_chunk.resize(size_t(n) * 2);
        for (int i = 0; i < n; ++i, ++m_phase) {
            const auto v = int16_t(amplitude * 32767 * std::sin(2 * M_PI * 1000.0 * m_phase / m_rate));
            m_chunk[2 * i] = m_chunk[2 * i + 1] = v;
        }
        pa_simple_write(m_pa, m_chunk.data(), m_chunk.size() * sizeof(int16_t), nullptr);
    }
    double LatencyMs() { return pa_simple_get_latency(m_pa, nullptr) / 1000.0; }

private:
    pa_simple *m_pa = nullptr;
    int m_rate;
    long m_phase = 0;
    std::vector<int16_t> m_chunk;
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int trials = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    const int seconds = argc > 2 ? std::max(1, atoi(argv[2])) : 10;
    TestProgramDir dir;
    PulseTestServer server;
    if (!server.failure().isEmpty()) {
        std::printf("bench_audio_latency: skipped, %s\n", qPrintable(server.failure()));
        return 0;
    }
    auto dev = std::static_pointer_cast<emu::EmuKeyboard>(emu::MakeDevice(emu::Model::KeyboardWired));
    const uint32_t node = emu::Plug(dev);
    MainWidget main;
    main.show();
    HID_API *api = HID_API::instance();
    if (!WaitFor([&] { return api->TileMap().value(node) && api->Manager()->Worker(node); }, 5000)) {
        std::printf("bench_audio_latency: the emulated keyboard did not open\n");
        return 1;
    }
    WaitFor([&] { return !api->TileMap().value(node)->ProductFolder().isEmpty(); }, 5000);
    api->TileMap().value(node)->on_test();
    QLStyleKeybordTabWidget *page = QLStyleKeybordTabWidget::instance();
    QLightConfigWIdget *light = page->LightPage();
    page->ButLight->click();
    page->on_RestDispText(1);
    AudioMonitor *audio = AudioMonitor::instance();
    if (!audio || !audio->Initialised) {
        std::printf("bench_audio_latency: skipped, the capture did not open\n");
        return 0;
    }
    const auto click = [&](uint id) {
        QListWidget *list = light->ui->AudionLightWidget;
        const int row = light->AudioIds().indexOf(id);
        list->setCurrentRow(row);
        Q_EMIT list->itemClicked(list->item(row));
    };
    click(171);
    audio->SetSoftDisplay(true);

    const int rate = int(audio->MixFormat().samplesPerSec);
    // Freed before the CPU cases: a low-latency stream left on the sink makes it render in blocks
    // of about 1 ms, and every reader of its monitor (parec too) then wakes some 600 times a second.
    auto player = std::make_unique<LowLatencyPlayer>(rate);
    if (!player->ok()) {
        std::printf("bench_audio_latency: skipped, no playback stream\n");
        return 0;
    }
    std::vector<double> fromWrite, fromSink, latencies;
    for (int t = 0; t < trials; ++t) {
        std::atomic<bool> tone{false}, stop{false};
        std::atomic<qint64> toneAt{0};
        std::atomic<double> latency{0.0};
        std::thread writer([&] {
            while (!stop) {
                const bool on = tone;
                if (on && toneAt == 0) {
                    latency = player->LatencyMs();
                    toneAt = emu::ClockMs();
                }
                player->Write(on ? 0.4 : 0.0);
            }
        });
        QTest::qWait(800); // silence: no frames
        dev->ClearAudioFrames();
        tone = true;
        WaitFor([&] {
            const qint64 at = toneAt;
            if (at == 0)
                return false;
            for (const emu::AudioFrame &f : dev->AudioFrames())
                if (f.atMs >= at)
                    return true;
            return false;
        }, 3000);
        stop = true;
        writer.join();
        const qint64 at = toneAt;
        for (const emu::AudioFrame &f : dev->AudioFrames()) {
            if (f.atMs >= at) {
                fromWrite.push_back(double(f.atMs - at));
                fromSink.push_back(double(f.atMs - at) - latency);
                latencies.push_back(latency);
                break;
            }
        }
        QTest::qWait(300); // the tone drains, silence again
    }

    player.reset();

    // The whole path against audio off, over the same sweep.
    server.playTone(QStringLiteral("test_sink"), rate, 200.0, 0.5, 4000.0);
    const auto measure = [&] {
        QTest::qWait(500);
        dev->ClearAudioFrames();
        const double cpu0 = ProcessCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QTest::qWait(seconds * 1000);
        const double s = wall.elapsed() / 1000.0;
        return std::make_pair(100.0 * (ProcessCpuSeconds() - cpu0) / s, dev->AudioFrames().size() / s);
    };
    click(169);
    const auto on = measure();
    audio->on_SetAudioEffectModel(98, false, 0, 0, 0, 0, 0, 0);
    const auto off = measure();
    server.stopTone();

    std::printf("audio latency, %.1f kHz null sink, effect 171 on the emulated wired keyboard (%zu of %d trials framed)\n",
                rate / 1000.0, fromWrite.size(), trials);
    if (!fromWrite.empty()) {
        std::printf("  tone written -> first frame:        median %6.1f ms, max %6.1f ms\n", Median(fromWrite),
                    *std::max_element(fromWrite.begin(), fromWrite.end()));
        std::printf("  tone entering the sink -> frame:    median %6.1f ms, max %6.1f ms (goal <= 55 ms)\n",
                    Median(fromSink), *std::max_element(fromSink.begin(), fromSink.end()));
        std::printf("  playback stream's reported latency: median %6.1f ms\n", Median(latencies));
    }
    std::printf("CPU over %d s of a 200-4000 Hz sweep\n", seconds);
    std::printf("  whole audio path (169, HID writes, preview on): %6.2f %% of one core, %.1f frames/s\n", on.first,
                on.second);
    std::printf("  audio off:                                      %6.2f %% of one core\n", off.first);
    return 0;
}
