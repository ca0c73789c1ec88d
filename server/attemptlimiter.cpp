#include "attemptlimiter.h"

#include <algorithm>

namespace Halvorn {

AttemptLimiter::AttemptLimiter(Settings settings)
    : mSettings(settings)
{
    mClock.start();
}

qint64 AttemptLimiter::delayAfter(int attempts) const
{
    if (attempts < mSettings.freeAttempts)
        return 0;
    const int doublings = std::min(attempts - mSettings.freeAttempts, 30);
    return std::min<qint64>(mSettings.maxDelayMs, qint64(mSettings.firstDelayMs) << doublings);
}

AttemptLimiter::Entry &AttemptLimiter::entry(QHash<QString, Entry> &entries, const QString &key, qint64 now)
{
    auto it = entries.find(key);
    if (it != entries.end() && now - it->lastSeen > mSettings.forgetAfterMs && it->notBefore <= now)
        *it = Entry{};
    if (it == entries.end()) {
        if (entries.size() >= mSettings.maxEntries) {
            // Forget the quiet ones; when all are busy, the oldest.
            entries.removeIf([&](const auto &e) {
                return now - e.value().lastSeen > mSettings.forgetAfterMs && e.value().notBefore <= now;
            });
            if (entries.size() >= mSettings.maxEntries) {
                auto oldest = std::min_element(entries.begin(), entries.end(),
                                               [](const Entry &a, const Entry &b) { return a.lastSeen < b.lastSeen; });
                entries.erase(oldest);
            }
        }
        it = entries.insert(key, Entry{});
    }
    return *it;
}

qint64 AttemptLimiter::admit(const QString &target, const QString &source)
{
    const qint64 now = mClock.elapsed();
    Entry &t = entry(mTargets, target.toCaseFolded(), now);
    Entry &s = entry(mSources, source, now);
    const qint64 slot = std::max({now, t.notBefore, s.notBefore});
    ++t.attempts;
    t.notBefore = slot + delayAfter(t.attempts);
    // An address already slowed down gets its attempts one after another.
    if (s.attempts >= mSettings.freeAttempts)
        s.notBefore = slot + delayAfter(s.attempts);
    t.lastSeen = s.lastSeen = slot;
    return slot - now;
}

void AttemptLimiter::settle(const QString &target, const QString &source, bool succeeded)
{
    const qint64 now = mClock.elapsed();
    if (succeeded) {
        mTargets.remove(target.toCaseFolded());
        return;
    }
    Entry &s = entry(mSources, source, now);
    ++s.attempts;
    s.notBefore = std::max(s.notBefore, now + delayAfter(s.attempts));
    s.lastSeen = now;
}

} // namespace Halvorn
