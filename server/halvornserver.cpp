#include "halvornserver.h"

#include "networkrecords.h"
#include "serverconnection.h"
#include "serverlog.h"
#include "serverstore.h"
#include "wireformat.h"
#include "wiretext.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

namespace Halvorn {

using namespace Quorvant::Network;

namespace {

const QByteArray kGood = QByteArrayLiteral("GOOD");

// The sender named in the notice about dropped chat: longer than a sign-in
// field can carry, so no user can ever send under it.
constexpr char kNoticeSender[] = "Halvorn server (only you see this)";
static_assert(sizeof(kNoticeSender) - 1 > ServerQuotas::kUserNameField);

// Why `name` cannot be used, or an empty string. Names become folder and file
// names on the clients' disks and go back in a field `fieldWidth` bytes wide.
QString nameRefusal(const QString &name, NameKind kind, int fieldWidth)
{
    if (const QString problem = nameProblem(name, kind); !problem.isEmpty())
        return problem;
    if (name == QLatin1String(".") || name.contains(QLatin1String("..")) || name.contains(QLatin1Char('/'))
        || name.contains(QLatin1Char('\\')))
        return QStringLiteral("A name cannot hold '/', '\\' or '..'.");
    if (name.toUtf8().size() > fieldWidth - 1)
        return QStringLiteral("The name is longer than %1 bytes.").arg(fieldWidth - 1);
    return {};
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
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
    mClock.start();
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

void HalvornServer::setQuotas(const ServerQuotas &quotas)
{
    mQuotas = quotas;
    mMessageRate = MessageRateLimiter(quotas.messagesPerSecond);
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
                                             "ADDP", "REMP", "BFOU", "BFIN", "UPFL", "GTFD", "REMM", "CHPP"};
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
    const bool ok = nameRefusal(info.LoginName, NameKind::User, ServerQuotas::kUserNameField).isEmpty()
                    && mStore.createAccount(info.LoginName, info.Password);
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

void HalvornServer::refuse(ServerConnection &c, QByteArrayView word, const QString &why)
{
    // Names in the reason may hold anything a client sent: one line each.
    mLog.write(oneLineChatText(QStringLiteral("refused %1 from %2 %3: %4")
                                   .arg(QString::fromLatin1(word), c.peer(), c.user, why)));
    c.send(word, FailurePayload());
}

void HalvornServer::sendList(ServerConnection &c, QByteArrayView word, const QStringList &items, bool failWhenEmpty)
{
    if (failWhenEmpty && items.isEmpty()) {
        c.send(word, FailurePayload());
        return;
    }
    const QByteArray payload = encodeList(items);
    // The quotas keep lists well below this; a reply cut short would be worse
    // than none.
    if (kHeaderSize + payload.size() > kMaxMessageSize) {
        refuse(c, word, QStringLiteral("a list of %1 entries does not fit in a packet").arg(items.size()));
        return;
    }
    c.send(word, payload);
}

bool HalvornServer::withinMessageRate(ServerConnection &c, QByteArrayView noticeWord, const QString &where)
{
    switch (mMessageRate.take(c.user, mClock.elapsed())) {
    case MessageRateLimiter::Verdict::Forward:
        return true;
    case MessageRateLimiter::Verdict::DropAndNotify: {
        mLog.write(QStringLiteral("dropping chat of %1 %2: over %3 messages a second")
                       .arg(c.peer(), c.user)
                       .arg(mQuotas.messagesPerSecond));
        const QString notice = QStringLiteral("%1: You are sending messages too fast; messages over %2 a second are "
                                              "not delivered.")
                                   .arg(QLatin1String(kNoticeSender))
                                   .arg(mQuotas.messagesPerSecond);
        c.send(noticeWord, EncodeString(where.toUtf8()) + EncodeString(notice.toUtf8()));
        return false;
    }
    case MessageRateLimiter::Verdict::Drop:
        break;
    }
    return false;
}

void HalvornServer::handleChat(ServerConnection &c, const QByteArray &word, const QByteArray &payload)
{
    if (word == "GCHR") {
        QStringList names;
        for (const Room &room : std::as_const(mRooms))
            names.append(room.name);
        names.sort(Qt::CaseInsensitive);
        sendList(c, word, names, true);
        return;
    }
    const TNetworkChatRoom record = TNetworkChatRoom::fromBytes(payload);
    const QString key = record.RoomName.toUpper();
    auto room = mRooms.find(key);

    if (word == "JCHR" || word == "ACHR") {
        if (room == mRooms.end()) {
            if (word == "JCHR") {
                c.send(word, FailurePayload());  // the client then creates it
                return;
            }
            QString why = nameRefusal(record.RoomName, NameKind::Room, ServerQuotas::kRoomNameField);
            if (why.isEmpty() && mRooms.size() >= mQuotas.rooms)
                why = QStringLiteral("the server has %1 rooms open, its most").arg(mRooms.size());
            const auto created = std::count_if(mRooms.cbegin(), mRooms.cend(),
                                               [&c](const Room &r) { return sameName(r.creator, c.user); });
            if (why.isEmpty() && created >= mQuotas.roomsPerUser)
                why = QStringLiteral("%1 rooms created and open, the most for one user").arg(created);
            if (!why.isEmpty()) {
                refuse(c, word, QStringLiteral("room %1: %2").arg(record.RoomName, why));
                return;
            }
            room = mRooms.insert(key, Room{record.RoomName, c.user, {}});
        }
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
        sendList(c, word, users);
    } else if (word == "MCHR") {
        if (room == mRooms.end() || !room->members.contains(&c) || !withinMessageRate(c, "MESS", room->name))
            return;
        const QString line = c.user + QStringLiteral(": ") + oneLineChatText(record.MessageText);
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

QList<ServerConnection *> HalvornServer::sessionsIn(const QString &project) const
{
    QList<ServerConnection *> out;
    for (ServerConnection *s : std::as_const(mConnections)) {
        if (sameName(s->project, project))
            out.append(s);
    }
    return out;
}

void HalvornServer::leaveProject(const QString &project, const QString &user)
{
    for (ServerConnection *s : sessionsIn(project)) {
        if (sameName(s->user, user))
            s->project.clear();
    }
}

QString HalvornServer::projectCreationRefusal(const QString &user, const QString &name)
{
    if (const QString why = nameRefusal(name, NameKind::Project, ServerQuotas::kProjectNameField); !why.isEmpty())
        return why;
    if (!mStore.projectName(name).isEmpty())
        return QStringLiteral("the name is taken");
    if (const int count = mStore.projectCount(); count >= mQuotas.projects)
        return QStringLiteral("the server holds %1 projects, its most").arg(count);
    if (const int owned = mStore.projectsOwnedBy(user); owned >= mQuotas.projectsPerUser)
        return QStringLiteral("%1 owns %2 projects, the most for one user").arg(user).arg(owned);
    return {};
}

void HalvornServer::handleProject(ServerConnection &c, const QByteArray &word, const QByteArray &payload)
{
    if (word == "VPRO") {
        sendList(c, word, mStore.projectNames(), true);
        return;
    }
    const TNetworkProject record = TNetworkProject::fromBytes(payload);

    if (word == "APRO") {
        if (const QString why = projectCreationRefusal(c.user, record.ProjectName); !why.isEmpty()) {
            refuse(c, word, QStringLiteral("project %1: %2").arg(record.ProjectName, why));
            return;
        }
        const bool ok = mStore.createProject(record.ProjectName, record.Password, c.user);
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
    if (word == "RPRO" || word == "REMM" || word == "CHPP") {
        handleOwnerRequest(c, word, mStore.projectName(record.ProjectName), record);
        return;
    }

    // Everything else needs a project this user is a member of.
    const QString project = memberProject(c, record.ProjectName);
    if (project.isEmpty()) {
        if (word != "MPRO")
            c.send(word, FailurePayload());
        return;
    }

    if (word == "LPRO") {
        const bool ok = mStore.removeMember(project, c.user);
        if (ok) {
            leaveProject(project, c.user);
            mLog.write(QStringLiteral("%1 left project %2").arg(c.user, project));
        }
        c.send(word, reply(ok));
    } else if (word == "UPRO") {
        QStringList users;
        for (const ServerConnection *s : sessionsIn(project)) {
            if (!users.contains(s->user, Qt::CaseInsensitive))
                users.append(s->user);
        }
        users.sort(Qt::CaseInsensitive);
        sendList(c, word, users);
    } else if (word == "MPRO") {
        if (!withinMessageRate(c, "MESP", project))
            return;
        const QString line = c.user + QStringLiteral(": ") + oneLineChatText(record.MessageText);
        fanOut(sessionsIn(project), "MESP", EncodeString(project.toUtf8()) + EncodeString(line.toUtf8()));
    } else if (word == "FLIS") {
        QStringList fields;
        for (const StoredFile &f : mStore.files(project))
            fields << f.name << f.owner << (f.bookedBy.isEmpty() ? QStringLiteral("FALSE") : QStringLiteral("TRUE"));
        sendList(c, word, fields);
    } else if (word == "ADDP" || word == "UPFL") {
        handleFileChange(c, word, project, record, payload);
    } else if (word == "REMP") {
        const auto stored = mStore.file(project, record.FileName);
        if (stored && !sameName(stored->owner, c.user) && !sameName(mStore.projectOwner(project), c.user)) {
            refuse(c, word, QStringLiteral("%1 of %2 was added by %3, and the project is not theirs")
                                .arg(stored->name, project, stored->owner));
            return;
        }
        c.send(word, reply(stored && mStore.removeFile(project, stored->name)));
    } else if (word == "GTFD") {
        const auto stored = mStore.file(project, record.FileName);
        if (stored && !stored->bookedBy.isEmpty() && !sameName(stored->bookedBy, c.user)) {
            refuse(c, word, QStringLiteral("%1 of %2 is booked out by %3").arg(stored->name, project, stored->bookedBy));
            return;
        }
        const auto content = stored ? mStore.content(project, stored->name) : std::nullopt;
        c.send(word, content ? EncodeString(stored->name.toUtf8()) + EncodeString(*content) : FailurePayload());
    } else if (word == "BFOU") {
        c.send(word, reply(mStore.bookOut(project, record.FileName, c.user)));
    } else if (word == "BFIN") {
        c.send(word, reply(mStore.bookIn(project, record.FileName, c.user)));
    }
}

void HalvornServer::handleOwnerRequest(ServerConnection &c, const QByteArray &word, const QString &project,
                                       const TNetworkProject &record)
{
    if (project.isEmpty() || !sameName(mStore.projectOwner(project), c.user)) {
        refuse(c, word, QStringLiteral("%1 does not own a project %2").arg(c.user, record.ProjectName));
        return;
    }
    bool ok = false;
    if (word == "RPRO") {
        ok = mStore.checkProjectPassword(project, record.Password) && mStore.removeProject(project);
        if (ok) {
            for (ServerConnection *s : sessionsIn(project))
                s->project.clear();
            mLog.write(QStringLiteral("%1 removed project %2").arg(c.user, project));
        }
    } else if (word == "REMM") {
        // The owner stays: a project without one could never be removed.
        ok = !sameName(record.UserName, c.user) && mStore.removeMember(project, record.UserName);
        if (ok) {
            leaveProject(project, record.UserName);
            mLog.write(QStringLiteral("%1 removed %2 from project %3").arg(c.user, record.UserName, project));
        }
    } else if (word == "CHPP") {
        ok = mStore.setProjectPassword(project, record.Password);
        if (ok)
            mLog.write(QStringLiteral("%1 changed the password of project %2").arg(c.user, project));
    }
    c.send(word, reply(ok));
}

void HalvornServer::handleFileChange(ServerConnection &c, const QByteArray &word, const QString &project,
                                     const TNetworkProject &record, const QByteArray &payload)
{
    qsizetype offset = TNetworkProject::Size;
    QByteArray content;
    if (payload.size() < offset || !DecodeString(payload, offset, content)) {
        c.send(word, FailurePayload());
        return;
    }
    const bool adding = word == "ADDP";
    const auto existing = mStore.file(project, record.FileName);
    auto refusal = [&]() -> QString {
        if (adding) {
            if (const QString why = nameRefusal(record.FileName, NameKind::File, ServerQuotas::kFileNameField); !why.isEmpty())
                return why;
            if (const int files = mStore.fileCount(project); !existing && files >= mQuotas.filesPerProject)
                return QStringLiteral("the project holds %1 files, its most").arg(files);
        }
        if (content.size() > mQuotas.bytesPerFile)
            return QStringLiteral("%1 bytes, over the %2 a file may have").arg(content.size()).arg(mQuotas.bytesPerFile);
        // An upload that does not grow the project always goes through, so
        // a project already over a lowered quota can still be booked in.
        const qint64 replaced = !adding && existing ? existing->size : 0;
        const qint64 total = mStore.projectBytes(project) - replaced + content.size();
        if (content.size() > replaced && total > mQuotas.bytesPerProject)
            return QStringLiteral("the project would hold %1 bytes, over its %2").arg(total).arg(mQuotas.bytesPerProject);
        return {};
    };
    if (const QString why = refusal(); !why.isEmpty()) {
        // A refused upload leaves the file and its booking as they were.
        refuse(c, word, QStringLiteral("%1 of %2: %3").arg(record.FileName, project, why));
        return;
    }
    const bool ok = adding ? mStore.addFile(project, record.FileName, c.user, content)
                           : mStore.updateFile(project, record.FileName, c.user, content);
    c.send(word, reply(ok));
}

} // namespace Halvorn
