#pragma once
#include <QThread>
#include <atomic>

// Ticks every 20 ms while running: moves a switch's knob from the GUI thread's side.
class QAcThread : public QThread
{
    Q_OBJECT
public:
    explicit QAcThread(QObject *parent = nullptr);
    ~QAcThread() override;

    void Start();
    void Stop();
    bool IsTicking() const { return m_run.load(); }

Q_SIGNALS:
    void runsignal();

protected:
    void run() override;

private:
    std::atomic<bool> m_run{false};
};
