#include "clientbrain.h"

#include "client.h"
#include "networkbookings.h"
#include "networkglobals.h"
#include "networkrequests.h"
#include "networkui.h"
#include "sharedfolder.h"
#include "wireformat.h"
#include "wiretext.h"

#include <QFileInfo>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <utility>

namespace Quorvant::Network {

namespace {

// The file a reply answers: the oldest still awaited, or none.
QString takeOldest(QStringList &awaited)
{
    return awaited.isEmpty() ? QString() : awaited.takeFirst();
}

QString quoted(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

// A list reply as text, or nullopt for the failure payload or a malformed one.
std::optional<QStringList> textList(const QByteArray &payload)
{
    if (IsFailurePayload(payload))
        return std::nullopt;
    const auto fields = DecodeStringList(payload);
    if (!fields)
        return std::nullopt;
    QStringList out;
    out.reserve(fields->size());
    for (const QByteArray &field : *fields)
        out.append(decodeWireText(field));
    return out;
}

// The two fields of a notification (room or project, then user or text).
bool twoFields(const QByteArray &payload, QString &first, QString &second)
{
    qsizetype offset = 0;
    QByteArray a, b;
    if (!DecodeString(payload, offset, a) || !DecodeString(payload, offset, b))
        return false;
    first = decodeWireText(a);
    second = decodeWireText(b);
    return true;
}

} // namespace

TClientBrain::TClientBrain(NetworkUi &ui, NetworkBookings &bookings, QString dataFolder)
    : mUi(ui)
    , mBookings(bookings)
    , mDataFolder(std::move(dataFolder))
    , mTimers(std::make_unique<QObject>())
{
}

TClientBrain::~TClientBrain() = default;

TClient *TClientBrain::createClient(TNetworkLog *log)
{
    mAwaited.clear();
    mRejoins.clear();
    mRejoiningProject = false;
    return new TClient(
        log, [this](qsizetype size, qint32 total, TClient &c) { ClientDataIn(size, total, c); },
        [this](const QString &reason, TClient &c) { ClientDisconnect(reason, c); },
        [this](const QByteArray &data, const QByteArray &word, TClient &c) { ClientProcessPacket(data, word, c); });
}

void TClientBrain::message(const QString &text)
{
    mUi.showMessage(text, NetworkMessageKind::Information);
}

void TClientBrain::errorBox(const QString &text)
{
    mUi.showMessage(text, NetworkMessageKind::Error);
}

void TClientBrain::destroy(TClient &client)
{
    if (gMyClient == &client)
        gMyClient = nullptr;
    client.destroyLater();
}

void TClientBrain::enterProject()
{
    gCurrentProjectName = gLastProjectName;
    mUi.setProjectLabel(gCurrentProjectName.left(16));
    mUi.activateProjectOptions(true);
}

QString TClientBrain::rejoinedRoomText()
{
    return QStringLiteral("*** Reconnected: back in the channel. Messages sent while the connection was lost did not "
                          "reach you. ***");
}

void TClientBrain::rejoinChatRoom(TClient &client, const QString &room)
{
    mRejoins.append(room);
    SendJoinChatRoom(client, room);
}

void TClientBrain::rejoinProject(TClient &client, const QString &project, const QString &password)
{
    mRejoiningProject = true;
    SendJoinProject(client, project, password);
}

bool TClientBrain::takeRejoin(const QString &room)
{
    for (qsizetype i = 0; i < mRejoins.size(); ++i) {
        if (mRejoins[i].compare(room, Qt::CaseInsensitive) == 0) {
            mRejoins.removeAt(i);
            return true;
        }
    }
    return false;
}

QString TClientBrain::noAnswerText()
{
    return QStringLiteral("The server did not answer; it may be older than this program.");
}

void TClientBrain::RemoveMember(TClient &client, const QString &member)
{
    SendRemoveMember(client, member);
    awaitReply({0, "REMM", gCurrentProjectName, member});
}

void TClientBrain::ChangeProjectPassword(TClient &client, const QString &password)
{
    SendChangeProjectPassword(client, password);
    awaitReply({0, "CHPP", gCurrentProjectName, {}});
}

void TClientBrain::awaitReply(AwaitedReply request)
{
    request.id = ++mLastAwaitedId;
    mAwaited.append(request);
    QTimer::singleShot(mOwnerReplyTimeoutMs, mTimers.get(), [this, id = request.id] {
        for (AwaitedReply &waiting : mAwaited) {
            if (waiting.id == id && !waiting.reportedUnanswered) {
                waiting.reportedUnanswered = true;
                message(noAnswerText());
            }
        }
    });
}

std::optional<TClientBrain::AwaitedReply> TClientBrain::takeAwaited(QByteArrayView word)
{
    for (qsizetype i = 0; i < mAwaited.size(); ++i) {
        if (mAwaited[i].word == word)
            return mAwaited.takeAt(i);
    }
    return std::nullopt;
}

void TClientBrain::ownerReply(QByteArrayView word, bool good)
{
    // A reply nobody waits for (the connection was renewed meanwhile) says nothing.
    const auto asked = takeAwaited(word);
    if (!asked)
        return;
    const QString project = quoted(asked->project);
    if (word == "REMM") {
        message(good ? QStringLiteral("The member ") + quoted(asked->member)
                           + QStringLiteral(" has been removed from the project ") + project + QLatin1Char('.')
                     : QStringLiteral("Server Error: ") + quoted(asked->member)
                           + QStringLiteral(" could not be removed from the project ") + project
                           + QStringLiteral(". Only the project's owner can remove a member, and not themself."));
    } else {
        message(good ? QStringLiteral("The password of the project ") + project + QStringLiteral(" has been changed.")
                     : QStringLiteral("Server Error: The password of the project ") + project
                           + QStringLiteral(" could not be changed. Only the project's owner can change it."));
    }
}

void TClientBrain::ClientDataIn(qsizetype, qint32, TClient &)
{
}

void TClientBrain::ClientDisconnect(const QString &, TClient &client)
{
    // An ended client is finished with: the next sign-in makes a new one.
    if (gMyClient == &client)
        destroy(client);
    clearPendingRequests();
    client.awaitedFiles() = {};
    mAwaited.clear();
    mRejoins.clear();
    mRejoiningProject = false;
    const std::optional<CertificateCheck> refused = client.refusedCertificate();
    if (!refused && mUi.failOver())
        return;
    if (refused)
        mUi.certificateRefused(*refused);
    else if (!gAutoConnect)
        message(QStringLiteral("You have been disconnected from the server!"));
    mUi.showDisconnected();
}

void TClientBrain::ClientProcessPacket(const QByteArray &PacketData, const QByteArray &PacketID, TClient &client)
{
    const QByteArray &data = PacketData;
    const bool good = GoodPacket(data);

    if (PacketID == "LOGI") {
        if (gCreatingNewAccount) {
            gCreatingNewAccount = false;
            SendLoginInfo(client, "CRAT");
        } else {
            SendLoginInfo(client, "LOGI");
        }
    } else if (PacketID == "LRES") {
        // An empty reply cannot say yes: it is a refusal.
        if (!data.isEmpty() && data[0] == 1) {
            if (!gAutoConnect && !mUi.reconnecting())
                message(QStringLiteral("You have been logged into the Halvorn Network."));
            mUi.showConnected();
        } else {
            destroy(client);
            mUi.signInRefused();
            if (!gAutoConnect)
                errorBox(QStringLiteral("Your login has been denied. Please check your password and other account "
                                        "details and try again."));
        }
    } else if (PacketID == "CRAT") {
        if (good) {
            message(QStringLiteral("A new account on the server has been created for you!, please wait while we "
                                   "log you in..."));
            SendLoginInfo(client, "LOGI");
        } else {
            message(QStringLiteral("The login name you tried to register is unavailable please try something different."));
            destroy(client);
            mUi.signInRefused();
        }
    } else if (PacketID == "JCHR" || PacketID == "ACHR") {
        // The room this reply answers: other requests sent meanwhile (a user
        // list after a join notice) must not rename it.
        const QString room = gPendingChatJoins.isEmpty() ? gLastChatRoomName : gPendingChatJoins.takeFirst();
        if (good && takeRejoin(room)) {
            mUi.addChatRoomText(room, rejoinedRoomText());
            SendChatRoomUsers(client, room);
        } else if (good) {
            mUi.chatStatus(QStringLiteral("Joined Channel."));
            mUi.openChatRoom(room);
        } else if (PacketID == "JCHR") {
            // A room rejoined that has gone meanwhile is made again.
            mUi.chatStatus(QStringLiteral("Channel Does Not Exists, Creating..."));
            SendAddChatRoom(client, room);
        } else {
            takeRejoin(room);
            mUi.chatStatus(QStringLiteral("The server has not allowed you to create the chat channel."));
        }
    } else if (PacketID == "LCHR") {
        mUi.chatStatus(good ? QStringLiteral("You have left the channel")
                            : QStringLiteral("Server Error: You were unable to leave the channel."));
    } else if (PacketID == "UCHR") {
        const QString room = gPendingRoomUsers.isEmpty() ? gLastChatRoomName : gPendingRoomUsers.takeFirst();
        const auto users = textList(data);
        if (users && mUi.hasChatRoom(room))
            mUi.setChatRoomUsers(room, *users);
    } else if (PacketID == "JOIN" || PacketID == "LEAV") {
        QString room, user;
        if (data.isEmpty() || !twoFields(data, room, user) || !mUi.hasChatRoom(room))
            return;
        if (PacketID == "JOIN")
            mUi.addChatRoomText(room, user + QStringLiteral(" has joined the channel..."));
        else
            mUi.chatStatus(user + QStringLiteral(" has left the channel..."));
        SendChatRoomUsers(client, room);
    } else if (PacketID == "MESS") {
        QString room, text;
        if (data.isEmpty() || !twoFields(data, room, text) || !mUi.hasChatRoom(room.toUpper()))
            return;
        mUi.addChatRoomText(room.toUpper(), text);
        mUi.statusBarText(text);
    } else if (PacketID == "GCHR") {
        if (gChannelListOpen)
            mUi.setChannelList(textList(data).value_or(QStringList{QStringLiteral("No Channels Currently Active")}));
    } else if (PacketID == "VPRO") {
        if (gProjectListOpen)
            mUi.setProjectList(textList(data).value_or(QStringList{QStringLiteral("No projects currently active.")}));
    } else if (PacketID == "APRO") {
        if (good) {
            message(QStringLiteral("Your project has been added to the server."));
            enterProject();
        } else {
            message(QStringLiteral("Error! your project could not be added to the server. Please check your project "
                                   "name is not in use and try again."));
            mUi.activateProjectOptions(false);
        }
    } else if (PacketID == "JPRO") {
        const bool rejoin = std::exchange(mRejoiningProject, false);
        if (good && rejoin) {
            mUi.chatStatus(QStringLiteral("Back in the project ") + quoted(gLastProjectName) + QLatin1Char('.'));
            enterProject();
            if (gProjectChatOpen)
                SendProjectUsers(client);
            if (gProjectFileManagerOpen)
                mUi.refreshFileList();
        } else if (good) {
            message(QStringLiteral("You have joined the project ") + quoted(gLastProjectName));
            enterProject();
        } else {
            message(QStringLiteral("You were unable to join the project ") + quoted(gLastProjectName)
                    + QStringLiteral(" , Please check your password and try again."));
            mUi.activateProjectOptions(false);
        }
    } else if (PacketID == "LPRO") {
        if (good) {
            mUi.chatStatus(QStringLiteral("You have left the project: ") + gCurrentProjectName);
            mUi.activateProjectOptions(false);
            mUi.setUsersOnline({});
        } else {
            mUi.chatStatus(QStringLiteral("Server Error: You were unable to leave the project"));
        }
    } else if (PacketID == "RPRO") {
        if (good) {
            message(QStringLiteral("The project: ") + quoted(gCurrentProjectName)
                    + QStringLiteral(" has been removed from the server."));
            mUi.activateProjectOptions(false);
        } else {
            message(QStringLiteral("Server Error! The project: ") + quoted(gCurrentProjectName)
                    + QStringLiteral(" could not be removed from the server."));
        }
    } else if (PacketID == "UPRO") {
        const auto users = textList(data);
        if (!users) {
            message(QStringLiteral("Server Error: Your request for a user update has been denied."));
            return;
        }
        mUi.setUsersOnline(*users);
        if (gProjectChatOpen)
            mUi.setProjectChatUsers(*users);
    } else if (PacketID == "MESP") {
        QString project, text;
        if (data.isEmpty() || !twoFields(data, project, text))
            return;
        if (gProjectChatOpen)
            mUi.addProjectChatText(text);
        mUi.statusBarText(text);
    } else if (PacketID == "FLIS") {
        if (!gProjectFileManagerOpen)
            return;
        QList<SharedFileRow> rows;
        const auto fields = textList(data);
        if (fields && fields->size() % 3 == 0) {
            for (qsizetype i = 0; i < fields->size(); i += 3)
                rows.append({fields->at(i), fields->at(i + 2), fields->at(i + 1)});
        }
        mUi.setFileList(rows);
    } else if (PacketID == "ADDP") {
        gNextFile = true;
        if (!good)
            message(QStringLiteral("Server Error: Unable To Add File"));
        mUi.fileAdded(good);
    } else if (PacketID == "REMP") {
        if (!good)
            message(QStringLiteral("Server Error: There was a problem removing this file from the server. You may "
                                   "not remove this file at this time."));
    } else if (PacketID == "BFOU") {
        // The file is downloaded and opened only once the booking is ours.
        const QString fileName = takeOldest(client.awaitedFiles().bookOuts);
        if (!good)
            message(QStringLiteral("Server Error: There was a problem booking the file you requested out, please try "
                                   "again later"));
        else if (!fileName.isEmpty())
            SendDownload(client, fileName);
    } else if (PacketID == "GTFD") {
        const QString booked = takeOldest(client.awaitedFiles().downloads);
        if (data.isEmpty())
            return;
        const QString failed = QStringLiteral("Server Error: A problem occured downloading your data, please contact "
                                              "a system administrator.");
        QString path;
        QByteArray name, content;
        qsizetype offset = 0;
        if (good && !IsFailurePayload(data) && DecodeString(data, offset, name) && DecodeString(data, offset, content))
            path = SharedFolder(mDataFolder).storeDownloadedFile(gCurrentProjectName, decodeWireText(name), content);
        if (path.isEmpty()) {
            message(failed);
            // Nothing was opened, so the booking is not kept either.
            if (!booked.isEmpty())
                SendBookIn(client, booked);
            return;
        }
        if (gProjectFileManagerOpen)
            mUi.refreshFileList();
        mUi.openDownloadedFile(path);
        mBookings.addBooking(gCurrentProjectName, QFileInfo(path).fileName(), gUserName);
    } else if (PacketID == "BFIN") {
        // Each reply answers the oldest book-in still waiting.
        const QString bookedIn = gFilesBeingBookedIn.isEmpty() ? gFileBeingBookedIn : gFilesBeingBookedIn.takeFirst();
        if (!good) {
            message(QStringLiteral("Server Error: Unable to book file back into project!"));
            return;
        }
        // The booking goes whether or not the file manager is open.
        mBookings.removeBooking(gCurrentProjectName, QFileInfo(bookedIn).fileName(), gUserName);
        if (gProjectFileManagerOpen)
            mUi.refreshFileList();
    } else if (PacketID == "UPFL") {
        // A book-in: the booking is given back only once the upload is stored.
        const QString fileName = takeOldest(client.awaitedFiles().uploads);
        if (!good) {
            // The booking stays, here and on the server.
            message(QStringLiteral("Server Error: Unable to book file back into project!"));
            return;
        }
        message(QStringLiteral("Your file has been successfully saved to the server"));
        if (!fileName.isEmpty())
            SendBookIn(client, fileName);
        if (gProjectFileManagerOpen)
            mUi.refreshFileList();
    } else if (PacketID == "REMM" || PacketID == "CHPP") {
        ownerReply(PacketID, good);
    }
}

} // namespace Quorvant::Network
