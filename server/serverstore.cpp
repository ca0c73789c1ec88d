#include "serverstore.h"

#include "passwordhash.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>
#include <QUuid>
#include <QVariant>

#include <utility>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace Halvorn {

namespace {

QSqlQuery prepare(const QString &connection, const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database(connection, false));
    query.prepare(sql);
    return query;
}

// Several statements that stand or fall together; rolled back unless committed.
class Transaction
{
public:
    explicit Transaction(const QString &connection)
        : mDb(QSqlDatabase::database(connection, false))
        , mOpen(mDb.transaction())
    {
    }
    ~Transaction()
    {
        if (mOpen)
            mDb.rollback();
    }
    bool isOpen() const { return mOpen; }
    bool commit() { return std::exchange(mOpen, false) && mDb.commit(); }

private:
    QSqlDatabase mDb;
    bool mOpen;
};

// The write-ahead log is cut back to this after a checkpoint that emptied it.
constexpr qint64 kWalSizeLimit = 16 * 1024 * 1024;
// How long a statement waits for a lock another connection holds.
constexpr int kBusyTimeoutMs = 5000;
// How long the health check waits for it.
constexpr int kHealthWaitMs = 1000;
// SQLite's auto_vacuum value for FULL: every commit that frees pages gives
// them back. (INCREMENTAL would need "PRAGMA incremental_vacuum" stepped to
// its end, which Qt's driver does not do: it frees one page a statement.)
constexpr int kFullAutoVacuum = 1;

// How long connecting to PostgreSQL may take.
constexpr int kConnectTimeoutS = 10;
// The advisory lock servers take while they create or upgrade a PostgreSQL
// schema (any number the database's other users do not take).
constexpr qint64 kMigrationLock = 0x48616c76;

// The schema's history: entry N takes it from version N to N + 1 in one
// transaction. Written once for both engines; inDialect() turns the few
// words they spell differently into each engine's own.
const QList<QStringList> kMigrations = {
    // 1: accounts, projects, their members, files and bookings. ("IF NOT
    // EXISTS": a SQLite database made before versions were kept has them.)
    {
        QStringLiteral("{create nocase}"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS accounts (name TEXT COLLATE NOCASE PRIMARY KEY, salt {bytes} NOT NULL,"
                       " hash {bytes} NOT NULL, iterations INTEGER NOT NULL)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS projects (name TEXT COLLATE NOCASE PRIMARY KEY, salt {bytes} NOT NULL,"
                       " hash {bytes} NOT NULL, iterations INTEGER NOT NULL, owner TEXT NOT NULL)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS members (project TEXT COLLATE NOCASE NOT NULL REFERENCES"
                       " projects(name) ON DELETE CASCADE, \"user\" TEXT COLLATE NOCASE NOT NULL,"
                       " PRIMARY KEY (project, \"user\"))"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS files (project TEXT COLLATE NOCASE NOT NULL REFERENCES"
                       " projects(name) ON DELETE CASCADE, name TEXT COLLATE NOCASE NOT NULL, owner TEXT NOT NULL,"
                       " booked_by TEXT COLLATE NOCASE NOT NULL DEFAULT '', content {bytes} NOT NULL,"
                       " PRIMARY KEY (project, name))"),
    },
    // 2: a user's projects are counted (the quota) without reading them all.
    {
        QStringLiteral("CREATE INDEX projects_by_owner ON projects (owner COLLATE NOCASE)"),
    },
    // 3: chat rooms shared by the servers on one PostgreSQL database: the
    // servers running (with the time each last said so) and who is in which
    // room through which server's session. (Made on SQLite too, where one
    // server keeps its rooms in memory and leaves them empty.)
    {
        QStringLiteral("CREATE TABLE chat_instances (id TEXT PRIMARY KEY, seen TIMESTAMPTZ NOT NULL)"),
        QStringLiteral("CREATE TABLE chat_members (instance TEXT NOT NULL, session BIGINT NOT NULL,"
                       " room TEXT COLLATE NOCASE NOT NULL, room_name TEXT NOT NULL, creator TEXT COLLATE NOCASE NOT NULL,"
                       " \"user\" TEXT COLLATE NOCASE NOT NULL, PRIMARY KEY (instance, session, room))"),
        QStringLiteral("CREATE INDEX chat_members_by_room ON chat_members (room)"),
    },
    // 4: the project each session of the servers sharing a PostgreSQL
    // database is in, for the list of a project's users (empty on SQLite).
    {
        QStringLiteral("CREATE TABLE project_sessions (instance TEXT NOT NULL, session BIGINT NOT NULL,"
                       " project TEXT COLLATE NOCASE NOT NULL REFERENCES projects(name) ON DELETE CASCADE,"
                       " \"user\" TEXT COLLATE NOCASE NOT NULL, PRIMARY KEY (instance, session))"),
        QStringLiteral("CREATE INDEX project_sessions_by_project ON project_sessions (project)"),
    },
};

// The differences between the engines, all here: the type of bytes, and
// the NOCASE collation, built into SQLite and made in PostgreSQL under the
// same name (case-insensitive comparison from ICU), so "COLLATE NOCASE"
// reads alike in both. Empty: nothing to do on this engine.
QString inDialect(const QString &sql, ServerStore::Engine engine)
{
    const bool sqlite = engine == ServerStore::Engine::Sqlite;
    if (sql == QLatin1String("{create nocase}")) {
        return sqlite ? QString()
                      : QStringLiteral("CREATE COLLATION IF NOT EXISTS nocase"
                                       " (provider = icu, locale = 'und-u-ks-level2', deterministic = false)");
    }
    QString out = sql;
    return out.replace(QLatin1String("{bytes}"), sqlite ? QLatin1String("BLOB") : QLatin1String("BYTEA"));
}

bool execAll(QSqlDatabase &db, const QStringList &statements, QString *error)
{
    for (const QString &sql : statements) {
        if (sql.isEmpty())
            continue;
        QSqlQuery query(db);
        if (!query.exec(sql)) {
            if (error)
                *error = query.lastError().text();
            return false;
        }
    }
    return true;
}

QVariant singleValue(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    return query.exec(sql) && query.next() ? query.value(0) : QVariant();
}

bool syncToDisk(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// The first column of every row, or nullopt when the query fails.
std::optional<QStringList> namesOf(QSqlQuery &query)
{
    if (!query.exec())
        return std::nullopt;
    QStringList out;
    while (query.next())
        out.append(query.value(0).toString());
    return out;
}

// `text` as an SQL string literal of the connection's engine. Qt's driver
// runs a prepared statement as three round trips to PostgreSQL (prepare,
// execute, deallocate); the statements run most often are written out with
// their values instead, one round trip each.
QString literal(const QString &connection, const QString &text)
{
    QSqlField field(QStringLiteral("text"), QMetaType(QMetaType::QString));
    field.setValue(text);
    return QSqlDatabase::database(connection, false).driver()->formatValue(field);
}

// Runs `sql`, written out in full, on `connection`.
QSqlQuery run(const QString &connection, const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database(connection, false));
    query.exec(sql);
    return query;
}

// PostgreSQL: selected in a statement, its transaction does not wait for
// its commit to reach the disk. For what only the running servers need (who
// is alive, in which room, the chat passed on): none of it is kept for after
// a crash, and a wait for a busy disk would hold up every client of the
// server.
const QLatin1String kUnflushed("set_config('synchronous_commit', 'off', true)");

qint64 countOf(QSqlQuery &query)
{
    return query.exec() && query.next() ? query.value(0).toLongLong() : 0;
}

StoredFile storedFile(const QSqlQuery &query)
{
    return {query.value(0).toString(), query.value(1).toString(), query.value(2).toString(), query.value(3).toLongLong()};
}

// Accounts and projects keep a password alike: salt, hash, iterations.
void bindPassword(QSqlQuery &query, const PasswordRecord &password)
{
    query.addBindValue(password.salt);
    query.addBindValue(password.hash);
    query.addBindValue(password.iterations);
}

// query selects salt, hash and iterations of one row.
std::optional<PasswordRecord> readPassword(QSqlQuery &query)
{
    if (!query.exec() || !query.next())
        return std::nullopt;
    return PasswordRecord{query.value(0).toByteArray(), query.value(1).toByteArray(), query.value(2).toInt()};
}

} // namespace

bool isPostgresUrl(const QString &database)
{
    return database.startsWith(QLatin1String("postgresql://")) || database.startsWith(QLatin1String("postgres://"));
}

std::optional<PostgresAddress> parsePostgresUrl(const QString &url, QString *error)
{
    const QUrl parsed(url, QUrl::StrictMode);
    const QUrlQuery query(parsed);
    if (!parsed.isValid() || !isPostgresUrl(url) || !parsed.fragment().isEmpty()) {
        *error = QStringLiteral("%1 is not a PostgreSQL URL (postgresql://USER@HOST:PORT/DATABASE)").arg(url);
        return std::nullopt;
    }
    if (parsed.userInfo().contains(QLatin1Char(':')) || query.hasQueryItem(QStringLiteral("password"))) {
        *error = QStringLiteral("the database URL must not carry a password: put it in ~/.pgpass (or the file"
                                " PGPASSFILE names), or in PGPASSWORD");
        return std::nullopt;
    }
    PostgresAddress address;
    address.user = parsed.userName();
    address.host = parsed.host();
    address.port = parsed.port(-1);
    address.database = parsed.path().mid(1);
    if (address.database.isEmpty() || address.database.contains(QLatin1Char('/'))) {
        *error = QStringLiteral("%1 names no database (postgresql://USER@HOST:PORT/DATABASE)").arg(url);
        return std::nullopt;
    }
    QStringList options;
    for (const auto &[key, value] : query.queryItems(QUrl::FullyDecoded))
        options.append(key + QLatin1Char('=') + value);
    address.options = options.join(QLatin1Char(';'));
    return address;
}

ServerStore::ServerStore()
    : mConnection(QStringLiteral("halvorn-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

ServerStore::~ServerStore()
{
    {
        QSqlDatabase db = QSqlDatabase::database(mConnection, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(mConnection);
}

int ServerStore::schemaVersion()
{
    return int(kMigrations.size());
}

bool ServerStore::open(const QString &database, QString *error)
{
    mPath = database;
    mEngine = isPostgresUrl(database) ? Engine::PostgreSql : Engine::Sqlite;
    const bool opened = mEngine == Engine::PostgreSql ? openPostgres(database, error) : openSqlite(database, error);
    if (!opened || !migrate(error))
        return false;
    checkpoint();
    return true;
}

bool ServerStore::openSqlite(const QString &path, QString *error)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), mConnection);
    db.setDatabaseName(path);
    if (!db.open()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    // Before the first table, the setting alone does it; afterwards only a
    // VACUUM rebuilds the file with it.
    if (singleValue(db, QStringLiteral("PRAGMA auto_vacuum")).toInt() != kFullAutoVacuum) {
        const bool hasTables = singleValue(db, QStringLiteral("SELECT count(*) FROM sqlite_master")).toInt() > 0;
        QStringList convert = {QStringLiteral("PRAGMA auto_vacuum=FULL")};
        if (hasTables)
            convert.append(QStringLiteral("VACUUM"));
        if (!execAll(db, convert, error))
            return false;
    }
    return execAll(db,
                   {
                       QStringLiteral("PRAGMA busy_timeout=%1").arg(kBusyTimeoutMs),
                       QStringLiteral("PRAGMA journal_mode=WAL"),
                       QStringLiteral("PRAGMA journal_size_limit=%1").arg(kWalSizeLimit),
                       QStringLiteral("PRAGMA synchronous=NORMAL"),
                       QStringLiteral("PRAGMA foreign_keys=ON"),
                   },
                   error);
}

bool ServerStore::openPostgres(const QString &url, QString *error)
{
    const std::optional<PostgresAddress> address = parsePostgresUrl(url, error);
    if (!address)
        return false;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        *error = QStringLiteral("Qt's PostgreSQL driver is not installed (Debian package libqt6sql6-psql)");
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), mConnection);
    if (!address->user.isEmpty())
        db.setUserName(address->user);
    if (!address->host.isEmpty())
        db.setHostName(address->host);
    if (address->port >= 0)
        db.setPort(address->port);
    db.setDatabaseName(address->database);
    db.setConnectOptions(QStringLiteral("connect_timeout=%1;application_name=halvorn-server").arg(kConnectTimeoutS)
                         + (address->options.isEmpty() ? QString() : QLatin1Char(';') + address->options));
    return connectPostgres(error);
}

bool ServerStore::connectPostgres(QString *error)
{
    QSqlDatabase db = QSqlDatabase::database(mConnection, false);
    if (!db.open()) {
        *error = QStringLiteral("cannot connect to %1: %2").arg(mPath, db.lastError().text());
        return false;
    }
    // Notices ("already exists, skipping") are no news for the log.
    if (!execAll(db, {QStringLiteral("SET lock_timeout = %1").arg(kBusyTimeoutMs), QStringLiteral("SET client_min_messages = warning")},
                 error))
        return false;
    mBackendPid = singleValue(db, QStringLiteral("SELECT pg_backend_pid()"));
    if (!mChannel.isEmpty() && !db.driver()->subscribeToNotification(mChannel)) {
        *error = QStringLiteral("cannot listen to %1: %2").arg(mChannel, db.driver()->lastError().text());
        return false;
    }
    return true;
}

bool ServerStore::reconnect(QString *error)
{
    if (mEngine != Engine::PostgreSql)
        return false;
    QSqlDatabase db = QSqlDatabase::database(mConnection, false);
    db.close();
    return connectPostgres(error);
}

bool ServerStore::migrate(QString *error)
{
    QSqlDatabase db = QSqlDatabase::database(mConnection, false);
    QString failure;
    for (;;) {
        Transaction transaction(mConnection);
        // Servers starting together on one PostgreSQL database take turns.
        if (!transaction.isOpen()
            || (mEngine == Engine::PostgreSql
                && !execAll(db, {QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kMigrationLock)}, &failure))
            || !execAll(db, {QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)")}, &failure)) {
            break;
        }
        QVariant stored = singleValue(db, QStringLiteral("SELECT version FROM schema_version"));
        if (!stored.isValid()) {
            // New, or made before the schema had versions: migration 1 keeps
            // the tables it finds and adds those missing.
            if (!execAll(db, {QStringLiteral("INSERT INTO schema_version VALUES (0)")}, &failure))
                break;
            stored = 0;
        }
        const int version = stored.toInt();
        if (version > schemaVersion()) {
            *error = QStringLiteral("the database's schema is version %1; this server knows versions up to %2")
                         .arg(version).arg(schemaVersion());
            return false;
        }
        if (version == schemaVersion()) {
            if (transaction.commit())
                return true;
            break;
        }
        QStringList steps;
        for (const QString &sql : kMigrations[version])
            steps.append(inDialect(sql, mEngine));
        steps.append(QStringLiteral("UPDATE schema_version SET version = %1").arg(version + 1));
        if (!execAll(db, steps, &failure))
            break;
        if (!transaction.commit()) {
            failure = db.lastError().text();
            break;
        }
    }
    *error = QStringLiteral("cannot create or upgrade the schema: %1")
                 .arg(failure.isEmpty() ? db.lastError().text() : failure);
    return false;
}

void ServerStore::checkpoint()
{
    if (mEngine != Engine::Sqlite)
        return;
    QSqlQuery q(QSqlDatabase::database(mConnection, false));
    q.exec(QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"));
}

void ServerStore::reclaimSpace()
{
    // The commit gave the pages back in the log; the checkpoint cuts the
    // database file, and the log is emptied. (PostgreSQL's autovacuum
    // takes care of its own.)
    if (mEngine != Engine::Sqlite)
        return;
    QSqlQuery q(QSqlDatabase::database(mConnection, false));
    q.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

bool ServerStore::answers()
{
    // A read, and the write lock taken (and let go) within kHealthWaitMs:
    // a database another process holds, or one that cannot be read, fails.
    QSqlDatabase db = QSqlDatabase::database(mConnection, false);
    if (mEngine == Engine::PostgreSql)
        return singleValue(db, QStringLiteral("SELECT count(*) FROM accounts")).isValid();
    QSqlQuery q(db);
    q.exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(kHealthWaitMs));
    const bool ok = q.exec(QStringLiteral("BEGIN IMMEDIATE"));
    const bool read = ok && q.exec(QStringLiteral("SELECT count(*) FROM accounts")) && q.next();
    q.finish();
    if (ok)
        q.exec(QStringLiteral("ROLLBACK"));
    q.exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(kBusyTimeoutMs));
    return read;
}

qint64 ServerStore::fileBytes() const
{
    if (mEngine == Engine::PostgreSql) {
        QSqlDatabase db = QSqlDatabase::database(mConnection, false);
        return singleValue(db, QStringLiteral("SELECT pg_database_size(current_database())")).toLongLong();
    }
    return QFileInfo(mPath).size() + QFileInfo(mPath + QStringLiteral("-wal")).size();
}

bool ServerStore::backup(const QString &database, const QString &target, QString *error)
{
    const QFileInfo source(database);
    if (!source.isFile()) {
        *error = QStringLiteral("there is no database %1").arg(database);
        return false;
    }
    const QFileInfo into(target);
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        if (into.exists() && into.canonicalFilePath() == QFileInfo(source.canonicalFilePath() + suffix).canonicalFilePath()) {
            *error = QStringLiteral("%1 is the database itself").arg(target);
            return false;
        }
    }
    if (into.exists() && !into.isFile()) {
        *error = QStringLiteral("%1 is not a file").arg(target);
        return false;
    }
    const QString partial = into.absolutePath() + QStringLiteral("/.") + into.fileName() + QStringLiteral(".partial-")
                            + QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QString connection = QStringLiteral("halvorn-backup-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(database);
        // Never changes the database: a running server owns it.
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery copy(db);
            copy.prepare(QStringLiteral("VACUUM INTO ?"));
            copy.addBindValue(partial);
            ok = copy.exec();
            if (!ok)
                *error = QStringLiteral("cannot copy %1 to %2: %3").arg(database, partial, copy.lastError().text());
        } else {
            *error = QStringLiteral("cannot open %1: %2").arg(database, db.lastError().text());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (ok) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(partial);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        const QString check = db.open() ? singleValue(db, QStringLiteral("PRAGMA quick_check")).toString() : db.lastError().text();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection);
        if (check != QLatin1String("ok")) {
            *error = QStringLiteral("the copy failed its check: %1").arg(check);
            ok = false;
        }
    }
    if (ok && !syncToDisk(partial)) {
        *error = QStringLiteral("cannot write %1 to disk").arg(partial);
        ok = false;
    }
    if (ok && ::rename(QFile::encodeName(partial).constData(), QFile::encodeName(into.absoluteFilePath()).constData()) != 0) {
        *error = QStringLiteral("cannot rename the copy to %1: %2").arg(target, QString::fromLocal8Bit(strerror(errno)));
        ok = false;
    }
    if (!ok) {
        QFile::remove(partial);
        return false;
    }
    syncToDisk(into.absolutePath());
    return true;
}

bool ServerStore::createAccount(const QString &name, const PasswordRecord &password)
{
    if (name.isEmpty())
        return false;
    QSqlQuery q = prepare(mConnection, QStringLiteral("INSERT INTO accounts VALUES (?, ?, ?, ?)"));
    q.addBindValue(name);
    bindPassword(q, password);
    return q.exec();
}

std::optional<PasswordRecord> ServerStore::accountPassword(const QString &name)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT salt, hash, iterations FROM accounts WHERE name = ?"));
    q.addBindValue(name);
    return readPassword(q);
}

QString ServerStore::projectName(const QString &name)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT name FROM projects WHERE name = ?"));
    q.addBindValue(name);
    return q.exec() && q.next() ? q.value(0).toString() : QString();
}

bool ServerStore::createProject(const QString &name, const PasswordRecord &password, const QString &owner)
{
    if (name.isEmpty())
        return false;
    QSqlQuery q = prepare(mConnection, QStringLiteral("INSERT INTO projects VALUES (?, ?, ?, ?, ?)"));
    q.addBindValue(name);
    bindPassword(q, password);
    q.addBindValue(owner);
    QSqlQuery member = prepare(mConnection, QStringLiteral("INSERT INTO members VALUES (?, ?) ON CONFLICT DO NOTHING"));
    member.addBindValue(name);
    member.addBindValue(owner);
    // After the statements, so it ends (a rollback on failure) before they
    // are freed: PostgreSQL frees nothing in a failed transaction.
    Transaction transaction(mConnection);
    return transaction.isOpen() && q.exec() && member.exec() && transaction.commit();
}

bool ServerStore::setProjectPassword(const QString &project, const PasswordRecord &password)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("UPDATE projects SET salt = ?, hash = ?, iterations = ? WHERE name = ?"));
    bindPassword(q, password);
    q.addBindValue(project);
    return q.exec() && q.numRowsAffected() > 0;
}

int ServerStore::projectCount()
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT count(*) FROM projects"));
    return int(countOf(q));
}

QString ServerStore::projectOwner(const QString &project)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT owner FROM projects WHERE name = ?"));
    q.addBindValue(project);
    return q.exec() && q.next() ? q.value(0).toString() : QString();
}

int ServerStore::projectsOwnedBy(const QString &user)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT count(*) FROM projects WHERE owner = ? COLLATE NOCASE"));
    q.addBindValue(user);
    return int(countOf(q));
}

std::optional<PasswordRecord> ServerStore::projectPassword(const QString &project)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT salt, hash, iterations FROM projects WHERE name = ?"));
    q.addBindValue(project);
    return readPassword(q);
}

bool ServerStore::removeProject(const QString &project)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("DELETE FROM projects WHERE name = ?"));
    q.addBindValue(project);
    const bool removed = q.exec() && q.numRowsAffected() > 0;
    if (removed)
        reclaimSpace();
    return removed;
}

std::optional<QStringList> ServerStore::projectNames()
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT name FROM projects ORDER BY name"));
    return namesOf(q);
}

void ServerStore::addMember(const QString &project, const QString &user)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("INSERT INTO members VALUES (?, ?) ON CONFLICT DO NOTHING"));
    q.addBindValue(project);
    q.addBindValue(user);
    q.exec();
}

bool ServerStore::removeMember(const QString &project, const QString &user)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("DELETE FROM members WHERE project = ? AND \"user\" = ?"));
    q.addBindValue(project);
    q.addBindValue(user);
    return q.exec() && q.numRowsAffected() > 0;
}

bool ServerStore::isMember(const QString &project, const QString &user)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT 1 FROM members WHERE project = ? AND \"user\" = ?"));
    q.addBindValue(project);
    q.addBindValue(user);
    return q.exec() && q.next();
}

std::optional<QList<StoredFile>> ServerStore::files(const QString &project)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT name, owner, booked_by, length(content) FROM files"
                                                      " WHERE project = ? ORDER BY name"));
    q.addBindValue(project);
    if (!q.exec())
        return std::nullopt;
    QList<StoredFile> out;
    while (q.next())
        out.append(storedFile(q));
    return out;
}

int ServerStore::fileCount(const QString &project)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT count(*) FROM files WHERE project = ?"));
    q.addBindValue(project);
    return int(countOf(q));
}

qint64 ServerStore::projectBytes(const QString &project)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT coalesce(sum(length(content)), 0) FROM files WHERE project = ?"));
    q.addBindValue(project);
    return countOf(q);
}

std::optional<StoredFile> ServerStore::file(const QString &project, const QString &name)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT name, owner, booked_by, length(content) FROM files"
                                                      " WHERE project = ? AND name = ?"));
    q.addBindValue(project);
    q.addBindValue(name);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return storedFile(q);
}

bool ServerStore::addFile(const QString &project, const QString &name, const QString &owner, const QByteArray &content)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("INSERT INTO files (project, name, owner, content) VALUES (?, ?, ?, ?)"));
    q.addBindValue(project);
    q.addBindValue(name);
    q.addBindValue(owner);
    q.addBindValue(content.isNull() ? QByteArray("") : content);
    return q.exec();
}

bool ServerStore::removeFile(const QString &project, const QString &name)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("DELETE FROM files WHERE project = ? AND name = ? AND booked_by = ''"));
    q.addBindValue(project);
    q.addBindValue(name);
    const bool removed = q.exec() && q.numRowsAffected() > 0;
    if (removed)
        reclaimSpace();
    return removed;
}

std::optional<QByteArray> ServerStore::content(const QString &project, const QString &name)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT content FROM files WHERE project = ? AND name = ?"));
    q.addBindValue(project);
    q.addBindValue(name);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return q.value(0).toByteArray();
}

bool ServerStore::bookOut(const QString &project, const QString &name, const QString &user)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("UPDATE files SET booked_by = ? WHERE project = ? AND name = ?"
                                                      " AND (booked_by = '' OR booked_by = ?)"));
    q.addBindValue(user);
    q.addBindValue(project);
    q.addBindValue(name);
    q.addBindValue(user);
    return q.exec() && q.numRowsAffected() > 0;
}

bool ServerStore::bookIn(const QString &project, const QString &name, const QString &user)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("UPDATE files SET booked_by = '' WHERE project = ? AND name = ?"
                                                      " AND booked_by = ? AND booked_by <> ''"));
    q.addBindValue(project);
    q.addBindValue(name);
    q.addBindValue(user);
    return q.exec() && q.numRowsAffected() > 0;
}

bool ServerStore::updateFile(const QString &project, const QString &name, const QString &user, const QByteArray &content)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("UPDATE files SET content = ? WHERE project = ? AND name = ?"
                                                      " AND booked_by = ? AND booked_by <> ''"));
    q.addBindValue(content.isNull() ? QByteArray("") : content);
    q.addBindValue(project);
    q.addBindValue(name);
    q.addBindValue(user);
    return q.exec() && q.numRowsAffected() > 0;
}

// Shared chat rooms (PostgreSQL).

namespace {

QList<ChatMember> readMembers(QSqlQuery &query)
{
    QList<ChatMember> out;
    while (query.next())
        out.append(ChatMember{query.value(0).toString(), query.value(1).toString()});
    return out;
}

} // namespace

bool ServerStore::registerInstance(const QString &instance)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("INSERT INTO chat_instances VALUES (?, now())"
                                                      " ON CONFLICT (id) DO UPDATE SET seen = now()"));
    q.addBindValue(instance);
    return q.exec();
}

int ServerStore::touchInstance(const QString &instance)
{
    // A connection the driver made anew behind our back (after the server
    // restarted) has lost what it listened to: taken as lost.
    QSqlQuery q = run(mConnection, QStringLiteral("WITH touched AS (UPDATE chat_instances SET seen = now() WHERE id = %1"
                                                  " RETURNING 1) SELECT pg_backend_pid(), (SELECT count(*) FROM touched), %2")
                                       .arg(literal(mConnection, instance), kUnflushed));
    if (!q.isActive() || !q.next() || q.value(0) != mBackendPid)
        return -1;
    return q.value(1).toInt();
}

QList<ChatMember> ServerStore::removeSilentInstances(int silentSeconds)
{
    // One statement: one transaction, one round trip. Who has left: a user
    // still in the room through a live server (back there after their own
    // server went) has not. The statement sees chat_members as it was before
    // its DELETEs, hence the live servers' rows only.
    QSqlQuery q = run(mConnection, QStringLiteral("WITH gone AS (DELETE FROM chat_instances"
                                                  " WHERE seen < now() - interval '%1 seconds' RETURNING id),"
                                                  " sessions AS (DELETE FROM project_sessions WHERE instance IN (SELECT id FROM gone)),"
                                                  " members AS (DELETE FROM chat_members WHERE instance IN (SELECT id FROM gone)"
                                                  " RETURNING room, room_name, \"user\")"
                                                  " SELECT DISTINCT room_name, \"user\", %2 FROM members WHERE NOT EXISTS"
                                                  " (SELECT 1 FROM chat_members m WHERE m.room = members.room"
                                                  " AND m.\"user\" = members.\"user\" AND m.instance NOT IN (SELECT id FROM gone))")
                                       .arg(silentSeconds).arg(kUnflushed));
    return q.isActive() ? readMembers(q) : QList<ChatMember>();
}

void ServerStore::removeInstance(const QString &instance)
{
    QSqlQuery members = prepare(mConnection, QStringLiteral("DELETE FROM chat_members WHERE instance = ?"));
    members.addBindValue(instance);
    QSqlQuery sessions = prepare(mConnection, QStringLiteral("DELETE FROM project_sessions WHERE instance = ?"));
    sessions.addBindValue(instance);
    QSqlQuery row = prepare(mConnection, QStringLiteral("DELETE FROM chat_instances WHERE id = ?"));
    row.addBindValue(instance);
    Transaction transaction(mConnection);
    if (transaction.isOpen() && members.exec() && sessions.exec() && row.exec())
        transaction.commit();
}

std::optional<ChatRoomRecord> ServerStore::chatRoom(const QString &room)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT room_name, creator FROM chat_members WHERE room = ? LIMIT 1"));
    q.addBindValue(room);
    if (!q.exec() || !q.next())
        return std::nullopt;
    return ChatRoomRecord{q.value(0).toString(), q.value(1).toString()};
}

std::optional<QStringList> ServerStore::chatRooms()
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT MIN(room_name) FROM chat_members GROUP BY room"));
    return namesOf(q);
}

int ServerStore::chatRoomsCreatedBy(const QString &user)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT COUNT(DISTINCT room) FROM chat_members WHERE creator = ?"));
    q.addBindValue(user);
    return q.exec() && q.next() ? q.value(0).toInt() : 0;
}

std::optional<QStringList> ServerStore::chatUsers(const QString &room)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT DISTINCT \"user\" FROM chat_members WHERE room = ?"));
    q.addBindValue(room);
    return namesOf(q);
}

bool ServerStore::addChatMember(const QString &instance, qint64 session, const ChatRoomRecord &room, const QString &user)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("INSERT INTO chat_members VALUES (?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"));
    q.addBindValue(instance);
    q.addBindValue(session);
    q.addBindValue(room.name);
    q.addBindValue(room.name);
    q.addBindValue(room.creator);
    q.addBindValue(user);
    return q.exec();
}

void ServerStore::removeChatMember(const QString &instance, qint64 session, const QString &room)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("DELETE FROM chat_members WHERE instance = ? AND session = ? AND room = ?"));
    q.addBindValue(instance);
    q.addBindValue(session);
    q.addBindValue(room);
    q.exec();
}

bool ServerStore::removeSessions(const QString &instance, const QList<qint64> &sessions)
{
    QStringList numbers;
    for (const qint64 session : sessions)
        numbers.append(QString::number(session));
    const QString which = QStringLiteral("instance = %1 AND session IN (%2)")
                              .arg(literal(mConnection, instance), numbers.join(QLatin1Char(',')));
    return run(mConnection, QStringLiteral("WITH members AS (DELETE FROM chat_members WHERE %1),"
                                           " sessions AS (DELETE FROM project_sessions WHERE %1) SELECT %2")
                                .arg(which, kUnflushed))
        .isActive();
}

bool ServerStore::setSessionProject(const QString &instance, qint64 session, const QString &project, const QString &user)
{
    if (project.isEmpty()) {
        QSqlQuery q = prepare(mConnection, QStringLiteral("DELETE FROM project_sessions WHERE instance = ? AND session = ?"));
        q.addBindValue(instance);
        q.addBindValue(session);
        return q.exec();
    }
    QSqlQuery q = prepare(mConnection, QStringLiteral("INSERT INTO project_sessions VALUES (?, ?, ?, ?) ON CONFLICT"
                                                      " (instance, session) DO UPDATE SET project = excluded.project,"
                                                      " \"user\" = excluded.\"user\""));
    q.addBindValue(instance);
    q.addBindValue(session);
    q.addBindValue(project);
    q.addBindValue(user);
    return q.exec();
}

std::optional<QStringList> ServerStore::projectUsers(const QString &project)
{
    // A session whose user was removed from the project (on any server) no
    // longer counts.
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT DISTINCT s.\"user\" FROM project_sessions s JOIN members m"
                                                      " ON m.project = s.project AND m.\"user\" = s.\"user\""
                                                      " WHERE s.project = ?"));
    q.addBindValue(project);
    return namesOf(q);
}

bool ServerStore::listen(const QString &channel, std::function<void(const QString &payload)> heard)
{
    QSqlDriver *driver = QSqlDatabase::database(mConnection, false).driver();
    if (!mChannel.isEmpty() || !driver->subscribeToNotification(channel))
        return false;
    mChannel = channel;  // subscribed again on reconnecting
    QObject::connect(driver, &QSqlDriver::notification, driver,
                     [channel, heard = std::move(heard)](const QString &name, QSqlDriver::NotificationSource,
                                                          const QVariant &payload) {
                         if (name == channel)
                             heard(payload.toString());
                     });
    return true;
}

bool ServerStore::notify(const QString &channel, const QString &payload)
{
    return run(mConnection, QStringLiteral("SELECT pg_notify(%1, %2), %3")
                                .arg(literal(mConnection, channel), literal(mConnection, payload), kUnflushed))
        .isActive();
}

} // namespace Halvorn
