// Reading the address file the address service sends: where the servers are.
#pragma once

#include "serveraddress.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Quorvant::Network {

// What an address file says. Its format (CR LF or LF):
//   line 1: "...=address" of the first server
//   line 2: "...=port" of the first server
//   further lines, in any order, each "KEY=value" (key without regard to
//   letter case; lines of other keys are passed over):
//     "TLS=1": every server is reached over TLS
//     "SERVER=ADDRESS:PORT": one more server of the service (see
//       serveraddress.h), tried after the first in the file's order
struct TAddressFile
{
    QString ip;    // line 1, the text after its first "=", up to a second "="
    QString port;  // line 2, likewise (both checked by whoever connects)
    bool tls = false;
    // The further servers whose entries name an address literal and a port,
    // in order, each once and none the first again; with the first at most
    // kMaxAddressFileServers.
    QList<ServerAddress> moreServers;
    // A line for the log for each server entry passed over, saying why.
    QStringList skipped;
};

class TNetworkCommands
{
public:
    // The most of the file that is read.
    static constexpr qint64 kMaxAddressFileSize = 64 * 1024;

    // Reads "AddressInfo.Dat". Nothing when the file is missing or empty,
    // has fewer than two lines, or either of the first two is empty.
    static std::optional<TAddressFile> ReadAddressFile(const QString &FileName);
    // ReadAddressFile, setting gHalvornIPAddress and gHalvornPort to the
    // first server; `tls`, when given, tells whether the file says "TLS=1".
    static bool GetIpAndPort(const QString &FileName, bool *tls = nullptr);
};

} // namespace Quorvant::Network
