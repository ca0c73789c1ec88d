// The network client's windows: the network page (status box, projects and
// chat pages), the quick bar, the chat rooms and the project windows. It is
// the dispatcher's user interface and owns the sign-in.
#pragma once

#include "chatchannellistmenu.h"
#include "chatroommenu.h"
#include "networkui.h"
#include "projectchatroom.h"
#include "projectfilemanager.h"
#include "projectlisting.h"
#include "serverfailover.h"
#include "setuptools.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QWidget;

namespace Quorvant {
class TForm1;
}

namespace Quorvant::Network {

class NetworkBookings;
class TAddressLookup;
class TChatChannelListMenu;
class TChatRoomMenu;
class TClient;
class TClientBrain;
class TMemoryBookings;
class TNetworkLog;
class TProjectChatRoom;
class TProjectFileManager;
class TProjectListing;

class THalvornNetwork : public QObject, public NetworkUi
{
    Q_OBJECT
public:
    explicit THalvornNetwork(TForm1 &form, QObject *parent = nullptr);
    ~THalvornNetwork() override;

    // The local record of booked-out files. Until one is given, bookings
    // are kept in memory. `bookedOut` answers whether a file of a project is
    // booked out by anyone.
    void setBookingStore(NetworkBookings *store,
                         std::function<bool(const QString &project, const QString &file)> bookedOut);
    bool bookedOut(const QString &project, const QString &file) const;
    TMemoryBookings &memoryBookings() { return *mMemoryBookings; }
    // The protocol dispatcher the connection's packets go to.
    TClientBrain &dispatcher() { return *mBrain; }

    // Sign-in.
    static QString addressServerErrorText();
    QString addressFile() const;
    QString dataFolder() const;
    // Made on first use: its network access is not needed before a sign-in.
    TAddressLookup *lookup();
    // The servers whose certificates the user confirmed, in the data folder.
    TKnownServers knownServers() const;
    // A certificate that was not accepted: an unknown one is shown with its
    // fingerprint and, once the user confirmed it, remembered and `retry`
    // run; a changed or broken one is refused with a message.
    void settleCertificate(const CertificateCheck &check, const std::function<void()> &retry);
    bool autoConnectSetting() const;
    // Stores the account as the settings' default; where the password went
    // is told in the network status box.
    void saveAccount(const QString &name, const QString &password, bool autoConnect);
    // A line about the stored password for the network status box; an
    // empty line adds nothing.
    void passwordNote(const QString &line);
    // The start-up sign-in; returns at once, the lookup runs in the background.
    void ConnectToHalvorn(const QString &userName, const QString &password);
    // A password kept in the secret store is read first (in the background,
    // bounded); without any stored password there is no sign-in.
    void autoConnectAtStartup();
    // A new sign-in: a new client for the first server the address service
    // named (gHalvornIPAddress:gHalvornPort), the further ones tried in
    // order when it fails; an old client is ended.
    void openConnection();
    // The servers tried, and the reconnection when the connection is lost.
    TServerFailover &failover() { return mFailover; }
    // A lost connection is being restored: the connected views stay, marked.
    bool reconnectingView() const { return mReconnecting; }
    // The connect control of the network page and the quick bar.
    void connectControl();
    void disconnectFromNetwork();
    void openLoginDialog();
    bool connectedView() const { return mConnected; }

    // Chat.
    void chatCommand(const QString &line);
    void listChannels();
    void joinChannelDialog();
    TChatRoomMenu *GetChatRoom(const QString &room) const;
    TChatRoomMenu *CreateChatRoom();
    int GetFreeChatRoom();
    const QList<QPointer<TChatRoomMenu>> &chatRooms() const { return mRooms; }
    TChatChannelListMenu *channelList() const { return mChannelList; }

    // Shared projects.
    void showAllProjects();
    void createNewProject();
    void openFileManager();
    void talkToProject();
    void leaveProject();
    void removeProject();
    TProjectListing *projectListing() const { return mProjectList; }
    TProjectFileManager *fileManager() const { return mFileManager; }
    TProjectChatRoom *projectChat() const { return mProjectChat; }

    // The network page's widgets; null until the page is first shown.
    QPlainTextEdit *chatStatusMemo() const { return mChatStatus; }
    QPlainTextEdit *networkStatusMemo() const { return mNetworkStatus; }
    QLineEdit *chatEdit() const { return mChatEdit; }

    // NetworkUi.
    void showMessage(const QString &text, NetworkMessageKind kind) override;
    void chatStatus(const QString &line) override;
    void statusBarText(const QString &text) override;
    void showConnected() override;
    void showDisconnected() override;
    bool hasChatRoom(const QString &room) override;
    void openChatRoom(const QString &room) override;
    void addChatRoomText(const QString &room, const QString &text) override;
    void setChatRoomUsers(const QString &room, const QStringList &users) override;
    void setChannelList(const QStringList &entries) override;
    void setProjectList(const QStringList &entries) override;
    void activateProjectOptions(bool active) override;
    void setProjectLabel(const QString &text) override;
    void setUsersOnline(const QStringList &users) override;
    void setProjectChatUsers(const QStringList &users) override;
    void addProjectChatText(const QString &text) override;
    void setFileList(const QList<SharedFileRow> &rows) override;
    void refreshFileList() override;
    void openDownloadedFile(const QString &path) override;
    void fileAdded(bool ok) override;
    void certificateRefused(const CertificateCheck &check) override;
    bool failOver() override;
    bool reconnecting() const override { return mReconnecting; }
    void signInRefused() override;

signals:
    void connectedChanged(bool connected);

private:
    class BookingsRelay;
    void buildNetworkPage(QWidget *page);
    void buildQuickBar(QWidget *page);
    bool inProject() const;
    // Hands the note of a settled password to the status box while this lives.
    TSetupTools::PasswordKept passwordNoter();
    void setConnectCaptions(const QString &caption);
    void showState();
    // The mark of an encrypted or a plain connection, while connected, and
    // of a connection being restored.
    void showEncryption();
    // A new client for the failover's current server.
    void connectToCurrentServer();
    // An attempt that has not connected or signed in in time is ended.
    void attemptTimedOut();
    // The connected views stay, marked, while the connection is restored.
    void showReconnecting();
    // Once signed in again: the rooms still open and the project.
    void rejoinSession();
    // The connection while signed in: requests are sent on no other.
    TClient *signedInClient() const;
    void logLine(const QString &line);

    TForm1 &mForm;
    std::unique_ptr<TMemoryBookings> mMemoryBookings;
    std::unique_ptr<BookingsRelay> mRelay;
    std::function<bool(const QString &, const QString &)> mBookedOut;
    std::unique_ptr<TClientBrain> mBrain;
    TNetworkLog *mLog = nullptr;
    TAddressLookup *mLookup = nullptr;
    bool mConnected = false;
    bool mEncrypted = false;
    bool mReconnecting = false;
    TServerFailover mFailover;

    QList<QPointer<TChatRoomMenu>> mRooms;
    QPointer<TChatChannelListMenu> mChannelList;
    QPointer<TProjectListing> mProjectList;
    QPointer<TProjectFileManager> mFileManager;
    QPointer<TProjectChatRoom> mProjectChat;

    QStackedWidget *mPageViews = nullptr;
    QStackedWidget *mQuickViews = nullptr;
    QPushButton *mConnectButton = nullptr;
    QPushButton *mQuickConnect = nullptr;
    QLabel *mEncryptedMark = nullptr;
    QLabel *mNotEncryptedMark = nullptr;
    QLabel *mReconnectingMark = nullptr;
    QPlainTextEdit *mNetworkStatus = nullptr;
    QPlainTextEdit *mChatStatus = nullptr;
    QLineEdit *mChatEdit = nullptr;
    QLabel *mProjectLabel = nullptr;
    QListWidget *mUsersOnline = nullptr;
    QList<QWidget *> mProjectOptions;   // shown only while in a project
    QList<QWidget *> mOutsideProject;   // "show all" and "create"

    // What the pages show, kept while they are not built yet.
    QStringList mStatusLines;
    QStringList mChatLines;
    bool mInProject = false;
    QString mProjectText;
    QStringList mUsers;
};

} // namespace Quorvant::Network
