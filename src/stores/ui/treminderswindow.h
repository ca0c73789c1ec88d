// "Reminders!": the reminders of "Reminders.Dat", shown at start-up on top
// of the other windows without blocking them.
#pragma once

#include "debugout.h"

#include <QWidget>

class QStatusBar;
class QTreeWidget;

namespace Quorvant {

class TRemindersWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TRemindersWindow(const QStringList &reminders, QWidget *parent = nullptr);
    QTreeWidget *list() const { return m_list; }

private:
    QTreeWidget *m_list;
};

// Shows the window when the data folder holds "Reminders.Dat"; returns it,
// or nullptr when there is none. Lines that are no reminder are reported
// once to debug and statusBar.
TRemindersWindow *ShowAllReminders(const QString &dataFolder, const DebugOut &debug = {},
                                   QStatusBar *statusBar = nullptr);

} // namespace Quorvant
