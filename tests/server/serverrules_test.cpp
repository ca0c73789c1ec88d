// What one user may do to the others, tried as an attacker would against
// the real server process on 127.0.0.1: quotas, bookings, membership and
// roles, names and chat text, 8-bit passwords, message floods.
#include "httpget.h"
#include "messageratelimiter.h"
#include "rawclient.h"
#include "serveraddress.h"
#include "serverprocess.h"
#include "serverquotas.h"
#include "testrecords.h"
#include "waituntil.h"
#include "wireformat.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <deque>
#include <memory>

using namespace Quorvant::Network;

namespace {

const QString kNoticeSender = QStringLiteral("Halvorn server (only you see this)");

bool accepted(RawClient &c, const QByteArray &word, const QByteArray &payload)
{
    const auto r = c.request(word, payload);
    return r && GoodPacket(r->payload) && !IsFailurePayload(r->payload);
}

QByteArray withContent(const QByteArray &record, const QByteArray &content)
{
    return record + EncodeString(content);
}

// The chat lines that have arrived for `c` under `word`, taken out of its inbox.
QStringList takeLines(RawClient &c, const QByteArray &word)
{
    c.hasPacket(word);  // reads what has arrived
    QStringList lines;
    for (qsizetype i = 0; i < c.inbox.size();) {
        if (c.inbox[i].word == word) {
            const QStringList fields = decodeList(c.inbox.takeAt(i).payload);
            lines.append(fields.value(1));
        } else {
            ++i;
        }
    }
    return lines;
}

class ServerRules : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void start(const QStringList &options = {})
    {
        ASSERT_TRUE(server.start(dir.filePath("halvorn.db"), QStringList{"--log", dir.filePath("server.log")} + options))
            << server.process.readAllStandardError().constData();
    }

    // A signed-in connection of `user`, its account created when `create`.
    RawClient &client(const QString &user, bool create = true, const QString &password = QStringLiteral("pw"))
    {
        clients.push_back(std::make_unique<RawClient>());
        RawClient &c = *clients.back();
        EXPECT_TRUE(c.connectTo(server.port));
        EXPECT_TRUE(c.signIn(user, password, create)) << user.toStdString();
        return c;
    }

    // A server started with `options` stops at once, naming the first.
    void expectRefusedAtStart(const QStringList &options)
    {
        ServerProcess refused;
        EXPECT_FALSE(refused.start(dir.filePath("refused.db"), options)) << options.join(' ').toStdString();
        refused.process.waitForFinished(10000);
        EXPECT_NE(refused.stop(), 0);
        EXPECT_TRUE(refused.process.readAllStandardError().contains(options[0].toUtf8())) << options.join(' ').toStdString();
    }

    QString log()
    {
        QFile file(dir.filePath("server.log"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir dir;
    ServerProcess server;
    std::deque<std::unique_ptr<RawClient>> clients;
};

struct Step
{
    int who;  // index into the clients of the test
    const char *word;
    QByteArray payload;
    bool accepted;
};

void runSteps(const std::vector<RawClient *> &who, const std::vector<Step> &steps)
{
    for (size_t i = 0; i < steps.size(); ++i) {
        const Step &s = steps[i];
        EXPECT_EQ(accepted(*who[size_t(s.who)], s.word, s.payload), s.accepted) << "step " << i << " " << s.word;
    }
}

} // namespace

TEST(ServerQuotas, TheBoundsAreTheWidestListsAndTheDefaultsFitAPacket)
{
    using Halvorn::ServerQuotas;
    // The widest names the records can bring: every byte an 8-bit character
    // that takes three bytes of UTF-8.
    const QString room = TNetworkChatRoom::fromBytes(QByteArray(TNetworkChatRoom::Size, '\x80')).RoomName;
    const TNetworkProject project = TNetworkProject::fromBytes(QByteArray(TNetworkProject::Size, '\x80'));
    const QString user = TLoginInfo::fromBytes(QByteArray(TLoginInfo::Size, '\x80')).LoginName;
    ASSERT_EQ(room.size(), ServerQuotas::kRoomNameField);
    ASSERT_EQ(project.FileName.size(), ServerQuotas::kFileNameField);

    const qint64 roomEntry = EncodeString(room.toUtf8()).size();
    const qint64 projectEntry = EncodeString(project.ProjectName.toUtf8()).size();
    const qint64 fileEntry = EncodeString(project.FileName.toUtf8()).size() + EncodeString(user.toUtf8()).size()
                             + EncodeString("FALSE").size();
    EXPECT_EQ(ServerQuotas::channelListBytes(1), kHeaderSize + roomEntry);
    EXPECT_EQ(ServerQuotas::projectListBytes(1), kHeaderSize + projectEntry);
    EXPECT_EQ(ServerQuotas::fileListBytes(1), kHeaderSize + fileEntry);

    const ServerQuotas defaults;
    EXPECT_EQ(defaults.problem(), QString());
    EXPECT_LE(kHeaderSize + defaults.rooms * roomEntry, kMaxMessageSize);
    EXPECT_LE(kHeaderSize + defaults.projects * projectEntry, kMaxMessageSize);
    EXPECT_LE(kHeaderSize + defaults.filesPerProject * fileEntry, kMaxMessageSize);

    // The largest quota of each list still fits; one more is refused.
    struct Bound
    {
        int ServerQuotas::*quota;
        qint64 entry;
        const char *option;
    };
    for (const Bound &b : {Bound{&ServerQuotas::rooms, roomEntry, "--max-rooms"},
                           Bound{&ServerQuotas::projects, projectEntry, "--max-projects"},
                           Bound{&ServerQuotas::filesPerProject, fileEntry, "--max-files-per-project"}}) {
        ServerQuotas q;
        q.*b.quota = int((kMaxMessageSize - kHeaderSize) / b.entry);
        EXPECT_EQ(q.problem(), QString()) << b.option;
        q.*b.quota += 1;
        EXPECT_TRUE(q.problem().startsWith(QLatin1String(b.option))) << q.problem().toStdString();
    }

    // The largest file travels both ways with the widest name.
    EXPECT_LE(kHeaderSize + TNetworkProject::Size + 4 + ServerQuotas::kLargestFile, kMaxMessageSize);
    EXPECT_LE(kHeaderSize + EncodeString(project.FileName.toUtf8()).size() + 4 + ServerQuotas::kLargestFile,
              kMaxMessageSize);
    ServerQuotas big;
    big.bytesPerFile = ServerQuotas::kLargestFile;
    EXPECT_EQ(big.problem(), QString());
    big.bytesPerFile += 1;
    EXPECT_FALSE(big.problem().isEmpty());
}

TEST(MessageRateLimiter, CountsEachSenderInWindowsOfOneSecondAndNotifiesOnce)
{
    using Verdict = Halvorn::MessageRateLimiter::Verdict;
    Halvorn::MessageRateLimiter limiter(2);
    const Verdict expected[] = {Verdict::Forward, Verdict::Forward, Verdict::DropAndNotify, Verdict::Drop};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(limiter.take("Ann", 100 + i), expected[i]) << i;
    EXPECT_EQ(limiter.take("ANN", 1099), Verdict::Drop);  // the same sender, the same window
    EXPECT_EQ(limiter.take("bob", 1099), Verdict::Forward);
    EXPECT_EQ(limiter.take("ann", 1100), Verdict::Forward);  // a new window
    EXPECT_EQ(limiter.take("ann", 1101), Verdict::Forward);
    EXPECT_EQ(limiter.take("ann", 1102), Verdict::DropAndNotify);
}

TEST(MessageRateLimiter, MessagesAnotherServerLetThroughCountInTheSendersWindow)
{
    using Verdict = Halvorn::MessageRateLimiter::Verdict;
    Halvorn::MessageRateLimiter limiter(2);
    limiter.count("ann", 100);  // heard of from another server: never refused here
    EXPECT_EQ(limiter.take("ANN", 200), Verdict::Forward);
    EXPECT_EQ(limiter.take("ann", 300), Verdict::DropAndNotify);
    limiter.count("ann", 400);
    EXPECT_EQ(limiter.take("ann", 1099), Verdict::Drop);
    EXPECT_EQ(limiter.take("ann", 1100), Verdict::Forward);  // the window began with the message heard of
}

TEST_F(ServerRules, QuotasRefuseWhatWouldGrowAListOrTheStore)
{
    start({"--max-rooms-per-user", "3", "--max-rooms", "5", "--max-projects-per-user", "2", "--max-files-per-project",
           "3", "--max-file-bytes", "120", "--max-project-bytes", "250"});
    RawClient &ann = client("ann");
    RawClient &bob = client("bob");
    RawClient &cat = client("cat");
    const QByteArray bytes100(100, 'x');
    runSteps({&ann, &bob, &cat},
             {
                 {0, "ACHR", chatRecord("r1"), true},
                 {0, "ACHR", chatRecord("r2"), true},
                 {0, "ACHR", chatRecord("r3"), true},
                 {0, "ACHR", chatRecord("r4"), false},  // ann's fourth room
                 {1, "ACHR", chatRecord("r5"), true},
                 {1, "ACHR", chatRecord("r6"), true},
                 {2, "ACHR", chatRecord("r7"), false},  // the server's sixth
                 {2, "JCHR", chatRecord("r1"), true},   // joining is no creating
                 {0, "APRO", projectRecord("p1", {}, "pw"), true},
                 {0, "APRO", projectRecord("p2", {}, "pw"), true},
                 {0, "APRO", projectRecord("p3", {}, "pw"), false},
                 {1, "APRO", projectRecord("p3", {}, "pw"), true},
                 {0, "ADDP", withContent(projectRecord("p1", "a.htm"), bytes100), true},
                 {0, "ADDP", withContent(projectRecord("p1", "b.htm"), QByteArray(121, 'x')), false},  // file bytes
                 {0, "ADDP", withContent(projectRecord("p1", "b.htm"), bytes100), true},
                 {0, "ADDP", withContent(projectRecord("p1", "c.htm"), QByteArray(51, 'x')), false},  // project bytes
                 {0, "ADDP", withContent(projectRecord("p1", "c.htm"), QByteArray(50, 'x')), true},
                 {0, "ADDP", withContent(projectRecord("p1", "d.htm"), ""), false},  // files
                 {0, "BFOU", projectRecord("p1", "a.htm"), true},
                 {0, "UPFL", withContent(projectRecord("p1", "a.htm"), QByteArray(101, 'x')), false},  // project bytes
                 {0, "UPFL", withContent(projectRecord("p1", "a.htm"), QByteArray(60, 'x')), true},
             });

    const auto channels = ann.request("GCHR", "....");
    ASSERT_TRUE(channels);
    EXPECT_EQ(decodeList(channels->payload), (QStringList{"r1", "r2", "r3", "r5", "r6"}));
    const auto files = ann.request("FLIS", projectRecord("p1"));
    ASSERT_TRUE(files);
    EXPECT_EQ(decodeList(files->payload).size(), 9);
    // Each refusal leaves a line in the log.
    const QString text = log();
    for (const char *word : {"ACHR", "APRO", "ADDP", "UPFL"})
        EXPECT_TRUE(text.contains(QStringLiteral("refused %1 from").arg(QLatin1String(word)))) << word;

    // A room that closes no longer counts against its creator.
    ASSERT_TRUE(accepted(ann, "LCHR", chatRecord("r2")));
    EXPECT_TRUE(accepted(cat, "ACHR", chatRecord("r7")));

    // Under a lowered quota the project is too big, yet the booked-out file
    // can still be saved as long as it does not grow.
    ASSERT_EQ(server.stop(), 0);
    clients.clear();
    start({"--max-project-bytes", "100"});
    RawClient &annAgain = client("ann", false);
    EXPECT_TRUE(accepted(annAgain, "UPFL", withContent(projectRecord("p1", "a.htm"), QByteArray(40, 'x'))));
    EXPECT_FALSE(accepted(annAgain, "UPFL", withContent(projectRecord("p1", "a.htm"), QByteArray(41, 'x'))));
}

TEST_F(ServerRules, OneUserCannotCreateRoomsWithoutEndUnderTheDefaults)
{
    start();
    RawClient &ann = client("ann");
    const int perUser = Halvorn::ServerQuotas().roomsPerUser;
    int created = 0;
    for (int i = 0; i < perUser + 5; ++i)
        created += accepted(ann, "ACHR", chatRecord(QStringLiteral("room %1").arg(i))) ? 1 : 0;
    EXPECT_EQ(created, perUser);
}

TEST_F(ServerRules, ABookingHoldsAgainstEveryOtherMember)
{
    start({"--max-file-bytes", "1000"});
    RawClient &ann = client("ann");
    RawClient &bob = client("bob");
    ASSERT_TRUE(accepted(ann, "APRO", projectRecord("Site", {}, "pw")));
    ASSERT_TRUE(accepted(ann, "ADDP", withContent(projectRecord("Site", "index.htm"), "v1")));
    ASSERT_TRUE(accepted(ann, "ADDP", withContent(projectRecord("Site", "race.htm"), "r")));
    ASSERT_TRUE(accepted(bob, "JPRO", projectRecord("Site", {}, "pw")));

    // Bob listed the file a moment before Ann booked it out.
    const auto listed = bob.request("FLIS", projectRecord("Site"));
    ASSERT_TRUE(listed);
    EXPECT_EQ(decodeList(listed->payload).mid(0, 3), (QStringList{"index.htm", "ann", "FALSE"}));
    const QByteArray index = projectRecord("Site", "index.htm");
    runSteps({&ann, &bob},
             {
                 {0, "BFOU", index, true},
                 {1, "GTFD", index, false},  // not handed out while held
                 {1, "BFOU", index, false},
                 {1, "BFIN", index, false},  // nor given back by someone else
                 // A failed upload keeps the booking.
                 {0, "UPFL", withContent(index, QByteArray(1001, 'x')), false},
                 {1, "BFOU", index, false},
                 {0, "UPFL", withContent(index, "v2"), true},
                 {0, "GTFD", index, true},
                 {0, "BFIN", index, true},
                 // Held by Bob: not even the file's owner hands it back.
                 {1, "BFOU", index, true},
                 {0, "BFIN", index, false},
                 {0, "GTFD", index, false},
                 {1, "BFIN", index, true},
             });
    const auto fetched = bob.request("GTFD", index);
    ASSERT_TRUE(fetched);
    EXPECT_EQ(decodeList(fetched->payload), (QStringList{"index.htm", "v2"}));

    // Both at once: exactly one booking.
    const QByteArray race = projectRecord("Site", "race.htm");
    ann.send("BFOU", race);
    bob.send("BFOU", race);
    const auto a = ann.waitFor("BFOU");
    const auto b = bob.waitFor("BFOU");
    ASSERT_TRUE(a && b);
    EXPECT_NE(GoodPacket(a->payload), GoodPacket(b->payload));
}

TEST_F(ServerRules, LeavingOrBeingRemovedEndsMembershipAtOnce)
{
    start();
    RawClient &ann = client("ann");
    RawClient &bob = client("bob");
    RawClient &cat = client("cat");
    ASSERT_TRUE(accepted(ann, "APRO", projectRecord("Site", {}, "pw")));
    ASSERT_TRUE(accepted(ann, "ADDP", withContent(projectRecord("Site", "a.htm"), "plans")));
    ASSERT_TRUE(accepted(bob, "JPRO", projectRecord("Site", {}, "pw")));
    ASSERT_TRUE(accepted(cat, "JPRO", projectRecord("Site", {}, "pw")));

    ASSERT_TRUE(accepted(bob, "LPRO", projectRecord("Site")));
    RawClient &bobAgain = client("bob", false);
    for (RawClient *c : {&bob, &bobAgain}) {
        for (const char *word : {"FLIS", "GTFD", "UPRO", "BFOU"})
            EXPECT_FALSE(accepted(*c, word, projectRecord("Site", "a.htm"))) << word;
    }
    const auto users = ann.request("UPRO", projectRecord("Site"));
    ASSERT_TRUE(users);
    EXPECT_EQ(decodeList(users->payload), (QStringList{"ann", "cat"}));
    ann.send("MPRO", projectRecord("Site"));
    ASSERT_TRUE(cat.waitFor("MESP"));
    EXPECT_FALSE(bob.hasPacket("MESP"));
    // Back with the password.
    EXPECT_TRUE(accepted(bobAgain, "JPRO", projectRecord("Site", {}, "pw")));
    EXPECT_TRUE(accepted(bobAgain, "FLIS", projectRecord("Site")));

    // The owner removes a member: that member's session is out at once.
    EXPECT_TRUE(accepted(ann, "REMM", projectRecord("Site", {}, {}, "CAT")));
    EXPECT_FALSE(accepted(cat, "FLIS", projectRecord("Site")));
    ann.send("MPRO", projectRecord("Site"));
    ASSERT_TRUE(bobAgain.waitFor("MESP"));
    EXPECT_FALSE(cat.hasPacket("MESP"));
    EXPECT_FALSE(accepted(ann, "REMM", projectRecord("Site", {}, {}, "cat")));   // no member now
    EXPECT_FALSE(accepted(ann, "REMM", projectRecord("Site", {}, {}, "ann")));   // the owner stays
    EXPECT_TRUE(accepted(ann, "FLIS", projectRecord("Site")));
}

TEST_F(ServerRules, OnlyTheOwnerRulesTheProjectAndOnlyTheAdderRemovesAFile)
{
    start();
    RawClient &ann = client("ann");
    RawClient &bob = client("bob");
    RawClient &cat = client("cat");
    ASSERT_TRUE(accepted(ann, "APRO", projectRecord("Site", {}, "pw")));
    for (RawClient *c : {&bob, &cat})
        ASSERT_TRUE(accepted(*c, "JPRO", projectRecord("Site", {}, "pw")));
    ASSERT_TRUE(accepted(ann, "ADDP", withContent(projectRecord("Site", "ann.htm"), "a")));
    ASSERT_TRUE(accepted(bob, "ADDP", withContent(projectRecord("Site", "bob.htm"), "b")));
    ASSERT_TRUE(accepted(cat, "ADDP", withContent(projectRecord("Site", "cat.htm"), "c")));

    runSteps({&ann, &bob, &cat},
             {
                 {1, "RPRO", projectRecord("Site", {}, "pw"), false},
                 {1, "REMM", projectRecord("Site", {}, {}, "cat"), false},
                 {1, "CHPP", projectRecord("Site", {}, "mine"), false},
                 {1, "REMP", projectRecord("Site", "ann.htm"), false},
                 {1, "REMP", projectRecord("Site", "cat.htm"), false},
                 {1, "REMP", projectRecord("Site", "bob.htm"), true},
                 {0, "REMP", projectRecord("Site", "cat.htm"), true},  // the owner may
                 {0, "CHPP", projectRecord("Site", {}, "new"), true},
                 {2, "LPRO", projectRecord("Site"), true},
                 {2, "JPRO", projectRecord("Site", {}, "pw"), false},
                 {2, "JPRO", projectRecord("Site", {}, "new"), true},
                 // The owner may leave and still remove the project.
                 {0, "LPRO", projectRecord("Site"), true},
                 {0, "RPRO", projectRecord("Site", {}, "pw"), false},
                 {0, "RPRO", projectRecord("Site", {}, "new"), true},
             });
    EXPECT_FALSE(accepted(cat, "FLIS", projectRecord("Site")));
    EXPECT_TRUE(log().contains(QStringLiteral("refused REMM from")));
}

TEST_F(ServerRules, NamesThatCouldDeceiveAreRefused)
{
    start();
    RawClient &ann = client("ann");
    ASSERT_TRUE(accepted(ann, "APRO", projectRecord("Site", {}, "pw")));
    struct Case
    {
        QString name;
        bool accepted;
    };
    const Case cases[] = {
        {QStringLiteral(u"Zoë and Bob"), true},
        {QStringLiteral(u"report\u202Elmth.exe"), false},  // right-to-left override
        {QStringLiteral("trailing "), false},
        {QStringLiteral(" leading"), false},
        {QStringLiteral(u"no\u00A0"), false},
        {QStringLiteral("bell\x07"), false},
        {QStringLiteral("two\r\nlines"), false},
        {QStringLiteral(u"zero\u200Bwidth"), false},
        {QStringLiteral(u"soft\u00ADhyphen"), false},
        {QStringLiteral("a/b"), false},
        {QStringLiteral(".."), false},
    };
    int n = 0;
    for (const Case &c : cases) {
        const std::string label = c.name.toUtf8().toStdString();
        // Every kind of name, each time a fresh one.
        const QString name = c.name + (c.accepted ? QString::number(++n) : QString());
        RawClient fresh;
        ASSERT_TRUE(fresh.connectTo(server.port));
        ASSERT_TRUE(fresh.waitFor("LOGI"));
        EXPECT_EQ(accepted(fresh, "CRAT", TLoginInfo{name, "pw"}.toBytes()), c.accepted) << "user " << label;
        EXPECT_EQ(accepted(ann, "ACHR", chatRecord(name)), c.accepted) << "room " << label;
        EXPECT_EQ(accepted(ann, "APRO", projectRecord(name, {}, "pw")), c.accepted) << "project " << label;
        EXPECT_EQ(accepted(ann, "ADDP", withContent(projectRecord("Site", name), "x")), c.accepted) << "file " << label;
    }
    // A user name with ':' would read as a chat line of someone else.
    RawClient colon;
    ASSERT_TRUE(colon.connectTo(server.port));
    ASSERT_TRUE(colon.waitFor("LOGI"));
    EXPECT_FALSE(accepted(colon, "CRAT", TLoginInfo{"bob: hi", "pw"}.toBytes()));
    EXPECT_TRUE(accepted(ann, "ACHR", chatRecord("bob: hi")));
}

TEST_F(ServerRules, ChatTextStaysOneLineUnderItsSender)
{
    start();
    RawClient &ann = client("ann");
    RawClient &bob = client("bob");
    ASSERT_TRUE(accepted(ann, "ACHR", chatRecord("Lobby")));
    ASSERT_TRUE(accepted(bob, "JCHR", chatRecord("Lobby")));
    ASSERT_TRUE(accepted(ann, "APRO", projectRecord("Site", {}, "pw")));
    ASSERT_TRUE(accepted(bob, "JPRO", projectRecord("Site", {}, "pw")));

    bob.send("MCHR", chatRecord("Lobby", QStringLiteral(u"hi\r\nalice: I am not bob\u2028\u202Eok")));
    const auto mess = ann.waitFor("MESS");
    ASSERT_TRUE(mess);
    EXPECT_EQ(decodeList(mess->payload), (QStringList{"Lobby", "bob: hi  alice: I am not bob  ok"}));

    TNetworkProject p;
    p.ProjectName = "Site";
    p.MessageText = "fine\nann: give bob the keys";
    bob.send("MPRO", p.toBytes());
    const auto mesp = ann.waitFor("MESP");
    ASSERT_TRUE(mesp);
    EXPECT_EQ(decodeList(mesp->payload), (QStringList{"Site", "bob: fine ann: give bob the keys"}));
}

TEST_F(ServerRules, EightBitPasswordsStayApart)
{
    start();
    auto login = [](const QByteArray &name, const QByteArray &password) {
        QByteArray record(TLoginInfo::Size, '\0');
        record.replace(0, name.size(), name);
        record.replace(32, password.size(), password);
        return record;
    };
    const QByteArray umlauts = "\xE4\xF6\xFC\xDF" "2024";  // "äöüß2024" in Windows-1252
    const QByteArray accents = "\xE9\xE8\xEA\xE0" "2024";  // "éèêà2024"
    RawClient c;
    ASSERT_TRUE(c.connectTo(server.port));
    ASSERT_TRUE(c.waitFor("LOGI"));
    ASSERT_TRUE(accepted(c, "CRAT", login("ann", umlauts)));
    auto signsIn = [&](const QByteArray &password) {
        c.send("LOGI", login("ann", password));
        const auto r = c.waitFor("LRES");
        return r && r->payload.startsWith('\1');
    };
    EXPECT_FALSE(signsIn(accents));
    EXPECT_TRUE(signsIn(umlauts));
    // The same password from a client that sends UTF-8.
    EXPECT_TRUE(signsIn(QStringLiteral(u"äöüß2024").toUtf8()));
}

TEST_F(ServerRules, AFloodingSenderIsSlowedAndToldAlone)
{
    const int perSecond = 5;
    // Eleven accounts from one address, more than the hourly default.
    start({"--max-messages-per-second", QString::number(perSecond), "--accounts-per-address", "0"});
    RawClient &flooder = client("flooder");
    ASSERT_TRUE(accepted(flooder, "ACHR", chatRecord("Busy")));
    std::vector<RawClient *> members;
    for (int i = 0; i < 10; ++i) {
        RawClient &m = client(QStringLiteral("member%1").arg(i));
        ASSERT_TRUE(accepted(m, "JCHR", chatRecord("Busy")));
        members.push_back(&m);
    }

    QByteArray flood;
    for (int i = 0; i < 3000; ++i)
        flood += EncodePacket("MCHR", chatRecord("Busy", QStringLiteral("spam %1").arg(i)));
    QElapsedTimer clock;
    clock.start();
    flooder.socket.write(flood);
    // Answered after every message before it was handled.
    ASSERT_TRUE(flooder.request("UCHR", chatRecord("Busy"), 20000));
    const qint64 windows = clock.elapsed() / 1000 + 1;

    const QStringList own = takeLines(flooder, "MESS");
    const qsizetype notices = std::count_if(own.begin(), own.end(), [](const QString &line) {
        return line.startsWith(kNoticeSender + QStringLiteral(": "));
    });
    EXPECT_GE(notices, 1);
    EXPECT_LE(notices, windows);
    waitUntil([] { return false; }, 300);  // the last forwarded lines arrive
    for (RawClient *m : members) {
        const QStringList lines = takeLines(*m, "MESS");
        EXPECT_GE(lines.size(), perSecond);
        EXPECT_LE(lines.size(), perSecond * windows);
        EXPECT_TRUE(std::all_of(lines.begin(), lines.end(), [](const QString &l) { return l.startsWith("flooder: spam"); }));
        EXPECT_EQ(m->socket.state(), QAbstractSocket::ConnectedState);
    }
    EXPECT_TRUE(log().contains(QStringLiteral("dropping chat of")));

    // The others' chat is not held up.
    members[0]->send("MCHR", chatRecord("Busy", "still here"));
    for (RawClient *c : {members[9], &flooder}) {
        QStringList got;  // kept: waitUntil asks once more after the wait
        EXPECT_TRUE(waitUntil([&] {
            got += takeLines(*c, "MESS");
            return got.contains("member0: still here");
        }));
    }
}

TEST_F(ServerRules, QuotasThatCouldNotBeKeptAreRefusedAtStart)
{
    const QStringList bad[] = {
        {"--max-rooms", "400000"},  // the channel list would outgrow a packet
        {"--max-files-per-project", "100000"},
        {"--max-file-bytes", "abc"},
        {"--max-file-bytes", QString::number(kMaxMessageSize)},
        {"--max-messages-per-second", "0"},
    };
    for (const QStringList &options : bad)
        expectRefusedAtStart(options);
}

TEST_F(ServerRules, TheAddressFileNamesTheOtherInstancesAfterThisOne)
{
    start({"--other-instance", "127.0.0.2:4501", "--other-instance", "[::1]:4502", "--public-address", "127.0.0.1"});
    const HttpAnswer answer = httpGet(QStringLiteral("http://127.0.0.1:%1/AddressInfo.dat").arg(server.httpPort));
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body, QStringLiteral("IP=127.0.0.1\r\nPORT=%1\r\nSERVER=127.0.0.2:4501\r\nSERVER=[::1]:4502\r\n")
                               .arg(server.port)
                               .toLatin1());

    // Clients connect to addresses only: anything else stops the start.
    QStringList tooMany;
    for (int i = 1; i <= kMaxAddressFileServers; ++i)
        tooMany << "--other-instance" << QStringLiteral("127.0.0.%1:4500").arg(i);
    const QStringList bad[] = {
        {"--other-instance", "halvorn.example.org:4500"},
        {"--other-instance", "127.0.0.2"},
        {"--other-instance", "127.0.0.2:0"},
        {"--other-instance", "127.0.0.2:65536"},
        {"--other-instance", "::1:4500"},
        {"--other-instance", "127.0.0.2:4500", "--other-instance", "127.0.0.2:4500"},
        tooMany,
        {"--public-address", "halvorn.example.org"},
    };
    for (const QStringList &options : bad)
        expectRefusedAtStart(options);
}
