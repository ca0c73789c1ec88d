#include "chatroommenu.h"

#include "chatwidgets.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace Quorvant::Network {

TChatRoomMenu::TChatRoomMenu(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TChatRoomMenu"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(QStringLiteral("Room Name: "));
    resize(560, 380);
    const ChatWidgets parts = ChatWidgets::build(this);
    ChatMemo = parts.memo;
    ListBox1 = parts.users;
    ChatEdit = parts.edit;
    connect(ChatEdit, &QLineEdit::returnPressed, this, &TChatRoomMenu::send);
    mFlush.setSingleShot(true);
    mFlush.setInterval(10);
    connect(&mFlush, &QTimer::timeout, this, &TChatRoomMenu::flush);
}

void TChatRoomMenu::setRoom(const QString &room)
{
    RoomName = room;
    setWindowTitle(QStringLiteral("Room Name: ") + room);
}

void TChatRoomMenu::addText(const QString &text)
{
    mPending.append(text);
    if (!mFlush.isActive())
        mFlush.start();
}

void TChatRoomMenu::flush()
{
    mFlush.stop();
    if (mPending.isEmpty())
        return;
    // Only what can be kept is inserted.
    qsizetype keep = 0;
    qsizetype first = mPending.size();
    while (first > 0 && keep + mPending[first - 1].size() + 1 <= kHistoryChars) {
        --first;
        keep += mPending[first].size() + 1;
    }
    const QString block = QStringList(mPending.mid(first)).join(QLatin1Char('\n'));
    mPending.clear();
    if (block.isEmpty() && first > 0)
        return;
    ChatMemo->appendPlainText(block);
    mChars += keep;
    trim();
}

void TChatRoomMenu::trim()
{
    if (mChars <= kHistoryChars)
        return;
    // Drops whole lines from the start until the room is back under its cap.
    QTextDocument *doc = ChatMemo->document();
    QTextCursor cursor(doc);
    cursor.movePosition(QTextCursor::Start);
    qsizetype drop = 0;
    QTextBlock block = doc->begin();
    while (block.isValid() && mChars - drop > kHistoryChars * 3 / 4) {
        drop += block.length();
        block = block.next();
    }
    if (!block.isValid())
        return;
    cursor.setPosition(block.position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    mChars -= drop;
}

void TChatRoomMenu::setUsers(const QStringList &users)
{
    ListBox1->clear();
    ListBox1->addItems(users);
}

void TChatRoomMenu::send()
{
    const QString text = ChatEdit->text().left(ChatWidgets::kMaxLine);
    if (sendMessage && !sendMessage(RoomName, text))
        return;
    ChatEdit->clear();
}

void TChatRoomMenu::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    FreeMe = false;
    if (requestUsers)
        requestUsers(RoomName);
}

void TChatRoomMenu::closeEvent(QCloseEvent *event)
{
    FreeMe = true;
    if (leaveRoom)
        leaveRoom(RoomName);
    event->accept();  // hidden, not destroyed: its slot keeps it until reused
}

void TChatRoomMenu::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    raise();
}

} // namespace Quorvant::Network
