#include "tmnugototarget.h"

#include "documentset.h"
#include "mainwindow.h"
#include "mediamarkup.h"
#include "tagplacement.h"
#include "tmemosource.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace Quorvant {

TMnuGotoTarget::TMnuGotoTarget(TForm1 &form)
    : TSmallWizardDialog(form, "MnuGotoTarget", QStringLiteral("Goto Target"))
{
    auto *fields = new QFormLayout;
    body()->addLayout(fields);
    m_targets = new QListWidget(this);
    m_targets->setObjectName(QStringLiteral("TargetList"));
    m_targets->addItems(documentTargets(form.documents() ? form.documents()->currentBuffer() : nullptr));
    fields->addRow(QStringLiteral("Available Targets:"), m_targets);
    m_target = new QLineEdit(this);
    m_target->setObjectName(QStringLiteral("TargetEdit"));
    fields->addRow(QStringLiteral("Target:"), m_target);
    connect(m_targets, &QListWidget::currentTextChanged, m_target, &QLineEdit::setText);
    addButtons();
}

void TMnuGotoTarget::writeTo(ITextBuffer *buffer)
{
    const MarkupPair m = gotoTargetMarkup(m_target->text());
    ptext(buffer, m.start, m.end);
}

} // namespace Quorvant
