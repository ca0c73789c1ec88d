// Two halvorn-server processes on one PostgreSQL database: clients of
// either chat together in one room, and the loss of one leaves the other
// serving with its rooms cleaned and the bookings kept.
#include "halvornserver.h"
#include "networkrecords.h"
#include "rawclient.h"
#include "serverprocess.h"
#include "testrecords.h"
#include "waituntil.h"
#include "wireformat.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>

#include <memory>

#include <signal.h>

using namespace Quorvant::Network;

namespace {

class PostgreSQLInstances : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_TEST_POSTGRESQL();
        database = newPostgresDatabase();
        ASSERT_FALSE(database.isEmpty()) << "cannot create a database on " << testPostgresServer().toStdString();
        ASSERT_TRUE(a.start(database)) << a.process.readAllStandardError().constData();
        ASSERT_TRUE(b.start(database)) << b.process.readAllStandardError().constData();
    }

    static std::unique_ptr<RawClient> signedIn(const ServerProcess &server, const QString &name, bool create = true)
    {
        auto c = std::make_unique<RawClient>();
        if (!c->connectTo(server.port) || !c->signIn(name, "pw", create))
            return nullptr;
        return c;
    }

    // The room or project and the text of the next `word` packet `c` gets.
    static QStringList next(RawClient &c, const QByteArray &word, int timeoutMs = 5000)
    {
        const auto p = c.waitFor(word, timeoutMs);
        return p ? decodeList(p->payload) : QStringList{"nothing within the time"};
    }

    static QStringList listed(RawClient &c, const QByteArray &word, const QString &room)
    {
        const auto p = c.request(word, chatRecord(room));
        QStringList items = p ? decodeList(p->payload) : QStringList{};
        items.sort(Qt::CaseInsensitive);
        return items;
    }

    // ann on A opens the room Lobby and the project Site with index.htm in
    // it; bob on B joins the room.
    void annOpensLobbyAndSiteBobJoinsTheRoom()
    {
        ann = signedIn(a, "ann");
        ASSERT_TRUE(ann);
        bob = signedIn(b, "bob");
        ASSERT_TRUE(bob);
        ASSERT_TRUE(isGood(ann->request("ACHR", chatRecord("Lobby"))));
        ASSERT_TRUE(isGood(bob->request("JCHR", chatRecord("Lobby"))));
        ASSERT_TRUE(isGood(ann->request("APRO", projectRecord("Site", {}, "pw"))));
        ASSERT_TRUE(isGood(ann->request("ADDP", projectRecord("Site", "index.htm") + EncodeString("<p>v1"))));
    }

    // Both servers again, with `extra` options.
    void restartServers(const QStringList &extra)
    {
        a.stop();
        b.stop();
        ASSERT_TRUE(a.start(database, extra)) << a.process.readAllStandardError().constData();
        ASSERT_TRUE(b.start(database, extra)) << b.process.readAllStandardError().constData();
    }

    QString database;
    ServerProcess a;
    ServerProcess b;
    std::unique_ptr<RawClient> ann;
    std::unique_ptr<RawClient> bob;
};

TEST_F(PostgreSQLInstances, ClientsOfTwoServersChatInOneRoomAndProject)
{
    auto ann = signedIn(a, "ann");
    ASSERT_TRUE(ann);
    auto bob = signedIn(b, "bob");
    ASSERT_TRUE(bob);
    // Accounts are shared: ann signs in on B as well.
    EXPECT_TRUE(signedIn(b, "ann", false));

    ASSERT_TRUE(isGood(ann->request("ACHR", chatRecord("Lobby"))));
    // The room ann opened on A is there on B: joined, not created again.
    ASSERT_TRUE(isGood(bob->request("JCHR", chatRecord("lobby"))));
    EXPECT_EQ(next(*ann, "JOIN"), (QStringList{"Lobby", "bob"}));
    EXPECT_EQ(listed(*ann, "UCHR", "Lobby"), (QStringList{"ann", "bob"}));
    EXPECT_EQ(listed(*bob, "UCHR", "LOBBY"), (QStringList{"ann", "bob"}));
    EXPECT_EQ(decodeList(bob->request("GCHR", {})->payload), QStringList{"Lobby"});

    bob->send("MCHR", chatRecord("Lobby", "hello from B"));
    EXPECT_EQ(next(*ann, "MESS"), (QStringList{"Lobby", "bob: hello from B"}));
    EXPECT_EQ(next(*bob, "MESS"), (QStringList{"Lobby", "bob: hello from B"}));
    ann->send("MCHR", chatRecord("Lobby", "and from A"));
    EXPECT_EQ(next(*bob, "MESS"), (QStringList{"Lobby", "ann: and from A"}));
    EXPECT_EQ(next(*ann, "MESS"), (QStringList{"Lobby", "ann: and from A"}));

    // Project chat reaches the project's sessions on both servers.
    ASSERT_TRUE(isGood(ann->request("APRO", projectRecord("Site", {}, "pw"))));
    ASSERT_TRUE(isGood(bob->request("JPRO", projectRecord("Site", {}, "pw"))));
    TNetworkProject line;
    line.ProjectName = "Site";
    line.MessageText = "project news";
    ann->send("MPRO", line.toBytes());
    EXPECT_EQ(next(*bob, "MESP"), (QStringList{"Site", "ann: project news"}));
    EXPECT_EQ(next(*ann, "MESP"), (QStringList{"Site", "ann: project news"}));

    // Leaving is seen on the other server, in its member list too.
    ASSERT_TRUE(isGood(bob->request("LCHR", chatRecord("Lobby"))));
    EXPECT_EQ(next(*ann, "LEAV"), (QStringList{"Lobby", "bob"}));
    EXPECT_EQ(listed(*ann, "UCHR", "Lobby"), QStringList{"ann"});
    // So is a server that stops: its members leave with it, and the room
    // closes with its last member.
    ASSERT_TRUE(isGood(bob->request("JCHR", chatRecord("Lobby"))));
    EXPECT_EQ(next(*ann, "JOIN"), (QStringList{"Lobby", "bob"}));
    EXPECT_EQ(b.stop(), 0);
    EXPECT_EQ(next(*ann, "LEAV"), (QStringList{"Lobby", "bob"}));
    EXPECT_EQ(listed(*ann, "UCHR", "Lobby"), QStringList{"ann"});
    ASSERT_TRUE(isGood(ann->request("LCHR", chatRecord("Lobby"))));
    EXPECT_FALSE(isGood(ann->request("JCHR", chatRecord("Lobby"))));
}

TEST_F(PostgreSQLInstances, AKilledServerLeavesItsRoomsInBoundedTimeAndItsBookingsHeld)
{
    annOpensLobbyAndSiteBobJoinsTheRoom();
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(isGood(ann->request("BFOU", projectRecord("Site", "index.htm"))));
    ASSERT_TRUE(isGood(bob->request("JPRO", projectRecord("Site", {}, "pw"))));

    ::kill(pid_t(a.process.processId()), SIGKILL);
    ASSERT_TRUE(a.process.waitForFinished(5000));
    QElapsedTimer sinceKill;
    sinceKill.start();

    // ann's membership goes within the silence allowed plus one heartbeat
    // (and a second for the machine).
    constexpr int kBoundMs = Halvorn::HalvornServer::kInstanceSilenceS * 1000
                             + Halvorn::HalvornServer::kInstanceHeartbeatMs + 1000;
    EXPECT_EQ(next(*bob, "LEAV", kBoundMs), (QStringList{"Lobby", "ann"}));
    EXPECT_LT(sinceKill.elapsed(), kBoundMs);
    EXPECT_EQ(listed(*bob, "UCHR", "Lobby"), QStringList{"bob"});

    // B serves on: new sign-ins, chat, and ann's booking is still hers.
    auto cat = signedIn(b, "cat");
    ASSERT_TRUE(cat);
    ASSERT_TRUE(isGood(cat->request("JCHR", chatRecord("Lobby"))));
    cat->send("MCHR", chatRecord("Lobby", "still here"));
    EXPECT_EQ(next(*bob, "MESS"), (QStringList{"Lobby", "cat: still here"}));
    EXPECT_FALSE(isGood(bob->request("BFOU", projectRecord("Site", "index.htm"))));
    EXPECT_EQ(decodeList(bob->request("FLIS", projectRecord("Site"))->payload),
              (QStringList{"index.htm", "ann", "TRUE"}));
    auto annAgain = signedIn(b, "ann", false);
    ASSERT_TRUE(annAgain);
    EXPECT_TRUE(isGood(annAgain->request("JPRO", projectRecord("Site", {}, "pw"))));
    EXPECT_TRUE(isGood(annAgain->request("UPFL", projectRecord("Site", "index.htm") + EncodeString("<p>v2"))));
}

TEST_F(PostgreSQLInstances, ProjectUserListHoldsTheSessionsOnEveryServer)
{
    annOpensLobbyAndSiteBobJoinsTheRoom();
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(isGood(bob->request("JPRO", projectRecord("Site", {}, "pw"))));
    auto cat = signedIn(b, "cat");
    ASSERT_TRUE(cat);
    ASSERT_TRUE(isGood(cat->request("JPRO", projectRecord("Site", {}, "pw"))));
    const auto users = [](RawClient &c) { return decodeList(c.request("UPRO", projectRecord("Site"))->payload); };
    EXPECT_EQ(users(*ann), (QStringList{"ann", "bob", "cat"}));
    EXPECT_EQ(users(*bob), (QStringList{"ann", "bob", "cat"}));

    // Gone when they leave, are removed, disconnect, or their server stops.
    ASSERT_TRUE(isGood(cat->request("LPRO", projectRecord("Site"))));
    EXPECT_EQ(users(*ann), (QStringList{"ann", "bob"}));
    ASSERT_TRUE(isGood(cat->request("JPRO", projectRecord("Site", {}, "pw"))));
    ASSERT_TRUE(isGood(ann->request("REMM", projectRecord("Site", {}, {}, "cat"))));
    EXPECT_EQ(users(*ann), (QStringList{"ann", "bob"}));
    bob.reset();
    EXPECT_TRUE(waitUntil([&] { return users(*ann) == QStringList{"ann"}; }, 2000));
    auto dan = signedIn(b, "dan");
    ASSERT_TRUE(dan);
    ASSERT_TRUE(isGood(dan->request("JPRO", projectRecord("Site", {}, "pw"))));
    EXPECT_EQ(users(*ann), (QStringList{"ann", "dan"}));
    EXPECT_EQ(b.stop(), 0);
    EXPECT_EQ(users(*ann), QStringList{"ann"});
}

TEST_F(PostgreSQLInstances, ABurstOfChatReachesTheOtherServerWholeAndInOrder)
{
    // More than one notification holds: the burst is split.
    constexpr int kLines = 80;
    restartServers({"--max-messages-per-second", QString::number(kLines)});
    if (HasFatalFailure())
        return;
    annOpensLobbyAndSiteBobJoinsTheRoom();
    if (HasFatalFailure())
        return;
    QByteArray burst;
    // Quotes, backslashes and letters beyond ASCII travel as they are.
    const QString filler = QStringLiteral("it's a \\ \"line\" \u00e9 $$ ").repeated(8);
    for (int i = 0; i < kLines; ++i)
        burst += EncodePacket("MCHR", chatRecord("Lobby", QStringLiteral("%1 %2").arg(i).arg(filler)));
    ann->socket.write(burst);
    for (int i = 0; i < kLines; ++i)
        ASSERT_EQ(next(*bob, "MESS"), (QStringList{"Lobby", QStringLiteral("ann: %1 %2").arg(i).arg(filler)})) << i;
}

TEST_F(PostgreSQLInstances, MessageRateHoldsForAUserOnBothServers)
{
    constexpr int kPerSecond = 3;
    restartServers({"--max-messages-per-second", QString::number(kPerSecond)});
    if (HasFatalFailure())
        return;
    auto annOnA = signedIn(a, "ann");
    ASSERT_TRUE(annOnA);
    auto annOnB = signedIn(b, "ann", false);
    ASSERT_TRUE(annOnB);
    auto bob = signedIn(b, "bob");
    ASSERT_TRUE(bob);
    for (RawClient *c : {annOnA.get(), annOnB.get(), bob.get()})
        ASSERT_TRUE(isGood(c->request("ACHR", chatRecord("Lobby"))));

    // ann's quota spent on A, then one more through B within the same
    // second: B drops it and tells her. (A window that passes meanwhile on
    // a busy machine is tried again.)
    bool withinOneSecond = false;
    for (int attempt = 0; attempt < 5 && !withinOneSecond; ++attempt) {
        waitUntil([] { return false; }, 1100);  // a new window for ann
        bob->inbox.clear();
        annOnB->inbox.clear();
        QElapsedTimer window;
        window.start();
        for (int i = 0; i < kPerSecond; ++i) {
            annOnA->send("MCHR", chatRecord("Lobby", QStringLiteral("from A %1").arg(i)));
            EXPECT_EQ(next(*bob, "MESS"), (QStringList{"Lobby", QStringLiteral("ann: from A %1").arg(i)}));
        }
        annOnB->send("MCHR", chatRecord("Lobby", "from B"));
        withinOneSecond = window.elapsed() < 700;
        const QStringList heard = next(*bob, "MESS", 500);
        if (!withinOneSecond)
            continue;
        EXPECT_EQ(heard, QStringList{"nothing within the time"});
        QStringList notice;
        while (!(notice = next(*annOnB, "MESS", 1000)).isEmpty() && notice.value(1).startsWith("ann: from A"))
            ;
        EXPECT_TRUE(notice.value(1).startsWith("Halvorn server (only you see this): You are sending messages too fast"))
            << notice.join(" | ").toStdString();
    }
    EXPECT_TRUE(withinOneSecond) << "the machine was too busy to send four messages within a second";
}

// A user whose server is killed and who is back in the room through the other
// one before the dead server is cleared away has not left: only those who
// are gone for good are announced.
TEST_F(PostgreSQLInstances, AUserBackThroughTheOtherServerIsNotAnnouncedLeaving)
{
    annOpensLobbyAndSiteBobJoinsTheRoom();
    if (HasFatalFailure())
        return;
    auto dan = signedIn(a, "dan");
    ASSERT_TRUE(dan);
    ASSERT_TRUE(isGood(dan->request("JCHR", chatRecord("Lobby"))));

    ::kill(pid_t(a.process.processId()), SIGKILL);
    ASSERT_TRUE(a.process.waitForFinished(5000));
    auto annAgain = signedIn(b, "ann", false);
    ASSERT_TRUE(annAgain);
    ASSERT_TRUE(isGood(annAgain->request("JCHR", chatRecord("Lobby"))));

    constexpr int kBoundMs = Halvorn::HalvornServer::kInstanceSilenceS * 1000
                             + Halvorn::HalvornServer::kInstanceHeartbeatMs + 1000;
    EXPECT_EQ(next(*bob, "LEAV", kBoundMs), (QStringList{"Lobby", "dan"}));
    EXPECT_EQ(next(*bob, "LEAV", 2 * Halvorn::HalvornServer::kInstanceHeartbeatMs), QStringList{"nothing within the time"});
    EXPECT_EQ(listed(*bob, "UCHR", "Lobby"), (QStringList{"ann", "bob"}));
}

// Stops or starts the tests' PostgreSQL server (tests/support/postgresql.sh).
bool controlPostgres(const QString &command)
{
    return QProcess::execute(QStringLiteral("bash"), {qEnvironmentVariable("HALVORN_TEST_POSTGRESQL_CTL"), command}) == 0;
}

TEST_F(PostgreSQLInstances, ServersAnswerWhileTheDatabaseIsDownAndCarryOnOnceItIsBack)
{
    annOpensLobbyAndSiteBobJoinsTheRoom();
    if (HasFatalFailure())
        return;

    ASSERT_TRUE(controlPostgres("stop"));
    // Down for longer than a server may be silent before it is taken for
    // dead, the servers trying to reconnect meanwhile: requests that need
    // the database get the failure reply at once all along, and chat within
    // one server goes on.
    QElapsedTimer down;
    down.start();
    int rounds = 0;
    while (down.elapsed() < Halvorn::HalvornServer::kInstanceSilenceS * 1000 + 1500) {
        for (const auto &[word, record] : {std::pair{"BFOU", projectRecord("Site", "index.htm")},
                                           std::pair{"ACHR", chatRecord("Other")},
                                           std::pair{"APRO", projectRecord("Else", {}, "pw")}}) {
            QElapsedTimer took;
            took.start();
            const auto r = ann->request(word, record, 3000);
            ASSERT_TRUE(r) << word << ": no reply";
            EXPECT_FALSE(isGood(r)) << word;
            EXPECT_LT(took.elapsed(), 1000) << word;
        }
        // Lists too: an empty list would say there is nothing.
        for (const auto &[word, record] : {std::pair{"GCHR", QByteArray()}, std::pair{"UCHR", chatRecord("Lobby")},
                                           std::pair{"VPRO", QByteArray()}, std::pair{"FLIS", projectRecord("Site")},
                                           std::pair{"UPRO", projectRecord("Site")}}) {
            const auto r = ann->request(word, record, 3000);
            ASSERT_TRUE(r) << word << ": no reply";
            EXPECT_TRUE(IsFailurePayload(r->payload)) << word << " answered " << r->payload.toHex().constData();
        }
        ann->send("MCHR", chatRecord("Lobby", QStringLiteral("anyone? %1").arg(++rounds)));
        EXPECT_EQ(next(*ann, "MESS"), (QStringList{"Lobby", QStringLiteral("ann: anyone? %1").arg(rounds)}));
        waitUntil([] { return false; }, 300);
    }

    ASSERT_TRUE(controlPostgres("start"));
    // Back within a few heartbeats, on both servers, chat between them too.
    EXPECT_TRUE(waitUntil([&] { return isGood(ann->request("BFOU", projectRecord("Site", "index.htm"), 1000)); }, 10000));
    EXPECT_TRUE(waitUntil([&] { return listed(*bob, "UCHR", "Lobby") == QStringList{"ann", "bob"}; }, 10000));
    bob->send("MCHR", chatRecord("Lobby", "back"));
    EXPECT_EQ(next(*ann, "MESS"), (QStringList{"Lobby", "bob: back"}));
    EXPECT_TRUE(signedIn(a, "cat"));
    // Nobody was taken for dead while all were cut off.
    EXPECT_FALSE(ann->hasPacket("LEAV"));
    EXPECT_FALSE(bob->hasPacket("LEAV"));
}

} // namespace
