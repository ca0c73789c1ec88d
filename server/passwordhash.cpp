#include "passwordhash.h"

#include <QRandomGenerator>

#include <openssl/evp.h>

namespace Halvorn {

QByteArray PasswordHash::newSalt()
{
    QByteArray salt(16, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), salt.size() / 4);
    return salt;
}

// PBKDF2-HMAC-SHA256 from libcrypto: the same bytes as Qt's
// QPasswordDigestor gives (stored hashes stay valid), ten times as fast, so
// the server can afford many iterations for many sign-ins.
QByteArray PasswordHash::derive(const QString &password, const QByteArray &salt, int iterations)
{
    const QByteArray secret = password.toUtf8();
    QByteArray key(kKeyBytes, '\0');
    if (iterations < 1
        || PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()), reinterpret_cast<const unsigned char *>(salt.constData()),
                             int(salt.size()), iterations, EVP_sha256(), int(key.size()),
                             reinterpret_cast<unsigned char *>(key.data()))
               != 1)
        return {};
    return key;
}

PasswordRecord PasswordHash::make(const QString &password, int iterations)
{
    PasswordRecord record{newSalt(), {}, iterations};
    record.hash = derive(password, record.salt, iterations);
    return record;
}

bool PasswordHash::verify(const QString &password, const PasswordRecord &record)
{
    const QByteArray computed = derive(password, record.salt, record.iterations);
    if (computed.size() != record.hash.size() || record.hash.isEmpty())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < record.hash.size(); ++i)
        diff |= uchar(computed[i] ^ record.hash[i]);
    return diff == 0;
}

} // namespace Halvorn
