#include "projectlisting.h"

#include "messageservice.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Quorvant::Network {

TProjectListing::TProjectListing(QWidget *parent)
    : TServerListWindow(parent, QStringLiteral("TProjectListing"), QStringLiteral("Projects Currently Active"),
                        QStringLiteral("Project Name"))
{
    resize(340, 380);
    column()->addWidget(ListView1, 1);
    auto *find = new QHBoxLayout;
    find->addWidget(new QLabel(QStringLiteral("Find Project By Name:"), this));
    find->addWidget(new QLineEdit(this), 1);
    column()->addLayout(find);
}

void TProjectListing::joinSelected()
{
    QTreeWidgetItem *item = selectedItem();
    if (!item)
        return;
    QString password;
    if (!MessageService::getText(this, QStringLiteral("Project Password"),
                                 QStringLiteral("Please enter the password for this project [Enter for none]:"),
                                 &password))
        password.clear();
    if (join)
        join(item->text(0).toUpper(), password);
    close();
}

} // namespace Quorvant::Network
