// halvorn-server --port N --http-port N --database FILE|URL [--log FILE]
//                [--tls-cert FILE --tls-key FILE [--allow-plain]]
//                [--public-address ADDRESS] [--other-instance ADDRESS:PORT ...]
//                [limits and quotas: see --help]
// halvorn-server --backup FILE --database FILE
// Prints "READY PORT=<tcp> HTTP_PORT=<http>" once listening; SIGTERM or
// SIGINT ends it cleanly, SIGHUP reopens the log file.
#include "addressservice.h"
#include "halvornserver.h"
#include "quotaoptions.h"
#include "serverlimits.h"
#include "serverlog.h"
#include "serverstore.h"
#include "serveraddress.h"
#include "servertls.h"
#include "wireformat.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

#include <malloc.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int gSignalPipe[2] = {-1, -1};

constexpr char kStopSignal = 's';
constexpr char kReopenLogSignal = 'h';
// Buffers from this size on are mapped on their own, so memory held for a
// client goes back to the system when the client goes.
constexpr int kOwnMappingFrom = 256 * 1024;
constexpr qint64 kMiB = 1024 * 1024;

void onSignal(int signal)
{
    const char byte = signal == SIGHUP ? kReopenLogSignal : kStopSignal;
    [[maybe_unused]] const auto written = ::write(gSignalPipe[1], &byte, 1);
}

// Many clients need many descriptors: take what the hard limit allows.
void raiseDescriptorLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

QString defaultPublicAddress(const QHostAddress &listen)
{
    if (listen != QHostAddress::Any && listen != QHostAddress::AnyIPv4 && listen != QHostAddress::AnyIPv6)
        return listen.toString();
    for (const QHostAddress &a : QNetworkInterface::allAddresses()) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
            return a.toString();
    }
    return QStringLiteral("127.0.0.1");
}

// Who may read /metrics unless --metrics-from says otherwise: this machine.
const QStringList kDefaultMetricsReaders = {QStringLiteral("127.0.0.0/8"), QStringLiteral("::1/128")};

// An address clients can be sent to: they connect only to an IPv4 or IPv6
// address literal, never to a name.
bool clientAddress(const QString &text)
{
    return !QHostAddress(text).isNull();
}

// --other-instance ADDRESS:PORT, or nullopt when it is not one.
std::optional<Quorvant::Network::ServerAddress> otherInstance(const QString &text)
{
    auto instance = Quorvant::Network::ServerAddress::fromText(text);
    if (!instance || !clientAddress(instance->address))
        return std::nullopt;
    return instance;
}

int fail(const QString &text)
{
    std::fprintf(stderr, "halvorn-server: %s\n", qPrintable(text));
    return 1;
}

bool portValue(const QString &text, quint16 &port)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0 || value > 65535)
        return false;
    port = quint16(value);
    return true;
}

// A whole-number option with bounds; `apply` stores the value given (or the
// default) where it belongs.
struct NumberOption
{
    QCommandLineOption option;
    qint64 min;
    qint64 max;
    std::function<void(qint64)> apply;
};

NumberOption number(const char *name, const char *help, const char *unit, qint64 defaultValue, qint64 min, qint64 max,
                    std::function<void(qint64)> apply)
{
    return {QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help), QString::fromLatin1(unit),
                               QString::number(defaultValue)),
            min, max, std::move(apply)};
}

} // namespace

int main(int argc, char **argv)
{
    // Qt's own event loop, not GLib's: with thousands of client sockets
    // GLib's took the server hundreds of milliseconds to answer at times
    // (bench/README.md, server-instances-bench.sh).
    qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("halvorn-server"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The Halvorn collaboration server."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("TCP port of the protocol (0: a free port no higher than 32000)."), QStringLiteral("N"));
    const QCommandLineOption httpOption(QStringLiteral("http-port"), QStringLiteral("Port of the HTTP address service (0: any free port)."), QStringLiteral("N"));
    const QCommandLineOption dbOption(QStringLiteral("database"), QStringLiteral("SQLite database file (created when missing), or a PostgreSQL database as postgresql://USER@HOST:PORT/NAME (its password from ~/.pgpass, PGPASSFILE or PGPASSWORD, never in the URL). The schema is created or upgraded on start."), QStringLiteral("FILE|URL"));
    const QCommandLineOption logOption(QStringLiteral("log"), QStringLiteral("Append a log of connections, sign-ins and refusals to FILE (SIGHUP reopens it)."), QStringLiteral("FILE"));
    const QCommandLineOption listenOption(QStringLiteral("listen"), QStringLiteral("Address to listen on (default: all)."), QStringLiteral("ADDRESS"));
    const QCommandLineOption publicOption(QStringLiteral("public-address"), QStringLiteral("Address given out in AddressInfo.dat (default: the listen address, or this machine's first IPv4 address)."), QStringLiteral("ADDRESS"));
    const QCommandLineOption otherInstanceOption(QStringLiteral("other-instance"), QStringLiteral("Another server on the same database that AddressInfo.dat names after this one, as ADDRESS:PORT of its protocol port (an IPv6 address in brackets): clients try the servers in order and move to the next when theirs goes away (repeatable, in order of preference; at most %1).").arg(Quorvant::Network::kMaxAddressFileServers - 1), QStringLiteral("ADDRESS:PORT"));
    const QCommandLineOption certOption(QStringLiteral("tls-cert"), QStringLiteral("Serve the protocol over TLS 1.2 or newer, and the HTTP port as HTTPS, with this PEM certificate (and the chain after it)."), QStringLiteral("FILE"));
    const QCommandLineOption keyOption(QStringLiteral("tls-key"), QStringLiteral("The unencrypted PEM private key of --tls-cert."), QStringLiteral("FILE"));
    const QCommandLineOption plainOption(QStringLiteral("allow-plain"), QStringLiteral("With TLS: still accept clients without TLS (and plain HTTP) on the same ports."));
    const QCommandLineOption metricsOption(QStringLiteral("metrics-from"), QStringLiteral("Addresses allowed to read /metrics, as ADDRESS/PREFIX (repeatable; default: 127.0.0.0/8 and ::1/128; \"any\": everyone)."), QStringLiteral("SUBNET"));
    const QCommandLineOption backupOption(QStringLiteral("backup"), QStringLiteral("Write a consistent copy of the SQLite --database to FILE (replaced only by a complete, checked copy) and exit; a server may be running on the database. (PostgreSQL: use pg_dump.)"), QStringLiteral("FILE"));
    parser.addOptions({portOption, httpOption, dbOption, logOption, listenOption, publicOption, otherInstanceOption,
                       certOption, keyOption, plainOption, metricsOption, backupOption});

    Halvorn::ServerLimits limits;
    qint64 logMaxBytes = 0;
    qint64 checkpointSeconds = 60;
    const auto bothAttemptKinds = [&limits](auto field) {
        return [&limits, field](qint64 v) {
            limits.signInAttempts.*field = int(v);
            limits.projectAttempts.*field = int(v);
        };
    };
    const std::vector<NumberOption> numbers = {
        number("idle-timeout", "Seconds without a complete packet before a client is dropped.", "S", 120, 1, 86400,
               [&](qint64 v) { limits.idleTimeoutMs = int(v * 1000); }),
        number("sign-in-timeout", "Seconds a new connection has to sign in.", "S", 10, 1, 3600,
               [&](qint64 v) { limits.signInTimeoutMs = int(v * 1000); }),
        number("greeting-pause", "Milliseconds between the greeting and the sign-in request, so clients read the greeting alone.", "MS",
               limits.greetingPauseMs, 0, 10000, [&](qint64 v) { limits.greetingPauseMs = int(v); }),
        number("tls-first-byte-wait", "With TLS and --allow-plain: milliseconds a silent new client is waited for before it is greeted as a plain client.", "MS",
               limits.tlsFirstByteWaitMs, 1, 60000, [&](qint64 v) { limits.tlsFirstByteWaitMs = int(v); }),
        number("checkpoint-interval", "SQLite: seconds between copying the database's write-ahead log into the database file.", "S",
               checkpointSeconds, 1, 86400, [&](qint64 v) { checkpointSeconds = v; }),
        number("max-unsigned-packet", "Bytes of an unfinished packet a connection may hold before signing in.", "BYTES",
               limits.maxUnsignedPacket, 16, Quorvant::Network::kMaxMessageSize, [&](qint64 v) { limits.maxUnsignedPacket = v; }),
        number("max-output-per-connection", "MiB waiting for one client before it is dropped as not reading.", "MIB",
               limits.maxOutputPerConnection / kMiB, 1, 4096, [&](qint64 v) { limits.maxOutputPerConnection = v * kMiB; }),
        number("max-output-total", "MiB waiting for all clients together; above it the clients with most unread are dropped first.", "MIB",
               limits.maxOutputTotal / kMiB, 1, 1 << 20, [&](qint64 v) { limits.maxOutputTotal = v * kMiB; }),
        number("max-connections", "Connections at once; more wait in the listen queue (also paused near the descriptor limit).", "N",
               limits.maxConnections, 1, 1000000, [&](qint64 v) { limits.maxConnections = int(v); }),
        number("listen-backlog", "Length of the queue of connections not yet accepted.", "N", limits.listenBacklog, 1, 65535,
               [&](qint64 v) { limits.listenBacklog = int(v); }),
        number("hash-iterations", "PBKDF2 iterations for new password hashes.", "N", limits.hashIterations, 1, 10000000,
               [&](qint64 v) { limits.hashIterations = int(v); }),
        number("hash-threads", "Threads that hash passwords (0: one per processor).", "N", limits.hashThreads, 0, 256,
               [&](qint64 v) { limits.hashThreads = int(v); }),
        number("free-password-attempts", "Password attempts on one account or project, or failed ones from one address, before each further attempt waits.", "N",
               limits.signInAttempts.freeAttempts, 1, 1000000, bothAttemptKinds(&Halvorn::AttemptLimiter::Settings::freeAttempts)),
        number("password-delay", "Milliseconds of the first such wait; each further attempt waits twice as long.", "MS",
               limits.signInAttempts.firstDelayMs, 1, 3600000, bothAttemptKinds(&Halvorn::AttemptLimiter::Settings::firstDelayMs)),
        number("max-password-delay", "Milliseconds an attempt waits at most.", "MS", limits.signInAttempts.maxDelayMs, 0, 3600000,
               bothAttemptKinds(&Halvorn::AttemptLimiter::Settings::maxDelayMs)),
        number("accounts-per-address", "New accounts from one address per hour (0: no limit).", "N", limits.accountsPerAddressPerHour,
               0, 1000000, [&](qint64 v) { limits.accountsPerAddressPerHour = int(v); }),
        number("log-max-size", "KiB of log before it is renamed to FILE.1 and begun afresh (0: no cap).", "KIB", 64 * 1024, 0,
               qint64(1) << 30, [&](qint64 v) { logMaxBytes = v * 1024; }),
    };
    for (const NumberOption &n : numbers)
        parser.addOption(n.option);
    // Quotas: what one user may take of the server.
    const Halvorn::QuotaOptions quotaOptions;
    quotaOptions.addTo(parser);
    parser.process(app);

    // The database, its backups and the log hold passwords' hashes and who
    // signed in: for the owner only.
    umask(S_IRWXG | S_IRWXO);

    if (parser.isSet(backupOption)) {
        if (!parser.isSet(dbOption) || parser.value(dbOption).isEmpty())
            return fail(QStringLiteral("--backup needs --database FILE"));
        if (Halvorn::isPostgresUrl(parser.value(dbOption)))
            return fail(QStringLiteral("--backup copies SQLite databases only: back up a PostgreSQL database with pg_dump"));
        if (QString error; !Halvorn::ServerStore::backup(parser.value(dbOption), parser.value(backupOption), &error))
            return fail(QStringLiteral("backup failed: %1").arg(error));
        std::printf("backed up %s to %s\n", qPrintable(parser.value(dbOption)), qPrintable(parser.value(backupOption)));
        return 0;
    }

    quint16 port = 0, httpPort = 0;
    if (!parser.isSet(portOption) || !portValue(parser.value(portOption), port))
        return fail(QStringLiteral("--port N is required (0 to 65535)"));
    if (!parser.isSet(httpOption) || !portValue(parser.value(httpOption), httpPort))
        return fail(QStringLiteral("--http-port N is required (0 to 65535)"));
    if (!parser.isSet(dbOption) || parser.value(dbOption).isEmpty())
        return fail(QStringLiteral("--database FILE is required"));
    QHostAddress listen = QHostAddress::Any;
    if (parser.isSet(listenOption) && !listen.setAddress(parser.value(listenOption)))
        return fail(QStringLiteral("--listen: not an address"));
    if (parser.isSet(publicOption) && !clientAddress(parser.value(publicOption)))
        return fail(QStringLiteral("--public-address: %1 is not an IPv4 or IPv6 address (clients connect to an address, never to a name)")
                        .arg(parser.value(publicOption)));
    QList<Quorvant::Network::ServerAddress> otherInstances;
    for (const QString &text : parser.values(otherInstanceOption)) {
        const auto instance = otherInstance(text);
        if (!instance)
            return fail(QStringLiteral("--other-instance: %1 is not ADDRESS:PORT (an IPv4 address or an IPv6 address in brackets, and a port from 1 to 65535)").arg(text));
        if (otherInstances.contains(*instance))
            return fail(QStringLiteral("--other-instance: %1 is given twice").arg(text));
        otherInstances.append(*instance);
    }
    if (otherInstances.size() > Quorvant::Network::kMaxAddressFileServers - 1)
        return fail(QStringLiteral("--other-instance: at most %1 (clients read no more servers from AddressInfo.dat)")
                        .arg(Quorvant::Network::kMaxAddressFileServers - 1));
    // A value that is not a number would read as 0 (e.g. a timeout that drops every client).
    for (const NumberOption &n : numbers) {
        bool ok = false;
        const qint64 value = parser.value(n.option).toLongLong(&ok);
        if (!ok || value < n.min || value > n.max)
            return fail(QStringLiteral("--%1 must be a number from %2 to %3").arg(n.option.names().constFirst()).arg(n.min).arg(n.max));
        n.apply(value);
    }
    if (port > Halvorn::kHighestClientPort)
        std::fprintf(stderr, "halvorn-server: warning: clients refuse ports above %u\n", unsigned(Halvorn::kHighestClientPort));
    Halvorn::ServerQuotas quotas;
    if (QString error; !quotaOptions.read(parser, quotas, &error))
        return fail(error);
    QList<Halvorn::Subnet> metricsReaders;
    for (const QString &text : parser.isSet(metricsOption) ? parser.values(metricsOption) : kDefaultMetricsReaders) {
        if (text == QLatin1String("any")) {
            metricsReaders << QHostAddress::parseSubnet(QStringLiteral("0.0.0.0/0")) << QHostAddress::parseSubnet(QStringLiteral("::/0"));
            continue;
        }
        const Halvorn::Subnet subnet = QHostAddress::parseSubnet(text);
        if (subnet.first.isNull())
            return fail(QStringLiteral("--metrics-from: %1 is not ADDRESS/PREFIX").arg(text));
        metricsReaders.append(subnet);
    }
    if (parser.isSet(certOption) != parser.isSet(keyOption))
        return fail(QStringLiteral("--tls-cert and --tls-key go together"));
    std::optional<Halvorn::ServerTls> tls;
    if (parser.isSet(certOption)) {
        QString error;
        tls = Halvorn::ServerTls::load(parser.value(certOption), parser.value(keyOption), &error);
        if (!tls)
            return fail(QStringLiteral("cannot use TLS: %1").arg(error));
        if (const QDateTime expiry = tls->configuration().localCertificate().expiryDate(); expiry < QDateTime::currentDateTimeUtc())
            std::fprintf(stderr, "halvorn-server: warning: the certificate expired on %s; clients will refuse it\n",
                         qPrintable(expiry.toString(Qt::ISODate)));
    } else if (parser.isSet(plainOption)) {
        return fail(QStringLiteral("--allow-plain needs --tls-cert and --tls-key (without TLS every client is plain)"));
    }
    const Halvorn::TransportRules transport{tls ? &*tls : nullptr, !tls || parser.isSet(plainOption)};

    mallopt(M_MMAP_THRESHOLD, kOwnMappingFrom);
    raiseDescriptorLimit();
    std::signal(SIGPIPE, SIG_IGN);
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0)
        return fail(QStringLiteral("cannot create the signal pipe"));

    Halvorn::ServerLog log;
    if (parser.isSet(logOption) && !log.open(parser.value(logOption), logMaxBytes))
        return fail(QStringLiteral("cannot open the log file %1").arg(parser.value(logOption)));

    QSocketNotifier signalNotifier(gSignalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [&log] {
        char byte = 0;
        if (::read(gSignalPipe[0], &byte, 1) != 1)
            return;
        if (byte == kReopenLogSignal)
            log.reopen();
        else
            QCoreApplication::quit();
    });
    struct sigaction action{};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);

    int status = 0;
    {
        Halvorn::ServerStore store;
        QString error;
        if (!store.open(parser.value(dbOption), &error))
            return fail(QStringLiteral("cannot open the database: %1").arg(error));

        QTimer checkpoints;
        QObject::connect(&checkpoints, &QTimer::timeout, &app, [&store] { store.checkpoint(); });
        checkpoints.start(int(checkpointSeconds * 1000));

        Halvorn::HalvornServer server(store, log, limits);
        server.setQuotas(quotas);
        server.setTransport(transport);
        if (!server.listen(listen, port))
            return fail(QStringLiteral("cannot listen on port %1: %2").arg(port).arg(server.errorString()));
        const QString publicAddress = parser.isSet(publicOption) ? parser.value(publicOption) : defaultPublicAddress(listen);
        Halvorn::AddressService addresses(publicAddress, server.port());
        addresses.setTransport(transport);
        addresses.setOtherInstances(otherInstances);
        addresses.setHealthCheck([&server] { return server.healthy(); });
        addresses.setMetrics([&server] { return server.metrics(); }, metricsReaders);
        if (!addresses.listen(listen, httpPort))
            return fail(QStringLiteral("cannot listen on HTTP port %1: %2").arg(httpPort).arg(addresses.errorString()));

        log.write(QStringLiteral("listening on %1 port %2, HTTP port %3, %4")
                      .arg(listen.toString()).arg(server.port()).arg(addresses.port())
                      .arg(!tls ? QStringLiteral("plain") : transport.allowPlain ? QStringLiteral("TLS and plain") : QStringLiteral("TLS only")));
        std::printf("READY PORT=%u HTTP_PORT=%u\n", unsigned(server.port()), unsigned(addresses.port()));
        std::fflush(stdout);

        status = QCoreApplication::exec();
        log.write(QStringLiteral("stopping"));
    }
    return status;
}
