#include "firmware/QHttpDownload.h"
#include "app/LogWriter.h"
#include "firmware/DownTask.h"
#include "firmware/DownloadFileName.h"
#include "firmware/QDownTaskManage.h"
#include "platform/HidPlatform.h"

#include <QDir>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QStringList>
#include <QTimer>
#include <QUrl>

QHttpDownload::QHttpDownload(QObject *parent)
    : QObject(parent), m_access(new QNetworkAccessManager(this)), m_stall(new QTimer(this)), m_deadline(new QTimer(this))
{
    connect(m_access, &QNetworkAccessManager::finished, this, &QHttpDownload::on_ReplyFinished);
    // Kept here rather than as the request's transfer time-out, which Qt drops on a redirect.
    m_stall->setSingleShot(true);
    connect(m_stall, &QTimer::timeout, this, &QHttpDownload::stalled);
    m_deadline->setSingleShot(true);
    connect(m_deadline, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("Download too slow "), QStringLiteral("Download Fail")); });
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

QHttpDownload::~QHttpDownload()
{
    releaseReply();
    delete m_file; // an uncommitted file leaves no temporary behind
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
    m_file = new QSaveFile(path);
    if (!m_file->open(QIODevice::WriteOnly)) {
        delete m_file;
        m_file = nullptr;
        fail(QStringLiteral(" 临时文件打开错误 ") + path, QStringLiteral("File open error"));
        return;
    }
    m_written = 0;
    m_stallMark = 0;
    m_writeFailed = false;
    m_tooLarge = false;

    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    // Asked for, Qt adds no gzip of its own and inflates nothing: the bytes counted against the
    // bound and the length are the bytes that arrive, and an encoded body is refused below.
    request.setRawHeader("Accept-Encoding", "identity");
    m_reply = m_access->get(request);
    // Qt stops reading from the network while this much waits unread, so memory stays near it
    // however fast the server sends.
    m_reply->setReadBufferSize(ReadBufferBytes);
    m_connections << connect(m_reply, &QNetworkReply::finished, this, &QHttpDownload::on_finished)
                  << connect(m_reply, &QNetworkReply::readyRead, this, &QHttpDownload::on_readyRead)
                  << connect(m_reply, &QNetworkReply::downloadProgress, this, &QHttpDownload::on_downloadProgress)
                  << connect(m_reply, &QNetworkReply::errorOccurred, this, &QHttpDownload::on_error)
                  << connect(m_reply, &QNetworkReply::redirected, this, &QHttpDownload::on_redirected)
                  << connect(m_reply, &QNetworkReply::metaDataChanged, this, &QHttpDownload::headersArrived);
    // Restarted by the body only (on_downloadProgress): headers and redirects, which a server
    // could send one by one, do not hold the transfer open.
    m_stall->start(platform::HidScaledMs(TransferTimeoutMs));
    m_deadline->start(platform::HidScaledMs(int(DeadlineMs(m_maxBytes))));
    WriteLogLine(QStringLiteral("159 ") + url);
}

bool QHttpDownload::IsWebAddress(const QUrl &address)
{
    const QString scheme = address.scheme().toLower();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !address.host().isEmpty();
}

void QHttpDownload::on_redirected(const QUrl &url)
{
    m_stallMark = 0; // the next reply counts its body from nothing
    if (!IsWebAddress(url))
        fail(QStringLiteral(" 解析异常的 无效地址 ") + url.toString() + QLatin1Char(' '), QStringLiteral("Invalid url"));
}

void QHttpDownload::headersArrived()
{
    // A length past the bound is refused at once, rather than once the body has grown past it.
    const qint64 length = DeclaredLength(m_reply->rawHeader("Content-Length"));
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (m_maxBytes > 0 && length > m_maxBytes && status / 100 != 3)
        fail(QStringLiteral("Download too large "), QStringLiteral("Download Fail"));
}

void QHttpDownload::stalled()
{
    fail(QStringLiteral("Download stalled "), QStringLiteral("Download Fail"));
}

void QHttpDownload::on_error(QNetworkReply::NetworkError code)
{
    WriteLogLine(QStringLiteral("Download error %1 ").arg(int(code)) + m_url);
}

bool QHttpDownload::drainReply()
{
    if (!m_reply || !m_file)
        return false;
    m_buffer = m_reply->readAll();
    if (m_buffer.isEmpty() || m_writeFailed || m_tooLarge)
        return !m_writeFailed && !m_tooLarge;
    if (m_maxBytes > 0 && m_written + m_buffer.size() > m_maxBytes) {
        m_tooLarge = true;
        return false;
    }
    if (m_file->write(m_buffer) != m_buffer.size()) {
        m_writeFailed = true;
        return false;
    }
    m_written += m_buffer.size();
    return true;
}

bool QHttpDownload::refusedEncoding()
{
    // Sent although not asked for: inflated it could grow without bound, kept it is not the file.
    // Qt takes the chunks apart and leaves any other transfer coding on the bytes, as it leaves
    // a content coding.
    QByteArray refused;
    const QByteArray content = m_reply->rawHeader("Content-Encoding").trimmed().toLower();
    const QByteArray transfer = m_reply->rawHeader("Transfer-Encoding").trimmed().toLower();
    if (!content.isEmpty() && content != "identity")
        refused = "Content-Encoding " + content;
    for (const QByteArray &coding : transfer.split(',')) {
        const QByteArray name = coding.trimmed();
        if (refused.isEmpty() && !name.isEmpty() && name != "chunked" && name != "identity")
            refused = "Transfer-Encoding " + transfer;
    }
    if (refused.isEmpty())
        return false;
    fail(QStringLiteral("Download refused, ") + QString::fromLatin1(refused) + QLatin1Char(' '),
         QStringLiteral("Download Fail"));
    return true;
}

void QHttpDownload::on_readyRead()
{
    if (m_reply && m_reply->error() == QNetworkReply::NoError && !refusedEncoding() && !drainReply() && m_tooLarge)
        fail(QStringLiteral("Download too large "), QStringLiteral("Download Fail"));
}

void QHttpDownload::on_downloadProgress(qlonglong bytesRead, qlonglong totalBytes)
{
    if (m_reply && bytesRead - m_stallMark >= StallBytes) {
        m_stallMark = bytesRead;
        m_stall->start();
    }
    Q_EMIT Signal_DownLoadProgress(bytesRead, totalBytes);
}

void QHttpDownload::on_finished()
{
    if (m_reported || !m_reply)
        return;
    QNetworkReply *reply = m_reply;
    if (reply->error() != QNetworkReply::NoError) {
        fail(QStringLiteral("Download Fail ") + reply->errorString() + QLatin1Char(' '), QStringLiteral("Download Fail"));
        return;
    }
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() != 200) {
        fail(QStringLiteral("Download Fail HTTP %1 ").arg(status.toInt()), QStringLiteral("Download Fail"));
        return;
    }
    if (refusedEncoding())
        return;
    drainReply();
    if (m_tooLarge) {
        fail(QStringLiteral("Download too large "), QStringLiteral("Download Fail"));
        return;
    }
    if (m_writeFailed) {
        fail(QStringLiteral("Download write error "), QStringLiteral("Download Fail"));
        return;
    }
    // A body without a length field, ended by closing the connection, is taken as it came; a
    // length field Qt could not read, or two that differ, leave the body's end unknown.
    const qint64 expected = DeclaredLength(reply->rawHeader("Content-Length"));
    if (expected == -2) {
        fail(QStringLiteral("Download length unreadable "), QStringLiteral("Download Fail"));
        return;
    }
    if (expected >= 0 && expected != m_written) {
        fail(QStringLiteral("Download incomplete %1/%2 ").arg(m_written).arg(expected), QStringLiteral("Download Fail"));
        return;
    }
    if (m_written == 0) {
        fail(QStringLiteral("Download empty "), QStringLiteral("Download Fail"));
        return;
    }
    const bool committed = m_file->commit();
    delete m_file;
    m_file = nullptr;
    if (!committed) {
        fail(QStringLiteral("Download write error "), QStringLiteral("Download Fail"));
        return;
    }
    releaseReply();
    if (m_task)
        m_task->status = DownTaskDone;
    report(true, QStringLiteral("Download succeed"));
}

void QHttpDownload::on_ReplyFinished(QNetworkReply *reply)
{
    if (reply != m_reply) {
        if (reply)
            reply->deleteLater();
        return;
    }
    const bool failed = reply->error() != QNetworkReply::NoError;
    if (!m_reported && !failed) {
        on_finished();
        return;
    }
    releaseReply();
    if (!m_reported && failed) {
        delete m_file; // discards what was written
        m_file = nullptr;
        if (m_task)
            m_task->status = DownTaskFailed;
        report(false, QStringLiteral("on_ReplyFinished Fail"));
    }
}

void QHttpDownload::fail(const QString &logText, const QString &errText)
{
    WriteLogLine(logText + m_url);
    if (m_task)
        m_task->status = DownTaskFailed;
    if (m_file) {
        m_file->cancelWriting();
        delete m_file;
        m_file = nullptr;
    }
    releaseReply();
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

void QHttpDownload::releaseReply()
{
    m_stall->stop();
    m_deadline->stop();
    for (const auto &c : qAsConst(m_connections))
        disconnect(c);
    m_connections.clear();
    if (m_reply) {
        QNetworkReply *reply = m_reply;
        m_reply = nullptr;
        if (reply->isRunning())
            reply->abort();
        reply->deleteLater();
    }
}
