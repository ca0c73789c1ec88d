// "Add Web Page Comment": an HTML comment, or one around the selection.
#pragma once

#include "smallwizarddialog.h"

class QPlainTextEdit;

namespace Quorvant {

class TMnuComment : public TSmallWizardDialog
{
    Q_OBJECT
public:
    explicit TMnuComment(TForm1 &form);

protected:
    void writeTo(ITextBuffer *buffer) override;

private:
    QPlainTextEdit *m_text = nullptr;
};

} // namespace Quorvant
