// The account password in the desktop's secret store, as the program sees
// it. The store module (QtKeychain behind ISecretStore) is loaded on the
// first call, never at start; every answer is awaited at most
// kAnswerTimeoutMs, after which the call fails with a note saying so.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace Quorvant {

class TSecretStore
{
public:
    // How long one answer of the store is awaited (a locked or hung store
    // must not hold up a sign-in for ever).
    static constexpr int kAnswerTimeoutMs = 10000;

    struct Outcome
    {
        bool ok = false;
        QString password;  // reads: empty when none is stored
        QString problem;   // when not ok: why, for the network log
    };
    using Done = std::function<void(const Outcome &)>;

    // The entry's service name; its key is the account's user name.
    static QString serviceName() { return QStringLiteral("Quorvant Halvorn Network"); }

    // The stored password of userName; ok with an empty password when the
    // store answers that it holds none. done is called once, later.
    static void readPassword(const QString &userName, Done done);
    // Writes the password, then reads it back: ok only when the store gives
    // back the same text. done is called once, later.
    static void writeConfirmed(const QString &userName, const QString &password, Done done);

    // Where the module is looked for, in order; QUORVANT_SECRET_STORE_MODULE
    // names another module file.
    static QStringList candidates();
    // True once the module is in the process.
    static bool loaded();
    // The wait for one answer; 0 restores kAnswerTimeoutMs (tests shorten it).
    static void setAnswerTimeout(int milliseconds);
};

} // namespace Quorvant
