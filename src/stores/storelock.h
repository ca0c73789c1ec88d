// Holds a QLockFile beside a store's file while it is read or rewritten, so
// two programs on one data folder never interleave their writes.
#pragma once

#include <QLockFile>
#include <QString>

namespace Quorvant {

class StoreLock
{
public:
    explicit StoreLock(const QString &storeFile, int timeoutMs = 5000);
    bool locked() const { return m_locked; }

private:
    QLockFile m_lock;
    bool m_locked = false;
};

} // namespace Quorvant
