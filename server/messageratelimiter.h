// Counts each sender's chat messages in one-second windows: past the limit
// a message is dropped, and the sender hears of it once a window. Servers
// sharing a database count the messages they hear of from each other too.
#pragma once

#include <QHash>
#include <QString>

namespace Halvorn {

class MessageRateLimiter
{
public:
    enum class Verdict { Forward, DropAndNotify, Drop };

    explicit MessageRateLimiter(int perSecond) : mPerSecond(perSecond) {}

    // One message of `sender` (compared without regard to case) at `nowMs`
    // on a clock that never goes back.
    Verdict take(const QString &sender, qint64 nowMs);
    // A message of `sender` another server let through: it counts towards
    // the sender's limit here too, so the limit holds for a user whose
    // sessions are spread over several servers.
    void count(const QString &sender, qint64 nowMs);

private:
    struct Window
    {
        qint64 startMs = 0;
        int count = 0;
    };
    static constexpr qint64 kWindowMs = 1000;
    // Past this many senders, windows that have ended are forgotten.
    static constexpr qsizetype kSweepAbove = 4096;

    // The sender's window at `nowMs`, with this message counted.
    int countInWindow(const QString &sender, qint64 nowMs);

    int mPerSecond;
    QHash<QString, Window> mWindows;
};

} // namespace Halvorn
