// TLS for the server's two ports, with Qt's own TLS backend. A port that
// offers TLS accepts every connection as a QSslSocket that does not encrypt
// yet: the first byte the client sends decides. A TLS client speaks first
// (its ClientHello starts with the handshake record type 0x16), while a
// protocol client of the plain kind waits for the greeting and an HTTP client
// starts with a method name; so one port serves both.
#pragma once

#include <QSslConfiguration>
#include <QString>
#include <QTcpServer>

#include <optional>

class QTcpSocket;

namespace Halvorn {

// The first byte of every TLS record that opens a handshake.
constexpr char kTlsHandshakeRecord = 0x16;

class ServerTls
{
public:
    // The certificate (PEM; further certificates in the file are the chain
    // sent along) and its unencrypted private key (PEM, RSA or EC). Empty
    // with a reason in `error` when either cannot be read, or when the key
    // does not belong to the certificate: that is found by one handshake
    // with itself on the loopback interface, the check the clients make.
    static std::optional<ServerTls> load(const QString &certificateFile, const QString &keyFile, QString *error);

    // TLS 1.2 or newer, this certificate and key, no client certificates.
    const QSslConfiguration &configuration() const { return mConfiguration; }
    // Starts the server side of the handshake on a socket accepted by a
    // TlsReadyServer; what the client sent so far is still unread.
    void startEncryption(QTcpSocket *socket) const;

private:
    bool handshakesWithItself(QString *error) const;

    QSslConfiguration mConfiguration;
};

// How a socket accepted by a TLS-ready port goes on after its first byte.
enum class FirstByte {
    Undecided,  // nothing yet
    Tls,        // a TLS handshake begins
    Plain,      // anything else
};
// Looks at what `socket` has received without taking it.
FirstByte firstByteOf(QTcpSocket *socket);

// A listener whose sockets can start TLS later: QSslSocket when TLS is
// offered, the plain QTcpSocket otherwise.
class TlsReadyServer : public QTcpServer
{
    Q_OBJECT
public:
    using QTcpServer::QTcpServer;
    void offerTls(bool offer) { mOfferTls = offer; }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    bool mOfferTls = false;
};

} // namespace Halvorn
