// Audio capture against a real PulseAudio daemon of the test's own: tone spectra, the default
// output changing or vanishing while capturing, the daemon killed mid-capture, effects exchanged
// while frames are rendered.
#include "lighting/AudioMonitor.h"
#include "lighting/QAudioEffctBass.h"
#include "lighting/Visualizer.h"
#include "tests/support/PulseTestServer.h"
#include "tests/support/QueuedSignalSpy.h"
#include "tests/support/TestProgramDir.h"

#include <QRegularExpression>
#include <QtTest>
#include <cmath>
#include <memory>

namespace {
constexpr int kWaitMs = 8000;

int ArgMax(const QVector<double> &v, int from, int to)
{
    int best = from;
    for (int i = from; i < to; ++i)
        if (v[i] > v[best])
            best = i;
    return best;
}

// The magnitudes of the first analysed (non-silent) packet in the spy from index `from` on.
QVector<double> FirstSpectrum(const QList<QList<QVariant>> &spy, int from = 0)
{
    for (int i = from; i < spy.count(); ++i)
        if (spy.at(i).at(2).toInt() > 0)
            return spy.at(i).at(1).value<QVector<double>>();
    return {};
}
} // namespace

class TestAudioCapture : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void toneSpectrum_data();
    void toneSpectrum();
    void secondSinkBecomesDefault();
    void defaultSinkUnloaded();
    void daemonKilledMidCapture();
    void effectsExchangedWhileCapturing();
    void streamsPausedWithoutEffect();

private:
    // Our record streams in the server's list as "s16le: no" (running) or "float32le: yes" (corked).
    QStringList OurStreams() const;
    bool LogHas(const QString &line) const { return QString::fromUtf8(m_dir->readFile(QStringLiteral("Log.txt"))).contains(line); }
    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<PulseTestServer> m_server;
};

void TestAudioCapture::init()
{
    m_dir = std::make_unique<TestProgramDir>();
    m_server = std::make_unique<PulseTestServer>();
    if (!m_server->failure().isEmpty())
        QSKIP(qPrintable(QStringLiteral("no sound server can run: ") + m_server->failure()));
}

void TestAudioCapture::cleanup()
{
    m_server.reset();
    m_dir.reset();
}

void TestAudioCapture::toneSpectrum_data()
{
    QTest::addColumn<int>("rate");
    QTest::newRow("44.1 kHz") << 44100;
    QTest::newRow("48 kHz") << 48000;
}

// Silence first (idle requests only), then 1000 Hz: the capture's bin f x n / rate and its
// mirror, and the analyser's band f x 512 / rate.
void TestAudioCapture::toneSpectrum()
{
    QFETCH(int, rate);
    const QString sink = QStringLiteral("tone_%1").arg(rate);
    QVERIFY(m_server->pactl({"load-module", "module-null-sink", "sink_name=" + sink, QStringLiteral("rate=%1").arg(rate)}));
    QVERIFY(m_server->pactl({"set-default-sink", sink}));
    AudioMonitor monitor;
    QVERIFY(monitor.Initialised);
    QCOMPARE(monitor.OutputName(), sink);
    QVERIFY(LogHas(QStringLiteral("音频 inter系列主板 无需降速")) || LogHas(QStringLiteral("音频 amd系列主板 需要降速")));
    QueuedSignalSpy draws(&monitor, &AudioMonitor::DrawKeyborad);
    monitor.on_SetAudioEffectModel(171, false, 30, 200, 100, 50, 0, 0);
    QVERIFY(monitor.isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(draws.count() >= 5, kWaitMs);
    QVERIFY(FirstSpectrum(draws).isEmpty()); // the monitor of an idle sink carries zeros

    QVERIFY(m_server->playTone(sink, rate, 1000.0, 0.5));
    QTRY_VERIFY_WITH_TIMEOUT(!FirstSpectrum(draws).isEmpty(), kWaitMs);
    const QVector<double> m = FirstSpectrum(draws);
    const int n = rate / 100;
    QCOMPARE(m.size(), n);
    QCOMPARE(ArgMax(m, 0, n / 2), 1000 * n / rate);
    QCOMPARE(ArgMax(m, n / 2, n), n - 1000 * n / rate);

    // The analyser runs for the spectrum effect, on its own stream.
    QVERIFY(m_server->playTone(sink, rate, 1000.0, 0.05));
    monitor.on_SetAudioEffectModel(428, false, 30, 0, 0, 0, 0, 0);
    QTest::qWait(1500);
    const float *levels = Visualizer::instance()->Levels();
    int peak = 0;
    for (int c = 0; c < Visualizer::Columns; ++c)
        if (levels[c] > levels[peak])
            peak = c;
    QVERIFY(levels[peak] > 0.05f);
    // One history value per two frames, stored twice: the transform sees the sink's rate, and the
    // tone falls between bins floor and ceil of f x 512 / rate (10.7 at 48 kHz, 11.6 at 44.1 kHz).
    const double bin = 1000.0 * 512 / rate;
    QVERIFY2(peak / 4 == int(std::floor(bin)) || peak / 4 == int(std::ceil(bin)), qPrintable(QString::number(peak)));
    monitor.on_StopGrabEffct();
    QVERIFY(!monitor.isRunning());
    QVERIFY(!monitor.CurrentEffect());
}

void TestAudioCapture::secondSinkBecomesDefault()
{
    AudioMonitor monitor;
    QCOMPARE(monitor.OutputName(), QStringLiteral("test_sink"));
    monitor.on_SetAudioEffectModel(171, false, 30, 200, 100, 50, 0, 0);
    QueuedSignalSpy draws(&monitor, &AudioMonitor::DrawKeyborad);
    QVERIFY(m_server->pactl({"load-module", "module-null-sink", "sink_name=second_sink"}));
    QVERIFY(m_server->pactl({"set-default-sink", "second_sink"}));
    QTRY_COMPARE_WITH_TIMEOUT(monitor.OutputName(), QStringLiteral("second_sink"), kWaitMs);
    QVERIFY(monitor.isRunning());
    const int from = draws.count();
    QVERIFY(m_server->playTone(QStringLiteral("second_sink"), 44100, 1000.0, 0.5));
    QTRY_VERIFY_WITH_TIMEOUT(!FirstSpectrum(draws, from).isEmpty(), kWaitMs);
    monitor.on_StopGrabEffct();
}

// Only the dummy output left: capture stops with the step-277 line; a new sink can be taken up.
void TestAudioCapture::defaultSinkUnloaded()
{
    AudioMonitor monitor;
    monitor.on_SetAudioEffectModel(172, false, 30, 200, 100, 50, 0, 0);
    QVERIFY(monitor.isRunning());
    QByteArray modules;
    QVERIFY(m_server->pactl({"list", "short", "modules"}, &modules));
    QString index;
    for (const QByteArray &line : modules.split('\n'))
        if (line.contains("sink_name=test_sink"))
            index = QString::fromLatin1(line.split('\t').value(0));
    QVERIFY(!index.isEmpty());
    QVERIFY(m_server->pactl({"unload-module", index}));
    QTRY_VERIFY_WITH_TIMEOUT(LogHas(QStringLiteral("加载音频设备失败 AudioMonitor 277")), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(!monitor.isRunning(), kWaitMs);
    QVERIFY(!monitor.Initialised);
    QVERIFY(m_server->pactl({"load-module", "module-null-sink", "sink_name=again"}));
    QVERIFY(m_server->pactl({"set-default-sink", "again"}));
    QTRY_VERIFY_WITH_TIMEOUT(monitor.Reinitialize() != -1, kWaitMs);
    QCOMPARE(monitor.OutputName(), QStringLiteral("again"));
    monitor.on_StopGrabEffct();
}

void TestAudioCapture::daemonKilledMidCapture()
{
    AudioMonitor monitor;
    QVERIFY(m_server->playTone(QStringLiteral("test_sink"), 44100, 1000.0, 0.5));
    monitor.on_SetAudioEffectModel(171, false, 30, 200, 100, 50, 0, 0);
    QueuedSignalSpy draws(&monitor, &AudioMonitor::DrawKeyborad);
    QTRY_VERIFY_WITH_TIMEOUT(!FirstSpectrum(draws).isEmpty(), kWaitMs);
    m_server->kill();
    QTRY_VERIFY_WITH_TIMEOUT(!monitor.isRunning(), kWaitMs);
    QVERIFY(LogHas(QStringLiteral("加载音频设备失败 AudioMonitor 277")));
    monitor.on_StopGrabEffct();
    QVERIFY(!monitor.CurrentEffect());
    QCOMPARE(monitor.Reinitialize(), -1);
}

// Every exchange pauses, blocks and joins before the old effect goes (run under the sanitizers).
void TestAudioCapture::effectsExchangedWhileCapturing()
{
    AudioMonitor monitor;
    QVERIFY(m_server->playTone(QStringLiteral("test_sink"), 44100, 440.0, 0.5));
    const ushort types[] = {168, 169, 170, 171, 172, 173, 428, 0, 171};
    for (int round = 0; round < 2; ++round)
        for (ushort type : types) {
            monitor.on_SetAudioEffectModel(type, round == 1, 30, 10, 20, 30, 50, 50);
            monitor.on_updataaudioneffct();
            monitor.on_ResetAudionGrabTime(5);
            QTest::qWait(40);
        }
    QCOMPARE(monitor.GrabTime(), 10u); // no current keyboard: the floor of other devices
    monitor.on_StopGrabEffct();
    QVERIFY(!monitor.isRunning());
    QVERIFY(!monitor.CurrentEffect());
}

QStringList TestAudioCapture::OurStreams() const
{
    QByteArray out;
    if (!m_server->pactl({"list", "source-outputs"}, &out))
        return {QStringLiteral("pactl failed")};
    QStringList streams;
    for (const QByteArray &block : out.split('#')) {
        if (!block.contains("application.name = \"QUORIX HUB\""))
            continue;
        const QRegularExpression format(QStringLiteral("Sample Specification: (\\w+)")), corked(QStringLiteral("Corked: (\\w+)"));
        const QString text = QString::fromUtf8(block);
        streams << format.match(text).captured(1) + QStringLiteral(": ") + corked.match(text).captured(1);
    }
    streams.sort();
    return streams;
}

// Nothing is recorded while no audio effect runs; an effect runs only the stream it reads.
void TestAudioCapture::streamsPausedWithoutEffect()
{
    AudioMonitor monitor;
    const QStringList paused{QStringLiteral("float32le: yes"), QStringLiteral("s16le: yes")};
    QTRY_COMPARE_WITH_TIMEOUT(OurStreams(), paused, kWaitMs);
    monitor.on_SetAudioEffectModel(171, false, 30, 200, 100, 50, 0, 0);
    QTRY_COMPARE_WITH_TIMEOUT(OurStreams(), QStringList({"float32le: yes", "s16le: no"}), kWaitMs);
    monitor.on_SetAudioEffectModel(428, false, 30, 0, 0, 0, 0, 0);
    QTRY_COMPARE_WITH_TIMEOUT(OurStreams(), QStringList({"float32le: no", "s16le: yes"}), kWaitMs);
    monitor.on_StopGrabEffct();
    QTRY_COMPARE_WITH_TIMEOUT(OurStreams(), paused, kWaitMs);
}

QTEST_MAIN(TestAudioCapture)
#include "tst_audio_capture.moc"
