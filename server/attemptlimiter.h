// Spaces out password guesses. After a few free attempts on one target (an
// account or a project) each further attempt waits longer than the one
// before, up to a cap; an address whose attempts keep failing is slowed the
// same way whatever it targets. A delay, never a lockout: the right password
// still gets in once its turn comes, so a guesser cannot shut the owner out.
// Entries are forgotten after a quiet period and their number is bounded.
#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QList>
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

    // The turn one attempt was given.
    struct Booking
    {
        QString target;
        QString source;
        qint64 wait = 0;           // ms until the attempt may be checked
        qint64 targetTurnEnd = 0;  // the target's next turn after it
        qint64 sourceTurnEnd = 0;  // the source's, where it was slowed (else 0)
    };

    explicit AttemptLimiter(Settings settings);

    // Books an attempt on `target` from `source` (an address) and says how
    // many ms to wait before checking it. Attempts still being checked count
    // against the target, so guesses sent at once queue up too.
    Booking admit(const QString &target, const QString &source);
    // Gives back the turn of an attempt that will not be checked (its client
    // left before its turn): nothing was learnt from it, so it must not hold
    // up the attempts after it. Only for attempts not yet settled.
    void withdraw(const Booking &booking);
    // The outcome of an admitted attempt: success starts the target afresh;
    // a failure counts against the source.
    void settle(const QString &target, const QString &source, bool succeeded);

    const Settings &settings() const { return mSettings; }

private:
    struct Entry
    {
        int attempts = 0;
        // The earliest moment of the next attempt: the later of notBefore
        // and the ends of the turns booked and not given back.
        qint64 notBefore = 0;
        QList<qint64> turnEnds;
        qint64 lastSeen = 0;
    };

    Entry &entry(QHash<QString, Entry> &entries, const QString &key, qint64 now);
    qint64 delayAfter(int attempts) const;
    static qint64 nextTurn(const Entry &entry);
    static void bookTurn(Entry &entry, qint64 end, qint64 now);
    static void giveBackTurn(QHash<QString, Entry> &entries, const QString &key, qint64 end);

    Settings mSettings;
    QHash<QString, Entry> mTargets;  // by case-folded name
    QHash<QString, Entry> mSources;  // failures only
    QElapsedTimer mClock;
};

} // namespace Halvorn
