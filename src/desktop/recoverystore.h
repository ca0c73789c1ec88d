// The recovery folder in the data folder: each running program writes its
// documents into a session folder of its own, held by a lock file, so two
// programs on one data folder never touch each other's entries. A session
// whose lock is free belongs to a program that ended without cleaning up
// (a crash, a kill, a power cut): its entries are what a start offers back.
#pragma once

#include "recoveryentry.h"

#include <QList>
#include <QMutex>
#include <QString>

#include <map>
#include <memory>

class QLockFile;

namespace Quorvant {

class TRecoveryStore
{
public:
    explicit TRecoveryStore(const QString &dataFolder);
    // Removes this program's session folder when it is empty and lets go
    // of every lock.
    ~TRecoveryStore();
    TRecoveryStore(const TRecoveryStore &) = delete;
    TRecoveryStore &operator=(const TRecoveryStore &) = delete;

    static QString folderIn(const QString &dataFolder);
    QString folder() const { return m_folder; }

    // Creates and locks this program's session folder.
    [[nodiscard]] bool openSession(QString *error);
    QString sessionFolder() const { return m_session; }

    // These may run on any one thread at a time (the writer's).
    // Writes atomically: a reader finds the old entry or the new one whole.
    [[nodiscard]] bool writeEntry(const TRecoveryEntry &entry, QString *error) const;
    [[nodiscard]] bool writeEntry(const TRecoveryEntry &entry, quint64 textHash, QString *error) const;
    void removeEntry(const QString &id) const;

    // Locks every session no running program holds and reads its entries,
    // oldest first; a garbled entry is removed and said in problems. The
    // sessions stay locked until their entries are all discarded.
    QList<TRecoveryEntry> claimOrphans(QStringList *problems = nullptr);
    // Removes an entry claimOrphans() gave, and its session once empty.
    void discardOrphan(const TRecoveryEntry &entry);

private:
    QString entryPath(const QString &sessionFolder, const QString &id) const;
    void dropSessionIfEmpty(const QString &sessionFolder);

    QString m_folder;
    QString m_session;
    std::unique_ptr<QLockFile> m_lock;
    mutable QMutex m_mutex;
    // Sessions of ended programs this one holds, by folder.
    std::map<QString, std::unique_ptr<QLockFile>> m_claimed;
    // Which session folder each claimed entry came from, by entry id.
    std::map<QString, QString> m_claimedEntries;
};

} // namespace Quorvant
