// Spaces out password guesses. After a few free attempts on one target (an
// account or a project) each further attempt waits longer than the one
// before, up to a cap; an address whose attempts keep failing is slowed the
// same way whatever it targets. A delay, never a lockout: the right password
// still gets in once its turn comes, so a guesser cannot shut the owner out.
// Entries are forgotten after a quiet period and their number is bounded.
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QString>

namespace Halvorn {

class AttemptLimiter
{
public:
    struct Settings
    {
        int freeAttempts = 3;
        int firstDelayMs = 500;       // doubled with each further attempt
        int maxDelayMs = 30000;
        int forgetAfterMs = 15 * 60 * 1000;
        int maxEntries = 100000;      // per kind (targets, addresses)
    };

    explicit AttemptLimiter(Settings settings);

    // Books an attempt on `target` from `source` (an address); returns how
    // many ms to wait before checking it. Attempts still being checked count
    // against the target, so guesses sent at once queue up too.
    qint64 admit(const QString &target, const QString &source);
    // The outcome of an admitted attempt: success starts the target afresh;
    // a failure counts against the source.
    void settle(const QString &target, const QString &source, bool succeeded);

    const Settings &settings() const { return mSettings; }

private:
    struct Entry
    {
        int attempts = 0;
        qint64 notBefore = 0;  // the earliest moment of the next attempt
        qint64 lastSeen = 0;
    };

    Entry &entry(QHash<QString, Entry> &entries, const QString &key, qint64 now);
    qint64 delayAfter(int attempts) const;

    Settings mSettings;
    QHash<QString, Entry> mTargets;  // by case-folded name
    QHash<QString, Entry> mSources;  // failures only
    QElapsedTimer mClock;
};

} // namespace Halvorn
