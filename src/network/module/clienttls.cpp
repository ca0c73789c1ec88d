#include "clienttls.h"

#include <QCryptographicHash>
#include <QSslCertificate>

namespace Quorvant::Network {

namespace {

// The errors that say only that no trusted authority vouches for the
// certificate, which the user may settle by confirming its fingerprint.
bool untrustedIssuer(QSslError::SslError error)
{
    switch (error) {
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
    case QSslError::UnableToGetIssuerCertificate:
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::UnableToVerifyFirstCertificate:
    case QSslError::CertificateUntrusted:
        return true;
    default:
        return false;
    }
}

// A team's own authority (or a test's), trusted beside the system's without
// touching its trust store. Read for each connection: it is rarely set.
QList<QSslCertificate> extraAuthorities()
{
    const QString file = qEnvironmentVariable("QUORVANT_CA_FILE");
    return file.isEmpty() ? QList<QSslCertificate>() : QSslCertificate::fromPath(file, QSsl::Pem);
}

} // namespace

QSslConfiguration clientTlsConfiguration()
{
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setProtocol(QSsl::TlsV1_2OrLater);
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    // Adding authorities ends the loading of the system's on demand, so they
    // are listed whole.
    if (const QList<QSslCertificate> extra = extraAuthorities(); !extra.isEmpty())
        config.setCaCertificates(QSslConfiguration::systemCaCertificates() + extra);
    return config;
}

CertificateProblem certificateProblem(const QList<QSslError> &errors, const QSslCertificate &peer)
{
    CertificateProblem problem;
    if (!peer.isNull())
        problem.sha256 = QCryptographicHash::hash(peer.toDer(), QCryptographicHash::Sha256);
    problem.untrustedIssuerOnly = !errors.isEmpty() && !problem.sha256.isEmpty();
    for (const QSslError &error : errors) {
        problem.errors.append(error.errorString());
        if (!untrustedIssuer(error.error()))
            problem.untrustedIssuerOnly = false;
    }
    return problem;
}

} // namespace Quorvant::Network
