#include "addnewproject.h"

#include "messageservice.h"
#include "namecheck.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace Quorvant::Network {

TAddNewProject::TAddNewProject(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TAddNewProject"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Add New Project."));
    auto *form = new QFormLayout(this);
    ProjectNameEdit = new QLineEdit(this);
    ProjectNameEdit->setObjectName(QStringLiteral("ProjectNameEdit"));
    ProjectNameEdit->setMaxLength(50);
    PasswordEdit = new QLineEdit(this);
    PasswordEdit->setObjectName(QStringLiteral("PasswordEdit"));
    PasswordEdit->setEchoMode(QLineEdit::Password);
    PasswordEdit->setMaxLength(50);
    form->addRow(QStringLiteral("Please enter the name of the project:"), ProjectNameEdit);
    form->addRow(QStringLiteral("Please enter a password for the project:"), PasswordEdit);
    auto *buttons = new QHBoxLayout;
    auto *doneButton = new QPushButton(QStringLiteral("Done"), this);
    doneButton->setObjectName(QStringLiteral("DoneButton"));
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    buttons->addStretch();
    buttons->addWidget(doneButton);
    buttons->addWidget(cancel);
    form->addRow(buttons);
    connect(doneButton, &QPushButton::clicked, this, &TAddNewProject::done);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TAddNewProject::done()
{
    if (ProjectNameEdit->text().isEmpty()) {
        MessageService::information(this, QStringLiteral("Error, You must have a name for your project, in the "
                                                         "\"project name\" field."));
        return;
    }
    if (!acceptName(this, ProjectNameEdit->text(), NameKind::Project))
        return;
    if (addProject)
        addProject(ProjectNameEdit->text(), PasswordEdit->text());
    accept();
}

} // namespace Quorvant::Network
