// Running halvorn-server for a team: health and metrics on the HTTP port,
// backups taken while it runs, space given back, and a database file that
// holds the data on its own.
#include "httpget.h"
#include "networkrecords.h"
#include "rawclient.h"
#include "serverprocess.h"
#include "testdatabase.h"
#include "testrecords.h"
#include "waituntil.h"
#include "wireformat.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include <functional>
#include <memory>

using namespace Quorvant::Network;

namespace {

QByteArray filled(qsizetype size, int seed)
{
    QByteArray content(size, '\0');
    for (qsizetype i = 0; i < content.size(); ++i)
        content[i] = char(i * seed + i / 1013);
    return content;
}

qint64 databaseBytes(const QString &path)
{
    return QFileInfo(path).size() + QFileInfo(path + "-wal").size();
}

class EndToEndOperations : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    void start(const QStringList &options = {})
    {
        ASSERT_TRUE(server.start(database(), options)) << server.process.readAllStandardError().constData();
    }
    QString database() const { return dir.filePath("halvorn.db"); }

    std::unique_ptr<RawClient> member(ServerProcess &on, const QString &name, bool create)
    {
        auto c = std::make_unique<RawClient>();
        if (!c->connectTo(on.port) || !c->signIn(name, "pw", create))
            return nullptr;
        return c;
    }

    QString url(const char *path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(server.httpPort).arg(QLatin1String(path)); }
    qint64 metric(const QByteArray &sample) const { return metricValue(httpGet(url("/metrics")).body, sample).value_or(-1); }

    // halvorn-server --backup; its exit code and what it wrote to stderr.
    static std::pair<int, QByteArray> backup(const QString &database, const QString &target, QProcess *running = nullptr)
    {
        QProcess own;
        QProcess &p = running ? *running : own;
        p.start(QStringLiteral(HALVORN_SERVER_PATH), {"--backup", target, "--database", database});
        if (running)
            return {};
        p.waitForFinished(60000);
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardError()};
    }

    QTemporaryDir dir;
    ServerProcess server;
};

QStringList fileRows(RawClient &c, const QString &project)
{
    const auto list = c.request("FLIS", projectRecord(project));
    return list && !IsFailurePayload(list->payload) ? decodeList(list->payload) : QStringList();
}

} // namespace

TEST_F(EndToEndOperations, HealthAndMetricsOverHttp)
{
    start();
    const HttpAnswer health = httpGet(url("/healthz"));
    EXPECT_EQ(health.status, 200);
    EXPECT_EQ(health.body, "ok\n");
    const QByteArray refusedSignIns = "halvorn_refusals_total{reason=\"sign_in\"}";
    EXPECT_EQ(metric(refusedSignIns), 0);

    auto ann = member(server, "ann", true);
    ASSERT_TRUE(ann);
    ASSERT_TRUE(isGood(ann->request("ACHR", chatRecord("Lobby"))));
    RawClient eve;
    ASSERT_TRUE(eve.connectTo(server.port));
    EXPECT_FALSE(eve.signIn("ann", "guess", false));
    EXPECT_EQ(metric(refusedSignIns), 1);

    const QByteArray page = httpGet(url("/metrics")).body;
    EXPECT_TRUE(page.contains("# TYPE halvorn_refusals_total counter\n")) << page.constData();
    EXPECT_EQ(metricValue(page, "halvorn_connections"), 2);
    EXPECT_EQ(metricValue(page, "halvorn_signed_in_users"), 1);
    EXPECT_EQ(metricValue(page, "halvorn_rooms"), 1);
    EXPECT_EQ(metricValue(page, "halvorn_password_hashing_queue"), 0);
    // CRAT, LOGI and ACHR from ann, LOGI from eve; greeting requests and replies back.
    EXPECT_EQ(metricValue(page, "halvorn_messages_received_total"), 4);
    EXPECT_EQ(metricValue(page, "halvorn_messages_sent_total"), 6);
    EXPECT_GT(metricValue(page, "halvorn_received_bytes_total").value_or(0), 4 * kHeaderSize);
    EXPECT_GT(metricValue(page, "halvorn_sent_bytes_total").value_or(0), 6 * kHeaderSize);
    EXPECT_GT(metricValue(page, "halvorn_database_bytes").value_or(0), 0);

    // A database another process holds is reported, and recovers.
    withConnection(database(), [&](QSqlDatabase &db) {
        QSqlQuery hold(db);
        ASSERT_TRUE(hold.exec("BEGIN IMMEDIATE"));
        EXPECT_EQ(httpGet(url("/healthz")).status, 503);
        hold.exec("ROLLBACK");
    });
    EXPECT_EQ(httpGet(url("/healthz")).status, 200);

    // The metrics are for this machine unless the option says otherwise.
    server.stop();
    start({"--metrics-from", "10.0.0.0/8"});
    EXPECT_EQ(httpGet(url("/metrics")).status, 403);
    EXPECT_EQ(httpGet(url("/healthz")).status, 200);
    ServerProcess bad;
    EXPECT_FALSE(bad.start(dir.filePath("bad.db"), {"--metrics-from", "everyone"}));
    bad.process.waitForFinished(10000);
    EXPECT_TRUE(bad.process.readAllStandardError().contains("--metrics-from"));
}

TEST_F(EndToEndOperations, ABackupTakenUnderWriteLoadRestoresEverything)
{
    start();
    auto ann = member(server, "ann", true);
    auto bob = member(server, "bob", true);
    auto cy = member(server, "cy", true);
    ASSERT_TRUE(ann && bob && cy);
    ASSERT_TRUE(isGood(ann->request("APRO", projectRecord("Site", {}, "sp"))));
    ASSERT_TRUE(isGood(ann->request("APRO", projectRecord("Docs", {}, "dp"))));
    ASSERT_TRUE(isGood(ann->request("ADDP", projectRecord("Site", "index.htm") + EncodeString("<p>home</p>"))));
    ASSERT_TRUE(isGood(ann->request("ADDP", projectRecord("Site", "style.css") + EncodeString("p {}"))));
    ASSERT_TRUE(isGood(ann->request("ADDP", projectRecord("Docs", "big.bin") + EncodeString(filled(3 * kMiB, 7)), 20000)));
    ASSERT_TRUE(isGood(bob->request("JPRO", projectRecord("Site", {}, "sp"))));
    ASSERT_TRUE(isGood(bob->request("BFOU", projectRecord("Site", "index.htm"))));
    ASSERT_TRUE(isGood(cy->request("JPRO", projectRecord("Docs", {}, "dp"))));

    // Another client keeps adding files while the backup runs.
    auto loader = member(server, "loader", true);
    ASSERT_TRUE(loader);
    ASSERT_TRUE(isGood(loader->request("APRO", projectRecord("Load", {}, "lp"))));
    int added = 0;
    const auto addOne = [&] {
        ASSERT_TRUE(isGood(loader->request("ADDP", projectRecord("Load", QStringLiteral("f%1.bin").arg(added)) + EncodeString(filled(256 * 1024, added + 1)), 20000)));
        ++added;
    };
    while (added < 40)
        addOne();
    const int addedBefore = added;
    const QString copy = dir.filePath("backup/halvorn-copy.db");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("backup")));
    QProcess running;
    backup(database(), copy, &running);
    ASSERT_TRUE(running.waitForStarted(5000));
    while (running.state() != QProcess::NotRunning)
        addOne();
    const int addedAfter = added;
    EXPECT_EQ(running.exitCode(), 0) << running.readAllStandardError().constData();
    EXPECT_TRUE(running.readAllStandardOutput().contains("backed up"));
    // It holds the password hashes: for its owner only.
    EXPECT_EQ(QFileInfo(copy).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
    std::printf("files added: %d before the backup, %d while it ran\n", addedBefore, addedAfter - addedBefore);

    // A server on the copy knows every account, project, member, file and booking.
    ServerProcess restored;
    ASSERT_TRUE(restored.start(copy)) << restored.process.readAllStandardError().constData();
    auto ann2 = member(restored, "ann", false);
    auto bob2 = member(restored, "bob", false);
    auto cy2 = member(restored, "cy", false);
    auto loader2 = member(restored, "loader", false);
    ASSERT_TRUE(ann2 && bob2 && cy2 && loader2);
    EXPECT_EQ(fileRows(*bob2, "Site"), (QStringList{"index.htm", "ann", "TRUE", "style.css", "ann", "FALSE"}));
    EXPECT_EQ(fileRows(*cy2, "Docs"), (QStringList{"big.bin", "ann", "FALSE"}));
    EXPECT_TRUE(fileRows(*bob2, "Docs").isEmpty()) << "bob was no member of Docs";
    EXPECT_FALSE(isGood(cy2->request("BFOU", projectRecord("Site", "index.htm"))));
    const auto big = cy2->request("GTFD", projectRecord("Docs", "big.bin"), 20000);
    ASSERT_TRUE(big);
    EXPECT_TRUE(big->payload == EncodeString("big.bin") + EncodeString(filled(3 * kMiB, 7)));
    EXPECT_FALSE(isGood(bob2->request("JPRO", projectRecord("Docs", {}, "wrong"))));
    EXPECT_TRUE(isGood(bob2->request("JPRO", projectRecord("Docs", {}, "dp"))));
    // The copy is one moment of the load: every file acknowledged before it
    // began, none half there.
    const int loadFiles = int(fileRows(*loader2, "Load").size() / 3);
    EXPECT_GE(loadFiles, addedBefore);
    EXPECT_LE(loadFiles, addedAfter);
    const QString last = QStringLiteral("f%1.bin").arg(loadFiles - 1);
    const auto lastFile = loader2->request("GTFD", projectRecord("Load", last), 20000);
    ASSERT_TRUE(lastFile);
    EXPECT_TRUE(lastFile->payload == EncodeString(last.toUtf8()) + EncodeString(filled(256 * 1024, loadFiles)));

    // A second backup replaces the first whole; no partial copy is left beside it.
    restored.stop();
    EXPECT_EQ(backup(database(), copy).first, 0);
    EXPECT_TRUE(QDir(dir.filePath("backup")).entryList({".*"}, QDir::Files | QDir::Hidden).isEmpty());
    withConnection(copy, [](QSqlDatabase &db) { EXPECT_EQ(sqlValue(db, "PRAGMA quick_check").toString(), "ok"); });
}

TEST_F(EndToEndOperations, ABackupThatCannotBeMadeSaysWhy)
{
    start();
    const struct
    {
        QString database;
        QString target;
        const char *message;
    } cases[] = {
        {dir.filePath("none.db"), dir.filePath("copy.db"), "there is no database"},
        {database(), database(), "is the database itself"},
        {database(), dir.filePath("no/such/folder/copy.db"), "cannot copy"},
        {database(), dir.path(), "is not a file"},
    };
    for (const auto &c : cases) {
        const auto [code, error] = backup(c.database, c.target);
        EXPECT_NE(code, 0) << c.message;
        EXPECT_TRUE(error.contains(c.message)) << error.constData();
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("copy.db")));
    auto ann = member(server, "ann", true);
    EXPECT_TRUE(ann) << "the database was left as it was";
}

TEST_F(EndToEndOperations, ARemovedProjectGivesItsSpaceBack)
{
    // A database made without auto-vacuum is converted once.
    withConnection(database(), [](QSqlDatabase &db) {
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec("CREATE TABLE accounts (name TEXT PRIMARY KEY COLLATE NOCASE, salt BLOB NOT NULL,"
                           " hash BLOB NOT NULL, iterations INTEGER NOT NULL)"));
        ASSERT_TRUE(q.exec("INSERT INTO accounts VALUES ('old', x'00', x'00', 1)"));
        EXPECT_EQ(sqlValue(db, "PRAGMA auto_vacuum").toInt(), 0);
    });
    start();
    auto ann = member(server, "ann", true);
    ASSERT_TRUE(ann);
    ASSERT_TRUE(isGood(ann->request("APRO", projectRecord("Big", {}, "bp"))));
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(isGood(ann->request("ADDP", projectRecord("Big", QStringLiteral("f%1.bin").arg(i)) + EncodeString(filled(6 * kMiB, i + 3)), 30000)));
    const qint64 full = databaseBytes(database());
    EXPECT_GT(full, 24 * kMiB);
    ASSERT_TRUE(isGood(ann->request("RPRO", projectRecord("Big", {}, "bp"), 20000)));
    const qint64 emptied = databaseBytes(database());
    std::printf("database and log: %lld KiB with the project, %lld KiB after removing it\n", full / 1024, emptied / 1024);
    EXPECT_LT(emptied, 2 * kMiB);

    EXPECT_EQ(server.stop(), 0);
    withConnection(database(), [](QSqlDatabase &db) {
        EXPECT_EQ(sqlValue(db, "PRAGMA auto_vacuum").toInt(), 1);  // FULL
        EXPECT_EQ(sqlValue(db, "SELECT count(*) FROM accounts").toInt(), 2);
    });
}

TEST_F(EndToEndOperations, ACopyOfTheDatabaseFileAloneHoldsTheData)
{
    start({"--checkpoint-interval", "1"});
    auto ann = member(server, "ann", true);
    ASSERT_TRUE(ann);
    ASSERT_TRUE(isGood(ann->request("APRO", projectRecord("Site", {}, "sp"))));
    ASSERT_TRUE(isGood(ann->request("ADDP", projectRecord("Site", "index.htm") + EncodeString("<p>kept</p>"))));
    ASSERT_TRUE(isGood(ann->request("BFOU", projectRecord("Site", "index.htm"))));
    // Once the log has been copied in, the file alone holds it all.
    waitUntil([] { return false; }, 1600);
    const QString copy = dir.filePath("copy.db");
    ASSERT_TRUE(QFile::copy(database(), copy));

    ServerProcess restored;
    ASSERT_TRUE(restored.start(copy)) << restored.process.readAllStandardError().constData();
    auto again = member(restored, "ann", false);
    ASSERT_TRUE(again);
    EXPECT_EQ(fileRows(*again, "Site"), (QStringList{"index.htm", "ann", "TRUE"}));
}

namespace {

// A program's exit code, standard output and standard error; -1 when it
// could not run.
struct ToolRun
{
    int code = -1;
    QByteArray out;
    QByteArray error;
};

ToolRun runTool(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return {};
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

QByteArray fileText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST_F(EndToEndOperations, TheServiceUnitsAreHardenedAndValid)
{
    const QString units = QStringLiteral(HALVORN_SERVICE_FILES);
    if (QStandardPaths::findExecutable("systemd-analyze").isEmpty())
        GTEST_SKIP() << "systemd-analyze is not installed (Debian package systemd)";
    for (const char *unit : {"halvorn-server.service", "halvorn-server@.service", "halvorn-backup.service"}) {
        const ToolRun security = runTool("systemd-analyze", {"security", "--offline=true", units + "/" + unit});
        const QRegularExpressionMatch level = QRegularExpression(QStringLiteral("Overall exposure level for [^:]+: ([0-9.]+)"))
                                                  .match(QString::fromUtf8(security.out + security.error));
        ASSERT_TRUE(level.hasMatch()) << security.out.constData() << security.error.constData();
        std::printf("%s: exposure %s\n", unit, qPrintable(level.captured(1)));
        // 0 is the best score, 10 the worst; "OK" ends at 4.9, "MEDIUM" at 6.9.
        EXPECT_LE(level.captured(1).toDouble(), 2.0) << unit << "\n" << security.out.constData();
    }

    // verify checks the directives and that the program exists: the units
    // are checked with the program built here.
    QTemporaryDir copies;
    for (const char *unit : {"halvorn-server.service", "halvorn-server@.service", "halvorn-backup.service", "halvorn-backup.timer"}) {
        QFile copy(copies.filePath(unit));
        ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
        copy.write(fileText(units + "/" + unit).replace("/usr/local/bin/halvorn-server", HALVORN_SERVER_PATH));
    }
    const ToolRun verify = runTool("systemd-analyze", {"verify", copies.filePath("halvorn-server.service"),
                                                       copies.filePath("halvorn-server@.service"), copies.filePath("halvorn-backup.service"),
                                                       copies.filePath("halvorn-backup.timer")});
    if (verify.code == -1 || verify.error.contains("Failed to initialize manager") || verify.error.contains("Failed to setup working directory"))
        GTEST_SKIP() << "systemd-analyze verify cannot run here: " << verify.error.constData();
    EXPECT_EQ(verify.code, 0) << verify.error.constData();
    EXPECT_EQ(verify.error, QByteArray()) << "warnings about the units";

    // logrotate rotates the log the service writes and makes it reopen it.
    const QByteArray service = fileText(units + "/halvorn-server.service");
    const QByteArray rotation = fileText(units + "/halvorn-server.logrotate");
    EXPECT_TRUE(service.contains("LogsDirectory=halvorn\n") && service.contains("--log ${LOGS_DIRECTORY}/server.log"));
    EXPECT_TRUE(rotation.startsWith("#") && rotation.contains("\n/var/log/halvorn/server.log {\n"));
    EXPECT_TRUE(rotation.contains("systemctl reload halvorn-server.service"));
    EXPECT_TRUE(service.contains("ExecReload=/bin/kill -HUP $MAINPID"));
    // An instance on PostgreSQL reads the database password from a
    // credential, never from its command line.
    const QByteArray instance = fileText(units + "/halvorn-server@.service");
    EXPECT_TRUE(instance.contains("\nLoadCredential=pgpass:/etc/halvorn/pgpass\n")
                && instance.contains("\nEnvironment=PGPASSFILE=%d/pgpass\n"));
    if (const QString logrotate = QStandardPaths::findExecutable("logrotate"); !logrotate.isEmpty()) {
        const ToolRun dryRun = runTool(logrotate, {"--debug", "--state", copies.filePath("state"), units + "/halvorn-server.logrotate"});
        EXPECT_EQ(dryRun.code, 0) << dryRun.error.constData();
    } else {
        std::printf("logrotate is not installed: its snippet is not parsed\n");
    }
}
