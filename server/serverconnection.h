// One client connection of the server: its socket, the packets it sends and
// the session it has (user, project, rooms). Writes never block: a client
// that stops reading is dropped once too much waits for it.
#pragma once

#include "packetreassembler.h"

#include <QByteArray>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <functional>

class QTcpSocket;

namespace Halvorn {

class ServerConnection : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 kMaxPendingWrite = 64 * 1024 * 1024;

    ServerConnection(QTcpSocket *socket, int idleTimeoutMs, QObject *parent = nullptr);
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

    std::function<void(ServerConnection &, const QByteArray &word, const QByteArray &payload)> onPacket;
    std::function<void(ServerConnection &, const QString &why)> onClosed;

    // The session.
    QString user;                // empty until signed in
    QString project;             // the project this session is in
    QSet<QString> rooms;         // upper-cased names of the rooms joined

private:
    void readAvailable();

    QTcpSocket *mSocket;  // null once closed: the socket then lives on its own
    QString mPeer;
    Quorvant::Network::TPacketReassembler mReassembler;
    QTimer mIdle;
    bool mClosed = false;
};

} // namespace Halvorn
