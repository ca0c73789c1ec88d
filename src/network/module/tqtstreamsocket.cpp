#include "tqtstreamsocket.h"

#include "callbacks.h"

#include <QHostAddress>
#include <QSignalBlocker>
#include <QTcpSocket>
#include <QTimer>

#include <utility>

namespace Quorvant::Network {

TQtStreamSocket::TQtStreamSocket()
    : mSocket(new QTcpSocket(this))
{
    connect(mSocket, &QTcpSocket::readyRead, this, [this] { callBack(mEvents.readyRead); });
    connect(mSocket, &QTcpSocket::bytesWritten, this, [this](qint64 n) { callBack(mEvents.bytesWritten, n); });
    connect(mSocket, &QTcpSocket::connected, this, [this] { callBack(mEvents.connected); });
    connect(mSocket, &QTcpSocket::disconnected, this, [this] { callBack(mEvents.disconnected); });
    connect(mSocket, &QTcpSocket::errorOccurred, this, [this] { callBack(mEvents.error, mSocket->errorString()); });
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

void TQtStreamSocket::connectToHost(const QString &host, quint16 port)
{
    QHostAddress address;
    if (!address.setAddress(host)) {
        // Reported like any failed attempt, from the event loop.
        mRefused = true;
        QTimer::singleShot(0, this, [this] {
            if (std::exchange(mRefused, false))
                callBack(mEvents.error, QStringLiteral("Invalid address"));
        });
        return;
    }
    mSocket->connectToHost(address, port);
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
    return mSocket->state() == QAbstractSocket::ConnectedState;
}

void TQtStreamSocket::abort()
{
    mRefused = false;
    const QSignalBlocker blocker(mSocket);
    mSocket->abort();
}

} // namespace Quorvant::Network
