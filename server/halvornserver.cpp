#include "halvornserver.h"

#include "networkrecords.h"
#include "serverconnection.h"
#include "serverlog.h"
#include "serverstore.h"
#include "wireformat.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

namespace Halvorn {

using namespace Quorvant::Network;

namespace {

const QByteArray kGood = QByteArrayLiteral("GOOD");

// Names become folder and file names on the clients' disks, so nothing that
// could leave a folder or confuse a list is accepted.
bool validName(const QString &name, int maxChars)
{
    if (name.trimmed().isEmpty() || name.size() > maxChars || name == QLatin1String(".")
        || name.contains(QLatin1String("..")))
        return false;
    return std::none_of(name.begin(), name.end(), [](QChar c) {
        return c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7f;
    });
}

QByteArray encodeList(const QStringList &items)
{
    QByteArray out;
    for (const QString &item : items)
        out += EncodeString(item.toUtf8());
    return out;
}

QByteArray reply(bool ok)
{
    return ok ? kGood : FailurePayload();
}

} // namespace

HalvornServer::HalvornServer(ServerStore &store, ServerLog &log, QObject *parent)
    : QObject(parent)
    , mStore(store)
    , mLog(log)
    , mServer(new QTcpServer(this))
{
    mServer->setMaxPendingConnections(1024);
    connect(mServer, &QTcpServer::newConnection, this, &HalvornServer::accept);
}

HalvornServer::~HalvornServer()
{
    for (ServerConnection *c : std::as_const(mConnections)) {
        c->onClosed = nullptr;
        delete c;
    }
}

bool HalvornServer::listen(const QHostAddress &address, quint16 port)
{
    return mServer->listen(address, port);
}

quint16 HalvornServer::port() const
{
    return mServer->serverPort();
}

QString HalvornServer::errorString() const
{
    return mServer->errorString();
}

void HalvornServer::accept()
{
    while (QTcpSocket *socket = mServer->nextPendingConnection()) {
        auto *c = new ServerConnection(socket, mIdleTimeoutMs, this);
        mConnections.insert(c);
        c->onPacket = [this](ServerConnection &conn, const QByteArray &word, const QByteArray &payload) {
            handle(conn, word, payload);
        };
        c->onClosed = [this](ServerConnection &conn, const QString &why) { closed(conn, why); };
        mLog.write(QStringLiteral("connected %1").arg(c->peer()));
        c->start();
    }
}

void HalvornServer::closed(ServerConnection &c, const QString &why)
{
    mLog.write(QStringLiteral("closed %1 %2: %3").arg(c.peer(), c.user, why));
    leaveAllRooms(c);
    mConnections.remove(&c);
    c.deleteLater();
}

void HalvornServer::fanOut(const QList<ServerConnection *> &to, QByteArrayView word, const QByteArray &payload,
                           const ServerConnection *except)
{
    const QByteArray packet = EncodePacket(word, payload);
    // A copy: a send may drop a session that stopped reading.
    const QList<ServerConnection *> targets = to;
    for (ServerConnection *member : targets) {
        if (member != except && mConnections.contains(member))
            member->sendPacket(packet);
    }
}

void HalvornServer::handle(ServerConnection &c, const QByteArray &word, const QByteArray &payload)
{
    if (word == "PING")
        return;
    if (word == "LOGI") {
        signIn(c, payload);
        return;
    }
    if (word == "CRAT") {
        createAccount(c, payload);
        return;
    }
    static const QSet<QByteArray> chat = {"JCHR", "ACHR", "LCHR", "UCHR", "GCHR", "MCHR"};
    static const QSet<QByteArray> project = {"VPRO", "APRO", "JPRO", "LPRO", "RPRO", "UPRO", "MPRO", "FLIS",
                                             "ADDP", "REMP", "BFOU", "BFIN", "UPFL", "GTFD"};
    const bool isChat = chat.contains(word);
    if (!isChat && !project.contains(word))
        return;  // not a request of ours
    if (c.user.isEmpty()) {
        if (word != "MCHR" && word != "MPRO")
            c.send(word, FailurePayload());
        return;
    }
    if (isChat)
        handleChat(c, word, payload);
    else
        handleProject(c, word, payload);
}

void HalvornServer::signIn(ServerConnection &c, const QByteArray &payload)
{
    const TLoginInfo info = TLoginInfo::fromBytes(payload);
    TPollInfo poll;
    if (!info.LoginName.isEmpty() && mStore.checkLogin(info.LoginName, info.Password)) {
        if (!c.user.isEmpty()) {
            leaveAllRooms(c);
            c.project.clear();
        }
        c.user = info.LoginName;
        poll.LoggedIn = true;
        poll.UsersLoggedIn = qint32(std::count_if(mConnections.begin(), mConnections.end(),
                                                  [](ServerConnection *s) { return !s->user.isEmpty(); }));
        mLog.write(QStringLiteral("signed in %1 as %2").arg(c.peer(), c.user));
    } else {
        mLog.write(QStringLiteral("refused sign-in %1 as %2").arg(c.peer(), info.LoginName));
    }
    c.send("LRES", poll.toBytes());
}

void HalvornServer::createAccount(ServerConnection &c, const QByteArray &payload)
{
    const TLoginInfo info = TLoginInfo::fromBytes(payload);
    const bool ok = validName(info.LoginName, 31) && mStore.createAccount(info.LoginName, info.Password);
    if (ok)
        mLog.write(QStringLiteral("new account %1").arg(info.LoginName));
    c.send("CRAT", reply(ok));
}

void HalvornServer::leaveAllRooms(ServerConnection &c)
{
    const QSet<QString> rooms = c.rooms;
    for (const QString &key : rooms) {
        auto it = mRooms.find(key);
        if (it != mRooms.end())
            leaveRoom(c, it);
    }
    c.rooms.clear();
}

void HalvornServer::leaveRoom(ServerConnection &c, QHash<QString, Room>::iterator room)
{
    room->members.removeAll(&c);
    c.rooms.remove(room.key());
    if (room->members.isEmpty())
        mRooms.erase(room);
    else
        fanOut(room->members, "LEAV", EncodeString(room->name.toUtf8()) + EncodeString(c.user.toUtf8()));
}

void HalvornServer::handleChat(ServerConnection &c, const QByteArray &word, const QByteArray &payload)
{
    if (word == "GCHR") {
        QStringList names;
        for (const Room &room : std::as_const(mRooms))
            names.append(room.name);
        names.sort(Qt::CaseInsensitive);
        c.send("GCHR", names.isEmpty() ? FailurePayload() : encodeList(names));
        return;
    }
    const TNetworkChatRoom record = TNetworkChatRoom::fromBytes(payload);
    const QString key = record.RoomName.toUpper();
    auto room = mRooms.find(key);

    if (word == "JCHR" || word == "ACHR") {
        if (!validName(record.RoomName, 50) || (word == "JCHR" && room == mRooms.end())) {
            c.send(word, FailurePayload());
            return;
        }
        if (room == mRooms.end())
            room = mRooms.insert(key, Room{record.RoomName, {}});
        if (!room->members.contains(&c)) {
            room->members.append(&c);
            c.rooms.insert(key);
        }
        c.send(word, kGood);
        fanOut(room->members, "JOIN", EncodeString(room->name.toUtf8()) + EncodeString(c.user.toUtf8()), &c);
    } else if (word == "LCHR") {
        if (room == mRooms.end() || !room->members.contains(&c)) {
            c.send(word, FailurePayload());
            return;
        }
        c.send(word, kGood);
        leaveRoom(c, room);
    } else if (word == "UCHR") {
        QStringList users;
        if (room != mRooms.end()) {
            for (const ServerConnection *member : std::as_const(room->members)) {
                if (!users.contains(member->user, Qt::CaseInsensitive))
                    users.append(member->user);
            }
        }
        c.send(word, encodeList(users));
    } else if (word == "MCHR") {
        if (room == mRooms.end() || !room->members.contains(&c))
            return;
        const QString line = c.user + QStringLiteral(": ") + record.MessageText;
        fanOut(room->members, "MESS", EncodeString(room->name.toUtf8()) + EncodeString(line.toUtf8()));
    }
}

QString HalvornServer::memberProject(ServerConnection &c, const QString &name)
{
    const QString stored = mStore.projectName(name);
    if (stored.isEmpty() || !mStore.isMember(stored, c.user))
        return {};
    return stored;
}

void HalvornServer::handleProject(ServerConnection &c, const QByteArray &word, const QByteArray &payload)
{
    if (word == "VPRO") {
        const QStringList names = mStore.projectNames();
        c.send(word, names.isEmpty() ? FailurePayload() : encodeList(names));
        return;
    }
    const TNetworkProject record = TNetworkProject::fromBytes(payload);

    if (word == "APRO") {
        const bool ok = validName(record.ProjectName, 50) && mStore.projectName(record.ProjectName).isEmpty()
                        && mStore.createProject(record.ProjectName, record.Password, c.user);
        if (ok) {
            c.project = record.ProjectName;
            mLog.write(QStringLiteral("%1 created project %2").arg(c.user, c.project));
        }
        c.send(word, reply(ok));
        return;
    }
    if (word == "JPRO") {
        const QString stored = mStore.projectName(record.ProjectName);
        const bool ok = !stored.isEmpty() && mStore.checkProjectPassword(stored, record.Password);
        if (ok) {
            mStore.addMember(stored, c.user);
            c.project = stored;
        }
        c.send(word, reply(ok));
        return;
    }

    // Everything else needs a project this user has joined.
    const QString project = memberProject(c, record.ProjectName);
    if (project.isEmpty()) {
        if (word != "MPRO")
            c.send(word, FailurePayload());
        return;
    }

    auto inProject = [this, &project] {
        QList<ServerConnection *> out;
        for (ServerConnection *s : std::as_const(mConnections)) {
            if (s->project.compare(project, Qt::CaseInsensitive) == 0)
                out.append(s);
        }
        return out;
    };

    if (word == "LPRO") {
        const bool ok = c.project.compare(project, Qt::CaseInsensitive) == 0;
        if (ok)
            c.project.clear();
        c.send(word, reply(ok));
    } else if (word == "RPRO") {
        const bool ok = mStore.checkProjectPassword(project, record.Password) && mStore.removeProject(project);
        if (ok) {
            for (ServerConnection *s : inProject())
                s->project.clear();
            mLog.write(QStringLiteral("%1 removed project %2").arg(c.user, project));
        }
        c.send(word, reply(ok));
    } else if (word == "UPRO") {
        QStringList users;
        for (const ServerConnection *s : inProject()) {
            if (!users.contains(s->user, Qt::CaseInsensitive))
                users.append(s->user);
        }
        users.sort(Qt::CaseInsensitive);
        c.send(word, encodeList(users));
    } else if (word == "MPRO") {
        const QString line = c.user + QStringLiteral(": ") + record.MessageText;
        fanOut(inProject(), "MESP", EncodeString(project.toUtf8()) + EncodeString(line.toUtf8()));
    } else if (word == "FLIS") {
        QStringList fields;
        for (const StoredFile &f : mStore.files(project))
            fields << f.name << f.owner << (f.bookedBy.isEmpty() ? QStringLiteral("FALSE") : QStringLiteral("TRUE"));
        c.send(word, encodeList(fields));
    } else if (word == "ADDP" || word == "UPFL") {
        qsizetype offset = TNetworkProject::Size;
        QByteArray content;
        bool ok = payload.size() >= offset && DecodeString(payload, offset, content) && validName(record.FileName, 255);
        if (ok && word == "ADDP")
            ok = mStore.addFile(project, record.FileName, c.user, content);
        else if (ok)
            ok = mStore.updateFile(project, record.FileName, c.user, content);
        c.send(word, reply(ok));
    } else if (word == "REMP") {
        c.send(word, reply(mStore.removeFile(project, record.FileName)));
    } else if (word == "GTFD") {
        const auto stored = mStore.file(project, record.FileName);
        const auto content = stored ? mStore.content(project, stored->name) : std::nullopt;
        c.send(word, content ? EncodeString(stored->name.toUtf8()) + EncodeString(*content) : FailurePayload());
    } else if (word == "BFOU") {
        c.send(word, reply(mStore.bookOut(project, record.FileName, c.user)));
    } else if (word == "BFIN") {
        c.send(word, reply(mStore.bookIn(project, record.FileName)));
    }
}

} // namespace Halvorn
