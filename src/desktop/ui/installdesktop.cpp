#include "installdesktop.h"

#include "applicationshell.h"
#include "datafolder.h"
#include "diskchangemonitor.h"
#include "filedropfilter.h"
#include "livepreview.h"
#include "mainwindow.h"
#include "recoverykeeper.h"
#include "recoveryoffer.h"
#include "recoverystore.h"
#include "taskmanager.h"

namespace Quorvant {

void installDesktop(TForm1 &form)
{
    new TFileDropFilter(form);
    auto *monitor = new TDiskChangeMonitor(form);
    new TLivePreview(form);

    auto *keeper = new TRecoveryKeeper(form, DataFolder::path());
    if (!keeper->isActive())
        return;
    keeper->stampOf = [monitor](const TMemoSource *buffer) { return monitor->stampOf(buffer); };

    QStringList problems;
    const QList<TRecoveryEntry> orphans = keeper->store()->claimOrphans(&problems);
    if (DebugOut out = form.debugTarget()) {
        for (const QString &p : std::as_const(problems))
            out(QStringLiteral("Error: TRecoveryStore: a recovery file was unreadable and was removed: %1").arg(p));
    }
    if (orphans.isEmpty())
        return;
    auto *offer = new TRecoveryOffer(form, *keeper, monitor, orphans, &form);
    offer->hide();
    TApplicationShell *shell = TApplicationShell::instance();
    TTaskManager *manager = shell && shell->Form1() == &form ? shell->TaskManager() : nullptr;
    if (!manager)
        return;
    manager->addPanel(offer);
    offer->show();
    offer->finished = [manager](bool restoredAny) {
        if (restoredAny)
            manager->leaveForDocument();
    };
}

} // namespace Quorvant
