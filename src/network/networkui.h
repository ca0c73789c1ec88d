// What the dispatcher changes in the user interface, as one interface the
// window layer implements: message boxes (routed to the message service),
// the chat and project windows and the main window's network controls.
// Keeps the protocol logic free of widgets and lets tests record each effect.
#pragma once

#include "knownservers.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Quorvant::Network {

enum class NetworkMessageKind { Information, Error };

// One row of the file manager's list of shared files.
struct SharedFileRow
{
    QString FileName;
    QString BookingStatus;  // "TRUE" when booked out
    QString UserShared;
    bool operator==(const SharedFileRow &) const = default;
};

class NetworkUi
{
public:
    virtual ~NetworkUi() = default;

    // A message box with one OK button.
    virtual void showMessage(const QString &text, NetworkMessageKind kind) = 0;
    // A line for the chat status box.
    virtual void chatStatus(const QString &line) = 0;
    virtual void statusBarText(const QString &text) = 0;

    // Signed in: captions "Disconnect From Network", the connected views.
    virtual void showConnected() = 0;
    // Connection ended: the network tab's caption "Connect To Network", the
    // not-connected views.
    virtual void showDisconnected() = 0;

    // Chat rooms, found by name ignoring letter case (GetChatRoom).
    virtual bool hasChatRoom(const QString &room) = 0;
    virtual void openChatRoom(const QString &room) = 0;
    virtual void addChatRoomText(const QString &room, const QString &text) = 0;
    virtual void setChatRoomUsers(const QString &room, const QStringList &users) = 0;

    // Called only while the channel list / project list is open.
    virtual void setChannelList(const QStringList &entries) = 0;
    virtual void setProjectList(const QStringList &entries) = 0;

    // ActivateProjectOptions, and the project name label.
    virtual void activateProjectOptions(bool active) = 0;
    virtual void setProjectLabel(const QString &text) = 0;

    virtual void setUsersOnline(const QStringList &users) = 0;
    // Called only while the project chat window is open.
    virtual void setProjectChatUsers(const QStringList &users) = 0;
    virtual void addProjectChatText(const QString &text) = 0;

    // Called only while the file manager is open.
    virtual void setFileList(const QList<SharedFileRow> &rows) = 0;
    // The file manager's RefreshList (a new file list request).
    virtual void refreshFileList() = 0;

    // Opens a downloaded file as a document marked as a network file
    // (gNetworkFile of the document set).
    virtual void openDownloadedFile(const QString &path) = 0;

    // The server has answered an "ADDP": the upload loop sends its next file.
    virtual void fileAdded(bool /*ok*/) {}

    // The connection attempt ended because the server's certificate was not
    // accepted: ask the user about an unknown one, say why otherwise. Comes
    // instead of the disconnect message.
    virtual void certificateRefused(const CertificateCheck & /*check*/) {}

    // The connection ended, neither by the user's wish nor for its
    // certificate: true when another attempt follows (to the next server,
    // or to reconnect), which the window layer reports itself; false lets
    // the disconnect be reported and shown as ever.
    virtual bool failOver() { return false; }
    // A lost session is being restored: its sign-in is not announced.
    virtual bool reconnecting() const { return false; }
    // The server refused the sign-in or the new account: no further attempt.
    virtual void signInRefused() {}
};

} // namespace Quorvant::Network
