#include "subsystems.h"

#include "bookingstoreadapter.h"
#include "datafolder.h"
#include "halvornnetwork.h"
#include "installnetwork.h"
#include "installscripts.h"
#include "installstores.h"
#include "installtags.h"
#include "installtoolkit.h"
#include "installtools.h"
#include "installspelling.h"
#include "installhelp.h"
#include "installwizards.h"
#include "installdesktop.h"
#include "mainwindow.h"
#include "tbookingsystem.h"

#include <QObject>

#include <memory>

namespace Quorvant {

namespace {

// Files booked out over the network are recorded in "Network.Cfg", which the
// reminders and the next start read.
void connectBookingStore(TForm1 &form, Network::THalvornNetwork *network)
{
    if (!network)
        return;
    auto store = std::make_shared<TBookingStoreAdapter>(DataFolder::path(), form.debugTarget());
    network->setBookingStore(store.get(), [](const QString &project, const QString &file) {
        return TBookingSystem(DataFolder::path()).BookedOut(project, file);
    });
    // The store lives as long as the network windows that use it.
    QObject::connect(network, &QObject::destroyed, [store]() mutable { store.reset(); });
}

} // namespace

void installSubsystems(TForm1 &form)
{
    // The source commands come first: the tag menus and bars are added after them.
    installToolkit(form);
    installTags(form);
    installTools(form);
    installScripts(form);
    installStores(form);
    connectBookingStore(form, installNetwork(form));
    installSpelling(form);
    installHelp(form);
    installWizards(form);
    installDesktop(form);
}

} // namespace Quorvant
