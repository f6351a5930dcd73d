#pragma once
#include <QObject>

// Audio capture for the audio-reactive lighting; the on-screen keyboard makes the one
// instance as its child.
class AudioMonitor : public QObject
{
    Q_OBJECT
public:
    explicit AudioMonitor(QObject *parent = nullptr);
    ~AudioMonitor() override;
    // The on-screen keyboard's monitor; null before it exists.
    static AudioMonitor *instance();
    int StopCount() const { return m_stops; }
    int StartCount() const { return m_starts; }
    bool SoftDisplay() const { return m_softDisplay; }
    // Set when the default output device was found and opened (a speaker is there).
    bool Initialised = false;
    int AudioEffectSignals() const { return m_audioSignals; }

public Q_SLOTS:
    void on_StartGrabEffct();
    void on_StopGrabEffct();
    void SetSoftDisplay(bool on);
    void on_updataaudioneffct() { ++m_audioSignals; }

private:
    int m_stops = 0;
    int m_starts = 0;
    bool m_softDisplay = false;
    int m_audioSignals = 0;
    static AudioMonitor *s_instance;
};
