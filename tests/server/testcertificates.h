// Certificates made for a test with the openssl tool: a test authority, a
// server certificate it signed for 127.0.0.1 and localhost, a self-signed
// one for the same names, and a key that belongs to neither.
#pragma once

#include <QList>
#include <QSslCertificate>
#include <QString>

struct TestCertificates
{
    // Writes the files into `dir`; false with the tool's output in `error`.
    bool make(const QString &dir, QString *error);
    QList<QSslCertificate> authority() const;
    QList<QSslCertificate> selfSigned() const;

    QString authorityCert;
    QString serverCert;
    QString serverKey;
    QString selfSignedCert;
    QString selfSignedKey;
    QString wrongKey;
};
