// The TLS settings of every client connection the module makes: TLS 1.2 or
// newer, the server verified against the system's trust store (and the
// authorities of QUORVANT_CA_FILE, a PEM file, when it is set).
#pragma once

#include "inettls.h"

#include <QList>
#include <QSslConfiguration>
#include <QSslError>

class QSslCertificate;

namespace Quorvant::Network {

QSslConfiguration clientTlsConfiguration();
// What the program is told about the errors of a handshake.
CertificateProblem certificateProblem(const QList<QSslError> &errors, const QSslCertificate &peer);

} // namespace Quorvant::Network
