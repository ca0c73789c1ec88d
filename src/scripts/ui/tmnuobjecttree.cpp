#include "tmnuobjecttree.h"

#include "tjsobjecttree.h"

#include <QHeaderView>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Quorvant {

namespace {

constexpr int EntryRole = Qt::UserRole + 1;

void addNodes(QTreeWidgetItem *parent, QTreeWidget *tree, const QList<TObjectTreeNode> &nodes)
{
    for (const TObjectTreeNode &node : nodes) {
        auto *item = parent ? new QTreeWidgetItem(parent, {node.Text}) : new QTreeWidgetItem(tree, {node.Text});
        item->setData(0, EntryRole, !node.Category);
        if (node.Category) {
            QFont bold = item->font(0);
            bold.setBold(true);
            item->setFont(0, bold);
        }
        addNodes(item, tree, node.Children);
    }
}

} // namespace

TMnuObjectTree::TMnuObjectTree(std::function<void(const QString &)> insert, QWidget *host)
    : QWidget(host)
    , m_insert(std::move(insert))
    , m_host(host)
{
    setObjectName(QStringLiteral("MnuObjectTreePanel"));
    host->setObjectName(QStringLiteral("MnuObjectTree"));
    host->setWindowTitle(QStringLiteral("Javascript Object Tree"));
    host->setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    host->resize(300, 480);
    auto *hostLayout = host->layout() ? host->layout() : new QVBoxLayout(host);
    hostLayout->setContentsMargins(0, 0, 0, 0);
    hostLayout->addWidget(this);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("TreeView1"));
    m_tree->setHeaderHidden(true);
    m_tree->setAccessibleName(QStringLiteral("JavaScript objects"));
    m_tree->setToolTip(QStringLiteral("Double-click an entry to insert it"));
    addNodes(nullptr, m_tree, TJsObjectTree::roots());
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        m_tree->topLevelItem(i)->setExpanded(true);
    layout->addWidget(m_tree);
    // Double-clicking a category also opens or closes it; that is all it does.
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) { activate(item); });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), host), &QShortcut::activated, host, &QWidget::close);
}

void TMnuObjectTree::showTree()
{
    m_host->show();
    m_host->raise();
    m_host->activateWindow();
}

void TMnuObjectTree::activate(QTreeWidgetItem *item)
{
    if (item && item->data(0, EntryRole).toBool() && m_insert)
        m_insert(item->text(0));
}

} // namespace Quorvant
