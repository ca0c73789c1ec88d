// The protocol dispatcher: applies every packet the client receives to the
// session state, the user interface and the local bookings.
#pragma once

#include <QByteArray>
#include <QString>

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

    void ClientProcessPacket(const QByteArray &PacketData, const QByteArray &PacketID, TClient &hostTclient);
    void ClientDisconnect(const QString &error, TClient &hostTclient);
    void ClientDataIn(qsizetype PacketSize, qint32 TotalPacketSize, TClient &HostTclient);

    // A new client whose three procedures are this dispatcher's.
    TClient *createClient(TNetworkLog *log);

private:
    void message(const QString &text);
    void errorBox(const QString &text);
    void destroy(TClient &client);
    void enterProject();

    NetworkUi &mUi;
    NetworkBookings &mBookings;
    QString mDataFolder;
};

} // namespace Quorvant::Network
