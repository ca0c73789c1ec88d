#include "smallwizarddialog.h"

#include "documentset.h"
#include "mainwindow.h"
#include "wizardsupport.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Quorvant {

bool hasCurrentDocument(TForm1 &form)
{
    return form.documents() && form.documents()->currentBuffer();
}

TSmallWizardDialog::TSmallWizardDialog(TForm1 &form, const char *objectName, const QString &caption)
    : QDialog(&form)
    , m_form(form)
{
    setObjectName(QLatin1String(objectName));
    setWindowTitle(caption);
    auto *outer = new QVBoxLayout(this);
    m_body = new QVBoxLayout;
    outer->addLayout(m_body);
}

void TSmallWizardDialog::addButtons(const QString &helpTopic, const QString &helpCaption)
{
    auto *row = new QHBoxLayout;
    if (!helpTopic.isEmpty()) {
        QPushButton *help = helpMeButton(this, m_form, helpTopic);
        if (!helpCaption.isEmpty())
            help->setText(helpCaption);
        row->addWidget(help);
    }
    row->addStretch();
    auto *doneButton = new QPushButton(QStringLiteral("Done"), this);
    doneButton->setObjectName(QStringLiteral("DoneButton"));
    doneButton->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setAutoDefault(false);
    row->addWidget(doneButton);
    row->addWidget(cancel);
    connect(doneButton, &QPushButton::clicked, this, &TSmallWizardDialog::writeAndClose);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    static_cast<QVBoxLayout *>(layout())->addLayout(row);
}

void TSmallWizardDialog::writeAndClose()
{
    m_form.withBuffer([this](ITextBuffer *buffer) { writeTo(buffer); });
    accept();
}

QBoxLayout *TSmallWizardDialog::withButton(QLineEdit *field, QPushButton *button)
{
    auto *row = new QHBoxLayout;
    row->addWidget(field, 1);
    row->addWidget(button);
    button->setAutoDefault(false);
    return row;
}

QString TSmallWizardDialog::defaultFolder()
{
    return QDir::homePath();
}

} // namespace Quorvant
