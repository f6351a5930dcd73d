#pragma once
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <mutex>

// Emits Runone() every 100 ms while its run flag is set; the receivers live on the GUI thread,
// so each tick arrives there queued.
class QLabelThread : public QThread
{
    Q_OBJECT
public:
    explicit QLabelThread(QObject *parent = nullptr);
    // A running thread must never be destroyed: the loop is ended and joined first.
    ~QLabelThread() override;

    bool IsRunFlagSet() const { return m_run.load(); }
    // Clears the flag and waits at most timeoutMs for the loop to end; true when it has ended.
    bool StopAndWait(unsigned long timeoutMs);

Q_SIGNALS:
    void Runone();

public Q_SLOTS:
    void on_StateThred();
    void on_StopThred();

protected:
    void run() override;

private:
    void clearRunFlag();

    std::atomic<bool> m_run{false};
    // Wakes the 100 ms sleep as soon as the flag is cleared, so a stop never waits a whole tick.
    std::mutex m_sleepMutex;
    std::condition_variable m_sleepWake;
};
