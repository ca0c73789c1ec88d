// The server's HTTP port: answers a GET of "/AddressInfo.dat" with the
// server's address and port (the file the clients read to find the server),
// "/healthz" with whether the database answers, and "/metrics" with the
// server's figures in the Prometheus text format, to the addresses allowed
// to read them. Where TLS is configured it speaks HTTPS on the same port
// (told apart by the first byte), and plain HTTP only when plain clients are
// allowed.
#pragma once

#include "serveraddress.h"
#include "serverconnection.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <utility>

class QHostAddress;
class QTcpSocket;

namespace Halvorn {

class TlsReadyServer;

// An address and prefix length, as QHostAddress::parseSubnet gives it.
using Subnet = std::pair<QHostAddress, int>;

class AddressService : public QObject
{
    Q_OBJECT
public:
    // A request that has not arrived whole by then is dropped.
    static constexpr int kRequestTimeoutMs = 10000;

    AddressService(QString publicAddress, quint16 serverPort, QObject *parent = nullptr);

    // Before listen(). With TLS the address file says so in a third line.
    void setTransport(const TransportRules &transport);
    // The other instances of the service (servers on the same database),
    // named after this one in the address file for clients to fail over
    // to, in the order given.
    void setOtherInstances(QList<Quorvant::Network::ServerAddress> instances);
    void setHealthCheck(std::function<bool()> healthy);
    // Only peers in `readers` get the metrics; others get 403.
    void setMetrics(std::function<QByteArray()> metrics, QList<Subnet> readers);

    [[nodiscard]] bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const;
    QString errorString() const;
    // "IP=<address>\r\nPORT=<port>\r\n", "TLS=1\r\n" when the protocol
    // port speaks TLS, then "SERVER=<address>:<port>\r\n" for each other
    // instance (clients that know only the first two lines read on).
    QByteArray addressFile() const;

private:
    void accept();
    void readRequest(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const QByteArray &head);
    bool mayReadMetrics(const QTcpSocket *socket) const;

    QString mPublicAddress;
    quint16 mServerPort;
    TransportRules mTransport;
    QList<Quorvant::Network::ServerAddress> mOtherInstances;
    std::function<bool()> mHealthy;
    std::function<QByteArray()> mMetrics;
    QList<Subnet> mMetricsReaders;
    TlsReadyServer *mServer;
};

} // namespace Halvorn
