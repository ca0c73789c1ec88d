#include "serverconnection.h"

#include "wireformat.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <utility>

namespace Halvorn {

using namespace Quorvant::Network;

ServerConnection::ServerConnection(QTcpSocket *socket, int idleTimeoutMs, QObject *parent)
    : QObject(parent)
    , mSocket(socket)
{
    mSocket->setParent(this);
    mPeer = mSocket->peerAddress().toString() + QLatin1Char(':') + QString::number(mSocket->peerPort());
    mSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(mSocket, &QTcpSocket::readyRead, this, &ServerConnection::readAvailable);
    connect(mSocket, &QTcpSocket::disconnected, this, [this] { close(QStringLiteral("closed by peer")); });
    connect(mSocket, &QTcpSocket::errorOccurred, this, [this] { close(mSocket->errorString()); });
    // Clients send a keep-alive every 30 s; silence for much longer is a dead peer.
    mIdle.setSingleShot(true);
    mIdle.setInterval(idleTimeoutMs);
    connect(&mIdle, &QTimer::timeout, this, [this] { close(QStringLiteral("idle timeout")); });
}

ServerConnection::~ServerConnection()
{
    if (!mClosed)
        mSocket->abort();
}

QString ServerConnection::peer() const
{
    return mPeer;
}

void ServerConnection::start()
{
    mIdle.start();
    mSocket->write("WELCOME TO HALVORN\r\n");
    QTimer::singleShot(20, this, [this] {
        if (!mClosed)
            send("LOGI", ".");
    });
}

void ServerConnection::send(QByteArrayView word, QByteArrayView payload)
{
    sendPacket(EncodePacket(word, payload));
}

void ServerConnection::sendPacket(const QByteArray &packet)
{
    if (mClosed)
        return;
    if (mSocket->bytesToWrite() + packet.size() > kMaxPendingWrite) {
        close(QStringLiteral("not reading"));
        return;
    }
    mSocket->write(packet);
}

void ServerConnection::readAvailable()
{
    mIdle.start();
    while (!mClosed && mSocket->bytesAvailable() > 0) {
        const QByteArray chunk = mSocket->read(256 * 1024);
        const auto result = mReassembler.feed(chunk, [this](const QByteArray &word, const QByteArray &payload) {
            if (onPacket)
                onPacket(*this, word, payload);
            return !mClosed;
        });
        if (result == TPacketReassembler::Result::Broken) {
            close(QStringLiteral("broken packet stream (message size %1)").arg(mReassembler.brokenSize()));
            return;
        }
    }
}

void ServerConnection::close(const QString &why)
{
    if (mClosed)
        return;
    mClosed = true;
    mIdle.stop();
    mSocket->disconnect(this);
    // The socket outlives this session just long enough for replies already
    // written to go out.
    QTcpSocket *socket = std::exchange(mSocket, nullptr);
    socket->setParent(nullptr);
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        socket->deleteLater();
    } else {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(5000, socket, [socket] { socket->abort(); socket->deleteLater(); });
        socket->disconnectFromHost();
    }
    // The server forgets the session later, never in the middle of handling
    // a request that may still be using it (a send can close it).
    QMetaObject::invokeMethod(this, [this, why] {
        if (onClosed)
            onClosed(*this, why);
    }, Qt::QueuedConnection);
}

} // namespace Halvorn
