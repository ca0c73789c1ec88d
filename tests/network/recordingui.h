// A NetworkUi and NetworkBookings that record every call, for the
// dispatcher tests and the end-to-end tests.
#pragma once

#include "networkbookings.h"
#include "networkui.h"

#include <QHash>
#include <QSet>
#include <QStringList>

namespace Quorvant::Network {

class RecordingUi : public NetworkUi
{
public:
    struct Message
    {
        QString text;
        NetworkMessageKind kind;
    };
    QList<Message> messages;
    QStringList chat;          // chat status box lines
    QStringList statusBar;
    QStringList calls;         // every other effect, as "name:argument"
    QSet<QString> rooms;       // upper-cased names of open room windows
    QHash<QString, QStringList> roomText;
    QHash<QString, QStringList> roomUsers;
    QStringList channelList, projectList, usersOnline, projectChatUsers, projectChat;
    QList<SharedFileRow> fileList;
    QStringList opened;
    bool connected = false;
    bool projectActive = false;

    QStringList messageTexts() const
    {
        QStringList out;
        for (const Message &m : messages)
            out.append(m.text);
        return out;
    }

    void showMessage(const QString &text, NetworkMessageKind kind) override { messages.append({text, kind}); }
    void chatStatus(const QString &line) override { chat.append(line); }
    void statusBarText(const QString &text) override { statusBar.append(text); }
    void showConnected() override { connected = true; calls.append("showConnected"); }
    void showDisconnected() override { connected = false; calls.append("showDisconnected"); }
    bool hasChatRoom(const QString &room) override { return rooms.contains(room.toUpper()); }
    void openChatRoom(const QString &room) override
    {
        rooms.insert(room.toUpper());
        calls.append("openChatRoom:" + room);
    }
    void addChatRoomText(const QString &room, const QString &text) override { roomText[room.toUpper()].append(text); }
    void setChatRoomUsers(const QString &room, const QStringList &users) override { roomUsers[room.toUpper()] = users; }
    void setChannelList(const QStringList &entries) override { channelList = entries; }
    void setProjectList(const QStringList &entries) override { projectList = entries; }
    void activateProjectOptions(bool active) override
    {
        projectActive = active;
        calls.append(QStringLiteral("activateProjectOptions:%1").arg(active));
    }
    void setProjectLabel(const QString &text) override { calls.append("setProjectLabel:" + text); }
    void setUsersOnline(const QStringList &users) override { usersOnline = users; }
    void setProjectChatUsers(const QStringList &users) override { projectChatUsers = users; }
    void addProjectChatText(const QString &text) override { projectChat.append(text); }
    void setFileList(const QList<SharedFileRow> &rows) override
    {
        fileList = rows;
        calls.append("setFileList");
    }
    void refreshFileList() override { calls.append("refreshFileList"); }
    void openDownloadedFile(const QString &path) override { opened.append(path); }
};

class RecordingBookings : public NetworkBookings
{
public:
    QStringList added, removed;  // "project/file/user"
    void addBooking(const QString &project, const QString &fileName, const QString &user) override
    {
        added.append(project + '/' + fileName + '/' + user);
    }
    void removeBooking(const QString &project, const QString &fileName, const QString &user) override
    {
        removed.append(project + '/' + fileName + '/' + user);
    }
};

} // namespace Quorvant::Network
