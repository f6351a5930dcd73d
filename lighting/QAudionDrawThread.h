#pragma once
// Renders the current audio effect once per analysed packet, on a thread of its own.
#include <QThread>
#include <QVector>
#include <atomic>
#include <mutex>

class QAudioEffctBass;
struct DeviceRecord;

class QAudionDrawThread : public QThread
{
    Q_OBJECT
public:
    // Made on first use (on the GUI thread), never destroyed.
    static QAudionDrawThread *instance();

    // Ends the thread after its render in progress (bounded) and drops a waiting request; false
    // when the thread still runs after the bound.
    bool StopAndWait();
    bool IsEffectValid() const;
    const QVector<uchar> &ModeList() const { return m_modes; }

public Q_SLOTS:
    // Keeps the latest request (an older one waiting is replaced) and starts the thread.
    void on_DrawKeyborad(QAudioEffctBass *JobPtr, QVector<double> inDatas, int Datalen);

protected:
    void run() override;

private:
    QAudionDrawThread();
    void RenderOne(QAudioEffctBass *effect, QVector<double> &data, int count, DeviceRecord *device);

    mutable std::mutex m_lock; // the waiting request
    QAudioEffctBass *m_effect = nullptr;
    QVector<double> m_data;
    int m_count = 0;
    DeviceRecord *m_device = nullptr;
    bool m_pending = false;
    int m_cycle = 0;
    QVector<uchar> m_modes{6, 8, 9, 10, 11, 12, 14};
    std::atomic<bool> m_stop{false};
};

// While set the draw thread renders nothing; set while an effect is exchanged or stopped.
void SetAudioDrawBlocked(int blocked);
bool AudioDrawBlocked();
