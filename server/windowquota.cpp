#include "windowquota.h"

namespace Halvorn {

namespace {

// Above this many keys, every take first sweeps out the expired ones.
constexpr qsizetype kSweepAbove = 10000;

} // namespace

WindowQuota::WindowQuota(int limit, qint64 windowMs)
    : mLimit(limit)
    , mWindowMs(windowMs)
{
    mClock.start();
}

void WindowQuota::forgetExpired(QList<qint64> &stamps, qint64 now) const
{
    while (!stamps.isEmpty() && now - stamps.constFirst() >= mWindowMs)
        stamps.removeFirst();
}

bool WindowQuota::take(const QString &key)
{
    if (mLimit <= 0)
        return true;
    const qint64 now = mClock.elapsed();
    if (mStamps.size() > kSweepAbove) {
        mStamps.removeIf([&](auto it) {
            forgetExpired(it.value(), now);
            return it.value().isEmpty();
        });
    }
    QList<qint64> &stamps = mStamps[key];
    forgetExpired(stamps, now);
    if (stamps.size() >= mLimit)
        return false;
    stamps.append(now);
    return true;
}

void WindowQuota::giveBack(const QString &key)
{
    auto it = mStamps.find(key);
    if (it != mStamps.end() && !it->isEmpty())
        it->removeLast();
}

} // namespace Halvorn
