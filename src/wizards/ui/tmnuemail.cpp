#include "tmnuemail.h"

#include "html5markup.h"
#include "mainwindow.h"

#include "messageservice.h"
#include "tagplacement.h"
#include "wizardsupport.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace Quorvant {

TMnuEmail::TMnuEmail(TForm1 &form, QWidget *parent)
    : QDialog(parent)
    , m_form(form)
{
    setObjectName(QStringLiteral("MnuEmail"));
    setWindowTitle(QLatin1String(EmailDialogCaption));
    setModal(true);
    fitToScreen(this);

    m_linkText = new QPlainTextEdit(this);
    m_linkText->setObjectName(QStringLiteral("LinkTextMemo"));
    m_linkText->setMaximumHeight(60);
    m_linkText->setTabChangesFocus(true);
    m_subject = new QLineEdit(this);
    m_subject->setObjectName(QStringLiteral("SubjectEdit"));
    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("AddressEdit"));
    m_message = new QPlainTextEdit(this);
    m_message->setObjectName(QStringLiteral("MessageMemo"));
    m_message->setTabChangesFocus(true);

    QHBoxLayout *buttons = doneCancelRow(this, form, [this] { doneClick(); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fieldLabel(QStringLiteral("Please enter the link text:"), m_linkText));
    layout->addWidget(m_linkText);
    layout->addWidget(fieldLabel(QStringLiteral("Message Subject:"), m_subject));
    layout->addWidget(m_subject);
    layout->addWidget(fieldLabel(QStringLiteral("E-Mail Address to link to: (e.g. someone@example.com)"), m_address));
    layout->addWidget(m_address);
    layout->addWidget(fieldLabel(QStringLiteral("Message Text:"), m_message));
    layout->addWidget(m_message, 1);
    layout->addLayout(buttons);
    resize(400, 360);
}

TEmailLinkSettings TMnuEmail::settings() const
{
    return {crLfText(m_linkText), m_subject->text(), m_address->text(), crLfText(m_message)};
}

void TMnuEmail::doneClick()
{
    const TEmailLinkSettings s = settings();
    if (emailAddressLooksInvalid(s.address)
        && MessageService::show(this, QLatin1String(InvalidEmailQuestion), MessageIcon::Warning, YesNo) != mbYes)
        return;
    const MarkupPair texts = wizardMarkup() == MarkupStyle::Html5 ? html5EmailLinkTexts(s) : emailLinkTexts(s);
    m_form.withBuffer([&texts](ITextBuffer *buffer) { ptext(buffer, texts.start, texts.end); });
    accept();
}

} // namespace Quorvant
