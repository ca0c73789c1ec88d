#include "chatwidgets.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QVBoxLayout>

namespace Quorvant::Network {

ChatWidgets ChatWidgets::build(QWidget *window)
{
    ChatWidgets w;
    auto *column = new QVBoxLayout(window);
    auto *split = new QSplitter(Qt::Horizontal, window);
    w.memo = new QPlainTextEdit(split);
    w.memo->setObjectName(QStringLiteral("ChatMemo"));
    w.memo->setReadOnly(true);
    w.memo->setUndoRedoEnabled(false);
    w.users = new QListWidget(split);
    w.users->setObjectName(QStringLiteral("ListBox1"));
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);
    column->addWidget(split, 1);
    w.edit = new QLineEdit(window);
    w.edit->setObjectName(QStringLiteral("ChatEdit"));
    w.edit->setMaxLength(kMaxLine);
    column->addWidget(w.edit);
    return w;
}

} // namespace Quorvant::Network
