// The connection to the Halvorn server: frames outgoing messages into
// packets, trickles them out in pieces of at most 2048 bytes in queue order,
// sends a keep-alive after 30 s without sending, and hands each complete
// incoming packet to the dispatcher. Event driven on the socket's own
// notifications; no thread.
#pragma once

#include "knownservers.h"
#include "packetreassembler.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

namespace Quorvant::Network {

class INetStreamSocket;
class TNetworkLog;

class TClient : public QObject
{
    Q_OBJECT
public:
    using ProcessPacket = std::function<void(const QByteArray &payload, const QByteArray &word, TClient &client)>;
    using Disconnect = std::function<void(const QString &reason, TClient &client)>;
    using DataIn = std::function<void(qsizetype received, qint32 total, TClient &client)>;
    // Judges a server certificate that did not verify; only Trusted goes on.
    using CheckCertificate = std::function<CertificateCheck(const CertificateProblem &problem)>;

    static constexpr int kPacketSplitSize = 2048;
    static constexpr int kKeepAliveMs = 30000;

    // ClientInit. `log` may be null: nothing is written then.
    TClient(TNetworkLog *log, DataIn dataIn, Disconnect disconnect, ProcessPacket processPacket,
            QObject *parent = nullptr);
    ~TClient() override;

    // True when the attempt has started; the outcome arrives later. With a
    // tlsPeerName the connection is made over TLS and the server's
    // certificate verified for that name (see CheckServerCertificate).
    bool ClientConnect(const QString &ip, int port, const QString &tlsPeerName = {});
    void ClientSendMessage(QByteArrayView UniqueID, QByteArrayView Data);
    void ClientSendToUserBuffer(const QByteArray &data);
    // Hands at most one piece to the socket.
    void ClientUpdateUserBuffer();
    void ClientAbort(bool ShowMessageAnyway);
    void DebugOut(const QString &output);

    // Ends the connection without calling the disconnect procedure and frees
    // the client once the current packet has been handled.
    void destroyLater();
    bool isDying() const { return mDying; }

    bool isConnected() const;
    // Connected over TLS.
    bool isEncrypted() const;
    // Set when the attempt ended because the server's certificate was not
    // accepted (the disconnect procedure follows).
    const std::optional<CertificateCheck> &refusedCertificate() const { return mRefusedCertificate; }
    // Packets not yet handed to the socket, the one being sent first.
    QList<QByteArray> queuedPackets() const;
    // For tests: a shorter keep-alive interval.
    void setKeepAliveInterval(int ms);

    // The files of this connection's requests whose replies do not name
    // them, oldest first: book-outs ("BFOU": the download follows its
    // "GOOD"), downloads of booked files ("GTFD") and book-in uploads
    // ("UPFL": the book-in follows its "GOOD"). The server answers in order,
    // so each reply takes the front entry; a new connection starts empty.
    struct AwaitedFiles
    {
        QStringList bookOuts;
        QStringList downloads;
        QStringList uploads;
    };
    AwaitedFiles &awaitedFiles() { return mAwaitedFiles; }

    ProcessPacket ClientProcessPack;
    Disconnect DisconnectCallback;
    DataIn ClientDataIn;
    // Without it, a certificate that does not verify ends the attempt.
    CheckCertificate CheckServerCertificate;

private:
    void ClientSocketDataAvailable();
    void ClientSocketDataSent();
    void ClientSocketSessionConnected();
    void ClientSocketSessionClosed();
    void keepAlive();
    // The socket, made on the first connection attempt: nothing of the
    // network is loaded before. Null when the network module is missing.
    INetStreamSocket *socket();

    std::unique_ptr<INetStreamSocket> gClientSocket;
    quint64 mAttempt = 0;  // tells a queued failure whether it is still current
    TNetworkLog *gDebugWindow = nullptr;
    QByteArray SendString;
    qsizetype mSendOffset = 0;  // bytes of SendString already sent
    QList<QByteArray> ClientSendBufferArray;
    TPacketReassembler mReassembler;
    QTimer mKeepAlive;
    bool mWasConnected = false;
    bool mEnded = false;
    bool mDying = false;
    AwaitedFiles mAwaitedFiles;
    std::optional<CertificateCheck> mRefusedCertificate;
};

} // namespace Quorvant::Network
