#include "projectchatroom.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QVBoxLayout>

namespace Quorvant::Network {

TProjectChatRoom::TProjectChatRoom(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TProjectChatRoom"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Internal Project Chat Room"));
    resize(520, 360);
    auto *column = new QVBoxLayout(this);
    auto *split = new QSplitter(Qt::Horizontal, this);
    ChatMemo = new QPlainTextEdit(split);
    ChatMemo->setObjectName(QStringLiteral("ChatMemo"));
    ChatMemo->setReadOnly(true);
    ChatMemo->setUndoRedoEnabled(false);
    // Bounded like a chat room's history.
    ChatMemo->setMaximumBlockCount(20000);
    ListBox1 = new QListWidget(split);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);
    column->addWidget(split, 1);
    ChatEdit = new QLineEdit(this);
    ChatEdit->setObjectName(QStringLiteral("ChatEdit"));
    ChatEdit->setMaxLength(255);
    column->addWidget(ChatEdit);
    connect(ChatEdit, &QLineEdit::returnPressed, this, [this] {
        if (sendMessage)
            sendMessage(ChatEdit->text().left(255));
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
