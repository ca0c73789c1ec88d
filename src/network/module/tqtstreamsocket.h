// INetStreamSocket on a QTcpSocket, or a QSslSocket for TLS.
#pragma once

#include "inetstreamsocket.h"

#include <QObject>

class QSslSocket;
class QTcpSocket;

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
    // The socket of a new attempt; the one before is dropped.
    QTcpSocket *newSocket(bool tls);
    void dropSocket();
    void sslErrors(QSslSocket *ssl);

    QTcpSocket *mSocket = nullptr;  // null before the first attempt
    Events mEvents;
    bool mRefused = false;  // an error to report for an unusable address
};

} // namespace Quorvant::Network
