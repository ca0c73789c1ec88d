// A server of the service as the address file ("AddressInfo.Dat") names it
// beyond the first: a line "SERVER=ADDRESS:PORT" (an IPv6 address in
// brackets, "SERVER=[2001:db8::2]:4500"), written by halvorn-server for each
// --other-instance and read by the program, which tries the servers in the
// file's order. Programs that know only the first two lines read on.
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace Quorvant::Network {

// The key of the further servers' lines (compared without regard to letter
// case when read).
inline constexpr char kAddressFileServerKey[] = "SERVER";
// The most servers one address file names, the first included; further
// entries are passed over.
inline constexpr int kMaxAddressFileServers = 16;

struct ServerAddress
{
    QString address;
    quint16 port = 0;

    // "ADDRESS:PORT" or "[IPv6]:PORT" with a decimal port 1..65535 and no
    // white space; the address is only split off here, not checked.
    static std::optional<ServerAddress> fromText(QStringView text);
    // As fromText reads it.
    QString text() const;
    bool operator==(const ServerAddress &) const = default;
};

} // namespace Quorvant::Network
