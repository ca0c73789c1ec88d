#include "tqtstreamsocket.h"

#include <QHostAddress>
#include <QSignalBlocker>
#include <QTcpSocket>
#include <QTimer>

#include <utility>

namespace Quorvant::Network {

namespace {

// A copy is called: the callback may replace the events or end the socket.
template<typename F, typename... Args>
void call(const F &f, Args &&...args)
{
    if (F copy = f)
        copy(std::forward<Args>(args)...);
}

} // namespace

TQtStreamSocket::TQtStreamSocket()
    : mSocket(new QTcpSocket(this))
{
    connect(mSocket, &QTcpSocket::readyRead, this, [this] { call(mEvents.readyRead); });
    connect(mSocket, &QTcpSocket::bytesWritten, this, [this](qint64 n) { call(mEvents.bytesWritten, n); });
    connect(mSocket, &QTcpSocket::connected, this, [this] { call(mEvents.connected); });
    connect(mSocket, &QTcpSocket::disconnected, this, [this] { call(mEvents.disconnected); });
    connect(mSocket, &QTcpSocket::errorOccurred, this, [this] { call(mEvents.error, mSocket->errorString()); });
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
                call(mEvents.error, QStringLiteral("Invalid address"));
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
