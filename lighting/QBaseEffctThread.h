#pragma once
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <mutex>

class QEffctBase;

// The host effect thread that animates the on-screen keyboard: it owns at most one effect and
// calls its NextFrame once per frame period. Created on first use; the on-screen keyboard takes
// it as its child, after which it lives as long as the keyboard.
class QBaseEffctThread : public QThread
{
    Q_OBJECT
public:
    static QBaseEffctThread *instance();
    ~QBaseEffctThread() override;

    // Base period + (4 - speed level) x 20 ms; a speed level outside 0..4 counts as 4.
    int FramePeriod() const;
    int BaseSleep() const { return m_baseSleep; }
    uchar SpeedLevel() const { return m_speed; }
    uchar LuminanceLevel() const { return m_luminance; }
    int CurrentModel(); // -1 without an effect

public Q_SLOTS:
    void on_ChangLightModel(int mLightModel, int MColour, int Speed = 4, int Luminance = -1, uchar _R = 255,
                            uchar _G = 255, uchar _B = 255);
    void on_Reset_Speed_Luminance(int Speed, int Luminance);
    // Ends the loop (a sleeping frame wait returns at once) and releases the effect.
    void On_StopThread();

protected:
    void run() override;

private:
    QBaseEffctThread() = default;
    void EndLoop();
    void DropEffct();
    static QEffctBase *CreateEffct(int model, int *baseSleep);

    // One lock for the effect: frames, speed and luminance changes and its deletion never overlap.
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::atomic<bool> m_running{false};
    uchar m_speed = 4;
    uchar m_luminance = 4;
    int m_baseSleep = 10;
    QEffctBase *m_effct = nullptr;
    static QBaseEffctThread *s_instance;
};
