// The rows of a one-column list of names (channels, projects).
#pragma once

#include <QStringList>
#include <QTreeWidget>

namespace Quorvant::Network {

inline void setTreeEntries(QTreeWidget *list, const QStringList &entries)
{
    list->clear();
    for (const QString &e : entries)
        new QTreeWidgetItem(list, {e});
}

inline QStringList treeEntries(const QTreeWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        out.append(list->topLevelItem(i)->text(0));
    return out;
}

} // namespace Quorvant::Network
