// Salted PBKDF2-SHA256 password hashes for accounts and projects.
#pragma once

#include <QByteArray>
#include <QString>

namespace Halvorn {

// What is stored of a password: salt, hash and the iterations that made it.
struct PasswordRecord
{
    QByteArray salt;
    QByteArray hash;
    int iterations = 0;

    bool operator==(const PasswordRecord &) const = default;
};

class PasswordHash
{
public:
    static constexpr int kDefaultIterations = 20000;
    static constexpr int kKeyBytes = 32;

    static QByteArray newSalt();
    // Empty when `iterations` is below 1.
    static QByteArray derive(const QString &password, const QByteArray &salt, int iterations);
    // A new salt and the hash of `password` with it.
    static PasswordRecord make(const QString &password, int iterations);
    // Compares in constant time.
    static bool verify(const QString &password, const PasswordRecord &record);
};

} // namespace Halvorn
