#include "knownservers.h"

#include "serveraddress.h"

#include <QFile>
#include <QSaveFile>

namespace Quorvant::Network {

namespace {

constexpr qsizetype kFingerprintBytes = 32;

std::optional<QByteArray> parseFingerprint(QByteArrayView text)
{
    const QByteArray bytes = QByteArray::fromHex(text.toByteArray());
    // fromHex skips what is not hexadecimal: check the form exactly.
    if (bytes.size() != kFingerprintBytes || text.size() != kFingerprintBytes * 3 - 1)
        return std::nullopt;
    for (qsizetype i = 2; i < text.size(); i += 3)
        if (text[i] != ':')
            return std::nullopt;
    if (bytes.toHex(':').toUpper() != text.toByteArray().toUpper())
        return std::nullopt;
    return bytes;
}

bool sameHost(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A host name or address as it can stand in one field of a line.
bool usableHost(const QString &host)
{
    if (host.isEmpty() || host.size() > 255)
        return false;
    for (QChar c : host)
        if (c.isSpace() || !c.isPrint())
            return false;
    return true;
}

} // namespace

TKnownServers::TKnownServers(QString file)
    : mFile(std::move(file))
{
}

QString TKnownServers::fingerprintText(const QByteArray &sha256)
{
    return QString::fromLatin1(sha256.toHex(':').toUpper());
}

QString TKnownServers::serverText(const QString &host, quint16 port)
{
    return ServerAddress{host, port}.text();
}

QList<TKnownServers::Entry> TKnownServers::read() const
{
    QList<Entry> entries;
    QFile file(mFile);
    if (mFile.isEmpty() || !file.open(QIODevice::ReadOnly))
        return entries;
    const QByteArray data = file.read(kMaxFileSize);
    for (QByteArray line : data.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() != 3)
            continue;
        bool portOk = false;
        const uint port = fields[1].toUInt(&portOk);
        const auto sha256 = parseFingerprint(fields[2]);
        const QString host = QString::fromUtf8(fields[0]);
        if (!portOk || port < 1 || port > 65535 || !sha256 || !usableHost(host))
            continue;
        entries.append({host, quint16(port), *sha256});
    }
    return entries;
}

std::optional<QByteArray> TKnownServers::fingerprint(const QString &host, quint16 port) const
{
    // The first line for a server counts, as the check shows it.
    for (const Entry &e : read())
        if (e.port == port && sameHost(e.host, host))
            return e.sha256;
    return std::nullopt;
}

bool TKnownServers::remember(const QString &host, quint16 port, const QByteArray &sha256) const
{
    if (mFile.isEmpty() || !usableHost(host) || port == 0 || sha256.size() != kFingerprintBytes)
        return false;
    // The user's own lines (comments too) are kept as they are; only the
    // server's old line goes.
    QByteArray out;
    QFile old(mFile);
    if (old.open(QIODevice::ReadOnly)) {
        if (old.size() > kMaxFileSize)
            return false;
        for (const QByteArray &raw : old.readAll().split('\n')) {
            QByteArray line = raw;
            if (line.endsWith('\r'))
                line.chop(1);
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() == 3 && fields[1].toUInt() == port && sameHost(QString::fromUtf8(fields[0]), host))
                continue;
            if (!line.trimmed().isEmpty())
                out += line + "\r\n";
        }
    } else {
        out += "# Server certificates confirmed by their SHA-256 fingerprint: host port fingerprint.\r\n"
               "# Remove a server's line to forget its certificate.\r\n";
    }
    out += host.toUtf8() + ' ' + QByteArray::number(port) + ' ' + fingerprintText(sha256).toLatin1() + "\r\n";
    QSaveFile file(mFile);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size() && file.commit();
}

CertificateCheck TKnownServers::check(const QString &host, quint16 port, const CertificateProblem &problem) const
{
    CertificateCheck check;
    check.host = host;
    check.port = port;
    check.presented = problem.sha256;
    check.errors = problem.errors;
    if (problem.sha256.size() != kFingerprintBytes || !problem.untrustedIssuerOnly)
        return check;  // Refused
    const QList<Entry> entries = read();
    for (const Entry &e : entries) {
        if (e.port != port || !sameHost(e.host, host))
            continue;
        check.trusted = e.sha256;
        check.verdict = e.sha256 == problem.sha256 ? CertificateCheck::Verdict::Trusted
                                                   : CertificateCheck::Verdict::Changed;
        return check;
    }
    for (const Entry &e : entries) {
        if (sameHost(e.host, host) && e.sha256 == problem.sha256) {
            check.verdict = CertificateCheck::Verdict::Trusted;
            // Unrecorded, it is still trusted through the other port.
            (void)remember(host, port, problem.sha256);
            return check;
        }
    }
    check.verdict = CertificateCheck::Verdict::Unknown;
    return check;
}

QString TKnownServers::questionText(const CertificateCheck &check) const
{
    return QStringLiteral("The server %1 sent a certificate that no authority trusted on this computer vouches for "
                          "(it may be self-signed).\n\nSHA-256 fingerprint:\n%2\n\n"
                          "Trust it only if this is the fingerprint your server's administrator gave you. "
                          "Trust this certificate for %1 and connect?")
        .arg(serverText(check.host, check.port), fingerprintText(check.presented));
}

QString TKnownServers::changedText(const CertificateCheck &check) const
{
    return QStringLiteral("The certificate of the server %1 has changed, so the connection was refused. Someone may "
                          "be posing as the server.\n\nConfirmed fingerprint (SHA-256):\n%2\n\n"
                          "Fingerprint sent now:\n%3\n\n"
                          "If your server's administrator tells you the certificate was replaced, remove the line "
                          "\"%4 ...\" from \"%5\" and connect again.")
        .arg(serverText(check.host, check.port), fingerprintText(check.trusted), fingerprintText(check.presented),
             check.host + QLatin1Char(' ') + QString::number(check.port), mFile);
}

QString TKnownServers::refusedText(const CertificateCheck &check)
{
    return QStringLiteral("The certificate of the server %1 could not be verified, so the connection was "
                          "refused:\n%2")
        .arg(serverText(check.host, check.port), check.errors.join(QLatin1Char('\n')));
}

} // namespace Quorvant::Network
