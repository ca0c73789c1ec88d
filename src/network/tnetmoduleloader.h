// Finds and loads the network module (Qt Network behind INetFactory) the
// first time something talks to the network, so that a start that never
// does so does not load Qt Network and the libraries it pulls in.
#pragma once

#include <QString>
#include <QStringList>

namespace Quorvant::Network {

class INetFactory;

class TNetModuleLoader
{
public:
    // The factory, loaded on the first call; nullptr (and why in error) when
    // the module cannot be loaded. QUORVANT_NET_MODULE names another module
    // file. The outcome for a list of candidates is kept.
    static INetFactory *factory(QString *error = nullptr);
    // Where the module is looked for, in order.
    static QStringList candidates();
    // True once the module is in the process.
    static bool loaded();
};

} // namespace Quorvant::Network
