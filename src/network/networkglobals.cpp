#include "networkglobals.h"

#include "client.h"

namespace Quorvant::Network {

TClient *gMyClient = nullptr;
QString gUserName;
QString gPassword;
bool gCreatingNewAccount = false;
bool gAutoConnect = false;
QString gHalvornIPAddress;
QString gHalvornPort;
QString gLastChatRoomName;
QString gLastProjectName;
QString gCurrentProjectName;
QString gFileBeingBookedIn;
QStringList gPendingChatJoins;
QStringList gPendingRoomUsers;
QStringList gFilesBeingBookedIn;
bool gNextFile = false;
bool gChannelListOpen = false;
bool gProjectListOpen = false;
bool gProjectFileManagerOpen = false;
bool gProjectChatOpen = false;

void DestroyClient()
{
    if (gMyClient)
        gMyClient->destroyLater();
    gMyClient = nullptr;
}

void clearPendingRequests()
{
    gPendingChatJoins.clear();
    gPendingRoomUsers.clear();
    gFilesBeingBookedIn.clear();
}

void resetNetworkGlobals()
{
    DestroyClient();
    gUserName.clear();
    gPassword.clear();
    gCreatingNewAccount = false;
    gAutoConnect = false;
    gHalvornIPAddress.clear();
    gHalvornPort.clear();
    gLastChatRoomName.clear();
    gLastProjectName.clear();
    gCurrentProjectName.clear();
    gFileBeingBookedIn.clear();
    clearPendingRequests();
    gNextFile = false;
    gChannelListOpen = false;
    gProjectListOpen = false;
    gProjectFileManagerOpen = false;
    gProjectChatOpen = false;
}

} // namespace Quorvant::Network
