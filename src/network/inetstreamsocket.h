// A TCP connection as the client sees it. The Qt Network implementation
// lives in the network module (see TNetModuleLoader), so the program does
// not load Qt Network until something connects. Plain callbacks rather than
// signals: this header is compiled into both the program and the module.
#pragma once

#include "inettls.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace Quorvant::Network {

class INetStreamSocket
{
public:
    // Any of them may be left empty. error may come from inside
    // connectToHost, when the attempt fails at once.
    struct Events
    {
        std::function<void()> readyRead;
        std::function<void(qint64 written)> bytesWritten;
        std::function<void()> connected;
        std::function<void()> disconnected;
        std::function<void(const QString &text)> error;
        // A TLS connection's server certificate did not verify: true goes
        // on with it. Left empty, any such problem ends the attempt (as an
        // error).
        std::function<bool(const CertificateProblem &problem)> certificateProblem;
    };

    virtual ~INetStreamSocket() = default;
    virtual void setEvents(Events events) = 0;
    // host: an address literal (see TAddressLiteral). The outcome arrives
    // as connected or error.
    virtual void connectToHost(const QString &host, quint16 port) = 0;
    // The same over TLS 1.2 or newer: the server's certificate is verified
    // against the system's trust store for peerName (a host name or an
    // address literal), and connected comes once the handshake is done.
    virtual void connectToHostEncrypted(const QString &host, quint16 port, const QString &peerName) = 0;
    // Connected over TLS.
    virtual bool isEncrypted() const = 0;
    virtual qint64 write(const char *data, qint64 size) = 0;
    virtual qint64 bytesToWrite() const = 0;
    virtual qint64 bytesAvailable() const = 0;
    virtual QByteArray readAll() = 0;
    virtual bool isConnected() const = 0;
    // Drops the connection at once, without calling any event.
    virtual void abort() = 0;
};

} // namespace Quorvant::Network
