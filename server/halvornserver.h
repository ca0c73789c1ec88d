// The Halvorn server: accepts client connections, signs users in and answers
// every request of the protocol: chat rooms with their notifications, shared
// projects with members, files, bookings and project chat.
#pragma once

#include "attemptlimiter.h"
#include "messageratelimiter.h"
#include "serverlimits.h"
#include "serverconnection.h"
#include "serverquotas.h"
#include "serverstats.h"
#include "windowquota.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

class QHostAddress;

namespace Quorvant::Network {
struct TNetworkProject;
}

namespace Halvorn {

class PasswordWorker;
class ServerLog;
class ServerStore;
class TlsReadyServer;

class HalvornServer : public QObject
{
    Q_OBJECT
public:
    HalvornServer(ServerStore &store, ServerLog &log, const ServerLimits &limits, QObject *parent = nullptr);
    ~HalvornServer() override;

    // Before listen(): TLS, plain or both (plain only by default).
    void setTransport(const TransportRules &transport);
    // Port 0 picks a free port no higher than kHighestClientPort.
    [[nodiscard]] bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const;
    QString errorString() const;
    void setQuotas(const ServerQuotas &quotas);

    // The metrics page in the Prometheus text format, and whether the
    // database answers.
    QByteArray metrics();
    bool healthy();
    const ServerStats &stats() const { return mStats; }

    // Servers on one PostgreSQL database share their chat rooms: each says
    // it is alive every kInstanceHeartbeatMs, and one silent for
    // kInstanceSilenceS (killed, cut off) is taken for dead: its members
    // leave their rooms, on every other server within kInstanceSilenceS plus
    // one heartbeat.
    static constexpr int kInstanceHeartbeatMs = 1000;
    static constexpr int kInstanceSilenceS = 5;
    // The PostgreSQL notification channel the servers tell each other of
    // chat on, and the most its payload may hold (PostgreSQL's limit is
    // 8000 bytes; the fixed-width chat records keep an event far below, and
    // one notification carries as many events as fit).
    static constexpr char kChatChannel[] = "halvorn_chat";
    static constexpr int kChatEventLimit = 7900;

private:
    enum class ChatEvent { Join, Leave, Message, ProjectMessage };
    struct Room
    {
        QString name;
        QString creator;
        QList<ServerConnection *> members;
    };

    void accept();
    // Below the connection limit and with descriptors to spare.
    bool roomForAnotherConnection() const;
    void pauseAccepting(const QString &why);
    void resumeAcceptingIfRoom();
    void addQueuedOutput(qint64 delta);
    // Returns freed memory to the system a moment after clients went.
    void trimMemorySoon();
    void handle(ServerConnection &c, const QByteArray &word, const QByteArray &payload);
    void closed(ServerConnection &c, const QString &why);
    void signIn(ServerConnection &c, const QByteArray &payload);
    void finishSignIn(ServerConnection &c, const QString &name, bool ok);
    void createAccount(ServerConnection &c, const QByteArray &payload);
    // When the session's rows in a shared database go: at once, or with
    // those of the other sessions closed in this turn of the event loop.
    enum class RowsGo { Now, Later };
    void leaveAllRooms(ServerConnection &c, RowsGo rows = RowsGo::Now);
    // The last one out closes the room; otherwise the others hear of it.
    void leaveRoom(ServerConnection &c, QHash<QString, Room>::iterator room, RowsGo rows = RowsGo::Now);
    void handleChat(ServerConnection &c, const QByteArray &word, const QByteArray &payload);
    void handleProject(ServerConnection &c, const QByteArray &word, const QByteArray &payload);
    // RPRO, REMM and CHPP: the owner's requests, whether or not a member.
    void handleOwnerRequest(ServerConnection &c, const QByteArray &word, const QString &project,
                            const Quorvant::Network::TNetworkProject &record);
    void handleFileChange(ServerConnection &c, const QByteArray &word, const QString &project,
                          const Quorvant::Network::TNetworkProject &record, const QByteArray &payload);
    // A password attempt on `target` (an account or project name): spaced
    // out by `limiter`, hashed off this thread while the session waits, then
    // `then` with the outcome if the session is still there. `stored` gives
    // the record to check; it is read again at the end, so a record changed
    // or removed meanwhile never lets the old password in.
    void checkPassword(ServerConnection &c, AttemptLimiter &limiter, const QString &target, const QString &password,
                       std::function<std::optional<PasswordRecord>()> stored,
                       std::function<void(ServerConnection &, bool ok)> then);
    // The stored name of a project `c`'s user is a member of, else empty.
    QString memberProject(ServerConnection &c, const QString &name);
    // Why `user` may not create a project `name`, or an empty string.
    QString projectCreationRefusal(const QString &user, const QString &name);
    QList<ServerConnection *> sessionsIn(const QString &project) const;
    // Every session of `user` that is in `project` leaves it.
    void leaveProject(const QString &project, const QString &user);
    // `c` is in `project` now (empty: in none), on servers sharing the
    // database kept there for the project's user list.
    void setProject(ServerConnection &c, const QString &project);
    // False, after telling the sender once a second, when `c` sends more
    // chat than its quota.
    bool withinMessageRate(ServerConnection &c, QByteArrayView noticeWord, const QString &where);
    void refuse(ServerConnection &c, QByteArrayView word, const QString &why, Refusal kind = Refusal::Request);
    // A list reply, or the failure reply when the database did not answer
    // (nullopt) or it would not fit in a packet.
    void sendList(ServerConnection &c, QByteArrayView word, const std::optional<QStringList> &items, bool failWhenEmpty = false);
    bool sharesRooms() const { return !mInstance.isEmpty(); }
    void startSharingRooms();
    // Keeps this instance alive in the database and clears out dead ones.
    void heartbeat();
    // Tells this server's sessions (but `except`) of a chat event in a room
    // or project (`where`), and the other servers on a shared database.
    void publish(ChatEvent event, const QString &where, const QString &text, const ServerConnection *except = nullptr);
    // A chat line of `c`'s user (Message or ProjectMessage), to everyone in
    // `where` on every server, when within the sender's message rate.
    void publishLine(ServerConnection &c, ChatEvent event, const QString &where, const QString &text);
    void deliver(ChatEvent event, const QString &where, const QString &text, const ServerConnection *except);
    // `sender`: the user whose line it is, counted towards their message
    // rate on the other servers. Gathered until the event loop turns (or
    // a notification is full), then sent by tellUntold(), which first
    // removes the rows of the sessions closed meanwhile.
    void tellOtherInstances(ChatEvent event, const QString &where, const QString &text, const QString &sender = {});
    void tellUntold();
    // A notification from the chat channel: another server's event.
    void heard(const QString &payload);
    void fanOut(const QList<ServerConnection *> &to, QByteArrayView word, const QByteArray &payload,
                const ServerConnection *except = nullptr);

    ServerStore &mStore;
    ServerLog &mLog;
    TlsReadyServer *mServer;
    const ServerLimits mLimits;
    TransportRules mTransport;
    ServerStats mStats;
    PasswordWorker *mPasswords;
    AttemptLimiter mSignInLimiter;
    AttemptLimiter mProjectLimiter;
    WindowQuota mAccountsPerAddress;
    QSet<ServerConnection *> mConnections;
    QHash<QString, Room> mRooms;  // by upper-cased name
    ServerQuotas mQuotas;
    MessageRateLimiter mMessageRate{mQuotas.messagesPerSecond};
    QElapsedTimer mClock;
    qint64 mQueuedOutput = 0;     // of all connections
    qint64 mDescriptorBaseline = 0;  // open when listening began
    qint64 mLiveSockets = 0;      // client sockets, closing ones too
    bool mAcceptPaused = false;
    bool mStopping = false;
    QTimer mAcceptRetry;
    QTimer mTrim;
    QString mInstance;  // empty unless rooms are shared
    qint64 mLastSession = 0;
    QTimer mHeartbeat;
    QByteArray mUntold;  // events for the other servers, comma-separated JSON objects
    QTimer mTellUntold;
    QList<qint64> mClosedSessions;  // whose rows tellUntold() removes
    bool mDatabaseLost = false;
    // Other instances are not taken for dead before this.
    QDeadlineTimer mJudgeOthersAfter{0};
};

} // namespace Halvorn
