// "Internet Explorer: Page Transitions": a transition META tag.
#pragma once

#include "smallwizarddialog.h"

class QComboBox;
class QListWidget;
class QSpinBox;

namespace Quorvant {

class TMnuPageTransitions : public TSmallWizardDialog
{
    Q_OBJECT
public:
    explicit TMnuPageTransitions(TForm1 &form);

protected:
    void writeTo(ITextBuffer *buffer) override;

private:
    QComboBox *m_event = nullptr;
    QSpinBox *m_length = nullptr;
    QListWidget *m_effects = nullptr;
};

} // namespace Quorvant
