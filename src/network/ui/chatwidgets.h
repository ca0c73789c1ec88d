// The parts every chat window shares, laid out in one column: the
// conversation (plain text only, so a message never becomes markup, links or
// images) beside the list of users, and the line the user types into.
#pragma once

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QWidget;

namespace Quorvant::Network {

struct ChatWidgets
{
    // The longest line a user may send.
    static constexpr int kMaxLine = 255;

    static ChatWidgets build(QWidget *window);

    QPlainTextEdit *memo = nullptr;
    QListWidget *users = nullptr;
    QLineEdit *edit = nullptr;
};

} // namespace Quorvant::Network
