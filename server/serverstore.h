// The server's lasting state in SQLite: accounts, projects with their
// members, files and bookings. Names compare without regard to ASCII case.
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
};

class ServerStore
{
public:
    ServerStore();
    ~ServerStore();

    [[nodiscard]] bool open(const QString &path, QString *error);

    // Passwords are hashed and checked by the caller, away from this
    // connection's thread.
    bool createAccount(const QString &name, const PasswordRecord &password);
    std::optional<PasswordRecord> accountPassword(const QString &name);

    // The project's stored spelling, or empty when there is none.
    QString projectName(const QString &name);
    bool createProject(const QString &name, const PasswordRecord &password, const QString &owner);
    std::optional<PasswordRecord> projectPassword(const QString &project);
    bool removeProject(const QString &project);
    QStringList projectNames();
    void addMember(const QString &project, const QString &user);
    bool isMember(const QString &project, const QString &user);

    QList<StoredFile> files(const QString &project);
    std::optional<StoredFile> file(const QString &project, const QString &name);
    bool addFile(const QString &project, const QString &name, const QString &owner, const QByteArray &content);
    // Refused while the file is booked out.
    bool removeFile(const QString &project, const QString &name);
    std::optional<QByteArray> content(const QString &project, const QString &name);
    // Refused while someone else holds the booking.
    bool bookOut(const QString &project, const QString &name, const QString &user);
    bool bookIn(const QString &project, const QString &name);
    // Only the holder of the booking may replace the content.
    bool updateFile(const QString &project, const QString &name, const QString &user, const QByteArray &content);

private:
    QString mConnection;
};

} // namespace Halvorn
