#pragma once
#include <QThread>
#include <atomic>

// The host effect thread that animates the on-screen keyboard. Created on first use; the
// on-screen keyboard takes it as its child, after which it lives as long as the keyboard.
class QBaseEffctThread : public QThread
{
    Q_OBJECT
public:
    static QBaseEffctThread *instance();
    int ModelRequests() const { return m_modelRequests; }

public Q_SLOTS:
    // Stops the loop and waits until it has really ended before the effect is released.
    void On_StopThread();
    void on_Reset_Speed_Luminance(int speed, int luminance);
    void on_ChangLightModel(int model, int speed, int luminance, int multiColour, uchar r, uchar g, uchar b);

protected:
    void run() override;

private:
    QBaseEffctThread() = default;
    std::atomic<bool> m_running{false};
    int m_modelRequests = 0;
};
