#include "tests/support/LoopbackHttpServer.h"

#include <QTimer>
#include <QtNetwork/QHostAddress>
#include <QtNetwork/QTcpSocket>

LoopbackHttpServer::LoopbackHttpServer(QObject *parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &LoopbackHttpServer::onNewConnection);
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    // A client may still hold a connection (it closes on a thread of its own): its socket goes
    // with the server, and must not report to what is already gone.
    for (QTcpSocket *socket : m_server.findChildren<QTcpSocket *>())
        disconnect(socket, nullptr, this, nullptr);
}

bool LoopbackHttpServer::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

QString LoopbackHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void LoopbackHttpServer::setRoute(const QByteArray &path, const Route &route)
{
    m_routes.insert(path, route);
}

void LoopbackHttpServer::setFile(const QByteArray &path, const QByteArray &body)
{
    Route r;
    r.body = body;
    setRoute(path, r);
}

void LoopbackHttpServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_pending.remove(socket);
            socket->deleteLater();
        });
    }
}

void LoopbackHttpServer::onReadyRead(QTcpSocket *socket)
{
    QByteArray &buffer = m_pending[socket];
    buffer += socket->readAll();
    const int end = buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QByteArray request = buffer.left(end).toLower();
    const QByteArray line = buffer.left(buffer.indexOf("\r\n"));
    const QList<QByteArray> parts = line.split(' ');
    buffer.clear();
    respond(socket, parts.size() >= 2 ? parts.at(1) : QByteArray("/"), request);
}

void LoopbackHttpServer::respond(QTcpSocket *socket, const QByteArray &target, const QByteArray &request)
{
    m_requests << QString::fromLatin1(target);
    Route route;
    const auto it = m_routes.constFind(target);
    if (it != m_routes.constEnd()) {
        route = *it;
    } else {
        route.status = 404;
        route.body = "not found";
    }
    if (route.silent)
        return;
    if (!route.raw.isEmpty()) {
        socket->write(route.raw);
        socket->flush();
        if (route.endless.isEmpty()) {
            socket->disconnectFromHost();
            return;
        }
        auto *timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket, [socket, more = route.endless] {
            while (socket->bytesToWrite() < 1024 * 1024)
                socket->write(more);
        });
        timer->start(5);
    }
    QByteArray accepted;
    for (const QByteArray &field : request.split('\n'))
        if (field.startsWith("accept-encoding:"))
            accepted = field.mid(16);
    const bool transfer = route.encoding == GzipTransfer;
    const bool gzip = route.encoding == GzipAlways || transfer || (route.encoding == GzipWhenAccepted && accepted.contains("gzip"));
    const QByteArray encoded = gzip ? Gzip(route.body) : route.body;
    const qint64 length = route.declaredLength >= 0 ? route.declaredLength : encoded.size();
    QByteArray head = (route.http10 ? "HTTP/1.0 " : "HTTP/1.1 ") + QByteArray::number(route.status) + (route.status == 200 ? " OK" : " Other") + "\r\n";
    head += "Content-Type: application/octet-stream\r\n";
    if (route.chunked)
        head += QByteArray("Transfer-Encoding: ") + (transfer ? "gzip, " : "") + "chunked\r\n";
    else if (transfer)
        head += "Transfer-Encoding: gzip\r\n"; // ended by closing
    else if (route.declaredLength != -2)
        head += "Content-Length: " + QByteArray::number(length) + "\r\n";
    if (gzip && !transfer)
        head += "Content-Encoding: gzip\r\n";
    if (!route.location.isEmpty())
        head += "Location: " + route.location + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);
    const QByteArray body = route.sendBytes >= 0 ? encoded.left(int(route.sendBytes)) : encoded;
    if (route.trickleMs > 0) {
        auto *timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket, [socket, timer, body, step = qMax(1, route.trickleBytes), at = 0]() mutable {
            if (at < body.size()) {
                socket->write(body.mid(at, step));
                at += step;
                return;
            }
            timer->stop();
            socket->disconnectFromHost();
        });
        timer->start(route.trickleMs);
        return;
    }
    if (route.chunked) {
        for (int at = 0; at < body.size(); at += 1000) {
            const QByteArray piece = body.mid(at, 1000);
            socket->write(QByteArray::number(piece.size(), 16) + "\r\n" + piece + "\r\n");
        }
        socket->write("0\r\n\r\n");
    } else {
        socket->write(body);
    }
    socket->flush();
    socket->disconnectFromHost();
}

QByteArray LoopbackHttpServer::Gzip(const QByteArray &data)
{
    // qCompress gives a 4-byte size, a 2-byte zlib header, the deflate stream and an Adler-32;
    // gzip puts the same stream between its own 10-byte header and a CRC-32 and size trailer.
    const QByteArray z = qCompress(data);
    QByteArray out = QByteArray::fromHex("1f8b08000000000000ff") + z.mid(6, z.size() - 10);
    quint32 crc = 0xFFFFFFFFu;
    for (char c : data) {
        crc ^= uint8_t(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    for (const quint32 v : {~crc, quint32(data.size())})
        for (int i = 0; i < 4; ++i)
            out += char((v >> (8 * i)) & 0xFF);
    return out;
}
