// The server's guess limiter and per-address quota on their own, with the
// delays spelled out.
#include "attemptlimiter.h"
#include "windowquota.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

using Halvorn::AttemptLimiter;
using Halvorn::WindowQuota;

namespace {

AttemptLimiter::Settings settings()
{
    AttemptLimiter::Settings s;
    s.freeAttempts = 3;
    s.firstDelayMs = 100;
    s.maxDelayMs = 400;
    return s;
}

} // namespace

TEST(AttemptLimiter, GuessesSentAtOnceQueueUpWithGrowingGaps)
{
    AttemptLimiter limiter(settings());
    // Each from another address: only the target counts. Names fold case.
    const QStringList names = {"ann", "ANN", "Ann", "ann", "aNN", "ann", "ann"};
    const std::vector<qint64> expected = {0, 0, 0, 100, 300, 700, 1100};
    for (qsizetype i = 0; i < names.size(); ++i)
        EXPECT_NEAR(limiter.admit(names[i], QStringLiteral("10.0.0.%1").arg(i)).wait, expected[size_t(i)], 5) << i;
    // Another account is not held up.
    EXPECT_EQ(limiter.admit("bob", "10.0.1.1").wait, 0);
}

TEST(AttemptLimiter, SuccessStartsTheTargetAfreshButNotTheAddress)
{
    AttemptLimiter limiter(settings());
    for (int i = 0; i < 4; ++i)
        limiter.admit("ann", "10.0.0.1");
    limiter.settle("ann", "10.0.0.9", true);
    EXPECT_EQ(limiter.admit("ann", "10.0.0.9").wait, 0);

    // Failures from one address slow it down whatever it targets next.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(limiter.admit(QStringLiteral("user%1").arg(i), "10.0.0.5").wait, 0);
        limiter.settle(QStringLiteral("user%1").arg(i), "10.0.0.5", false);
    }
    EXPECT_NEAR(limiter.admit("fresh", "10.0.0.5").wait, 100, 5);
    EXPECT_EQ(limiter.admit("fresh2", "10.0.0.6").wait, 0);
}

TEST(AttemptLimiter, KeepsAtMostItsEntriesWithoutWashingOutAPenalty)
{
    AttemptLimiter::Settings s = settings();
    s.maxEntries = 2;
    AttemptLimiter limiter(s);
    for (int i = 0; i < 4; ++i)
        limiter.admit("ann", QStringLiteral("10.0.0.%1").arg(i));
    // New names push out the quietest entry, not the one being guessed at.
    limiter.admit("bob", "10.0.1.1");
    limiter.admit("carl", "10.0.1.2");
    limiter.admit("dave", "10.0.1.3");
    EXPECT_GT(limiter.admit("ann", "10.0.1.4").wait, 0);

    // A name pushed out starts afresh: its third attempt is free again.
    limiter.admit("bob", "10.0.1.5");
    limiter.admit("bob", "10.0.1.6");
    EXPECT_EQ(limiter.admit("bob", "10.0.1.7").wait, 0);
}

TEST(AttemptLimiter, AttemptsWithdrawnBeforeTheirTurnHoldUpNoOne)
{
    AttemptLimiter limiter(settings());
    // Three failures slow the address down: its next attempt waits 100 ms.
    for (int i = 0; i < 3; ++i)
        limiter.settle(limiter.admit(QStringLiteral("user%1").arg(i), "10.0.0.1").target, "10.0.0.1", false);

    // Clients that queued behind that and left before their turn, one after
    // another and several at once (given back out of order).
    for (int i = 0; i < 5; ++i)
        limiter.withdraw(limiter.admit(QStringLiteral("gone%1").arg(i), "10.0.0.1"));
    std::vector<AttemptLimiter::Booking> queued;
    for (int i = 0; i < 4; ++i)
        queued.push_back(limiter.admit("ann", "10.0.0.1"));
    EXPECT_NEAR(queued[3].wait, 400, 5);
    for (size_t i : {1u, 3u, 0u, 2u})
        limiter.withdraw(queued[i]);
    EXPECT_NEAR(limiter.admit("bob", "10.0.0.1").wait, 100, 5);

    // Withdrawn attempts on a name do not count as attempts on it: two more
    // are still free.
    const AttemptLimiter::Booking kept = limiter.admit("ann", "10.0.0.2");
    EXPECT_EQ(kept.wait, 0);
    limiter.withdraw(limiter.admit("ann", "10.0.0.3"));
    EXPECT_EQ(limiter.admit("ann", "10.0.0.4").wait, 0);
    EXPECT_EQ(limiter.admit("ann", "10.0.0.5").wait, 0);
    // A turn not given back still counts.
    EXPECT_NEAR(limiter.admit("ann", "10.0.0.6").wait, 100, 5);
}

TEST(WindowQuota, CountsPerKeyAndTakesBackWhatDidNotHappen)
{
    WindowQuota quota(2, 3600 * 1000);
    EXPECT_TRUE(quota.take("10.0.0.1"));
    EXPECT_TRUE(quota.take("10.0.0.1"));
    EXPECT_FALSE(quota.take("10.0.0.1"));
    EXPECT_TRUE(quota.take("10.0.0.2"));
    quota.giveBack("10.0.0.1");
    EXPECT_TRUE(quota.take("10.0.0.1"));

    WindowQuota unlimited(0, 1000);
    for (int i = 0; i < 100; ++i)
        EXPECT_TRUE(unlimited.take("10.0.0.1"));

    WindowQuota shortWindow(1, 50);
    EXPECT_TRUE(shortWindow.take("a"));
    EXPECT_FALSE(shortWindow.take("a"));
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 60) {
    }
    EXPECT_TRUE(shortWindow.take("a"));
}
