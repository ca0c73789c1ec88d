// Password hashes: the server's PBKDF2 gives the bytes stored hashes were
// made with, and a record verifies only its own password.
#include "passwordhash.h"

#include <QPasswordDigestor>

#include <gtest/gtest.h>

using Halvorn::PasswordHash;

TEST(PasswordHash, DerivesTheBytesQtsPbkdf2GaveSoStoredHashesStayValid)
{
    const struct { QString password; QByteArray salt; int iterations; } cases[] = {
        {QStringLiteral("secret"), QByteArray("0123456789abcdef"), 1},
        {QStringLiteral("secret"), QByteArray("0123456789abcdef"), 1000},
        {QString(), QByteArray("salt"), 7},
        {QStringLiteral("pässwörd ✓"), QByteArray::fromHex("00ff10203040"), 20},
        {QString(300, u'x'), QByteArray(), 3},  // longer than a SHA-256 block
    };
    for (const auto &c : cases) {
        const QByteArray expected =
            QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, c.password.toUtf8(), c.salt, c.iterations, 32);
        EXPECT_EQ(PasswordHash::derive(c.password, c.salt, c.iterations).toHex(), expected.toHex())
            << c.password.left(10).toStdString() << " " << c.iterations;
    }
    // RFC 7914's PBKDF2-HMAC-SHA256 vector, its first 32 bytes.
    EXPECT_EQ(PasswordHash::derive(QStringLiteral("passwd"), QByteArray("salt"), 1).toHex(),
              QByteArray("55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"));
    EXPECT_TRUE(PasswordHash::derive(QStringLiteral("x"), QByteArray("s"), 0).isEmpty());
}

TEST(PasswordHash, ARecordVerifiesItsOwnPasswordOnly)
{
    const auto record = PasswordHash::make(QStringLiteral("right"), 50);
    EXPECT_EQ(record.hash.size(), PasswordHash::kKeyBytes);
    EXPECT_TRUE(PasswordHash::verify(QStringLiteral("right"), record));
    EXPECT_FALSE(PasswordHash::verify(QStringLiteral("wrong"), record));
    EXPECT_FALSE(PasswordHash::verify(QStringLiteral("Right"), record));
    auto broken = record;
    broken.iterations = 0;
    EXPECT_FALSE(PasswordHash::verify(QStringLiteral("right"), broken));
    EXPECT_NE(PasswordHash::make(QStringLiteral("right"), 50).salt, record.salt);
}
