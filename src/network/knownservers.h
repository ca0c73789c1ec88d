// The servers whose certificates the user confirmed by fingerprint (trust
// on first use): "KnownServers.dat" in the data folder, one server a line,
//   host port SHA-256-fingerprint
// e.g. "halvorn.example.org 5000 AB:12:...:EF" (32 bytes in hexadecimal,
// pairs separated by ':'). Lines starting with '#' and lines that do not
// read are passed over. The file is read at every check, so removing a
// line forgets that server at once; it is rewritten whole (atomically)
// when a server is added.
#pragma once

#include "inettls.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace Quorvant::Network {

// What the program makes of a server certificate that did not verify.
struct CertificateCheck
{
    enum class Verdict {
        Trusted,  // the user confirmed this certificate for the server
        Unknown,  // only its issuer is not trusted: ask the user
        Changed,  // the server's certificate is not the one confirmed
        Refused,  // wrong name, expired, broken: never accepted
    };
    Verdict verdict = Verdict::Refused;
    QString host;
    quint16 port = 0;
    QByteArray presented;  // SHA-256 of the certificate sent
    QByteArray trusted;    // SHA-256 confirmed before (Changed)
    QStringList errors;    // the TLS library's texts
};

class TKnownServers
{
public:
    static constexpr qint64 kMaxFileSize = 256 * 1024;  // a larger file is read no further
    static QString defaultFileName() { return QStringLiteral("KnownServers.dat"); }

    explicit TKnownServers(QString file = {});
    QString file() const { return mFile; }

    // The fingerprint confirmed for host and port (host without regard to
    // letter case).
    std::optional<QByteArray> fingerprint(const QString &host, quint16 port) const;
    // Adds or replaces the server's line; false when the file cannot be
    // written (nothing is changed then).
    [[nodiscard]] bool remember(const QString &host, quint16 port, const QByteArray &sha256) const;

    // A certificate confirmed for the host on another port (the address
    // service and the protocol share one) is trusted on this port too and
    // recorded for it.
    CertificateCheck check(const QString &host, quint16 port, const CertificateProblem &problem) const;

    // "AB:12:...", as shown to the user and stored.
    static QString fingerprintText(const QByteArray &sha256);
    // "host:port", an IPv6 address in brackets.
    static QString serverText(const QString &host, quint16 port);

    // The message box texts for a check that was not Trusted.
    QString questionText(const CertificateCheck &check) const;
    QString changedText(const CertificateCheck &check) const;
    static QString refusedText(const CertificateCheck &check);

private:
    struct Entry
    {
        QString host;
        quint16 port = 0;
        QByteArray sha256;
    };
    QList<Entry> read() const;

    QString mFile;
};

} // namespace Quorvant::Network
