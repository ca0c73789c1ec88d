// Reading the address file the address service sends: where the server is.
#pragma once

#include <QString>

namespace Quorvant::Network {

class TNetworkCommands
{
public:
    // Reads "AddressInfo.Dat": line 1 "...=address", line 2 "...=port" (CR LF
    // or LF). False when the file is missing or empty, has fewer than two
    // lines, or either line is empty; otherwise sets gHalvornIPAddress and
    // gHalvornPort (the text after the first "=", up to a second "=").
    // `tls`, when given, tells whether a further line says "TLS=1" (key
    // without regard to letter case).
    static bool GetIpAndPort(const QString &FileName, bool *tls = nullptr);
};

} // namespace Quorvant::Network
