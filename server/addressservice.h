// The address service: answers an HTTP GET of "/AddressInfo.dat" with the
// server's address and port, the file the clients read to find the server.
#pragma once

#include <QObject>
#include <QString>

class QHostAddress;
class QTcpServer;
class QTcpSocket;

namespace Halvorn {

class AddressService : public QObject
{
    Q_OBJECT
public:
    AddressService(QString publicAddress, quint16 serverPort, QObject *parent = nullptr);

    [[nodiscard]] bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const;
    QString errorString() const;
    // "IP=<address>\r\nPORT=<port>\r\n"
    QByteArray addressFile() const;

private:
    void accept();
    void answer(QTcpSocket *socket);

    QString mPublicAddress;
    quint16 mServerPort;
    QTcpServer *mServer;
};

} // namespace Halvorn
