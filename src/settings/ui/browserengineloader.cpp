#include "browserengineloader.h"

#include "browserengine.h"
#include "moduleloader.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QOpenGLContext>

// Exported by Qt GUI: the context every other one shares with. The engine
// needs it, and normally gets it by being linked into the program, which
// would load the engine at every start.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);

namespace Quorvant {

namespace {

bool &anyLoaded()
{
    static bool loaded = false;
    return loaded;
}

} // namespace

QStringList TBrowserEngineLoader::candidates()
{
    return TModuleLoader::candidates("QUORVANT_BROWSER_MODULE", QStringLiteral(QUORVANT_BROWSER_MODULE_NAME),
                                     QStringLiteral(QUORVANT_BROWSER_MODULE_LIBDIR),
                                     QStringLiteral(QUORVANT_BROWSER_MODULE_INSTALLED),
                                     QStringLiteral(QUORVANT_BROWSER_MODULE_BUILT));
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
    auto *engine = qobject_cast<IBrowserEngine *>(TModuleLoader::load(
        candidates(), [](QObject *o) { return qobject_cast<IBrowserEngine *>(o) != nullptr; },
        QStringLiteral("not a browser engine"), error, &TBrowserEngineLoader::prepareSharedContexts));
    if (engine)
        anyLoaded() = true;
    return engine;
}

QLabel *TBrowserEngineLoader::failureLabel(const QString &error, QWidget *parent)
{
    auto *label = new QLabel(QStringLiteral("The browser could not be started: %1").arg(error), parent);
    label->setWordWrap(true);
    return label;
}

} // namespace Quorvant
