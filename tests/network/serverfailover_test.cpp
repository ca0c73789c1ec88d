// The order of the servers tried and the delays between reconnection
// attempts.
#include "serverfailover.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Quorvant::Network;

namespace {

QList<TServerRoute> routes(int count)
{
    QList<TServerRoute> out;
    for (int i = 1; i <= count; ++i)
        out.append(TServerRoute{{QStringLiteral("10.0.0.%1").arg(i), 4500}, {}, {}});
    return out;
}

} // namespace

TEST(ServerFailover, SignInGoesThroughTheListOnceReconnectionRoundsItWithDoublingCappedDelays)
{
    TServerFailover failover;
    using Next = TServerFailover::Next;
    failover.begin(routes(3));
    EXPECT_EQ(failover.phase(), TServerFailover::Phase::SigningIn);
    EXPECT_EQ(failover.current().server.address, "10.0.0.1");
    EXPECT_EQ(failover.connectionEnded(), Next::NextServer);
    EXPECT_EQ(failover.current().server.address, "10.0.0.2");
    EXPECT_EQ(failover.retryDelayMs(), 0);
    EXPECT_EQ(failover.connectionEnded(), Next::NextServer);
    EXPECT_EQ(failover.current().server.address, "10.0.0.3");
    // Each server once: then the sign-in has failed.
    EXPECT_EQ(failover.connectionEnded(), Next::GiveUp);
    EXPECT_EQ(failover.phase(), TServerFailover::Phase::Idle);

    failover.begin(routes(3));
    failover.signedIn();
    failover.notePassword("Site", "pw");
    failover.keepProject("Site");
    const int cap = TServerFailover::kMaxRetryDelayMs;
    for (int attempt = 1; attempt <= TServerFailover::kMaxReconnectAttempts; ++attempt) {
        SCOPED_TRACE(attempt);
        ASSERT_EQ(failover.connectionEnded(), Next::Reconnect);
        EXPECT_EQ(failover.phase(), TServerFailover::Phase::Reconnecting);
        EXPECT_EQ(failover.reconnectAttempt(), attempt);
        // Round the list from the server that was lost.
        EXPECT_EQ(failover.current().server.address, QStringLiteral("10.0.0.%1").arg(attempt % 3 + 1));
        const int base = std::min(TServerFailover::kFirstRetryDelayMs << std::min(attempt - 1, 20), cap);
        EXPECT_GE(failover.retryDelayMs(), base);
        EXPECT_LE(failover.retryDelayMs(), base + base * TServerFailover::kRetryJitterPercent / 100);
    }
    EXPECT_EQ(failover.passwordOf("SITE"), "pw");
    EXPECT_EQ(failover.connectionEnded(), Next::GiveUp);
    EXPECT_EQ(failover.phase(), TServerFailover::Phase::Idle);
    EXPECT_TRUE(failover.keptProject().isEmpty());
    EXPECT_TRUE(failover.passwordOf("Site").isEmpty());

    // Signed in again, the count starts afresh; one server is tried again.
    failover.begin(routes(1));
    failover.signedIn();
    EXPECT_EQ(failover.connectionEnded(), Next::Reconnect);
    EXPECT_EQ(failover.current().server.address, "10.0.0.1");
    failover.signedIn();
    EXPECT_EQ(failover.connectionEnded(), Next::Reconnect);
    EXPECT_EQ(failover.reconnectAttempt(), 1);

    // Without any server (nothing was looked up) nothing is tried.
    TServerFailover empty;
    empty.signedIn();
    EXPECT_EQ(empty.connectionEnded(), Next::GiveUp);
}
