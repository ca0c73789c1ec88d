#include "tmnuinserttarget.h"

#include "html5markup.h"
#include "mediamarkup.h"
#include "tagplacement.h"
#include "wizardsupport.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace Quorvant {

TMnuInsertTarget::TMnuInsertTarget(TForm1 &form)
    : TSmallWizardDialog(form, "MnuInsertTarget", QStringLiteral("Insert Target"))
{
    m_name = editableChoice(this, "TargetBox", targetNames());
    body()->addWidget(fieldLabel(QStringLiteral("Please enter a name for your target location:"), m_name));
    body()->addWidget(m_name);
    addButtons();
}

void TMnuInsertTarget::writeTo(ITextBuffer *buffer)
{
    const QString name = m_name->currentText();
    ptext(buffer, wizardMarkup() == MarkupStyle::Html5 ? html5TargetMarkup(name) : targetMarkup(name), QString());
}

} // namespace Quorvant
