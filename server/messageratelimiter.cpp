#include "messageratelimiter.h"

namespace Halvorn {

MessageRateLimiter::Verdict MessageRateLimiter::take(const QString &sender, qint64 nowMs)
{
    const int sent = countInWindow(sender, nowMs);
    if (sent <= mPerSecond)
        return Verdict::Forward;
    return sent == mPerSecond + 1 ? Verdict::DropAndNotify : Verdict::Drop;
}

void MessageRateLimiter::count(const QString &sender, qint64 nowMs)
{
    countInWindow(sender, nowMs);
}

int MessageRateLimiter::countInWindow(const QString &sender, qint64 nowMs)
{
    if (mWindows.size() > kSweepAbove) {
        mWindows.removeIf([nowMs](const QHash<QString, Window>::iterator it) {
            return nowMs - it->startMs >= kWindowMs;
        });
    }
    Window &window = mWindows[sender.toCaseFolded()];
    if (window.count == 0 || nowMs - window.startMs >= kWindowMs)
        window = Window{nowMs, 0};
    return ++window.count;
}

} // namespace Halvorn
