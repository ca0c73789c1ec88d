// The chat window of the project the user is in.
#pragma once

#include <QWidget>

#include <functional>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace Quorvant::Network {

class TProjectChatRoom : public QWidget
{
    Q_OBJECT
public:
    explicit TProjectChatRoom(QWidget *parent = nullptr);

    void addText(const QString &text);
    void setUsers(const QStringList &users);

    std::function<void(const QString &text)> sendMessage;
    std::function<void()> requestUsers;
    std::function<void()> closed;

    QPlainTextEdit *ChatMemo = nullptr;
    QListWidget *ListBox1 = nullptr;
    QLineEdit *ChatEdit = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
};

} // namespace Quorvant::Network
