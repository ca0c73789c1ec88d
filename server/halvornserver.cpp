#include "halvornserver.h"

#include "networkrecords.h"
#include "passwordworker.h"
#include "serverconnection.h"
#include "serverlog.h"
#include "serverstore.h"
#include "wireformat.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

#include <malloc.h>
#include <sys/resource.h>

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

// Accepted connections the listener holds before they are taken; they use
// descriptors, so few, and within kDescriptorReserve.
constexpr int kPendingConnections = 16;
constexpr int kAcceptRetryMs = 1000;
constexpr int kTrimDelayMs = 1000;
// Trimming walks the whole heap: only worth it once this much lies free.
constexpr size_t kTrimAbove = 16 * 1024 * 1024;
constexpr int kPortTries = 200;
constexpr quint16 kLowestPickedPort = 10000;

qint64 openDescriptors()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot).size();
}

} // namespace

HalvornServer::HalvornServer(ServerStore &store, ServerLog &log, const ServerLimits &limits, QObject *parent)
    : QObject(parent)
    , mStore(store)
    , mLog(log)
    , mServer(new QTcpServer(this))
    , mLimits(limits)
    , mPasswords(new PasswordWorker(limits.hashThreads, limits.hashIterations, this))
    , mSignInLimiter(limits.signInAttempts)
    , mProjectLimiter(limits.projectAttempts)
    , mAccountsPerAddress(limits.accountsPerAddressPerHour, 3600 * 1000)
{
    mServer->setMaxPendingConnections(kPendingConnections);
    mServer->setListenBacklogSize(mLimits.listenBacklog);
    connect(mServer, &QTcpServer::newConnection, this, &HalvornServer::accept);
    // The listener has paused itself after an error it does not retry: it
    // goes on once there is room.
    connect(mServer, &QTcpServer::acceptError, this, [this] {
        mAcceptPaused = true;
        mAcceptRetry.start();
        mLog.write(QStringLiteral("not accepting connections for now: %1").arg(mServer->errorString()));
    });
    mAcceptRetry.setInterval(kAcceptRetryMs);
    connect(&mAcceptRetry, &QTimer::timeout, this, &HalvornServer::resumeAcceptingIfRoom);
    mTrim.setSingleShot(true);
    mTrim.setInterval(kTrimDelayMs);
    connect(&mTrim, &QTimer::timeout, this, [this] {
        const size_t unused = mallinfo2().fordblks;
        if (unused <= kTrimAbove)
            return;
        QElapsedTimer took;
        took.start();
        malloc_trim(0);
        mLog.write(QStringLiteral("returned up to %1 MiB of unused memory to the system in %2 ms")
                       .arg(unused >> 20).arg(took.elapsed()));
    });
}

HalvornServer::~HalvornServer()
{
    mStopping = true;
    for (ServerConnection *c : std::as_const(mConnections)) {
        c->onClosed = nullptr;
        c->onQueuedChanged = nullptr;
        delete c;
    }
}

bool HalvornServer::listen(const QHostAddress &address, quint16 port)
{
    bool listening = false;
    if (port != 0) {
        listening = mServer->listen(address, port);
    } else {
        // The system's own choice lies above the ports clients accept.
        for (int i = 0; i < kPortTries && !listening; ++i)
            listening = mServer->listen(address, quint16(QRandomGenerator::global()->bounded(kLowestPickedPort, kHighestClientPort + 1)));
    }
    if (listening)
        mDescriptorBaseline = openDescriptors();
    return listening;
}

quint16 HalvornServer::port() const
{
    return mServer->serverPort();
}

QString HalvornServer::errorString() const
{
    return mServer->errorString();
}

bool HalvornServer::roomForAnotherConnection() const
{
    if (mConnections.size() >= mLimits.maxConnections)
        return false;
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return true;
    return mDescriptorBaseline + mLiveSockets + kPendingConnections + kDescriptorReserve < qint64(limit.rlim_cur);
}

void HalvornServer::pauseAccepting(const QString &why)
{
    if (mAcceptPaused)
        return;
    mAcceptPaused = true;
    mServer->pauseAccepting();
    mAcceptRetry.start();
    mLog.write(QStringLiteral("not accepting connections for now: %1").arg(why));
}

void HalvornServer::resumeAcceptingIfRoom()
{
    if (!mAcceptPaused || mStopping || !roomForAnotherConnection())
        return;
    mAcceptPaused = false;
    mAcceptRetry.stop();
    mServer->resumeAccepting();
    mLog.write(QStringLiteral("accepting connections again"));
    accept();  // those the listener took meanwhile
}

void HalvornServer::accept()
{
    while (roomForAnotherConnection()) {
        QTcpSocket *socket = mServer->nextPendingConnection();
        if (!socket)
            break;
        ++mLiveSockets;
        connect(socket, &QObject::destroyed, this, [this] {
            --mLiveSockets;
            resumeAcceptingIfRoom();
        });
        auto *c = new ServerConnection(socket, mLimits, this);
        mConnections.insert(c);
        c->onPacket = [this](ServerConnection &conn, const QByteArray &word, const QByteArray &payload) {
            handle(conn, word, payload);
        };
        c->onClosed = [this](ServerConnection &conn, const QString &why) { closed(conn, why); };
        c->onQueuedChanged = [this](qint64 delta) { addQueuedOutput(delta); };
        mLog.write(QStringLiteral("connected %1").arg(c->peer()));
        c->start();
    }
    if (!roomForAnotherConnection()) {
        pauseAccepting(QStringLiteral("%1 connections (at most %2), %3 client sockets open")
                           .arg(mConnections.size()).arg(mLimits.maxConnections).arg(mLiveSockets));
    }
}

void HalvornServer::addQueuedOutput(qint64 delta)
{
    mQueuedOutput += delta;
    // Over the cap, the clients that have read least go first.
    while (mQueuedOutput > mLimits.maxOutputTotal) {
        auto slowest = std::max_element(mConnections.begin(), mConnections.end(), [](ServerConnection *a, ServerConnection *b) {
            return a->queuedOutput() < b->queuedOutput();
        });
        if (slowest == mConnections.end() || (*slowest)->queuedOutput() == 0)
            break;
        (*slowest)->close(QStringLiteral("not reading (%1 bytes waiting while all clients' output passed %2)")
                              .arg((*slowest)->queuedOutput()).arg(mLimits.maxOutputTotal));
    }
}

void HalvornServer::trimMemorySoon()
{
    if (!mTrim.isActive())
        mTrim.start();
}

void HalvornServer::closed(ServerConnection &c, const QString &why)
{
    mLog.write(QStringLiteral("closed %1 %2: %3").arg(c.peer(), c.user, why));
    leaveAllRooms(c);
    mConnections.remove(&c);
    c.deleteLater();
    trimMemorySoon();
    resumeAcceptingIfRoom();
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

void HalvornServer::checkPassword(ServerConnection &c, AttemptLimiter &limiter, const QString &target,
                                  const QString &password, std::function<std::optional<PasswordRecord>()> stored,
                                  std::function<void(ServerConnection &, bool)> then)
{
    c.hold();
    const QString source = c.peerAddress();
    const qint64 wait = limiter.admit(target, source);
    if (wait > 0)
        mLog.write(QStringLiteral("password attempt %1 on %2 waits %3 ms").arg(c.peer(), target).arg(wait));
    QTimer::singleShot(wait, &c, [this, &c, &limiter, target, source, password, stored, then] {
        if (c.isClosed())
            return;
        const std::optional<PasswordRecord> record = stored();
        mPasswords->verify(&c, password, record, [&c, &limiter, target, source, record, stored, then](bool matches) {
            const bool ok = matches && stored() == record;
            limiter.settle(target, source, ok);
            if (c.isClosed())
                return;
            c.release();
            then(c, ok);
        });
    });
}

void HalvornServer::signIn(ServerConnection &c, const QByteArray &payload)
{
    const TLoginInfo info = TLoginInfo::fromBytes(payload);
    if (info.LoginName.isEmpty()) {
        finishSignIn(c, info.LoginName, false);
        return;
    }
    checkPassword(c, mSignInLimiter, info.LoginName, info.Password,
                  [this, name = info.LoginName] { return mStore.accountPassword(name); },
                  [this, name = info.LoginName](ServerConnection &conn, bool ok) { finishSignIn(conn, name, ok); });
}

void HalvornServer::finishSignIn(ServerConnection &c, const QString &name, bool ok)
{
    TPollInfo poll;
    if (ok) {
        if (!c.user.isEmpty()) {
            leaveAllRooms(c);
            c.project.clear();
        }
        c.user = name;
        poll.LoggedIn = true;
        poll.UsersLoggedIn = qint32(std::count_if(mConnections.begin(), mConnections.end(),
                                                  [](ServerConnection *s) { return !s->user.isEmpty(); }));
        mLog.write(QStringLiteral("signed in %1 as %2").arg(c.peer(), c.user));
    } else {
        mLog.write(QStringLiteral("refused sign-in %1 as %2").arg(c.peer(), name));
    }
    c.send("LRES", poll.toBytes());
}

void HalvornServer::createAccount(ServerConnection &c, const QByteArray &payload)
{
    const TLoginInfo info = TLoginInfo::fromBytes(payload);
    if (!validName(info.LoginName, 31) || info.Password.isEmpty() || mStore.accountPassword(info.LoginName)) {
        c.send("CRAT", FailurePayload());
        return;
    }
    const QString source = c.peerAddress();
    if (!mAccountsPerAddress.take(source)) {
        mLog.write(QStringLiteral("refused new account %1 from %2: already %3 new accounts from there this hour")
                       .arg(info.LoginName, c.peer()).arg(mLimits.accountsPerAddressPerHour));
        c.send("CRAT", FailurePayload());
        return;
    }
    c.hold();
    mPasswords->make(&c, info.Password, [this, &c, source, name = info.LoginName](const PasswordRecord &password) {
        const bool ok = mStore.createAccount(name, password);
        if (ok)
            mLog.write(QStringLiteral("new account %1").arg(name));
        else
            mAccountsPerAddress.giveBack(source);
        c.release();
        c.send("CRAT", reply(ok));
    });
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

QList<ServerConnection *> HalvornServer::sessionsIn(const QString &project) const
{
    QList<ServerConnection *> out;
    for (ServerConnection *s : std::as_const(mConnections)) {
        if (s->project.compare(project, Qt::CaseInsensitive) == 0)
            out.append(s);
    }
    return out;
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
        if (!validName(record.ProjectName, 50) || !mStore.projectName(record.ProjectName).isEmpty()) {
            c.send(word, FailurePayload());
            return;
        }
        c.hold();
        mPasswords->make(&c, record.Password, [this, &c, name = record.ProjectName](const PasswordRecord &password) {
            const bool ok = mStore.createProject(name, password, c.user);
            if (ok) {
                c.project = name;
                mLog.write(QStringLiteral("%1 created project %2").arg(c.user, c.project));
            }
            c.release();
            c.send("APRO", reply(ok));
        });
        return;
    }
    if (word == "JPRO") {
        const QString stored = mStore.projectName(record.ProjectName);
        checkPassword(c, mProjectLimiter, record.ProjectName, record.Password,
                      [this, stored]() -> std::optional<PasswordRecord> {
                          return stored.isEmpty() ? std::nullopt : mStore.projectPassword(stored);
                      },
                      [this, stored](ServerConnection &conn, bool ok) {
                          if (ok) {
                              mStore.addMember(stored, conn.user);
                              conn.project = stored;
                          }
                          conn.send("JPRO", reply(ok));
                      });
        return;
    }

    // Everything else needs a project this user has joined.
    const QString project = memberProject(c, record.ProjectName);
    if (project.isEmpty()) {
        if (word != "MPRO")
            c.send(word, FailurePayload());
        return;
    }

    if (word == "LPRO") {
        const bool ok = c.project.compare(project, Qt::CaseInsensitive) == 0;
        if (ok)
            c.project.clear();
        c.send(word, reply(ok));
    } else if (word == "RPRO") {
        checkPassword(c, mProjectLimiter, project, record.Password, [this, project] { return mStore.projectPassword(project); },
                      [this, project](ServerConnection &conn, bool ok) {
                          ok = ok && mStore.removeProject(project);
                          if (ok) {
                              for (ServerConnection *s : sessionsIn(project))
                                  s->project.clear();
                              mLog.write(QStringLiteral("%1 removed project %2").arg(conn.user, project));
                          }
                          conn.send("RPRO", reply(ok));
                      });
    } else if (word == "UPRO") {
        QStringList users;
        for (const ServerConnection *s : sessionsIn(project)) {
            if (!users.contains(s->user, Qt::CaseInsensitive))
                users.append(s->user);
        }
        users.sort(Qt::CaseInsensitive);
        c.send(word, encodeList(users));
    } else if (word == "MPRO") {
        const QString line = c.user + QStringLiteral(": ") + record.MessageText;
        fanOut(sessionsIn(project), "MESP", EncodeString(project.toUtf8()) + EncodeString(line.toUtf8()));
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
