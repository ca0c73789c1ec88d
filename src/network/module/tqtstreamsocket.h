// INetStreamSocket on a QTcpSocket.
#pragma once

#include "inetstreamsocket.h"

#include <QObject>

class QTcpSocket;

namespace Quorvant::Network {

class TQtStreamSocket : public QObject, public INetStreamSocket
{
public:
    TQtStreamSocket();
    ~TQtStreamSocket() override;

    void setEvents(Events events) override;
    void connectToHost(const QString &host, quint16 port) override;
    qint64 write(const char *data, qint64 size) override;
    qint64 bytesToWrite() const override;
    qint64 bytesAvailable() const override;
    QByteArray readAll() override;
    bool isConnected() const override;
    void abort() override;

private:
    QTcpSocket *mSocket;
    Events mEvents;
    bool mRefused = false;  // an error to report for an unusable address
};

} // namespace Quorvant::Network
