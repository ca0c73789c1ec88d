// The network module: Qt Network behind INetFactory. Built as a plug-in of
// its own so that only the first use of the network brings Qt Network (and
// the proxy, Kerberos and TLS libraries it pulls in) into the process.
#pragma once

#include "inetfactory.h"

#include <QObject>

namespace Quorvant::Network {

class TQtNetFactory : public QObject, public INetFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QuorvantNetFactory_iid)
    Q_INTERFACES(Quorvant::Network::INetFactory)
public:
    std::unique_ptr<INetStreamSocket> createStreamSocket() override;
    std::unique_ptr<INetHttpGet> createHttpGet() override;
};

} // namespace Quorvant::Network
