// The Halvorn server: accepts client connections, signs users in and answers
// every request of the protocol: chat rooms with their notifications, shared
// projects with members, files, bookings and project chat.
#pragma once

#include "messageratelimiter.h"
#include "serverquotas.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

class QHostAddress;
class QTcpServer;

namespace Quorvant::Network {
struct TNetworkProject;
}

namespace Halvorn {

class ServerConnection;
class ServerLog;
class ServerStore;

class HalvornServer : public QObject
{
    Q_OBJECT
public:
    HalvornServer(ServerStore &store, ServerLog &log, QObject *parent = nullptr);
    ~HalvornServer() override;

    [[nodiscard]] bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const;
    QString errorString() const;
    void setIdleTimeout(int ms) { mIdleTimeoutMs = ms; }
    void setQuotas(const ServerQuotas &quotas);

private:
    struct Room
    {
        QString name;
        QString creator;
        QList<ServerConnection *> members;
    };

    void accept();
    void handle(ServerConnection &c, const QByteArray &word, const QByteArray &payload);
    void closed(ServerConnection &c, const QString &why);
    void signIn(ServerConnection &c, const QByteArray &payload);
    void createAccount(ServerConnection &c, const QByteArray &payload);
    void leaveAllRooms(ServerConnection &c);
    // The last one out closes the room; otherwise the others hear of it.
    void leaveRoom(ServerConnection &c, QHash<QString, Room>::iterator room);
    void handleChat(ServerConnection &c, const QByteArray &word, const QByteArray &payload);
    void handleProject(ServerConnection &c, const QByteArray &word, const QByteArray &payload);
    // RPRO, REMM and CHPP: the owner's requests, whether or not a member.
    void handleOwnerRequest(ServerConnection &c, const QByteArray &word, const QString &project,
                            const Quorvant::Network::TNetworkProject &record);
    void handleFileChange(ServerConnection &c, const QByteArray &word, const QString &project,
                          const Quorvant::Network::TNetworkProject &record, const QByteArray &payload);
    // The stored name of a project `c`'s user is a member of, else empty.
    QString memberProject(ServerConnection &c, const QString &name);
    // Why `user` may not create a project `name`, or an empty string.
    QString projectCreationRefusal(const QString &user, const QString &name);
    QList<ServerConnection *> sessionsIn(const QString &project) const;
    // Every session of `user` that is in `project` leaves it.
    void leaveProject(const QString &project, const QString &user);
    // False, after telling the sender once a second, when `c` sends more
    // chat than its quota.
    bool withinMessageRate(ServerConnection &c, QByteArrayView noticeWord, const QString &where);
    void refuse(ServerConnection &c, QByteArrayView word, const QString &why);
    // A list reply, or the failure reply when it would not fit in a packet.
    void sendList(ServerConnection &c, QByteArrayView word, const QStringList &items, bool failWhenEmpty = false);
    void fanOut(const QList<ServerConnection *> &to, QByteArrayView word, const QByteArray &payload,
                const ServerConnection *except = nullptr);

    ServerStore &mStore;
    ServerLog &mLog;
    QTcpServer *mServer;
    QSet<ServerConnection *> mConnections;
    QHash<QString, Room> mRooms;  // by upper-cased name
    int mIdleTimeoutMs = 120000;
    ServerQuotas mQuotas;
    MessageRateLimiter mMessageRate{mQuotas.messagesPerSecond};
    QElapsedTimer mClock;
};

} // namespace Halvorn
