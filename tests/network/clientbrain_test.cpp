// The dispatcher: each incoming command's messages and effects, and the
// requests it sends, on a client that is not connected (so every packet it
// sends stays in its queue to be read back).
#include "client.h"
#include "clientbrain.h"
#include "networkglobals.h"
#include "networkrecords.h"
#include "networkrequests.h"
#include "recordingui.h"
#include "waituntil.h"
#include "wireformat.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>

using namespace Quorvant::Network;
using namespace Qt::StringLiterals;

namespace {

struct Sent
{
    QByteArray word;
    QByteArray payload;
};

class ClientBrainTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetNetworkGlobals();
        ASSERT_TRUE(dir.isValid());
        brain = std::make_unique<TClientBrain>(ui, bookings, dir.path());
        client = brain->createClient(nullptr);
        gMyClient = client;
        gUserName = "ann";
        gPassword = "secret";
    }
    void TearDown() override
    {
        resetNetworkGlobals();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete guard.data();
    }

    void receive(const char *word, const QByteArray &payload) { brain->ClientProcessPacket(payload, word, *client); }

    QList<Sent> sent() const
    {
        QList<Sent> out;
        for (const QByteArray &p : client->queuedPackets())
            out.append({p.mid(8, 4), p.mid(16)});
        return out;
    }

    QTemporaryDir dir;
    RecordingUi ui;
    RecordingBookings bookings;
    std::unique_ptr<TClientBrain> brain;
    TClient *client = nullptr;
    QPointer<TClient> guard{nullptr};
};

QByteArray list(const QList<QByteArray> &items)
{
    QByteArray out;
    for (const QByteArray &i : items)
        out += EncodeString(i);
    return out;
}

} // namespace

TEST_F(ClientBrainTest, CredentialsRequestAnswersWithLoginOrNewAccount)
{
    receive("LOGI", ".");
    gCreatingNewAccount = true;
    receive("LOGI", ".");
    const auto s = sent();
    ASSERT_EQ(s.size(), 2);
    EXPECT_EQ(s[0].word, "LOGI");
    EXPECT_EQ(s[1].word, "CRAT");
    EXPECT_FALSE(gCreatingNewAccount);
    const TLoginInfo info = TLoginInfo::fromBytes(s[1].payload);
    EXPECT_EQ(info.LoginName, "ann");
    EXPECT_EQ(info.Password, "secret");
}

TEST_F(ClientBrainTest, SignInAcceptedShowsTheConnectedViews)
{
    receive("LRES", TPollInfo{true, 3}.toBytes());
    EXPECT_TRUE(ui.connected);
    EXPECT_EQ(ui.messageTexts(), QStringList{"You have been logged into the Halvorn Network."});

    ui.messages.clear();
    gAutoConnect = true;
    receive("LRES", TPollInfo{true, 3}.toBytes());
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_EQ(gMyClient, client);
}

TEST_F(ClientBrainTest, SignInRefusedDestroysTheClient)
{
    // An empty reply cannot say yes.
    const QByteArray refusals[] = {QByteArray(1, '\0'), QByteArray(1, '\2'), QByteArray()};
    for (const QByteArray &payload : refusals) {
        SetUp();
        guard = client;
        receive("LRES", payload);
        EXPECT_EQ(gMyClient, nullptr);
        EXPECT_TRUE(client->isDying());
        ASSERT_EQ(ui.messages.size(), 1);
        EXPECT_EQ(ui.messages[0].kind, NetworkMessageKind::Error);
        EXPECT_EQ(ui.messages[0].text, "Your login has been denied. Please check your password and other account "
                                       "details and try again.");
        EXPECT_FALSE(ui.connected);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(guard.isNull());
        ui.messages.clear();
    }
}

TEST_F(ClientBrainTest, NewAccountReplies)
{
    receive("CRAT", "GOOD");
    EXPECT_EQ(ui.messageTexts(), QStringList{"A new account on the server has been created for you!, please wait while "
                                             "we log you in..."});
    ASSERT_EQ(sent().size(), 1);
    EXPECT_EQ(sent()[0].word, "LOGI");

    receive("CRAT", FailurePayload());
    EXPECT_EQ(ui.messageTexts().last(), "The login name you tried to register is unavailable please try something different.");
    EXPECT_EQ(gMyClient, nullptr);
}

TEST_F(ClientBrainTest, JoinRefusedCreatesTheRoomOnce)
{
    SendJoinChatRoom(*client, "Lobby");
    receive("JCHR", "BAD");
    const auto s = sent();
    ASSERT_EQ(s.size(), 2);
    EXPECT_EQ(s[1].word, "ACHR");
    const TNetworkChatRoom room = TNetworkChatRoom::fromBytes(s[1].payload);
    EXPECT_EQ(room.RoomName, "Lobby");
    EXPECT_EQ(room.UserName, "ann");
    EXPECT_EQ(ui.chat, QStringList{"Channel Does Not Exists, Creating..."});

    receive("ACHR", "GOOD");
    EXPECT_EQ(ui.chat.last(), "Joined Channel.");
    EXPECT_TRUE(ui.calls.contains("openChatRoom:Lobby"));
    receive("ACHR", "bad");
    EXPECT_EQ(ui.chat.last(), "The server has not allowed you to create the chat channel.");
    receive("LCHR", "GOOD");
    EXPECT_EQ(ui.chat.last(), "You have left the channel");
    receive("LCHR", "BAD");
    EXPECT_EQ(ui.chat.last(), "Server Error: You were unable to leave the channel.");
}

// After a reconnection: the open windows' rooms and the project are joined
// again quietly, a room that has gone meanwhile made again, no window twice.
TEST_F(ClientBrainTest, RejoinsKeepTheOpenWindowsAndAskNothing)
{
    ui.rooms = {"LOBBY", "GARDEN"};
    brain->rejoinChatRoom(*client, "LOBBY");
    brain->rejoinChatRoom(*client, "GARDEN");
    brain->rejoinProject(*client, "Site", "pw");
    receive("JCHR", "GOOD");
    receive("JCHR", "BAD");  // GARDEN has gone: made again
    receive("ACHR", "GOOD");
    receive("JPRO", "GOOD");
    QStringList words;
    for (const Sent &p : sent())
        words.append(QString::fromLatin1(p.word));
    EXPECT_EQ(words, (QStringList{"JCHR", "JCHR", "JPRO", "UCHR", "ACHR", "UCHR"}));
    EXPECT_EQ(ui.roomText["LOBBY"], QStringList{TClientBrain::rejoinedRoomText()});
    EXPECT_EQ(ui.roomText["GARDEN"], QStringList{TClientBrain::rejoinedRoomText()});
    EXPECT_FALSE(ui.calls.join(' ').contains("openChatRoom")) << "no second window";
    EXPECT_EQ(ui.chat.last(), "Back in the project \"Site\".");
    EXPECT_TRUE(ui.projectActive);
    EXPECT_EQ(gCurrentProjectName, "Site");
    EXPECT_TRUE(ui.messages.isEmpty());

    // Later joins are the user's again: a window each, a box each.
    SendJoinChatRoom(*client, "Other");
    receive("JCHR", "GOOD");
    EXPECT_TRUE(ui.calls.contains("openChatRoom:Other"));
    SendJoinProject(*client, "Site", "pw");
    receive("JPRO", "GOOD");
    EXPECT_EQ(ui.messageTexts(), QStringList{"You have joined the project \"Site\""});
}

TEST_F(ClientBrainTest, RoomNotificationsReachTheRoomWindow)
{
    ui.rooms.insert("LOBBY");
    receive("MESS", list({"lobby", "bob: hi"}));
    EXPECT_EQ(ui.roomText["LOBBY"], QStringList{"bob: hi"});
    EXPECT_EQ(ui.statusBar, QStringList{"bob: hi"});

    receive("MESS", list({"elsewhere", "lost"}));
    receive("MESS", QByteArray());
    receive("MESS", EncodeString("lobby") + QByteArray::fromHex("ff000000"));  // malformed
    EXPECT_EQ(ui.roomText["LOBBY"].size(), 1);

    receive("JOIN", list({"Lobby", "bob"}));
    EXPECT_EQ(ui.roomText["LOBBY"].last(), "bob has joined the channel...");
    receive("LEAV", list({"Lobby", "bob"}));
    EXPECT_EQ(ui.chat.last(), "bob has left the channel...");
    const auto s = sent();
    ASSERT_EQ(s.size(), 2);
    EXPECT_EQ(s[0].word, "UCHR");
    EXPECT_EQ(TNetworkChatRoom::fromBytes(s[0].payload).RoomName, "Lobby");
    EXPECT_EQ(gLastChatRoomName, "Lobby");

    receive("UCHR", list({"ann", "bob", "cy"}));
    EXPECT_EQ(ui.roomUsers["LOBBY"], (QStringList{"ann", "bob", "cy"}));
    receive("JOIN", list({"Nowhere", "bob"}));
    EXPECT_EQ(sent().size(), 2);
}

TEST_F(ClientBrainTest, ListRepliesFillOpenWindowsOnly)
{
    receive("GCHR", list({"A", "B"}));
    EXPECT_TRUE(ui.channelList.isEmpty());
    gChannelListOpen = true;
    receive("GCHR", list({"A", "B"}));
    EXPECT_EQ(ui.channelList, (QStringList{"A", "B"}));
    receive("GCHR", FailurePayload());
    EXPECT_EQ(ui.channelList, QStringList{"No Channels Currently Active"});

    gProjectListOpen = true;
    receive("VPRO", list({"SITE"}));
    EXPECT_EQ(ui.projectList, QStringList{"SITE"});
    receive("VPRO", FailurePayload());
    EXPECT_EQ(ui.projectList, QStringList{"No projects currently active."});
    receive("VPRO", QByteArray::fromHex("05000000") + "ab");  // malformed reads as failed
    EXPECT_EQ(ui.projectList, QStringList{"No projects currently active."});
}

TEST_F(ClientBrainTest, ProjectCreateJoinLeaveRemove)
{
    SendAddProject(*client, "Web Site For The Big Customer", "pw");
    receive("APRO", "GOOD");
    EXPECT_EQ(gCurrentProjectName, "Web Site For The Big Customer");
    EXPECT_TRUE(ui.calls.contains("setProjectLabel:Web Site For The"));
    EXPECT_TRUE(ui.projectActive);
    EXPECT_EQ(ui.messageTexts().last(), "Your project has been added to the server.");

    receive("APRO", "BAD");
    EXPECT_EQ(ui.messageTexts().last(), "Error! your project could not be added to the server. Please check your "
                                        "project name is not in use and try again.");
    EXPECT_FALSE(ui.projectActive);

    SendJoinProject(*client, "OTHER", "x");
    receive("JPRO", "BAD");
    EXPECT_EQ(ui.messageTexts().last(), "You were unable to join the project \"OTHER\" , Please check your password and try again.");
    receive("JPRO", "GOOD");
    EXPECT_EQ(ui.messageTexts().last(), "You have joined the project \"OTHER\"");
    EXPECT_EQ(gCurrentProjectName, "OTHER");

    ui.usersOnline = {"x"};
    receive("LPRO", "GOOD");
    EXPECT_EQ(ui.chat.last(), "You have left the project: OTHER");
    EXPECT_TRUE(ui.usersOnline.isEmpty());
    receive("LPRO", "BAD");
    EXPECT_EQ(ui.chat.last(), "Server Error: You were unable to leave the project");

    receive("RPRO", "GOOD");
    EXPECT_EQ(ui.messageTexts().last(), "The project: \"OTHER\" has been removed from the server.");
    receive("RPRO", "BAD");
    EXPECT_EQ(ui.messageTexts().last(), "Server Error! The project: \"OTHER\" could not be removed from the server.");
}

TEST_F(ClientBrainTest, ProjectUsersAndChat)
{
    receive("UPRO", list({"a", "b", "c"}));
    EXPECT_EQ(ui.usersOnline.size(), 3);
    EXPECT_TRUE(ui.projectChatUsers.isEmpty());
    gProjectChatOpen = true;
    receive("UPRO", list({"a", "b", "c"}));
    EXPECT_EQ(ui.projectChatUsers, (QStringList{"a", "b", "c"}));
    receive("UPRO", FailurePayload());
    EXPECT_EQ(ui.messageTexts().last(), "Server Error: Your request for a user update has been denied.");

    receive("MESP", list({"P", "a: hello"}));
    EXPECT_EQ(ui.projectChat, QStringList{"a: hello"});
    EXPECT_EQ(ui.statusBar.last(), "a: hello");
    receive("MESP", QByteArray());
    EXPECT_EQ(ui.projectChat.size(), 1);
}

TEST_F(ClientBrainTest, FileListRows)
{
    receive("FLIS", list({"a.htm", "ann", "TRUE"}));
    EXPECT_FALSE(ui.calls.contains("setFileList"));
    gProjectFileManagerOpen = true;
    receive("FLIS", list({"a.htm", "ann", "TRUE", "b.css", "bob", "FALSE"}));
    ASSERT_EQ(ui.fileList.size(), 2);
    EXPECT_EQ(ui.fileList[0], (SharedFileRow{"a.htm", "TRUE", "ann"}));
    EXPECT_EQ(ui.fileList[1].UserShared, "bob");
    receive("FLIS", QByteArray());
    EXPECT_TRUE(ui.fileList.isEmpty());
    ui.fileList = {SharedFileRow{}};
    receive("FLIS", FailurePayload());
    EXPECT_TRUE(ui.fileList.isEmpty());
}

TEST_F(ClientBrainTest, FileRequestFailuresAndSuccesses)
{
    struct Case { const char *word; const char *failure; };
    const Case cases[] = {
        {"ADDP", "Server Error: Unable To Add File"},
        {"REMP", "Server Error: There was a problem removing this file from the server. You may not remove this file at this time."},
        {"BFOU", "Server Error: There was a problem booking the file you requested out, please try again later"},
        {"BFIN", "Server Error: Unable to book file back into project!"},
        {"UPFL", "Server Error: Unable to book file back into project!"},
    };
    for (const Case &c : cases) {
        ui.messages.clear();
        receive(c.word, FailurePayload());
        EXPECT_EQ(ui.messageTexts(), QStringList{c.failure}) << c.word;
    }
    gNextFile = false;
    receive("ADDP", "GOOD");
    EXPECT_TRUE(gNextFile);
    ui.messages.clear();
    receive("UPFL", "GOOD");
    EXPECT_EQ(ui.messageTexts(), QStringList{"Your file has been successfully saved to the server"});
}

TEST_F(ClientBrainTest, BookInRemovesTheLocalBookingWithTheFileManagerClosed)
{
    gCurrentProjectName = "SITE";
    gFileBeingBookedIn = dir.path() + "/Shared/SITE/index.htm";
    gProjectFileManagerOpen = false;
    receive("BFIN", "GOOD");
    EXPECT_EQ(bookings.removed, QStringList{"SITE/index.htm/ann"});
    EXPECT_FALSE(ui.calls.contains("refreshFileList"));
    gProjectFileManagerOpen = true;
    receive("BFIN", "GOOD");
    EXPECT_TRUE(ui.calls.contains("refreshFileList"));
    receive("BFIN", "BAD");
    EXPECT_EQ(bookings.removed.size(), 2);
}

TEST_F(ClientBrainTest, DownloadIsStoredOpenedAndBooked)
{
    gCurrentProjectName = "SITE";
    gProjectFileManagerOpen = true;
    receive("GTFD", list({"index.htm", "<p>hi</p>"}));
    const QString path = dir.path() + "/Shared/SITE/index.htm";
    ASSERT_EQ(ui.opened, QStringList{path});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "<p>hi</p>");
    EXPECT_EQ(bookings.added, QStringList{"SITE/index.htm/ann"});
    EXPECT_TRUE(ui.calls.contains("refreshFileList"));
    EXPECT_TRUE(ui.messages.isEmpty());

    receive("GTFD", QByteArray());
    EXPECT_EQ(ui.opened.size(), 1);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(ClientBrainTest, UnsafeOrFailedDownloadsAreRefused)
{
    const QString failed = "Server Error: A problem occured downloading your data, please contact a system administrator.";
    gCurrentProjectName = "SITE";
    const QByteArray payloads[] = {
        FailurePayload(),
        list({"", "x"}),
        list({"../escape.htm", "x"}),
        list({"sub/file.htm", "x"}),
        list({"sub\\file.htm", "x"}),
        list({"..", "x"}),
        list({"bell\a.htm", "x"}),
        list({"line\nbreak.htm", "x"}),
        EncodeString("a.htm") + QByteArray::fromHex("10000000") + "short",  // content past the end
        EncodeString("a.htm"),                                               // no content field
        QByteArray::fromHex("02"),                                           // no name field
    };
    for (const QByteArray &payload : payloads) {
        ui.messages.clear();
        receive("GTFD", payload);
        EXPECT_EQ(ui.messageTexts(), QStringList{failed}) << payload.toHex().constData();
    }
    for (const char *project : {"..", "a/b", "", "x\\y"}) {
        gCurrentProjectName = project;
        ui.messages.clear();
        receive("GTFD", list({"ok.htm", "x"}));
        EXPECT_EQ(ui.messageTexts(), QStringList{failed}) << project;
    }
    EXPECT_TRUE(ui.opened.isEmpty());
    EXPECT_TRUE(bookings.added.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.path() + "/escape.htm"));
    EXPECT_FALSE(QDir(dir.path() + "/Shared/SITE/sub").exists());
}

TEST_F(ClientBrainTest, AFailedWriteIsAFailedDownload)
{
    // A data folder that is a plain file: nothing can be created under it.
    const QString plainFile = dir.path() + "/plain";
    QFile f(plainFile);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    TClientBrain blocked(ui, bookings, plainFile);
    gCurrentProjectName = "SITE";
    blocked.ClientProcessPacket(list({"index.htm", "x"}), "GTFD", *client);
    EXPECT_EQ(ui.messageTexts(), QStringList{"Server Error: A problem occured downloading your data, please contact a system administrator."});
    EXPECT_TRUE(ui.opened.isEmpty());
    EXPECT_TRUE(bookings.added.isEmpty());
}

TEST_F(ClientBrainTest, DisconnectMessageUnlessAutomatic)
{
    brain->ClientDisconnect("Disconnected", *client);
    EXPECT_EQ(ui.messageTexts(), QStringList{"You have been disconnected from the server!"});
    EXPECT_TRUE(ui.calls.contains("showDisconnected"));
    gAutoConnect = true;
    brain->ClientDisconnect("Disconnected", *client);
    EXPECT_EQ(ui.messages.size(), 1);
}

TEST_F(ClientBrainTest, UnknownWordsAndServerPingsAreIgnored)
{
    receive("PING", "x");
    receive("ZZZZ", "x");
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_TRUE(ui.calls.isEmpty());
    EXPECT_TRUE(sent().isEmpty());
}

TEST_F(ClientBrainTest, OutgoingRequestsFillTheirFields)
{
    gCurrentProjectName = "SITE";
    gLastProjectName = "LAST";
    SendChatMessage(*client, "Lobby", "hello");
    SendChannelListRequest(*client);
    SendProjectListRequest(*client);
    SendRemoveProject(*client, "pw");
    SendLeaveProject(*client);
    SendProjectUsers(*client);
    SendProjectMessage(*client, "yo");
    SendFileList(*client);
    SendAddFile(*client, "a.htm", "AAA");
    SendUploadFile(*client, "a.htm", "BBB");
    SendProjectFileRequest(*client, "BFOU", "a.htm");
    const auto s = sent();
    ASSERT_EQ(s.size(), 11);
    const TNetworkChatRoom chat = TNetworkChatRoom::fromBytes(s[0].payload);
    EXPECT_EQ(s[0].word, "MCHR");
    EXPECT_EQ(chat.UserName + chat.RoomName + chat.MessageText, "annLobbyhello");
    EXPECT_EQ(s[1].payload, "....");
    EXPECT_EQ(s[2].word, "VPRO");
    auto project = [&](int i) { return TNetworkProject::fromBytes(s[i].payload); };
    EXPECT_EQ(project(3).Password, "pw");
    EXPECT_EQ(project(3).ProjectName, "SITE");
    EXPECT_EQ(project(4).UserName, "ann");
    EXPECT_TRUE(project(5).UserName.isEmpty());
    EXPECT_EQ(project(6).MessageText, "yo");
    EXPECT_EQ(project(7).ProjectName, "LAST");
    EXPECT_EQ(s[8].payload.size(), 665 + 4 + 3);
    EXPECT_EQ(s[8].payload.mid(665), EncodeString("AAA"));
    EXPECT_EQ(project(8).UserName, "ann");
    EXPECT_TRUE(project(9).UserName.isEmpty());
    EXPECT_EQ(s[9].payload.mid(665), EncodeString("BBB"));
    EXPECT_EQ(s[10].word, "BFOU");
    EXPECT_EQ(project(10).FileName, "a.htm");
}

TEST_F(ClientBrainTest, BookOutDownloadsOnlyAfterTheServerConfirmedTheBooking)
{
    gCurrentProjectName = "SITE";
    SendBookOut(*client, "a.htm");
    SendBookOut(*client, "b.css");
    auto s = sent();
    ASSERT_EQ(s.size(), 2);
    for (const Sent &request : s)
        EXPECT_EQ(request.word, "BFOU");

    receive("BFOU", "GOOD");
    s = sent();
    ASSERT_EQ(s.size(), 3);
    EXPECT_EQ(s[2].word, "GTFD");
    EXPECT_EQ(TNetworkProject::fromBytes(s[2].payload).FileName, "a.htm");
    EXPECT_EQ(TNetworkProject::fromBytes(s[2].payload).ProjectName, "SITE");

    // Refused: reported, nothing downloaded, opened or booked.
    receive("BFOU", FailurePayload());
    EXPECT_EQ(sent().size(), 3);
    EXPECT_EQ(ui.messageTexts(), QStringList{"Server Error: There was a problem booking the file you requested out, "
                                             "please try again later"});
    EXPECT_TRUE(ui.opened.isEmpty());
    EXPECT_TRUE(bookings.added.isEmpty());

    receive("GTFD", list({"a.htm", "<p>a</p>"}));
    EXPECT_EQ(ui.opened, QStringList{dir.path() + "/Shared/SITE/a.htm"});
    EXPECT_EQ(bookings.added, QStringList{"SITE/a.htm/ann"});

    // A confirmed booking whose download fails is given back: nothing is
    // opened, so nothing is held.
    SendBookOut(*client, "../d.htm");
    receive("BFOU", "GOOD");
    receive("GTFD", list({"../d.htm", "x"}));
    s = sent();
    ASSERT_EQ(s.size(), 6);
    EXPECT_EQ(s[4].word, "GTFD");
    EXPECT_EQ(s[5].word, "BFIN");
    EXPECT_EQ(TNetworkProject::fromBytes(s[5].payload).FileName, "../d.htm");
    EXPECT_EQ(ui.messageTexts().last(), "Server Error: A problem occured downloading your data, please contact a "
                                        "system administrator.");
    EXPECT_EQ(ui.opened.size(), 1);
    EXPECT_EQ(bookings.added.size(), 1);

    // A connection that ends forgets what it waited for.
    SendBookOut(*client, "c.js");
    brain->ClientDisconnect("Disconnected", *client);
    const qsizetype before = sent().size();
    receive("BFOU", "GOOD");
    EXPECT_EQ(sent().size(), before);
}

TEST_F(ClientBrainTest, BookInGivesTheBookingBackOnlyAfterTheUploadWasStored)
{
    const QString refused = "Server Error: Unable to book file back into project!";
    gCurrentProjectName = "SITE";
    SendBookInUpload(*client, "a.htm", "<p>new</p>");
    ASSERT_EQ(sent().size(), 1);
    EXPECT_EQ(sent()[0].word, "UPFL");
    EXPECT_EQ(sent()[0].payload.mid(TNetworkProject::Size), EncodeString("<p>new</p>"));

    // A refused upload keeps the booking: no book-in is sent, none removed.
    receive("UPFL", FailurePayload());
    EXPECT_EQ(sent().size(), 1);
    EXPECT_EQ(ui.messageTexts(), QStringList{refused});
    EXPECT_TRUE(bookings.removed.isEmpty());

    // A stored upload is followed by the book-in of that file.
    SendBookInUpload(*client, "b.css", "p{}");
    SendBookInUpload(*client, "c.js", "var c;");
    receive("UPFL", "GOOD");
    auto s = sent();
    ASSERT_EQ(s.size(), 4);
    EXPECT_EQ(s[3].word, "BFIN");
    EXPECT_EQ(TNetworkProject::fromBytes(s[3].payload).FileName, "b.css");
    receive("UPFL", "GOOD");
    s = sent();
    ASSERT_EQ(s.size(), 5);
    EXPECT_EQ(TNetworkProject::fromBytes(s[4].payload).FileName, "c.js");

    // A refused book-in is reported and the booking stays; an accepted one
    // removes the booking of the file it answers.
    ui.messages.clear();
    receive("BFIN", FailurePayload());
    EXPECT_EQ(ui.messageTexts(), QStringList{refused});
    EXPECT_TRUE(bookings.removed.isEmpty());
    receive("BFIN", "GOOD");
    EXPECT_EQ(bookings.removed, QStringList{"SITE/c.js/ann"});
}

TEST_F(ClientBrainTest, OwnerRequestsAndTheirReplies)
{
    gCurrentProjectName = "SITE";
    brain->RemoveMember(*client, "bob");
    brain->ChangeProjectPassword(*client, "New Secret");
    const auto s = sent();
    ASSERT_EQ(s.size(), 2);
    EXPECT_EQ(s[0].word, "REMM");
    EXPECT_EQ(TNetworkProject::fromBytes(s[0].payload).ProjectName, "SITE");
    EXPECT_EQ(TNetworkProject::fromBytes(s[0].payload).UserName, "bob");
    EXPECT_EQ(s[1].word, "CHPP");
    EXPECT_EQ(TNetworkProject::fromBytes(s[1].payload).ProjectName, "SITE");
    EXPECT_EQ(TNetworkProject::fromBytes(s[1].payload).Password, "New Secret");
    EXPECT_TRUE(TNetworkProject::fromBytes(s[1].payload).UserName.isEmpty());

    // Replies in another order than the requests: each word answers its own.
    receive("CHPP", "GOOD");
    receive("REMM", "GOOD");
    brain->RemoveMember(*client, "cy");
    brain->ChangeProjectPassword(*client, "x");
    receive("REMM", FailurePayload());
    receive("CHPP", FailurePayload());
    receive("REMM", "GOOD");  // nothing asked: nothing said
    EXPECT_EQ(ui.messageTexts(),
              (QStringList{"The password of the project \"SITE\" has been changed.",
                           "The member \"bob\" has been removed from the project \"SITE\".",
                           "Server Error: \"cy\" could not be removed from the project \"SITE\". Only the project's "
                           "owner can remove a member, and not themself.",
                           "Server Error: The password of the project \"SITE\" could not be changed. Only the "
                           "project's owner can change it."}));
}

TEST_F(ClientBrainTest, AnOwnerRequestTheServerNeverAnswersIsReported)
{
    EXPECT_EQ(TClientBrain::kOwnerReplyTimeoutMs, 10000);
    brain->setOwnerReplyTimeout(50);
    gCurrentProjectName = "SITE";
    // Answered in time: no notice.
    brain->ChangeProjectPassword(*client, "pw");
    receive("CHPP", "GOOD");
    brain->RemoveMember(*client, "bob");
    ASSERT_TRUE(waitUntil([&] { return ui.messages.size() == 2; }, 2000)) << ui.messageTexts().join('|').toStdString();
    EXPECT_EQ(ui.messageTexts().last(), TClientBrain::noAnswerText());
    EXPECT_EQ(TClientBrain::noAnswerText(), "The server did not answer; it may be older than this program.");
    // Said once, and an answer that comes late is still reported.
    EXPECT_FALSE(waitUntil([&] { return ui.messages.size() > 2; }, 200));
    receive("REMM", "GOOD");
    EXPECT_EQ(ui.messageTexts().last(), "The member \"bob\" has been removed from the project \"SITE\".");

    // A connection that ends takes its waits with it.
    brain->RemoveMember(*client, "cy");
    brain->ClientDisconnect("Disconnected", *client);
    const qsizetype before = ui.messages.size();
    EXPECT_FALSE(waitUntil([&] { return ui.messages.size() > before; }, 200));
}

TEST_F(ClientBrainTest, ReceivedTextIsUtf8OrElseWindows1252)
{
    gChannelListOpen = true;
    gProjectFileManagerOpen = true;
    ui.rooms.insert("CAF\u00c9");
    receive("GCHR", list({"caf\xe9", "na\xc3\xafve"}));
    EXPECT_EQ(ui.channelList, (QStringList{u"caf\u00e9"_s, u"na\u00efve"_s}));
    receive("MESS", list({"caf\xc3\xa9", "zo\xeb: \x93hi\x94"}));
    EXPECT_EQ(ui.roomText[u"CAF\u00c9"_s], QStringList{u"zo\u00eb: \u201chi\u201d"_s});
    receive("FLIS", list({"r\xe9sum\xe9.htm", "j\xfcrgen", "FALSE"}));
    ASSERT_EQ(ui.fileList.size(), 1);
    EXPECT_EQ(ui.fileList[0], (SharedFileRow{u"r\u00e9sum\u00e9.htm"_s, "FALSE", u"j\u00fcrgen"_s}));

    gCurrentProjectName = "SITE";
    receive("GTFD", list({"r\xe9sum\xe9.htm", "x"}));
    EXPECT_EQ(ui.opened, QStringList{dir.path() + u"/Shared/SITE/r\u00e9sum\u00e9.htm"_s});
}
