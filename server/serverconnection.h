// One client connection of the server: its socket, the packets it sends and
// the session it has (user, project, rooms). Writes never block: a client
// that stops reading is dropped once too much waits for it. Before signing
// in a connection may hold only a small unfinished packet and must sign in
// in time; afterwards it must send a complete packet every idle period.
// On a port that offers TLS the connection first waits a moment for the
// client's first byte: a TLS handshake, or the plain protocol (where that is
// allowed); the deadlines run from the moment it connected either way.
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

class ServerTls;
struct ServerLimits;
struct ServerStats;

// What a port offers: TLS (when `tls` is set), the plain protocol, or both.
struct TransportRules
{
    const ServerTls *tls = nullptr;
    bool allowPlain = true;
};

class ServerConnection : public QObject
{
    Q_OBJECT
public:
    // Read at a time; also what the socket buffers while the session waits.
    static constexpr qint64 kReadChunk = 64 * 1024;

    ServerConnection(QTcpSocket *socket, const ServerLimits &limits, const TransportRules &transport, ServerStats &stats,
                     QObject *parent = nullptr);
    ~ServerConnection() override;

    // Greets (after the TLS handshake, where the client begins one), then
    // asks for credentials a moment later so the greeting travels in a read
    // of its own.
    void start();
    void send(QByteArrayView word, QByteArrayView payload);
    // A packet already encoded, for fan-out to many sessions.
    void sendPacket(const QByteArray &packet);
    void close(const QString &why);
    bool isClosed() const { return mClosed; }
    QString peer() const;
    QString peerAddress() const { return mPeerAddress; }
    bool isEncrypted() const { return mEncrypted; }
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
    qint64 session = 0;          // tells this server's sessions apart
    QString project;             // the project this session is in
    QSet<QString> rooms;         // upper-cased names of the rooms joined

private:
    struct Packet
    {
        QByteArray word;
        QByteArray payload;
    };

    enum class Phase {
        FirstByte,   // on a TLS port: waiting for the client's first byte
        Handshake,   // TLS handshake under way
        Greeting,    // until the sign-in request is out
        Open,
    };

    // TLS, plain or refused, by the first byte or its absence.
    void chooseTransport(bool waitedEnough);
    void greet();
    void readAvailable();
    void handleInbox();
    void startDeadlines();
    void write(const QByteArray &bytes);
    // Takes the output the socket still holds (encrypted or not) as queued.
    void updateQueued();
    void changeQueued(qint64 delta);

    const ServerLimits &mLimits;
    const TransportRules mTransport;
    ServerStats &mStats;
    QTcpSocket *mSocket;  // null once closed: the socket then lives on its own
    QString mPeer;
    QString mPeerAddress;
    Quorvant::Network::TPacketReassembler mReassembler;
    QList<Packet> mInbox;  // complete packets not handled yet (from one read)
    QTimer mIdle;
    QTimer mSignInDeadline;
    qint64 mQueued = 0;
    bool mHeld = false;
    Phase mPhase = Phase::Greeting;
    bool mEncrypted = false;
    bool mClosed = false;
};

} // namespace Halvorn
