#include "chatchannellistmenu.h"

#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Quorvant::Network {

TChatChannelListMenu::TChatChannelListMenu(QWidget *parent)
    : TServerListWindow(parent, QStringLiteral("TChatChannelListMenu"), QStringLiteral("Chat Channel Listing..."),
                        QStringLiteral("Channel Name"))
{
    resize(320, 360);
    column()->addWidget(new QLabel(QStringLiteral("Chat Channels:"), this));
    column()->addWidget(ListView1, 1);
}

void TChatChannelListMenu::joinSelected()
{
    QTreeWidgetItem *item = selectedItem();
    if (!item)
        return;
    if (!item->text(0).isEmpty() && join)
        join(item->text(0));
    close();
}

} // namespace Quorvant::Network
