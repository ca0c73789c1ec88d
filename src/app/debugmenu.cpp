#include "debugmenu.h"

#include <QPlainTextEdit>
#include <QPointer>
#include <QShortcut>
#include <QVBoxLayout>

namespace Quorvant {

TDebugMenu::TDebugMenu(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
    , m_memo(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("DebugMenu"));
    setWindowTitle(QStringLiteral("DebugMenu"));
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setReadOnly(true);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->setTabChangesFocus(true);
    m_memo->setAccessibleName(QStringLiteral("Diagnostic messages"));
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_memo);
    resize(520, 320);
}

DebugOut TDebugMenu::target()
{
    QPointer<QPlainTextEdit> memo = m_memo;
    return [memo](const QString &line) {
        if (memo)
            memo->appendPlainText(line);
    };
}

QString TDebugMenu::text() const
{
    return m_memo->toPlainText();
}

} // namespace Quorvant
