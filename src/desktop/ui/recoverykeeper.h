// Keeps every modified document, titled or not, in the recovery folder: a
// copy is taken a moment after typing stops (during long typing, at its
// next short pause) and written on the writer's thread; the entry goes when
// the document is saved, undone back to its file, or closed.
#pragma once

#include "recoveryentry.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <functional>
#include <memory>

namespace Quorvant {

class TForm1;
class TMemoSource;
class TRecoveryStore;
class TRecoveryWriter;

class TRecoveryKeeper : public QObject
{
    Q_OBJECT
public:
    // Without a session folder (the data folder cannot be written) it
    // keeps nothing and says so through the form's debug window.
    TRecoveryKeeper(TForm1 &form, const QString &dataFolder);
    ~TRecoveryKeeper() override;

    bool isActive() const { return m_writer != nullptr; }
    TRecoveryWriter *writer() const { return m_writer.get(); }
    TRecoveryStore *store() const;

    // The quiet time after the last change before a copy is taken, and how
    // long a change may wait for it: after that, a short pause is enough.
    void setDelays(int quietMs, int longestMs);
    // Takes and queues the copies that are due now (tests, restore).
    void writeDue();
    // Queues a copy of this document at once.
    void writeNow(TMemoSource *buffer);

    // What a copy records about a document's file (set by the installer).
    std::function<DiskStamp(const TMemoSource *)> stampOf;

private:
    void track(TMemoSource *buffer);
    void changed(TMemoSource *buffer);
    void forget(TMemoSource *buffer);
    QString idOf(TMemoSource *buffer);

    TForm1 &m_form;
    std::unique_ptr<TRecoveryWriter> m_writer;
    QHash<TMemoSource *, QString> m_ids;
    QSet<TMemoSource *> m_due;
    QTimer m_quiet;
    QElapsedTimer m_oldestChange;
    int m_quietMs = 2000;
    int m_longestMs = 20000;
    int m_nextId = 1;
};

} // namespace Quorvant
