// Modules the program loads the first time they are needed (the browser
// engine, the network), so that a start that never needs them does not load
// their libraries: where such a module is looked for, and the load itself.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QObject;

namespace Quorvant {

class TModuleLoader
{
public:
    // The file the environment variable names, if it is set; else, in order,
    // the module beside the program (../libDir/name from its folder), the
    // installed one and the one in the build tree.
    static QStringList candidates(const char *environmentVariable, const QString &name, const QString &libDir,
                                  const QString &installed, const QString &built);
    // The instance of the first of paths that is a plug-in whose instance
    // accepts; nullptr, and why in error, when none is. wrongKind says what a
    // plug-in of another kind is ("not a browser engine"). beforeLoad runs
    // before each file is loaded. The outcome for a list of paths is kept:
    // a second call with the same list loads nothing.
    static QObject *load(const QStringList &paths, const std::function<bool(QObject *)> &accepts,
                         const QString &wrongKind, QString *error = nullptr,
                         const std::function<void()> &beforeLoad = {});
};

} // namespace Quorvant
