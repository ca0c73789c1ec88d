// Hashes and checks passwords on a pool of low-priority threads, so a flood
// of sign-ins never holds up the event loop. Each result comes back on this
// object's thread to a receiver, and is dropped when the receiver is gone.
#pragma once

#include "passwordhash.h"

#include <QObject>
#include <QThreadPool>

#include <atomic>

#include <functional>
#include <optional>

namespace Halvorn {

class PasswordWorker : public QObject
{
    Q_OBJECT
public:
    // threads <= 0: one per processor.
    PasswordWorker(int threads, int iterations, QObject *parent = nullptr);
    ~PasswordWorker() override;

    int iterations() const { return mIterations; }
    // Hashes waiting for a thread or being computed.
    int queueLength() const { return mQueued.load(); }

    // Checks `password` against `record`; with no record, against a dummy of
    // the same cost (and fails), so an unknown name answers in the time a
    // known one does.
    void verify(QObject *receiver, const QString &password, const std::optional<PasswordRecord> &record,
                std::function<void(bool matches)> done);
    // A new salted hash of `password`.
    void make(QObject *receiver, const QString &password, std::function<void(const PasswordRecord &)> done);

private:
    // Runs `work` on the pool; the function it returns runs on this thread.
    void run(QObject *receiver, std::function<std::function<void()>()> work);

    int mIterations;
    PasswordRecord mDummy;
    QThreadPool mPool;
    std::atomic<int> mQueued = 0;
};

} // namespace Halvorn
