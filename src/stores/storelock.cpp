#include "storelock.h"

namespace Quorvant {

StoreLock::StoreLock(const QString &storeFile, int timeoutMs)
    : m_lock(storeFile + QStringLiteral(".lock"))
{
    // A lock left by a crashed program is taken over after this long.
    m_lock.setStaleLockTime(30000);
    m_locked = m_lock.tryLock(timeoutMs);
}

} // namespace Quorvant
