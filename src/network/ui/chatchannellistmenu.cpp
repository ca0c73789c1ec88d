#include "chatchannellistmenu.h"

#include "treeentries.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Quorvant::Network {

TChatChannelListMenu::TChatChannelListMenu(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TChatChannelListMenu"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Chat Channel Listing..."));
    resize(320, 360);
    auto *column = new QVBoxLayout(this);
    column->addWidget(new QLabel(QStringLiteral("Chat Channels:"), this));
    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setHeaderLabels({QStringLiteral("Channel Name")});
    ListView1->setRootIsDecorated(false);
    column->addWidget(ListView1, 1);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { joinSelected(); });
}

void TChatChannelListMenu::setEntries(const QStringList &entries)
{
    setTreeEntries(ListView1, entries);
}

QStringList TChatChannelListMenu::entries() const
{
    return treeEntries(ListView1);
}

void TChatChannelListMenu::joinSelected()
{
    QTreeWidgetItem *item = ListView1->currentItem();
    if (!item || !item->isSelected())
        return;
    if (!item->text(0).isEmpty() && join)
        join(item->text(0));
    close();
}

void TChatChannelListMenu::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    setEntries({QStringLiteral("Retreiving Data... Please Wait.")});
    if (requestList)
        requestList();
}

void TChatChannelListMenu::closeEvent(QCloseEvent *event)
{
    if (closed)
        closed();
    event->accept();
}

} // namespace Quorvant::Network
