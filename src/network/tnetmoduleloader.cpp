#include "tnetmoduleloader.h"

#include "inetfactory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPluginLoader>

namespace Quorvant::Network {

namespace {

struct Outcome
{
    INetFactory *factory = nullptr;
    QString error;
};

QHash<QString, Outcome> &outcomes()
{
    static QHash<QString, Outcome> cache;
    return cache;
}

bool &anyLoaded()
{
    static bool loaded = false;
    return loaded;
}

} // namespace

QStringList TNetModuleLoader::candidates()
{
    const QString chosen = qEnvironmentVariable("QUORVANT_NET_MODULE");
    if (!chosen.isEmpty())
        return {chosen};
    const QString name = QStringLiteral(QUORVANT_NET_MODULE_NAME);
    QStringList paths;
    // Without an application object (a tool or a test) there is no program
    // folder to start from.
    if (QCoreApplication::instance())
        paths.append(QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../")
                                     + QStringLiteral(QUORVANT_NET_MODULE_LIBDIR) + u'/' + name));
    paths.append(QStringLiteral(QUORVANT_NET_MODULE_INSTALLED));
    paths.append(QStringLiteral(QUORVANT_NET_MODULE_BUILT));
    return paths;
}

bool TNetModuleLoader::loaded()
{
    return anyLoaded();
}

INetFactory *TNetModuleLoader::factory(QString *error)
{
    const QStringList paths = candidates();
    const QString key = paths.join(u'\n');
    auto found = outcomes().constFind(key);
    if (found == outcomes().constEnd()) {
        Outcome outcome;
        QStringList problems;
        for (const QString &path : paths) {
            if (!QFileInfo(path).isFile()) {
                problems.append(QStringLiteral("%1: no such file").arg(path));
                continue;
            }
            QPluginLoader loader(path);
            QObject *instance = loader.instance();
            if (auto *factory = qobject_cast<INetFactory *>(instance)) {
                outcome.factory = factory;
                anyLoaded() = true;
                break;
            }
            problems.append(instance ? QStringLiteral("%1: not the network module").arg(path) : loader.errorString());
        }
        if (!outcome.factory)
            outcome.error = problems.join(QStringLiteral("; "));
        found = outcomes().insert(key, outcome);
    }
    if (error)
        *error = found->error;
    return found->factory;
}

} // namespace Quorvant::Network
