#include "testcertificates.h"

#include <QFile>
#include <QProcess>

namespace {

// P-256 keys: quick to make and to use, as many handshakes are made.
const QStringList kNewKey = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes"};
const char kServerNames[] = "subjectAltName=IP:127.0.0.1,DNS:localhost";

bool openssl(const QStringList &arguments, QString *error)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(QStringLiteral("openssl"), arguments);
    if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        *error = QStringLiteral("openssl %1: %2").arg(arguments.join(' '), QString::fromLocal8Bit(tool.readAll()) + tool.errorString());
        return false;
    }
    return true;
}

} // namespace

bool TestCertificates::make(const QString &dir, QString *error)
{
    authorityCert = dir + "/ca.pem";
    serverCert = dir + "/server.pem";
    serverKey = dir + "/server.key";
    selfSignedCert = dir + "/selfsigned.pem";
    selfSignedKey = dir + "/selfsigned.key";
    wrongKey = dir + "/wrong.key";
    const QString authorityKey = dir + "/ca.key";
    const QString request = dir + "/server.csr";
    const QString extensions = dir + "/server.ext";
    QFile ext(extensions);
    if (!ext.open(QIODevice::WriteOnly))
        return false;
    ext.write(QByteArray(kServerNames) + "\nextendedKeyUsage=serverAuth\nbasicConstraints=CA:FALSE\n");
    ext.close();
    return openssl(QStringList{"req", "-x509"} + kNewKey
                       + QStringList{"-keyout", authorityKey, "-out", authorityCert, "-days", "2", "-subj", "/CN=Halvorn Test CA",
                                     "-addext", "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign"},
                   error)
           && openssl(QStringList{"req"} + kNewKey + QStringList{"-keyout", serverKey, "-out", request, "-subj", "/CN=localhost"}, error)
           && openssl({"x509", "-req", "-in", request, "-CA", authorityCert, "-CAkey", authorityKey, "-CAcreateserial", "-out",
                       serverCert, "-days", "2", "-extfile", extensions},
                      error)
           && openssl(QStringList{"req", "-x509"} + kNewKey
                          + QStringList{"-keyout", selfSignedKey, "-out", selfSignedCert, "-days", "2", "-subj", "/CN=localhost",
                                        "-addext", kServerNames},
                      error)
           && openssl({"genpkey", "-algorithm", "EC", "-pkeyopt", "ec_paramgen_curve:P-256", "-out", wrongKey}, error);
}

QList<QSslCertificate> TestCertificates::authority() const
{
    return QSslCertificate::fromPath(authorityCert);
}

QList<QSslCertificate> TestCertificates::selfSigned() const
{
    return QSslCertificate::fromPath(selfSignedCert);
}
