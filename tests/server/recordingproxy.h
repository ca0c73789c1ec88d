// A TCP proxy on 127.0.0.1 in front of a server port that keeps every byte
// it passes on, both ways: what someone on the path would see.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

class RecordingProxy : public QObject
{
public:
    bool listen(quint16 target)
    {
        mTarget = target;
        connect(&mListener, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *client = mListener.nextPendingConnection()) {
                auto *server = new QTcpSocket(client);
                connect(client, &QTcpSocket::readyRead, server, [this, client, server] { pass(client, server, fromClient); });
                connect(server, &QTcpSocket::readyRead, client, [this, client, server] { pass(server, client, fromServer); });
                connect(server, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
                connect(client, &QTcpSocket::disconnected, server, &QTcpSocket::disconnectFromHost);
                // What the client sends before the server side is up waits in its buffer.
                connect(server, &QTcpSocket::connected, client, [this, client, server] { pass(client, server, fromClient); });
                server->connectToHost(QHostAddress::LocalHost, mTarget);
            }
        });
        return mListener.listen(QHostAddress::LocalHost);
    }
    quint16 port() const { return mListener.serverPort(); }

    QByteArray fromClient;
    QByteArray fromServer;

private:
    static void pass(QTcpSocket *from, QTcpSocket *to, QByteArray &record)
    {
        if (to->state() != QAbstractSocket::ConnectedState)
            return;
        const QByteArray bytes = from->readAll();
        record += bytes;
        to->write(bytes);
    }

    QTcpServer mListener;
    quint16 mTarget = 0;
};
