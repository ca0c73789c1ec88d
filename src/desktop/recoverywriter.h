// Writes recovery entries on a thread of its own, in the order asked, so a
// write never makes the user wait; a write asked again for the same entry
// before the first one started replaces it.
#pragma once

#include "recoveryentry.h"

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QThread>

#include <memory>

namespace Quorvant {

class TRecoveryStore;

class TRecoveryWriter : public QObject
{
    Q_OBJECT
public:
    explicit TRecoveryWriter(std::shared_ptr<TRecoveryStore> store, QObject *parent = nullptr);
    // Finishes what was asked, then stops the thread.
    ~TRecoveryWriter() override;

    TRecoveryStore *store() const { return m_store.get(); }

    void write(TRecoveryEntry entry);
    void remove(const QString &id);
    // Removes an entry of an ended program, after everything asked before.
    void discardOrphan(const TRecoveryEntry &entry);
    // Blocks until everything asked so far is done (tests, shutdown).
    void waitUntilIdle();

Q_SIGNALS:
    // On the thread that owns the writer.
    void written(const QString &id, quint64 textHash);
    void failed(const QString &id, const QString &error);

private:
    void post(std::function<void()> job);

    std::shared_ptr<TRecoveryStore> m_store;
    QThread m_thread;
    QObject *m_worker = nullptr;
    QMutex m_mutex;
    QHash<QString, quint64> m_latest;  // the newest write asked, per entry
    quint64 m_generation = 0;
};

} // namespace Quorvant
