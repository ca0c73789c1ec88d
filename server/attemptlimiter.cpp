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

qint64 AttemptLimiter::nextTurn(const Entry &entry)
{
    qint64 next = entry.notBefore;
    for (qint64 end : entry.turnEnds)
        next = std::max(next, end);
    return next;
}

void AttemptLimiter::bookTurn(Entry &entry, qint64 end, qint64 now)
{
    // Turns already over can no longer be given back.
    entry.turnEnds.removeIf([&](qint64 e) {
        if (e > now)
            return false;
        entry.notBefore = std::max(entry.notBefore, e);
        return true;
    });
    entry.turnEnds.append(end);
}

void AttemptLimiter::giveBackTurn(QHash<QString, Entry> &entries, const QString &key, qint64 end)
{
    // An entry pushed out meanwhile has nothing left to give back.
    const auto it = entries.find(key);
    if (it != entries.end())
        it->turnEnds.removeOne(end);
}

AttemptLimiter::Entry &AttemptLimiter::entry(QHash<QString, Entry> &entries, const QString &key, qint64 now)
{
    auto it = entries.find(key);
    if (it != entries.end() && now - it->lastSeen > mSettings.forgetAfterMs && nextTurn(*it) <= now)
        *it = Entry{};
    if (it == entries.end()) {
        if (entries.size() >= mSettings.maxEntries) {
            // Forget the quiet ones; when all are busy, the oldest.
            entries.removeIf([&](const auto &e) {
                return now - e.value().lastSeen > mSettings.forgetAfterMs && nextTurn(e.value()) <= now;
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

AttemptLimiter::Booking AttemptLimiter::admit(const QString &target, const QString &source)
{
    const qint64 now = mClock.elapsed();
    Entry &t = entry(mTargets, target.toCaseFolded(), now);
    Entry &s = entry(mSources, source, now);
    const qint64 slot = std::max({now, nextTurn(t), nextTurn(s)});
    Booking booking{target, source, slot - now};
    ++t.attempts;
    booking.targetTurnEnd = slot + delayAfter(t.attempts);
    bookTurn(t, booking.targetTurnEnd, now);
    // An address already slowed down gets its attempts one after another.
    if (s.attempts >= mSettings.freeAttempts) {
        booking.sourceTurnEnd = slot + delayAfter(s.attempts);
        bookTurn(s, booking.sourceTurnEnd, now);
    }
    t.lastSeen = s.lastSeen = slot;
    return booking;
}

void AttemptLimiter::withdraw(const Booking &booking)
{
    const QString target = booking.target.toCaseFolded();
    if (auto t = mTargets.find(target); t != mTargets.end())
        t->attempts = std::max(0, t->attempts - 1);
    giveBackTurn(mTargets, target, booking.targetTurnEnd);
    if (booking.sourceTurnEnd > 0)
        giveBackTurn(mSources, booking.source, booking.sourceTurnEnd);
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
