// The secret store module: ISecretStore on QtKeychain's jobs.
#pragma once

#include "isecretstore.h"

#include <QObject>

namespace Quorvant {

class TKeychainStore : public QObject, public ISecretStore
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QuorvantSecretStore_iid)
    Q_INTERFACES(Quorvant::ISecretStore)
public:
    void read(const QString &service, const QString &key, Done done) override;
    void write(const QString &service, const QString &key, const QString &secret, Done done) override;
};

} // namespace Quorvant
