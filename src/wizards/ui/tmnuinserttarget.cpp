#include "tmnuinserttarget.h"

#include "mediamarkup.h"
#include "tagplacement.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>

namespace Quorvant {

TMnuInsertTarget::TMnuInsertTarget(TForm1 &form)
    : TSmallWizardDialog(form, "MnuInsertTarget", QStringLiteral("Insert Target"))
{
    body()->addWidget(new QLabel(QStringLiteral("Please enter a name for your target location:"), this));
    m_name = new QComboBox(this);
    m_name->setObjectName(QStringLiteral("TargetBox"));
    m_name->setEditable(true);
    m_name->addItems(targetNames());
    m_name->setCurrentIndex(-1);
    m_name->setEditText(QString());
    body()->addWidget(m_name);
    addButtons();
}

void TMnuInsertTarget::writeTo(ITextBuffer *buffer)
{
    ptext(buffer, targetMarkup(m_name->currentText()), QString());
}

} // namespace Quorvant
