#include "tnetmoduleloader.h"

#include "inetfactory.h"
#include "moduleloader.h"

namespace Quorvant::Network {

namespace {

bool &anyLoaded()
{
    static bool loaded = false;
    return loaded;
}

} // namespace

QStringList TNetModuleLoader::candidates()
{
    return TModuleLoader::candidates("QUORVANT_NET_MODULE", QStringLiteral(QUORVANT_NET_MODULE_NAME),
                                     QStringLiteral(QUORVANT_NET_MODULE_LIBDIR), QStringLiteral(QUORVANT_NET_MODULE_INSTALLED),
                                     QStringLiteral(QUORVANT_NET_MODULE_BUILT));
}

bool TNetModuleLoader::loaded()
{
    return anyLoaded();
}

INetFactory *TNetModuleLoader::factory(QString *error)
{
    auto *factory = qobject_cast<INetFactory *>(TModuleLoader::load(
        candidates(), [](QObject *o) { return qobject_cast<INetFactory *>(o) != nullptr; },
        QStringLiteral("not the network module"), error));
    if (factory)
        anyLoaded() = true;
    return factory;
}

} // namespace Quorvant::Network
