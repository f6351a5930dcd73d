#include "firmware/QHttpDownload.h"
#include "app/CheckedSave.h"
#include "app/LogWriter.h"
#include "firmware/DownTask.h"
#include "firmware/DownloadFileName.h"
#include "firmware/QDownTaskManage.h"
#include "platform/HidPlatform.h"

#include <QDir>
#include <QList>
#include <QMetaObject>
#include <QMutex>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <atomic>

// Shared by the download (on its own thread) and its transfer (on the transfer's thread). Only
// the download asks for the transfer to close, once; until then the access manager lives, so
// the download can always post to it.
struct QHttpDownload::Transfer
{
    QMutex lock;
    QHttpDownload *owner = nullptr; // guarded by lock; null once the download stopped listening
    std::atomic<bool> cancelled{false};
    // Touched on the transfer's thread only, once it has started.
    QNetworkAccessManager *access = nullptr;
    QNetworkReply *reply = nullptr;
    QSaveFile *file = nullptr;
    QList<QMetaObject::Connection> connections; // to the reply, undone before it is aborted
    QString url;
    qint64 maxBytes = 0;
    bool needsLength = false;
    qint64 written = 0;
    bool writeFailed = false;
    bool tooLarge = false;
    bool ended = false;

    // Runs step on the download's thread, with the download, unless it stopped listening.
    template <typename Step>
    void post(Step step)
    {
        QMutexLocker locker(&lock);
        if (QHttpDownload *down = owner)
            QMetaObject::invokeMethod(down, [down, step] { step(down); }, Qt::QueuedConnection);
    }
};

QHttpDownload::QHttpDownload(QObject *parent)
    : QObject(parent), m_stall(new QTimer(this)), m_deadline(new QTimer(this))
{
    // Kept here rather than as the request's transfer time-out, which Qt drops on a redirect.
    m_stall->setSingleShot(true);
    connect(m_stall, &QTimer::timeout, this, &QHttpDownload::stalled);
    m_deadline->setSingleShot(true);
    connect(m_deadline, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("Download too slow "), QStringLiteral("Download Fail")); });
}

QHttpDownload::~QHttpDownload()
{
    releaseTransfer(); // an uncommitted file leaves no temporary behind
}

void QHttpDownload::SetTask(DownTask *task)
{
    m_task = task;
    if (task) {
        m_url = task->url;
        m_folder = task->folder;
        m_maxBytes = task->maxBytes;
    }
}

void QHttpDownload::on_DownLoadedFile()
{
    disconnect(QDownTaskManage::Instance(), &QDownTaskManage::OpenDowns, this, &QHttpDownload::on_DownLoadedFile);
    // A download that joined a batch already under way must not be started a second time.
    if (m_started)
        return;
    Start(m_url, m_folder);
}

bool QHttpDownload::MakePath(const QString &folder)
{
    const QString clean = QDir::cleanPath(folder);
    if (QDir(clean).exists())
        return true;
    const QStringList parts = clean.split(QLatin1Char('/'));
    QString path;
    for (int i = 0; i < parts.size(); ++i) {
        path += parts.at(i);
        if (i + 1 < parts.size())
            path += QLatin1Char('/');
        if (path.isEmpty() || path == QLatin1String("/") || QDir(path).exists())
            continue;
        if (!QDir().mkdir(path)) {
            WriteLogLine(QStringLiteral("274 Gen_mkdir err ") + path);
            return false;
        }
    }
    return QDir(clean).exists();
}

void QHttpDownload::Start(const QString &url, const QString &folder)
{
    m_started = true;
    m_running = true;
    m_url = url;
    m_folder = folder;
    if (url.trimmed().isEmpty()) {
        fail(QStringLiteral(" 无效地址"), QStringLiteral("Invalid url"));
        return;
    }
    const QUrl address = QUrl::fromUserInput(url.trimmed());
    if (!address.isValid() || !IsWebAddress(address)) {
        fail(QStringLiteral(" 解析异常的 无效地址 ") + url, QStringLiteral("Invalid url"));
        return;
    }
    if (folder.trimmed().isEmpty()) {
        fail(QStringLiteral(" 请指定保存下载文件的目录"), QStringLiteral("No folder"));
        return;
    }
    if (!MakePath(folder)) {
        fail(QStringLiteral("存在中文路径 145 ") + folder, QStringLiteral("No folder"));
        return;
    }
    const QString name = DownloadFileName(address);
    if (name.isEmpty()) {
        fail(QStringLiteral(" 无效文件名 ") + url, QStringLiteral("Invalid file name"));
        return;
    }
    const QString path = DownloadFilePath(folder, name);
    if (m_task)
        m_task->filePath = path;

    // Written beside the target and renamed over it only once the transfer is complete, so a
    // failed download never leaves a truncated file under the name, nor destroys an older one.
    auto *file = new QSaveFile(path);
    if (!file->open(QIODevice::WriteOnly)) {
        delete file;
        fail(QStringLiteral(" 临时文件打开错误 ") + path, QStringLiteral("File open error"));
        return;
    }
    m_stallMark = 0;

    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    // Asked for, Qt adds no gzip of its own and inflates nothing: the bytes counted against the
    // bound and the length are the bytes that arrive, and an encoded body is refused.
    request.setRawHeader("Accept-Encoding", "identity");

    auto net = std::make_shared<Transfer>();
    net->owner = this;
    net->url = url;
    net->maxBytes = m_maxBytes;
    net->needsLength = m_task && m_task->needsLength;
    net->file = file;
    net->access = new QNetworkAccessManager;
    auto *thread = new QThread;
    thread->setObjectName(QStringLiteral("Download"));
    file->moveToThread(thread);
    net->access->moveToThread(thread);
    // The thread ends once the access manager is gone; Qt's own connection thread, which the
    // manager waits for, is waited for there, not here.
    connect(net->access, &QObject::destroyed, thread, &QThread::quit, Qt::DirectConnection);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
    m_net = net;
    QMetaObject::invokeMethod(net->access, [net, request] { TransferStart(net, request); }, Qt::QueuedConnection);
    // Restarted by the body only (on_downloadProgress): headers and redirects, which a server
    // could send one by one, do not hold the transfer open.
    m_stall->start(platform::HidScaledMs(TransferTimeoutMs));
    m_deadline->start(platform::HidScaledMs(int(DeadlineMs(m_maxBytes))));
    WriteLogLine(QStringLiteral("159 ") + url);
}

void QHttpDownload::TransferStart(const std::shared_ptr<Transfer> &net, const QNetworkRequest &request)
{
    net->file->setParent(net->access); // goes with the manager; uncommitted, it leaves nothing
    if (net->cancelled)
        return;
    QNetworkReply *reply = net->access->get(request);
    net->reply = reply;
    // Qt stops reading from the network while this much waits unread, so memory stays near it
    // however fast the server sends.
    reply->setReadBufferSize(ReadBufferBytes);
    QList<QMetaObject::Connection> &c = net->connections;
    c << connect(reply, &QNetworkReply::readyRead, reply, [net] { TransferDrain(net); });
    c << connect(reply, &QNetworkReply::metaDataChanged, reply, [net] { TransferHeaders(net); });
    c << connect(reply, &QNetworkReply::finished, reply, [net] { TransferFinished(net); });
    c << connect(reply, &QNetworkReply::downloadProgress, reply, [net](qint64 read, qint64 total) {
        net->post([read, total](QHttpDownload *down) { down->on_downloadProgress(read, total); });
    });
    c << connect(reply, &QNetworkReply::errorOccurred, reply, [net](QNetworkReply::NetworkError code) {
        net->post([code](QHttpDownload *down) { down->on_error(code); });
    });
    c << connect(reply, &QNetworkReply::redirected, reply, [net](const QUrl &url) {
        // Refused here, before Qt follows it.
        if (!IsWebAddress(url))
            TransferFail(net, QStringLiteral(" 解析异常的 无效地址 ") + url.toString() + QLatin1Char(' '));
        else
            net->post([url](QHttpDownload *down) { down->on_redirected(url); });
    });
}

void QHttpDownload::TransferFail(const std::shared_ptr<Transfer> &net, const QString &logText)
{
    if (net->ended)
        return;
    net->ended = true;
    for (const auto &c : qAsConst(net->connections))
        disconnect(c);
    net->connections.clear();
    if (net->reply && net->reply->isRunning())
        net->reply->abort();
    net->post([logText](QHttpDownload *down) { down->transferEnded(false, logText); });
}

namespace {
// Why a reply's coding makes its body no copy of the file; empty when it does not.
QByteArray RefusedCoding(const QNetworkReply *reply)
{
    // Sent although not asked for: inflated it could grow without bound, kept it is not the file.
    // Qt takes the chunks apart and leaves any other transfer coding on the bytes, as it leaves
    // a content coding.
    const QByteArray content = reply->rawHeader("Content-Encoding").trimmed().toLower();
    const QByteArray transfer = reply->rawHeader("Transfer-Encoding").trimmed().toLower();
    if (!content.isEmpty() && content != "identity")
        return "Content-Encoding " + content;
    for (const QByteArray &coding : transfer.split(',')) {
        const QByteArray name = coding.trimmed();
        if (!name.isEmpty() && name != "chunked" && name != "identity")
            return "Transfer-Encoding " + transfer;
    }
    return QByteArray();
}
} // namespace

void QHttpDownload::TransferHeaders(const std::shared_ptr<Transfer> &net)
{
    QNetworkReply *reply = net->reply;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status / 100 == 3)
        return; // Qt follows it; the next reply's fields count
    // A length past the bound is refused at once, rather than once the body has grown past it.
    const qint64 length = DeclaredLength(reply->rawHeader("Content-Length"));
    if (net->maxBytes > 0 && length > net->maxBytes) {
        TransferFail(net, QStringLiteral("Download too large "));
        return;
    }
    const QByteArray refused = RefusedCoding(reply);
    if (!refused.isEmpty())
        TransferFail(net, QStringLiteral("Download refused, ") + QString::fromLatin1(refused) + QLatin1Char(' '));
}

void QHttpDownload::TransferDrain(const std::shared_ptr<Transfer> &net)
{
    if (net->ended || !net->reply || net->reply->error() != QNetworkReply::NoError)
        return;
    const QByteArray buffer = net->reply->readAll();
    if (buffer.isEmpty() || net->writeFailed)
        return;
    if (net->maxBytes > 0 && net->written + buffer.size() > net->maxBytes) {
        net->tooLarge = true;
        TransferFail(net, QStringLiteral("Download too large "));
        return;
    }
    if (net->file->write(buffer) != buffer.size()) {
        net->writeFailed = true;
        return;
    }
    net->written += buffer.size();
}

void QHttpDownload::TransferFinished(const std::shared_ptr<Transfer> &net)
{
    if (net->ended)
        return;
    QNetworkReply *reply = net->reply;
    if (reply->error() != QNetworkReply::NoError) {
        TransferFail(net, QStringLiteral("Download Fail ") + reply->errorString() + QLatin1Char(' '));
        return;
    }
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() != 200) {
        TransferFail(net, QStringLiteral("Download Fail HTTP %1 ").arg(status.toInt()));
        return;
    }
    const QByteArray refused = RefusedCoding(reply);
    if (!refused.isEmpty()) {
        TransferFail(net, QStringLiteral("Download refused, ") + QString::fromLatin1(refused) + QLatin1Char(' '));
        return;
    }
    TransferDrain(net);
    if (net->ended)
        return;
    if (net->writeFailed) {
        TransferFail(net, QStringLiteral("Download write error "));
        return;
    }
    // A body without a length field, chunked or ended by closing the connection, is taken as
    // it came unless its task needs it whole; a length field Qt could not read, or two that differ, leave the body's end unknown.
    const qint64 expected = DeclaredLength(reply->rawHeader("Content-Length"));
    if (expected == -2) {
        TransferFail(net, QStringLiteral("Download length unreadable "));
        return;
    }
    // Qt reports a chunked body cut by a chunk size it cannot read as complete.
    if (expected < 0 && net->needsLength) {
        TransferFail(net, QStringLiteral("Download length unknown "));
        return;
    }
    if (expected >= 0 && expected != net->written) {
        TransferFail(net, QStringLiteral("Download incomplete %1/%2 ").arg(net->written).arg(expected));
        return;
    }
    if (net->written == 0) {
        TransferFail(net, QStringLiteral("Download empty "));
        return;
    }
    // A download that has given up keeps the older file.
    if (net->cancelled || !CheckedSave::WriteAll(*net->file, QByteArray()) || !net->file->commit()) {
        TransferFail(net, QStringLiteral("Download write error "));
        return;
    }
    net->ended = true;
    net->post([](QHttpDownload *down) { down->transferEnded(true, QString()); });
}

void QHttpDownload::TransferClose(const std::shared_ptr<Transfer> &net)
{
    net->ended = true;
    for (const auto &c : qAsConst(net->connections))
        disconnect(c);
    net->connections.clear();
    if (net->reply && net->reply->isRunning())
        net->reply->abort(); // closes the connection, also while a header never ends
    net->reply = nullptr;
    net->file = nullptr;
    // With it go the reply and an uncommitted file; it waits for Qt's connection thread here.
    if (net->access)
        net->access->deleteLater();
    net->access = nullptr;
}

qint64 QHttpDownload::DeadlineMs(qint64 maxBytes)
{
    const qint64 bound = maxBytes > 0 ? qMin(maxBytes, UnboundedBytes) : UnboundedBytes;
    return TransferTimeoutMs + bound * 1000 / FloorBytesPerSecond;
}

qint64 QHttpDownload::DeclaredLength(const QByteArray &field)
{
    if (field.isEmpty())
        return -1;
    qint64 length = -1;
    for (const QByteArray &part : field.split(',')) {
        const QByteArray digits = part.trimmed();
        bool ok = !digits.isEmpty();
        for (char c : digits)
            ok = ok && c >= '0' && c <= '9';
        const qint64 value = ok ? digits.toLongLong(&ok) : -1;
        if (!ok || (length >= 0 && value != length))
            return -2;
        length = value;
    }
    return length;
}

void QHttpDownload::Cancel()
{
    if (m_started && !m_reported)
        fail(QStringLiteral("Download cancelled "), QStringLiteral("Download Fail"));
}

bool QHttpDownload::IsWebAddress(const QUrl &address)
{
    const QString scheme = address.scheme().toLower();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !address.host().isEmpty();
}

void QHttpDownload::on_redirected(const QUrl &)
{
    m_stallMark = 0; // the next reply counts its body from nothing
}

void QHttpDownload::stalled()
{
    fail(QStringLiteral("Download stalled "), QStringLiteral("Download Fail"));
}

void QHttpDownload::on_error(QNetworkReply::NetworkError code)
{
    WriteLogLine(QStringLiteral("Download error %1 ").arg(int(code)) + m_url);
}

void QHttpDownload::on_downloadProgress(qlonglong bytesRead, qlonglong totalBytes)
{
    if (m_net && bytesRead - m_stallMark >= StallBytes) {
        m_stallMark = bytesRead;
        m_stall->start();
    }
    Q_EMIT Signal_DownLoadProgress(bytesRead, totalBytes);
}

void QHttpDownload::transferEnded(bool ok, const QString &logText)
{
    if (m_reported || !m_net)
        return;
    if (!ok) {
        fail(logText, QStringLiteral("Download Fail"));
        return;
    }
    releaseTransfer();
    if (m_task)
        m_task->status = DownTaskDone;
    report(true, QStringLiteral("Download succeed"));
}

void QHttpDownload::fail(const QString &logText, const QString &errText)
{
    if (m_reported)
        return;
    WriteLogLine(logText + m_url);
    if (m_task)
        m_task->status = DownTaskFailed;
    releaseTransfer();
    // Queued: the failure may be found inside Start, before the caller has finished its own
    // bookkeeping; the batch still hears of it.
    QMetaObject::invokeMethod(this, [this, errText] { report(false, errText); }, Qt::QueuedConnection);
}

void QHttpDownload::report(bool ok, const QString &errText)
{
    if (m_reported)
        return;
    m_reported = true;
    m_running = false;
    Q_EMIT DownEnd(ok, errText);
}

void QHttpDownload::releaseTransfer()
{
    m_stall->stop();
    m_deadline->stop();
    if (!m_net)
        return;
    std::shared_ptr<Transfer> net = std::move(m_net);
    m_net.reset();
    net->cancelled = true;
    {
        QMutexLocker locker(&net->lock);
        net->owner = nullptr;
    }
    // Asked once, and only from here: until it runs the access manager exists.
    QMetaObject::invokeMethod(net->access, [net] { TransferClose(net); }, Qt::QueuedConnection);
}
