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
        EXPECT_NEAR(limiter.admit(names[i], QStringLiteral("10.0.0.%1").arg(i)), expected[size_t(i)], 5) << i;
    // Another account is not held up.
    EXPECT_EQ(limiter.admit("bob", "10.0.1.1"), 0);
}

TEST(AttemptLimiter, SuccessStartsTheTargetAfreshButNotTheAddress)
{
    AttemptLimiter limiter(settings());
    for (int i = 0; i < 4; ++i)
        limiter.admit("ann", "10.0.0.1");
    limiter.settle("ann", "10.0.0.9", true);
    EXPECT_EQ(limiter.admit("ann", "10.0.0.9"), 0);

    // Failures from one address slow it down whatever it targets next.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(limiter.admit(QStringLiteral("user%1").arg(i), "10.0.0.5"), 0);
        limiter.settle(QStringLiteral("user%1").arg(i), "10.0.0.5", false);
    }
    EXPECT_NEAR(limiter.admit("fresh", "10.0.0.5"), 100, 5);
    EXPECT_EQ(limiter.admit("fresh2", "10.0.0.6"), 0);
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
    EXPECT_GT(limiter.admit("ann", "10.0.1.4"), 0);

    // A name pushed out starts afresh: its third attempt is free again.
    limiter.admit("bob", "10.0.1.5");
    limiter.admit("bob", "10.0.1.6");
    EXPECT_EQ(limiter.admit("bob", "10.0.1.7"), 0);
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
