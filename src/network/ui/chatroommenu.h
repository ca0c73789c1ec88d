// One chat room's window: the conversation as plain text (bounded), the
// room's users and the line the user types into.
#pragma once

#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace Quorvant::Network {

class TChatRoomMenu : public QWidget
{
    Q_OBJECT
public:
    // The most text a room keeps; older lines are dropped first.
    static constexpr qsizetype kHistoryChars = 1024 * 1024;

    explicit TChatRoomMenu(QWidget *parent = nullptr);

    QString RoomName;
    bool FreeMe = false;
    // Sends a message (Enter in the input line; false: not sent, the line
    // keeps it) and leaves the room (close).
    std::function<bool(const QString &room, const QString &text)> sendMessage;
    std::function<void(const QString &room)> leaveRoom;
    std::function<void(const QString &room)> requestUsers;

    void setRoom(const QString &room);
    // Lines arriving together are shown together, once control returns to
    // the event loop, so a flood of messages never blocks the window.
    void addText(const QString &text);
    void flush();
    void setUsers(const QStringList &users);

    QPlainTextEdit *ChatMemo = nullptr;
    QListWidget *ListBox1 = nullptr;
    QLineEdit *ChatEdit = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void send();
    void trim();
    qsizetype mChars = 0;
    QStringList mPending;
    QTimer mFlush;
};

} // namespace Quorvant::Network
