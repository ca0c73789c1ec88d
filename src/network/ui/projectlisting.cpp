#include "projectlisting.h"

#include "treeentries.h"

#include "messageservice.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Quorvant::Network {

TProjectListing::TProjectListing(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TProjectListing"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Projects Currently Active"));
    resize(340, 380);
    auto *column = new QVBoxLayout(this);
    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setHeaderLabels({QStringLiteral("Project Name")});
    ListView1->setRootIsDecorated(false);
    column->addWidget(ListView1, 1);
    auto *find = new QHBoxLayout;
    find->addWidget(new QLabel(QStringLiteral("Find Project By Name:"), this));
    find->addWidget(new QLineEdit(this), 1);
    column->addLayout(find);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { joinSelected(); });
}

void TProjectListing::setEntries(const QStringList &entries)
{
    setTreeEntries(ListView1, entries);
}

QStringList TProjectListing::entries() const
{
    return treeEntries(ListView1);
}

void TProjectListing::joinSelected()
{
    QTreeWidgetItem *item = ListView1->currentItem();
    if (!item || !item->isSelected())
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

void TProjectListing::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    setEntries({QStringLiteral("Retreiving Data... Please Wait.")});
    if (requestList)
        requestList();
}

void TProjectListing::closeEvent(QCloseEvent *event)
{
    if (closed)
        closed();
    event->accept();
}

} // namespace Quorvant::Network
