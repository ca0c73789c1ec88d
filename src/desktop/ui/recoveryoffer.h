// The Task Manager's offer, after a start that follows a crash, to restore
// the documents the ended program kept: each restored one opens modified
// with the recovered text; a declined one is removed.
#pragma once

#include "recoveryentry.h"

#include <QList>
#include <QWidget>

#include <functional>

class QTreeWidget;
class QPushButton;

namespace Quorvant {

class TForm1;
class TRecoveryKeeper;
class TDiskChangeMonitor;

class TRecoveryOffer : public QWidget
{
    Q_OBJECT
public:
    TRecoveryOffer(TForm1 &form, TRecoveryKeeper &keeper, TDiskChangeMonitor *monitor,
                   const QList<TRecoveryEntry> &entries, QWidget *parent = nullptr);

    QTreeWidget *list() const { return m_list; }
    int offered() const { return m_entries.size(); }

    void restoreSelected();
    void restoreAll();
    void discardSelected();

    // Called once the last document has been restored or declined; by
    // default nothing (the installer lets the Task Manager step aside).
    std::function<void(bool restoredAny)> finished;

private:
    void restore(int row);
    void removeRow(int row);
    void refill();

    TForm1 &m_form;
    TRecoveryKeeper &m_keeper;
    TDiskChangeMonitor *m_monitor;
    QList<TRecoveryEntry> m_entries;
    QTreeWidget *m_list = nullptr;
    bool m_restoredAny = false;
};

} // namespace Quorvant
