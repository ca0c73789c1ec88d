#include "projectchatroom.h"

#include "chatwidgets.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

namespace Quorvant::Network {

TProjectChatRoom::TProjectChatRoom(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TProjectChatRoom"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Internal Project Chat Room"));
    resize(520, 360);
    const ChatWidgets parts = ChatWidgets::build(this);
    ChatMemo = parts.memo;
    ListBox1 = parts.users;
    ChatEdit = parts.edit;
    // Bounded like a chat room's history.
    ChatMemo->setMaximumBlockCount(20000);
    connect(ChatEdit, &QLineEdit::returnPressed, this, [this] {
        if (sendMessage)
            sendMessage(ChatEdit->text().left(ChatWidgets::kMaxLine));
        ChatEdit->clear();
    });
}

void TProjectChatRoom::addText(const QString &text)
{
    ChatMemo->appendPlainText(text);
}

void TProjectChatRoom::setUsers(const QStringList &users)
{
    ListBox1->clear();
    ListBox1->addItems(users);
}

void TProjectChatRoom::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous() && requestUsers)
        requestUsers();
}

void TProjectChatRoom::closeEvent(QCloseEvent *event)
{
    if (closed)
        closed();
    event->accept();
}

} // namespace Quorvant::Network
