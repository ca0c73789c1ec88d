// A bare protocol client on the shared codec, for the other party in the
// end-to-end tests: sends packets and waits for replies by command word,
// in plain TCP or over TLS.
#pragma once

#include "packetreassembler.h"
#include "wireformat.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QSslCertificate>
#include <QSslSocket>

#include <optional>

struct RawPacket
{
    QByteArray word;
    QByteArray payload;
};

// A reply that says yes.
inline bool isGood(const std::optional<RawPacket> &p)
{
    return p && Quorvant::Network::GoodPacket(p->payload);
}

class RawClient
{
public:
    // From `from` when given (any 127.x.y.z on loopback, to look like
    // another machine).
    bool connectTo(quint16 port, const QHostAddress &from = QHostAddress());
    // Over TLS 1.2 or newer, verifying the server's certificate for
    // 127.0.0.1 against `trusted` (empty: the system's trust store); the
    // handshake's errors are in tlsErrors.
    bool connectToTls(quint16 port, const QList<QSslCertificate> &trusted, const QHostAddress &from = QHostAddress());
    // Waits for the credentials request, then signs in (creating the account
    // first when asked). True when the server said yes.
    bool signIn(const QString &user, const QString &password, bool create = false);
    void send(QByteArrayView word, QByteArrayView payload);
    // The first packet with `word`, taken out of what has arrived.
    std::optional<RawPacket> waitFor(const QByteArray &word, int timeoutMs = 5000);
    // Sends and waits for the reply of the same word.
    std::optional<RawPacket> request(const QByteArray &word, const QByteArray &payload, int timeoutMs = 5000);
    bool hasPacket(const QByteArray &word);

    QSslSocket socket;  // unencrypted unless connectToTls
    QList<QSslError> tlsErrors;
    Quorvant::Network::TPacketReassembler reassembler;
    QList<RawPacket> inbox;

private:
    void pump();
};
