// "Goto Target": a link to one of the page's named anchors, chosen from the
// list or typed; with no target, Done writes nothing.
#pragma once

#include "smallwizarddialog.h"

class QLineEdit;
class QListWidget;

namespace Quorvant {

class TMnuGotoTarget : public TSmallWizardDialog
{
    Q_OBJECT
public:
    explicit TMnuGotoTarget(TForm1 &form);

protected:
    void writeTo(ITextBuffer *buffer) override;

private:
    QListWidget *m_targets = nullptr;
    QLineEdit *m_target = nullptr;
};

} // namespace Quorvant
