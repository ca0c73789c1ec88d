// Starts halvorn-server as a process on 127.0.0.1 with free ports and reads
// its READY line; SIGTERM on destruction.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

class QTemporaryDir;

// Where tests/support/postgresql.sh started a PostgreSQL server for the
// tests: the URL of a database on it that a superuser may use; empty
// elsewhere.
QString testPostgresServer();
// In a test fixture's SetUp: skips the test where no PostgreSQL server was
// started for it (a skip must be written in the function it ends).
#define SKIP_WITHOUT_TEST_POSTGRESQL()                                                              \
    do {                                                                                            \
        if (testPostgresServer().isEmpty())                                                         \
            GTEST_SKIP() << "no PostgreSQL server for the tests (run through tests/support/postgresql.sh)"; \
    } while (false)
// A new empty database on that server (empty on failure).
QString newPostgresDatabase();
// The database a test's server keeps its state in: a new PostgreSQL
// database where testPostgresServer() names a server, else a SQLite file
// in `dir`.
QString testDatabase(const QTemporaryDir &dir);

class ServerProcess
{
public:
    ServerProcess() = default;
    ~ServerProcess() { stop(); }

    bool start(const QString &database, const QStringList &extra = {});
    // SIGTERM, then the exit code (-1 when it did not end in time).
    int stop();

    QString program;  // empty: the server built with the tests
    // For the tests that measure the server's resident memory. In the
    // sanitizer build AddressSanitizer holds freed blocks, still resident,
    // in a quarantine of up to 256 MiB to catch later uses of them; this
    // turns it off for the server, so its memory shows what it holds, as in
    // the ordinary build, under the same limits. No effect elsewhere.
    bool freedMemoryReturnsAtOnce = false;
    quint16 port = 0;
    quint16 httpPort = 0;
    QProcess process;
};
