// At most `limit` events per key (an address) within a sliding window, e.g.
// accounts created per address per hour. A limit of 0 allows everything.
// Keys whose events have all left the window are forgotten.
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QString>

namespace Halvorn {

class WindowQuota
{
public:
    WindowQuota(int limit, qint64 windowMs);

    // Counts one event for `key`; false (and nothing counted) when the key
    // has used its quota.
    bool take(const QString &key);
    // Takes back the last event counted for `key` (it did not happen).
    void giveBack(const QString &key);

private:
    void forgetExpired(QList<qint64> &stamps, qint64 now) const;

    int mLimit;
    qint64 mWindowMs;
    QHash<QString, QList<qint64>> mStamps;
    QElapsedTimer mClock;
};

} // namespace Halvorn
