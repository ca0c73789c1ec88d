#include "tnewprojectdialog.h"

#include "messageservice.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace Quorvant {

TNewProjectDialog::TNewProjectDialog(std::function<bool(const TNewProjectValues &)> done, QWidget *parent)
    : QDialog(parent)
    , m_done(std::move(done))
{
    setObjectName(QStringLiteral("NewProjectDialog"));
    setWindowTitle(QStringLiteral("Create a new project file..."));
    auto *column = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("Project quick start:"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    column->addWidget(heading);

    auto *form = new QFormLayout;
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("ProjectNameEdit"));
    form->addRow(QStringLiteral("Project Name:"), m_name);
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("WebsiteTypeBox"));
    m_type->setEditable(true);
    m_type->addItems({QStringLiteral("Corporate"), QStringLiteral("Business"), QStringLiteral("Personal")});
    m_type->setCurrentText(QStringLiteral("Business"));
    form->addRow(QStringLiteral("Website type:"), m_type);
    m_language = new QComboBox(this);
    m_language->setObjectName(QStringLiteral("LanguageBox"));
    m_language->setEditable(true);
    m_language->addItems({QStringLiteral("XHTML"), QStringLiteral("HTML 4"), QStringLiteral("HTML 3.2"),
                          QStringLiteral("HTML 2"), QStringLiteral("XML"), QStringLiteral("ASP"),
                          QStringLiteral("Cold Fusion"), QStringLiteral("DHTML"), QStringLiteral("Flash")});
    m_language->setCurrentText(QStringLiteral("HTML 4"));
    form->addRow(QStringLiteral("Project language:"), m_language);
    column->addLayout(form);
    m_notes = new QPlainTextEdit(this);
    m_notes->setObjectName(QStringLiteral("NotesEdit"));
    m_notes->setTabChangesFocus(true);
    auto *notesLabel = new QLabel(QStringLiteral("Additional Project Notes:"), this);
    notesLabel->setBuddy(m_notes);
    column->addWidget(notesLabel);
    column->addWidget(m_notes);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *doneButton = buttons->addButton(QStringLiteral("Done"), QDialogButtonBox::AcceptRole);
    doneButton->setObjectName(QStringLiteral("DoneButton"));
    QPushButton *cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(doneButton, &QPushButton::clicked, this, &TNewProjectDialog::pressDone);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    column->addWidget(buttons);
}

void TNewProjectDialog::pressDone()
{
    if (m_name->text().isEmpty()) {
        MessageService::information(this, QStringLiteral("You must provide a project title."));
        return;
    }
    if (m_done({m_name->text(), m_type->currentText(), m_language->currentText(), m_notes->toPlainText()}))
        accept();
}

} // namespace Quorvant
