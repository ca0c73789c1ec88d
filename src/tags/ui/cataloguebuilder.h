// Builds the menus, bars and buttons of the catalogue onto the regions of a
// window and sends every pick to the handler of its kind.
#pragma once

#include "catalogue.h"
#include "markupstyle.h"

#include <functional>

#include <QHash>
#include <QObject>
#include <QSet>

#include <memory>
#include <vector>

class QWidget;

namespace Quorvant {

class TCatalogueBuilder : public QObject
{
    Q_OBJECT
public:
    // Called once per step of an insertion, in order.
    using InsertHandler = std::function<void(const QString &start, const QString &end)>;
    using IdHandler = std::function<void(const QString &id)>;

    explicit TCatalogueBuilder(QObject *parent = nullptr);

    void setInsertHandler(InsertHandler handler) { m_insert = std::move(handler); }
    void setWizardHandler(IdHandler handler) { m_wizard = std::move(handler); }
    void setCommandHandler(IdHandler handler) { m_command = std::move(handler); }
    // Asked at each insertion: in HTML5 mode an entry's HTML5 steps are
    // written where it has them. Without a source the classic steps are.
    void setMarkupSource(std::function<MarkupStyle()> source) { m_markup = std::move(source); }

    // A place the table may name: a QMenu, a QToolBar, a QTabWidget, or a
    // widget with a box layout (which takes toolbars).
    void addRegion(const QString &name, QWidget *region);

    // Builds every entry in table order. Returns a message for each entry
    // that could not be placed; the others are built all the same. Entries
    // on a page that does not show with its window (a page control's other
    // pages, a hidden page control), and on the menus and bars they make,
    // are built when that page is first shown; their problems are logged then.
    QStringList build(const TCatalogue &catalogue);

    // Does what the entry's menu item or button does.
    void run(const TCatalogueEntry &entry) const;

private:
    QStringList placeInOrder(const QList<const TCatalogueEntry *> &entries);
    QStringList place(const TCatalogueEntry &e);
    QStringList buildEntry(const TCatalogueEntry &e);
    void buildWaiting(QWidget *page);
    void finishRows();
    QWidget *makeButton(QWidget *parent, const TCatalogueEntry &e, int iconSize, bool onToolbar);
    void addToBar(QWidget *place, QWidget *item);
    int iconSizeFor(QWidget *place) const;

    InsertHandler m_insert;
    IdHandler m_wizard;
    IdHandler m_command;
    std::function<MarkupStyle()> m_markup;
    QHash<QString, QWidget *> m_places;
    QHash<QWidget *, int> m_iconSizes;
    QList<QWidget *> m_rows;  // pages and regions that took toolbars
    QSet<QWidget *> m_rowsWithSpacer;
    // The tables built so far: connections and waiting pages point into them.
    std::vector<std::unique_ptr<const TCatalogue>> m_catalogues;
    // Places that exist only once the page they are on is built, and the
    // entries each waiting page still has to build, in table order.
    QHash<QString, QWidget *> m_deferredPlaces;
    QHash<QWidget *, QList<const TCatalogueEntry *>> m_waiting;
    QSet<QWidget *> m_pages;
    int m_depth = 0;  // builds under way; rows are finished when the last ends
};

} // namespace Quorvant
