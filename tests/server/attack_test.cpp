// halvorn-server as a process on 127.0.0.1 against clients that try to
// freeze it, fill its memory, guess passwords or use up its descriptors.
// Memory and CPU time are read from /proc; every case is bounded in time.
#include "networkrecords.h"
#include "procstats.h"
#include "rawclient.h"
#include "serverprocess.h"
#include "testrecords.h"
#include "waituntil.h"
#include "wireformat.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <vector>

#include <sys/stat.h>

using namespace Quorvant::Network;

namespace {

QHostAddress loopback(int last)
{
    return QHostAddress(QStringLiteral("127.0.0.%1").arg(last));
}

bool signedIn(const std::optional<RawPacket> &p)
{
    return p && !p->payload.isEmpty() && p->payload[0] == 1;
}

// Milliseconds from sending to the room's echo of the message.
qint64 chatRoundTrip(RawClient &c, const QString &room, int n)
{
    QElapsedTimer t;
    t.start();
    c.send("MCHR", chatRecord(room, QStringLiteral("ping %1").arg(n)));
    return c.waitFor("MESS", 20000) ? t.elapsed() : 20000;
}

bool closedByServer(QTcpSocket &s)
{
    if (s.state() == QAbstractSocket::UnconnectedState)
        return true;
    s.waitForReadyRead(0);
    s.readAll();
    return s.state() == QAbstractSocket::UnconnectedState;
}

class Attack : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // Chat round trips measure how fast others are served: the message
    // quota of one sender is not what these tests are about.
    void start(const QStringList &options)
    {
        ASSERT_TRUE(server.start(dir.filePath("halvorn.db"), QStringList{"--max-messages-per-second", "100000"} + options)) << server.process.readAllStandardError().constData();
        pid = server.process.processId();
    }

    // A signed-in client from `from` (a new account).
    std::unique_ptr<RawClient> member(const QString &name, int from = 1)
    {
        auto c = std::make_unique<RawClient>();
        if (!c->connectTo(server.port, loopback(from)) || !c->signIn(name, "pw", true))
            return nullptr;
        return c;
    }

    QTemporaryDir dir;
    ServerProcess server;
    qint64 pid = 0;
};

} // namespace

TEST_F(Attack, SignInFloodLeavesOthersChatFast)
{
    // Every guess is hashed: the limiter is opened up so the flood reaches the hashing.
    start({"--hash-iterations", "10000", "--free-password-attempts", "100000"});
    auto bob = member("bob");
    ASSERT_TRUE(bob);
    ASSERT_TRUE(isGood(bob->request("ACHR", chatRecord("Lobby"))));
    EXPECT_LT(chatRoundTrip(*bob, "Lobby", 0), 1000);

    struct Flooder
    {
        QTcpSocket socket;
        TPacketReassembler reassembler;
        bool answered = false;
    };
    std::vector<std::unique_ptr<Flooder>> flood;
    for (int i = 0; i < 200; ++i) {
        auto f = std::make_unique<Flooder>();
        ASSERT_TRUE(f->socket.bind(loopback(2)));
        f->socket.connectToHost(QHostAddress::LocalHost, server.port);
        Flooder *raw = f.get();
        QObject::connect(&raw->socket, &QTcpSocket::readyRead, &raw->socket, [raw] {
            raw->reassembler.feed(raw->socket.readAll(), [raw](const QByteArray &word, const QByteArray &) {
                raw->answered = raw->answered || word == "LRES";
                return true;
            });
        });
        flood.push_back(std::move(f));
    }
    for (auto &f : flood) {
        ASSERT_TRUE(f->socket.waitForConnected(5000));
        f->socket.write(EncodePacket("LOGI", login("bob", QStringLiteral("guess%1").arg(&f - &flood[0]))));
        f->socket.flush();
    }
    const auto answered = [&] {
        return std::count_if(flood.begin(), flood.end(), [](const auto &f) { return f->answered; });
    };

    std::vector<qint64> trips;
    for (int n = 1; n <= 20; ++n)
        trips.push_back(chatRoundTrip(*bob, "Lobby", n));
    // The round trips were measured while the hashing went on.
    EXPECT_LT(answered(), 150);
    std::sort(trips.begin(), trips.end());
    EXPECT_LT(trips[trips.size() / 2], 100) << "median chat round trip during the flood";
    EXPECT_LT(trips.back(), 500) << "slowest chat round trip during the flood";

    // Every sign-in is answered (refused) in the end.
    EXPECT_TRUE(waitUntil([&] { return answered() == 200; }, 60000)) << answered();
}

TEST_F(Attack, UnfinishedPacketsAreBoundedAndTimedOut)
{
    server.freedMemoryReturnsAtOnce = true;
    start({"--sign-in-timeout", "2", "--idle-timeout", "2"});
    const qint64 before = ProcStats::residentBytes(pid);

    // 30 connections each announce 16 MiB, send 4 MiB of it, then trickle.
    std::vector<std::unique_ptr<QTcpSocket>> tricklers;
    const QByteArray body(4 * kMiB, 'x');
    for (int i = 0; i < 30; ++i) {
        auto s = std::make_unique<QTcpSocket>();
        s->connectToHost(QHostAddress::LocalHost, server.port);
        ASSERT_TRUE(s->waitForConnected(5000));
        s->write(packetHeader("ADDP", kMaxMessageSize) + body);
        tricklers.push_back(std::move(s));
    }
    auto signedInTrickler = member("ann");
    ASSERT_TRUE(signedInTrickler);
    signedInTrickler->socket.write(packetHeader("ADDP", 1024 * 1024));

    QElapsedTimer clock;
    clock.start();
    qint64 peak = 0;
    const auto allClosed = [&] {
        return std::all_of(tricklers.begin(), tricklers.end(), [](auto &s) { return closedByServer(*s); })
               && closedByServer(signedInTrickler->socket);
    };
    while (clock.elapsed() < 6000 && !allClosed()) {
        for (auto &s : tricklers) {
            if (s->state() == QAbstractSocket::ConnectedState)
                s->write("x", 1);
        }
        if (signedInTrickler->socket.state() == QAbstractSocket::ConnectedState)
            signedInTrickler->socket.write("x", 1);
        waitUntil([] { return false; }, 300);
        peak = std::max(peak, ProcStats::residentBytes(pid));
    }
    EXPECT_TRUE(allClosed()) << "connections that only trickle bytes outlived their deadlines";
    EXPECT_LT(clock.elapsed(), 5000);
    std::printf("server resident memory: %lld MiB before, %lld MiB at the peak\n", before / kMiB, peak / kMiB);
    EXPECT_LT(peak - before, 24 * kMiB) << "resident memory grew from " << before / kMiB << " MiB to " << peak / kMiB;
    EXPECT_EQ(server.process.state(), QProcess::Running);
}

TEST_F(Attack, ClientsThatStopReadingAreDroppedAndTheirMemoryReturns)
{
    server.freedMemoryReturnsAtOnce = true;
    start({"--max-output-total", "32", "--accounts-per-address", "0"});
    auto ann = member("ann");
    ASSERT_TRUE(ann);
    ASSERT_TRUE(isGood(ann->request("APRO", projectRecord("Big", {}, "pw"))));
    QByteArray content(kMiB, '\0');
    for (qsizetype i = 0; i < content.size(); ++i)
        content[i] = char(i * 13 + i / 1000);
    ASSERT_TRUE(isGood(ann->request("ADDP", projectRecord("Big", "big.bin") + EncodeString(content), 20000)));
    ASSERT_TRUE(ann->request("GTFD", projectRecord("Big", "big.bin"), 20000));
    waitUntil([] { return false; }, 600);
    const qint64 before = ProcStats::residentBytes(pid);

    // Ten members ask for the file 60 times each and read nothing.
    std::vector<std::unique_ptr<RawClient>> sleepers;
    for (int i = 0; i < 10; ++i) {
        auto c = member(QStringLiteral("sleeper%1").arg(i));
        ASSERT_TRUE(c);
        ASSERT_TRUE(isGood(c->request("JPRO", projectRecord("Big", {}, "pw"))));
        c->socket.setReadBufferSize(1024);
        for (int k = 0; k < 60; ++k)
            c->send("GTFD", projectRecord("Big", "big.bin"));
        sleepers.push_back(std::move(c));
    }
    qint64 peak = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        waitUntil([] { return false; }, 100);
        peak = std::max(peak, ProcStats::residentBytes(pid));
    }
    EXPECT_LT(peak - before, 80 * kMiB) << "resident memory grew from " << before / kMiB << " MiB to " << peak / kMiB;

    // The reading member is still served.
    const auto file = ann->request("GTFD", projectRecord("Big", "big.bin"), 20000);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->payload.size(), EncodeString("big.bin").size() + EncodeString(content).size());

    // Once they are gone, so is their memory.
    sleepers.clear();
    EXPECT_TRUE(waitUntil([&] { return ProcStats::residentBytes(pid) - before < 16 * kMiB; }, 5000));
    std::printf("server resident memory: %lld MiB before, %lld MiB at the peak, %lld MiB after the clients left\n",
                before / kMiB, peak / kMiB, ProcStats::residentBytes(pid) / kMiB);
}

TEST_F(Attack, PasswordGuessesAreSlowedDownWithoutLockingAnyoneOut)
{
    start({"--hash-iterations", "10000", "--password-delay", "200", "--max-password-delay", "1600"});
    ASSERT_TRUE(member("ann"));
    ASSERT_TRUE(member("bob"));

    // An unknown account answers in the time of a known one. Compared by the
    // quickest of eight each, taken in turns (one attempt on each account,
    // from an address of its own, so all within the free attempts): a busy
    // machine only ever adds to a time, so the quickest is the nearest to the
    // work. The clients connect first, together, so that the greeting's pause
    // is waited for once.
    constexpr int kSamples = 8;
    std::vector<std::unique_ptr<RawClient>> creators;
    for (int i = 0; i < kSamples; ++i) {
        creators.push_back(std::make_unique<RawClient>());
        ASSERT_TRUE(creators.back()->connectTo(server.port, loopback(70 + i)));
    }
    for (int i = 0; i < kSamples; ++i)
        ASSERT_TRUE(creators[size_t(i)]->signIn(QStringLiteral("known%1").arg(i), "pw", true));
    std::vector<std::unique_ptr<RawClient>> clients;
    for (int i = 0; i < 2 * kSamples; ++i) {
        clients.push_back(std::make_unique<RawClient>());
        ASSERT_TRUE(clients.back()->connectTo(server.port, loopback(100 + i)));
    }
    auto attemptUs = [&](RawClient &c, const QString &user) {
        if (!c.waitFor("LOGI"))
            return qint64(-1);
        QElapsedTimer t;
        t.start();
        c.send("LOGI", login(user, "wrong"));
        const auto answer = c.waitFor("LRES");
        return answer && !signedIn(answer) ? t.nsecsElapsed() / 1000 : qint64(-1);
    };
    std::vector<qint64> known, unknown;
    for (int i = 0; i < kSamples; ++i) {
        known.push_back(attemptUs(*clients[size_t(2 * i)], QStringLiteral("known%1").arg(i)));
        unknown.push_back(attemptUs(*clients[size_t(2 * i + 1)], QStringLiteral("nobody%1").arg(i)));
    }
    const qint64 quickestKnown = *std::min_element(known.begin(), known.end());
    const qint64 quickestUnknown = *std::min_element(unknown.begin(), unknown.end());
    ASSERT_GT(quickestKnown, 0);  // -1: an attempt went wrong
    ASSERT_GT(quickestUnknown, 0);
    EXPECT_GT(quickestUnknown * 2, quickestKnown) << "unknown " << quickestUnknown << " us, known " << quickestKnown << " us";
    EXPECT_LT(quickestUnknown, quickestKnown * 2 + 20000) << "unknown " << quickestUnknown << " us, known " << quickestKnown << " us";

    // Seven guesses at bob's password: three free, then 200, 400, 800, 1600 ms.
    RawClient guesser;
    ASSERT_TRUE(guesser.connectTo(server.port, loopback(30)));
    ASSERT_TRUE(guesser.waitFor("LOGI"));
    auto carl = member("carl");
    ASSERT_TRUE(carl);
    ASSERT_TRUE(isGood(carl->request("ACHR", chatRecord("Lobby"))));
    QElapsedTimer clock;
    clock.start();
    qint64 slowestTrip = 0;
    for (int i = 0; i < 7; ++i) {
        guesser.send("LOGI", login("bob", QStringLiteral("guess%1").arg(i)));
        // Others are served meanwhile.
        while (!guesser.hasPacket("LRES") && clock.elapsed() < 20000)
            slowestTrip = std::max(slowestTrip, chatRoundTrip(*carl, "Lobby", i));
        const auto answer = guesser.waitFor("LRES", 0);
        ASSERT_TRUE(answer);
        ASSERT_FALSE(signedIn(answer));
    }
    EXPECT_GE(clock.elapsed(), 2800) << "seven wrong guesses took only " << clock.elapsed() << " ms";
    EXPECT_LT(slowestTrip, 300);

    // The owner still gets in with the right password, after a wait at most.
    RawClient owner;
    ASSERT_TRUE(owner.connectTo(server.port, loopback(31)));
    clock.restart();
    ASSERT_TRUE(owner.signIn("bob", "pw"));
    EXPECT_LT(clock.elapsed(), 1600 + 500 + 2000);  // the longest wait, the greeting pause, slack

    // Project passwords the same way.
    ASSERT_TRUE(isGood(carl->request("APRO", projectRecord("Secret", {}, "right"))));
    auto dan = member("dan");
    ASSERT_TRUE(dan);
    clock.restart();
    for (int i = 0; i < 6; ++i) {
        const auto answer = dan->request("JPRO", projectRecord("Secret", {}, QStringLiteral("guess%1").arg(i)), 10000);
        ASSERT_TRUE(answer);
        ASSERT_FALSE(GoodPacket(answer->payload));
    }
    EXPECT_GE(clock.elapsed(), 1300) << "six wrong project passwords took only " << clock.elapsed() << " ms";
    EXPECT_TRUE(isGood(dan->request("JPRO", projectRecord("Secret", {}, "right"), 10000)));
}

TEST_F(Attack, JunkAndGuessesOfClientsThatLeftDoNotSlowAnHonestSignIn)
{
    // An address slowed down waits 4 s per attempt; every wait is logged.
    const QString logPath = dir.filePath("server.log");
    start({"--log", logPath, "--password-delay", "4000", "--max-password-delay", "4000"});
    const auto logText = [&] {
        QFile file(logPath);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    const auto peerOf = [](const RawClient &c) {
        return QStringLiteral("%1:%2").arg(c.socket.localAddress().toString()).arg(c.socket.localPort());
    };
    // The wait logged for the client's attempt on `target` (-1: none logged).
    const auto loggedWait = [&](const RawClient &c, const QString &target) {
        const QRegularExpression line(QStringLiteral("password attempt %1 on %2 waits (\\d+) ms")
                                          .arg(QRegularExpression::escape(peerOf(c)), target));
        const QRegularExpressionMatch m = line.match(logText());
        return m.hasMatch() ? m.captured(1).toLongLong() : qint64(-1);
    };
    const auto signInFrom = [&](RawClient &c, int from, const QString &user, const QString &password) {
        if (!c.connectTo(server.port, loopback(from)) || !c.waitFor("LOGI"))
            return false;
        c.send("LOGI", login(user, password));
        return true;
    };
    ASSERT_TRUE(member("ann"));

    // Sign-in records cut short are refused at once and are no password
    // attempts, however many come.
    RawClient junk;
    ASSERT_TRUE(junk.connectTo(server.port, loopback(40)));
    ASSERT_TRUE(junk.waitFor("LOGI"));
    for (int i = 0; i < 6; ++i) {
        junk.send("LOGI", "ab");
        const auto answer = junk.waitFor("LRES");
        ASSERT_TRUE(answer) << i;
        EXPECT_FALSE(signedIn(answer));
    }
    RawClient afterJunk;
    ASSERT_TRUE(signInFrom(afterJunk, 40, "ann", "pw"));
    EXPECT_TRUE(signedIn(afterJunk.waitFor("LRES", 15000)));
    EXPECT_FALSE(logText().contains("password attempt 127.0.0.40:"));

    // Three failed guesses slow the address down. Guesses queued behind them
    // whose clients leave before their turn give it back: the next client
    // from there waits no longer than the failures alone make it.
    for (int i = 0; i < 3; ++i) {
        RawClient guesser;
        ASSERT_TRUE(signInFrom(guesser, 41, QStringLiteral("nobody%1").arg(i), "wrong"));
        const auto answer = guesser.waitFor("LRES", 15000);
        ASSERT_TRUE(answer) << i;
        EXPECT_FALSE(signedIn(answer));
    }
    for (int i = 0; i < 4; ++i) {
        RawClient gone;
        const QString target = QStringLiteral("ghost%1").arg(i);
        ASSERT_TRUE(signInFrom(gone, 41, target, "x"));
        ASSERT_TRUE(waitUntil([&] { return loggedWait(gone, target) >= 0; }, 5000)) << i;
        gone.socket.abort();
    }
    RawClient honest;
    ASSERT_TRUE(signInFrom(honest, 41, "ann", "pw"));
    ASSERT_TRUE(waitUntil([&] { return loggedWait(honest, "ann") >= 0; }, 5000));
    EXPECT_LE(loggedWait(honest, "ann"), 4000);
    EXPECT_TRUE(signedIn(honest.waitFor("LRES", 15000)));
}

TEST_F(Attack, NewAccountsPerAddressAreLimited)
{
    start({"--accounts-per-address", "3"});
    for (int i = 0; i < 4; ++i) {
        RawClient c;
        ASSERT_TRUE(c.connectTo(server.port, loopback(5)));
        ASSERT_TRUE(c.waitFor("LOGI"));
        EXPECT_EQ(isGood(c.request("CRAT", login(QStringLiteral("user%1").arg(i), "pw"))), i < 3) << i;
    }
    EXPECT_TRUE(member("elsewhere", 6));
}

TEST_F(Attack, ListenerPausesAtTheDescriptorLimitAndResumes)
{
    start({"--listen-backlog", "77"});
    // The backlog asked for is the one used.
    QProcess ss;
    ss.start("ss", {"-Hltn", QStringLiteral("sport = :%1").arg(server.port)});
    ASSERT_TRUE(ss.waitForFinished(5000));
    const QList<QByteArray> columns = ss.readAllStandardOutput().simplified().split(' ');
    EXPECT_EQ(columns.value(2), "77");

    // The soft limit only: raising it back needs no privilege.
    const auto setLimit = [&](qint64 n) {
        return QProcess::execute("prlimit", {"--pid", QString::number(pid), QStringLiteral("--nofile=%1:").arg(n)}) == 0;
    };
    const qint64 ownLimit = ProcStats::openFilesLimit(pid);
    ASSERT_GT(ownLimit, 100);
    ASSERT_TRUE(setLimit(ProcStats::openDescriptors(pid) + 8));
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < 40; ++i) {
        auto s = std::make_unique<QTcpSocket>();
        s->connectToHost(QHostAddress::LocalHost, server.port);
        ASSERT_TRUE(s->waitForConnected(5000));
        clients.push_back(std::move(s));
    }
    waitUntil([] { return false; }, 300);
    const qint64 ticks = ProcStats::cpuTicks(pid);
    waitUntil([] { return false; }, 2000);
    EXPECT_LT(ProcStats::cpuTicks(pid) - ticks, 20) << "CPU time of the server in 2 s, in 1/100 s";
    EXPECT_EQ(server.process.state(), QProcess::Running);

    // With descriptors again, everyone waiting is greeted.
    ASSERT_TRUE(setLimit(ownLimit));
    const auto greeted = [&] {
        return std::count_if(clients.begin(), clients.end(), [](auto &s) {
            s->waitForReadyRead(0);
            return s->bytesAvailable() > 0;
        });
    };
    EXPECT_TRUE(waitUntil([&] { return greeted() == 40; }, 5000)) << greeted();
}

TEST_F(Attack, ConnectionsBeyondTheLimitWaitForAFreeSlot)
{
    start({"--max-connections", "5"});
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < 8; ++i) {
        auto s = std::make_unique<QTcpSocket>();
        s->connectToHost(QHostAddress::LocalHost, server.port);
        ASSERT_TRUE(s->waitForConnected(5000));
        clients.push_back(std::move(s));
    }
    const auto greeted = [&](size_t from, size_t to) {
        return std::count_if(clients.begin() + qsizetype(from), clients.begin() + qsizetype(to), [](auto &s) {
            s->waitForReadyRead(0);
            return s->bytesAvailable() > 0;
        });
    };
    waitUntil([&] { return greeted(0, 8) > 5; }, 1500);
    EXPECT_EQ(greeted(0, 5), 5);
    EXPECT_EQ(greeted(5, 8), 0);
    clients[0]->abort();
    clients[1]->abort();
    EXPECT_TRUE(waitUntil([&] { return greeted(5, 8) == 2; }, 5000));
}

TEST_F(Attack, HangupReopensTheLogWhichIsPrivateAndCapped)
{
    const QString logPath = dir.filePath("server.log");
    start({"--log", logPath, "--log-max-size", "4"});
    for (const QString &path : {dir.filePath("halvorn.db"), logPath}) {
        struct stat info{};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u) << path.toStdString();
    }

    // Moved away, as a rotation does; SIGHUP makes the server write a new one.
    ASSERT_TRUE(QFile::rename(logPath, logPath + ".moved"));
    ASSERT_EQ(::kill(pid_t(pid), SIGHUP), 0);
    EXPECT_TRUE(waitUntil([&] { return QFile::exists(logPath); }, 5000));
    RawClient c;
    ASSERT_TRUE(c.connectTo(server.port));
    ASSERT_TRUE(c.waitFor("LOGI"));
    EXPECT_EQ(server.process.state(), QProcess::Running);
    QFile log(logPath);
    ASSERT_TRUE(waitUntil([&] {
        return log.open(QIODevice::ReadOnly) && (log.readAll().contains("connected 127.0.0.1") || (log.close(), false));
    }, 5000));
    log.close();

    // Past 4 KiB the log starts again, the old one kept as .1.
    for (int i = 0; i < 60; ++i) {
        RawClient other;
        ASSERT_TRUE(other.connectTo(server.port));
        other.socket.abort();
    }
    EXPECT_TRUE(waitUntil([&] { return QFile::exists(logPath + ".1"); }, 5000));
    EXPECT_LE(QFileInfo(logPath).size(), 4096);
    EXPECT_LE(QFileInfo(logPath + ".1").size(), 4096);
}

TEST_F(Attack, GreetingTravelsAloneAndPortZeroSuitsClients)
{
    start({});
    // Clients refuse ports above 32000.
    EXPECT_LE(server.port, 32000);

    // The clients read late, as a busy client does: the greeting must still
    // come in a read of its own, the sign-in request in a later one.
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < 50; ++i) {
        auto s = std::make_unique<QTcpSocket>();
        s->connectToHost(QHostAddress::LocalHost, server.port);
        ASSERT_TRUE(s->waitForConnected(5000));
        clients.push_back(std::move(s));
    }
    QThread::msleep(60);
    int alone = 0;
    for (auto &s : clients) {
        ASSERT_TRUE(s->bytesAvailable() > 0 || s->waitForReadyRead(5000));
        alone += s->readAll() == "WELCOME TO HALVORN\r\n" ? 1 : 0;
    }
    EXPECT_EQ(alone, 50);
    for (auto &s : clients) {
        ASSERT_TRUE(s->waitForReadyRead(5000));
        EXPECT_EQ(s->read(kHeaderSize).mid(8, 4), "LOGI");
    }
}
