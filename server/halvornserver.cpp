#include "halvornserver.h"

#include "networkrecords.h"
#include "passwordworker.h"
#include "serverconnection.h"
#include "serverlog.h"
#include "serverstore.h"
#include "servertls.h"
#include "wireformat.h"
#include "wiretext.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QUuid>

#include <algorithm>
#include <memory>

#include <malloc.h>
#include <sys/resource.h>

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
    , mServer(new TlsReadyServer(this))
    , mLimits(limits)
    , mPasswords(new PasswordWorker(limits.hashThreads, limits.hashIterations, this))
    , mSignInLimiter(limits.signInAttempts)
    , mProjectLimiter(limits.projectAttempts)
    , mAccountsPerAddress(limits.accountsPerAddressPerHour, 3600 * 1000)
{
    mClock.start();
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
    if (mStore.engine() == ServerStore::Engine::PostgreSql)
        startSharingRooms();
}

void HalvornServer::startSharingRooms()
{
    const QString instance = QUuid::createUuid().toString(QUuid::WithoutBraces);
    if (!mStore.registerInstance(instance)
        || !mStore.listen(QLatin1String(kChatChannel), [this](const QString &payload) { heard(payload); })) {
        mLog.write(QStringLiteral("chat rooms are not shared with other servers: the database refused"));
        return;
    }
    mInstance = instance;
    mLog.write(QStringLiteral("sharing chat rooms as instance %1").arg(mInstance));
    mTellUntold.setSingleShot(true);
    mTellUntold.setInterval(0);
    connect(&mTellUntold, &QTimer::timeout, this, &HalvornServer::tellUntold);
    mHeartbeat.setInterval(kInstanceHeartbeatMs);
    connect(&mHeartbeat, &QTimer::timeout, this, &HalvornServer::heartbeat);
    mHeartbeat.start();
    heartbeat();
}

void HalvornServer::heartbeat()
{
    int touched = mStore.touchInstance(mInstance);
    if (touched < 0) {
        // The database went away (restarted, say): a new connection, once
        // it is back. Requests meanwhile fail as their queries do.
        QString error;
        if (!mStore.reconnect(&error)) {
            if (!mDatabaseLost)
                mLog.write(QStringLiteral("lost the database, trying again every %1 ms: %2").arg(kInstanceHeartbeatMs).arg(error));
            mDatabaseLost = true;
            return;
        }
        mLog.write(QStringLiteral("connected to the database again"));
        mDatabaseLost = false;
        // The other servers were cut off too: none is judged before it had
        // the time to come back.
        mJudgeOthersAfter.setRemainingTime(kInstanceSilenceS * 1000 + kInstanceHeartbeatMs);
        touched = mStore.touchInstance(mInstance);
    }
    if (touched == 0) {
        // Taken for dead while silent: back, with this server's members.
        mLog.write(QStringLiteral("instance %1 was taken for dead; registering its rooms' members and project sessions again")
                       .arg(mInstance));
        mStore.registerInstance(mInstance);
        for (const Room &room : std::as_const(mRooms)) {
            for (const ServerConnection *member : room.members) {
                mStore.addChatMember(mInstance, member->session, {room.name, room.creator}, member->user);
                tellOtherInstances(ChatEvent::Join, room.name, member->user);
            }
        }
        for (const ServerConnection *c : std::as_const(mConnections)) {
            if (!c->project.isEmpty())
                mStore.setSessionProject(mInstance, c->session, c->project, c->user);
        }
    }
    if (!mJudgeOthersAfter.hasExpired())
        return;
    for (const ChatMember &gone : mStore.removeSilentInstances(kInstanceSilenceS)) {
        mLog.write(QStringLiteral("%1 left room %2 with a server that stopped answering").arg(gone.user, gone.room));
        publish(ChatEvent::Leave, gone.room, gone.user);
    }
}

void HalvornServer::publish(ChatEvent event, const QString &where, const QString &text, const ServerConnection *except)
{
    deliver(event, where, text, except);
    if (sharesRooms())
        tellOtherInstances(event, where, text);
}

void HalvornServer::deliver(ChatEvent event, const QString &where, const QString &text, const ServerConnection *except)
{
    const QByteArray payload = EncodeString(where.toUtf8()) + EncodeString(text.toUtf8());
    if (event == ChatEvent::ProjectMessage) {
        fanOut(sessionsIn(where), "MESP", payload, except);
        return;
    }
    const auto room = mRooms.constFind(where.toUpper());
    if (room == mRooms.cend())
        return;
    static const QByteArray words[] = {"JOIN", "LEAV", "MESS"};
    fanOut(room->members, words[int(event)], payload, except);
}

namespace {

// A notification: {"from": instance, "events": [event, ...]}, each event
// {"event": ChatEvent, "where", "text"[, "sender"]} and `events` those
// objects, comma-separated. The instance is a UUID: nothing to escape.
QByteArray notificationOf(const QString &instance, const QByteArray &events)
{
    return "{\"from\":\"" + instance.toLatin1() + "\",\"events\":[" + events + "]}";
}

} // namespace

void HalvornServer::tellOtherInstances(ChatEvent event, const QString &where, const QString &text, const QString &sender)
{
    QJsonObject fields{{QStringLiteral("event"), int(event)}, {QStringLiteral("where"), where}, {QStringLiteral("text"), text}};
    if (!sender.isEmpty())
        fields.insert(QStringLiteral("sender"), sender);
    const QByteArray json = QJsonDocument(fields).toJson(QJsonDocument::Compact);
    const qsizetype alone = notificationOf(mInstance, json).size();
    if (alone > kChatEventLimit) {
        mLog.write(QStringLiteral("chat in %1 not passed on to the other servers: %2 bytes, over %3")
                       .arg(where).arg(alone).arg(kChatEventLimit));
        return;
    }
    // One notification carries what this server did in one turn of its
    // event loop: a round trip to the database for each event would hold
    // up every client of this server while it waits.
    if (!mUntold.isEmpty() && alone + mUntold.size() + 1 > kChatEventLimit)
        tellUntold();
    mUntold += (mUntold.isEmpty() ? QByteArray() : QByteArrayLiteral(",")) + json;
    if (!mTellUntold.isActive())
        mTellUntold.start();
}

void HalvornServer::tellUntold()
{
    mTellUntold.stop();
    // First the rows, so a server told of a leave no longer lists the session.
    if (!mClosedSessions.isEmpty() && !mStore.removeSessions(mInstance, std::exchange(mClosedSessions, {})))
        mLog.write(QStringLiteral("closed sessions are still listed in their rooms: the database did not answer"));
    if (mUntold.isEmpty())
        return;
    const QByteArray notification = notificationOf(mInstance, std::exchange(mUntold, QByteArray()));
    if (!mStore.notify(QLatin1String(kChatChannel), QString::fromUtf8(notification)))
        mLog.write(QStringLiteral("chat not passed on to the other servers: the database refused"));
}

void HalvornServer::heard(const QString &payload)
{
    const QJsonObject notification = QJsonDocument::fromJson(payload.toUtf8()).object();
    if (notification.value(QStringLiteral("from")).toString() == mInstance)
        return;  // our own
    for (const QJsonValue &value : notification.value(QStringLiteral("events")).toArray()) {
        const QJsonObject event = value.toObject();
        const int kind = event.value(QStringLiteral("event")).toInt(-1);
        if (kind < int(ChatEvent::Join) || kind > int(ChatEvent::ProjectMessage))
            continue;  // not an event
        if (const QString sender = event.value(QStringLiteral("sender")).toString(); !sender.isEmpty())
            mMessageRate.count(sender, mClock.elapsed());
        deliver(ChatEvent(kind), event.value(QStringLiteral("where")).toString(),
                event.value(QStringLiteral("text")).toString(), nullptr);
    }
}

HalvornServer::~HalvornServer()
{
    mStopping = true;
    if (sharesRooms()) {
        for (const Room &room : std::as_const(mRooms)) {
            for (const ServerConnection *member : room.members)
                tellOtherInstances(ChatEvent::Leave, room.name, member->user);
        }
        tellUntold();
        mStore.removeInstance(mInstance);
    }
    for (ServerConnection *c : std::as_const(mConnections)) {
        c->onClosed = nullptr;
        c->onQueuedChanged = nullptr;
        delete c;
    }
}

void HalvornServer::setQuotas(const ServerQuotas &quotas)
{
    mQuotas = quotas;
    mMessageRate = MessageRateLimiter(quotas.messagesPerSecond);
}

void HalvornServer::setTransport(const TransportRules &transport)
{
    mTransport = transport;
    mServer->offerTls(transport.tls != nullptr);
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
        auto *c = new ServerConnection(socket, mLimits, mTransport, mStats, this);
        ++mStats.connectionsAccepted;
        c->session = ++mLastSession;
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
        mStats.refuse(Refusal::NotReading);
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
    // Its rows go with those of the other sessions closed in this turn of
    // the event loop, in one statement: clients leaving by the thousand
    // (a network failure) do not cost a round trip to the database each.
    const bool shared = sharesRooms() && (!c.rooms.isEmpty() || !c.project.isEmpty());
    if (shared) {
        mClosedSessions.append(c.session);
        if (!mTellUntold.isActive())
            mTellUntold.start();
    }
    leaveAllRooms(c, shared ? RowsGo::Later : RowsGo::Now);
    c.project.clear();
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

void HalvornServer::checkPassword(ServerConnection &c, AttemptLimiter &limiter, const QString &target,
                                  const QString &password, std::function<std::optional<PasswordRecord>()> stored,
                                  std::function<void(ServerConnection &, bool)> then)
{
    c.hold();
    const QString source = c.peerAddress();
    const AttemptLimiter::Booking booking = limiter.admit(target, source);
    if (booking.wait > 0)
        mLog.write(QStringLiteral("password attempt %1 on %2 waits %3 ms").arg(c.peer(), target).arg(booking.wait));
    // A client that leaves before its turn gives the turn back at once, so
    // the attempts after it do not wait for one that is never checked.
    const auto leftEarly = std::make_shared<QMetaObject::Connection>(
        connect(&c, &QObject::destroyed, this, [&limiter, booking] { limiter.withdraw(booking); }));
    QTimer::singleShot(booking.wait, &c, [this, &c, &limiter, booking, leftEarly, target, source, password, stored, then] {
        disconnect(*leftEarly);
        if (c.isClosed()) {
            limiter.withdraw(booking);
            return;
        }
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
    // A record cut short is no password attempt: refused without counting
    // against the name or the address.
    if (payload.size() < TLoginInfo::Size || info.LoginName.isEmpty()) {
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
            setProject(c, {});
        }
        c.user = name;
        poll.LoggedIn = true;
        poll.UsersLoggedIn = qint32(std::count_if(mConnections.begin(), mConnections.end(),
                                                  [](ServerConnection *s) { return !s->user.isEmpty(); }));
        mLog.write(QStringLiteral("signed in %1 as %2%3").arg(c.peer(), c.user, c.isEncrypted() ? QStringLiteral(" over TLS") : QString()));
    } else {
        mStats.refuse(Refusal::SignIn);
        mLog.write(QStringLiteral("refused sign-in %1 as %2").arg(c.peer(), name));
    }
    c.send("LRES", poll.toBytes());
}

void HalvornServer::createAccount(ServerConnection &c, const QByteArray &payload)
{
    const TLoginInfo info = TLoginInfo::fromBytes(payload);
    if (const QString why = nameRefusal(info.LoginName, NameKind::User, ServerQuotas::kUserNameField); !why.isEmpty()) {
        refuse(c, "CRAT", QStringLiteral("account %1: %2").arg(info.LoginName, why), Refusal::NewAccount);
        return;
    }
    if (info.Password.isEmpty() || mStore.accountPassword(info.LoginName)) {
        mStats.refuse(Refusal::NewAccount);
        c.send("CRAT", FailurePayload());
        return;
    }
    const QString source = c.peerAddress();
    if (!mAccountsPerAddress.take(source)) {
        mLog.write(QStringLiteral("refused new account %1 from %2: already %3 new accounts from there this hour")
                       .arg(info.LoginName, c.peer()).arg(mLimits.accountsPerAddressPerHour));
        mStats.refuse(Refusal::NewAccount);
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

void HalvornServer::leaveAllRooms(ServerConnection &c, RowsGo rows)
{
    const QSet<QString> rooms = c.rooms;
    for (const QString &key : rooms) {
        auto it = mRooms.find(key);
        if (it != mRooms.end())
            leaveRoom(c, it, rows);
    }
    c.rooms.clear();
}

void HalvornServer::leaveRoom(ServerConnection &c, QHash<QString, Room>::iterator room, RowsGo rows)
{
    room->members.removeAll(&c);
    c.rooms.remove(room.key());
    const QString name = room->name;
    if (sharesRooms() && rows == RowsGo::Now)
        mStore.removeChatMember(mInstance, c.session, name);
    if (room->members.isEmpty())
        mRooms.erase(room);
    publish(ChatEvent::Leave, name, c.user);
}

void HalvornServer::refuse(ServerConnection &c, QByteArrayView word, const QString &why, Refusal kind)
{
    mStats.refuse(kind);
    // Names in the reason may hold anything a client sent: one line each.
    mLog.write(oneLineChatText(QStringLiteral("refused %1 from %2 %3: %4")
                                   .arg(QString::fromLatin1(word), c.peer(), c.user, why)));
    c.send(word, FailurePayload());
}

void HalvornServer::sendList(ServerConnection &c, QByteArrayView word, const std::optional<QStringList> &items,
                             bool failWhenEmpty)
{
    if (!items) {
        refuse(c, word, QStringLiteral("the database did not answer"));
        return;
    }
    if (failWhenEmpty && items->isEmpty()) {
        c.send(word, FailurePayload());
        return;
    }
    const QByteArray payload = encodeList(*items);
    // The quotas keep lists well below this; a reply cut short would be worse
    // than none.
    if (kHeaderSize + payload.size() > kMaxMessageSize) {
        refuse(c, word, QStringLiteral("a list of %1 entries does not fit in a packet").arg(items->size()));
        return;
    }
    c.send(word, payload);
}

bool HalvornServer::withinMessageRate(ServerConnection &c, QByteArrayView noticeWord, const QString &where)
{
    const MessageRateLimiter::Verdict verdict = mMessageRate.take(c.user, mClock.elapsed());
    if (verdict != MessageRateLimiter::Verdict::Forward)
        mStats.refuse(Refusal::MessageRate);
    switch (verdict) {
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

void HalvornServer::publishLine(ServerConnection &c, ChatEvent event, const QString &where, const QString &text)
{
    if (!withinMessageRate(c, event == ChatEvent::Message ? "MESS" : "MESP", where))
        return;
    const QString line = c.user + QStringLiteral(": ") + oneLineChatText(text);
    deliver(event, where, line, nullptr);
    if (sharesRooms())
        tellOtherInstances(event, where, line, c.user);
}

void HalvornServer::handleChat(ServerConnection &c, const QByteArray &word, const QByteArray &payload)
{
    if (word == "GCHR") {
        std::optional<QStringList> names = sharesRooms() ? mStore.chatRooms() : QStringList();
        if (names) {
            for (const Room &room : std::as_const(mRooms)) {
                if (!names->contains(room.name, Qt::CaseInsensitive))
                    names->append(room.name);
            }
            names->sort(Qt::CaseInsensitive);
        }
        sendList(c, word, names, true);
        return;
    }
    const TNetworkChatRoom record = TNetworkChatRoom::fromBytes(payload);
    const QString key = record.RoomName.toUpper();
    auto room = mRooms.find(key);

    if (word == "JCHR" || word == "ACHR") {
        // A room open on another server only: this one's sessions join it too.
        const std::optional<ChatRoomRecord> shared =
            room == mRooms.end() && sharesRooms() ? mStore.chatRoom(record.RoomName) : std::nullopt;
        if (shared) {
            room = mRooms.insert(key, Room{shared->name, shared->creator, {}});
        } else if (room == mRooms.end()) {
            if (word == "JCHR") {
                c.send(word, FailurePayload());  // the client then creates it
                return;
            }
            QString why = nameRefusal(record.RoomName, NameKind::Room, ServerQuotas::kRoomNameField);
            const std::optional<QStringList> shared = sharesRooms() ? mStore.chatRooms() : std::nullopt;
            const qsizetype open = sharesRooms() ? (shared ? shared->size() : -1) : mRooms.size();
            if (why.isEmpty() && open < 0)
                why = QStringLiteral("the database did not answer");
            if (why.isEmpty() && open >= mQuotas.rooms)
                why = QStringLiteral("the server has %1 rooms open, its most").arg(open);
            const qsizetype created = sharesRooms()
                                          ? mStore.chatRoomsCreatedBy(c.user)
                                          : std::count_if(mRooms.cbegin(), mRooms.cend(),
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
            if (sharesRooms() && !mStore.addChatMember(mInstance, c.session, {room->name, room->creator}, c.user)) {
                if (room->members.isEmpty())
                    mRooms.erase(room);
                refuse(c, word, QStringLiteral("room %1: the database did not answer").arg(record.RoomName));
                return;
            }
            room->members.append(&c);
            c.rooms.insert(key);
        }
        c.send(word, kGood);
        publish(ChatEvent::Join, room->name, c.user, &c);
    } else if (word == "LCHR") {
        if (room == mRooms.end() || !room->members.contains(&c)) {
            c.send(word, FailurePayload());
            return;
        }
        c.send(word, kGood);
        leaveRoom(c, room);
    } else if (word == "UCHR") {
        std::optional<QStringList> users = sharesRooms() ? mStore.chatUsers(record.RoomName) : QStringList();
        if (!sharesRooms() && room != mRooms.end()) {
            for (const ServerConnection *member : std::as_const(room->members)) {
                if (!users->contains(member->user, Qt::CaseInsensitive))
                    users->append(member->user);
            }
        }
        sendList(c, word, users);
    } else if (word == "MCHR") {
        if (room != mRooms.end() && room->members.contains(&c))
            publishLine(c, ChatEvent::Message, room->name, record.MessageText);
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
            setProject(*s, {});
    }
}

void HalvornServer::setProject(ServerConnection &c, const QString &project)
{
    if (c.project == project)
        return;
    c.project = project;
    if (sharesRooms() && !mStore.setSessionProject(mInstance, c.session, project, c.user))
        mLog.write(QStringLiteral("the project of %1 %2 is not known to the other servers: the database did not answer")
                       .arg(c.peer(), c.user));
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
        c.hold();
        mPasswords->make(&c, record.Password, [this, &c, name = record.ProjectName](const PasswordRecord &password) {
            const bool ok = mStore.createProject(name, password, c.user);
            if (ok) {
                setProject(c, name);
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
                          if (!ok)
                              mStats.refuse(Refusal::ProjectPassword);
                          if (ok) {
                              mStore.addMember(stored, conn.user);
                              setProject(conn, stored);
                          }
                          conn.send("JPRO", reply(ok));
                      });
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
        std::optional<QStringList> users = sharesRooms() ? mStore.projectUsers(project) : QStringList();
        if (!sharesRooms()) {
            for (const ServerConnection *s : sessionsIn(project)) {
                if (!users->contains(s->user, Qt::CaseInsensitive))
                    users->append(s->user);
            }
        }
        if (users)
            users->sort(Qt::CaseInsensitive);
        sendList(c, word, users);
    } else if (word == "MPRO") {
        publishLine(c, ChatEvent::ProjectMessage, project, record.MessageText);
    } else if (word == "FLIS") {
        std::optional<QStringList> fields;
        if (const auto files = mStore.files(project)) {
            fields.emplace();
            for (const StoredFile &f : *files)
                *fields << f.name << f.owner << (f.bookedBy.isEmpty() ? QStringLiteral("FALSE") : QStringLiteral("TRUE"));
        }
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
    if (word == "RPRO") {
        checkPassword(c, mProjectLimiter, project, record.Password, [this, project] { return mStore.projectPassword(project); },
                      [this, project](ServerConnection &conn, bool ok) {
                          if (!ok)
                              mStats.refuse(Refusal::ProjectPassword);
                          ok = ok && mStore.removeProject(project);
                          if (ok) {
                              for (ServerConnection *s : sessionsIn(project))
                                  setProject(*s, {});
                              mLog.write(QStringLiteral("%1 removed project %2").arg(conn.user, project));
                          }
                          conn.send("RPRO", reply(ok));
                      });
        return;
    }
    if (word == "CHPP") {
        c.hold();
        mPasswords->make(&c, record.Password, [this, &c, project](const PasswordRecord &password) {
            const bool ok = mStore.setProjectPassword(project, password);
            if (ok)
                mLog.write(QStringLiteral("%1 changed the password of project %2").arg(c.user, project));
            c.release();
            c.send("CHPP", reply(ok));
        });
        return;
    }
    bool ok = false;
    if (word == "REMM") {
        // The owner stays: a project without one could never be removed.
        ok = !sameName(record.UserName, c.user) && mStore.removeMember(project, record.UserName);
        if (ok) {
            leaveProject(project, record.UserName);
            mLog.write(QStringLiteral("%1 removed %2 from project %3").arg(c.user, record.UserName, project));
        }
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

namespace {

// One metric in the Prometheus text exposition format (version 0.0.4).
void addMetric(QByteArray &out, const char *name, const char *type, const char *help,
               const QList<std::pair<QByteArray, qint64>> &samples)
{
    out += QByteArray("# HELP ") + name + ' ' + help + "\n# TYPE " + name + ' ' + type + '\n';
    for (const auto &[labels, value] : samples)
        out += QByteArray(name) + labels + ' ' + QByteArray::number(value) + '\n';
}

void addMetric(QByteArray &out, const char *name, const char *type, const char *help, qint64 value)
{
    addMetric(out, name, type, help, {{QByteArray(), value}});
}

} // namespace

QByteArray HalvornServer::metrics()
{
    QSet<QString> users;
    qint64 encrypted = 0;
    for (const ServerConnection *c : std::as_const(mConnections)) {
        if (!c->user.isEmpty())
            users.insert(c->user.toUpper());
        encrypted += c->isEncrypted() ? 1 : 0;
    }
    QList<std::pair<QByteArray, qint64>> refusals;
    for (int kind = 0; kind < kRefusalKinds; ++kind) {
        const std::string_view label = kRefusalLabels[size_t(kind)];
        refusals.append({"{reason=\"" + QByteArray(label.data(), qsizetype(label.size())) + "\"}", mStats.refusals[size_t(kind)]});
    }
    QByteArray out;
    addMetric(out, "halvorn_connections", "gauge", "Client connections open now.", mConnections.size());
    addMetric(out, "halvorn_tls_connections", "gauge", "Client connections open now that use TLS.", encrypted);
    addMetric(out, "halvorn_connections_accepted_total", "counter", "Client connections accepted.", mStats.connectionsAccepted);
    addMetric(out, "halvorn_tls_handshakes_total", "counter", "TLS handshakes completed.", mStats.tlsHandshakes);
    addMetric(out, "halvorn_signed_in_users", "gauge", "Users signed in now (each counted once).", users.size());
    addMetric(out, "halvorn_rooms", "gauge", "Chat rooms open now.", mRooms.size());
    addMetric(out, "halvorn_messages_received_total", "counter", "Protocol packets received from clients.", mStats.packetsIn);
    addMetric(out, "halvorn_messages_sent_total", "counter", "Protocol packets sent to clients.", mStats.packetsOut);
    addMetric(out, "halvorn_received_bytes_total", "counter", "Protocol bytes received (inside TLS where it is used).", mStats.bytesIn);
    addMetric(out, "halvorn_sent_bytes_total", "counter", "Protocol bytes sent (inside TLS where it is used).", mStats.bytesOut);
    addMetric(out, "halvorn_refusals_total", "counter", "Requests and connections refused, by reason.", refusals);
    addMetric(out, "halvorn_password_hashing_queue", "gauge", "Password hashes waiting or being computed.", mPasswords->queueLength());
    addMetric(out, "halvorn_database_bytes", "gauge", "Bytes of the database file and its write-ahead log.", mStore.fileBytes());
    return out;
}

bool HalvornServer::healthy()
{
    return mStore.answers();
}

} // namespace Halvorn
