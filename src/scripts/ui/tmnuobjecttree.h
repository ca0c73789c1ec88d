// The "Javascript Object Tree": a stay-on-top tool window whose entries are
// inserted into the document by a double click.
#pragma once

#include <QWidget>

#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

namespace Quorvant {

class TMnuObjectTree : public QWidget
{
    Q_OBJECT
public:
    // Lives inside host, a top-level window; insert receives an entry's text.
    TMnuObjectTree(std::function<void(const QString &)> insert, QWidget *host);

    QTreeWidget *tree() const { return m_tree; }
    QWidget *host() const { return m_host; }
    void showTree();
    // Inserts the entry; a category inserts nothing.
    void activate(QTreeWidgetItem *item);

private:
    std::function<void(const QString &)> m_insert;
    QWidget *m_host;
    QTreeWidget *m_tree;
};

} // namespace Quorvant
