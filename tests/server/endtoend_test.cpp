// The real client against the real server process on 127.0.0.1: every
// request, authorisation, persistence across restarts and hostile input.
#include "client.h"
#include "clientbrain.h"
#include "networkglobals.h"
#include "networkcommands.h"
#include "networklog.h"
#include "networkrecords.h"
#include "networkrequests.h"
#include "rawclient.h"
#include "recordingui.h"
#include "serverprocess.h"
#include "testrecords.h"
#include "../support/testslowdown.h"
#include "waituntil.h"
#include "wireformat.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace Quorvant::Network;

namespace {

class EndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetNetworkGlobals();
        ASSERT_TRUE(dir.isValid());
        database = testDatabase(dir);
        ASSERT_FALSE(database.isEmpty()) << "no database for the test";
        ASSERT_TRUE(server.start(database)) << server.process.readAllStandardError().constData();
        brain = std::make_unique<TClientBrain>(ui, bookings, dir.filePath("data"));
    }
    void TearDown() override
    {
        resetNetworkGlobals();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The sign-in of the real client, as the login dialog and the automatic
    // sign-in do it.
    bool signIn(const QString &user, const QString &password, bool create)
    {
        DestroyClient();
        gUserName = user;
        gPassword = password;
        gMyClient = brain->createClient(&log);
        if (!gMyClient->ClientConnect("127.0.0.1", server.port))
            return false;
        gCreatingNewAccount = create;
        // The greeting's pause and two password hashes, on a busy machine.
        return waitUntil([&] { return ui.connected || gMyClient == nullptr; }, Quorvant::Test::slowedLimitMs(15000))
               && ui.connected;
    }

    bool waitForMessage(const QString &text)
    {
        return waitUntil([&] { return ui.messageTexts().contains(text); });
    }

    QTemporaryDir dir;
    QString database;  // SQLite, or PostgreSQL under tests/support/postgresql.sh
    ServerProcess server;
    TNetworkLog log;
    RecordingUi ui;
    RecordingBookings bookings;
    std::unique_ptr<TClientBrain> brain;
};

} // namespace

TEST_F(EndToEnd, AccountsAreCreatedAndChecked)
{
    ASSERT_TRUE(signIn("ann", "secret", true));
    EXPECT_TRUE(ui.messageTexts().contains("A new account on the server has been created for you!, please wait while "
                                           "we log you in..."));
    EXPECT_TRUE(ui.messageTexts().contains("You have been logged into the Halvorn Network."));

    // The same name again is refused, and the client goes.
    ui = RecordingUi();
    EXPECT_FALSE(signIn("ANN", "other", true));
    EXPECT_TRUE(waitForMessage("The login name you tried to register is unavailable please try something different."));
    EXPECT_EQ(gMyClient, nullptr);

    ui = RecordingUi();
    EXPECT_FALSE(signIn("ann", "wrong", false));
    EXPECT_TRUE(waitForMessage("Your login has been denied. Please check your password and other account details and try again."));
    EXPECT_EQ(gMyClient, nullptr);

    ui = RecordingUi();
    EXPECT_FALSE(signIn("nobody", "secret", false));
    EXPECT_EQ(gMyClient, nullptr);

    ui = RecordingUi();
    EXPECT_TRUE(signIn("ann", "secret", false));
}

TEST_F(EndToEnd, ChatRoomsWithNotificationsAndMessages)
{
    ASSERT_TRUE(signIn("ann", "pw", true));
    RawClient bob;
    ASSERT_TRUE(bob.connectTo(server.port));
    ASSERT_TRUE(bob.signIn("bob", "pw", true));

    // No such room: the join is refused and the dispatcher creates it.
    SendJoinChatRoom(*gMyClient, "Lobby");
    ASSERT_TRUE(waitUntil([&] { return ui.rooms.contains("LOBBY"); }));
    EXPECT_EQ(ui.chat, (QStringList{"Channel Does Not Exists, Creating...", "Joined Channel."}));

    SendChatRoomUsers(*gMyClient, "Lobby");
    ASSERT_TRUE(waitUntil([&] { return ui.roomUsers.contains("LOBBY"); }));
    EXPECT_EQ(ui.roomUsers["LOBBY"], QStringList{"ann"});

    gChannelListOpen = true;
    SendChannelListRequest(*gMyClient);
    ASSERT_TRUE(waitUntil([&] { return !ui.channelList.isEmpty(); }));
    EXPECT_EQ(ui.channelList, QStringList{"Lobby"});

    const auto joined = bob.request("JCHR", chatRecord("lobby"));
    ASSERT_TRUE(joined);
    EXPECT_TRUE(GoodPacket(joined->payload));
    // Ann sees the join and asks for the users again.
    ASSERT_TRUE(waitUntil([&] { return ui.roomUsers["LOBBY"].size() == 2; }));
    EXPECT_EQ(ui.roomText["LOBBY"], QStringList{"bob has joined the channel..."});
    EXPECT_EQ(ui.roomUsers["LOBBY"], (QStringList{"ann", "bob"}));

    SendChatMessage(*gMyClient, "Lobby", "hello bob");
    const auto mess = bob.waitFor("MESS");
    ASSERT_TRUE(mess);
    EXPECT_EQ(decodeList(mess->payload), (QStringList{"Lobby", "ann: hello bob"}));
    ASSERT_TRUE(waitUntil([&] { return ui.roomText["LOBBY"].contains("ann: hello bob"); }));

    bob.send("MCHR", chatRecord("LOBBY", "hi ann"));
    ASSERT_TRUE(waitUntil([&] { return ui.roomText["LOBBY"].contains("bob: hi ann"); }));
    EXPECT_EQ(ui.statusBar.last(), "bob: hi ann");

    // A message to a room one has not joined goes nowhere.
    bob.send("MCHR", chatRecord("Elsewhere", "nobody hears"));
    ASSERT_TRUE(bob.request("LCHR", chatRecord("Lobby")));
    ASSERT_TRUE(waitUntil([&] { return ui.chat.contains("bob has left the channel..."); }));
    EXPECT_FALSE(ui.statusBar.contains("bob: nobody hears"));

    SendLeaveChatRoom(*gMyClient, "Lobby");
    ASSERT_TRUE(waitUntil([&] { return ui.chat.last() == "You have left the channel"; }));
    SendLeaveChatRoom(*gMyClient, "Lobby");
    ASSERT_TRUE(waitUntil([&] { return ui.chat.last() == "Server Error: You were unable to leave the channel."; }));

    SendChannelListRequest(*gMyClient);
    ASSERT_TRUE(waitUntil([&] { return ui.channelList == QStringList{"No Channels Currently Active"}; }));
}

TEST_F(EndToEnd, SharedProjectFilesBookingsAndChat)
{
    ASSERT_TRUE(signIn("ann", "pw", true));
    SendAddProject(*gMyClient, "Site", "projpw");
    ASSERT_TRUE(waitForMessage("Your project has been added to the server."));
    EXPECT_EQ(gCurrentProjectName, "Site");
    EXPECT_TRUE(ui.projectActive);

    SendAddProject(*gMyClient, "SITE", "again");
    ASSERT_TRUE(waitForMessage("Error! your project could not be added to the server. Please check your project name "
                               "is not in use and try again."));
    gLastProjectName = gCurrentProjectName = "Site";

    gProjectListOpen = true;
    SendProjectListRequest(*gMyClient);
    ASSERT_TRUE(waitUntil([&] { return ui.projectList == QStringList{"Site"}; }));

    gNextFile = false;
    SendAddFile(*gMyClient, "index.htm", "<p>first</p>");
    ASSERT_TRUE(waitUntil([&] { return gNextFile; }));
    gNextFile = false;
    SendAddFile(*gMyClient, "index.htm", "duplicate");
    ASSERT_TRUE(waitForMessage("Server Error: Unable To Add File"));

    gProjectFileManagerOpen = true;
    SendFileList(*gMyClient);
    ASSERT_TRUE(waitUntil([&] { return ui.fileList.size() == 1; }));
    EXPECT_EQ(ui.fileList[0], (SharedFileRow{"index.htm", "FALSE", "ann"}));

    // Book out: download, open, record the booking.
    SendProjectFileRequest(*gMyClient, "GTFD", "index.htm");
    SendProjectFileRequest(*gMyClient, "BFOU", "index.htm");
    ASSERT_TRUE(waitUntil([&] { return !ui.opened.isEmpty(); }));
    const QString local = dir.filePath("data") + "/Shared/Site/index.htm";
    EXPECT_EQ(ui.opened, QStringList{local});
    EXPECT_EQ(bookings.added, QStringList{"Site/index.htm/ann"});
    SendFileList(*gMyClient);
    ASSERT_TRUE(waitUntil([&] { return !ui.fileList.isEmpty() && ui.fileList[0].BookingStatus == "TRUE"; }));

    SendProjectFileRequest(*gMyClient, "REMP", "index.htm");
    ASSERT_TRUE(waitForMessage("Server Error: There was a problem removing this file from the server. You may not "
                               "remove this file at this time."));

    // Another member cannot book it out or upload over it meanwhile.
    RawClient bob;
    ASSERT_TRUE(bob.connectTo(server.port));
    ASSERT_TRUE(bob.signIn("bob", "pw", true));
    EXPECT_FALSE(GoodPacket(bob.request("JPRO", projectRecord("site", {}, "nope"))->payload));
    EXPECT_TRUE(GoodPacket(bob.request("JPRO", projectRecord("site", {}, "projpw"))->payload));
    EXPECT_FALSE(GoodPacket(bob.request("BFOU", projectRecord("Site", "index.htm"))->payload));
    EXPECT_FALSE(GoodPacket(bob.request("UPFL", projectRecord("Site", "index.htm") + EncodeString("bob's"))->payload));

    // Book in: upload the new text, then release.
    gFileBeingBookedIn = local;
    SendUploadFile(*gMyClient, "index.htm", "<p>second</p>");
    SendProjectFileRequest(*gMyClient, "BFIN", "index.htm");
    ASSERT_TRUE(waitUntil([&] { return !bookings.removed.isEmpty(); }));
    EXPECT_TRUE(ui.messageTexts().contains("Your file has been successfully saved to the server"));
    EXPECT_EQ(bookings.removed, QStringList{"Site/index.htm/ann"});
    const auto fetched = bob.request("GTFD", projectRecord("Site", "INDEX.HTM"));
    ASSERT_TRUE(fetched);
    EXPECT_EQ(decodeList(fetched->payload), (QStringList{"index.htm", "<p>second</p>"}));

    // Project users and chat.
    gProjectChatOpen = true;
    SendProjectUsers(*gMyClient);
    ASSERT_TRUE(waitUntil([&] { return ui.usersOnline.size() == 2; }));
    EXPECT_EQ(ui.usersOnline, (QStringList{"ann", "bob"}));
    EXPECT_EQ(ui.projectChatUsers, ui.usersOnline);
    SendProjectMessage(*gMyClient, "status?");
    const auto mesp = bob.waitFor("MESP");
    ASSERT_TRUE(mesp);
    EXPECT_EQ(decodeList(mesp->payload), (QStringList{"Site", "ann: status?"}));
    ASSERT_TRUE(waitUntil([&] { return ui.projectChat.contains("ann: status?"); }));

    // Removing a file that is not booked out.
    SendAddFile(*gMyClient, "old.css", "x");
    SendProjectFileRequest(*gMyClient, "REMP", "old.css");
    SendFileList(*gMyClient);
    QTest::qWait(200);
    ASSERT_TRUE(waitUntil([&] { return ui.fileList.size() == 1; }));

    SendLeaveProject(*gMyClient);
    ASSERT_TRUE(waitUntil([&] { return ui.chat.contains("You have left the project: Site"); }));
    EXPECT_FALSE(ui.projectActive);

    SendRemoveProject(*gMyClient, "wrong");
    ASSERT_TRUE(waitForMessage("Server Error! The project: \"Site\" could not be removed from the server."));
    SendRemoveProject(*gMyClient, "projpw");
    ASSERT_TRUE(waitForMessage("The project: \"Site\" has been removed from the server."));
    SendProjectListRequest(*gMyClient);
    ASSERT_TRUE(waitUntil([&] { return ui.projectList == QStringList{"No projects currently active."}; }));
    EXPECT_FALSE(GoodPacket(bob.request("GTFD", projectRecord("Site", "index.htm"))->payload));
}

TEST_F(EndToEnd, OutsidersCannotReadOrChangeAProject)
{
    RawClient owner;
    ASSERT_TRUE(owner.connectTo(server.port));
    ASSERT_TRUE(owner.signIn("owner", "pw", true));
    ASSERT_TRUE(GoodPacket(owner.request("APRO", projectRecord("Secret", {}, "pw"))->payload));
    ASSERT_TRUE(GoodPacket(owner.request("ADDP", projectRecord("Secret", "plan.htm") + EncodeString("plans"))->payload));

    RawClient eve;
    ASSERT_TRUE(eve.connectTo(server.port));
    // Not signed in: refused.
    ASSERT_TRUE(eve.waitFor("LOGI"));
    EXPECT_FALSE(GoodPacket(eve.request("FLIS", projectRecord("Secret"))->payload));
    ASSERT_TRUE(GoodPacket(eve.request("CRAT", TLoginInfo{"eve", "pw"}.toBytes())->payload));
    eve.send("LOGI", TLoginInfo{"eve", "pw"}.toBytes());
    const auto signedIn = eve.waitFor("LRES");
    ASSERT_TRUE(signedIn && signedIn->payload.startsWith('\1'));

    const char *words[] = {"FLIS", "GTFD", "REMP", "BFOU", "BFIN", "UPRO", "LPRO", "RPRO"};
    for (const char *word : words) {
        const auto r = eve.request(word, projectRecord("secret", "plan.htm", "pw"));
        ASSERT_TRUE(r) << word;
        EXPECT_TRUE(IsFailurePayload(r->payload)) << word;
    }
    for (const char *word : {"UPFL", "ADDP"}) {
        const auto r = eve.request(word, projectRecord("Secret", "plan.htm") + EncodeString("defaced"));
        ASSERT_TRUE(r) << word;
        EXPECT_FALSE(GoodPacket(r->payload)) << word;
    }
    eve.send("MPRO", projectRecord("Secret"));
    const auto files = owner.request("GTFD", projectRecord("Secret", "plan.htm"));
    EXPECT_EQ(decodeList(files->payload), (QStringList{"plan.htm", "plans"}));
    EXPECT_FALSE(owner.hasPacket("MESP"));
    // Names that could leave a folder on the members' disks are refused.
    for (const char *name : {"../x.htm", "a/b.htm", "a\\b.htm", "..", ""}) {
        const auto r = owner.request("ADDP", projectRecord("Secret", name) + EncodeString("x"));
        EXPECT_FALSE(GoodPacket(r->payload)) << name;
    }
    EXPECT_FALSE(GoodPacket(owner.request("APRO", projectRecord("../up", {}, "pw"))->payload));
}

TEST_F(EndToEnd, StateSurvivesARestart)
{
    {
        RawClient ann;
        ASSERT_TRUE(ann.connectTo(server.port));
        ASSERT_TRUE(ann.signIn("ann", "pw", true));
        ASSERT_TRUE(GoodPacket(ann.request("APRO", projectRecord("Keep", {}, "kp"))->payload));
        ASSERT_TRUE(GoodPacket(ann.request("ADDP", projectRecord("Keep", "a.htm") + EncodeString("kept"))->payload));
        ASSERT_TRUE(GoodPacket(ann.request("BFOU", projectRecord("Keep", "a.htm"))->payload));
    }
    EXPECT_EQ(server.stop(), 0);
    ASSERT_TRUE(server.start(database));

    ASSERT_TRUE(signIn("ann", "pw", false));
    gProjectFileManagerOpen = true;
    SendJoinProject(*gMyClient, "KEEP", "kp");
    ASSERT_TRUE(waitForMessage("You have joined the project \"KEEP\""));
    SendFileList(*gMyClient);
    ASSERT_TRUE(waitUntil([&] { return ui.fileList.size() == 1; }));
    EXPECT_EQ(ui.fileList[0], (SharedFileRow{"a.htm", "TRUE", "ann"}));
    SendProjectFileRequest(*gMyClient, "GTFD", "a.htm");
    ASSERT_TRUE(waitUntil([&] { return !ui.opened.isEmpty(); }));
    QFile file(ui.opened[0]);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "kept");
}

TEST_F(EndToEnd, BigFilesTravelWhole)
{
    ASSERT_TRUE(signIn("ann", "pw", true));
    SendAddProject(*gMyClient, "Big", "");
    ASSERT_TRUE(waitForMessage("Your project has been added to the server."));
    QByteArray content(3 * 1024 * 1024 + 17, '\0');
    for (qsizetype i = 0; i < content.size(); ++i)
        content[i] = char(i * 7 + i / 4096);
    gNextFile = false;
    SendAddFile(*gMyClient, "big.bin", content);
    ASSERT_TRUE(waitUntil([&] { return gNextFile; }, 20000));
    EXPECT_FALSE(ui.messageTexts().contains("Server Error: Unable To Add File"));
    SendProjectFileRequest(*gMyClient, "GTFD", "big.bin");
    ASSERT_TRUE(waitUntil([&] { return !ui.opened.isEmpty(); }, 20000));
    QFile file(ui.opened[0]);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll() == content);
}

TEST_F(EndToEnd, AddressServiceServesTheAddressFile)
{
    QNetworkAccessManager manager;
    QNetworkReply *reply = manager.get(QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/AddressInfo.dat").arg(server.httpPort))));
    ASSERT_TRUE(waitUntil([&] { return reply->isFinished(); }));
    EXPECT_EQ(reply->error(), QNetworkReply::NoError);
    const QByteArray body = reply->readAll();
    EXPECT_EQ(body, QStringLiteral("IP=127.0.0.1\r\nPORT=%1\r\n").arg(server.port).toLatin1());
    reply->deleteLater();

    // The client reads what it serves.
    QFile file(dir.filePath("AddressInfo.Dat"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(body);
    file.close();
    ASSERT_TRUE(TNetworkCommands::GetIpAndPort(file.fileName()));
    EXPECT_EQ(gHalvornIPAddress, "127.0.0.1");
    EXPECT_EQ(gHalvornPort.toInt(), server.port);

    QNetworkReply *missing = manager.get(QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/other").arg(server.httpPort))));
    ASSERT_TRUE(waitUntil([&] { return missing->isFinished(); }));
    EXPECT_EQ(missing->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 404);
    missing->deleteLater();
}

TEST_F(EndToEnd, ServerSurvivesThousandsOfMalformedConnections)
{
    QRandomGenerator random(1234);
    const QList<QByteArray> kinds = {
        packetHeader("MESS", -5),
        packetHeader("MESS", 3) + "abc",
        packetHeader("GTFD", INT32_MAX),
        packetHeader("ADDP", kMaxMessageSize) + QByteArray(1000, 'x'),  // promises 16 MiB, then goes
        packetHeader("LOGI", 16 + 2) + "ab",                               // short record
        EncodePacket("JCHR", chatRecord("x")) + EncodePacket("FLIS", "..."),  // before signing in
        EncodePacket("CRAT", QByteArray(3, '\0')),                   // empty name
        QByteArray("GET / HTTP/1.0\r\n\r\n"),
        QByteArray(5, 'W'),
    };
    int connections = 0;
    for (int batch = 0; batch < 30; ++batch) {
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        for (int i = 0; i < 100; ++i) {
            auto s = std::make_unique<QTcpSocket>();
            s->connectToHost(QHostAddress::LocalHost, server.port);
            sockets.push_back(std::move(s));
        }
        for (size_t i = 0; i < sockets.size(); ++i) {
            if (!sockets[i]->waitForConnected(5000))
                continue;
            ++connections;
            QByteArray junk;
            if (i % 10 == 9) {
                junk.resize(random.bounded(1, 4000));
                for (char &c : junk)
                    c = char(random.bounded(256));
            } else {
                junk = kinds[qsizetype(i % kinds.size())];
            }
            sockets[i]->write(junk);
            sockets[i]->flush();
        }
        QTest::qWait(10);
        for (auto &s : sockets)
            s->abort();
    }
    EXPECT_GE(connections, 2900);
    ASSERT_EQ(server.process.state(), QProcess::Running);

    ASSERT_TRUE(signIn("survivor", "pw", true));
    SendJoinChatRoom(*gMyClient, "After");
    ASSERT_TRUE(waitUntil([&] { return ui.rooms.contains("AFTER"); }));
}

TEST_F(EndToEnd, AnIdleTimeoutThatIsNoNumberIsRefusedAtStart)
{
    // Read as 0, such a value would drop every client the moment it connects.
    for (const char *value : {"abc", "0", "-5"}) {
        ServerProcess bad;
        EXPECT_FALSE(bad.start(dir.filePath("bad.db"), {"--idle-timeout", value})) << value;
        bad.process.waitForFinished(10000);
        EXPECT_NE(bad.stop(), 0) << value;
        EXPECT_TRUE(bad.process.readAllStandardError().contains("--idle-timeout")) << value;
    }
}

TEST_F(EndToEnd, KeepAlivesAreAcceptedSilently)
{
    ASSERT_TRUE(signIn("ann", "pw", true));
    gMyClient->setKeepAliveInterval(50);
    QTest::qWait(400);  // several keep-alives go out
    ASSERT_NE(gMyClient, nullptr);
    EXPECT_TRUE(gMyClient->isConnected());
    EXPECT_TRUE(ui.connected);
    gChannelListOpen = true;
    SendChannelListRequest(*gMyClient);
    ASSERT_TRUE(waitUntil([&] { return !ui.channelList.isEmpty(); }));
    EXPECT_EQ(ui.channelList, QStringList{"No Channels Currently Active"});
}

TEST_F(EndToEnd, SilentClientsAreDroppedAndKeepAlivesKeepTheOthers)
{
    server.stop();
    ASSERT_TRUE(server.start(database, {"--idle-timeout", "1"}));
    RawClient silent;
    ASSERT_TRUE(silent.connectTo(server.port));
    ASSERT_TRUE(signIn("ann", "pw", true));
    gMyClient->setKeepAliveInterval(200);
    // The event loop keeps running meanwhile, so the client's keep-alives go out.
    EXPECT_TRUE(waitUntil([&] { return silent.socket.state() == QAbstractSocket::UnconnectedState; }, 4000));
    waitUntil([] { return false; }, 1500);
    ASSERT_NE(gMyClient, nullptr);
    EXPECT_TRUE(gMyClient->isConnected());
}

TEST_F(EndToEnd, TerminateEndsCleanly)
{
    RawClient ann;
    ASSERT_TRUE(ann.connectTo(server.port));
    ASSERT_TRUE(ann.signIn("ann", "pw", true));
    EXPECT_EQ(server.stop(), 0);
    EXPECT_TRUE(ann.socket.waitForDisconnected(5000) || ann.socket.state() == QAbstractSocket::UnconnectedState);
}
