#pragma once
#include <QObject>

// Audio capture for the audio-reactive lighting.
class AudioMonitor : public QObject
{
    Q_OBJECT
public:
    static AudioMonitor *instance();
    int StopCount() const { return m_stops; }

public Q_SLOTS:
    void on_StopGrabEffct();

private:
    AudioMonitor() = default;
    int m_stops = 0;
};
