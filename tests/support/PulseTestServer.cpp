#include "tests/support/PulseTestServer.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <QtEndian>
#include <cmath>
#include <csignal>
#include <sys/types.h>

namespace {
QByteArray Wav(int rate, double hz, double hzEnd, double amplitude, int seconds)
{
    const double sweep = hzEnd > 0.0 ? (hzEnd - hz) / 10.0 : 0.0; // Hz per second
    const int frames = rate * seconds;
    QByteArray pcm(frames * 4, '\0');
    for (int i = 0; i < frames; ++i) {
        // Not starting at 0: a packet whose first byte is 0 is not analysed, and whole cycles in
        // a packet would make every packet start there.
        const double t = double(i) / rate;
        const qint16 v = qint16(std::lround(amplitude * 32767.0 * std::sin(2.0 * M_PI * (hz * t + sweep * t * t / 2) + 0.3)));
        qToLittleEndian(v, pcm.data() + 4 * i);
        qToLittleEndian(v, pcm.data() + 4 * i + 2);
    }
    QByteArray wav;
    QDataStream out(&wav, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + pcm.size());
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(2) << quint32(rate) << quint32(rate * 4) << quint16(4) << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(pcm.size());
    out.writeRawData(pcm.constData(), pcm.size());
    return wav;
}
} // namespace

PulseTestServer::PulseTestServer()
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
    if (daemon.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("pactl")).isEmpty()) {
        m_failure = QStringLiteral("pulseaudio or pactl is not installed (scripts/common.sh lists them)");
        return;
    }
    const QString runtime = m_dir.path();
    QProcess start;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), runtime);
    start.setProcessEnvironment(env);
    start.start(daemon, {QStringLiteral("-D"), QStringLiteral("--exit-idle-time=-1"), QStringLiteral("-n"),
                         QStringLiteral("-L"), QStringLiteral("module-native-protocol-unix"), QStringLiteral("-L"),
                         QStringLiteral("module-null-sink sink_name=test_sink"), QStringLiteral("-L"),
                         QStringLiteral("module-always-sink")});
    if (!start.waitForFinished(10000) || start.exitCode() != 0) {
        m_failure = QStringLiteral("pulseaudio did not start: %1").arg(QString::fromLocal8Bit(start.readAllStandardError()));
        return;
    }
    QFile pidFile(runtime + QStringLiteral("/pid"));
    QElapsedTimer clock;
    clock.start();
    while (!pidFile.exists() && clock.elapsed() < 5000)
        QThread::msleep(20);
    if (!pidFile.open(QIODevice::ReadOnly)) {
        m_failure = QStringLiteral("pulseaudio wrote no pid file");
        return;
    }
    m_pid = pidFile.readAll().trimmed().toLongLong();
    qputenv("PULSE_SERVER", QStringLiteral("unix:%1/native").arg(runtime).toLocal8Bit());
    while (!pactl({QStringLiteral("info")}) && clock.elapsed() < 5000)
        QThread::msleep(50);
}

PulseTestServer::~PulseTestServer()
{
    kill();
}

void PulseTestServer::kill()
{
    stopTone();
    if (m_pid > 0) {
        ::kill(pid_t(m_pid), SIGKILL);
        QElapsedTimer clock;
        clock.start();
        while (::kill(pid_t(m_pid), 0) == 0 && clock.elapsed() < 3000)
            QThread::msleep(10);
        m_pid = 0;
    }
}

bool PulseTestServer::pactl(const QStringList &args, QByteArray *out) const
{
    QProcess p;
    p.start(QStringLiteral("pactl"), args);
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(1000);
        return false;
    }
    if (out)
        *out = p.readAllStandardOutput();
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool PulseTestServer::playTone(const QString &sink, int rate, double hz, double amplitude, double hzEnd)
{
    stopTone();
    const QString file = m_dir.filePath(QStringLiteral("tone.wav"));
    QFile wav(file);
    if (!wav.open(QIODevice::WriteOnly) || wav.write(Wav(rate, hz, hzEnd, amplitude, 20)) < 0)
        return false;
    wav.close();
    m_player.start(QStringLiteral("paplay"), {QStringLiteral("--device=") + sink, file});
    return m_player.waitForStarted(3000);
}

void PulseTestServer::stopTone()
{
    if (m_player.state() != QProcess::NotRunning) {
        m_player.kill();
        m_player.waitForFinished(2000);
    }
}
