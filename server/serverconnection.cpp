#include "serverconnection.h"

#include "serverlimits.h"
#include "wireformat.h"

#include <QHostAddress>
#include <QTcpSocket>

#include <utility>

namespace Halvorn {

using namespace Quorvant::Network;

namespace {

// Replies up to this size still go out after a close; a client leaving more
// unread is cut off at once, so its memory is freed.
constexpr qint64 kLingerBytes = 64 * 1024;
constexpr int kLingerMs = 5000;

} // namespace

ServerConnection::ServerConnection(QTcpSocket *socket, const ServerLimits &limits, QObject *parent)
    : QObject(parent)
    , mLimits(limits)
    , mSocket(socket)
{
    mSocket->setParent(this);
    mPeerAddress = mSocket->peerAddress().toString();
    mPeer = mPeerAddress + QLatin1Char(':') + QString::number(mSocket->peerPort());
    mSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // What waits unread while a password is checked stays in the kernel.
    mSocket->setReadBufferSize(kReadChunk);
    connect(mSocket, &QTcpSocket::readyRead, this, &ServerConnection::readAvailable);
    connect(mSocket, &QTcpSocket::bytesWritten, this, [this](qint64 written) { changeQueued(-written); });
    connect(mSocket, &QTcpSocket::disconnected, this, [this] { close(QStringLiteral("closed by peer")); });
    connect(mSocket, &QTcpSocket::errorOccurred, this, [this] { close(mSocket->errorString()); });
    // Clients send a keep-alive every 30 s; silence for much longer is a dead peer.
    mIdle.setSingleShot(true);
    mIdle.setInterval(mLimits.idleTimeoutMs);
    connect(&mIdle, &QTimer::timeout, this, [this] { close(QStringLiteral("idle timeout")); });
    mSignInDeadline.setSingleShot(true);
    mSignInDeadline.setInterval(mLimits.signInTimeoutMs);
    connect(&mSignInDeadline, &QTimer::timeout, this, [this] {
        if (user.isEmpty())
            close(QStringLiteral("did not sign in within %1 ms").arg(mLimits.signInTimeoutMs));
    });
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

void ServerConnection::startDeadlines()
{
    mIdle.start();
    if (user.isEmpty())
        mSignInDeadline.start();
}

void ServerConnection::start()
{
    startDeadlines();
    write(QByteArrayLiteral("WELCOME TO HALVORN\r\n"));
    // Nothing else may share the greeting's read: requests sent early wait.
    mGreeting = true;
    QTimer::singleShot(mLimits.greetingPauseMs, this, [this] {
        mGreeting = false;
        if (mClosed)
            return;
        send("LOGI", ".");
        handleInbox();
        readAvailable();
    });
}

void ServerConnection::send(QByteArrayView word, QByteArrayView payload)
{
    sendPacket(EncodePacket(word, payload));
}

void ServerConnection::changeQueued(qint64 delta)
{
    mQueued += delta;
    if (onQueuedChanged)
        onQueuedChanged(delta);
}

void ServerConnection::sendPacket(const QByteArray &packet)
{
    if (mClosed)
        return;
    if (mQueued + packet.size() > mLimits.maxOutputPerConnection) {
        close(QStringLiteral("not reading (%1 bytes waiting)").arg(mQueued));
        return;
    }
    write(packet);
}

void ServerConnection::write(const QByteArray &bytes)
{
    const qint64 written = mSocket->write(bytes);
    if (written > 0)
        changeQueued(written);
}

void ServerConnection::hold()
{
    mHeld = true;
    mIdle.stop();
    mSignInDeadline.stop();
}

void ServerConnection::release()
{
    if (!mHeld || mClosed)
        return;
    mHeld = false;
    startDeadlines();
    // Later, not inside the caller, which may still use this session.
    QMetaObject::invokeMethod(this, [this] {
        handleInbox();
        readAvailable();
    }, Qt::QueuedConnection);
}

void ServerConnection::handleInbox()
{
    while (!mClosed && !mHeld && !mGreeting && !mInbox.isEmpty()) {
        const Packet packet = mInbox.takeFirst();
        // Only complete packets keep a session alive, never a trickle of bytes.
        mIdle.start();
        if (onPacket)
            onPacket(*this, packet.word, packet.payload);
    }
}

void ServerConnection::readAvailable()
{
    while (!mClosed && !mHeld && !mGreeting && mInbox.isEmpty() && mSocket->bytesAvailable() > 0) {
        const QByteArray chunk = mSocket->read(kReadChunk);
        const auto result = mReassembler.feed(chunk, [this](const QByteArray &word, const QByteArray &payload) {
            mInbox.append({word, payload});
            return true;
        });
        if (result == TPacketReassembler::Result::Broken) {
            close(QStringLiteral("broken packet stream (message size %1)").arg(mReassembler.brokenSize()));
            return;
        }
        if (user.isEmpty() && mReassembler.pendingBytes() > mLimits.maxUnsignedPacket) {
            close(QStringLiteral("unfinished packet over %1 bytes before signing in").arg(mLimits.maxUnsignedPacket));
            return;
        }
        handleInbox();
    }
}

void ServerConnection::close(const QString &why)
{
    if (mClosed)
        return;
    mClosed = true;
    mIdle.stop();
    mSignInDeadline.stop();
    mInbox.clear();
    mReassembler.reset();
    mSocket->disconnect(this);
    changeQueued(-mQueued);
    // The socket outlives this session just long enough for replies already
    // written to go out; a client that left much unread is cut off.
    QTcpSocket *socket = std::exchange(mSocket, nullptr);
    socket->setParent(nullptr);
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        socket->deleteLater();
    } else if (socket->bytesToWrite() > kLingerBytes) {
        socket->abort();
        socket->deleteLater();
    } else {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kLingerMs, socket, [socket] { socket->abort(); socket->deleteLater(); });
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
