// One client connection of the server: its socket, the packets it sends and
// the session it has (user, project, rooms). Writes never block: a client
// that stops reading is dropped once too much waits for it. Before signing
// in a connection may hold only a small unfinished packet and must sign in
// in time; afterwards it must send a complete packet every idle period.
#pragma once

#include "packetreassembler.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>

class QTcpSocket;

namespace Halvorn {

struct ServerLimits;

class ServerConnection : public QObject
{
    Q_OBJECT
public:
    // Read at a time; also what the socket buffers while the session waits.
    static constexpr qint64 kReadChunk = 64 * 1024;

    ServerConnection(QTcpSocket *socket, const ServerLimits &limits, QObject *parent = nullptr);
    ~ServerConnection() override;

    // Greets, then asks for credentials a moment later so the greeting
    // travels in a read of its own.
    void start();
    void send(QByteArrayView word, QByteArrayView payload);
    // A packet already encoded, for fan-out to many sessions.
    void sendPacket(const QByteArray &packet);
    void close(const QString &why);
    bool isClosed() const { return mClosed; }
    QString peer() const;
    QString peerAddress() const { return mPeerAddress; }
    // Bytes written to this client that it has not read yet.
    qint64 queuedOutput() const { return mQueued; }

    // While held (a password being checked), no further packet of this
    // client is handled and its deadlines wait; release() goes on in order.
    void hold();
    void release();
    bool isHeld() const { return mHeld; }

    std::function<void(ServerConnection &, const QByteArray &word, const QByteArray &payload)> onPacket;
    std::function<void(ServerConnection &, const QString &why)> onClosed;
    // The change of queuedOutput(), for the server's total.
    std::function<void(qint64 delta)> onQueuedChanged;

    // The session.
    QString user;                // empty until signed in
    QString project;             // the project this session is in
    QSet<QString> rooms;         // upper-cased names of the rooms joined

private:
    struct Packet
    {
        QByteArray word;
        QByteArray payload;
    };

    void readAvailable();
    void handleInbox();
    void startDeadlines();
    void write(const QByteArray &bytes);
    void changeQueued(qint64 delta);

    const ServerLimits &mLimits;
    QTcpSocket *mSocket;  // null once closed: the socket then lives on its own
    QString mPeer;
    QString mPeerAddress;
    Quorvant::Network::TPacketReassembler mReassembler;
    QList<Packet> mInbox;  // complete packets not handled yet (from one read)
    QTimer mIdle;
    QTimer mSignInDeadline;
    qint64 mQueued = 0;
    bool mHeld = false;
    bool mGreeting = false;  // until the sign-in request is out
    bool mClosed = false;
};

} // namespace Halvorn
