// "Insert Sound.": a hidden EMBED and a BGSOUND for a music file.
#pragma once

#include "smallwizarddialog.h"

class QLineEdit;

namespace Quorvant {

class TMnuSound : public TSmallWizardDialog
{
    Q_OBJECT
public:
    explicit TMnuSound(TForm1 &form);

protected:
    void writeTo(ITextBuffer *buffer) override;

private:
    void browse();

    QLineEdit *m_file = nullptr;
};

} // namespace Quorvant
