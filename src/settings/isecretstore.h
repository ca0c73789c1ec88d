// What the secret store module gives: the desktop's secret store (Secret
// Service, KWallet) through QtKeychain, loaded only by what signs in or edits
// the account password, so that a start does not load it and the libraries it
// pulls in.
#pragma once

#include <QString>
#include <QtPlugin>

#include <functional>

namespace Quorvant {

struct SecretStoreReply
{
    enum class Status
    {
        Ok,
        NotFound,  // the store answered: no secret under that key
        Failed,    // no store answered, or it refused; error says why
    };
    Status status = Status::Failed;
    QString secret;  // read replies only
    QString error;
};

class ISecretStore
{
public:
    using Done = std::function<void(const SecretStoreReply &)>;
    virtual ~ISecretStore() = default;
    // Each returns at once and calls done once, later, on the calling thread.
    virtual void read(const QString &service, const QString &key, Done done) = 0;
    virtual void write(const QString &service, const QString &key, const QString &secret, Done done) = 0;
};

} // namespace Quorvant

#define QuorvantSecretStore_iid "org.quorvant.SecretStore/1"
Q_DECLARE_INTERFACE(Quorvant::ISecretStore, QuorvantSecretStore_iid)
