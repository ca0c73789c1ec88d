// "Open in new window...": a script that opens a page in a new window with
// the chosen window features.
#pragma once

#include "mediamarkup.h"
#include "smallwizarddialog.h"

class QCheckBox;
class QLineEdit;

namespace Quorvant {

class TMnuOpenInNewWindow : public TSmallWizardDialog
{
    Q_OBJECT
public:
    explicit TMnuOpenInNewWindow(TForm1 &form);

protected:
    void writeTo(ITextBuffer *buffer) override;

private:
    QLineEdit *m_title = nullptr;
    QLineEdit *m_url = nullptr;
    QLineEdit *m_width = nullptr;
    QLineEdit *m_height = nullptr;
    QCheckBox *m_features[WindowFeatureCount] = {};
};

} // namespace Quorvant
