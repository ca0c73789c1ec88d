// Finds and loads the browser engine module on first use.
#pragma once

#include <QString>
#include <QStringList>

class QLabel;
class QWidget;

namespace Quorvant {

class IBrowserEngine;

class TBrowserEngineLoader
{
public:
    // The engine, loaded on the first call; nullptr (and why in error) when
    // it cannot be loaded. QUORVANT_BROWSER_MODULE names another module file.
    static IBrowserEngine *engine(QString *error = nullptr);
    // Where the module is looked for, in order.
    static QStringList candidates();
    // True once the engine's libraries are in the process.
    static bool loaded();
    // What stands in place of a browser the engine could not give, and why.
    static QLabel *failureLabel(const QString &error, QWidget *parent);

private:
    static void prepareSharedContexts();
};

} // namespace Quorvant
