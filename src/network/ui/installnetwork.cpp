#include "installnetwork.h"

#include "halvornnetwork.h"
#include "mainwindow.h"

#include <QAction>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>

namespace Quorvant {

Network::THalvornNetwork *installNetwork(TForm1 &form)
{
    auto *network = new Network::THalvornNetwork(form, &form);
    network->setObjectName(QStringLiteral("HalvornNetwork"));
    form.commands().add(QStringLiteral("OpenNetworkControls"), [&form] { form.tabholder()->setCurrentIndex(3); });
    // After the settings have loaded and the window shows; the lookup runs in
    // the background, so the window is usable at once.
    QTimer::singleShot(0, network, [network] { network->autoConnectAtStartup(); });
    return network;
}

} // namespace Quorvant
