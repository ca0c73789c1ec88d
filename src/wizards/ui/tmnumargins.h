// "Change Page Margins": a BODY tag with four margins, at the caret.
#pragma once

#include "smallwizarddialog.h"

class QSpinBox;

namespace Quorvant {

class TMnuMargins : public TSmallWizardDialog
{
    Q_OBJECT
public:
    explicit TMnuMargins(TForm1 &form);

protected:
    void writeTo(ITextBuffer *buffer) override;

private:
    QSpinBox *m_top = nullptr;
    QSpinBox *m_left = nullptr;
    QSpinBox *m_bottom = nullptr;
    QSpinBox *m_right = nullptr;
};

} // namespace Quorvant
