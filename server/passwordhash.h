// Salted PBKDF2-SHA256 password hashes for accounts and projects.
#pragma once

#include <QByteArray>
#include <QString>

namespace Halvorn {

class PasswordHash
{
public:
    static constexpr int kDefaultIterations = 20000;

    static QByteArray newSalt();
    static QByteArray derive(const QString &password, const QByteArray &salt, int iterations);
    // Compares in constant time.
    static bool verify(const QString &password, const QByteArray &salt, int iterations, const QByteArray &hash);
};

} // namespace Halvorn
