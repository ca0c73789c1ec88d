#include "cataloguebuilder.h"

#include "catalogueicons.h"
#include "lazypage.h"

#include <QAction>
#include <QBoxLayout>
#include <QFrame>
#include <QMenu>
#include <QPointer>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QtDebug>

namespace Quorvant {

namespace {

constexpr int DefaultIconSize = 20;

QBoxLayout *boxLayout(QWidget *w)
{
    return w ? qobject_cast<QBoxLayout *>(w->layout()) : nullptr;
}

QWidget *existingPage(QTabWidget *tabs, const QString &name)
{
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->widget(i)->objectName() == name)
            return tabs->widget(i);
    }
    return nullptr;
}

} // namespace

TCatalogueBuilder::TCatalogueBuilder(QObject *parent)
    : QObject(parent)
{
}

void TCatalogueBuilder::addRegion(const QString &name, QWidget *region)
{
    if (region)
        m_places.insert(name, region);
}

void TCatalogueBuilder::run(const TCatalogueEntry &entry) const
{
    switch (entry.kind) {
    case CatalogueKind::Insert:
        if (m_insert) {
            const bool html5 = m_markup && !entry.html5Steps.isEmpty() && m_markup() == MarkupStyle::Html5;
            for (const TInsertStep &step : html5 ? entry.html5Steps : entry.steps)
                m_insert(step.start, step.end);
        }
        break;
    case CatalogueKind::Wizard:
        if (m_wizard)
            m_wizard(entry.key);
        break;
    case CatalogueKind::Command:
        if (m_command)
            m_command(entry.key);
        break;
    default:
        break;
    }
}

QStringList TCatalogueBuilder::build(const TCatalogue &catalogue)
{
    m_catalogues.push_back(std::make_unique<const TCatalogue>(catalogue));
    QList<const TCatalogueEntry *> entries;
    entries.reserve(catalogue.entries.size());
    for (const TCatalogueEntry &e : m_catalogues.back()->entries)
        entries.append(&e);
    return placeInOrder(entries);
}

QStringList TCatalogueBuilder::placeInOrder(const QList<const TCatalogueEntry *> &entries)
{
    QStringList problems;
    ++m_depth;
    for (const TCatalogueEntry *e : entries) {
        for (const QString &p : place(*e))
            problems.append(QStringLiteral("line %1: %2").arg(e->line).arg(p));
    }
    if (--m_depth == 0)
        finishRows();
    return problems;
}

void TCatalogueBuilder::finishRows()
{
    // Buttons and toolbars keep to the left of a row unless it placed a spacer.
    for (QWidget *row : std::as_const(m_rows)) {
        if (!m_rowsWithSpacer.contains(row)) {
            m_rowsWithSpacer.insert(row);
            boxLayout(row)->addStretch(1);
        }
    }
    m_rows.clear();
}

QStringList TCatalogueBuilder::place(const TCatalogueEntry &e)
{
    if (QWidget *page = m_deferredPlaces.value(e.place)) {
        m_waiting[page].append(&e);
        switch (e.kind) {
        case CatalogueKind::Toolbar:
        case CatalogueKind::Tabs:
        case CatalogueKind::Page:
        case CatalogueKind::Menu:
            m_deferredPlaces.insert(e.name, page);
            break;
        default:
            break;
        }
        return {};
    }
    return buildEntry(e);
}

void TCatalogueBuilder::buildWaiting(QWidget *page)
{
    const QList<const TCatalogueEntry *> waiting = m_waiting.take(page);
    for (auto it = m_deferredPlaces.begin(); it != m_deferredPlaces.end();) {
        if (it.value() == page)
            it = m_deferredPlaces.erase(it);
        else
            ++it;
    }
    m_rows.append(page);
    const QStringList problems = placeInOrder(waiting);
    for (const QString &p : problems)
        qWarning("catalogue: %s", qUtf8Printable(p));
}

int TCatalogueBuilder::iconSizeFor(QWidget *place) const
{
    if (auto *bar = qobject_cast<QToolBar *>(place))
        return bar->iconSize().width();
    return m_iconSizes.value(place, DefaultIconSize);
}

QWidget *TCatalogueBuilder::makeButton(QWidget *parent, const TCatalogueEntry &e, int iconSize, bool onToolbar)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(e.name);
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);  // the editor keeps the keyboard
    b->setToolTip(e.hint);
    b->setAccessibleName(e.hint.isEmpty() ? e.caption : e.hint);
    const QIcon icon = catalogueIcon(e.icon);
    b->setText(e.caption.isEmpty() ? e.hint : e.caption);
    b->setIconSize(QSize(iconSize, iconSize));
    if (!icon.isNull()) {
        b->setIcon(icon);
        if (e.caption.isEmpty())
            b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        else if (onToolbar)
            b->setToolButtonStyle(static_cast<QToolBar *>(parent)->toolButtonStyle());
        else
            b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    } else {
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        b->setMinimumSize(iconSize + 6, iconSize + 6);
    }
    return b;
}

void TCatalogueBuilder::addToBar(QWidget *place, QWidget *item)
{
    if (auto *bar = qobject_cast<QToolBar *>(place))
        bar->addWidget(item);
    else
        boxLayout(place)->addWidget(item);
}

QStringList TCatalogueBuilder::buildEntry(const TCatalogueEntry &e)
{
    QWidget *place = m_places.value(e.place);
    if (!place)
        return {QStringLiteral("no place called %1").arg(e.place)};
    auto *menu = qobject_cast<QMenu *>(place);
    auto *bar = qobject_cast<QToolBar *>(place);
    auto *tabs = qobject_cast<QTabWidget *>(place);
    QBoxLayout *layout = boxLayout(place);
    const bool takesButtons = bar || (!menu && !tabs && layout);
    QStringList problems;
    if (!e.icon.isEmpty() && !catalogueIconExists(e.icon))
        problems.append(QStringLiteral("no icon called %1").arg(e.icon));
    auto wrongPlace = [&] {
        return QStringList{QStringLiteral("%1 cannot go on %2").arg(catalogueKindName(e.kind), e.place)};
    };

    switch (e.kind) {
    case CatalogueKind::Toolbar: {
        if (menu || bar || tabs || !layout)
            return wrongPlace();
        auto *tb = new QToolBar(e.caption, place);
        tb->setObjectName(e.name);
        const int size = e.key.toInt();
        if (size > 0)
            tb->setIconSize(QSize(size, size));
        layout->addWidget(tb);
        m_places.insert(e.name, tb);
        m_rows.append(place);
        break;
    }
    case CatalogueKind::Tabs: {
        if (!bar)
            return wrongPlace();
        auto *pages = new QTabWidget(bar);
        pages->setObjectName(e.name);
        pages->setDocumentMode(true);
        pages->setUsesScrollButtons(true);
        pages->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        bar->addWidget(pages);
        m_iconSizes.insert(pages, e.key.toInt() > 0 ? e.key.toInt() : DefaultIconSize);
        m_places.insert(e.name, pages);
        break;
    }
    case CatalogueKind::Page: {
        if (!tabs)
            return wrongPlace();
        QWidget *page = existingPage(tabs, e.name);
        if (!page) {
            page = new QWidget(tabs);
            page->setObjectName(e.name);
            tabs->addTab(page, e.caption);
        } else if (!e.caption.isEmpty()) {
            tabs->setTabText(tabs->indexOf(page), e.caption);
        }
        if (!page->layout()) {
            auto *row = new QHBoxLayout(page);
            row->setContentsMargins(2, 1, 2, 1);
            row->setSpacing(1);
        }
        if (!boxLayout(page))
            return {QStringLiteral("the page %1 has no row layout").arg(e.name)};
        const int size = e.key.toInt() > 0 ? e.key.toInt() : m_iconSizes.value(tabs, DefaultIconSize);
        m_iconSizes.insert(page, size);
        m_places.insert(e.name, page);
        if (m_waiting.contains(page)) {
            m_deferredPlaces.insert(e.name, page);
        } else if (m_pages.contains(page)) {
            m_rows.append(page);
        } else {
            m_pages.insert(page);
            // Its entries follow in the table: they wait with it until it
            // shows, or are built now when it shows with the window.
            m_waiting.insert(page, {});
            m_deferredPlaces.insert(e.name, page);
            buildOnFirstShow(page, [self = QPointer<TCatalogueBuilder>(this), page] {
                if (self)
                    self->buildWaiting(page);
            });
        }
        break;
    }
    case CatalogueKind::Menu: {
        QMenu *sub = nullptr;
        if (menu) {
            sub = menu->addMenu(e.caption);
            sub->menuAction()->setStatusTip(e.hint);
        } else if (takesButtons) {
            TCatalogueEntry button = e;
            button.name = e.key.isEmpty() ? e.name + QStringLiteral("Button") : e.key;
            auto *b = static_cast<QToolButton *>(makeButton(place, button, iconSizeFor(place), bar != nullptr));
            sub = new QMenu(b);
            b->setMenu(sub);
            b->setPopupMode(QToolButton::InstantPopup);
            addToBar(place, b);
        } else {
            return wrongPlace();
        }
        sub->setObjectName(e.name);
        sub->setIcon(catalogueIcon(e.icon));
        m_places.insert(e.name, sub);
        break;
    }
    case CatalogueKind::Insert:
    case CatalogueKind::Wizard:
    case CatalogueKind::Command:
    case CatalogueKind::Inert: {
        if (menu) {
            auto *a = new QAction(e.caption, menu);
            a->setObjectName(e.name);
            a->setStatusTip(e.hint);
            a->setToolTip(e.hint.isEmpty() ? e.caption : e.hint);
            a->setIcon(catalogueIcon(e.icon));
            if (e.kind == CatalogueKind::Insert && !e.key.isEmpty())
                a->setShortcut(QKeySequence::fromString(e.key, QKeySequence::PortableText));
            a->setEnabled(e.kind != CatalogueKind::Inert);
            connect(a, &QAction::triggered, this, [this, entry = &e] { run(*entry); });
            menu->addAction(a);
        } else if (takesButtons) {
            auto *b = static_cast<QToolButton *>(makeButton(place, e, iconSizeFor(place), bar != nullptr));
            b->setEnabled(e.kind != CatalogueKind::Inert);
            connect(b, &QToolButton::clicked, this, [this, entry = &e] { run(*entry); });
            addToBar(place, b);
        } else {
            return wrongPlace();
        }
        break;
    }
    case CatalogueKind::Separator:
        if (menu) {
            menu->addSeparator();
        } else if (bar) {
            bar->addSeparator();
        } else if (takesButtons) {
            auto *line = new QFrame(place);
            line->setFrameShape(QFrame::VLine);
            line->setFrameShadow(QFrame::Sunken);
            layout->addSpacing(2);
            layout->addWidget(line);
            layout->addSpacing(2);
        } else {
            return wrongPlace();
        }
        break;
    case CatalogueKind::Spacer:
        if (!takesButtons || bar)
            return wrongPlace();
        layout->addStretch(1);
        m_rowsWithSpacer.insert(place);
        break;
    }
    return problems;
}

} // namespace Quorvant
