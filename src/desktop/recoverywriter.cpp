#include "recoverywriter.h"

#include "recoverystore.h"

#include <QMetaObject>
#include <QSemaphore>

#include <functional>
#include <thread>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace Quorvant {

namespace {

// Runs work on a thread of its own at the lowest share of the processor, so
// the window's thread (typing) always comes first. The writer's own thread
// stays at the normal share: a thread once lowered cannot be raised again
// without privileges, and on a busy machine such a thread waits seconds for
// the processor each time it wakes, and the program's end waits with it.
void runAtLowestPriority(const std::function<void()> &work)
{
    std::thread([&work] {
        setpriority(PRIO_PROCESS, pid_t(syscall(SYS_gettid)), 19);
        work();
    }).join();
}

} // namespace

TRecoveryWriter::TRecoveryWriter(std::shared_ptr<TRecoveryStore> store, QObject *parent)
    : QObject(parent)
    , m_store(std::move(store))
{
    m_thread.setObjectName(QStringLiteral("RecoveryWriter"));
    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start(QThread::LowPriority);
}

TRecoveryWriter::~TRecoveryWriter()
{
    waitUntilIdle();
    m_thread.quit();
    m_thread.wait();
}

void TRecoveryWriter::post(std::function<void()> job)
{
    QMetaObject::invokeMethod(m_worker, std::move(job), Qt::QueuedConnection);
}

void TRecoveryWriter::write(TRecoveryEntry entry)
{
    quint64 generation;
    {
        QMutexLocker locker(&m_mutex);
        generation = ++m_generation;
        m_latest.insert(entry.id, generation);
    }
    post([this, entry = std::move(entry), generation] {
        {
            QMutexLocker locker(&m_mutex);
            if (m_latest.value(entry.id) != generation)
                return;  // asked again since, or removed
        }
        QString error;
        quint64 hash = 0;
        bool ok = false;
        runAtLowestPriority([&] {
            hash = contentHash(entry.text);
            ok = m_store->writeEntry(entry, hash, &error);
        });
        const QString id = entry.id;
        if (ok)
            QMetaObject::invokeMethod(this, [this, id, hash] { Q_EMIT written(id, hash); }, Qt::QueuedConnection);
        else
            QMetaObject::invokeMethod(this, [this, id, error] { Q_EMIT failed(id, error); }, Qt::QueuedConnection);
    });
}

void TRecoveryWriter::remove(const QString &id)
{
    {
        QMutexLocker locker(&m_mutex);
        m_latest.insert(id, ++m_generation);
    }
    post([this, id] { m_store->removeEntry(id); });
}

void TRecoveryWriter::discardOrphan(const TRecoveryEntry &entry)
{
    post([this, entry] { m_store->discardOrphan(entry); });
}

void TRecoveryWriter::waitUntilIdle()
{
    if (!m_thread.isRunning())
        return;
    QSemaphore done;
    post([&done] { done.release(); });
    done.acquire();
}

} // namespace Quorvant
