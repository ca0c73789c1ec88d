// The internal debug window: an always-on-top window whose text box collects
// the diagnostic lines of every store.
#pragma once

#include "debugout.h"

#include <QWidget>

class QPlainTextEdit;

namespace Quorvant {

class TDebugMenu : public QWidget
{
    Q_OBJECT
public:
    explicit TDebugMenu(QWidget *parent = nullptr);

    QPlainTextEdit *Memo1() const { return m_memo; }
    // A DebugOut target that appends to Memo1 while this window exists.
    DebugOut target();
    QString text() const;

private:
    QPlainTextEdit *m_memo;
};

} // namespace Quorvant
