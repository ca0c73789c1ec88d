#include "halvornnetwork.h"

#include "addnewproject.h"
#include "addresslookup.h"
#include "appglobals.h"
#include "chatchannellistmenu.h"
#include "chatroommenu.h"
#include "client.h"
#include "clientbrain.h"
#include "datafolder.h"
#include "documentset.h"
#include "halvornnetworkmonitor.h"
#include "lazypage.h"
#include "mainwindow.h"
#include "memorybookings.h"
#include "messageservice.h"
#include "namecheck.h"
#include "networkglobals.h"
#include "networklog.h"
#include "networkrequests.h"
#include "projectchatroom.h"
#include "projectfilemanager.h"
#include "projectlisting.h"
#include "settingsglobals.h"
#include "setuptools.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace Quorvant::Network {

// Hands the dispatcher's booking calls to whichever store is current.
class THalvornNetwork::BookingsRelay : public NetworkBookings
{
public:
    NetworkBookings *target = nullptr;
    void addBooking(const QString &p, const QString &f, const QString &u) override
    {
        if (target)
            target->addBooking(p, f, u);
    }
    void removeBooking(const QString &p, const QString &f, const QString &u) override
    {
        if (target)
            target->removeBooking(p, f, u);
    }
};

namespace {

const QString kConnect = QStringLiteral("Connect To Network");
const QString kDisconnect = QStringLiteral("Disconnect From Network");
const QString kLeaveFirst = QStringLiteral("You must leave the project you are currently in before you may create or "
                                           "join another.");

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

// As many lines as the status boxes hold.
constexpr int kMemoLines = 5000;

// A line for a status box: in the box once it is built, kept until then.
void addLine(QPlainTextEdit *memo, QStringList &kept, const QString &line)
{
    if (memo) {
        memo->appendPlainText(line);
        return;
    }
    kept.append(line);
    if (kept.size() > kMemoLines)
        kept.removeFirst();
}

QLabel *wrapped(QWidget *parent, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText);
    return l;
}

} // namespace

THalvornNetwork::THalvornNetwork(TForm1 &form, QObject *parent)
    : QObject(parent)
    , mForm(form)
    , mMemoryBookings(std::make_unique<TMemoryBookings>())
    , mRelay(std::make_unique<BookingsRelay>())
{
    mRelay->target = mMemoryBookings.get();
    mBookedOut = [this](const QString &p, const QString &f) { return mMemoryBookings->bookedOut(p, f); };
    mBrain = std::make_unique<TClientBrain>(*this, *mRelay, dataFolder());
    mLog = new TNetworkLog(this);
    mStatusLines.append(QStringLiteral("Currently Not Connected..."));
    mChatLines.append(QStringLiteral("Welcome to the Halvorn network.\n"
                                     "Join a channel to talk to other users, or list the channels open now.\n"
                                     "Type /help for the commands you can use here."));
    connect(mLog, &TNetworkLog::lineAdded, this, [this](const QString &line) {
        addLine(mNetworkStatus, mStatusLines, line);
    });
    connect(&mFailover, &TServerFailover::attemptDue, this, &THalvornNetwork::connectToCurrentServer);
    connect(&mFailover, &TServerFailover::attemptTimedOut, this, &THalvornNetwork::attemptTimedOut);
    // The pages are built when first shown; until then the state above and
    // mConnected are all they show.
    if (QWidget *page = form.tabholder()->findChild<QWidget *>(QStringLiteral("NetworkPage")))
        buildOnFirstShow(page, [this, page] { buildNetworkPage(page); });
    if (QWidget *side = form.sidebar()->findChild<QWidget *>(QStringLiteral("HalvornNetworkPage")))
        buildOnFirstShow(side, [this, side] { buildQuickBar(side); });
    showDisconnected();
}

THalvornNetwork::~THalvornNetwork()
{
    for (const auto &room : mRooms)
        delete room.data();
    delete mChannelList.data();
    delete mProjectList.data();
    delete mFileManager.data();
    delete mProjectChat.data();
    if (gMyClient) {
        DestroyClient();
    }
}

void THalvornNetwork::setBookingStore(NetworkBookings *store,
                                      std::function<bool(const QString &, const QString &)> bookedOut)
{
    mRelay->target = store ? store : mMemoryBookings.get();
    if (store && bookedOut)
        mBookedOut = std::move(bookedOut);
    else
        mBookedOut = [this](const QString &p, const QString &f) { return mMemoryBookings->bookedOut(p, f); };
}

bool THalvornNetwork::bookedOut(const QString &project, const QString &file) const
{
    return mBookedOut && mBookedOut(project, file);
}

// --- Pages -----------------------------------------------------------------

void THalvornNetwork::buildNetworkPage(QWidget *page)
{
    auto *column = new QVBoxLayout(page);
    auto *top = new QHBoxLayout;
    mConnectButton = button(page, "NetworkConnectButton", kConnect);
    top->addWidget(mConnectButton);
    mEncryptedMark = new QLabel(QStringLiteral("Encrypted connection (TLS)"), page);
    mEncryptedMark->setObjectName(QStringLiteral("EncryptedMark"));
    mEncryptedMark->setStyleSheet(QStringLiteral("QLabel { color: #006400; font-weight: bold; }"));
    mEncryptedMark->setToolTip(QStringLiteral("The connection to the server is encrypted and the server's "
                                              "certificate was checked."));
    mNotEncryptedMark = new QLabel(QStringLiteral("Not encrypted"), page);
    mNotEncryptedMark->setObjectName(QStringLiteral("NotEncryptedMark"));
    mNotEncryptedMark->setStyleSheet(QStringLiteral("QLabel { color: #b00000; font-weight: bold; }"));
    mNotEncryptedMark->setToolTip(QStringLiteral("The connection to the server is not encrypted: your password, "
                                                 "messages and files can be read on the way."));
    mReconnectingMark = new QLabel(QStringLiteral("Connection lost, reconnecting..."), page);
    mReconnectingMark->setObjectName(QStringLiteral("ReconnectingMark"));
    mReconnectingMark->setStyleSheet(QStringLiteral("QLabel { color: #a05a00; font-weight: bold; }"));
    mReconnectingMark->setToolTip(QStringLiteral("The connection to the server was lost. The program signs in again, "
                                                 "to this server or another of the service, and rejoins your chat "
                                                 "channels and project; the box below shows each attempt."));
    top->addWidget(mEncryptedMark);
    top->addWidget(mNotEncryptedMark);
    top->addWidget(mReconnectingMark);
    top->addStretch();
    column->addLayout(top);
    connect(mConnectButton, &QPushButton::clicked, this, &THalvornNetwork::connectControl);

    mPageViews = new QStackedWidget(page);
    mPageViews->setObjectName(QStringLiteral("NetworkViews"));
    auto *offline = new QWidget(mPageViews);
    offline->setObjectName(QStringLiteral("NotConnectedView"));
    auto *offlineColumn = new QVBoxLayout(offline);
    offlineColumn->addWidget(wrapped(offline, QStringLiteral(
        "The Halvorn Network lets a team work on one web site together: share project files, book a file out "
        "while you edit it and back in when you are done, and talk in chat channels or in your project's own "
        "room. Press \"Connect To Network\" to sign in or to create a free account.")));
    offlineColumn->addStretch();
    mPageViews->addWidget(offline);

    auto *online = new QTabWidget(mPageViews);
    online->setObjectName(QStringLiteral("ConnectedView"));
    // Home.
    auto *home = new QWidget(online);
    auto *homeColumn = new QVBoxLayout(home);
    homeColumn->addWidget(wrapped(home, QStringLiteral(
        "You are signed in to the Halvorn Network. Use the Projects page to share files with your team and the "
        "Chat page to talk to other users. The box below shows what the connection is doing.")));
    mNetworkStatus = new QPlainTextEdit(home);
    mNetworkStatus->setObjectName(QStringLiteral("NetworkStatusMemo"));
    mNetworkStatus->setReadOnly(true);
    mNetworkStatus->setMaximumBlockCount(kMemoLines);
    mNetworkStatus->setPlainText(mStatusLines.join(QLatin1Char('\n')));
    mStatusLines.clear();
    homeColumn->addWidget(mNetworkStatus, 1);
    online->addTab(home, QStringLiteral("Home"));

    // Projects.
    auto *projects = new QWidget(online);
    auto *projectGrid = new QGridLayout(projects);
    auto *showAll = button(projects, "ShowProjectsButton", QStringLiteral("Show all current projects"));
    auto *create = button(projects, "CreateProjectButton", QStringLiteral("Create new project"));
    auto *inLabel = new QLabel(QStringLiteral("Currently In Project:"), projects);
    mProjectLabel = new QLabel(projects);
    mProjectLabel->setObjectName(QStringLiteral("ProjectNameLabel"));
    mProjectLabel->setTextFormat(Qt::PlainText);
    mProjectLabel->setText(mProjectText);
    auto *manager = button(projects, "FileManagerButton", QStringLiteral("Project File Manager"));
    auto *talk = button(projects, "ProjectChatButton", QStringLiteral("Talk to people in your project"));
    auto *leave = button(projects, "LeaveProjectButton", QStringLiteral("Leave Project"));
    auto *remove = button(projects, "RemoveProjectButton", QStringLiteral("Remove Project (FOREVER)"));
    auto *line1 = new QFrame(projects);
    line1->setFrameShape(QFrame::HLine);
    auto *line2 = new QFrame(projects);
    line2->setFrameShape(QFrame::HLine);
    projectGrid->addWidget(showAll, 0, 0);
    projectGrid->addWidget(create, 1, 0);
    projectGrid->addWidget(line1, 2, 0);
    projectGrid->addWidget(inLabel, 3, 0);
    projectGrid->addWidget(mProjectLabel, 4, 0);
    projectGrid->addWidget(line2, 5, 0);
    projectGrid->addWidget(manager, 6, 0);
    projectGrid->addWidget(talk, 7, 0);
    projectGrid->addWidget(leave, 8, 0);
    projectGrid->addWidget(remove, 9, 0);
    projectGrid->setRowStretch(10, 1);
    projectGrid->addWidget(new QLabel(QStringLiteral("Users online:"), projects), 0, 1);
    mUsersOnline = new QListWidget(projects);
    mUsersOnline->setObjectName(QStringLiteral("UsersOnlineList"));
    mUsersOnline->addItems(mUsers);
    projectGrid->addWidget(mUsersOnline, 1, 1, 10, 1);
    projectGrid->setColumnStretch(1, 1);
    mProjectOptions << inLabel << mProjectLabel << line1 << line2 << manager << talk << leave << remove;
    online->addTab(projects, QStringLiteral("Projects"));
    connect(showAll, &QPushButton::clicked, this, &THalvornNetwork::showAllProjects);
    connect(create, &QPushButton::clicked, this, &THalvornNetwork::createNewProject);
    connect(manager, &QPushButton::clicked, this, &THalvornNetwork::openFileManager);
    connect(talk, &QPushButton::clicked, this, &THalvornNetwork::talkToProject);
    connect(leave, &QPushButton::clicked, this, &THalvornNetwork::leaveProject);
    connect(remove, &QPushButton::clicked, this, &THalvornNetwork::removeProject);

    // Chat.
    auto *chat = new QWidget(online);
    auto *chatColumn = new QVBoxLayout(chat);
    mChatStatus = new QPlainTextEdit(chat);
    mChatStatus->setObjectName(QStringLiteral("ChatStatusMemo"));
    mChatStatus->setReadOnly(true);
    mChatStatus->setMaximumBlockCount(kMemoLines);
    mChatStatus->setPlainText(mChatLines.join(QLatin1Char('\n')));
    mChatLines.clear();
    chatColumn->addWidget(mChatStatus, 1);
    mChatEdit = new QLineEdit(chat);
    mChatEdit->setObjectName(QStringLiteral("ChatEdit"));
    chatColumn->addWidget(mChatEdit);
    auto *chatButtons = new QHBoxLayout;
    auto *list = button(chat, "ListChannelsButton", QStringLiteral("List all channels"));
    auto *join = button(chat, "JoinChannelButton", QStringLiteral("Join Chat Channel"));
    chatButtons->addWidget(list);
    chatButtons->addWidget(join);
    chatButtons->addStretch();
    chatColumn->addLayout(chatButtons);
    online->addTab(chat, QStringLiteral("Chat"));
    connect(mChatEdit, &QLineEdit::returnPressed, this, [this] { chatCommand(mChatEdit->text()); });
    connect(list, &QPushButton::clicked, this, &THalvornNetwork::listChannels);
    connect(join, &QPushButton::clicked, this, &THalvornNetwork::joinChannelDialog);

    mPageViews->addWidget(online);
    column->addWidget(mPageViews, 1);
    showState();
}

void THalvornNetwork::buildQuickBar(QWidget *page)
{
    auto *column = new QVBoxLayout(page);
    column->addWidget(new QLabel(QStringLiteral("Halvorn Network Quick Bar"), page));
    mQuickViews = new QStackedWidget(page);
    mQuickViews->setObjectName(QStringLiteral("QuickBarViews"));
    mQuickViews->addWidget(wrapped(mQuickViews, QStringLiteral(
        "You are not connected. Connect to the network on the Network Control page [F9] first.")));
    auto *online = new QWidget(mQuickViews);
    auto *onlineColumn = new QVBoxLayout(online);
    mQuickConnect = button(online, "QuickConnectButton", kDisconnect);
    auto *list = button(online, "QuickListProjects", QStringLiteral("List all open projects"));
    auto *add = button(online, "QuickAddProject", QStringLiteral("Add new project"));
    auto *manager = button(online, "QuickFileManager", QStringLiteral("Open File Manager"));
    auto *talk = button(online, "QuickProjectChat", QStringLiteral("Talk to project users"));
    auto *leave = button(online, "QuickLeaveProject", QStringLiteral("Leave project"));
    for (QWidget *w : {static_cast<QWidget *>(mQuickConnect), static_cast<QWidget *>(list),
                       static_cast<QWidget *>(add), static_cast<QWidget *>(manager), static_cast<QWidget *>(talk),
                       static_cast<QWidget *>(leave)})
        onlineColumn->addWidget(w);
    onlineColumn->addStretch();
    mProjectOptions << manager << talk << leave;
    mQuickViews->addWidget(online);
    column->addWidget(mQuickViews, 1);
    connect(mQuickConnect, &QPushButton::clicked, this, &THalvornNetwork::connectControl);
    connect(list, &QPushButton::clicked, this, &THalvornNetwork::showAllProjects);
    connect(add, &QPushButton::clicked, this, &THalvornNetwork::createNewProject);
    connect(manager, &QPushButton::clicked, this, &THalvornNetwork::openFileManager);
    connect(talk, &QPushButton::clicked, this, &THalvornNetwork::talkToProject);
    connect(leave, &QPushButton::clicked, this, &THalvornNetwork::leaveProject);
    showState();
}

// --- Sign-in ---------------------------------------------------------------

QString THalvornNetwork::addressServerErrorText()
{
    return QStringLiteral("Error!, There has been an error connecting to the Halvorn address server, please connect "
                          "to the Quorvant site for more information on the problem. Sorry for the inconvenience.");
}

QString THalvornNetwork::addressFile() const
{
    return DataFolder::file(QStringLiteral("AddressInfo.Dat"));
}

QString THalvornNetwork::dataFolder() const
{
    return DataFolder::path();
}

bool THalvornNetwork::autoConnectSetting() const
{
    return mForm.systemSettings().HalvornAutoConnect;
}

void THalvornNetwork::saveAccount(const QString &name, const QString &password, bool autoConnect)
{
    if (Quorvant::gSetupTools)
        Quorvant::gSetupTools->SaveHalvornUserNameAndPassword(name, password, autoConnect, passwordNoter());
    Quorvant::gUserName = name;
    Quorvant::gPassword = password;
}

void THalvornNetwork::passwordNote(const QString &line)
{
    if (!line.isEmpty())
        mLog->DebugOut(line);
}

TSetupTools::PasswordKept THalvornNetwork::passwordNoter()
{
    return [network = QPointer<THalvornNetwork>(this)](bool, const QString &note) {
        if (network)
            network->passwordNote(note);
    };
}

void THalvornNetwork::autoConnectAtStartup()
{
    const TSystemSettings &settings = mForm.systemSettings();
    if (!settings.HalvornAutoConnect)
        return;
    gAutoConnect = true;
    const QString userName = settings.HalvornUsernameedit;
    if (!settings.HalvornPasswordedit.isEmpty() || !Quorvant::gSetupTools) {
        ConnectToHalvorn(userName, settings.HalvornPasswordedit);
        return;
    }
    // The sign-in waits for the secret store; the window does not.
    Quorvant::gSetupTools->LoadHalvornPassword(
        [network = QPointer<THalvornNetwork>(this), userName](const QString &password, const QString &note) {
            if (!network)
                return;
            network->passwordNote(note);
            if (password.isEmpty()) {
                network->passwordNote(
                    QStringLiteral("No password is stored for %1: sign in from the login dialog.").arg(userName));
                return;
            }
            network->ConnectToHalvorn(userName, password);
        });
}

TAddressLookup *THalvornNetwork::lookup()
{
    if (!mLookup)
        mLookup = new TAddressLookup(this);
    mLookup->setKnownServers(knownServers());
    return mLookup;
}

TKnownServers THalvornNetwork::knownServers() const
{
    return TKnownServers(DataFolder::file(TKnownServers::defaultFileName()));
}

void THalvornNetwork::settleCertificate(const CertificateCheck &check, const std::function<void()> &retry)
{
    const TKnownServers known = knownServers();
    switch (check.verdict) {
    case CertificateCheck::Verdict::Trusted:
        retry();
        return;
    case CertificateCheck::Verdict::Unknown:
        if (MessageService::show(&mForm, known.questionText(check), MessageIcon::Warning, YesNo) != mbYes)
            return;
        if (!known.remember(check.host, check.port, check.presented)) {
            MessageService::error(&mForm, QStringLiteral("The certificate could not be remembered in \"%1\", so the "
                                                         "connection was not made.").arg(known.file()));
            return;
        }
        retry();
        return;
    case CertificateCheck::Verdict::Changed:
        MessageService::error(&mForm, known.changedText(check));
        return;
    case CertificateCheck::Verdict::Refused:
        MessageService::error(&mForm, TKnownServers::refusedText(check));
        return;
    }
}

void THalvornNetwork::certificateRefused(const CertificateCheck &check)
{
    // Asked once the socket has finished reporting, not inside its signal.
    QTimer::singleShot(0, this, [this, check] { settleCertificate(check, [this] { connectToCurrentServer(); }); });
}

void THalvornNetwork::ConnectToHalvorn(const QString &userName, const QString &password)
{
    lookup()->disconnect(this);
    connect(mLookup, &TAddressLookup::finished, this, [this, userName, password](bool ok, bool httpFailed) {
        mLookup->disconnect(this);
        if (!ok) {
            if (const auto refused = mLookup->refusedCertificate()) {
                settleCertificate(*refused, [this, userName, password] { ConnectToHalvorn(userName, password); });
                return;
            }
            // An unreachable service stops silently; a bad answer says so.
            if (!httpFailed)
                MessageService::error(&mForm, addressServerErrorText());
            return;
        }
        gUserName = userName;
        gPassword = password;
        openConnection();
        gCreatingNewAccount = false;
    });
    mLookup->fetch(Quorvant::gLookupAddress, addressFile());
}

void THalvornNetwork::openConnection()
{
    QList<TServerRoute> servers = mLookup ? mLookup->servers() : QList<TServerRoute>{};
    if (servers.isEmpty())
        servers.append(TServerRoute{{gHalvornIPAddress.trimmed(), gHalvornPort.toUShort()}, {}, {}});
    if (mLookup) {
        for (const QString &line : mLookup->skippedServers())
            logLine(line);
    }
    mFailover.begin(std::move(servers));
    connectToCurrentServer();
}

void THalvornNetwork::connectToCurrentServer()
{
    // A client that has ended (or is still live) is replaced, never kept.
    DestroyClient();
    clearPendingRequests();
    if (!mFailover.hasServer())
        return;
    gMyClient = mBrain->createClient(mLog);
    const TServerRoute &route = mFailover.current();
    if (!route.tlsPeerName.isEmpty()) {
        // The certificate is checked against what the user confirmed for
        // the server actually reached.
        gMyClient->CheckServerCertificate = [this, host = route.knownAs,
                                             port = route.server.port](const CertificateProblem &problem) {
            return knownServers().check(host, port, problem);
        };
    }
    if (gMyClient->ClientConnect(route.server.address, route.server.port, route.tlsPeerName))
        mFailover.attemptStarted();
}

void THalvornNetwork::attemptTimedOut()
{
    if (!gMyClient)
        return;
    if (gMyClient->isConnected() && mFailover.waitForSignIn())
        return;
    logLine(QStringLiteral("%1 did not answer in time.").arg(mFailover.current().server.text()));
    gMyClient->ClientAbort(true);
}

bool THalvornNetwork::failOver()
{
    const bool wasSignedIn = mFailover.phase() == TServerFailover::Phase::SignedIn;
    const QString ended = mFailover.hasServer() ? mFailover.current().server.text() : QString();
    if (wasSignedIn)
        mFailover.keepProject(mInProject ? gCurrentProjectName : QString());
    switch (mFailover.connectionEnded()) {
    case TServerFailover::Next::GiveUp:
        if (mReconnecting)
            logLine(QStringLiteral("Gave up reconnecting after %1 attempts.").arg(TServerFailover::kMaxReconnectAttempts));
        return false;
    case TServerFailover::Next::NextServer:
        logLine(QStringLiteral("No connection to %1: trying %2...").arg(ended, mFailover.current().server.text()));
        return true;
    case TServerFailover::Next::Reconnect:
        break;
    }
    const QString next = QStringLiteral("reconnecting to %1 in %2 s (attempt %3 of %4)...")
                             .arg(mFailover.current().server.text())
                             .arg(mFailover.retryDelayMs() / 1000.0, 0, 'f', 1)
                             .arg(mFailover.reconnectAttempt())
                             .arg(TServerFailover::kMaxReconnectAttempts);
    if (wasSignedIn) {
        logLine(QStringLiteral("Connection to %1 lost, ").arg(ended) + next);
        statusBarText(QStringLiteral("Connection lost, reconnecting..."));
        for (const auto &room : std::as_const(mRooms))
            if (room && !room->FreeMe)
                room->addText(QStringLiteral("*** The connection to the server was lost; reconnecting... ***"));
        showReconnecting();
    } else {
        logLine(QStringLiteral("No connection, ") + next);
    }
    return true;
}

void THalvornNetwork::signInRefused()
{
    if (mReconnecting)
        logLine(QStringLiteral("%1 refused the sign-in: no further attempts.").arg(mFailover.current().server.text()));
    mFailover.stop();
    showDisconnected();
}

void THalvornNetwork::rejoinSession()
{
    TClient *client = signedInClient();
    if (!client)
        return;
    for (const auto &room : std::as_const(mRooms))
        if (room && !room->FreeMe)
            mBrain->rejoinChatRoom(*client, room->RoomName);
    const QString project = mFailover.keptProject();
    if (!project.isEmpty())
        mBrain->rejoinProject(*client, project, mFailover.passwordOf(project));
}

TClient *THalvornNetwork::signedInClient() const
{
    return mConnected ? gMyClient : nullptr;
}

void THalvornNetwork::logLine(const QString &line)
{
    mLog->DebugOut(QLatin1Char('*') + line);
}

void THalvornNetwork::connectControl()
{
    // While a lost connection is restored the control stops it.
    if (!mConnected && !mReconnecting)
        openLoginDialog();
    else
        disconnectFromNetwork();
}

void THalvornNetwork::disconnectFromNetwork()
{
    const bool wasReconnecting = mReconnecting;
    mFailover.stop();
    if (gMyClient || wasReconnecting) {
        DestroyClient();
        if (!gAutoConnect)
            MessageService::information(&mForm, QStringLiteral("You have been disconnected from the server!"));
    }
    showDisconnected();
}

void THalvornNetwork::openLoginDialog()
{
    auto *dialog = new THalvornNetworkMonitor(*this, autoConnectSetting(), &mForm);
    dialog->show();
}

// --- Chat ------------------------------------------------------------------

void THalvornNetwork::chatCommand(const QString &line)
{
    const QString upper = line.toUpper();
    const QStringList words = upper.split(QLatin1Char(' '));
    const QString command = words.value(0);
    const QString argument = words.value(1);
    if (command == QLatin1String("/HELP")) {
        MessageService::information(&mForm, QStringLiteral("This should bring up the help menu. But hasnt. Sorry!"));
    } else if (command == QLatin1String("/LIST")) {
        listChannels();
    } else if (command == QLatin1String("/JOIN") || command == QLatin1String("/CREATE")
               || command == QLatin1String("/LEAVE")) {
        if (argument.isEmpty()) {
            chatStatus(command == QLatin1String("/JOIN") ? QStringLiteral("Cannot join blank channel...")
                                                         : QStringLiteral("Cannot add blank channel..."));
        } else if (TClient *client = signedInClient(); client && acceptName(&mForm, argument, NameKind::Room)) {
            if (command == QLatin1String("/JOIN"))
                SendJoinChatRoom(*client, argument);
            else if (command == QLatin1String("/CREATE"))
                SendAddChatRoom(*client, argument);
            else
                SendLeaveChatRoom(*client, argument);
        }
    }
    chatStatus(upper);
    if (mChatEdit)
        mChatEdit->clear();
}

void THalvornNetwork::listChannels()
{
    if (mChannelList) {
        chatStatus(QStringLiteral("Already listing channels."));
        return;
    }
    mChannelList = new TChatChannelListMenu(&mForm);
    mChannelList->join = [this](const QString &room) {
        if (TClient *client = signedInClient())
            SendJoinChatRoom(*client, room);
    };
    mChannelList->requestList = [this] {
        gChannelListOpen = true;
        if (TClient *client = signedInClient())
            SendChannelListRequest(*client);
    };
    mChannelList->closed = [] { gChannelListOpen = false; };
    mChannelList->show();
}

void THalvornNetwork::joinChannelDialog()
{
    QString room;
    if (!MessageService::getText(&mForm, QStringLiteral("Join chat room"),
                                 QStringLiteral("Please enter the name of the room you want to join: "), &room))
        return;
    if (TClient *client = signedInClient(); client && !room.isEmpty() && acceptName(&mForm, room, NameKind::Room))
        SendJoinChatRoom(*client, room);
}

TChatRoomMenu *THalvornNetwork::GetChatRoom(const QString &room) const
{
    if (room.isEmpty())
        return nullptr;
    for (const auto &w : mRooms)
        if (w && w->RoomName.compare(room, Qt::CaseInsensitive) == 0)
            return w;
    return nullptr;
}

int THalvornNetwork::GetFreeChatRoom()
{
    for (int i = 0; i < mRooms.size(); ++i) {
        if (mRooms[i] && mRooms[i]->FreeMe) {
            delete mRooms[i].data();
            return i;
        }
    }
    return -1;
}

TChatRoomMenu *THalvornNetwork::CreateChatRoom()
{
    int slot = GetFreeChatRoom();
    if (slot < 0) {
        mRooms.append(nullptr);
        slot = int(mRooms.size()) - 1;
    }
    auto *room = new TChatRoomMenu(&mForm);
    room->sendMessage = [this, room](const QString &name, const QString &text) {
        TClient *client = signedInClient();
        if (!client) {
            room->addText(QStringLiteral("*** Not sent: not connected to the server. ***"));
            return false;
        }
        SendChatMessage(*client, name, text);
        return true;
    };
    room->leaveRoom = [this](const QString &name) {
        if (TClient *client = signedInClient())
            SendLeaveChatRoom(*client, name);
    };
    room->requestUsers = [this](const QString &name) {
        if (TClient *client = signedInClient())
            SendChatRoomUsers(*client, name);
    };
    mRooms[slot] = room;
    return room;
}

bool THalvornNetwork::hasChatRoom(const QString &room)
{
    return GetChatRoom(room) != nullptr;
}

void THalvornNetwork::openChatRoom(const QString &room)
{
    TChatRoomMenu *window = CreateChatRoom();
    window->setRoom(room);
    window->show();
}

void THalvornNetwork::addChatRoomText(const QString &room, const QString &text)
{
    if (TChatRoomMenu *w = GetChatRoom(room))
        w->addText(text);
}

void THalvornNetwork::setChatRoomUsers(const QString &room, const QStringList &users)
{
    if (TChatRoomMenu *w = GetChatRoom(room))
        w->setUsers(users);
}

void THalvornNetwork::setChannelList(const QStringList &entries)
{
    if (mChannelList)
        mChannelList->setEntries(entries);
}

// --- Projects --------------------------------------------------------------

bool THalvornNetwork::inProject() const
{
    return mInProject;
}

void THalvornNetwork::showAllProjects()
{
    if (inProject()) {
        MessageService::information(&mForm, kLeaveFirst);
        return;
    }
    delete mProjectList.data();
    mProjectList = new TProjectListing(&mForm);
    mProjectList->join = [this](const QString &project, const QString &password) {
        if (TClient *client = signedInClient()) {
            mFailover.notePassword(project, password);
            SendJoinProject(*client, project, password);
        }
    };
    mProjectList->requestList = [this] {
        gProjectListOpen = true;
        if (TClient *client = signedInClient())
            SendProjectListRequest(*client);
    };
    mProjectList->closed = [] { gProjectListOpen = false; };
    mProjectList->show();
}

void THalvornNetwork::createNewProject()
{
    if (inProject()) {
        MessageService::information(&mForm, kLeaveFirst);
        return;
    }
    auto *dialog = new TAddNewProject(&mForm);
    dialog->setObjectName(QStringLiteral("TAddNewProject"));
    dialog->addProject = [this](const QString &project, const QString &password) {
        if (TClient *client = signedInClient()) {
            mFailover.notePassword(project, password);
            SendAddProject(*client, project, password);
        }
    };
    dialog->show();
}

void THalvornNetwork::openFileManager()
{
    delete mFileManager.data();
    mFileManager = new TProjectFileManager(
        mForm, dataFolder(), [this](const QString &p, const QString &f) { return bookedOut(p, f); }, &mForm);
    mFileManager->setAttribute(Qt::WA_DeleteOnClose, false);
    mFileManager->removeMember = [this](const QString &member) {
        if (TClient *client = signedInClient())
            mBrain->RemoveMember(*client, member);
    };
    mFileManager->changePassword = [this](const QString &password) {
        if (TClient *client = signedInClient())
            mBrain->ChangeProjectPassword(*client, password);
    };
    mFileManager->show();
}

void THalvornNetwork::talkToProject()
{
    delete mProjectChat.data();
    mProjectChat = new TProjectChatRoom(&mForm);
    mProjectChat->sendMessage = [this](const QString &text) {
        if (TClient *client = signedInClient())
            SendProjectMessage(*client, text);
    };
    mProjectChat->requestUsers = [this] {
        gProjectChatOpen = true;
        if (TClient *client = signedInClient())
            SendProjectUsers(*client);
    };
    mProjectChat->closed = [] { gProjectChatOpen = false; };
    mProjectChat->show();
}

void THalvornNetwork::leaveProject()
{
    if (TClient *client = signedInClient())
        SendLeaveProject(*client);
}

void THalvornNetwork::removeProject()
{
    if (MessageService::show(&mForm,
                             QStringLiteral("Removing this project will permenantly remove the project listing and all "
                                            "files associated with this project. Are you SURE you want to remove the "
                                            "project?"),
                             MessageIcon::Information, YesNo)
        != mbYes)
        return;
    QString password;
    if (!MessageService::getText(&mForm, QStringLiteral("Project Password"),
                                 QStringLiteral("Please enter the password for this project: "), &password))
        return;
    if (TClient *client = signedInClient())
        SendRemoveProject(*client, password);
}

void THalvornNetwork::setProjectList(const QStringList &entries)
{
    if (mProjectList)
        mProjectList->setEntries(entries);
}

void THalvornNetwork::activateProjectOptions(bool active)
{
    mInProject = active;
    for (QWidget *w : mProjectOptions)
        w->setHidden(!active);
}

void THalvornNetwork::setProjectLabel(const QString &text)
{
    mProjectText = text;
    if (mProjectLabel)
        mProjectLabel->setText(text);
}

void THalvornNetwork::setUsersOnline(const QStringList &users)
{
    mUsers = users;
    if (!mUsersOnline)
        return;
    mUsersOnline->clear();
    mUsersOnline->addItems(users);
}

void THalvornNetwork::setProjectChatUsers(const QStringList &users)
{
    if (mProjectChat)
        mProjectChat->setUsers(users);
}

void THalvornNetwork::addProjectChatText(const QString &text)
{
    if (mProjectChat)
        mProjectChat->addText(text);
}

void THalvornNetwork::setFileList(const QList<SharedFileRow> &rows)
{
    if (mFileManager)
        mFileManager->setFileList(rows);
}

void THalvornNetwork::refreshFileList()
{
    if (mFileManager)
        mFileManager->RefreshList();
}

void THalvornNetwork::fileAdded(bool)
{
    if (mFileManager)
        mFileManager->fileAdded();
}

void THalvornNetwork::openDownloadedFile(const QString &path)
{
    TDocumentSet *docs = mForm.documents();
    if (!docs || !docs->openOrShow(path))
        return;
    gNetworkFile = true;
    docs->SaveSelectedPageToArray();
}

// --- Messages and views ----------------------------------------------------

void THalvornNetwork::showMessage(const QString &text, NetworkMessageKind kind)
{
    if (kind == NetworkMessageKind::Error)
        MessageService::error(&mForm, text);
    else
        MessageService::information(&mForm, text);
}

void THalvornNetwork::chatStatus(const QString &line)
{
    addLine(mChatStatus, mChatLines, line);
    if (!line.isEmpty())
        statusBarText(line);
}

void THalvornNetwork::statusBarText(const QString &text)
{
    if (QStatusBar *bar = mForm.StatusBar1())
        bar->showMessage(text);
}

void THalvornNetwork::setConnectCaptions(const QString &caption)
{
    if (mConnectButton)
        mConnectButton->setText(caption);
    if (mQuickConnect)
        mQuickConnect->setText(caption);
}

void THalvornNetwork::showEncryption()
{
    if (mEncryptedMark)
        mEncryptedMark->setHidden(!mConnected || !mEncrypted);
    if (mNotEncryptedMark)
        mNotEncryptedMark->setHidden(!mConnected || mEncrypted);
    if (mReconnectingMark)
        mReconnectingMark->setHidden(!mReconnecting);
}

// Puts the connection and project state on the pages built so far.
void THalvornNetwork::showState()
{
    const bool connectedViews = mConnected || mReconnecting;
    setConnectCaptions(connectedViews ? kDisconnect : kConnect);
    showEncryption();
    if (mPageViews)
        mPageViews->setCurrentIndex(connectedViews ? 1 : 0);
    if (mQuickViews)
        mQuickViews->setCurrentIndex(connectedViews ? 1 : 0);
    for (QWidget *w : std::as_const(mProjectOptions))
        w->setHidden(!mInProject);
}

void THalvornNetwork::showConnected()
{
    // The first successful sign-in moves a clear password into the secret
    // store.
    if (Quorvant::gSetupTools)
        Quorvant::gSetupTools->MoveHalvornPasswordToSecretStore(passwordNoter());
    const bool restored = mFailover.phase() == TServerFailover::Phase::Reconnecting;
    mFailover.signedIn();
    mConnected = true;
    mReconnecting = false;
    mEncrypted = gMyClient && gMyClient->isEncrypted();
    showState();
    emit connectedChanged(true);
    if (restored) {
        logLine(QStringLiteral("Reconnected to %1 and signed in again.").arg(mFailover.current().server.text()));
        statusBarText(QStringLiteral("Reconnected to the server."));
        rejoinSession();
    }
}

void THalvornNetwork::showReconnecting()
{
    mConnected = false;
    mEncrypted = false;
    mReconnecting = true;
    showState();
    if (mFileManager)
        mFileManager->connectionEnded();
    emit connectedChanged(false);
}

void THalvornNetwork::showDisconnected()
{
    mConnected = false;
    mEncrypted = false;
    mReconnecting = false;
    activateProjectOptions(false);
    showState();
    if (mFileManager)
        mFileManager->connectionEnded();
    emit connectedChanged(false);
}

} // namespace Quorvant::Network
