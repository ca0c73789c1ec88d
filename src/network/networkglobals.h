// The network session's working state, touched only on the UI thread.
#pragma once

#include <QString>
#include <QStringList>

namespace Quorvant::Network {

class TClient;

// The connection; null before the first sign-in and after a refused login
// or account. Owned: freed by DestroyClient or by the next sign-in.
extern TClient *gMyClient;
// The session's credentials (the sign-in copies them from the settings or
// from the login dialog).
extern QString gUserName;
extern QString gPassword;
extern bool gCreatingNewAccount;
extern bool gAutoConnect;
// Where the server is, from the address file.
extern QString gHalvornIPAddress;
extern QString gHalvornPort;
extern QString gLastChatRoomName;
extern QString gLastProjectName;
extern QString gCurrentProjectName;
extern QString gFileBeingBookedIn;
// Requests whose replies do not name what they answer, oldest first: the
// rooms of join/create requests, of room user requests and the files of
// book-in requests ("BFIN"). The server answers in order, so each reply
// takes the front entry.
extern QStringList gPendingChatJoins;
extern QStringList gPendingRoomUsers;
extern QStringList gFilesBeingBookedIn;
extern bool gNextFile;
extern bool gChannelListOpen;
extern bool gProjectListOpen;
extern bool gProjectFileManagerOpen;
extern bool gProjectChatOpen;

// Frees gMyClient once the packet being handled is finished, and empties it.
void DestroyClient();

// Forgets every request still waiting for its reply (a connection ended or
// a new one starts).
void clearPendingRequests();

// Back to the start values; a live client is destroyed.
void resetNetworkGlobals();

} // namespace Quorvant::Network
