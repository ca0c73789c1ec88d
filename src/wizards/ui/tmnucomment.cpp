#include "tmnucomment.h"

#include "formattingmarkup.h"
#include "html5markup.h"
#include "tagplacement.h"
#include "toolkitglobals.h"
#include "wizardsupport.h"

#include <QScopedValueRollback>

#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace Quorvant {

TMnuComment::TMnuComment(TForm1 &form)
    : TSmallWizardDialog(form, "MnuComment", QStringLiteral("Add Web Page Comment"))
{
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("CommentEdit"));
    m_text->setTabChangesFocus(true);
    body()->addWidget(fieldLabel(QStringLiteral("Add a comment to the web page:"), m_text));
    body()->addWidget(m_text);
    addButtons();
}

void TMnuComment::writeTo(ITextBuffer *buffer)
{
    const MarkupPair m = wizardMarkup() == MarkupStyle::Html5 ? html5CommentMarkup(crLfText(m_text)) : commentMarkup(crLfText(m_text));
    // The text between "<!--" and "-->" is prose, not tag names: it keeps
    // its letter case whatever the tag case.
    const QScopedValueRollback<bool> asTyped(gNoCaseChange, true);
    ptext(buffer, m.start, m.end);
}

} // namespace Quorvant
