#include "messageratelimiter.h"

namespace Halvorn {

MessageRateLimiter::Verdict MessageRateLimiter::take(const QString &sender, qint64 nowMs)
{
    if (mWindows.size() > kSweepAbove) {
        mWindows.removeIf([nowMs](const QHash<QString, Window>::iterator it) {
            return nowMs - it->startMs >= kWindowMs;
        });
    }
    Window &window = mWindows[sender.toCaseFolded()];
    if (window.count == 0 || nowMs - window.startMs >= kWindowMs)
        window = Window{nowMs, 0};
    ++window.count;
    if (window.count <= mPerSecond)
        return Verdict::Forward;
    return window.count == mPerSecond + 1 ? Verdict::DropAndNotify : Verdict::Drop;
}

} // namespace Halvorn
