#include "browserengineloader.h"

#include "browserengine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QOpenGLContext>
#include <QPluginLoader>

// Exported by Qt GUI: the context every other one shares with. The engine
// needs it, and normally gets it by being linked into the program, which
// would load the engine at every start.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);

namespace Quorvant {

namespace {

struct Outcome
{
    IBrowserEngine *engine = nullptr;
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

QStringList TBrowserEngineLoader::candidates()
{
    const QString chosen = qEnvironmentVariable("QUORVANT_BROWSER_MODULE");
    if (!chosen.isEmpty())
        return {chosen};
    const QString name = QStringLiteral(QUORVANT_BROWSER_MODULE_NAME);
    return {
        QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../") + QStringLiteral(QUORVANT_BROWSER_MODULE_LIBDIR) + u'/' + name),
        QStringLiteral(QUORVANT_BROWSER_MODULE_INSTALLED),
        QStringLiteral(QUORVANT_BROWSER_MODULE_BUILT),
    };
}

bool TBrowserEngineLoader::loaded()
{
    return anyLoaded();
}

void TBrowserEngineLoader::prepareSharedContexts()
{
    // What the engine does for itself when it is linked in and Qt starts
    // after it: one context shared by all, made before the first view.
    if (QOpenGLContext::globalShareContext() || !qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return;
    auto *context = new QOpenGLContext(qApp);
    context->create();
    qt_gl_set_global_share_context(context);
}

IBrowserEngine *TBrowserEngineLoader::engine(QString *error)
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
            prepareSharedContexts();
            QPluginLoader loader(path);
            QObject *instance = loader.instance();
            auto *engine = qobject_cast<IBrowserEngine *>(instance);
            if (engine) {
                outcome.engine = engine;
                anyLoaded() = true;
                break;
            }
            problems.append(instance ? QStringLiteral("%1: not a browser engine").arg(path) : loader.errorString());
        }
        if (!outcome.engine)
            outcome.error = problems.join(QStringLiteral("; "));
        found = outcomes().insert(key, outcome);
    }
    if (error)
        *error = found->error;
    return found->engine;
}

QLabel *TBrowserEngineLoader::failureLabel(const QString &error, QWidget *parent)
{
    auto *label = new QLabel(QStringLiteral("The browser could not be started: %1").arg(error), parent);
    label->setWordWrap(true);
    return label;
}

} // namespace Quorvant
