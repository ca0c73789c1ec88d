#include "tqtstreamsocket.h"

#include "callbacks.h"
#include "clienttls.h"

#include <QHostAddress>
#include <QSignalBlocker>
#include <QSslSocket>
#include <QTimer>

#include <utility>

namespace Quorvant::Network {

TQtStreamSocket::TQtStreamSocket()
    : mSocket(new QSslSocket(this))
{
    connect(mSocket, &QSslSocket::readyRead, this, [this] { callBack(mEvents.readyRead); });
    // Over TLS, encryptedBytesWritten would count the record overhead too.
    connect(mSocket, &QSslSocket::bytesWritten, this, [this](qint64 n) { callBack(mEvents.bytesWritten, n); });
    // A TLS connection is there for the caller once the handshake is done.
    connect(mSocket, &QSslSocket::connected, this, [this] {
        if (!mTls)
            callBack(mEvents.connected);
    });
    connect(mSocket, &QSslSocket::encrypted, this, [this] { callBack(mEvents.connected); });
    connect(mSocket, &QSslSocket::sslErrors, this, &TQtStreamSocket::sslErrors);
    connect(mSocket, &QSslSocket::disconnected, this, [this] { callBack(mEvents.disconnected); });
    connect(mSocket, &QSslSocket::errorOccurred, this, [this] { callBack(mEvents.error, mSocket->errorString()); });
    mSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
}

TQtStreamSocket::~TQtStreamSocket()
{
    mSocket->disconnect(this);
    mSocket->abort();
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
    mTls = false;
    if (checkAddress(host))
        mSocket->connectToHost(QHostAddress(host), port);
}

void TQtStreamSocket::connectToHostEncrypted(const QString &host, quint16 port, const QString &peerName)
{
    mTls = true;
    if (!checkAddress(host))
        return;
    mSocket->setSslConfiguration(clientTlsConfiguration());
    // The address is connected to; the certificate is checked for the name.
    mSocket->connectToHostEncrypted(host, port, peerName);
}

void TQtStreamSocket::sslErrors()
{
    const CertificateProblem problem = certificateProblem(mSocket->sslHandshakeErrors(), mSocket->peerCertificate());
    // Without ignoring them here the handshake fails, as an error.
    if (auto accept = mEvents.certificateProblem; accept && accept(problem))
        mSocket->ignoreSslErrors(mSocket->sslHandshakeErrors());
}

bool TQtStreamSocket::isEncrypted() const
{
    return mTls && mSocket->isEncrypted();
}

qint64 TQtStreamSocket::write(const char *data, qint64 size)
{
    return mSocket->write(data, size);
}

qint64 TQtStreamSocket::bytesToWrite() const
{
    return mSocket->bytesToWrite();
}

qint64 TQtStreamSocket::bytesAvailable() const
{
    return mSocket->bytesAvailable();
}

QByteArray TQtStreamSocket::readAll()
{
    return mSocket->readAll();
}

bool TQtStreamSocket::isConnected() const
{
    return mSocket->state() == QAbstractSocket::ConnectedState && (!mTls || mSocket->isEncrypted());
}

void TQtStreamSocket::abort()
{
    mRefused = false;
    const QSignalBlocker blocker(mSocket);
    mSocket->abort();
}

} // namespace Quorvant::Network
