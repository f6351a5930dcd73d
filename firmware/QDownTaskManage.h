#pragma once
#include <QList>
#include <QThread>
#include <QVector>

class QHttpDownload;
struct DeviceRecord;
struct DownTask;

// The program-wide download manager: holds one batch of downloads, starts them together and
// reports once, with TaskEnd, when the whole batch has ended. The downloads run in the GUI
// event loop; the thread only gives the start signal.
class QDownTaskManage : public QThread
{
    Q_OBJECT
public:
    static QDownTaskManage *Instance();

    // Joins the current batch; a record whose status is not 0 is skipped.
    void AddTask(DownTask *task);

    int ActiveCount() const { return m_downs.size(); }

    // Ends the running download of the record as failed; it comes back with its batch as usual.
    void CancelTask(const DownTask *task);

    // Records whose requester goes before their batch ended: nobody takes them from TaskEnd,
    // so they are freed once their batch has been handed out (at once when not downloading).
    void ReleaseWhenEnded(const QVector<DownTask *> &tasks);

    // The firmware task of one device (type, download address and folder), owned by the caller
    // (the given owner marks it in a mixed batch); type 0 with no address when the device has
    // no firmware task or no catalogue entry.
    static DownTask *MakeFirmwareTask(DeviceRecord *dev, const void *owner = nullptr);

Q_SIGNALS:
    // Every record of the batch, in the order the downloads ended; valid during the call only.
    void TaskEnd(DownTask **ptrs, int count);
    void CurrTaskDownLoadProgress(qlonglong mbytesRead, qlonglong mtotalBytes);
    void OpenDowns();

public Q_SLOTS:
    void on_statr();
    void on_DownEnd(bool msucceed, QString errText);
    void on_Task_DownLoadProgress(qlonglong bytesRead, qlonglong totalBytes);

protected:
    void run() override;

private:
    QDownTaskManage() = default;

    QVector<QHttpDownload *> m_downs;
    QList<DownTask *> m_ended;
    QVector<DownTask *> m_unowned;
    QVector<DownTask *> m_handingOut; // batches whose TaskEnd runs (receivers may wait inside it)
};
