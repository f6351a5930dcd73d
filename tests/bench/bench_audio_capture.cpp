// What audio lighting costs while it captures: the process's CPU as % of one core over a window
// of a changing signal (a 200 to 4000 Hz sweep) played into the null sink of a PulseAudio daemon
// of the benchmark's own, for
//   a) the capture loop with its packet spectrum (direct sum) and an effect rendering it (no
//      keyboard attached, so no HID writes);
//   b) the capture loop running the spectrum analyser (the Dynamic Spectrum effect);
//   c) the same process with audio off (the floor).
// Also the packets analysed per second and the time of one packet spectrum at 441 frames.
//
//   bench_audio_capture [seconds]      each case measured over `seconds` (default 10)
#include "lighting/AudioMonitor.h"
#include "tests/support/PulseTestServer.h"
#include "tests/support/TestProgramDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace {
double ProcessCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

struct Figure
{
    double cpuPercent;
    int analysed;
};

Figure Measure(AudioMonitor &monitor, int seconds)
{
    QSignalSpy draws(&monitor, &AudioMonitor::DrawKeyborad);
    QTest::qWait(500); // settle
    draws.clear();
    const double cpu0 = ProcessCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    QTest::qWait(seconds * 1000);
    const double cpu = ProcessCpuSeconds() - cpu0;
    int analysed = 0;
    for (const QList<QVariant> &d : draws)
        analysed += d.at(2).toInt() > 0;
    return {100.0 * cpu / (wall.elapsed() / 1000.0), analysed};
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? qMax(1, atoi(argv[1])) : 10;
    TestProgramDir dir;
    PulseTestServer server;
    if (!server.failure().isEmpty()) {
        std::printf("bench_audio_capture: skipped, %s\n", qPrintable(server.failure()));
        return 0;
    }
    AudioMonitor monitor;
    if (!monitor.Initialised) {
        std::printf("bench_audio_capture: skipped, the capture did not open\n");
        return 0;
    }
    server.playTone(QStringLiteral("test_sink"), 44100, 200.0, 0.5, 4000.0);

    monitor.on_SetAudioEffectModel(171, false, 30, 200, 100, 50, 100, 0);
    const Figure capture = Measure(monitor, seconds);
    monitor.on_SetAudioEffectModel(428, false, 30, 0, 0, 0, 0, 0);
    const Figure analyser = Measure(monitor, seconds);
    monitor.on_StopGrabEffct();
    const Figure off = Measure(monitor, seconds);

    QByteArray packet(441 * 4, '\0');
    for (int i = 0; i < 441; ++i)
        qToLittleEndian<qint16>(qint16(12000 * std::sin(i * 0.31 + 0.3)), packet.data() + 4 * i);
    QElapsedTimer t;
    t.start();
    const int runs = 50;
    for (int i = 0; i < runs; ++i)
        AudioMonitor::AnalysePacket(reinterpret_cast<const uchar *>(packet.constData()), 441);
    const double perPacketMs = t.nsecsElapsed() / 1e6 / runs;

    std::printf("audio capture over %d s of a 200-4000 Hz sweep, 44.1 kHz null sink\n", seconds);
    std::printf("  a) capture + packet spectrum + effect 171: %6.2f %% of one core, %.1f packets analysed/s\n",
                capture.cpuPercent, capture.analysed / double(seconds));
    std::printf("  b) capture + spectrum analyser (428):     %6.2f %% of one core\n", analyser.cpuPercent);
    std::printf("  c) audio off:                             %6.2f %% of one core\n", off.cpuPercent);
    std::printf("  one packet spectrum (441 frames, direct sum): %.2f ms\n", perPacketMs);
    return 0;
}
