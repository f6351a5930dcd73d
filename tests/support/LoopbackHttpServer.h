#pragma once
#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QtNetwork/QTcpServer>

class QTcpSocket;

// A small HTTP/1.1 responder on 127.0.0.1 for download tests: each path answers with a set
// status and body; a route can declare more bytes than it sends and hang up half-way, answer
// as HTTP/1.0, send its body gzip-encoded (as a content or a transfer coding) or byte by byte,
// or never answer.
class LoopbackHttpServer : public QObject
{
    Q_OBJECT
public:
    enum Encoding
    {
        Identity,
        GzipWhenAccepted, // when the request's Accept-Encoding names gzip, as common web servers do
        GzipAlways,       // whatever the request accepts
        GzipTransfer,     // whatever it accepts, named as a transfer coding (Transfer-Encoding: gzip[, chunked])
    };

    struct Route
    {
        int status = 200;
        QByteArray body;
        qint64 declaredLength = -1;   // Content-Length sent; -1 the body's size, -2 none (ended by closing)
        bool chunked = false;         // the body in chunks (Transfer-Encoding: chunked), no length
        qint64 sendBytes = -1;        // bytes of the body sent before hanging up; -1 all
        QByteArray location;          // Location header (redirects)
        bool http10 = false;          // the status line says HTTP/1.0
        Encoding encoding = Identity; // gzip: the body gzip-encoded (Content-Encoding: gzip); lengths count encoded bytes
        bool silent = false;          // takes the request and never answers
        int trickleMs = 0;            // the body sent a little at a time, a piece every this many ms
        int trickleBytes = 1;         // bytes of each such piece
        QByteArray raw{};             // when set, sent as the whole response (status line, fields, body) as it stands
        QByteArray endless{};         // after raw, sent again and again until the client goes
    };

    explicit LoopbackHttpServer(QObject *parent = nullptr);
    ~LoopbackHttpServer() override;
    bool listen();
    quint16 port() const { return m_server.serverPort(); }
    // "http://127.0.0.1:<port>" followed by the path (which starts with "/").
    QString url(const QString &path) const;

    void setRoute(const QByteArray &path, const Route &route);
    void setFile(const QByteArray &path, const QByteArray &body);

    // Request targets in the order they arrived (as sent, still percent-encoded).
    QStringList requests() const { return m_requests; }

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket *socket);
    void respond(QTcpSocket *socket, const QByteArray &target, const QByteArray &request);
    static QByteArray Gzip(const QByteArray &data);

    QTcpServer m_server;
    QHash<QByteArray, Route> m_routes;
    QHash<QTcpSocket *, QByteArray> m_pending;
    QStringList m_requests;
};
