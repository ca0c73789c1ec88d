#include "addressservice.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace Halvorn {

namespace {
constexpr qsizetype kMaxRequestHead = 8192;
}

AddressService::AddressService(QString publicAddress, quint16 serverPort, QObject *parent)
    : QObject(parent)
    , mPublicAddress(std::move(publicAddress))
    , mServerPort(serverPort)
    , mServer(new QTcpServer(this))
{
    connect(mServer, &QTcpServer::newConnection, this, &AddressService::accept);
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
    return QStringLiteral("IP=%1\r\nPORT=%2\r\n").arg(mPublicAddress).arg(mServerPort).toLatin1();
}

void AddressService::accept()
{
    while (QTcpSocket *socket = mServer->nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
        // A request that never completes is dropped.
        QTimer::singleShot(10000, socket, [socket] { socket->abort(); socket->deleteLater(); });
    }
}

void AddressService::answer(QTcpSocket *socket)
{
    if (socket->property("answered").toBool()) {
        socket->readAll();
        return;
    }
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    if (!head.contains("\r\n\r\n") && !head.contains("\n\n")) {
        if (head.size() > kMaxRequestHead)
            socket->abort();
        else
            socket->setProperty("head", head);
        return;
    }
    socket->setProperty("answered", true);
    const QList<QByteArray> requestLine = head.left(head.indexOf('\n')).trimmed().split(' ');
    QByteArray status = "404 Not Found";
    QByteArray body = "Not Found\r\n";
    if (requestLine.size() < 2 || (requestLine[0] != "GET" && requestLine[0] != "HEAD")) {
        status = "400 Bad Request";
        body = "Bad Request\r\n";
    } else {
        QByteArray path = requestLine[1];
        const qsizetype query = path.indexOf('?');
        if (query >= 0)
            path.truncate(query);
        if (path.compare("/AddressInfo.dat", Qt::CaseInsensitive) == 0) {
            status = "200 OK";
            body = addressFile();
        }
    }
    QByteArray response = "HTTP/1.0 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: "
                          + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n";
    if (requestLine.value(0) != "HEAD")
        response += body;
    socket->write(response);
    socket->disconnectFromHost();
}

} // namespace Halvorn
