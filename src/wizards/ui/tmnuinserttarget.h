// "Insert Target": a named anchor.
#pragma once

#include "smallwizarddialog.h"

class QComboBox;

namespace Quorvant {

class TMnuInsertTarget : public TSmallWizardDialog
{
    Q_OBJECT
public:
    explicit TMnuInsertTarget(TForm1 &form);

protected:
    void writeTo(ITextBuffer *buffer) override;

private:
    QComboBox *m_name = nullptr;
};

} // namespace Quorvant
