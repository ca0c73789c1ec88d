// What the server counts for its /metrics page: traffic of the protocol
// (packets and bytes as the protocol sees them, inside TLS where it is used)
// and the refusals by reason. Gauges such as the connections open now are
// read from the server when the page is asked for.
#pragma once

#include <QtGlobal>

#include <array>
#include <string_view>

namespace Halvorn {

enum class Refusal {
    SignIn,           // wrong password or unknown account
    NewAccount,       // name taken or not allowed, or too many from one address
    ProjectPassword,  // a wrong project password (join, remove)
    Request,          // a request a quota or a rule turned down
    MessageRate,      // chat over the sender's rate, dropped
    PlainConnection,  // not TLS where TLS is required
    TlsHandshake,     // a TLS handshake that failed
    SignInTimeout,    // connected, never signed in in time
    IdleTimeout,      // signed in, then silent too long
    NotReading,       // dropped with too much output waiting
    BrokenPacket,     // a packet stream that cannot be read
};
constexpr int kRefusalKinds = int(Refusal::BrokenPacket) + 1;

// The label of each kind on the metrics page.
constexpr std::array<std::string_view, kRefusalKinds> kRefusalLabels = {
    "sign_in", "new_account", "project_password", "request", "message_rate", "plain_connection",
    "tls_handshake", "sign_in_timeout", "idle_timeout", "not_reading", "broken_packet",
};

struct ServerStats
{
    qint64 connectionsAccepted = 0;
    qint64 tlsHandshakes = 0;  // completed
    qint64 packetsIn = 0;
    qint64 packetsOut = 0;
    qint64 bytesIn = 0;
    qint64 bytesOut = 0;
    std::array<qint64, kRefusalKinds> refusals{};

    void refuse(Refusal kind) { ++refusals[size_t(kind)]; }
    qint64 refused(Refusal kind) const { return refusals[size_t(kind)]; }
};

} // namespace Halvorn
