#include "serverstore.h"

#include "passwordhash.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <utility>

namespace Halvorn {

namespace {

QSqlQuery prepare(const QString &connection, const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database(connection));
    query.prepare(sql);
    return query;
}

// Several statements that stand or fall together; rolled back unless committed.
class Transaction
{
public:
    explicit Transaction(const QString &connection)
        : mDb(QSqlDatabase::database(connection))
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

bool ServerStore::open(const QString &path, QString *error)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), mConnection);
    db.setDatabaseName(path);
    if (!db.open()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    const QStringList schema = {
        QStringLiteral("PRAGMA journal_mode=WAL"),
        QStringLiteral("PRAGMA synchronous=NORMAL"),
        QStringLiteral("PRAGMA foreign_keys=ON"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS accounts (name TEXT PRIMARY KEY COLLATE NOCASE, salt BLOB NOT NULL,"
                       " hash BLOB NOT NULL, iterations INTEGER NOT NULL)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS projects (name TEXT PRIMARY KEY COLLATE NOCASE, salt BLOB NOT NULL,"
                       " hash BLOB NOT NULL, iterations INTEGER NOT NULL, owner TEXT NOT NULL)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS members (project TEXT NOT NULL COLLATE NOCASE REFERENCES"
                       " projects(name) ON DELETE CASCADE, user TEXT NOT NULL COLLATE NOCASE,"
                       " PRIMARY KEY (project, user))"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS files (project TEXT NOT NULL COLLATE NOCASE REFERENCES"
                       " projects(name) ON DELETE CASCADE, name TEXT NOT NULL COLLATE NOCASE, owner TEXT NOT NULL,"
                       " booked_by TEXT NOT NULL COLLATE NOCASE DEFAULT '', content BLOB NOT NULL, PRIMARY KEY (project, name))"),
    };
    for (const QString &sql : schema) {
        QSqlQuery query(db);
        if (!query.exec(sql)) {
            if (error)
                *error = query.lastError().text();
            return false;
        }
    }
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
    Transaction transaction(mConnection);
    QSqlQuery q = prepare(mConnection, QStringLiteral("INSERT INTO projects VALUES (?, ?, ?, ?, ?)"));
    q.addBindValue(name);
    bindPassword(q, password);
    q.addBindValue(owner);
    QSqlQuery member = prepare(mConnection, QStringLiteral("INSERT OR IGNORE INTO members VALUES (?, ?)"));
    member.addBindValue(name);
    member.addBindValue(owner);
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
    return q.exec() && q.numRowsAffected() > 0;
}

QStringList ServerStore::projectNames()
{
    QStringList names;
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT name FROM projects ORDER BY name"));
    if (q.exec()) {
        while (q.next())
            names.append(q.value(0).toString());
    }
    return names;
}

void ServerStore::addMember(const QString &project, const QString &user)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("INSERT OR IGNORE INTO members VALUES (?, ?)"));
    q.addBindValue(project);
    q.addBindValue(user);
    q.exec();
}

bool ServerStore::removeMember(const QString &project, const QString &user)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("DELETE FROM members WHERE project = ? AND user = ?"));
    q.addBindValue(project);
    q.addBindValue(user);
    return q.exec() && q.numRowsAffected() > 0;
}

bool ServerStore::isMember(const QString &project, const QString &user)
{
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT 1 FROM members WHERE project = ? AND user = ?"));
    q.addBindValue(project);
    q.addBindValue(user);
    return q.exec() && q.next();
}

QList<StoredFile> ServerStore::files(const QString &project)
{
    QList<StoredFile> out;
    QSqlQuery q = prepare(mConnection, QStringLiteral("SELECT name, owner, booked_by, length(content) FROM files"
                                                      " WHERE project = ? ORDER BY name"));
    q.addBindValue(project);
    if (q.exec()) {
        while (q.next())
            out.append(storedFile(q));
    }
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
    return q.exec() && q.numRowsAffected() > 0;
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

} // namespace Halvorn
