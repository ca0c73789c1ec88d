#include "moduleloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPluginLoader>

namespace Quorvant {

namespace {

struct Outcome
{
    QObject *instance = nullptr;
    QString error;
};

QHash<QString, Outcome> &outcomes()
{
    static QHash<QString, Outcome> cache;
    return cache;
}

} // namespace

QStringList TModuleLoader::candidates(const char *environmentVariable, const QString &name, const QString &libDir,
                                      const QString &installed, const QString &built)
{
    const QString chosen = qEnvironmentVariable(environmentVariable);
    if (!chosen.isEmpty())
        return {chosen};
    QStringList paths;
    // Without an application object (a tool or a test) there is no program
    // folder to start from.
    if (QCoreApplication::instance())
        paths.append(QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../") + libDir + u'/' + name));
    paths.append(installed);
    paths.append(built);
    return paths;
}

QObject *TModuleLoader::load(const QStringList &paths, const std::function<bool(QObject *)> &accepts,
                             const QString &wrongKind, QString *error, const std::function<void()> &beforeLoad)
{
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
            if (beforeLoad)
                beforeLoad();
            QPluginLoader loader(path);
            QObject *instance = loader.instance();
            if (instance && accepts(instance)) {
                outcome.instance = instance;
                break;
            }
            problems.append(instance ? QStringLiteral("%1: %2").arg(path, wrongKind) : loader.errorString());
        }
        if (!outcome.instance)
            outcome.error = problems.join(QStringLiteral("; "));
        found = outcomes().insert(key, outcome);
    }
    if (error)
        *error = found->error;
    return found->instance;
}

} // namespace Quorvant
