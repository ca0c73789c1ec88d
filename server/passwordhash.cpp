#include "passwordhash.h"

#include <QPasswordDigestor>
#include <QRandomGenerator>

namespace Halvorn {

QByteArray PasswordHash::newSalt()
{
    QByteArray salt(16, '\0');
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), salt.size() / 4);
    return salt;
}

QByteArray PasswordHash::derive(const QString &password, const QByteArray &salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt, iterations, 32);
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
