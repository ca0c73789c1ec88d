#include "serverconnection.h"

#include "serverlimits.h"
#include "serverstats.h"
#include "servertls.h"
#include "wireformat.h"

#include <QHostAddress>
#include <QSslSocket>
#include <QTcpSocket>

#include <utility>

namespace Halvorn {

using namespace Quorvant::Network;

namespace {

// Replies up to this size still go out after a close; a client leaving more
// unread is cut off at once, so its memory is freed.
constexpr qint64 kLingerBytes = 64 * 1024;
constexpr int kLingerMs = 5000;

// Output the socket holds: for TLS, both what waits to be encrypted and what
// is encrypted and waits for the network.
qint64 pendingOutput(QTcpSocket *socket)
{
    const auto *ssl = qobject_cast<QSslSocket *>(socket);
    return socket->bytesToWrite() + (ssl ? ssl->encryptedBytesToWrite() : 0);
}

// The socket outlives its session just long enough for replies already
// written to go out; a client that left much unread is cut off.
void endSocket(QTcpSocket *socket)
{
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        socket->deleteLater();
    } else if (pendingOutput(socket) > kLingerBytes) {
        socket->abort();
        socket->deleteLater();
    } else {
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(kLingerMs, socket, [socket] { socket->abort(); socket->deleteLater(); });
        socket->disconnectFromHost();
    }
}

} // namespace

ServerConnection::ServerConnection(QTcpSocket *socket, const ServerLimits &limits, const TransportRules &transport,
                                   ServerStats &stats, QObject *parent)
    : QObject(parent)
    , mLimits(limits)
    , mTransport(transport)
    , mStats(stats)
    , mSocket(socket)
{
    mSocket->setParent(this);
    mPeerAddress = mSocket->peerAddress().toString();
    mPeer = mPeerAddress + QLatin1Char(':') + QString::number(mSocket->peerPort());
    mSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // What waits unread while a password is checked stays in the kernel.
    mSocket->setReadBufferSize(kReadChunk);
    connect(mSocket, &QTcpSocket::readyRead, this, &ServerConnection::readAvailable);
    connect(mSocket, &QTcpSocket::bytesWritten, this, &ServerConnection::updateQueued);
    connect(mSocket, &QTcpSocket::disconnected, this, [this] { close(QStringLiteral("closed by peer")); });
    connect(mSocket, &QTcpSocket::errorOccurred, this, [this] {
        if (mPhase == Phase::Handshake)
            mStats.refuse(Refusal::TlsHandshake);
        close(mSocket->errorString());
    });
    if (auto *ssl = qobject_cast<QSslSocket *>(mSocket)) {
        connect(ssl, &QSslSocket::encryptedBytesWritten, this, &ServerConnection::updateQueued);
        connect(ssl, &QSslSocket::encrypted, this, [this] {
            mEncrypted = true;
            ++mStats.tlsHandshakes;
            greet();
        });
    }
    // Clients send a keep-alive every 30 s; silence for much longer is a dead peer.
    mIdle.setSingleShot(true);
    mIdle.setInterval(mLimits.idleTimeoutMs);
    connect(&mIdle, &QTimer::timeout, this, [this] {
        mStats.refuse(user.isEmpty() ? Refusal::SignInTimeout : Refusal::IdleTimeout);
        close(QStringLiteral("idle timeout"));
    });
    mSignInDeadline.setSingleShot(true);
    mSignInDeadline.setInterval(mLimits.signInTimeoutMs);
    connect(&mSignInDeadline, &QTimer::timeout, this, [this] {
        if (user.isEmpty()) {
            // Silent all along where only TLS is served: no TLS client.
            mStats.refuse(mPhase == Phase::FirstByte ? Refusal::PlainConnection : Refusal::SignInTimeout);
            close(QStringLiteral("did not sign in within %1 ms").arg(mLimits.signInTimeoutMs));
        }
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
    if (!mTransport.tls) {
        greet();
        return;
    }
    mPhase = Phase::FirstByte;
    if (mTransport.allowPlain)
        QTimer::singleShot(mLimits.tlsFirstByteWaitMs, this, [this] { chooseTransport(true); });
    chooseTransport(false);
}

void ServerConnection::chooseTransport(bool waitedEnough)
{
    if (mClosed || mPhase != Phase::FirstByte)
        return;
    switch (firstByteOf(mSocket)) {
    case FirstByte::Tls:
        mPhase = Phase::Handshake;
        mTransport.tls->startEncryption(mSocket);
        return;
    case FirstByte::Undecided:
        // Where only TLS is served a silent client may still be a slow TLS
        // client: it waits for its first byte until the sign-in deadline.
        if (!waitedEnough || !mTransport.allowPlain)
            return;
        [[fallthrough]];
    case FirstByte::Plain:
        if (mTransport.allowPlain) {
            greet();
        } else {
            mStats.refuse(Refusal::PlainConnection);
            close(QStringLiteral("not TLS, which this server requires"));
        }
        return;
    }
}

void ServerConnection::greet()
{
    write(QByteArrayLiteral("WELCOME TO HALVORN\r\n"));
    // Nothing else may share the greeting's read: requests sent early wait.
    mPhase = Phase::Greeting;
    QTimer::singleShot(mLimits.greetingPauseMs, this, [this] {
        if (mClosed)
            return;
        mPhase = Phase::Open;
        send("LOGI", ".");
        handleInbox();
        readAvailable();
    });
}

void ServerConnection::send(QByteArrayView word, QByteArrayView payload)
{
    sendPacket(EncodePacket(word, payload));
}

void ServerConnection::updateQueued()
{
    if (!mClosed)
        changeQueued(pendingOutput(mSocket) - mQueued);
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
        mStats.refuse(Refusal::NotReading);
        close(QStringLiteral("not reading (%1 bytes waiting)").arg(mQueued));
        return;
    }
    ++mStats.packetsOut;
    write(packet);
}

void ServerConnection::write(const QByteArray &bytes)
{
    if (mSocket->write(bytes) > 0) {
        mStats.bytesOut += bytes.size();
        updateQueued();
    }
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
    while (!mClosed && !mHeld && mPhase == Phase::Open && !mInbox.isEmpty()) {
        const Packet packet = mInbox.takeFirst();
        // Only complete packets keep a session alive, never a trickle of bytes.
        mIdle.start();
        if (onPacket)
            onPacket(*this, packet.word, packet.payload);
    }
}

void ServerConnection::readAvailable()
{
    if (mPhase == Phase::FirstByte) {
        chooseTransport(false);
        return;
    }
    while (!mClosed && !mHeld && mPhase == Phase::Open && mInbox.isEmpty() && mSocket->bytesAvailable() > 0) {
        const QByteArray chunk = mSocket->read(kReadChunk);
        mStats.bytesIn += chunk.size();
        const auto result = mReassembler.feed(chunk, [this](const QByteArray &word, const QByteArray &payload) {
            mInbox.append({word, payload});
            ++mStats.packetsIn;
            return true;
        });
        if (result == TPacketReassembler::Result::Broken) {
            mStats.refuse(Refusal::BrokenPacket);
            close(QStringLiteral("broken packet stream (message size %1)").arg(mReassembler.brokenSize()));
            return;
        }
        if (user.isEmpty() && mReassembler.pendingBytes() > mLimits.maxUnsignedPacket) {
            mStats.refuse(Refusal::BrokenPacket);
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
    QTcpSocket *socket = std::exchange(mSocket, nullptr);
    socket->setParent(nullptr);
    // The TLS backend may be in the middle of its own work on the socket
    // (this may run inside its readyRead or error signal), and ending the
    // socket there makes it use freed state: it is ended a moment later.
    if (qobject_cast<QSslSocket *>(socket))
        QMetaObject::invokeMethod(socket, [socket] { endSocket(socket); }, Qt::QueuedConnection);
    else
        endSocket(socket);
    // The server forgets the session later, never in the middle of handling
    // a request that may still be using it (a send can close it).
    QMetaObject::invokeMethod(this, [this, why] {
        if (onClosed)
            onClosed(*this, why);
    }, Qt::QueuedConnection);
}

} // namespace Halvorn
