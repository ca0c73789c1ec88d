// halvorn-server under load on 127.0.0.1: 1,000 clients sign in and chat in
// 50 rooms while some members stop reading. Prints the message fan-out
// latency (send to receipt, every member) and checks p99 < 50 ms, that every
// reading member got every message of its room, and that the server still
// signs in a new client quickly afterwards. With --attack, meanwhile an
// attacker floods sign-ins with wrong passwords and trickles partial packets
// (16 MiB announced) on connections that never sign in; the server's
// resident memory must stay under 256 MiB. Also counts the clients whose
// first read held more than the greeting. Afterwards one client books out a
// 10 MB file (download and booking, target under 0.5 s). With --tls every
// client speaks TLS (a certificate made with openssl for the run; the
// server serves TLS only, so --attack, which speaks plain, does not go with
// it) and the sign-in of all clients must take under 30 s. Bounded: about a minute.
// With --postgresql the servers keep their state in a new database on the
// PostgreSQL server HALVORN_TEST_POSTGRESQL names (run the bench through
// tests/support/postgresql.sh --not-a-test); with --instances N, N servers
// share it, the members of every room spread over them, and the latency is
// also given apart for receivers on the sender's server and on the others.
//
//   server_load_bench [--clients N] [--rooms N] [--messages N] [--rate PER_SECOND]
//                     [--slow N] [--attack] [--tls] [--hash-iterations N]
//                     [--postgresql] [--instances N] [--target-p99 MS]
//                     [--server PATH] [--server-args "ARGS"]
#include "networkrecords.h"
#include "packetreassembler.h"
#include "procstats.h"
#include "serverprocess.h"
#include "testcertificates.h"
#include "wireformat.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <sys/resource.h>

using namespace Quorvant::Network;

namespace {

QElapsedTimer gClock;
const QByteArray kGreeting = QByteArrayLiteral("WELCOME TO HALVORN\r\n");
constexpr qint64 kMiB = 1024 * 1024;

struct LoadClient
{
    int id = 0;
    int room = 0;
    int instance = 0;  // the server it is connected to
    bool reader = true;  // false: stops reading once in its room
    bool joined = false;
    bool failed = false;
    QSslSocket socket;  // unencrypted unless --tls
    TPacketReassembler reassembler;
    qint64 received = 0;

    bool firstRead = true;
    QString name() const { return QStringLiteral("user%1").arg(id); }
    // Eight clients a machine, so new accounts stay within the server's
    // quota per address.
    QHostAddress address() const { return QHostAddress(QStringLiteral("127.1.0.%1").arg(id / 8 + 1)); }
    bool sink = false;   // in the room of the clients that stop reading
    QString roomName() const { return sink ? QStringLiteral("sink") : QStringLiteral("room%1").arg(room); }
    void send(QByteArrayView word, const QByteArray &payload) { socket.write(EncodePacket(word, payload)); }
    // Over TLS when `tls` is given.
    void connectTo(quint16 port, const std::optional<QSslConfiguration> &tls)
    {
        if (!tls) {
            socket.connectToHost(QHostAddress::LocalHost, port);
            return;
        }
        socket.setSslConfiguration(*tls);
        socket.connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
    }
};

template <typename F>
bool runUntil(F done, int ms)
{
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer waited;
    waited.start();
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || waited.elapsed() > ms)
            loop.quit();
    });
    poll.start(5);
    if (!done())
        loop.exec();
    return done();
}

// One client socket of the attacker, opened again whenever the server closes it.
struct AttackSocket
{
    std::unique_ptr<QTcpSocket> socket;
    TPacketReassembler reassembler;
    int opened = 0;
};

// Wrong passwords for the honest clients' accounts, as fast as the server
// answers, from 127.0.0.2; and connections from 127.0.0.3 that announce a
// 16 MiB packet, send 4 MiB of it and then one byte every half second.
class Attacker
{
public:
    Attacker(quint16 port, int floodConnections, int trickleConnections, int accounts)
        : mPort(port), mAccounts(accounts), mFlood(size_t(floodConnections)), mTrickle(size_t(trickleConnections))
    {
        QObject::connect(&mTick, &QTimer::timeout, [this] { tick(); });
    }
    void start()
    {
        tick();
        mTick.start(500);
    }
    void stop()
    {
        mTick.stop();
        for (auto *group : {&mFlood, &mTrickle}) {
            for (AttackSocket &a : *group)
                a.socket.reset();
        }
    }
    int guesses = 0;
    int answers = 0;
    int trickleClosed = 0;

private:
    void open(AttackSocket &a, const char *from)
    {
        a.socket = std::make_unique<QTcpSocket>();
        a.reassembler.reset();
        a.socket->bind(QHostAddress(QString::fromLatin1(from)));
        a.socket->connectToHost(QHostAddress::LocalHost, mPort);
        ++a.opened;
    }
    void guess(AttackSocket &a)
    {
        const QString user = QStringLiteral("user%1").arg(guesses % mAccounts);
        a.socket->write(EncodePacket("LOGI", TLoginInfo{user, QStringLiteral("guess%1").arg(guesses)}.toBytes()));
        ++guesses;
    }
    void tick()
    {
        for (AttackSocket &a : mFlood) {
            if (a.socket && a.socket->state() != QAbstractSocket::UnconnectedState)
                continue;
            open(a, "127.0.0.2");
            QTcpSocket *s = a.socket.get();
            QObject::connect(s, &QTcpSocket::connected, s, [this, &a] { guess(a); });
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, &a] {
                a.reassembler.feed(a.socket->readAll(), [&](const QByteArray &word, const QByteArray &) {
                    if (word == "LRES") {
                        ++answers;
                        guess(a);
                    }
                    return true;
                });
            });
        }
        for (AttackSocket &a : mTrickle) {
            if (a.socket && a.socket->state() == QAbstractSocket::ConnectedState) {
                a.socket->write("x", 1);
                continue;
            }
            if (a.socket && a.socket->state() == QAbstractSocket::UnconnectedState)
                ++trickleClosed;
            if (a.socket && a.socket->state() != QAbstractSocket::UnconnectedState)
                continue;
            open(a, "127.0.0.3");
            QByteArray start;
            appendInt32(start, 101);
            appendInt32(start, 0);
            start.append("ADDP", 4);
            appendInt32(start, kMaxMessageSize);
            // The first time much of the packet, later just past the server's
            // limit before signing in.
            start.append(QByteArray(a.opened == 1 ? 4 * kMiB : 128 * 1024, 't'));
            a.socket->write(start);
            QObject::connect(a.socket.get(), &QTcpSocket::readyRead, a.socket.get(), [&a] { a.socket->readAll(); });
        }
    }

    quint16 mPort;
    int mAccounts;
    std::vector<AttackSocket> mFlood;
    std::vector<AttackSocket> mTrickle;
    QTimer mTick;
};

// Milliseconds for a 10 MB book-out by a new member (the download and the
// booking, both answered), or -1. The file is uploaded first, untimed.
qint64 timeBookOut(quint16 port, const std::optional<QSslConfiguration> &tls)
{
    LoadClient c;
    c.id = 999999;
    QList<QByteArray> words;
    QByteArray download;
    QObject::connect(&c.socket, &QTcpSocket::readyRead, &c.socket, [&] {
        c.reassembler.feed(c.socket.readAll(), [&](const QByteArray &w, const QByteArray &p) {
            words.append(w);
            if (w == "GTFD")
                download = p;
            else if (!GoodPacket(p))
                std::fprintf(stderr, "book-out: %s refused\n", w.constData());
            return true;
        });
    });
    c.socket.bind(QHostAddress(QStringLiteral("127.1.1.1")));
    c.connectTo(port, tls);
    const auto request = [&](QByteArrayView word, const QByteArray &payload, const QByteArray &reply) {
        c.send(word, payload);
        if (runUntil([&] { return words.contains(reply); }, 30000))
            return true;
        std::fprintf(stderr, "book-out: no %s reply within 30 s\n", reply.constData());
        return false;
    };
    const auto project = [](const QString &file) {
        TNetworkProject p;
        p.ProjectName = QStringLiteral("Books");
        p.FileName = file;
        p.Password = QStringLiteral("pw");
        return p.toBytes();
    };
    const QByteArray login = TLoginInfo{c.name(), "pw"}.toBytes();
    QByteArray content(10 * 1000 * 1000, '\0');
    for (qsizetype i = 0; i < content.size(); ++i)
        content[i] = char(i * 7 + i / 4096);
    if (!runUntil([&] { return words.contains("LOGI"); }, 10000)) {
        std::fprintf(stderr, "book-out: no greeting within 10 s\n");
        return -1;
    }
    if (!request("CRAT", login, "CRAT")
        || !request("LOGI", login, "LRES") || !request("APRO", project({}), "APRO")
        || !request("ADDP", project(QStringLiteral("big.bin")) + EncodeString(content), "ADDP"))
        return -1;
    QElapsedTimer took;
    took.start();
    c.send("GTFD", project(QStringLiteral("big.bin")));
    if (!request("BFOU", project(QStringLiteral("big.bin")), "BFOU") || !runUntil([&] { return words.contains("GTFD"); }, 30000))
        return -1;
    const qint64 ms = took.elapsed();
    if (download != EncodeString("big.bin") + EncodeString(content)) {
        std::fprintf(stderr, "book-out: the download is not the file uploaded (%lld bytes)\n", static_cast<long long>(download.size()));
        return -1;
    }
    return ms;
}

double percentile(std::vector<qint64> &v, double p)
{
    if (v.empty())
        return 0;
    const size_t k = std::min(v.size() - 1, size_t(p / 100.0 * double(v.size())));
    std::nth_element(v.begin(), v.begin() + qsizetype(k), v.end());
    return double(v[k]) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({{"clients", "clients", "N", "1000"}, {"rooms", "rooms", "N", "50"},
                       {"messages", "messages", "N", "5000"}, {"rate", "messages per second", "N", "200"},
                       {"slow", "clients that stop reading", "N", "20"},
                       {"attack", "meanwhile flood sign-ins and trickle partial packets"},
                       {"tls", "every client over TLS"},
                       {"hash-iterations", "PBKDF2 iterations of the server's password hashes", "N", "1000"},
                       {"postgresql", "the servers on a new database of HALVORN_TEST_POSTGRESQL's PostgreSQL server"},
                       {"instances", "servers sharing the PostgreSQL database", "N", "1"},
                       {"target-p99", "the fan-out latency p99 to stay under", "MS", "50"},
                       {"server", "the server program (default: the one built with this)", "PATH"},
                       {"server-args", "more options for the server, separated by blanks", "ARGS"}});
    parser.process(app);
    const bool attack = parser.isSet("attack");
    const int clientCount = parser.value("clients").toInt();
    const int roomCount = parser.value("rooms").toInt();
    const int messageCount = parser.value("messages").toInt();
    const int rate = std::max(1, parser.value("rate").toInt());
    const int slowCount = parser.value("slow").toInt();
    const bool useTls = parser.isSet("tls");
    const bool postgres = parser.isSet("postgresql");
    const int instanceCount = std::max(1, parser.value("instances").toInt());
    const double targetP99 = parser.value("target-p99").toDouble();
    if (useTls && attack) {
        std::fprintf(stderr, "--attack speaks the plain protocol: it does not go with --tls\n");
        return 1;
    }
    if (instanceCount > 1 && !postgres) {
        std::fprintf(stderr, "several instances share a PostgreSQL database: add --postgresql\n");
        return 1;
    }

    // Over a thousand sockets.
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }

    QTemporaryDir dir;
    std::vector<std::unique_ptr<ServerProcess>> servers;
    // The book-out's 10 MB are over the default quota of a file.
    QStringList serverArgs = QStringList{"--hash-iterations", parser.value("hash-iterations"), "--max-file-bytes", "16000000"}
                             + parser.value("server-args").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    std::optional<QSslConfiguration> tls;
    if (useTls) {
        TestCertificates certificates;
        if (QString error; !certificates.make(dir.path(), &error)) {
            std::fprintf(stderr, "cannot make the certificates: %s\n", qPrintable(error));
            return 1;
        }
        serverArgs << "--tls-cert" << certificates.serverCert << "--tls-key" << certificates.serverKey;
        tls = QSslConfiguration::defaultConfiguration();
        tls->setCaCertificates(certificates.authority());
        tls->setProtocol(QSsl::TlsV1_2OrLater);
    }
    QString database = dir.filePath("load.db");
    if (postgres) {
        if (testPostgresServer().isEmpty()) {
            std::fprintf(stderr, "--postgresql: HALVORN_TEST_POSTGRESQL names no PostgreSQL server (run through"
                                 " tests/support/postgresql.sh --not-a-test)\n");
            return 1;
        }
        database = newPostgresDatabase();
        if (database.isEmpty()) {
            std::fprintf(stderr, "cannot create a database on %s\n", qPrintable(testPostgresServer()));
            return 1;
        }
    }
    for (int i = 0; i < instanceCount; ++i) {
        auto server = std::make_unique<ServerProcess>();
        server->program = parser.value("server");
        if (!server->start(database, serverArgs)) {
            std::fprintf(stderr, "server %d did not start: %s\n", i, server->process.readAllStandardError().constData());
            return 1;
        }
        servers.push_back(std::move(server));
    }
    std::printf("%d server%s on %s\n", instanceCount, instanceCount > 1 ? "s" : "", postgres ? "PostgreSQL" : "SQLite");
    gClock.start();
    std::vector<qint64> serverPids;
    for (const auto &server : servers)
        serverPids.push_back(server->process.processId());
    // CPU ticks (of 10 ms) of all the servers.
    const auto serverTicks = [&] {
        qint64 sum = 0;
        for (const qint64 pid : serverPids)
            sum += ProcStats::cpuTicks(pid);
        return sum;
    };
    qint64 peakRss = 0;  // of the biggest server
    QTimer sampleRss;
    QObject::connect(&sampleRss, &QTimer::timeout, [&] {
        for (const qint64 pid : serverPids)
            peakRss = std::max(peakRss, ProcStats::residentBytes(pid));
    });
    sampleRss.start(100);
    int greetingShared = 0;  // first reads that held more than the greeting

    std::vector<qint64> latencies;
    latencies.reserve(size_t(messageCount) * size_t(clientCount / std::max(1, roomCount)));
    std::vector<qint64> sameInstance;   // receivers on the sender's server
    std::vector<qint64> otherInstance;  // ... on another
    std::vector<std::unique_ptr<LoadClient>> clients;
    std::vector<int> sentPerRoom(size_t(roomCount), 0);
    bool measuring = false;

    auto onPacket = [&](LoadClient &c, const QByteArray &word, const QByteArray &payload) {
        if (word == "LOGI") {
            c.send("CRAT", TLoginInfo{c.name(), "pw"}.toBytes());
        } else if (word == "CRAT") {
            c.send("LOGI", TLoginInfo{c.name(), "pw"}.toBytes());
        } else if (word == "LRES") {
            if (payload.isEmpty() || payload[0] != 1)
                c.failed = true;
            else
                c.send("ACHR", TNetworkChatRoom{c.name(), c.roomName(), {}}.toBytes());
        } else if (word == "ACHR") {
            c.joined = GoodPacket(payload);
            c.failed = !c.joined;
            if (c.joined && !c.reader) {
                // Stop reading: Qt keeps at most this much, the kernel the rest.
                c.socket.setReadBufferSize(1024);
                QObject::disconnect(&c.socket, &QTcpSocket::readyRead, nullptr, nullptr);
            }
        } else if (word == "MESS" && measuring && !c.sink) {
            const auto fields = DecodeStringList(payload);
            if (!fields || fields->size() != 2)
                return;
            const QList<QByteArray> parts = fields->at(1).split(' ');  // "user: m <ns> <n> <instance>"
            const qint64 latency = gClock.nsecsElapsed() - parts.value(2).toLongLong();
            latencies.push_back(latency);
            (parts.value(4).toInt() == c.instance ? sameInstance : otherInstance).push_back(latency);
            ++c.received;
        }
    };

    // Sign in, in batches so the listen queue never overflows.
    const int batch = 100;
    const qint64 signInStartTicks = serverTicks();
    const qint64 benchStartTicks = ProcStats::cpuTicks(QCoreApplication::applicationPid());
    for (int start = 0; start < clientCount; start += batch) {
        for (int i = start; i < std::min(clientCount, start + batch); ++i) {
            auto c = std::make_unique<LoadClient>();
            c->id = i;
            c->room = i % roomCount;
            // The members of a room take turns over the servers.
            c->instance = (i / roomCount) % instanceCount;
            c->reader = i < clientCount - slowCount;
            // The slow clients and one flooder share a room of their own.
            c->sink = i >= clientCount - slowCount - 1;
            LoadClient *raw = c.get();
            QObject::connect(&raw->socket, &QTcpSocket::readyRead, &raw->socket, [raw, &onPacket, &greetingShared] {
                const QByteArray chunk = raw->socket.readAll();
                if (std::exchange(raw->firstRead, false) && chunk.startsWith(kGreeting) && chunk.size() > kGreeting.size())
                    ++greetingShared;
                raw->reassembler.feed(chunk, [&](const QByteArray &w, const QByteArray &p) {
                    onPacket(*raw, w, p);
                    return true;
                });
            });
            // A client the server drops (or whose handshake fails) counts as failed.
            QObject::connect(&raw->socket, &QAbstractSocket::errorOccurred, &raw->socket, [raw] {
                if (!raw->joined)
                    raw->failed = true;
            });
            raw->socket.bind(raw->address());
            raw->connectTo(servers[size_t(raw->instance)]->port, tls);
            clients.push_back(std::move(c));
        }
        const bool ok = runUntil([&] {
            return std::all_of(clients.begin() + start, clients.end(), [](const auto &c) { return c->joined || c->failed; });
        }, 30000);
        if (!ok) {
            std::fprintf(stderr, "sign-in stalled at batch %d\n", start / batch);
            return 1;
        }
    }
    const qint64 signInMs = gClock.elapsed();
    const double signInServerCpu = double(serverTicks() - signInStartTicks) / 100.0;
    const double signInBenchCpu = double(ProcStats::cpuTicks(QCoreApplication::applicationPid()) - benchStartTicks) / 100.0;
    const auto failed = std::count_if(clients.begin(), clients.end(), [](const auto &c) { return c->failed; });
    std::printf("signed in and joined%s: %d clients in %d rooms (%lld failed) in %lld ms, %s PBKDF2 iterations; %d of them stop reading%s\n",
                useTls ? " over TLS" : "", clientCount, roomCount, static_cast<long long>(failed), static_cast<long long>(signInMs),
                qPrintable(parser.value("hash-iterations")), slowCount, useTls ? "  (target < 30000 ms)" : "");
    std::printf("CPU time while signing in: server%s %.1f s, the clients (this process) %.1f s\n", instanceCount > 1 ? "s" : "", signInServerCpu, signInBenchCpu);
    std::printf("greeting and the next packet in one read: %d of %d clients\n", greetingShared, clientCount);
    if (failed > 0)
        return 1;

    // Chat: random reading members send at a steady rate.
    measuring = true;
    std::vector<LoadClient *> readers;
    LoadClient *flooder = nullptr;
    for (auto &c : clients) {
        if (c->reader && !c->sink)
            readers.push_back(c.get());
        if (c->reader && c->sink)
            flooder = c.get();
    }
    // Meanwhile the flooder fills the non-reading clients' sockets, so the
    // server holds megabytes for each of them.
    QTimer flood;
    int flooded = 0;
    const QString filler(240, QLatin1Char('f'));
    QObject::connect(&flood, &QTimer::timeout, [&] {
        for (int k = 0; k < 20 && flooder && slowCount > 0; ++k, ++flooded)
            flooder->send("MCHR", TNetworkChatRoom{flooder->name(), flooder->roomName(), filler}.toBytes());
    });
    flood.start(10);
    Attacker attacker(servers.front()->port, 50, 30, clientCount);
    if (attack)
        attacker.start();
    QRandomGenerator random(42);
    int sent = 0;
    QTimer pace;
    QElapsedTimer paced;
    paced.start();
    QObject::connect(&pace, &QTimer::timeout, [&] {
        const qint64 due = std::min<qint64>(messageCount, paced.elapsed() * rate / 1000 + 1);
        for (; sent < due; ++sent) {
            LoadClient *from = readers[random.bounded(int(readers.size()))];
            const QString text = QStringLiteral("m %1 %2 %3").arg(gClock.nsecsElapsed()).arg(sent).arg(from->instance);
            from->send("MCHR", TNetworkChatRoom{from->name(), from->roomName(), text}.toBytes());
            ++sentPerRoom[size_t(from->room)];
        }
        if (sent >= messageCount)
            pace.stop();
    });
    pace.start(5);
    QElapsedTimer chatTime;
    chatTime.start();
    const qint64 chatStartTicks = serverTicks();
    const qint64 chatBenchStartTicks = ProcStats::cpuTicks(QCoreApplication::applicationPid());
    qint64 expected = 0;
    runUntil([&] { return sent >= messageCount; }, 120000);
    flood.stop();
    attacker.stop();
    for (const auto &c : clients) {
        if (c->reader && !c->sink)
            expected += sentPerRoom[size_t(c->room)];
    }
    runUntil([&] { return qint64(latencies.size()) >= expected; }, 10000);
    const qint64 chatMs = chatTime.elapsed();
    const qint64 chatTicks = serverTicks() - chatStartTicks;  // of 10 ms
    const qint64 chatBenchTicks = ProcStats::cpuTicks(QCoreApplication::applicationPid()) - chatBenchStartTicks;

    // A newcomer after all that.
    LoadClient late;
    late.id = clientCount + 8;
    late.room = 0;
    QObject::connect(&late.socket, &QTcpSocket::readyRead, &late.socket, [&] {
        late.reassembler.feed(late.socket.readAll(), [&](const QByteArray &w, const QByteArray &p) {
            onPacket(late, w, p);
            return true;
        });
    });
    QElapsedTimer lateTime;
    lateTime.start();
    late.socket.bind(late.address());
    late.connectTo(servers.front()->port, tls);
    const bool lateOk = runUntil([&] { return late.joined || late.failed; }, 10000) && late.joined;
    const qint64 lateMs = lateTime.elapsed();

    const qint64 delivered = qint64(latencies.size());
    const double p50 = percentile(latencies, 50), p95 = percentile(latencies, 95), p99 = percentile(latencies, 99);
    const double p99Same = percentile(sameInstance, 99), p99Other = percentile(otherInstance, 99);
    const double p50Same = percentile(sameInstance, 50), p50Other = percentile(otherInstance, 50);
    const double maxMs = latencies.empty() ? 0 : double(*std::max_element(latencies.begin(), latencies.end())) / 1e6;
    std::printf("chat: %d messages in %lld ms, %lld of %lld deliveries to reading members\n", sent,
                static_cast<long long>(chatMs), static_cast<long long>(delivered), static_cast<long long>(expected));
    std::printf("CPU time while chatting: server%s %.0f %%, the clients (this process) %.0f %% of one core\n",
                instanceCount > 1 ? "s together" : "", double(chatTicks) * 1000.0 / double(std::max<qint64>(1, chatMs)),
                double(chatBenchTicks) * 1000.0 / double(std::max<qint64>(1, chatMs)));
    std::printf("fan-out latency ms: p50 %.2f  p95 %.2f  p99 %.2f  max %.2f  (target p99 < %g)\n", p50, p95, p99, maxMs,
                targetP99);
    if (instanceCount > 1) {
        std::printf("  receivers on the sender's server: p50 %.2f  p99 %.2f  (%zu deliveries)\n", p50Same, p99Same,
                    sameInstance.size());
        std::printf("  receivers on another server:      p50 %.2f  p99 %.2f  (%zu deliveries)\n", p50Other, p99Other,
                    otherInstance.size());
    }
    std::printf("flood: %d messages of 240 characters to %d clients that do not read (about %.1f MB sent to each, most of it held by the server)\n",
                flooded, slowCount, double(flooded) * 290 / 1e6);
    std::printf("a new client signed in and joined%s in %lld ms\n", lateOk ? "" : " NOT", static_cast<long long>(lateMs));
    if (attack) {
        std::printf("attack: %d wrong passwords sent, %d answered; trickling connections closed by the server %d times\n",
                    attacker.guesses, attacker.answers, attacker.trickleClosed);
    }
    qint64 hwm = 0;
    for (const qint64 pid : serverPids)
        hwm = std::max(hwm, ProcStats::statusBytes(pid, "VmHWM"));
    clients.clear();
    // Uploaded and booked out through the last server.
    const qint64 bookOutMs = timeBookOut(servers.back()->port, tls);
    std::printf("10 MB book-out%s: %lld ms  (target < 500)\n", useTls ? " over TLS" : "", static_cast<long long>(bookOutMs));
    runUntil([] { return false; }, 2000);
    qint64 after = 0;
    for (const qint64 pid : serverPids)
        after = std::max(after, ProcStats::residentBytes(pid));
    std::printf("server resident memory MiB (the biggest server): peak %.1f (VmHWM %.1f), 2 s after the clients left %.1f  (target peak < 256)\n",
                double(peakRss) / kMiB, double(hwm) / kMiB, double(after) / kMiB);
    const bool pass = p99 < targetP99 && delivered == expected && lateOk && hwm < 256 * kMiB && bookOutMs >= 0
                      && bookOutMs < 500 && (!useTls || signInMs < 30000);
    std::printf("%s\n", pass ? "PASS" : "FAIL");
    servers.clear();  // each stopped
    return pass ? 0 : 1;
}
