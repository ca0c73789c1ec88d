#include "serverlistwindow.h"

#include <QCloseEvent>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Quorvant::Network {

TServerListWindow::TServerListWindow(QWidget *parent, const QString &objectName, const QString &title,
                                     const QString &column)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(objectName);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    m_column = new QVBoxLayout(this);
    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setHeaderLabels({column});
    ListView1->setRootIsDecorated(false);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, [this] { joinSelected(); });
}

void TServerListWindow::setEntries(const QStringList &entries)
{
    ListView1->clear();
    for (const QString &e : entries)
        new QTreeWidgetItem(ListView1, {e});
}

QStringList TServerListWindow::entries() const
{
    QStringList out;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        out.append(ListView1->topLevelItem(i)->text(0));
    return out;
}

QTreeWidgetItem *TServerListWindow::selectedItem() const
{
    QTreeWidgetItem *item = ListView1->currentItem();
    return item && item->isSelected() ? item : nullptr;
}

void TServerListWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    setEntries({QStringLiteral("Retreiving Data... Please Wait.")});
    if (requestList)
        requestList();
}

void TServerListWindow::closeEvent(QCloseEvent *event)
{
    if (closed)
        closed();
    event->accept();
}

} // namespace Quorvant::Network
