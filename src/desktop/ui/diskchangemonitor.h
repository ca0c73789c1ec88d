// Notices open documents whose files other programs changed, when the main
// window becomes active again, after each save, and when the file system
// watcher reports something: an unmodified document is reloaded, a
// modified one asks, a deleted file leaves its document modified. Save asks
// before it writes over a file changed elsewhere.
#pragma once

#include "diskstamp.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>

class QFileSystemWatcher;

namespace Quorvant {

class TForm1;
class TMemoSource;

class TDiskChangeMonitor : public QObject
{
    Q_OBJECT
public:
    explicit TDiskChangeMonitor(TForm1 &form);

    // Goes through every open document now.
    void checkAll();
    // The file of the document as it last read or wrote it (none: invalid).
    DiskStamp stampOf(const TMemoSource *buffer) const;
    // For a document restored from recovery: the file as it was then.
    void adoptStamp(TMemoSource *buffer, const DiskStamp &stamp);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void track(TMemoSource *buffer);
    void synced(TMemoSource *buffer);
    bool confirmOverwrite(TMemoSource *buffer, const QString &path);
    void checkAllBut(const QSet<const TMemoSource *> &skip);
    void checkOne(int index);
    void watch(const QString &path);
    void note(const QString &text);
    void scheduleCheck();

    TForm1 &m_form;
    QHash<const TMemoSource *, DiskStamp> m_stamps;
    // Read or written just now: the pass that follows leaves them out.
    QSet<const TMemoSource *> m_justSynced;
    QFileSystemWatcher *m_watcher;
    QTimer m_soon;
    QTimer m_settled;  // after the watcher: let a delete-and-write finish
    bool m_checking = false;
    bool m_checkAgain = false;
};

} // namespace Quorvant
