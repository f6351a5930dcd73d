#pragma once
// A PulseAudio daemon of a test's own, started the way scripts/test.sh starts one (own runtime
// folder, a null sink "test_sink", the always-sink module) and stopped by its pid. The process's
// PULSE_SERVER points at it while it runs.
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class PulseTestServer
{
public:
    PulseTestServer();
    ~PulseTestServer();

    // Empty when it runs; otherwise why it could not be started (a test skips with it).
    QString failure() const { return m_failure; }
    qint64 pid() const { return m_pid; }
    // pactl with the given arguments against this daemon; true on exit code 0.
    bool pactl(const QStringList &args, QByteArray *out = nullptr) const;
    // Plays a stereo 16-bit sine into a sink until stopTone (amplitude 0..1 of full scale); with
    // an end frequency, a sweep from hz to it over 10 s.
    bool playTone(const QString &sink, int rate, double hz, double amplitude, double hzEnd = 0.0);
    void stopTone();
    void kill();

private:
    QTemporaryDir m_dir;
    QString m_failure;
    qint64 m_pid = 0;
    QProcess m_player;
};
