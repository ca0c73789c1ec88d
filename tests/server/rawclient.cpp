#include "rawclient.h"

#include "networkrecords.h"
#include "waituntil.h"
#include "wireformat.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QSslConfiguration>

using namespace Quorvant::Network;

bool RawClient::connectTo(quint16 port, const QHostAddress &from)
{
    if (!from.isNull() && !socket.bind(from))
        return false;
    socket.connectToHost(QHostAddress::LocalHost, port);
    return socket.waitForConnected(5000);
}

bool RawClient::connectToTls(quint16 port, const QList<QSslCertificate> &trusted, const QHostAddress &from)
{
    if (!from.isNull() && !socket.bind(from))
        return false;
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    if (!trusted.isEmpty())
        configuration.setCaCertificates(trusted);
    socket.setSslConfiguration(configuration);
    QObject::connect(&socket, &QSslSocket::sslErrors, &socket, [this](const QList<QSslError> &errors) { tlsErrors += errors; });
    socket.connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
    // The event loop runs meanwhile, for a proxy in this process.
    return waitUntil([this] { return socket.isEncrypted() || socket.state() == QAbstractSocket::UnconnectedState; }, 10000)
           && socket.isEncrypted();
}

void RawClient::pump()
{
    const QByteArray chunk = socket.readAll();
    reassembler.feed(chunk, [this](const QByteArray &w, const QByteArray &p) {
        inbox.append({w, p});
        return true;
    });
}

bool RawClient::hasPacket(const QByteArray &word)
{
    QCoreApplication::processEvents();
    pump();
    for (const RawPacket &p : inbox) {
        if (p.word == word)
            return true;
    }
    return false;
}

std::optional<RawPacket> RawClient::waitFor(const QByteArray &word, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        pump();
        for (qsizetype i = 0; i < inbox.size(); ++i) {
            if (inbox[i].word == word)
                return inbox.takeAt(i);
        }
        if (deadline.hasExpired() || socket.state() != QAbstractSocket::ConnectedState)
            return std::nullopt;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        socket.waitForReadyRead(5);
    }
}

void RawClient::send(QByteArrayView word, QByteArrayView payload)
{
    socket.write(EncodePacket(word, payload));
    socket.flush();
}

std::optional<RawPacket> RawClient::request(const QByteArray &word, const QByteArray &payload, int timeoutMs)
{
    send(word, payload);
    return waitFor(word, timeoutMs);
}

bool RawClient::signIn(const QString &user, const QString &password, bool create)
{
    if (!waitFor("LOGI"))
        return false;
    const QByteArray info = TLoginInfo{user, password}.toBytes();
    if (create) {
        const auto made = request("CRAT", info);
        if (!made || !GoodPacket(made->payload))
            return false;
    }
    send("LOGI", info);
    const auto result = waitFor("LRES");
    return result && !result->payload.isEmpty() && result->payload[0] == 1;
}
