// halvorn-server --port N --http-port N --database FILE [--log FILE]
//                [--max-rooms-per-user N ...: the quotas, see --help]
// Prints "READY PORT=<tcp> HTTP_PORT=<http>" once listening; SIGTERM or
// SIGINT ends it cleanly.
#include "addressservice.h"
#include "halvornserver.h"
#include "passwordhash.h"
#include "quotaoptions.h"
#include "serverlog.h"
#include "serverstore.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int gSignalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("halvorn-server"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The Halvorn collaboration server."));
    parser.addHelpOption();
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("TCP port of the protocol (0: any free port)."), QStringLiteral("N"));
    const QCommandLineOption httpOption(QStringLiteral("http-port"), QStringLiteral("Port of the HTTP address service (0: any free port)."), QStringLiteral("N"));
    const QCommandLineOption dbOption(QStringLiteral("database"), QStringLiteral("SQLite database file (created when missing)."), QStringLiteral("FILE"));
    const QCommandLineOption logOption(QStringLiteral("log"), QStringLiteral("Append a log of connections and sign-ins to FILE."), QStringLiteral("FILE"));
    const QCommandLineOption listenOption(QStringLiteral("listen"), QStringLiteral("Address to listen on (default: all)."), QStringLiteral("ADDRESS"));
    const QCommandLineOption publicOption(QStringLiteral("public-address"), QStringLiteral("Address given out in AddressInfo.dat (default: the listen address, or this machine's first IPv4 address)."), QStringLiteral("ADDRESS"));
    const QCommandLineOption iterationsOption(QStringLiteral("hash-iterations"), QStringLiteral("PBKDF2 iterations for new password hashes."), QStringLiteral("N"), QString::number(Halvorn::PasswordHash::kDefaultIterations));
    const QCommandLineOption idleOption(QStringLiteral("idle-timeout"), QStringLiteral("Seconds of silence before a client is dropped."), QStringLiteral("S"), QStringLiteral("120"));
    parser.addOptions({portOption, httpOption, dbOption, logOption, listenOption, publicOption, iterationsOption, idleOption});
    // Quotas: what one user may take of the server.
    const Halvorn::QuotaOptions quotaOptions;
    quotaOptions.addTo(parser);
    parser.process(app);

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
    const int iterations = parser.value(iterationsOption).toInt();
    if (iterations < 1)
        return fail(QStringLiteral("--hash-iterations must be at least 1"));
    // A timeout that is not a number would read as 0 and drop every client.
    bool idleOk = false;
    const int idleSeconds = parser.value(idleOption).toInt(&idleOk);
    if (!idleOk || idleSeconds < 1 || idleSeconds > 86400)
        return fail(QStringLiteral("--idle-timeout must be a number of seconds from 1 to 86400"));
    Halvorn::ServerQuotas quotas;
    if (QString error; !quotaOptions.read(parser, quotas, &error))
        return fail(error);

    raiseDescriptorLimit();
    std::signal(SIGPIPE, SIG_IGN);
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0)
        return fail(QStringLiteral("cannot create the signal pipe"));
    QSocketNotifier signalNotifier(gSignalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });
    struct sigaction action{};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    Halvorn::ServerLog log;
    if (parser.isSet(logOption) && !log.open(parser.value(logOption)))
        return fail(QStringLiteral("cannot open the log file %1").arg(parser.value(logOption)));

    int status = 0;
    {
        Halvorn::ServerStore store(iterations);
        QString error;
        if (!store.open(parser.value(dbOption), &error))
            return fail(QStringLiteral("cannot open the database: %1").arg(error));

        Halvorn::HalvornServer server(store, log);
        server.setIdleTimeout(idleSeconds * 1000);
        server.setQuotas(quotas);
        if (!server.listen(listen, port))
            return fail(QStringLiteral("cannot listen on port %1: %2").arg(port).arg(server.errorString()));
        const QString publicAddress = parser.isSet(publicOption) ? parser.value(publicOption) : defaultPublicAddress(listen);
        Halvorn::AddressService addresses(publicAddress, server.port());
        if (!addresses.listen(listen, httpPort))
            return fail(QStringLiteral("cannot listen on HTTP port %1: %2").arg(httpPort).arg(addresses.errorString()));

        log.write(QStringLiteral("listening on %1 port %2, HTTP port %3").arg(listen.toString()).arg(server.port()).arg(addresses.port()));
        std::printf("READY PORT=%u HTTP_PORT=%u\n", unsigned(server.port()), unsigned(addresses.port()));
        std::fflush(stdout);

        status = QCoreApplication::exec();
        log.write(QStringLiteral("stopping"));
    }
    return status;
}
