// The browser engine module: Qt WebEngine behind the IBrowserEngine
// interface. Built as a plug-in of its own so that only a shown browser
// brings the engine's libraries into the process.
#pragma once

#include "browserengine.h"

#include <QObject>

namespace Quorvant {

class WebEngineBrowser : public QObject, public IBrowserEngine
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QuorvantBrowserEngine_iid)
    Q_INTERFACES(Quorvant::IBrowserEngine)
public:
    IBrowserView *createView(QWidget *parent, const QString &objectName, BrowserViewEvents events) override;
};

} // namespace Quorvant
