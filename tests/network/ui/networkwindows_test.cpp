// The network windows on the real main window, driven offscreen against the
// real halvorn-server on 127.0.0.1: sign-in, chat rooms, shared projects and
// the file manager.
#include "mainwindowtest.h"
#include "addnewproject.h"
#include "addresslookup.h"
#include "appglobals.h"
#include "chatroommenu.h"
#include "client.h"
#include "clientbrain.h"
#include "datafolder.h"
#include "documentset.h"
#include "halvornnetwork.h"
#include "halvornnetworkmonitor.h"
#include "lazypage.h"
#include "mainwindow.h"
#include "memorybookings.h"
#include "messageservice.h"
#include "networkglobals.h"
#include "networklog.h"
#include "networkrecords.h"
#include "networkrequests.h"
#include "rawclient.h"
#include "recordingui.h"
#include "serverfailover.h"
#include "serverprocess.h"
#include "settingsglobals.h"
#include "tbookingsystem.h"
#include "tsecretstore.h"
#include "setuptools.h"
#include "subsystems.h"
#include "testrecords.h"
#include "tmemosource.h"
#include "projectsteps.h"
#include "waituntil.h"
#include "wireformat.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <signal.h>

using namespace Quorvant;
using namespace Quorvant::Network;

namespace {

void writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList messageTexts()
{
    QStringList out;
    for (const RecordedDialog &d : MessageService::takeRecorded())
        out.append(d.text);
    return out;
}

// An address service that answers every request with one fixed body.
class FixedHttp : public QTcpServer
{
public:
    explicit FixedHttp(QByteArray body)
        : mBody(std::move(body))
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray request = s->readAll();
                    if (!request.contains("\r\n\r\n"))
                        return;
                    requests.append(request.left(request.indexOf("\r\n")));
                    s->write("HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(mBody.size())
                             + "\r\nConnection: close\r\n\r\n" + mBody);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
        listen(QHostAddress::LocalHost);
    }
    QString base() const { return QStringLiteral("127.0.0.1:") + QString::number(serverPort()); }
    QByteArrayList requests;  // the request line of each

private:
    QByteArray mBody;
};

// The main window with every subsystem, shown, over a data folder of its own.
class NetworkWindowTest : public ::testing::Test
{
protected:
    void openWindow()
    {
        window = Quorvant::Test::openMainWindow(&settings, QSize(1000, 700));
        network = window->findChild<THalvornNetwork *>(QStringLiteral("HalvornNetwork"));
        ASSERT_NE(network, nullptr);
    }
    // A data folder of the test's own, and no session state.
    void prepareDataFolder()
    {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(dir.filePath("data"));
        DataFolder::setPath(dir.filePath("data"));
        resetAppGlobals();
        resetNetworkGlobals();
        Quorvant::gUserName.clear();
        Quorvant::gPassword.clear();
    }
    // The window with the network page and the quick bar, made when first
    // shown.
    void openNetworkWindow()
    {
        openWindow();
        ensureBuilt(window->tabholder()->findChild<QWidget *>(QStringLiteral("NetworkPage")));
        ensureBuilt(window->sidebar()->findChild<QWidget *>(QStringLiteral("HalvornNetworkPage")));
    }
    void TearDown() override
    {
        Quorvant::Test::closeMainWindow(window, &settings);
        resetNetworkGlobals();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QPushButton *connectButton() const
    {
        return window->findChild<QPushButton *>(QStringLiteral("NetworkConnectButton"));
    }
    THalvornNetworkMonitor *loginDialog() const
    {
        return window->findChild<THalvornNetworkMonitor *>();
    }
    QString statusText() const { return network->networkStatusMemo()->toPlainText(); }
    bool connectedViewShown() const
    {
        auto *views = window->findChild<QStackedWidget *>(QStringLiteral("NetworkViews"));
        return views && views->currentIndex() == 1;
    }

    // Creates the account through the login dialog's join link.
    bool join(const QString &user, const QString &password)
    {
        connectButton()->click();
        THalvornNetworkMonitor *login = loginDialog();
        if (!login)
            return false;
        login->UserNameEdit->setText(user);
        login->PasswordEdit->setText(password);
        MessageService::queueAnswers({DialogAnswer::pressed(mbYes), DialogAnswer::typed(password)});
        login->Join();
        return waitUntil([&] { return connectedViewShown(); });
    }

    QTemporaryDir dir;
    std::unique_ptr<TSetupTools> settings;
    std::unique_ptr<TForm1> window;
    THalvornNetwork *network = nullptr;
};

class NetworkWindows : public NetworkWindowTest
{
protected:
    void SetUp() override
    {
        prepareDataFolder();
        ASSERT_TRUE(server.start(dir.filePath("halvorn.db"))) << server.process.readAllStandardError().constData();
        Quorvant::gLookupAddress = QStringLiteral("127.0.0.1:") + QString::number(server.httpPort);
        openNetworkWindow();
    }


    // Stores the account for the automatic sign-in and waits until its
    // password is kept.
    bool saveAccount(const QString &user, const QString &password)
    {
        bool kept = false;
        return settings->SaveHalvornUserNameAndPassword(user, password, true, [&](bool, const QString &) { kept = true; })
            && waitUntil([&] { return kept; }, 2 * TSecretStore::kAnswerTimeoutMs + 5000);
    }

    ServerProcess server;
};

// The pages are made when first shown and show what happened before.
class NetworkPagesShownLate : public NetworkWindowTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        DataFolder::setPath(dir.path());
        resetAppGlobals();
        resetNetworkGlobals();
        openWindow();
    }
    template<typename T>
    T *find(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
};

TEST_F(NetworkPagesShownLate, StateReachedBeforeThePagesAreShownIsWhatTheyShow)
{
    EXPECT_EQ(find<QPushButton>("NetworkConnectButton"), nullptr);
    EXPECT_EQ(find<QPushButton>("QuickConnectButton"), nullptr);
    EXPECT_EQ(network->chatStatusMemo(), nullptr);

    // What the connection does meanwhile.
    network->findChild<TNetworkLog *>()->DebugOut(QStringLiteral("Connected to 127.0.0.1"));
    network->showConnected();
    network->activateProjectOptions(true);
    network->setProjectLabel(QStringLiteral("site"));
    network->setUsersOnline({QStringLiteral("alice"), QStringLiteral("bob")});
    network->chatStatus(QStringLiteral("Joined lobby"));

    window->tabholder()->setCurrentIndex(3);
    ASSERT_NE(find<QPushButton>("NetworkConnectButton"), nullptr);
    EXPECT_TRUE(find<QPushButton>("NetworkConnectButton")->isVisible());
    EXPECT_EQ(find<QPushButton>("NetworkConnectButton")->text(), QStringLiteral("Disconnect From Network"));
    EXPECT_EQ(find<QStackedWidget>("NetworkViews")->currentIndex(), 1);
    EXPECT_EQ(find<QLabel>("ProjectNameLabel")->text(), QStringLiteral("site"));
    EXPECT_FALSE(find<QLabel>("ProjectNameLabel")->isHidden());
    EXPECT_FALSE(find<QPushButton>("LeaveProjectButton")->isHidden());
    EXPECT_EQ(find<QListWidget>("UsersOnlineList")->count(), 2);
    EXPECT_EQ(network->networkStatusMemo()->toPlainText(),
              QStringLiteral("Currently Not Connected...\nConnected to 127.0.0.1"));
    EXPECT_TRUE(network->chatStatusMemo()->toPlainText().startsWith(QStringLiteral("Welcome to the Halvorn network.")));
    EXPECT_TRUE(network->chatStatusMemo()->toPlainText().endsWith(QStringLiteral("\nJoined lobby")));
    // Once shown, they follow as before.
    network->findChild<TNetworkLog *>()->DebugOut(QStringLiteral("more"));
    EXPECT_TRUE(network->networkStatusMemo()->toPlainText().endsWith(QStringLiteral("\nmore")));

    // The quick bar, shown later still, after leaving the project.
    network->activateProjectOptions(false);
    window->sidebar()->setCurrentWidget(find<QWidget>("HalvornNetworkPage"));
    ASSERT_NE(find<QPushButton>("QuickConnectButton"), nullptr);
    EXPECT_EQ(find<QPushButton>("QuickConnectButton")->text(), QStringLiteral("Disconnect From Network"));
    EXPECT_EQ(find<QStackedWidget>("QuickBarViews")->currentIndex(), 1);
    EXPECT_TRUE(find<QPushButton>("QuickLeaveProject")->isHidden());
    EXPECT_TRUE(find<QLabel>("ProjectNameLabel")->isHidden());

    // The connect control still knows it is connected: it disconnects.
    find<QPushButton>("QuickConnectButton")->click();
    EXPECT_EQ(find<QPushButton>("NetworkConnectButton")->text(), QStringLiteral("Connect To Network"));
    EXPECT_EQ(find<QStackedWidget>("QuickBarViews")->currentIndex(), 0);
}

TEST_F(NetworkWindows, JoinDisconnectAndSignInAgainThroughTheLoginDialog)
{
    EXPECT_EQ(connectButton()->text(), "Connect To Network");
    EXPECT_FALSE(connectedViewShown());
    ASSERT_TRUE(join("alice", "Secret1"));
    EXPECT_EQ(connectButton()->text(), "Disconnect From Network");
    // A plain connection says so on the network page.
    auto *notEncrypted = window->findChild<QLabel *>(QStringLiteral("NotEncryptedMark"));
    ASSERT_NE(notEncrypted, nullptr);
    EXPECT_FALSE(notEncrypted->isHidden());
    EXPECT_EQ(notEncrypted->text(), "Not encrypted");
    EXPECT_TRUE(window->findChild<QLabel *>(QStringLiteral("EncryptedMark"))->isHidden());
    EXPECT_FALSE(gMyClient->isEncrypted());
    EXPECT_TRUE(messageTexts().contains("You have been logged into the Halvorn Network."));
    EXPECT_EQ(Quorvant::gUserName, "alice");  // stored as the default account
    EXPECT_FALSE(network->networkStatusMemo()->toPlainText().isEmpty());

    connectButton()->click();  // disconnect
    EXPECT_EQ(gMyClient, nullptr);
    EXPECT_TRUE(notEncrypted->isHidden()) << "no connection, no mark";
    EXPECT_FALSE(connectedViewShown());
    EXPECT_EQ(connectButton()->text(), "Connect To Network");
    EXPECT_TRUE(messageTexts().contains("You have been disconnected from the server!"));

    // A second sign-in after the disconnect gets a fresh client; the stored
    // name and password are unchanged, so nothing is asked.
    connectButton()->click();
    THalvornNetworkMonitor *login = loginDialog();
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(login->UserNameEdit->text(), "alice");
    login->Connect();
    ASSERT_TRUE(waitUntil([&] { return connectedViewShown(); }));
    const QStringList texts = messageTexts();
    EXPECT_FALSE(texts.contains("Would you like to make these your default settings?"));
}

// The address service names two servers; `first` is tried first.
QByteArray addressFileFor(quint16 first, quint16 second)
{
    return "IP=127.0.0.1\r\nPORT=" + QByteArray::number(first) + "\r\nSERVER=127.0.0.1:" + QByteArray::number(second)
           + "\r\n";
}

// A port nothing listens on.
quint16 closedPort()
{
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 port = closed.serverPort();
    closed.close();
    return port;
}

// Whether one of the next chat lines `c` gets is `line`.
bool heard(RawClient &c, const QString &line)
{
    for (int i = 0; i < 5; ++i) {
        const auto p = c.waitFor("MESS");
        if (!p)
            return false;
        if (decodeList(p->payload).value(1) == line)
            return true;
    }
    return false;
}

int connectionAttempts(const QString &status)
{
    return int(status.count("*Connecting: "));
}

TEST_F(NetworkWindows, SignInTriesTheServersOfTheAddressFileInOrder)
{
    // One accepts and never speaks, one refuses, one entry is damaged.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    const quint16 refusing = closedPort();
    FixedHttp http("IP=127.0.0.1\r\nPORT=" + QByteArray::number(silent.serverPort()) + "\r\nSERVER=127.0.0.1:"
                   + QByteArray::number(refusing) + "\r\nSERVER=not a server\r\nSERVER=127.0.0.1:"
                   + QByteArray::number(server.port) + "\r\n");
    Quorvant::gLookupAddress = http.base();
    network->failover().setAttemptTimeouts(300, 300);
    ASSERT_TRUE(join("alice", "pw"));
    EXPECT_TRUE(network->connectedView());
    EXPECT_EQ(network->failover().current().server.port, server.port);
    const QString silentText = "127.0.0.1:" + QString::number(silent.serverPort());
    const QString refusingText = "127.0.0.1:" + QString::number(refusing);
    const QString status = statusText();
    EXPECT_TRUE(status.contains("*Address file: \"SERVER=not a server\" passed over: not an IP address and port"))
        << status.toStdString();
    const qsizetype timedOut = status.indexOf("*" + silentText + " did not answer in time.");
    const qsizetype second = status.indexOf("*No connection to " + silentText + ": trying " + refusingText + "...");
    const qsizetype third = status.indexOf("*No connection to " + refusingText + ": trying 127.0.0.1:"
                                           + QString::number(server.port) + "...");
    EXPECT_TRUE(timedOut >= 0 && second > timedOut && third > second) << status.toStdString();
    EXPECT_EQ(connectionAttempts(status), 3);
}

TEST_F(NetworkWindows, ALostConnectionIsRestoredWithoutAskingAndTheRoomRejoined)
{
    ASSERT_TRUE(join("bob", "pw"));
    network->failover().setRetryDelays(100, 400);
    network->chatCommand("/join lobby");
    ASSERT_TRUE(waitUntil([&] { return network->GetChatRoom("LOBBY") != nullptr; }));
    TChatRoomMenu *room = network->GetChatRoom("LOBBY");
    messageTexts();

    const quint16 port = server.port;
    server.stop();
    ASSERT_TRUE(waitUntil([&] { return network->reconnectingView(); }));
    // The pages stay, saying what happens; the control stops the attempts.
    auto *mark = window->findChild<QLabel *>(QStringLiteral("ReconnectingMark"));
    ASSERT_NE(mark, nullptr);
    EXPECT_FALSE(mark->isHidden());
    EXPECT_EQ(mark->text(), "Connection lost, reconnecting...");
    EXPECT_TRUE(window->findChild<QLabel *>(QStringLiteral("NotEncryptedMark"))->isHidden());
    EXPECT_TRUE(connectedViewShown());
    EXPECT_EQ(connectButton()->text(), "Disconnect From Network");
    EXPECT_TRUE(statusText().contains(QStringLiteral("*Connection to 127.0.0.1:%1 lost, reconnecting to 127.0.0.1:%1 in ")
                                          .arg(port)))
        << statusText().toStdString();
    EXPECT_TRUE(statusText().contains(QStringLiteral(" s (attempt 1 of %1)...").arg(TServerFailover::kMaxReconnectAttempts)));
    ASSERT_TRUE(waitUntil([&] { return room->ChatMemo->toPlainText().contains("connection to the server was lost"); }));
    // What is typed meanwhile is not sent, and not lost either.
    room->ChatEdit->setText("while away");
    QTest::keyClick(room->ChatEdit, Qt::Key_Return);
    EXPECT_EQ(room->ChatEdit->text(), "while away");
    ASSERT_TRUE(waitUntil([&] { return room->ChatMemo->toPlainText().contains("Not sent: not connected to the server."); }));

    // The server comes back on its port: signed in again, back in the room.
    ASSERT_TRUE(server.start(dir.filePath("halvorn.db"), {"--port", QString::number(port)}))
        << server.process.readAllStandardError().constData();
    ASSERT_TRUE(waitUntil([&] { return network->connectedView(); }, 10000)) << statusText().toStdString();
    EXPECT_TRUE(mark->isHidden());
    EXPECT_FALSE(window->findChild<QLabel *>(QStringLiteral("NotEncryptedMark"))->isHidden());
    EXPECT_TRUE(statusText().contains(QStringLiteral("*Reconnected to 127.0.0.1:%1 and signed in again.").arg(port)));
    ASSERT_TRUE(waitUntil([&] { return room->ChatMemo->toPlainText().contains(TClientBrain::rejoinedRoomText()); }));
    RawClient carol;
    ASSERT_TRUE(carol.connectTo(server.port));
    ASSERT_TRUE(carol.signIn("carol", "pw", true));
    ASSERT_TRUE(isGood(carol.request("JCHR", TNetworkChatRoom{"carol", "LOBBY", {}}.toBytes())));
    carol.send("MCHR", TNetworkChatRoom{"carol", "LOBBY", "welcome back"}.toBytes());
    EXPECT_TRUE(waitUntil([&] { return room->ChatMemo->toPlainText().contains("welcome back"); }));
    QTest::keyClick(room->ChatEdit, Qt::Key_Return);
    EXPECT_TRUE(heard(carol, "bob: while away"));
    // One room window, and nobody was asked or told in a box.
    EXPECT_EQ(network->chatRooms().size(), 1);
    EXPECT_TRUE(messageTexts().isEmpty());
}

TEST_F(NetworkWindows, ReconnectingEndsWhenTheUserDisconnectsOrAfterTheLastAttempt)
{
    ASSERT_TRUE(join("dora", "pw"));
    network->failover().setRetryDelays(5000, 5000);
    server.stop();
    ASSERT_TRUE(waitUntil([&] { return network->reconnectingView(); }));
    messageTexts();
    connectButton()->click();
    EXPECT_FALSE(network->reconnectingView());
    EXPECT_FALSE(connectedViewShown());
    EXPECT_EQ(connectButton()->text(), "Connect To Network");
    EXPECT_TRUE(messageTexts().contains("You have been disconnected from the server!"));
    EXPECT_EQ(network->failover().phase(), TServerFailover::Phase::Idle);
    const int attempts = connectionAttempts(statusText());
    EXPECT_EQ(attempts, 1) << "the first sign-in only";

    // Signed in again; the server goes for good: the attempts end.
    ASSERT_TRUE(server.start(dir.filePath("halvorn.db")));
    Quorvant::gLookupAddress = QStringLiteral("127.0.0.1:") + QString::number(server.httpPort);
    connectButton()->click();
    ASSERT_NE(loginDialog(), nullptr);
    loginDialog()->Connect();
    ASSERT_TRUE(waitUntil([&] { return network->connectedView(); }));
    messageTexts();
    network->failover().setRetryDelays(10, 40);
    server.stop();
    ASSERT_TRUE(waitUntil([&] { return !connectedViewShown(); }, 5000));
    EXPECT_EQ(gMyClient, nullptr);
    EXPECT_FALSE(network->reconnectingView());
    EXPECT_EQ(connectButton()->text(), "Connect To Network");
    EXPECT_EQ(connectionAttempts(statusText()), attempts + 1 + TServerFailover::kMaxReconnectAttempts);
    EXPECT_TRUE(statusText().contains(
        QStringLiteral("*Gave up reconnecting after %1 attempts.").arg(TServerFailover::kMaxReconnectAttempts)));
    EXPECT_EQ(messageTexts(), QStringList{"You have been disconnected from the server!"});
}

TEST_F(NetworkWindows, ASignInRefusedAfterAReconnectStopsTheRetrying)
{
    // The second server keeps its accounts elsewhere: it knows no alice.
    ServerProcess other;
    ASSERT_TRUE(other.start(dir.filePath("other.db"))) << other.process.readAllStandardError().constData();
    FixedHttp http(addressFileFor(server.port, other.port));
    Quorvant::gLookupAddress = http.base();
    ASSERT_TRUE(join("alice", "pw"));
    network->failover().setRetryDelays(20, 40);
    messageTexts();

    ::kill(pid_t(server.process.processId()), SIGKILL);
    QStringList boxes;
    ASSERT_TRUE(waitUntil([&] {
        boxes += messageTexts();
        return !boxes.isEmpty();
    }, 5000));
    EXPECT_EQ(boxes, QStringList{"Your login has been denied. Please check your password and other account details "
                                 "and try again."});
    EXPECT_FALSE(connectedViewShown());
    EXPECT_FALSE(network->reconnectingView());
    EXPECT_EQ(gMyClient, nullptr);
    EXPECT_TRUE(statusText().contains(
        QStringLiteral("*127.0.0.1:%1 refused the sign-in: no further attempts.").arg(other.port)));
    const int attempts = connectionAttempts(statusText());
    EXPECT_EQ(attempts, 2);
    QTest::qWait(400);  // ten times the longest delay
    EXPECT_EQ(connectionAttempts(statusText()), attempts);
    EXPECT_TRUE(messageTexts().isEmpty());
}

TEST_F(NetworkWindows, JoinChecksTheRetypedPasswordExactly)
{
    connectButton()->click();
    THalvornNetworkMonitor *login = loginDialog();
    ASSERT_NE(login, nullptr);
    login->UserNameEdit->setText("carol");
    login->PasswordEdit->setText("Secret");
    MessageService::queueAnswers({DialogAnswer::pressed(mbYes), DialogAnswer::typed("secret")});
    login->Join();
    EXPECT_TRUE(messageTexts().contains("Your passwords do not match!, your passwords must match to continue."));
    EXPECT_EQ(gMyClient, nullptr);
}

TEST_F(NetworkWindows, AutomaticSignInWithTheServiceDownIsSilentAndLeavesTheWindowUsable)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const quint16 deadPort = closed.serverPort();
    closed.close();
    ASSERT_TRUE(settings->SaveHalvornNetworkSettings(QStringLiteral("127.0.0.1:") + QString::number(deadPort)));
    ASSERT_TRUE(saveAccount("dave", "pw"));
    window->FormShow();
    MessageService::resetTestHook();
    ASSERT_TRUE(window->systemSettings().HalvornAutoConnect);
    network->autoConnectAtStartup();
    EXPECT_TRUE(network->lookup()->isRunning());  // returned at once
    ASSERT_TRUE(waitUntil([&] { return !network->lookup()->isRunning(); }));
    EXPECT_EQ(gMyClient, nullptr);
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
}

TEST_F(NetworkWindows, AutomaticSignInConnectsSilently)
{
    RawClient raw;
    ASSERT_TRUE(raw.connectTo(server.port));
    ASSERT_TRUE(raw.signIn("erin", "pw", true));
    ASSERT_TRUE(settings->SaveHalvornNetworkSettings(Quorvant::gLookupAddress));
    ASSERT_TRUE(saveAccount("erin", "pw"));
    window->FormShow();
    MessageService::resetTestHook();
    network->autoConnectAtStartup();
    ASSERT_TRUE(waitUntil([&] { return connectedViewShown(); }));
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
}

TEST_F(NetworkWindows, WithoutASecretStoreAJoinedAccountsPasswordIsKeptInAPrivateHalvornIni)
{
    // The tests reach no session bus (tests/testmain.cpp): no store answers.
    const QString halvorn = TSetupTools::halvornIniPath();
    writeFile(halvorn, "[CONNECTION]\r\nADDRESS=" + Quorvant::gLookupAddress.toUtf8() + "\r\n");
    ASSERT_TRUE(QFile::setPermissions(halvorn, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                                   | QFile::ReadOther));
    ASSERT_TRUE(join("gina", "pw"));
    ASSERT_TRUE(waitUntil([&] { return statusText().contains("the password is kept in Halvorn.INI"); },
                          TSecretStore::kAnswerTimeoutMs + 5000))
        << statusText().toStdString();
    EXPECT_TRUE(statusText().contains("The desktop's secret store did not answer ("));
    EXPECT_TRUE(readFile(halvorn).contains("[USERDETAILS]\r\nUSERNAME=gina\r\nAUTOCONNECT=0\r\nPASSWORD=pw\r\n"));
    EXPECT_EQ(QFile::permissions(halvorn) & ~(QFile::ReadUser | QFile::WriteUser),
              QFile::ReadOwner | QFile::WriteOwner);
}

TEST_F(NetworkWindows, AutomaticSignInWithoutAnyStoredPasswordSaysSoAndDoesNotSignIn)
{
    writeFile(TSetupTools::halvornIniPath(),
              "[USERDETAILS]\r\nUSERNAME=erin\r\nAUTOCONNECT=1\r\n[CONNECTION]\r\nADDRESS="
                  + Quorvant::gLookupAddress.toUtf8() + "\r\n");
    window->FormShow();
    MessageService::resetTestHook();
    network->autoConnectAtStartup();
    ASSERT_TRUE(waitUntil([&] { return statusText().contains("No password is stored for erin"); },
                          TSecretStore::kAnswerTimeoutMs + 5000));
    EXPECT_TRUE(statusText().contains("The desktop's secret store did not answer ("));
    EXPECT_TRUE(statusText().contains("): no stored password could be read."));
    EXPECT_EQ(gMyClient, nullptr);
    EXPECT_FALSE(network->lookup()->isRunning());
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
}

// Run by ctest's NetworkWindowsSecretService (tests/support/secretservice.sh):
// a real Secret Service (gnome-keyring-daemon) on a private session bus.
class NetworkWindowsSecretService : public NetworkWindows
{
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QUORVANT_TEST_SECRET_SERVICE"))
            GTEST_SKIP() << "needs a Secret Service on a private bus: run by ctest's NetworkWindowsSecretService";
        NetworkWindows::SetUp();
    }
};

TEST_F(NetworkWindowsSecretService, AClearPasswordMovesIntoTheStoreAtTheFirstSignInAndSignsInFromThere)
{
    RawClient raw;
    ASSERT_TRUE(raw.connectTo(server.port));
    ASSERT_TRUE(raw.signIn("erin", "pw", true));
    const QString halvorn = TSetupTools::halvornIniPath();
    const QByteArray address = "[CONNECTION]\r\nADDRESS=" + Quorvant::gLookupAddress.toUtf8() + "\r\n";
    writeFile(halvorn, "[USERDETAILS]\r\nUSERNAME=erin\r\nPASSWORD=pw\r\nAUTOCONNECT=1\r\n" + address);
    window->FormShow();
    MessageService::resetTestHook();
    network->autoConnectAtStartup();
    ASSERT_TRUE(waitUntil([&] { return connectedViewShown(); }));
    ASSERT_TRUE(waitUntil([&] { return !readFile(halvorn).contains("PASSWORD"); }, TSecretStore::kAnswerTimeoutMs));
    EXPECT_EQ(readFile(halvorn), "[USERDETAILS]\r\nUSERNAME=erin\r\nAUTOCONNECT=1\r\n" + address);
    EXPECT_TRUE(statusText().contains("The password was moved from Halvorn.INI into the desktop's secret store."));

    // The next start finds no password in the file and signs in with the
    // store's.
    network->disconnectFromNetwork();
    Quorvant::gPassword.clear();
    window->FormShow();
    EXPECT_EQ(window->systemSettings().HalvornPasswordedit, QString());
    network->autoConnectAtStartup();
    ASSERT_TRUE(waitUntil([&] { return connectedViewShown(); }, TSecretStore::kAnswerTimeoutMs + 5000));
    EXPECT_EQ(Quorvant::Network::gPassword, QStringLiteral("pw"));

    // The login dialog shows the stored account, its password from the store.
    network->disconnectFromNetwork();
    Quorvant::gPassword.clear();
    connectButton()->click();
    THalvornNetworkMonitor *login = loginDialog();
    ASSERT_NE(login, nullptr);
    ASSERT_TRUE(waitUntil([&] { return !login->PasswordEdit->text().isEmpty(); }, TSecretStore::kAnswerTimeoutMs));
    EXPECT_EQ(login->UserNameEdit->text(), QStringLiteral("erin"));
    EXPECT_EQ(login->PasswordEdit->text(), QStringLiteral("pw"));
    EXPECT_TRUE(login->CheckBox1->isChecked());
    EXPECT_FALSE(readFile(halvorn).contains("PASSWORD"));
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
}

// Creates a project through the new project dialog and opens the file
// manager on a folder of local files.
class SharedProjects : public NetworkWindows
{
protected:
    void SetUp() override
    {
        NetworkWindows::SetUp();
        ASSERT_TRUE(join("alice", "pw"));
        auto *create = window->findChild<QPushButton *>(QStringLiteral("CreateProjectButton"));
        ASSERT_NE(create, nullptr);
        create->click();
        auto *dialog = window->findChild<TAddNewProject *>();
        ASSERT_NE(dialog, nullptr);
        dialog->done();  // empty name
        EXPECT_TRUE(messageTexts().contains(
            "Error, You must have a name for your project, in the \"project name\" field."));
        dialog->ProjectNameEdit->setText("Site");
        dialog->PasswordEdit->setText("Secret");
        dialog->done();
        ASSERT_TRUE(waitUntil([&] { return gCurrentProjectName == "Site"; }));
        EXPECT_TRUE(messageTexts().contains("Your project has been added to the server."));
        EXPECT_FALSE(window->findChild<QLabel *>(QStringLiteral("ProjectNameLabel"))->isHidden());

        local = dir.filePath("local");
        writeFile(local + "/a.htm", "<p>a</p>");
        writeFile(local + "/b.css", "p{}");
        writeFile(local + "/c.js", "var c;");
        writeFile(local + "/README", "no extension");
        network->openFileManager();
        manager = network->fileManager();
        ASSERT_NE(manager, nullptr);
        manager->setLocalFolder(local);
    }

    QStringList sharedNames() const
    {
        QStringList out;
        for (const SharedFileRow &r : manager->fileList())
            out.append(r.FileName);
        return out;
    }
    SharedFileRow row(const QString &name) const
    {
        for (const SharedFileRow &r : manager->fileList())
            if (r.FileName == name)
                return r;
        return {};
    }
    void addAll()
    {
        manager->selectLocalFiles({"a.htm", "b.css", "c.js", "README"});
        manager->AddFileToProject();
        ASSERT_TRUE(waitUntil([&] { return !manager->uploading() && sharedNames().size() == 3; }));
    }
    void bookOut(const QString &name)
    {
        manager->selectSharedFiles({name});
        manager->BookFileOut();
        ASSERT_TRUE(waitUntil([&] { return network->bookedOut("Site", name)
                                           && row(name).BookingStatus == "TRUE"; }));
    }
    QString sharedPath(const QString &name) const { return dir.filePath("data/Shared/Site/") + name; }

    static QByteArray fileRecord(const QString &name)
    {
        TNetworkProject record;
        record.ProjectName = QStringLiteral("Site");
        record.FileName = name;
        return record.toBytes();
    }
    static bool good(const std::optional<RawPacket> &reply) { return reply && GoodPacket(reply->payload); }
    // Bob, a second member of the project, on a bare client.
    void bobJoins(RawClient &bob)
    {
        ASSERT_TRUE(bob.connectTo(server.port));
        ASSERT_TRUE(bob.signIn("bob", "pw", true));
        TNetworkProject record;
        record.ProjectName = QStringLiteral("Site");
        record.UserName = QStringLiteral("bob");
        record.Password = QStringLiteral("Secret");
        ASSERT_TRUE(good(bob.request("JPRO", record.toBytes())));
    }
    // The file list as it was a moment before someone else booked `name` out.
    void listedAsFree(const QString &name)
    {
        QList<SharedFileRow> rows = manager->fileList();
        for (SharedFileRow &r : rows)
            if (r.FileName == name)
                r.BookingStatus = QStringLiteral("FALSE");
        manager->setFileList(rows);
    }
    // Waits for a message box with `text`; the boxes seen are kept in `seen`.
    bool waitForMessage(const QString &text, QStringList &seen, int ms = 5000)
    {
        return waitUntil([&] {
            seen += messageTexts();
            return seen.contains(text);
        }, ms);
    }

    QString local;
    TProjectFileManager *manager = nullptr;
};

TEST_F(SharedProjects, UploadLoopSendsEachFileWithAnExtensionOnceInOrder)
{
    manager->AddFileToProject();
    EXPECT_TRUE(messageTexts().contains("You must select the file(s) which you want to share."));
    manager->selectLocalFiles({"c.js", "a.htm", "b.css", "README"});
    manager->AddFileToProject();
    // One "ADDP" at a time: the next goes when the server has answered.
    ASSERT_TRUE(manager->uploading());
    ASSERT_NE(manager->transferWindow(), nullptr);
    EXPECT_EQ(gMyClient->queuedPackets().size() <= 1, true);
    ASSERT_TRUE(waitUntil([&] { return !manager->uploading() && sharedNames().size() == 3; }));
    EXPECT_EQ(sharedNames(), QStringList({"a.htm", "b.css", "c.js"}));
    EXPECT_EQ(row("a.htm").UserShared, "alice");
}

TEST_F(SharedProjects, BookOutOpensANetworkFileAndBookInUploadsTheSavedText)
{
    addAll();
    bookOut("a.htm");
    EXPECT_EQ(readFile(sharedPath("a.htm")), "<p>a</p>");
    ASSERT_EQ(window->documents()->PagesOpen(), 1);
    EXPECT_TRUE(gNetworkFile);
    EXPECT_EQ(QFileInfo(gCurrentFilePath).canonicalFilePath(), QFileInfo(sharedPath("a.htm")).canonicalFilePath());

    window->documents()->currentBuffer()->setText("<p>edited</p>");
    window->documents()->markModified();
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    manager->selectSharedFiles({"a.htm"});
    manager->BookFileBackIn();
    ASSERT_TRUE(waitUntil([&] { return !network->bookedOut("Site", "a.htm")
                                       && row("a.htm").BookingStatus != "TRUE"; }));
    EXPECT_EQ(window->documents()->PagesOpen(), 0);
    // The server has the saved text: book it out again into an empty folder.
    QFile::remove(sharedPath("a.htm"));
    bookOut("a.htm");
    EXPECT_EQ(readFile(sharedPath("a.htm")), "<p>edited</p>");
}

TEST_F(SharedProjects, BookingInSeveralFilesReleasesEachOfThem)
{
    addAll();
    bookOut("a.htm");
    bookOut("b.css");
    messageTexts();
    manager->selectSharedFiles({"a.htm", "b.css"});
    manager->BookFileBackIn();
    EXPECT_TRUE(waitUntil([&] { return TBookingSystem(DataFolder::path()).records().isEmpty(); }));
    EXPECT_TRUE(waitUntil([&] { return row("a.htm").BookingStatus != "TRUE" && row("b.css").BookingStatus != "TRUE"; }));
}

TEST_F(SharedProjects, BookInOfAMissingLocalCopyIsRefusedAndUploadsNothing)
{
    addAll();
    bookOut("b.css");
    window->documents()->close();
    ASSERT_TRUE(QFile::remove(sharedPath("b.css")));
    messageTexts();
    gMyClient->ClientUpdateUserBuffer();
    const qsizetype before = gMyClient->queuedPackets().size();
    manager->selectSharedFiles({"b.css"});
    manager->BookFileBackIn();
    EXPECT_EQ(gMyClient->queuedPackets().size(), before);
    const QStringList texts = messageTexts();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts.first().contains("has not been booked back in")) << texts.first().toStdString();
    // The shared copy is intact.
    QFile::remove(sharedPath("b.css"));
    TBookingSystem(DataFolder::path()).RemoveRecord("Site", "b.css", "alice");
    EXPECT_TRUE(waitUntil([&] { return row("b.css").BookingStatus == "TRUE"; }));
}

TEST_F(SharedProjects, AFailedSaveStopsTheBookIn)
{
    addAll();
    bookOut("c.js");
    window->documents()->currentBuffer()->setText("var edited;");
    window->documents()->markModified();
    // The project folder becomes a plain file: the save cannot succeed.
    const QString folder = dir.filePath("data/Shared/Site");
    ASSERT_TRUE(QDir().rename(folder, folder + ".moved"));
    writeFile(folder, "not a folder");
    messageTexts();
    gMyClient->ClientUpdateUserBuffer();
    const qsizetype before = gMyClient->queuedPackets().size();
    MessageService::queueAnswers({DialogAnswer::pressed(mbYes), DialogAnswer::pressed(mbOK),
                                  DialogAnswer::pressed(mbOK)});
    manager->selectSharedFiles({"c.js"});
    manager->BookFileBackIn();
    EXPECT_EQ(gMyClient->queuedPackets().size(), before);
    // The edits stay open and unsaved.
    ASSERT_EQ(window->documents()->PagesOpen(), 1);
    EXPECT_TRUE(gDocumentModified);
    EXPECT_TRUE(network->bookedOut("Site", "c.js"));
}

TEST_F(SharedProjects, RemoveAndBookOutRefuseBookedOutFiles)
{
    addAll();
    bookOut("a.htm");
    messageTexts();
    manager->selectSharedFiles({"a.htm"});
    manager->RemoveFile();
    manager->BookFileOut();
    const QStringList texts = messageTexts();
    EXPECT_TRUE(texts.contains("The File \"a.htm\" is currently booked out and cannot be removed."));
    EXPECT_TRUE(texts.contains("The File: \"a.htm\" is currently booked out. Sorry."));
    manager->selectSharedFiles({"c.js"});
    manager->BookFileBackIn();
    EXPECT_TRUE(messageTexts().contains("The file \"c.js\" is currently booked IN."));
    manager->RemoveFile();
    EXPECT_TRUE(waitUntil([&] { return sharedNames() == QStringList({"a.htm", "b.css"}); }));
}

TEST_F(SharedProjects, BookingInSomeoneElsesFileAsksFirst)
{
    addAll();
    bookOut("a.htm");
    // As if another user had it: no local booking, status "TRUE".
    TBookingSystem(DataFolder::path()).RemoveRecord("Site", "a.htm", "alice");
    messageTexts();
    gMyClient->ClientUpdateUserBuffer();
    const qsizetype before = gMyClient->queuedPackets().size();
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    manager->selectSharedFiles({"a.htm"});
    manager->BookFileBackIn();
    EXPECT_EQ(gMyClient->queuedPackets().size(), before);
    const QStringList texts = messageTexts();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts.first().startsWith("Your user does not currently have \"a.htm\"file booked out"));
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    manager->BookFileBackIn();
    EXPECT_TRUE(waitUntil([&] { return row("a.htm").BookingStatus != "TRUE"; }));
}

TEST_F(SharedProjects, ABookOutRefusedBecauseSomeoneElseHoldsTheFileOpensNothing)
{
    addAll();
    RawClient bob;
    bobJoins(bob);
    ASSERT_TRUE(good(bob.request("BFOU", fileRecord("a.htm"))));
    listedAsFree("a.htm");
    messageTexts();
    manager->selectSharedFiles({"a.htm"});
    manager->BookFileOut();
    QStringList seen;
    ASSERT_TRUE(waitForMessage("Server Error: There was a problem booking the file you requested out, please try again "
                               "later", seen)) << seen.join('|').toStdString();
    EXPECT_FALSE(waitUntil([&] { return window->documents()->PagesOpen() > 0; }, 300));
    EXPECT_FALSE(QFile::exists(sharedPath("a.htm")));
    EXPECT_FALSE(network->bookedOut("Site", "a.htm"));
    EXPECT_TRUE(TBookingSystem(DataFolder::path()).records().isEmpty());
    // Bob still holds it: his upload is stored.
    EXPECT_TRUE(good(bob.request("UPFL", fileRecord("a.htm") + EncodeString("<p>bob</p>"))));
}

TEST_F(SharedProjects, ARefusedBookInUploadKeepsEveryBooking)
{
    addAll();
    RawClient bob;
    bobJoins(bob);
    ASSERT_TRUE(good(bob.request("BFOU", fileRecord("a.htm"))));
    // Alice believes she holds it too: a local booking and a local copy.
    writeFile(sharedPath("a.htm"), "<p>alice</p>");
    ASSERT_TRUE(TBookingSystem(DataFolder::path()).AddInfo("Site", "a.htm", "alice"));
    messageTexts();
    manager->selectSharedFiles({"a.htm"});
    manager->BookFileBackIn();
    QStringList seen;
    ASSERT_TRUE(waitForMessage("Server Error: Unable to book file back into project!", seen))
        << seen.join('|').toStdString();
    EXPECT_FALSE(seen.contains("Your file has been successfully saved to the server"));
    // Nothing released: her local booking stays, and Bob's booking with it.
    EXPECT_FALSE(waitUntil([&] { return !network->bookedOut("Site", "a.htm"); }, 300));
    EXPECT_TRUE(good(bob.request("UPFL", fileRecord("a.htm") + EncodeString("<p>bob</p>"))));
    EXPECT_TRUE(good(bob.request("BFIN", fileRecord("a.htm"))));
}

TEST_F(SharedProjects, ProjectMenuAsksForTheMemberAndForTheNewPasswordTwice)
{
    auto *menu = manager->findChild<QMenu *>(QStringLiteral("ProjectMenu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), "&Project");
    auto *remove = manager->findChild<QAction *>(QStringLiteral("RemoveMemberAction"));
    auto *password = manager->findChild<QAction *>(QStringLiteral("ChangeProjectPasswordAction"));
    ASSERT_NE(remove, nullptr);
    ASSERT_NE(password, nullptr);
    EXPECT_EQ(remove->text(), "Remove Member...");
    EXPECT_EQ(password->text(), "Change Project Password...");
    EXPECT_EQ(menu->actions(), (QList<QAction *>{remove, password}));

    QStringList handed;
    manager->removeMember = [&](const QString &member) { handed.append("remove " + member); };
    manager->changePassword = [&](const QString &pw) { handed.append("password " + pw); };
    MessageService::resetTestHook();
    const struct {
        QAction *action;
        QList<DialogAnswer> answers;
        const char *handed;   // or null
        const char *message;  // or null
    } cases[] = {
        {remove, {DialogAnswer::cancelled()}, nullptr, nullptr},
        {remove, {DialogAnswer::typed("bob:x")}, nullptr,
         "The user name \"bob:x\" cannot be used. A user name cannot hold ':'."},
        {remove, {DialogAnswer::typed("bob ")}, nullptr,
         "The user name \"bob \" cannot be used. A name cannot begin or end with a blank."},
        {remove, {DialogAnswer::typed("bob")}, "remove bob", nullptr},
        {password, {DialogAnswer::typed("New1"), DialogAnswer::cancelled()}, nullptr, nullptr},
        {password, {DialogAnswer::typed("New1"), DialogAnswer::typed("new1")}, nullptr,
         "The passwords do not match, so the project password has not been changed."},
        {password, {DialogAnswer::typed("New1"), DialogAnswer::typed("New1")}, "password New1", nullptr},
    };
    for (const auto &c : cases) {
        handed.clear();
        MessageService::queueAnswers(c.answers);
        c.action->trigger();
        EXPECT_EQ(handed, c.handed ? QStringList{c.handed} : QStringList{});
        QStringList boxes;
        for (const RecordedDialog &d : MessageService::takeRecorded())
            if (d.kind == DialogKind::Message)
                boxes.append(d.text);
        EXPECT_EQ(boxes, c.message ? QStringList{c.message} : QStringList{}) << boxes.join('|').toStdString();
    }
    MessageService::queueAnswers({DialogAnswer::typed("a"), DialogAnswer::typed("a")});
    password->trigger();
    const QList<RecordedDialog> asked = MessageService::takeRecorded();
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked[0].title, "Change Project Password");
    EXPECT_EQ(asked[0].text, "Please enter the new password for this project: ");
    EXPECT_EQ(asked[1].text, "Please re-type the new password: ");
}

// The owner's requests reach the server, which answers them: a removed
// member loses the project at once, a changed password is the only one that
// joins, and what the server refuses is reported as refused.
TEST_F(SharedProjects, TheOwnersProjectMenuRequestsAreAnsweredByTheServer)
{
    RawClient bob;
    bobJoins(bob);
    auto *remove = manager->findChild<QAction *>(QStringLiteral("RemoveMemberAction"));
    auto *password = manager->findChild<QAction *>(QStringLiteral("ChangeProjectPasswordAction"));
    ASSERT_NE(remove, nullptr);
    ASSERT_NE(password, nullptr);
    const struct { QAction *action; QList<DialogAnswer> answers; const char *answer; } cases[] = {
        {password, {DialogAnswer::typed("Secret2"), DialogAnswer::typed("Secret2")},
         "The password of the project \"Site\" has been changed."},
        {remove, {DialogAnswer::typed("bob")}, "The member \"bob\" has been removed from the project \"Site\"."},
        // The owner cannot remove themself.
        {remove, {DialogAnswer::typed("alice")},
         "Server Error: \"alice\" could not be removed from the project \"Site\". Only the project's owner can "
         "remove a member, and not themself."},
    };
    for (const auto &c : cases) {
        messageTexts();
        MessageService::queueAnswers(c.answers);
        c.action->trigger();
        QStringList seen;
        ASSERT_TRUE(waitForMessage(c.answer, seen)) << seen.join('|').toStdString();
        EXPECT_FALSE(seen.contains(TClientBrain::noAnswerText()));
    }
    // Bob is out: the project's files no longer reach him, and the old
    // password no longer lets him back in.
    EXPECT_FALSE(good(bob.request("FLIS", fileRecord(QString()))));
    TNetworkProject join;
    join.ProjectName = QStringLiteral("Site");
    join.UserName = QStringLiteral("bob");
    join.Password = QStringLiteral("Secret");
    EXPECT_FALSE(good(bob.request("JPRO", join.toBytes())));
    join.Password = QStringLiteral("Secret2");
    EXPECT_TRUE(good(bob.request("JPRO", join.toBytes())));
}

// Answering Yes to booking in a file another member holds sends the
// book-in, which the server refuses: the user hears so, and the holder
// keeps the file.
TEST_F(SharedProjects, ForcingTheBookInOfAFileSomeoneElseHoldsIsRefused)
{
    addAll();
    RawClient bob;
    bobJoins(bob);
    ASSERT_TRUE(good(bob.request("BFOU", fileRecord("a.htm"))));
    manager->RefreshList();
    ASSERT_TRUE(waitUntil([&] { return row("a.htm").BookingStatus == "TRUE"; }));
    messageTexts();
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    manager->selectSharedFiles({"a.htm"});
    manager->BookFileBackIn();
    QStringList seen;
    ASSERT_TRUE(waitForMessage("Server Error: Unable to book file back into project!", seen))
        << seen.join('|').toStdString();
    EXPECT_TRUE(seen.first().startsWith("Your user does not currently have \"a.htm\"file booked out"));
    EXPECT_TRUE(good(bob.request("UPFL", fileRecord("a.htm") + EncodeString("<p>bob</p>"))));
    EXPECT_TRUE(good(bob.request("BFIN", fileRecord("a.htm"))));
}

TEST_F(SharedProjects, NamesThatCouldDeceiveAreNotSent)
{
    writeFile(local + "/tab\t.htm", "x");
    writeFile(local + "/rtl\u202egnp.htm", "x");
    manager->setLocalFolder(local);
    messageTexts();
    manager->selectLocalFiles({"a.htm", "tab\t.htm", "rtl\u202egnp.htm"});
    manager->AddFileToProject();
    ASSERT_TRUE(waitUntil([&] { return !manager->uploading() && sharedNames().size() == 1; }));
    EXPECT_EQ(sharedNames(), QStringList{"a.htm"});
    EXPECT_EQ(messageTexts(),
              (QStringList{"The file name \"rtl\u202egnp.htm\" cannot be used. A name cannot hold control or "
                           "formatting characters.",
                           "The file name \"tab\t.htm\" cannot be used. A name cannot hold control or formatting "
                           "characters."}));
}

TEST_F(NetworkWindows, UserRoomAndProjectNamesThatCouldDeceiveAreNotSent)
{
    const QString hidden =
        "The user name \"ann\u200b\" cannot be used. A name cannot hold control or formatting characters.";
    connectButton()->click();
    THalvornNetworkMonitor *login = loginDialog();
    ASSERT_NE(login, nullptr);
    login->UserNameEdit->setText("ann\u200b");
    login->PasswordEdit->setText("pw");
    login->Connect();
    EXPECT_FALSE(network->lookup()->isRunning());
    EXPECT_EQ(messageTexts(), QStringList{hidden});
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    login->UserNameEdit->setText("eve:");
    login->Join();
    EXPECT_FALSE(network->lookup()->isRunning());
    EXPECT_EQ(messageTexts().last(), "The user name \"eve:\" cannot be used. A user name cannot hold ':'.");
    EXPECT_EQ(gMyClient, nullptr);
    login->close();

    ASSERT_TRUE(join("alice", "pw"));
    messageTexts();
    network->chatCommand("/join lob\u200fby");
    network->chatCommand("/create \u2028x");
    EXPECT_TRUE(gPendingChatJoins.isEmpty());
    EXPECT_EQ(messageTexts().size(), 2);
    MessageService::queueAnswer(DialogAnswer::typed(" lobby"));
    network->joinChannelDialog();
    EXPECT_TRUE(gPendingChatJoins.isEmpty());
    EXPECT_EQ(messageTexts().last(),
              "The channel name \" lobby\" cannot be used. A name cannot begin or end with a blank.");

    window->findChild<QPushButton *>(QStringLiteral("CreateProjectButton"))->click();
    auto *dialog = window->findChild<TAddNewProject *>();
    ASSERT_NE(dialog, nullptr);
    dialog->ProjectNameEdit->setText("Site\u202e");
    dialog->done();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(gLastProjectName.isEmpty());
    EXPECT_EQ(messageTexts(), QStringList{"The project name \"Site\u202e\" cannot be used. A name cannot hold "
                                          "control or formatting characters."});
}

TEST_F(NetworkWindows, TheAddressServiceIsAskedForOneAddressFileWhateverTheBaseEndsWith)
{
    // A reply that stops the sign-in: only the request matters here.
    FixedHttp http("IP=127.0.0.1\r\nPORT=0\r\n");
    connectButton()->click();
    THalvornNetworkMonitor *login = loginDialog();
    ASSERT_NE(login, nullptr);
    login->UserNameEdit->setText("gina");
    login->PasswordEdit->setText("pw");
    for (const QString &base : {http.base() + "/", "http://" + http.base() + "//", http.base()}) {
        Quorvant::gLookupAddress = base;
        login->Connect();
        EXPECT_EQ(login->HalvornConnectLabel->text(),
                  "Retrieving Network Location from: http://" + http.base() + "/AddressInfo.dat");
        ASSERT_TRUE(waitUntil([&] { return !network->lookup()->isRunning(); }));
    }
    EXPECT_EQ(http.requests, QByteArrayList(3, "GET /AddressInfo.dat HTTP/1.1"));
}

TEST_F(SharedProjects, ProjectChatAndLeaving)
{
    network->talkToProject();
    TProjectChatRoom *chat = network->projectChat();
    ASSERT_NE(chat, nullptr);
    ASSERT_TRUE(waitUntil([&] { return chat->ListBox1->count() == 1; }));
    chat->ChatEdit->setText("<i>plain</i>");
    QTest::keyClick(chat->ChatEdit, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return chat->ChatMemo->toPlainText().contains("<i>plain</i>"); }));
    window->findChild<QPushButton *>(QStringLiteral("LeaveProjectButton"))->click();
    EXPECT_TRUE(waitUntil([&] { return window->findChild<QLabel *>(QStringLiteral("ProjectNameLabel"))->isHidden(); }));
    network->showAllProjects();
    TProjectListing *list = network->projectListing();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(waitUntil([&] { return list->entries() == QStringList({"SITE"}) || list->entries() == QStringList({"Site"}); }));
    // The project password is compared exactly.
    list->ListView1->setCurrentItem(list->ListView1->topLevelItem(0));
    MessageService::queueAnswer(DialogAnswer::typed("secret"));
    list->joinSelected();
    QStringList seen;
    EXPECT_TRUE(waitUntil([&] {
        seen += messageTexts();
        return seen.join('\n').contains("You were unable to join the project");
    })) << seen.join('|').toStdString();
}

// The address service's reply decides where the password goes.
TEST(AddressLookup, RepliesAreCappedAndCheckedBeforeAnyConnection)
{
    QTemporaryDir dir;
    const struct { QByteArray body; bool ok; } cases[] = {
        {"IP=127.0.0.1\r\nPORT=4000\r\n", true},
        {"IP=127.0.0.1\nPORT=65535\n", true},
        {"IP=127.0.0.1\r\nPORT=0\r\n", false},
        {"IP=127.0.0.1\r\nPORT=65536\r\n", false},
        {"IP=127.0.0.1\r\nPORT=40a\r\n", false},
        {"IP=127.0.0.1\r\nPORT=-4\r\n", false},
        {"IP=127.0.0.1\r\n", false},
        {"IP=evil host;rm\r\nPORT=4000\r\n", false},
        {"IP=127.0.0.1\r\nPORT=4000\r\n" + QByteArray(5000, '#'), false},
    };
    for (const auto &c : cases) {
        FixedHttp http(c.body);
        TAddressLookup lookup;
        std::optional<bool> result;
        QObject::connect(&lookup, &TAddressLookup::finished, [&](bool ok, bool) { result = ok; });
        gHalvornIPAddress.clear();
        gHalvornPort.clear();
        lookup.fetch(http.base(), dir.filePath("AddressInfo.Dat"));
        ASSERT_TRUE(waitUntil([&] { return result.has_value(); })) << c.body.left(40).constData();
        EXPECT_EQ(*result, c.ok) << c.body.left(40).constData();
        if (!c.ok) {
            EXPECT_TRUE(gHalvornPort.isEmpty()) << c.body.left(40).constData();
        }
    }
    EXPECT_EQ(TAddressLookup::serviceUrl("https://example.org/halvorn/").toString(),
              "https://example.org/halvorn/AddressInfo.dat");
    EXPECT_EQ(TAddressLookup::serviceUrl("host:81").toString(), "http://host:81/AddressInfo.dat");
    EXPECT_FALSE(TAddressLookup::serviceUrl("").isValid());
    EXPECT_FALSE(TAddressLookup::serviceUrl("ftp://host/").isValid());
    EXPECT_FALSE(TAddressLookup::serviceUrl("file:///etc").isValid());
}

TEST_F(NetworkWindows, ABadAddressReplyStopsTheSignInWithTheAddressServerError)
{
    // The reply points the password at port 0: nobody is connected to.
    FixedHttp http("IP=127.0.0.1\r\nPORT=0\r\n");
    Quorvant::gLookupAddress = http.base();
    connectButton()->click();
    THalvornNetworkMonitor *login = loginDialog();
    ASSERT_NE(login, nullptr);
    login->UserNameEdit->setText("frank");
    login->PasswordEdit->setText("pw");
    login->Connect();
    ASSERT_TRUE(waitUntil([&] { return !network->lookup()->isRunning(); }));
    const QList<RecordedDialog> boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.first().text, THalvornNetwork::addressServerErrorText());
    EXPECT_EQ(boxes.first().icon, MessageIcon::Error);
    EXPECT_EQ(gMyClient, nullptr);
    EXPECT_TRUE(login->isVisible());  // the dialog stays open
}

TEST_F(NetworkWindows, ChannelListJoinsTheChosenChannel)
{
    ASSERT_TRUE(join("alice", "pw"));
    RawClient bob;
    ASSERT_TRUE(bob.connectTo(server.port));
    ASSERT_TRUE(bob.signIn("bob", "pw", true));
    ASSERT_TRUE(bob.request("ACHR", TNetworkChatRoom{"bob", "GARDEN", {}}.toBytes()).has_value());
    network->listChannels();
    TChatChannelListMenu *list = network->channelList();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(gChannelListOpen);
    ASSERT_TRUE(waitUntil([&] { return list->entries().contains("GARDEN"); }));
    for (int i = 0; i < list->ListView1->topLevelItemCount(); ++i)
        if (list->ListView1->topLevelItem(i)->text(0) == "GARDEN")
            list->ListView1->setCurrentItem(list->ListView1->topLevelItem(i));
    list->joinSelected();
    EXPECT_FALSE(gChannelListOpen);
    EXPECT_TRUE(waitUntil([&] { return network->GetChatRoom("GARDEN") != nullptr; }));
}

TEST_F(NetworkWindows, ChatRoomShowsPlainTextJoinNoticesAndUsers)
{
    ASSERT_TRUE(join("alice", "pw"));
    network->chatEdit()->setText("/join lobby");
    QTest::keyClick(network->chatEdit(), Qt::Key_Return);
    EXPECT_TRUE(network->chatEdit()->text().isEmpty());
    EXPECT_TRUE(network->chatStatusMemo()->toPlainText().endsWith("/JOIN LOBBY"));
    ASSERT_TRUE(waitUntil([&] { return network->GetChatRoom("LOBBY") != nullptr; }));
    TChatRoomMenu *room = network->GetChatRoom("lobby");
    EXPECT_EQ(room->windowTitle(), "Room Name: LOBBY");
    ASSERT_TRUE(waitUntil([&] { return room->ListBox1->count() == 1; }));

    room->ChatEdit->setText("<b>hello</b> <img src=x>");
    QTest::keyClick(room->ChatEdit, Qt::Key_Return);
    EXPECT_TRUE(room->ChatEdit->text().isEmpty());
    ASSERT_TRUE(waitUntil([&] { return room->ChatMemo->toPlainText().contains("hello"); }));
    EXPECT_TRUE(room->ChatMemo->toPlainText().contains("<b>hello</b> <img src=x>"));

    RawClient bob;
    ASSERT_TRUE(bob.connectTo(server.port));
    ASSERT_TRUE(bob.signIn("bob", "pw", true));
    ASSERT_TRUE(bob.request("JCHR", TNetworkChatRoom{"bob", "LOBBY", {}}.toBytes()).has_value());
    ASSERT_TRUE(waitUntil([&] { return room->ChatMemo->toPlainText().contains("bob has joined the channel..."); }));
    EXPECT_TRUE(waitUntil([&] { return room->ListBox1->count() == 2; }));
    bob.send("MCHR", TNetworkChatRoom{"bob", "LOBBY", "hi alice"}.toBytes());
    EXPECT_TRUE(waitUntil([&] { return room->ChatMemo->toPlainText().contains("hi alice"); }));
}

TEST_F(NetworkWindows, ChatCommandLine)
{
    ASSERT_TRUE(join("alice", "pw"));
    const struct { const char *line; const char *status; } cases[] = {
        {"/join", "Cannot join blank channel..."},
        {"/create", "Cannot add blank channel..."},
        {"/leave", "Cannot add blank channel..."},
        {"hello there", nullptr},
    };
    for (const auto &c : cases) {
        gMyClient->ClientUpdateUserBuffer();
        const qsizetype before = gMyClient->queuedPackets().size();
        network->chatCommand(QString::fromLatin1(c.line));
        const QStringList lines = network->chatStatusMemo()->toPlainText().split('\n');
        EXPECT_EQ(lines.last(), QString::fromLatin1(c.line).toUpper());
        if (c.status) {
            EXPECT_EQ(lines.value(lines.size() - 2), c.status);
        }
        EXPECT_EQ(gMyClient->queuedPackets().size(), before) << c.line;
    }
    network->chatCommand("/help");
    EXPECT_TRUE(messageTexts().contains("This should bring up the help menu. But hasnt. Sorry!"));
    network->listChannels();
    ASSERT_NE(network->channelList(), nullptr);
    network->listChannels();
    EXPECT_TRUE(network->chatStatusMemo()->toPlainText().endsWith("Already listing channels."));
}

TEST_F(NetworkWindows, ClosedRoomSlotIsReusedByTheNextRoom)
{
    TChatRoomMenu *first = network->CreateChatRoom();
    first->setRoom("ONE");
    first->show();
    first->close();
    EXPECT_TRUE(first->FreeMe);
    EXPECT_EQ(network->GetChatRoom("one"), first);  // closed windows still match
    QPointer<TChatRoomMenu> old = first;
    TChatRoomMenu *second = network->CreateChatRoom();
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(network->chatRooms().size(), 1);
    EXPECT_EQ(network->chatRooms().first(), second);
}

TEST(ChatRoomWindow, HistoryIsBoundedAndKeepsTheNewestLines)
{
    TChatRoomMenu room;
    const QString line = QString(200, 'x');
    for (int i = 0; i < 8000; ++i)
        room.addText(line + QString::number(i));
    room.flush();
    for (int i = 8000; i < 9000; ++i) {
        room.addText(line + QString::number(i));
        if (i % 100 == 0)
            room.flush();
    }
    room.flush();
    const QString text = room.ChatMemo->toPlainText();
    EXPECT_LE(text.size(), TChatRoomMenu::kHistoryChars);
    EXPECT_TRUE(text.endsWith(line + "8999"));
    EXPECT_GT(text.size(), TChatRoomMenu::kHistoryChars / 2);
}

// A user list request sent between a join request and its reply (after a
// join notice) must not give the new window another room's name.
TEST(ChatDispatch, JoinReplyOpensTheRoomThatWasAskedFor)
{
    resetNetworkGlobals();
    RecordingUi ui;
    RecordingBookings bookings;
    TClientBrain brain(ui, bookings, QString());
    std::unique_ptr<TClient> client(brain.createClient(nullptr));
    ui.rooms.insert("LOBBY");
    SendJoinChatRoom(*client, "SECOND");
    brain.ClientProcessPacket(EncodeString("LOBBY") + EncodeString("zed"), "JOIN", *client);
    brain.ClientProcessPacket(QByteArray(1, 1) + QByteArray(34, '.'), "JCHR", *client);
    EXPECT_TRUE(ui.rooms.contains("SECOND"));
    EXPECT_TRUE(ui.calls.contains("openChatRoom:SECOND")) << ui.calls.join(',').toStdString();
    resetNetworkGlobals();
}


// Run by ctest's FailoverOnPostgreSQL (tests/support/postgresql.sh): two
// servers on one PostgreSQL database as one service; the program on the
// first, its address file naming the second after it.
class PostgreSQLFailover : public NetworkWindowTest
{
protected:
    void SetUp() override
    {
        SKIP_WITHOUT_TEST_POSTGRESQL();
        prepareDataFolder();
        const QString database = newPostgresDatabase();
        ASSERT_FALSE(database.isEmpty());
        ASSERT_TRUE(b.start(database)) << b.process.readAllStandardError().constData();
        ASSERT_TRUE(a.start(database, {"--other-instance", QStringLiteral("127.0.0.1:%1").arg(b.port)}))
            << a.process.readAllStandardError().constData();
        Quorvant::gLookupAddress = QStringLiteral("127.0.0.1:") + QString::number(a.httpPort);
        openNetworkWindow();
    }

    ServerProcess a;
    ServerProcess b;
};

TEST_F(PostgreSQLFailover, AKilledServersProgramIsSignedInOnTheOtherWithinFiveSecondsBackInItsRoomAndProject)
{
    ASSERT_TRUE(join("alice", "pw"));
    ASSERT_EQ(network->failover().current().server.port, a.port);
    network->chatCommand("/join lobby");
    ASSERT_TRUE(waitUntil([&] { return network->GetChatRoom("LOBBY") != nullptr; }));
    TChatRoomMenu *room = network->GetChatRoom("LOBBY");
    ASSERT_TRUE(createProjectOnThePage(window.get(), "Site", "Secret"));
    network->talkToProject();
    TProjectChatRoom *projectChat = network->projectChat();
    ASSERT_NE(projectChat, nullptr);
    // bob, on the other server, in the room and the project.
    RawClient bob;
    ASSERT_TRUE(bob.connectTo(b.port));
    ASSERT_TRUE(bob.signIn("bob", "pw", true));
    ASSERT_TRUE(isGood(bob.request("JCHR", chatRecord("LOBBY"))));
    ASSERT_TRUE(isGood(bob.request("JPRO", projectRecord("Site", {}, "Secret"))));
    ASSERT_TRUE(waitUntil([&] { return room->ChatMemo->toPlainText().contains("bob has joined the channel..."); }));
    messageTexts();

    ::kill(pid_t(a.process.processId()), SIGKILL);
    QElapsedTimer sinceKill;
    sinceKill.start();
    ASSERT_TRUE(waitUntil([&] { return network->connectedView() && network->failover().current().server.port == b.port; },
                          5000))
        << statusText().toStdString();
    EXPECT_LT(sinceKill.elapsed(), 5000);
    EXPECT_TRUE(statusText().contains(QStringLiteral("*Connection to 127.0.0.1:%1 lost, reconnecting to 127.0.0.1:%2 in ")
                                          .arg(a.port)
                                          .arg(b.port)))
        << statusText().toStdString();

    // Back in the room, both ways, in the same window.
    ASSERT_TRUE(waitUntil([&] { return room->ChatMemo->toPlainText().contains(TClientBrain::rejoinedRoomText()); }));
    bob.send("MCHR", chatRecord("LOBBY", "are you back?"));
    EXPECT_TRUE(waitUntil([&] { return room->ChatMemo->toPlainText().contains("bob: are you back?"); }));
    room->ChatEdit->setText("yes, on the other server");
    QTest::keyClick(room->ChatEdit, Qt::Key_Return);
    EXPECT_TRUE(heard(bob, "alice: yes, on the other server"));
    EXPECT_EQ(network->chatRooms().size(), 1);

    // Back in the project and its chat.
    ASSERT_TRUE(waitUntil([&] { return network->chatStatusMemo()->toPlainText().contains("Back in the project \"Site\"."); }));
    EXPECT_EQ(gCurrentProjectName, "Site");
    EXPECT_FALSE(window->findChild<QPushButton *>(QStringLiteral("LeaveProjectButton"))->isHidden());
    TNetworkProject line;
    line.ProjectName = "Site";
    line.MessageText = "project news";
    bob.send("MPRO", line.toBytes());
    EXPECT_TRUE(waitUntil([&] { return projectChat->ChatMemo->toPlainText().contains("bob: project news"); }));
    EXPECT_TRUE(messageTexts().isEmpty()) << "nobody was asked or told in a box";
}

} // namespace
