#include "tmnugototarget.h"

#include "documentset.h"
#include "html5markup.h"
#include "mainwindow.h"
#include "mediamarkup.h"
#include "tagplacement.h"
#include "tmemosource.h"
#include "wizardsupport.h"

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
    m_targets->setAccessibleName(QStringLiteral("Available Targets"));
    m_targets->addItems(documentTargets(form.documents() ? form.documents()->currentBuffer() : nullptr));
    fields->addRow(QStringLiteral("Available Targets:"), m_targets);
    m_target = new QLineEdit(this);
    m_target->setObjectName(QStringLiteral("TargetEdit"));
    fields->addRow(QStringLiteral("Target:"), m_target);
    // A chosen entry is copied; the current row the list takes with the
    // focus as the dialog opens is no choice.
    connect(m_targets, &QListWidget::itemSelectionChanged, this, [this] {
        const QString chosen = chosenEntry(m_targets);
        if (!chosen.isEmpty())
            m_target->setText(chosen);
    });
    addButtons();
    m_target->setFocus();
}

void TMnuGotoTarget::writeTo(ITextBuffer *buffer)
{
    if (m_target->text().isEmpty())
        return;  // nothing chosen or typed: nothing to link to
    const MarkupPair m = wizardMarkup() == MarkupStyle::Html5 ? html5GotoTargetMarkup(m_target->text()) : gotoTargetMarkup(m_target->text());
    ptext(buffer, m.start, m.end);
}

} // namespace Quorvant
