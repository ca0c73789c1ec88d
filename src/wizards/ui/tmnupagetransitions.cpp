#include "tmnupagetransitions.h"

#include "html5page.h"
#include "messageservice.h"
#include "wizardsupport.h"

#include "pagemarkup.h"
#include "tagplacement.h"

#include <QComboBox>
#include <QFormLayout>
#include <QListWidget>
#include <QSpinBox>
#include <QVBoxLayout>

namespace Quorvant {

TMnuPageTransitions::TMnuPageTransitions(TForm1 &form)
    : TSmallWizardDialog(form, "MnuPageTransitions", QStringLiteral("Internet Explorer: Page Transitions"))
{
    auto *fields = new QFormLayout;
    body()->addLayout(fields);
    m_event = new QComboBox(this);
    m_event->setObjectName(QStringLiteral("EventBox"));
    m_event->addItems(transitionEvents());
    m_event->setCurrentIndex(-1);
    fields->addRow(QStringLiteral("Start transition on:"), m_event);
    m_length = new QSpinBox(this);
    m_length->setObjectName(QStringLiteral("LengthBox"));
    m_length->setRange(1, 100);
    m_length->setValue(1);
    fields->addRow(QStringLiteral("Length of transition (seconds):"), m_length);
    m_effects = new QListWidget(this);
    m_effects->setObjectName(QStringLiteral("EffectList"));
    m_effects->addItems(transitionEffects());
    fields->addRow(QStringLiteral("Transition Effect:"), m_effects);
    m_effects->setAccessibleName(QStringLiteral("Transition Effect"));
    m_length->setFocus();
    addButtons();
}

void TMnuPageTransitions::writeTo(ITextBuffer *buffer)
{
    if (wizardMarkup() == MarkupStyle::Html5) {
        MessageService::information(this, QString::fromLatin1(NoHtml5TransitionsMessage));
        return;
    }
    const QList<QListWidgetItem *> selected = m_effects->selectedItems();
    const QString effect = selected.isEmpty() ? QString() : selected.first()->text();
    const QString text = transitionMarkup(m_event->currentText(), m_length->value(), effect);
    if (!text.isEmpty())
        ptext(buffer, text, QString());
}

} // namespace Quorvant
