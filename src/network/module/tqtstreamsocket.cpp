#include "tqtstreamsocket.h"

#include "callbacks.h"
#include "clienttls.h"

#include <QHostAddress>
#include <QSignalBlocker>
#include <QSslSocket>
#include <QTimer>

#include <utility>

namespace Quorvant::Network {

TQtStreamSocket::TQtStreamSocket() = default;

TQtStreamSocket::~TQtStreamSocket()
{
    dropSocket();
}

void TQtStreamSocket::dropSocket()
{
    if (!mSocket)
        return;
    mSocket->disconnect(this);
    mSocket->abort();
    // It may be in the middle of a signal.
    mSocket->setParent(nullptr);
    mSocket->deleteLater();
    mSocket = nullptr;
}

QTcpSocket *TQtStreamSocket::newSocket(bool tls)
{
    dropSocket();
    // A plain connection does not load the TLS library.
    QTcpSocket *socket = tls ? new QSslSocket(this) : new QTcpSocket(this);
    mSocket = socket;
    connect(socket, &QTcpSocket::readyRead, this, [this] { callBack(mEvents.readyRead); });
    // Over TLS this counts the bytes given to write (not the records sent),
    // as the caller does.
    connect(socket, &QTcpSocket::bytesWritten, this, [this](qint64 n) { callBack(mEvents.bytesWritten, n); });
    connect(socket, &QTcpSocket::disconnected, this, [this] { callBack(mEvents.disconnected); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] { callBack(mEvents.error, socket->errorString()); });
    if (auto *ssl = qobject_cast<QSslSocket *>(socket)) {
        // A TLS connection is there for the caller once the handshake is done.
        connect(ssl, &QSslSocket::encrypted, this, [this] { callBack(mEvents.connected); });
        connect(ssl, &QSslSocket::sslErrors, this, [this, ssl] { sslErrors(ssl); });
    } else {
        connect(socket, &QTcpSocket::connected, this, [this] { callBack(mEvents.connected); });
    }
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return socket;
}

void TQtStreamSocket::setEvents(Events events)
{
    mEvents = std::move(events);
}

bool TQtStreamSocket::checkAddress(const QString &host)
{
    if (QHostAddress().setAddress(host))
        return true;
    // Reported like any failed attempt, from the event loop.
    mRefused = true;
    QTimer::singleShot(0, this, [this] {
        if (std::exchange(mRefused, false))
            callBack(mEvents.error, QStringLiteral("Invalid address"));
    });
    return false;
}

void TQtStreamSocket::connectToHost(const QString &host, quint16 port)
{
    dropSocket();
    if (checkAddress(host))
        newSocket(false)->connectToHost(QHostAddress(host), port);
}

void TQtStreamSocket::connectToHostEncrypted(const QString &host, quint16 port, const QString &peerName)
{
    dropSocket();
    if (!checkAddress(host))
        return;
    auto *ssl = static_cast<QSslSocket *>(newSocket(true));
    ssl->setSslConfiguration(clientTlsConfiguration());
    // The address is connected to; the certificate is checked for the name.
    ssl->connectToHostEncrypted(host, port, peerName);
}

void TQtStreamSocket::sslErrors(QSslSocket *ssl)
{
    const QList<QSslError> errors = ssl->sslHandshakeErrors();
    const CertificateProblem problem = certificateProblem(errors, ssl->peerCertificate());
    // Without ignoring them here the handshake fails, as an error.
    if (auto accept = mEvents.certificateProblem; accept && accept(problem) && mSocket == ssl)
        ssl->ignoreSslErrors(errors);
}

bool TQtStreamSocket::isEncrypted() const
{
    auto *ssl = qobject_cast<QSslSocket *>(mSocket);
    return ssl && ssl->isEncrypted();
}

qint64 TQtStreamSocket::write(const char *data, qint64 size)
{
    return mSocket ? mSocket->write(data, size) : -1;
}

qint64 TQtStreamSocket::bytesToWrite() const
{
    return mSocket ? mSocket->bytesToWrite() : 0;
}

qint64 TQtStreamSocket::bytesAvailable() const
{
    return mSocket ? mSocket->bytesAvailable() : 0;
}

QByteArray TQtStreamSocket::readAll()
{
    return mSocket ? mSocket->readAll() : QByteArray();
}

bool TQtStreamSocket::isConnected() const
{
    if (!mSocket || mSocket->state() != QAbstractSocket::ConnectedState)
        return false;
    auto *ssl = qobject_cast<QSslSocket *>(mSocket);
    return !ssl || ssl->isEncrypted();
}

void TQtStreamSocket::abort()
{
    mRefused = false;
    if (!mSocket)
        return;
    const QSignalBlocker blocker(mSocket);
    mSocket->abort();
}

} // namespace Quorvant::Network
