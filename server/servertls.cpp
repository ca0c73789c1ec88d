#include "servertls.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QSslKey>
#include <QSslSocket>
#include <QTimer>

#include <sys/socket.h>
#include <unistd.h>

namespace Halvorn {

namespace {

// The loopback handshake at start-up takes milliseconds; this bounds a
// machine that is very busy.
constexpr int kSelfCheckMs = 10000;

QByteArray readAll(const QString &path, const QString &what, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the %1 %2: %3").arg(what, path, file.errorString());
        return {};
    }
    QByteArray data = file.readAll();
    if (data.isEmpty())
        *error = QStringLiteral("the %1 %2 is empty").arg(what, path);
    return data;
}

QSslKey privateKey(const QByteArray &pem)
{
    for (const QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa}) {
        QSslKey key(pem, algorithm, QSsl::Pem, QSsl::PrivateKey);
        if (!key.isNull())
            return key;
    }
    return {};
}

} // namespace

std::optional<ServerTls> ServerTls::load(const QString &certificateFile, const QString &keyFile, QString *error)
{
    if (!QSslSocket::supportsSsl()) {
        *error = QStringLiteral("this Qt has no TLS backend (%1)").arg(QSslSocket::sslLibraryVersionString());
        return std::nullopt;
    }
    const QByteArray certificatePem = readAll(certificateFile, QStringLiteral("certificate"), error);
    if (certificatePem.isEmpty())
        return std::nullopt;
    const QByteArray keyPem = readAll(keyFile, QStringLiteral("key"), error);
    if (keyPem.isEmpty())
        return std::nullopt;
    const QList<QSslCertificate> chain = QSslCertificate::fromData(certificatePem, QSsl::Pem);
    if (chain.isEmpty() || chain.constFirst().isNull()) {
        *error = QStringLiteral("%1 holds no PEM certificate").arg(certificateFile);
        return std::nullopt;
    }
    const QSslKey key = privateKey(keyPem);
    if (key.isNull()) {
        *error = QStringLiteral("%1 holds no unencrypted PEM private key (RSA, EC or DSA)").arg(keyFile);
        return std::nullopt;
    }
    ServerTls tls;
    tls.mConfiguration = QSslConfiguration::defaultConfiguration();
    tls.mConfiguration.setProtocol(QSsl::TlsV1_2OrLater);
    tls.mConfiguration.setPeerVerifyMode(QSslSocket::VerifyNone);
    tls.mConfiguration.setLocalCertificateChain(chain);
    tls.mConfiguration.setPrivateKey(key);
    if (!tls.handshakesWithItself(error)) {
        *error = QStringLiteral("the key %1 does not belong to the certificate %2 (a TLS handshake with them failed: %3)")
                     .arg(keyFile, certificateFile, error->trimmed());
        return std::nullopt;
    }
    return tls;
}

void ServerTls::startEncryption(QTcpSocket *socket) const
{
    auto *ssl = qobject_cast<QSslSocket *>(socket);
    Q_ASSERT(ssl);
    ssl->setSslConfiguration(mConfiguration);
    ssl->startServerEncryption();
}

bool ServerTls::handshakesWithItself(QString *error) const
{
    TlsReadyServer listener;
    listener.offerTls(true);
    if (!listener.listen(QHostAddress::LocalHost) && !listener.listen(QHostAddress::LocalHostIPv6)) {
        *error = QStringLiteral("no loopback interface to check it on: %1").arg(listener.errorString());
        return false;
    }
    QSslSocket client;
    client.setPeerVerifyMode(QSslSocket::VerifyNone);
    client.connectToHostEncrypted(listener.serverAddress().toString(), listener.serverPort());
    QDeadlineTimer deadline(kSelfCheckMs);
    QEventLoop loop;
    QTimer poll;
    QSslSocket *server = nullptr;
    QString failure;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!server && listener.hasPendingConnections()) {
            server = qobject_cast<QSslSocket *>(listener.nextPendingConnection());
            QObject::connect(server, &QAbstractSocket::errorOccurred, &loop, [&] { failure = server->errorString(); });
            startEncryption(server);
        }
        if (!failure.isEmpty() || (server && server->isEncrypted() && client.isEncrypted()) || deadline.hasExpired())
            loop.quit();
    });
    poll.start(1);
    loop.exec();
    if (!failure.isEmpty() || (server && server->isEncrypted() && client.isEncrypted())) {
        *error = failure;
        return failure.isEmpty();
    }
    *error = client.errorString().isEmpty() ? QStringLiteral("no handshake within %1 ms").arg(kSelfCheckMs) : client.errorString();
    return false;
}

FirstByte firstByteOf(QTcpSocket *socket)
{
    char first = 0;
    // What the socket has read so far, else what the system holds for it:
    // on a busy server the wait may end before the socket has been told of
    // bytes that came in time.
    if (socket->peek(&first, 1) != 1
        && ::recv(int(socket->socketDescriptor()), &first, 1, MSG_PEEK | MSG_DONTWAIT) != 1)
        return FirstByte::Undecided;
    return first == kTlsHandshakeRecord ? FirstByte::Tls : FirstByte::Plain;
}

void TlsReadyServer::incomingConnection(qintptr descriptor)
{
    QTcpSocket *socket = mOfferTls ? new QSslSocket(this) : new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        ::close(int(descriptor));
        return;
    }
    addPendingConnection(socket);
}

} // namespace Halvorn
