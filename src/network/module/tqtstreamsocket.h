// INetStreamSocket on a QSslSocket, plain or over TLS.
#pragma once

#include "inetstreamsocket.h"

#include <QObject>

class QSslSocket;

namespace Quorvant::Network {

class TQtStreamSocket : public QObject, public INetStreamSocket
{
public:
    TQtStreamSocket();
    ~TQtStreamSocket() override;

    void setEvents(Events events) override;
    void connectToHost(const QString &host, quint16 port) override;
    void connectToHostEncrypted(const QString &host, quint16 port, const QString &peerName) override;
    bool isEncrypted() const override;
    qint64 write(const char *data, qint64 size) override;
    qint64 bytesToWrite() const override;
    qint64 bytesAvailable() const override;
    QByteArray readAll() override;
    bool isConnected() const override;
    void abort() override;

private:
    // False (an error reported later) for a host that is no address literal.
    bool checkAddress(const QString &host);
    void sslErrors();

    QSslSocket *mSocket;
    Events mEvents;
    bool mRefused = false;  // an error to report for an unusable address
    bool mTls = false;      // the attempt is a TLS one
};

} // namespace Quorvant::Network
