// The server's lasting state: accounts, projects with their members, files
// and bookings, in a SQLite file (the default: nothing to set up) or in a
// PostgreSQL database that several servers may share. Names compare without
// regard to case. Both hold one schema, created and upgraded on opening by
// numbered migrations; every operation is one transaction.
// SQLite runs in WAL mode with full auto-vacuum: what a removed project or
// file held goes back to the file system at once.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

namespace Halvorn {

struct PasswordRecord;

// Where a PostgreSQL database is, from postgresql://USER@HOST:PORT/NAME
// (or postgres://...). The password is never part of it: libpq reads it
// from PGPASSFILE or ~/.pgpass, or PGPASSWORD.
struct PostgresAddress
{
    QString user;      // empty: libpq's default (PGUSER, or the system user)
    QString host;      // empty: libpq's default (PGHOST, or its Unix socket)
    int port = -1;     // -1: libpq's default (PGPORT, or 5432)
    QString database;
    QString options;   // the URL's other parameters, as key=value;key=value
};

// True when `database` is a PostgreSQL URL, not a SQLite file's path.
bool isPostgresUrl(const QString &database);
// The parts of such a URL; nullopt and *error where it is malformed or
// carries a password.
std::optional<PostgresAddress> parsePostgresUrl(const QString &url, QString *error);

struct StoredFile
{
    QString name;
    QString owner;
    QString bookedBy;  // empty when not booked out
    qint64 size = 0;   // bytes of content
};

// A shared chat room as the database holds it.
struct ChatRoomRecord
{
    QString name;     // as its creator spelled it
    QString creator;
};

// One user's place in a shared chat room.
struct ChatMember
{
    QString room;
    QString user;
};

class ServerStore
{
public:
    ServerStore();
    ~ServerStore();

    enum class Engine { Sqlite, PostgreSql };
    // The schema's version this server creates and upgrades to. A SQLite
    // file made before versions were kept holds version 1's tables: it keeps
    // them with their rows and is upgraded from there.
    static int schemaVersion();

    // `database` is a SQLite file's path or a PostgreSQL URL. Creates or
    // upgrades the schema; a database of a newer version than this server
    // knows is refused. A SQLite database made without auto-vacuum is
    // converted once (a VACUUM).
    [[nodiscard]] bool open(const QString &database, QString *error);
    Engine engine() const { return mEngine; }
    // PostgreSQL: a new connection for one the database server dropped
    // (restarted, say), listening again where listen() asked.
    [[nodiscard]] bool reconnect(QString *error);

    // SQLite: copies the log into the database file (without waiting for
    // readers), so the file on its own holds everything committed so far.
    // PostgreSQL does its own.
    void checkpoint();
    // True while a read of the database succeeds (SQLite: and the write lock
    // can be taken).
    bool answers();
    // SQLite: the database file and its write-ahead log; PostgreSQL: the
    // database's size on the server.
    qint64 fileBytes() const;

    // SQLite only (PostgreSQL: pg_dump). A consistent copy of the database at `database` (which a server may be
    // using meanwhile) written to `target`: made beside it under a temporary
    // name, checked, flushed to disk and renamed over `target`, so `target`
    // is either the previous file or the whole new copy.
    [[nodiscard]] static bool backup(const QString &database, const QString &target, QString *error);

    // Passwords are hashed and checked by the caller, away from this
    // connection's thread.
    bool createAccount(const QString &name, const PasswordRecord &password);
    std::optional<PasswordRecord> accountPassword(const QString &name);

    // The project's stored spelling, or empty when there is none.
    QString projectName(const QString &name);
    // The project and its owner's membership, in one transaction.
    bool createProject(const QString &name, const PasswordRecord &password, const QString &owner);
    std::optional<PasswordRecord> projectPassword(const QString &project);
    bool setProjectPassword(const QString &project, const PasswordRecord &password);
    bool removeProject(const QString &project);
    // Lists are nullopt when the database did not answer.
    std::optional<QStringList> projectNames();
    int projectCount();
    // The user who created the project: its owner.
    QString projectOwner(const QString &project);
    int projectsOwnedBy(const QString &user);
    void addMember(const QString &project, const QString &user);
    // False when the user was no member.
    bool removeMember(const QString &project, const QString &user);
    bool isMember(const QString &project, const QString &user);

    std::optional<QList<StoredFile>> files(const QString &project);
    int fileCount(const QString &project);
    // Bytes of all the project's files.
    qint64 projectBytes(const QString &project);
    std::optional<StoredFile> file(const QString &project, const QString &name);
    bool addFile(const QString &project, const QString &name, const QString &owner, const QByteArray &content);
    // Refused while the file is booked out.
    bool removeFile(const QString &project, const QString &name);
    std::optional<QByteArray> content(const QString &project, const QString &name);
    // Taken in one conditional update: refused while someone else holds it.
    bool bookOut(const QString &project, const QString &name, const QString &user);
    // Only the holder of the booking gives it back.
    bool bookIn(const QString &project, const QString &name, const QString &user);
    // Only the holder of the booking may replace the content.
    bool updateFile(const QString &project, const QString &name, const QString &user, const QByteArray &content);

    // Chat rooms shared by the servers on one PostgreSQL database. Each
    // server is an instance with an id of its own that says it is alive
    // (touchInstance) at intervals; a room exists while anyone is in it.
    bool registerInstance(const QString &instance);
    // Rows updated (0: the instance was taken for dead and removed), or -1
    // when the connection was lost (the database did not answer, or the
    // driver connected anew and so stopped listening): reconnect() then.
    int touchInstance(const QString &instance);
    // Removes the instances silent for longer than `silentSeconds` with their
    // rooms' members and project sessions, in one transaction; returns those
    // who have left: the members no live server still has in that room.
    QList<ChatMember> removeSilentInstances(int silentSeconds);
    // The instance with all its members and project sessions, when it stops.
    void removeInstance(const QString &instance);
    std::optional<ChatRoomRecord> chatRoom(const QString &room);
    std::optional<QStringList> chatRooms();
    int chatRoomsCreatedBy(const QString &user);
    // Each user once, however many sessions they have in the room.
    std::optional<QStringList> chatUsers(const QString &room);
    // `session` tells a user's sessions on one instance apart.
    bool addChatMember(const QString &instance, qint64 session, const ChatRoomRecord &room, const QString &user);
    void removeChatMember(const QString &instance, qint64 session, const QString &room);
    // The rooms' members and project sessions of closed `sessions`, in one
    // statement.
    bool removeSessions(const QString &instance, const QList<qint64> &sessions);
    // The project a session of `instance` is in (empty: none), kept for
    // projectUsers() on every server.
    bool setSessionProject(const QString &instance, qint64 session, const QString &project, const QString &user);
    // Each user once who has a session in `project` on any server and is
    // still its member.
    std::optional<QStringList> projectUsers(const QString &project);
    // PostgreSQL LISTEN/NOTIFY: `heard` gets the payload of every
    // notification on `channel`, this connection's own ones too. One
    // channel a store.
    bool listen(const QString &channel, std::function<void(const QString &payload)> heard);
    bool notify(const QString &channel, const QString &payload);

private:
    bool openSqlite(const QString &path, QString *error);
    bool openPostgres(const QString &url, QString *error);
    // Opens the connection openPostgres() set up, with its session settings.
    bool connectPostgres(QString *error);
    // Brings the schema to schemaVersion(), one migration a transaction.
    bool migrate(QString *error);
    // After a removal: shrinks the SQLite file and empties the log.
    void reclaimSpace();

    QString mConnection;
    QString mPath;
    QString mChannel;  // listened to, or empty
    QVariant mBackendPid;  // PostgreSQL's process serving this connection
    Engine mEngine = Engine::Sqlite;
};

} // namespace Halvorn
