// The protocol dispatcher: applies every packet the client receives to the
// session state, the user interface and the local bookings.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

class QObject;

namespace Quorvant::Network {

class NetworkBookings;
class NetworkUi;
class TClient;
class TNetworkLog;

class TClientBrain
{
public:
    // `dataFolder` holds the "Shared" folder of downloaded files.
    TClientBrain(NetworkUi &ui, NetworkBookings &bookings, QString dataFolder);
    ~TClientBrain();

    void ClientProcessPacket(const QByteArray &PacketData, const QByteArray &PacketID, TClient &hostTclient);
    void ClientDisconnect(const QString &error, TClient &hostTclient);
    void ClientDataIn(qsizetype PacketSize, qint32 TotalPacketSize, TClient &HostTclient);

    // A new client whose three procedures are this dispatcher's.
    TClient *createClient(TNetworkLog *log);

    // A server older than this program does not know the project owner's
    // requests and never answers them: after this long without a reply the
    // user is told so.
    static constexpr int kOwnerReplyTimeoutMs = 10000;
    static QString noAnswerText();
    // The owner's requests for gCurrentProjectName ("REMM", "CHPP"). Each
    // reply is reported, also one that comes after the user was told the
    // server did not answer.
    void RemoveMember(TClient &client, const QString &member);
    void ChangeProjectPassword(TClient &client, const QString &password);
    // For tests: a shorter wait.
    void setOwnerReplyTimeout(int ms) { mOwnerReplyTimeoutMs = ms; }

    // After a reconnection: joins the room again, whose window is open
    // already (the reply adds rejoinedRoomText() to it instead of opening
    // another window), creating it when it has gone meanwhile.
    void rejoinChatRoom(TClient &client, const QString &room);
    // After a reconnection: joins the project again, without a message box.
    void rejoinProject(TClient &client, const QString &project, const QString &password);
    static QString rejoinedRoomText();

private:
    // An owner's request waiting for its reply.
    struct AwaitedReply
    {
        quint64 id = 0;
        QByteArray word;
        QString project;
        QString member;  // "REMM" only
        bool reportedUnanswered = false;
    };
    void awaitReply(AwaitedReply request);
    // The oldest request of `word` still waiting, taken out.
    std::optional<AwaitedReply> takeAwaited(QByteArrayView word);
    void ownerReply(QByteArrayView word, bool good);

    void message(const QString &text);
    void errorBox(const QString &text);
    void destroy(TClient &client);
    void enterProject();
    // Whether the join reply for `room` answers a rejoin, which it ends.
    bool takeRejoin(const QString &room);

    NetworkUi &mUi;
    NetworkBookings &mBookings;
    QString mDataFolder;
    QList<AwaitedReply> mAwaited;
    QStringList mRejoins;      // rooms whose rejoin awaits its reply
    bool mRejoiningProject = false;
    quint64 mLastAwaitedId = 0;
    int mOwnerReplyTimeoutMs = kOwnerReplyTimeoutMs;
    // The context of the reply timers: none fires after the dispatcher is gone.
    std::unique_ptr<QObject> mTimers;
};

} // namespace Quorvant::Network
