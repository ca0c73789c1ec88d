// The Halvorn server: accepts client connections, signs users in and answers
// every request of the protocol: chat rooms with their notifications, shared
// projects with members, files, bookings and project chat.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

class QHostAddress;
class QTcpServer;

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

private:
    struct Room
    {
        QString name;
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
    // The stored name of a project `c`'s user is a member of, else empty.
    QString memberProject(ServerConnection &c, const QString &name);
    void fanOut(const QList<ServerConnection *> &to, QByteArrayView word, const QByteArray &payload,
                const ServerConnection *except = nullptr);

    ServerStore &mStore;
    ServerLog &mLog;
    QTcpServer *mServer;
    QSet<ServerConnection *> mConnections;
    QHash<QString, Room> mRooms;  // by upper-cased name
    int mIdleTimeoutMs = 120000;
};

} // namespace Halvorn
