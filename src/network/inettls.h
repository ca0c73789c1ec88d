// What the network module tells about a server certificate that did not
// verify, so that the program can decide whether to go on with it. Compiled
// into both the program and the module.
#pragma once

#include <QByteArray>
#include <QStringList>

namespace Quorvant::Network {

struct CertificateProblem
{
    // SHA-256 of the certificate the server sent (DER), 32 bytes; empty when
    // it sent none.
    QByteArray sha256;
    // Every error says only that no authority this computer trusts vouches
    // for the certificate (self-signed, unknown issuer). A wrong name, an
    // expired or otherwise broken certificate is not such a problem.
    bool untrustedIssuerOnly = false;
    // The TLS library's texts, one per error.
    QStringList errors;
};

} // namespace Quorvant::Network
