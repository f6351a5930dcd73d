#pragma once
#include <QThread>
#include <atomic>

// The host effect thread that animates the on-screen keyboard.
class QBaseEffctThread : public QThread
{
    Q_OBJECT
public:
    static QBaseEffctThread *instance();

public Q_SLOTS:
    // Stops the loop and waits until it has really ended before the effect is released.
    void On_StopThread();

protected:
    void run() override;

private:
    QBaseEffctThread() = default;
    std::atomic<bool> m_running{false};
};
