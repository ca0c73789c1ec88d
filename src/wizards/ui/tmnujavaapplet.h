// "Insert a Java Applet": an APPLET start tag.
#pragma once

#include "mediamarkup.h"
#include "smallwizarddialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace Quorvant {

class TMnuJavaApplet : public TSmallWizardDialog
{
    Q_OBJECT
public:
    explicit TMnuJavaApplet(TForm1 &form);

    AppletChoices choices() const;

protected:
    void writeTo(ITextBuffer *buffer) override;

private:
    QLineEdit *m_code = nullptr;
    QLineEdit *m_codebase = nullptr;
    QLineEdit *m_name = nullptr;
    QLineEdit *m_alt = nullptr;
    QLineEdit *m_width = nullptr;
    QLineEdit *m_height = nullptr;
    QLineEdit *m_vspace = nullptr;
    QLineEdit *m_hspace = nullptr;
    QComboBox *m_align = nullptr;
    QLineEdit *m_cabbase = nullptr;
    QLineEdit *m_archive = nullptr;
    QCheckBox *m_mayScript = nullptr;
};

} // namespace Quorvant
