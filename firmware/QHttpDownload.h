#pragma once
#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QString>
#include <memory>

class QNetworkRequest;
class QSaveFile;
class QTimer;
class QUrl;
struct DownTask;

// Fetches one file of a DownTask over HTTP into the task's folder, with progress.
// Reports DownEnd exactly once per started download, also when the address, the folder or
// the file cannot be used, so that the batch it belongs to always ends.
// The transfer itself (access manager, reply, file) runs on a thread of its own: whatever a
// server sends, Qt's handling of it cannot hold the window, and the time-outs here, on the
// thread of the download, fire whatever that thread is busy with. Signals come on the thread
// of the download.
class QHttpDownload : public QObject
{
    Q_OBJECT
public:
    explicit QHttpDownload(QObject *parent = nullptr);
    ~QHttpDownload() override;

    void SetTask(DownTask *task);
    DownTask *Task() const { return m_task; }
    bool IsStarted() const { return m_started; }

    void Start(const QString &url, const QString &folder);

    // Creates the folder level by level; false when a level cannot be made.
    static bool MakePath(const QString &folder);

    // Less than StallBytes of the body in this long ends the transfer as failed, so that a
    // stalled or trickling server cannot keep a batch open for ever, whatever redirects led to
    // it.
    static constexpr int TransferTimeoutMs = 60000;
    static constexpr qint64 StallBytes = 1024;

    // However steadily the body comes, a download ends by this time: its bound (the largest
    // bound of any download when it has none) at the floor speed, plus the stall time as margin.
    static constexpr qint64 FloorBytesPerSecond = 64 * 1024;
    static constexpr qint64 UnboundedBytes = 512 * 1024 * 1024;
    static qint64 DeadlineMs(qint64 maxBytes);

    // The length a Content-Length field announces: -1 when there is none, -2 when it is no
    // single decimal number (Qt joins repeated fields with ", "; only repeats of one value pass).
    static qint64 DeclaredLength(const QByteArray &field);

    // Ends a running download as failed at once (the user gave up waiting for it).
    void Cancel();

    // Only web addresses are fetched: a local path or file:// address is no download.
    static bool IsWebAddress(const QUrl &address);

Q_SIGNALS:
    void DownEnd(bool ok, QString errText);
    void TaskRunBegin();
    void TaskRunEnd();
    void loadProgress(uchar FileCount, uchar Index, QString Name);
    void Signal_DownLoadProgress(qlonglong bytesRead, qlonglong totalBytes);

public Q_SLOTS:
    void on_DownLoadedFile();
    void on_error(QNetworkReply::NetworkError code);
    void on_downloadProgress(qlonglong bytesRead, qlonglong totalBytes);

private:
    static constexpr qint64 ReadBufferBytes = 1024 * 1024;

    // What the transfer's thread and this download share; defined with the transfer's steps.
    struct Transfer;

    void on_redirected(const QUrl &url);
    void transferEnded(bool ok, const QString &logText);
    void fail(const QString &logText, const QString &errText);
    void report(bool ok, const QString &errText);
    void releaseTransfer();
    void stalled();

    // The transfer's own steps, on its thread.
    static void TransferStart(const std::shared_ptr<Transfer> &net, const QNetworkRequest &request);
    static void TransferHeaders(const std::shared_ptr<Transfer> &net);
    static void TransferDrain(const std::shared_ptr<Transfer> &net);
    static void TransferFinished(const std::shared_ptr<Transfer> &net);
    static void TransferClose(const std::shared_ptr<Transfer> &net);
    static void TransferFail(const std::shared_ptr<Transfer> &net, const QString &logText);

    DownTask *m_task = nullptr;
    std::shared_ptr<Transfer> m_net;
    QTimer *m_stall = nullptr;
    QTimer *m_deadline = nullptr;
    bool m_running = false;
    QString m_url;
    QString m_folder;
    bool m_started = false;
    bool m_reported = false;
    qint64 m_maxBytes = 0; // 0: no bound
    qint64 m_stallMark = 0; // bytes of the body received when the stall time-out last restarted
};
