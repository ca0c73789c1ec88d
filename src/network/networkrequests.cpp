#include "networkrequests.h"

#include "client.h"
#include "networkglobals.h"
#include "networkrecords.h"
#include "wireformat.h"

namespace Quorvant::Network {

namespace {

constexpr int kNameChars = 50;

void sendChat(TClient &client, QByteArrayView word, const QString &user, const QString &room, const QString &text = {})
{
    TNetworkChatRoom record;
    record.UserName = user;
    record.RoomName = room;
    record.MessageText = text;
    if (!room.isEmpty())
        gLastChatRoomName = room.left(kNameChars);
    client.ClientSendMessage(word, record.toBytes());
}

void sendProject(TClient &client, QByteArrayView word, const TNetworkProject &record, const QByteArray *content = nullptr)
{
    QByteArray payload = record.toBytes();
    if (content)
        payload += EncodeString(*content);
    client.ClientSendMessage(word, payload);
}

// Creating and joining a project send the same record; the name is kept so
// the answer can be matched to it.
void sendProjectEntry(TClient &client, QByteArrayView word, const QString &project, const QString &password)
{
    TNetworkProject record;
    record.ProjectName = project;
    record.UserName = gUserName;
    record.Password = password;
    gLastProjectName = project.left(kNameChars);
    sendProject(client, word, record);
}

} // namespace

void SendLoginInfo(TClient &client, QByteArrayView word)
{
    TLoginInfo info;
    info.LoginName = gUserName;
    info.Password = gPassword;
    client.ClientSendMessage(word, info.toBytes());
}

void SendJoinChatRoom(TClient &client, const QString &room)
{
    gPendingChatJoins.append(room.left(kNameChars));
    sendChat(client, "JCHR", gUserName, room);
}

void SendAddChatRoom(TClient &client, const QString &room)
{
    gPendingChatJoins.append(room.left(kNameChars));
    sendChat(client, "ACHR", gUserName, room);
}

void SendLeaveChatRoom(TClient &client, const QString &room)
{
    sendChat(client, "LCHR", gUserName, room);
}

void SendChatRoomUsers(TClient &client, const QString &room)
{
    gPendingRoomUsers.append(room.left(kNameChars));
    sendChat(client, "UCHR", QString(), room);
}

void SendChatMessage(TClient &client, const QString &room, const QString &text)
{
    sendChat(client, "MCHR", gUserName, room, text);
}

void SendChannelListRequest(TClient &client)
{
    client.ClientSendMessage("GCHR", "....");
}

void SendProjectListRequest(TClient &client)
{
    client.ClientSendMessage("VPRO", "....");
}

void SendAddProject(TClient &client, const QString &project, const QString &password)
{
    sendProjectEntry(client, "APRO", project, password);
}

void SendJoinProject(TClient &client, const QString &project, const QString &password)
{
    sendProjectEntry(client, "JPRO", project, password);
}

void SendRemoveProject(TClient &client, const QString &password)
{
    TNetworkProject record;
    record.ProjectName = gCurrentProjectName;
    record.UserName = gUserName;
    record.Password = password;
    sendProject(client, "RPRO", record);
}

void SendLeaveProject(TClient &client)
{
    TNetworkProject record;
    record.ProjectName = gCurrentProjectName;
    record.UserName = gUserName;
    sendProject(client, "LPRO", record);
}

void SendProjectUsers(TClient &client)
{
    TNetworkProject record;
    record.ProjectName = gCurrentProjectName;
    sendProject(client, "UPRO", record);
}

void SendProjectMessage(TClient &client, const QString &text)
{
    TNetworkProject record;
    record.ProjectName = gCurrentProjectName;
    record.UserName = gUserName;
    record.MessageText = text;
    sendProject(client, "MPRO", record);
}

void SendFileList(TClient &client)
{
    TNetworkProject record;
    record.ProjectName = gLastProjectName;
    sendProject(client, "FLIS", record);
}

void SendAddFile(TClient &client, const QString &fileName, const QByteArray &content)
{
    TNetworkProject record;
    record.ProjectName = gCurrentProjectName;
    record.UserName = gUserName;
    record.FileName = fileName;
    sendProject(client, "ADDP", record, &content);
}

void SendUploadFile(TClient &client, const QString &fileName, const QByteArray &content)
{
    TNetworkProject record;
    record.ProjectName = gCurrentProjectName;
    record.FileName = fileName;
    sendProject(client, "UPFL", record, &content);
}

void SendProjectFileRequest(TClient &client, QByteArrayView word, const QString &fileName)
{
    TNetworkProject record;
    record.ProjectName = gCurrentProjectName;
    record.FileName = fileName;
    sendProject(client, word, record);
}

void SendBookOut(TClient &client, const QString &fileName)
{
    client.awaitedFiles().bookOuts.append(fileName);
    SendProjectFileRequest(client, "BFOU", fileName);
}

void SendDownload(TClient &client, const QString &fileName)
{
    client.awaitedFiles().downloads.append(fileName);
    SendProjectFileRequest(client, "GTFD", fileName);
}

void SendBookInUpload(TClient &client, const QString &fileName, const QByteArray &content)
{
    client.awaitedFiles().uploads.append(fileName);
    SendUploadFile(client, fileName, content);
}

void SendBookIn(TClient &client, const QString &fileName)
{
    gFilesBeingBookedIn.append(fileName);
    SendProjectFileRequest(client, "BFIN", fileName);
}

void SendRemoveMember(TClient &client, const QString &member)
{
    TNetworkProject record;
    record.ProjectName = gCurrentProjectName;
    record.UserName = member;
    sendProject(client, "REMM", record);
}

void SendChangeProjectPassword(TClient &client, const QString &password)
{
    TNetworkProject record;
    record.ProjectName = gCurrentProjectName;
    record.Password = password;
    sendProject(client, "CHPP", record);
}

} // namespace Quorvant::Network
