// Every request the client sends, with the record fields each one fills.
// Name fields are cut to 50 characters, texts and file names to 255, the
// login record's fields to 31 (by the record widths).
#pragma once

#include <QByteArray>
#include <QString>

namespace Quorvant::Network {

class TClient;

// "LOGI" or "CRAT" with gUserName and gPassword.
void SendLoginInfo(TClient &client, QByteArrayView word);

// Chat requests; each one that names a room makes it gLastChatRoomName.
void SendJoinChatRoom(TClient &client, const QString &room);     // "JCHR"
void SendAddChatRoom(TClient &client, const QString &room);      // "ACHR"
void SendLeaveChatRoom(TClient &client, const QString &room);    // "LCHR"
void SendChatRoomUsers(TClient &client, const QString &room);    // "UCHR"
void SendChatMessage(TClient &client, const QString &room, const QString &text);  // "MCHR"
void SendChannelListRequest(TClient &client);                    // "GCHR"

// Project requests.
void SendProjectListRequest(TClient &client);                    // "VPRO"
void SendAddProject(TClient &client, const QString &project, const QString &password);   // "APRO"
void SendJoinProject(TClient &client, const QString &project, const QString &password);  // "JPRO"
void SendRemoveProject(TClient &client, const QString &password);  // "RPRO", gCurrentProjectName
void SendLeaveProject(TClient &client);                          // "LPRO"
void SendProjectUsers(TClient &client);                          // "UPRO"
void SendProjectMessage(TClient &client, const QString &text);   // "MPRO"
void SendFileList(TClient &client);                              // "FLIS", gLastProjectName
void SendAddFile(TClient &client, const QString &fileName, const QByteArray &content);     // "ADDP"
void SendUploadFile(TClient &client, const QString &fileName, const QByteArray &content);  // "UPFL"
// "REMP", "GTFD", "BFOU" or "BFIN" for a file of gCurrentProjectName.
void SendProjectFileRequest(TClient &client, QByteArrayView word, const QString &fileName);

// Booking: each is queued so its reply knows which file it answers.
// "BFOU"; the dispatcher sends "GTFD" after its "GOOD".
void SendBookOut(TClient &client, const QString &fileName);
void SendDownload(TClient &client, const QString &fileName);  // "GTFD" of a file booked out
// "UPFL" with the content; the dispatcher sends "BFIN" after its "GOOD".
void SendBookInUpload(TClient &client, const QString &fileName, const QByteArray &content);
void SendBookIn(TClient &client, const QString &fileName);  // "BFIN"

// The project owner's requests, for gCurrentProjectName.
void SendRemoveMember(TClient &client, const QString &member);             // "REMM"
void SendChangeProjectPassword(TClient &client, const QString &password);  // "CHPP"

} // namespace Quorvant::Network
