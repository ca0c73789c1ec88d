#include "passwordworker.h"

#include <QPointer>
#include <QUuid>

#include <sys/resource.h>
#include <unistd.h>

namespace Halvorn {

namespace {

// Hashing yields to the event loop, which answers everyone else.
constexpr int kHashingNiceness = 10;

void lowerThisThreadsPriority()
{
    thread_local bool lowered = false;
    if (!lowered) {
        setpriority(PRIO_PROCESS, id_t(gettid()), kHashingNiceness);
        lowered = true;
    }
}

} // namespace

PasswordWorker::PasswordWorker(int threads, int iterations, QObject *parent)
    : QObject(parent)
    , mIterations(iterations)
    , mDummy(PasswordHash::make(QUuid::createUuid().toString(), iterations))
{
    if (threads > 0)
        mPool.setMaxThreadCount(threads);
}

PasswordWorker::~PasswordWorker()
{
    mPool.clear();
    mPool.waitForDone();
}

void PasswordWorker::run(QObject *receiver, std::function<std::function<void()>()> work)
{
    QPointer<QObject> guard(receiver);
    ++mQueued;
    mPool.start([this, guard, work = std::move(work)] {
        lowerThisThreadsPriority();
        std::function<void()> deliver = work();
        --mQueued;
        // The pool is drained before this object goes, so `this` is alive;
        // the receiver is checked on its own thread.
        QMetaObject::invokeMethod(this, [guard, deliver = std::move(deliver)] {
            if (guard)
                deliver();
        }, Qt::QueuedConnection);
    });
}

void PasswordWorker::verify(QObject *receiver, const QString &password, const std::optional<PasswordRecord> &record,
                            std::function<void(bool)> done)
{
    const PasswordRecord against = record.value_or(mDummy);
    const bool known = record.has_value();
    run(receiver, [password, against, known, done = std::move(done)]() -> std::function<void()> {
        const bool matches = PasswordHash::verify(password, against) && known;
        return [done, matches] { done(matches); };
    });
}

void PasswordWorker::make(QObject *receiver, const QString &password, std::function<void(const PasswordRecord &)> done)
{
    const int iterations = mIterations;
    run(receiver, [password, iterations, done = std::move(done)]() -> std::function<void()> {
        PasswordRecord record = PasswordHash::make(password, iterations);
        return [done, record] { done(record); };
    });
}

} // namespace Halvorn
