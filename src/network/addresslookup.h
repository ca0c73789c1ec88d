// Asks the address service where the servers are: an HTTP(S) GET of
// "<base>/AddressInfo.dat", the reply (at most 4 KB) written to the address
// file and read back (format in networkcommands.h). The addresses and ports
// are checked before anyone connects, since they decide where the password
// is sent.
#pragma once

#include "knownservers.h"
#include "serveraddress.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>
#include <optional>

namespace Quorvant::Network {

class INetHttpGet;

// One server the address file names, and how it is reached.
struct TServerRoute
{
    ServerAddress server;
    // The name its certificate is verified for over TLS (see
    // TAddressLookup::tlsPeerName); empty: reached in clear.
    QString tlsPeerName;
    // The host under which a certificate the user confirmed for it is kept
    // (KnownServers.dat, with the server's port): the first server's under
    // the TLS name, as it always was; each further server's under its own
    // address, so that every server's certificate is confirmed for the
    // server actually reached.
    QString knownAs;
};

class TAddressLookup : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 kMaxReply = 4096;

    explicit TAddressLookup(QObject *parent = nullptr);
    ~TAddressLookup() override;

    // The service's URL for a base address ("host:port" gets "http://");
    // invalid when the base is empty or not http/https.
    static QUrl serviceUrl(const QString &base);
    // A dotted IPv4/IPv6 address and a decimal port 1..65535.
    static bool validServerAddress(const QString &ip, const QString &port);

    // Starts the request; `finished` follows exactly once. A running request
    // is abandoned.
    void fetch(const QString &base, const QString &addressFile);
    void abort();
    bool isRunning() const;

    // The servers the user confirmed: an https service whose certificate
    // does not verify is reached only when it is one of them. Without a
    // file, every certificate must verify.
    void setKnownServers(const TKnownServers &known) { mKnown = known; }
    // After a failed fetch: the certificate that was not accepted, if that
    // is why.
    std::optional<CertificateCheck> refusedCertificate() const { return mRefused; }
    // After a successful fetch: the name the server's certificate is checked
    // for when the server is reached over TLS (an https service or "TLS=1"
    // in the address file): the service's host name, the name the user gave.
    // Empty when the server is reached in clear.
    QString tlsPeerName() const { return mTlsPeerName; }
    // After a successful fetch: the servers in the order they are tried,
    // the first the one in gHalvornIPAddress and gHalvornPort.
    const QList<TServerRoute> &servers() const { return mServers; }
    // Why entries for further servers were passed over, a line each.
    const QStringList &skippedServers() const { return mSkipped; }

signals:
    void connectedToService();
    void progress(qint64 received, qint64 total);
    // ok: the file was written, read and holds a valid address and port
    // (gHalvornIPAddress, gHalvornPort, and tlsPeerName()). httpFailed: the
    // service could not be reached at all (also when its certificate was
    // refused).
    void finished(bool ok, bool httpFailed);

private:
    void done(bool ok, bool httpFailed);
    void received();
    // Reported after returning, like any other failure.
    void failLater();

    // Made on the first fetch, so that nothing of the network is loaded
    // before; null while the network module cannot be loaded.
    std::unique_ptr<INetHttpGet> mGet;
    QString mFile;
    QUrl mUrl;
    TKnownServers mKnown;
    std::optional<CertificateCheck> mRefused;
    QString mTlsPeerName;
    QList<TServerRoute> mServers;
    QStringList mSkipped;
};

} // namespace Quorvant::Network
