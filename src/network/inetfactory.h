// What the network module gives: the objects that talk to the network.
#pragma once

#include "inethttpget.h"
#include "inetstreamsocket.h"

#include <QtPlugin>

#include <memory>

namespace Quorvant::Network {

class INetFactory
{
public:
    virtual ~INetFactory() = default;
    virtual std::unique_ptr<INetStreamSocket> createStreamSocket() = 0;
    virtual std::unique_ptr<INetHttpGet> createHttpGet() = 0;
};

} // namespace Quorvant::Network

#define QuorvantNetFactory_iid "org.quorvant.NetFactory/2"
Q_DECLARE_INTERFACE(Quorvant::Network::INetFactory, QuorvantNetFactory_iid)
