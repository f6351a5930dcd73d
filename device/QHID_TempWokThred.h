#pragma once
#include <QString>
#include <QThread>
#include <atomic>

class QHid_Work_Interface;

// The short-lived thread that asks a newly arrived device for its device code, so that the
// request and its reply run off the GUI thread. Every request carries a number, and its reply
// is reported with that number: a late reply of an earlier device is never taken for the
// code of the next one.
class QHID_TempWokThred : public QThread
{
    Q_OBJECT
public:
    explicit QHID_TempWokThred(QObject *parent = nullptr);
    ~QHID_TempWokThred() override;

    // The number of the request started last (0 before the first).
    quint64 LastRequest() const { return m_request.load(); }
    bool IsBusy() const { return m_busy.load(); }
    // A read through this worker has been asked and has not ended: the worker and its record
    // are still in use (GUI thread).
    bool Reads(const QHid_Work_Interface *worker) const { return m_busy.load() && m_worker == worker; }
    // Waits, processing events, until no read runs; false when it still runs after timeoutMs.
    bool WaitIdle(int timeoutMs);

Q_SIGNALS:
    void GrabCodeSucceed(QString Code);
    void GrabCodeAnswered(quint64 request, QString Code);

public Q_SLOTS:
    // Starts one code read of the worker's device and waits for it, processing events, for at
    // most 3000 ms; true when the read ended in time. A read still running from an earlier
    // request is waited for first, so that the new request is really performed.
    bool on_GetProductPassWord(QHid_Work_Interface *FacePtr);

protected:
    void run() override;

private:
    std::atomic<bool> m_busy{false};
    std::atomic<quint64> m_request{0};
    QHid_Work_Interface *m_worker = nullptr; // written only while no read runs
};
