// The server's lasting state in SQLite: accounts, projects with their
// members, files and bookings. Names compare without regard to ASCII case.
// The database runs in WAL mode with full auto-vacuum: what a removed
// project or file held goes back to the file system at once.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace Halvorn {

struct PasswordRecord;

struct StoredFile
{
    QString name;
    QString owner;
    QString bookedBy;  // empty when not booked out
    qint64 size = 0;   // bytes of content
};

class ServerStore
{
public:
    ServerStore();
    ~ServerStore();

    // Creates the tables where missing; a database made without
    // auto-vacuum is converted once (a VACUUM).
    [[nodiscard]] bool open(const QString &path, QString *error);

    // Copies the log into the database file (without waiting for readers),
    // so the file on its own holds everything committed so far.
    void checkpoint();
    // True while a read of the database succeeds.
    bool answers();
    // The database file and its write-ahead log.
    qint64 fileBytes() const;

    // A consistent copy of the database at `database` (which a server may be
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
    QStringList projectNames();
    int projectCount();
    // The user who created the project: its owner.
    QString projectOwner(const QString &project);
    int projectsOwnedBy(const QString &user);
    void addMember(const QString &project, const QString &user);
    // False when the user was no member.
    bool removeMember(const QString &project, const QString &user);
    bool isMember(const QString &project, const QString &user);

    QList<StoredFile> files(const QString &project);
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

private:
    // After a removal: shrinks the database file and empties the log.
    void reclaimSpace();

    QString mConnection;
    QString mPath;
};

} // namespace Halvorn
