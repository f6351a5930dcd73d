// The analysis of captured sound: the capture's packet spectrum and the spectrum analyser's
// bands and pictures, on synthetic packets (no sound server needed).
#include "lighting/AudioMonitor.h"
#include "lighting/Visualizer.h"
#include "tests/support/DirectSpectrum.h"

#include <QtTest>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// Interleaved stereo 16-bit frames of a sine (both channels alike).
QByteArray Tone16(int frames, int rate, double hz, double amplitude)
{
    QByteArray bytes(frames * 4, '\0');
    for (int i = 0; i < frames; ++i) {
        const qint16 v = qint16(std::lround(amplitude * 32767.0 * std::sin(2.0 * M_PI * hz * i / rate + 0.3)));
        qToLittleEndian(v, bytes.data() + 4 * i);
        qToLittleEndian(v, bytes.data() + 4 * i + 2);
    }
    return bytes;
}

int ArgMax(const QVector<double> &v, int from, int to)
{
    int best = from;
    for (int i = from; i < to; ++i)
        if (v[i] > v[best])
            best = i;
    return best;
}
} // namespace

class TestAudioAnalysis : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void formatRewrite_data();
    void formatRewrite();
    void packetSpectrum();
    void packetEdges();
    void packetSpectrumMatchesDirectSum_data();
    void packetSpectrumMatchesDirectSum();
    void analyserLevels();
    void analyserSilenceAndShortPackets();
    void analyserPictures();
};

void TestAudioAnalysis::formatRewrite_data()
{
    QTest::addColumn<int>("tag");
    QTest::addColumn<bool>("subFloat");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("tagAfter");
    QTest::addColumn<int>("bitsAfter");
    QTest::addColumn<int>("blockAfter");
    QTest::newRow("float") << 3 << false << 32 << 1 << 16 << 4;
    QTest::newRow("extensible float") << 0xFFFE << true << 32 << 0xFFFE << 16 << 4;
    QTest::newRow("extensible 24-bit pcm") << 0xFFFE << false << 24 << 0xFFFE << 24 << 6;
}

void TestAudioAnalysis::formatRewrite()
{
    QFETCH(int, tag);
    QFETCH(bool, subFloat);
    QFETCH(int, bits);
    platform::AudioMixFormat f;
    f.formatTag = uint16_t(tag);
    f.subFormatFloat = subFloat;
    f.channels = 2;
    f.samplesPerSec = 48000;
    f.bitsPerSample = f.validBitsPerSample = uint16_t(bits);
    f.blockAlign = uint16_t(2 * bits / 8);
    f.avgBytesPerSec = f.blockAlign * 48000u;
    AudioMonitor::AdjustFormatTo16Bit(f);
    QTEST(int(f.formatTag), "tagAfter");
    QTEST(int(f.bitsPerSample), "bitsAfter");
    QTEST(int(f.blockAlign), "blockAfter");
    QCOMPARE(f.avgBytesPerSec, f.blockAlign * 48000u);
    QCOMPARE(f.subFormatFloat, false);
}

// A 1000 Hz tone has whole cycles in a 10 ms packet: its bin and the mirror bin stand out.
void TestAudioAnalysis::packetSpectrum()
{
    for (int rate : {44100, 48000}) {
        const int n = rate / 100;
        const QByteArray packet = Tone16(n, rate, 1000.0, 0.5);
        const QVector<double> m = AudioMonitor::AnalysePacket(reinterpret_cast<const uchar *>(packet.constData()), n);
        QCOMPARE(m.size(), n);
        const int bin = 1000 * n / rate;
        QCOMPARE(ArgMax(m, 0, n / 2), bin);
        QCOMPARE(ArgMax(m, n / 2, n), n - bin);
        for (double v : m)
            QVERIFY(std::isfinite(v));
    }
}

// Silence, short packets, a zero first byte and packets above the sample buffer's 1024 frames.
void TestAudioAnalysis::packetEdges()
{
    auto analyse = [](const QByteArray &p, int frames) {
        return AudioMonitor::AnalysePacket(reinterpret_cast<const uchar *>(p.constData()), frames);
    };
    QVERIFY(analyse(QByteArray(480 * 4, '\0'), 480).isEmpty());          // digital silence
    QVERIFY(analyse(Tone16(31, 48000, 1000.0, 0.5), 31).isEmpty());       // fewer than 32 frames
    QByteArray quiet = Tone16(480, 48000, 1000.0, 0.5);
    for (int i = 0; i < 32; ++i) {                                        // left sum 49, then 50
        qToLittleEndian<qint16>(i == 0 ? 18 : 1, quiet.data() + 4 * i);
        quiet[4 * i + 2] = quiet[4 * i + 3] = 0;
    }
    QVERIFY(analyse(quiet, 480).isEmpty());
    qToLittleEndian<qint16>(19, quiet.data());
    QCOMPARE(analyse(quiet, 480).size(), 480);
    quiet[0] = 0;                                                         // first byte 0: skipped
    QVERIFY(analyse(quiet, 480).isEmpty());
    QVERIFY(analyse(Tone16(480, 48000, 1000.0, 0.0004), 480).isEmpty()); // nothing above 0.2
    const QByteArray big = Tone16(1500, 48000, 1000.0, 0.5);
    QCOMPARE(analyse(big, 1500).size(), AudioMonitor::kMaxFrames);       // cut to the buffer
}

void TestAudioAnalysis::packetSpectrumMatchesDirectSum_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<bool>("silent");
    for (int rate : {44100, 48000}) {
        const int n = rate / 100;
        const QString at = QStringLiteral(" %1").arg(n);
        QByteArray noise(n * 4, '\0');
        quint32 seed = 12345;
        for (int i = 0; i < 2 * n; ++i) {
            seed = seed * 1664525u + 1013904223u;
            qToLittleEndian<qint16>(qint16(int(seed >> 16) - 32768), noise.data() + 2 * i);
        }
        QByteArray chord = Tone16(n, rate, 440.0, 0.3);
        const QByteArray high = Tone16(n, rate, 9876.5, 0.2);
        for (int i = 0; i < 2 * n; ++i)
            qToLittleEndian<qint16>(qint16(qFromLittleEndian<qint16>(chord.constData() + 2 * i) +
                                           qFromLittleEndian<qint16>(high.constData() + 2 * i)),
                                    chord.data() + 2 * i);
        QTest::newRow(qPrintable("tone" + at)) << Tone16(n, rate, 1000.0, 0.5) << false;
        QTest::newRow(qPrintable("chord off the bins" + at)) << chord << false;
        QTest::newRow(qPrintable("noise" + at)) << noise << false;
        QTest::newRow(qPrintable("silence" + at)) << QByteArray(n * 4, '\0') << true;
    }
}

// The transform gives the direct sum's magnitudes, constant 6.2831924 included.
void TestAudioAnalysis::packetSpectrumMatchesDirectSum()
{
    QFETCH(QByteArray, packet);
    QFETCH(bool, silent);
    const auto *bytes = reinterpret_cast<const uchar *>(packet.constData());
    const int n = packet.size() / 4;
    const QVector<double> got = AudioMonitor::AnalysePacket(bytes, n);
    QCOMPARE(got.isEmpty(), silent);
    if (silent)
        return;
    const QVector<double> want = DirectSpectrum(bytes, n);
    QCOMPARE(got.size(), n);
    const double largest = *std::max_element(want.begin(), want.end());
    for (int k = 0; k < n; ++k)
        QVERIFY2(std::fabs(got[k] - want[k]) <= 1e-9 * largest,
                 qPrintable(QStringLiteral("bin %1: %2 against %3").arg(k).arg(got[k], 0, 'g', 17).arg(want[k], 0, 'g', 17)));
}

// Band level formula, the transform against a direct sum, and the column a tone lands in.
void TestAudioAnalysis::analyserLevels()
{
    QVERIFY(qAbs(Visualizer::BandLevel(1.0f) - 0.9207f) < 1e-4f);
    QVERIFY(qAbs(Visualizer::BandLevel(0.5f) - 0.3202f) < 1e-4f);
    QVERIFY(Visualizer::BandLevel(0.1f) < 0.0f);
    QVERIFY(Visualizer::BandLevel(0.0f) < 0.0f && std::isfinite(Visualizer::BandLevel(0.0f)));

    std::vector<float> work(512);
    for (int i = 0; i < 512; ++i)
        work[i] = float(std::sin(i * 0.37) + 0.5 * std::cos(i * 1.3) + (i % 7) * 0.1);
    const std::vector<float> x = work;
    Visualizer::RealFft512(work.data());
    for (int k = 0; k <= 256; ++k) {
        double re = 0, im = 0;
        for (int j = 0; j < 512; ++j) {
            re += x[j] * std::cos(2 * M_PI * j * k / 512);
            im += x[j] * std::sin(2 * M_PI * j * k / 512);
        }
        const double want = std::hypot(re, im) / 512.0;
        const double got = k == 0 ? std::fabs(work[0]) : k == 256 ? std::fabs(work[1]) : std::hypot(work[2 * k], work[2 * k + 1]);
        QVERIFY2(std::fabs(got - want) < 1e-4, qPrintable(QStringLiteral("bin %1").arg(k)));
    }

    // 1000 Hz at 48 kHz, loud enough for a positive level and quiet enough not to saturate: each packet gives 120 history values two
    // frames apart, each stored twice, so the transform sees 48 kHz: bin 1000 x 512 / 48000 = 10.7.
    Visualizer *v = Visualizer::instance();
    const QByteArray tone = Tone16(480, 48000, 1000.0, 0.05);
    std::vector<float> floats(960);
    for (int i = 0; i < 960; ++i)
        floats[i] = qFromLittleEndian<qint16>(tone.constData() + 2 * i) / 32768.0f;
    for (int p = 0; p < 4; ++p)
        v->AddSamples(floats.data(), 480);
    v->AnalyseHistory();
    int peak = 0;
    for (int c = 0; c < Visualizer::Columns; ++c)
        if (v->Levels()[c] > v->Levels()[peak])
            peak = c;
    QVERIFY(v->Levels()[peak] > 0.05f && v->Levels()[peak] < 1.0f);
    QCOMPARE(peak / 4, qRound(1000.0 * 512 / 48000)); // band 11 (columns 44..47)
}

// Digital silence and one-frame packets: finite levels that only decay, no read past a packet.
void TestAudioAnalysis::analyserSilenceAndShortPackets()
{
    Visualizer *v = Visualizer::instance();
    const std::vector<float> zeros(2048, 0.0f);
    for (int i = 0; i < 300; ++i)
        v->AddSamples(zeros.data(), 1024);
    const std::vector<float> oneFrame = {0.5f, 0.5f}; // a group of four floats would read past it
    v->AddSamples(oneFrame.data(), 1);
    for (int i = 0; i < 300; ++i)
        v->AddSamples(zeros.data(), 1024);
    for (int frame = 0; frame < 30; ++frame) {
        v->AnalyseHistory();
        for (int c = 0; c < Visualizer::Columns; ++c)
            QVERIFY(std::isfinite(v->Levels()[c]) && v->Levels()[c] >= 0.0f);
    }
    QVERIFY(v->Levels()[44] < 0.01f); // the bars sink: 80 % kept per frame
}

void TestAudioAnalysis::analyserPictures()
{
    std::vector<uint32_t> pic(Visualizer::Pixels, 0xDEADBEEF);
    Visualizer::PaintColourMap(5, 100, 0.0f, pic.data());
    QCOMPARE(pic[0], 254u); // (255 x 255) / 256
    Visualizer::PaintColourMap(1, 100, 0.0f, pic.data());
    QCOMPARE(pic[1 * 256 + 7], 254u);             // rows 1..21 red
    QCOMPARE(pic[21 * 256 + 7], 254u);
    QCOMPARE(pic[22 * 256 + 7], 254u | 254u << 8); // 22..42 yellow
    QCOMPARE(pic[63 * 256 + 7], 254u << 8);        // 43..63 green
    Visualizer::PaintColourMap(20, 100, 0.0f, pic.data());
    QCOMPARE(pic[63 * 256 + 7], 254u << 8);        // an unknown mode keeps the picture
    QCOMPARE(Visualizer::HsvToRgb(120, 255, 255), 255u << 8);
}

QTEST_GUILESS_MAIN(TestAudioAnalysis)
#include "tst_audio_analysis.moc"
