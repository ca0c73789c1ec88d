#include "addressservice.h"

#include "servertls.h"

#include <QHostAddress>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace Halvorn {

namespace {

constexpr qsizetype kMaxRequestHead = 8192;
const char kHeadProperty[] = "halvornHead";
const char kAnsweredProperty[] = "halvornAnswered";

struct Response
{
    QByteArray status;
    QByteArray body;
    QByteArray contentType = "text/plain";
};

Response plainText(const char *status, const char *body)
{
    return {status, body};
}

void send(QTcpSocket *socket, const Response &response, bool withBody)
{
    QByteArray out = "HTTP/1.0 " + response.status + "\r\nContent-Type: " + response.contentType
                     + "\r\nContent-Length: " + QByteArray::number(response.body.size()) + "\r\nConnection: close\r\n\r\n";
    if (withBody)
        out += response.body;
    socket->write(out);
    socket->disconnectFromHost();
}

// The same address whether it came as IPv4 or as IPv4 mapped into IPv6.
QHostAddress plainAddress(const QHostAddress &address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4) : address;
}

} // namespace

AddressService::AddressService(QString publicAddress, quint16 serverPort, QObject *parent)
    : QObject(parent)
    , mPublicAddress(std::move(publicAddress))
    , mServerPort(serverPort)
    , mServer(new TlsReadyServer(this))
{
    connect(mServer, &QTcpServer::newConnection, this, &AddressService::accept);
}

void AddressService::setTransport(const TransportRules &transport)
{
    mTransport = transport;
    mServer->offerTls(transport.tls != nullptr);
}

void AddressService::setOtherInstances(QList<Quorvant::Network::ServerAddress> instances)
{
    mOtherInstances = std::move(instances);
}

void AddressService::setHealthCheck(std::function<bool()> healthy)
{
    mHealthy = std::move(healthy);
}

void AddressService::setMetrics(std::function<QByteArray()> metrics, QList<Subnet> readers)
{
    mMetrics = std::move(metrics);
    mMetricsReaders = std::move(readers);
}

bool AddressService::listen(const QHostAddress &address, quint16 port)
{
    return mServer->listen(address, port);
}

quint16 AddressService::port() const
{
    return mServer->serverPort();
}

QString AddressService::errorString() const
{
    return mServer->errorString();
}

QByteArray AddressService::addressFile() const
{
    QString file = QStringLiteral("IP=%1\r\nPORT=%2\r\n").arg(mPublicAddress).arg(mServerPort);
    if (mTransport.tls)
        file += QStringLiteral("TLS=1\r\n");
    for (const Quorvant::Network::ServerAddress &instance : mOtherInstances)
        file += QLatin1String(Quorvant::Network::kAddressFileServerKey) + QLatin1Char('=') + instance.text()
                + QStringLiteral("\r\n");
    return file.toLatin1();
}

void AddressService::accept()
{
    while (QTcpSocket *socket = mServer->nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        // Both later: the TLS backend may be in the middle of its work on the
        // socket, and ending the socket there makes it use freed state.
        connect(socket, &QTcpSocket::errorOccurred, socket, [socket] { socket->abort(); socket->deleteLater(); },
                Qt::QueuedConnection);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { readRequest(socket); }, Qt::QueuedConnection);
        QTimer::singleShot(kRequestTimeoutMs, socket, [socket] { socket->abort(); socket->deleteLater(); });
    }
}

void AddressService::readRequest(QTcpSocket *socket)
{
    if (socket->property(kAnsweredProperty).toBool()) {
        socket->readAll();
        return;
    }
    auto *ssl = qobject_cast<QSslSocket *>(socket);
    // HTTP clients speak first: the first byte tells HTTPS from HTTP.
    if (ssl && ssl->mode() == QSslSocket::UnencryptedMode && !socket->property(kHeadProperty).isValid()) {
        switch (firstByteOf(socket)) {
        case FirstByte::Undecided:
            return;
        case FirstByte::Tls:
            mTransport.tls->startEncryption(socket);
            return;
        case FirstByte::Plain:
            if (!mTransport.allowPlain) {
                socket->setProperty(kAnsweredProperty, true);
                send(socket, plainText("426 Upgrade Required", "This server answers over HTTPS only.\r\n"), true);
                return;
            }
            break;
        }
    }
    if (ssl && ssl->mode() != QSslSocket::UnencryptedMode && !ssl->isEncrypted())
        return;  // handshake under way
    const QByteArray head = socket->property(kHeadProperty).toByteArray() + socket->readAll();
    if (!head.contains("\r\n\r\n") && !head.contains("\n\n")) {
        if (head.size() > kMaxRequestHead)
            socket->abort();
        else
            socket->setProperty(kHeadProperty, head);
        return;
    }
    socket->setProperty(kAnsweredProperty, true);
    answer(socket, head);
}

bool AddressService::mayReadMetrics(const QTcpSocket *socket) const
{
    const QHostAddress peer = plainAddress(socket->peerAddress());
    return std::any_of(mMetricsReaders.cbegin(), mMetricsReaders.cend(),
                       [&peer](const Subnet &subnet) { return peer.isInSubnet(subnet); });
}

void AddressService::answer(QTcpSocket *socket, const QByteArray &head)
{
    const QList<QByteArray> requestLine = head.left(head.indexOf('\n')).trimmed().split(' ');
    if (requestLine.size() < 2 || (requestLine[0] != "GET" && requestLine[0] != "HEAD")) {
        send(socket, plainText("400 Bad Request", "Bad Request\r\n"), true);
        return;
    }
    QByteArray path = requestLine[1];
    const qsizetype query = path.indexOf('?');
    if (query >= 0)
        path.truncate(query);
    Response response = plainText("404 Not Found", "Not Found\r\n");
    if (path.compare("/AddressInfo.dat", Qt::CaseInsensitive) == 0) {
        response = {"200 OK", addressFile()};
    } else if (path == "/healthz" && mHealthy) {
        response = mHealthy() ? plainText("200 OK", "ok\n") : plainText("503 Service Unavailable", "database not answering\n");
    } else if (path == "/metrics" && mMetrics) {
        if (mayReadMetrics(socket))
            response = {"200 OK", mMetrics(), "text/plain; version=0.0.4; charset=utf-8"};
        else
            response = plainText("403 Forbidden", "Forbidden\r\n");
    }
    send(socket, response, requestLine[0] != "HEAD");
}

} // namespace Halvorn
