#include "widgetdriver.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMetaProperty>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTableView>
#include <QTreeView>

#include <algorithm>

// Qt's own test library delivers key chords through this too: a chord that is
// a shortcut runs it, as a real key press would.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject *o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString &text = QString(), bool autorep = false, ushort count = 1);

namespace Quorvant {

namespace {

using namespace AutomationError;

// A key from the keyboard carries the time it was pressed, and the one
// program-wide key handler acts only on the first delivery of a stamped key as
// it passes from widget to parent. A key sent with no time would act at
// every widget it passes through.
ulong keyTimestamp()
{
    static ulong last = 0;
    last = std::max<ulong>(last + 1, ulong(QDateTime::currentMSecsSinceEpoch()));
    return last;
}

QList<QWidget *> reachableRoots()
{
    if (QWidget *blocking = AutomationDriver::blockingWindow())
        return {blocking};
    return QApplication::topLevelWidgets();
}

bool isOwnName(const QString &name)
{
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

QString captionOf(const QObject *o)
{
    if (auto *a = qobject_cast<const QAction *>(o))
        return WidgetDriver::plainCaption(a->text());
    if (auto *m = qobject_cast<const QMenu *>(o))
        return WidgetDriver::plainCaption(m->title());
    if (auto *b = qobject_cast<const QAbstractButton *>(o))
        return WidgetDriver::plainCaption(b->text());
    if (auto *l = qobject_cast<const QLabel *>(o))
        return l->text();
    if (auto *e = qobject_cast<const QLineEdit *>(o))
        return e->text();
    if (auto *c = qobject_cast<const QComboBox *>(o))
        return c->currentText();
    if (auto *g = qobject_cast<const QGroupBox *>(o))
        return WidgetDriver::plainCaption(g->title());
    if (auto *s = qobject_cast<const QSpinBox *>(o))
        return QString::number(s->value());
    if (auto *w = qobject_cast<const QWidget *>(o); w && w->isWindow())
        return w->windowTitle();
    return {};
}

// Every named object below root (root first), actions and menus included.
QList<QObject *> objectsUnder(QWidget *root)
{
    QList<QObject *> out{root};
    for (QObject *o : root->findChildren<QObject *>()) {
        if (qobject_cast<QWidget *>(o) || qobject_cast<QAction *>(o))
            out.append(o);
    }
    return out;
}

bool shown(const QObject *o)
{
    if (auto *w = qobject_cast<const QWidget *>(o))
        return w->isVisible();
    if (auto *a = qobject_cast<const QAction *>(o))
        return a->isVisible();
    return false;
}

// A click reaches it only when it and every widget it sits in are enabled.
bool usable(const QObject *o)
{
    if (auto *w = qobject_cast<const QWidget *>(o))
        return w->isEnabled() && w->window()->isEnabled();
    auto *a = qobject_cast<const QAction *>(o);
    if (!a || !a->isEnabled())
        return false;
    for (const QObject *p = a->parent(); p; p = p->parent()) {
        if (auto *w = qobject_cast<const QWidget *>(p); w && !w->isEnabled())
            return false;
    }
    return true;
}

QString flagsOf(const QObject *o)
{
    QStringList f;
    if (usable(o))
        f << QStringLiteral("enabled");
    if (shown(o))
        f << QStringLiteral("visible");
    bool checked = false;
    if (auto *a = qobject_cast<const QAction *>(o))
        checked = a->isChecked();
    else if (auto *b = qobject_cast<const QAbstractButton *>(o))
        checked = b->isChecked();
    else if (auto *g = qobject_cast<const QGroupBox *>(o))
        checked = g->isCheckable() && g->isChecked();
    if (checked)
        f << QStringLiteral("checked");
    if (auto *w = qobject_cast<const QWidget *>(o); w && w->hasFocus())
        f << QStringLiteral("focused");
    return f.join(u',');
}

// Values the bus carries as they are; everything else as its text.
QVariant forTheBus(const QVariant &v)
{
    switch (v.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::QString:
    case QMetaType::QStringList:
        return v;
    default:
        break;
    }
    if (v.canConvert<QString>())
        return v.toString();
    if (v.canConvert<QStringList>())
        return v.toStringList();
    return QString();
}

QString notFound(const QString &name)
{
    return QStringLiteral("There is no widget called %1.").arg(name);
}

// A click on the cell of an item view, as a mouse would give it.
void clickAt(QWidget *target, QPoint at, bool twice)
{
    const QPoint global = target->mapToGlobal(at);
    auto send = [&](QEvent::Type type) {
        QMouseEvent e(type, QPointF(at), QPointF(global), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &e);
    };
    send(QEvent::MouseButtonPress);
    send(QEvent::MouseButtonRelease);
    if (twice) {
        send(QEvent::MouseButtonDblClick);
        send(QEvent::MouseButtonRelease);
    }
}

// The rows of a view in the order shown: a tree's expanded rows depth first.
QList<QModelIndex> viewRows(const QAbstractItemView *view)
{
    QList<QModelIndex> out;
    const QAbstractItemModel *model = view->model();
    if (!model)
        return out;
    auto *tree = qobject_cast<const QTreeView *>(view);
    std::function<void(const QModelIndex &)> walk = [&](const QModelIndex &parent) {
        QList<int> order;
        for (int r = 0; r < model->rowCount(parent); ++r)
            order.append(r);
        if (auto *table = qobject_cast<const QTableView *>(view); table && !parent.isValid()) {
            for (int r = 0; r < order.size(); ++r)
                order[r] = table->verticalHeader()->logicalIndex(r);
        }
        for (int r : order) {
            const QModelIndex index = model->index(r, 0, parent);
            if (tree && tree->isRowHidden(r, parent))
                continue;
            if (auto *table = qobject_cast<const QTableView *>(view); table && table->isRowHidden(r))
                continue;
            out.append(index);
            if (tree && tree->isExpanded(index))
                walk(index);
        }
    };
    walk(view->rootIndex());
    return out;
}

QStringList cellsOf(const QAbstractItemView *view, const QModelIndex &first)
{
    QStringList cells;
    const QAbstractItemModel *model = view->model();
    for (int c = 0; c < model->columnCount(first.parent()); ++c)
        cells.append(model->index(first.row(), c, first.parent()).data(Qt::DisplayRole).toString());
    return cells;
}

} // namespace

QString WidgetDriver::plainCaption(const QString &text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'&' && i + 1 < text.size())
            ++i;
        out.append(text.at(i));
    }
    const int tab = out.indexOf(u'\t');
    return tab < 0 ? out : out.left(tab);
}

QObject *WidgetDriver::find(const QString &objectName)
{
    if (objectName.isEmpty())
        return nullptr;
    QObject *hiddenMatch = nullptr;
    QObject *byCaption = nullptr;
    QSet<QObject *> seen;
    for (QWidget *root : reachableRoots()) {
        for (QObject *o : objectsUnder(root)) {
            if (seen.contains(o))
                continue;
            seen.insert(o);
            if (o->objectName() == objectName) {
                if (shown(o))
                    return o;
                if (!hiddenMatch)
                    hiddenMatch = o;
            } else if (!byCaption && !isOwnName(o->objectName())
                       && (qobject_cast<QAbstractButton *>(o) || qobject_cast<QAction *>(o))
                       && captionOf(o) == objectName && shown(o)) {
                byCaption = o;
            }
        }
    }
    return hiddenMatch ? hiddenMatch : byCaption;
}

QObject *WidgetDriver::reach(const QString &objectName, bool acting, QString *error, QString *message)
{
    QObject *o = find(objectName);
    if (!o) {
        const QWidget *blocking = AutomationDriver::blockingWindow();
        bool behind = false;
        if (blocking) {
            for (QWidget *root : QApplication::topLevelWidgets()) {
                const QList<QObject *> all = objectsUnder(root);
                behind = behind || std::any_of(all.begin(), all.end(), [&](QObject *x) { return x->objectName() == objectName; });
            }
        }
        if (behind) {
            *error = ModalDialog;
            const QString title = blocking->windowTitle().isEmpty() ? blocking->objectName() : blocking->windowTitle();
            *message = QStringLiteral("\"%1\" is open: %2 cannot be reached until it is closed.").arg(title, objectName);
        } else {
            *error = NotFound;
            *message = notFound(objectName);
        }
        return nullptr;
    }
    if (acting && !shown(o)) {
        *error = Hidden;
        *message = QStringLiteral("%1 is hidden.").arg(objectName);
        return nullptr;
    }
    if (acting && !usable(o)) {
        *error = Disabled;
        *message = QStringLiteral("%1 is disabled now.").arg(objectName);
        return nullptr;
    }
    return o;
}

#define REACH(T, name, acting)                                                            \
    QString error_, message_;                                                             \
    QObject *found = reach(name, acting, &error_, &message_);                             \
    if (!found)                                                                           \
        return AutomationResult<T>::failed(error_, message_);

AutomationResult<QList<WidgetInfo>> WidgetDriver::widgets(const QString &root)
{
    QList<QWidget *> roots;
    if (root.isEmpty()) {
        for (QWidget *w : reachableRoots()) {
            const Qt::WindowType type = w->windowType();
            if (w->isVisible() && type != Qt::ToolTip && type != Qt::SplashScreen)
                roots.append(w);
        }
    } else {
        REACH(QList<WidgetInfo>, root, false)
        auto *w = qobject_cast<QWidget *>(found);
        if (!w)
            return AutomationResult<QList<WidgetInfo>>::failed(InvalidArgument,
                                                               QStringLiteral("%1 is no window or widget.").arg(root));
        roots.append(w);
    }
    AutomationResult<QList<WidgetInfo>> r;
    QSet<QObject *> seen;
    for (QWidget *w : roots) {
        for (QObject *o : objectsUnder(w)) {
            if (seen.contains(o))
                continue;
            seen.insert(o);
            const bool named = isOwnName(o->objectName());
            const bool menu = qobject_cast<QMenu *>(o) || qobject_cast<QAction *>(o);
            // Hidden widgets other than menus are no part of what a user sees.
            if (!menu && !shown(o) && o != w)
                continue;
            QString name = o->objectName();
            if (!named) {
                // A nameless button is reachable by its caption.
                if (!(qobject_cast<QAbstractButton *>(o) || qobject_cast<QAction *>(o)) || captionOf(o).isEmpty())
                    continue;
                name = captionOf(o);
            }
            if (auto *a = qobject_cast<QAction *>(o); a && a->isSeparator())
                continue;
            r.value.append({name, QString::fromLatin1(o->metaObject()->className()), captionOf(o), flagsOf(o)});
        }
    }
    return r;
}

AutomationResult<QVariant> WidgetDriver::property(const QString &objectName, const QString &name)
{
    REACH(QVariant, objectName, false)
    if (found->metaObject()->indexOfProperty(name.toLatin1().constData()) < 0
        && !found->dynamicPropertyNames().contains(name.toLatin1())) {
        return AutomationResult<QVariant>::failed(
            InvalidArgument, QStringLiteral("%1 (%2) has no property %3.")
                                 .arg(objectName, QString::fromLatin1(found->metaObject()->className()), name));
    }
    AutomationResult<QVariant> r;
    r.value = forTheBus(found->property(name.toLatin1().constData()));
    return r;
}

AutomationResult<Done> WidgetDriver::setProperty(const QString &objectName, const QString &name, const QVariant &value)
{
    REACH(Done, objectName, true)
    const QByteArray key = name.toLatin1();
    const int index = found->metaObject()->indexOfProperty(key.constData());
    if (index < 0) {
        return AutomationResult<Done>::failed(
            InvalidArgument, QStringLiteral("%1 (%2) has no property %3.")
                                 .arg(objectName, QString::fromLatin1(found->metaObject()->className()), name));
    }
    const QMetaProperty prop = found->metaObject()->property(index);
    QVariant v = value;
    if (!prop.isWritable() || !v.convert(prop.metaType())) {
        return AutomationResult<Done>::failed(
            InvalidArgument, prop.isWritable() ? QStringLiteral("%1: %2 does not take \"%3\".").arg(objectName, name, value.toString())
                                               : QStringLiteral("%1: %2 cannot be set.").arg(objectName, name));
    }
    // The signals of a user's edit, where a widget has them.
    if (auto *edit = qobject_cast<QLineEdit *>(found); edit && name == QLatin1String("text")) {
        if (edit->isReadOnly())
            return AutomationResult<Done>::failed(Disabled, QStringLiteral("%1 is read-only.").arg(objectName));
        edit->setText(v.toString());
        emit edit->textEdited(edit->text());
        emit edit->editingFinished();
        return {};
    }
    if (auto *button = qobject_cast<QAbstractButton *>(found); button && name == QLatin1String("checked")) {
        if (button->isCheckable() && button->isChecked() != v.toBool())
            button->click();
        if (button->isChecked() != v.toBool())
            return AutomationResult<Done>::failed(Failed, QStringLiteral("%1 did not change.").arg(objectName));
        return {};
    }
    if (auto *action = qobject_cast<QAction *>(found); action && name == QLatin1String("checked")) {
        if (action->isCheckable() && action->isChecked() != v.toBool())
            action->trigger();
        if (action->isChecked() != v.toBool())
            return AutomationResult<Done>::failed(Failed, QStringLiteral("%1 did not change.").arg(objectName));
        return {};
    }
    if (auto *combo = qobject_cast<QComboBox *>(found)) {
        int i = -1;
        if (name == QLatin1String("currentIndex"))
            i = v.toInt();
        else if (name == QLatin1String("currentText"))
            i = combo->findText(v.toString());
        if (name == QLatin1String("currentText") && i < 0 && combo->isEditable()) {
            combo->setEditText(v.toString());
            if (combo->lineEdit())
                emit combo->lineEdit()->editingFinished();
            return {};
        }
        if (name == QLatin1String("currentIndex") || name == QLatin1String("currentText")) {
            if (i < 0 || i >= combo->count())
                return AutomationResult<Done>::failed(
                    OutOfRange, QStringLiteral("%1 has no item \"%2\".").arg(objectName, value.toString()));
            combo->setCurrentIndex(i);
            emit combo->activated(i);
            emit combo->textActivated(combo->itemText(i));
            return {};
        }
    }
    if (auto *spin = qobject_cast<QSpinBox *>(found); spin && name == QLatin1String("value")) {
        if (v.toInt() < spin->minimum() || v.toInt() > spin->maximum())
            return AutomationResult<Done>::failed(OutOfRange, QStringLiteral("%1 takes %2 to %3.")
                                                                  .arg(objectName).arg(spin->minimum()).arg(spin->maximum()));
        spin->setValue(v.toInt());
        emit spin->editingFinished();
        return {};
    }
    if (!found->setProperty(key.constData(), v))
        return AutomationResult<Done>::failed(InvalidArgument, QStringLiteral("%1: %2 was not set.").arg(objectName, name));
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(found))
        emit spin->editingFinished();
    return {};
}

AutomationResult<RowsInfo> WidgetDriver::rows(const QString &objectName)
{
    REACH(RowsInfo, objectName, false)
    AutomationResult<RowsInfo> r;
    if (auto *combo = qobject_cast<QComboBox *>(found)) {
        for (int i = 0; i < combo->count(); ++i)
            r.value.rows.append({combo->itemText(i)});
        r.value.current = combo->currentIndex();
        return r;
    }
    // The pages of a tab widget, by their captions.
    QTabBar *bar = qobject_cast<QTabBar *>(found);
    if (auto *tabs = qobject_cast<QTabWidget *>(found))
        bar = tabs->tabBar();
    if (bar) {
        for (int i = 0; i < bar->count(); ++i)
            r.value.rows.append({plainCaption(bar->tabText(i))});
        r.value.current = bar->currentIndex();
        return r;
    }
    auto *view = qobject_cast<QAbstractItemView *>(found);
    if (!view)
        return AutomationResult<RowsInfo>::failed(
            InvalidArgument, QStringLiteral("%1 is no list, tree, table, combo box or tab widget.").arg(objectName));
    const QList<QModelIndex> indexes = viewRows(view);
    const QModelIndex current = view->currentIndex();
    for (int i = 0; i < indexes.size(); ++i) {
        r.value.rows.append(cellsOf(view, indexes.at(i)));
        if (current.isValid() && indexes.at(i).row() == current.row() && indexes.at(i).parent() == current.parent())
            r.value.current = i;
    }
    return r;
}

namespace {

AutomationResult<Done> noSuchRow(const QString &objectName, int count, int row)
{
    return AutomationResult<Done>::failed(
        OutOfRange, QStringLiteral("%1 has rows 0 to %2; there is no row %3.").arg(objectName).arg(count - 1).arg(row));
}

// The row a selection or an activation acts on: a combo box's row, or a
// view's enabled row, already made current (and the view scrolled to it).
struct CurrentRow
{
    QComboBox *combo = nullptr;
    QAbstractItemView *view = nullptr;
    QModelIndex index;
};

AutomationResult<Done> makeCurrent(QObject *found, const QString &objectName, int row, CurrentRow *out)
{
    if (auto *combo = qobject_cast<QComboBox *>(found)) {
        if (row < 0 || row >= combo->count())
            return noSuchRow(objectName, combo->count(), row);
        combo->setCurrentIndex(row);
        out->combo = combo;
        return {};
    }
    auto *view = qobject_cast<QAbstractItemView *>(found);
    if (!view)
        return AutomationResult<Done>::failed(InvalidArgument, QStringLiteral("%1 is no list, tree or table.").arg(objectName));
    const QList<QModelIndex> indexes = viewRows(view);
    if (row < 0 || row >= indexes.size())
        return noSuchRow(objectName, int(indexes.size()), row);
    const QModelIndex index = indexes.at(row);
    if (!(view->model()->flags(index) & Qt::ItemIsEnabled))
        return AutomationResult<Done>::failed(Disabled, QStringLiteral("Row %1 of %2 is disabled.").arg(row).arg(objectName));
    view->scrollTo(index);
    view->setCurrentIndex(index);
    out->view = view;
    out->index = index;
    return {};
}

} // namespace

AutomationResult<Done> WidgetDriver::selectRow(const QString &objectName, int row)
{
    REACH(Done, objectName, true)
    CurrentRow current;
    AutomationResult<Done> r = makeCurrent(found, objectName, row, &current);
    if (!r.ok() || !current.view)
        return r;
    QAbstractItemView *view = current.view;
    if (view->selectionModel())
        view->selectionModel()->select(current.index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    emit view->clicked(current.index);
    return r;
}

AutomationResult<Done> WidgetDriver::activateRow(const QString &objectName, int row)
{
    REACH(Done, objectName, true)
    CurrentRow current;
    AutomationResult<Done> r = makeCurrent(found, objectName, row, &current);
    if (!r.ok())
        return r;
    if (QComboBox *combo = current.combo) {
        emit combo->activated(row);
        emit combo->textActivated(combo->itemText(row));
        return r;
    }
    QAbstractItemView *view = current.view;
    const QModelIndex index = current.index;
    const QRect cell = view->visualRect(index);
    if (cell.isValid() && view->viewport()->rect().contains(cell.center())) {
        // Double-clicking would open an editable cell's editor: such views get Enter.
        if ((view->editTriggers() & QAbstractItemView::DoubleClicked) && (view->model()->flags(index) & Qt::ItemIsEditable)) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            QCoreApplication::sendEvent(view, &press);
        } else {
            clickAt(view->viewport(), cell.center(), true);
        }
    } else {
        emit view->doubleClicked(index);
        emit view->activated(index);
    }
    return r;
}

AutomationResult<QList<MenuItemInfo>> WidgetDriver::menuItems(const QString &objectName)
{
    REACH(QList<MenuItemInfo>, objectName, false)
    QList<QAction *> actions;
    if (auto *menu = qobject_cast<QMenu *>(found))
        actions = menu->actions();
    else if (auto *a = qobject_cast<QAction *>(found); a && a->menu())
        actions = a->menu()->actions();
    else if (auto *b = qobject_cast<QPushButton *>(found); b && b->menu())
        actions = b->menu()->actions();
    else if (auto *t = qobject_cast<QToolButton *>(found); t && t->menu())
        actions = t->menu()->actions();
    else if (auto *w = qobject_cast<QWidget *>(found); w && w->contextMenuPolicy() == Qt::ActionsContextMenu)
        actions = w->actions();
    else
        return AutomationResult<QList<MenuItemInfo>>::failed(InvalidArgument,
                                                            QStringLiteral("%1 has no menu to list.").arg(objectName));
    AutomationResult<QList<MenuItemInfo>> r;
    for (const QAction *a : std::as_const(actions)) {
        if (a->isSeparator() || !a->isVisible())
            continue;
        r.value.append({plainCaption(a->text()), a->isEnabled(), a->isChecked()});
    }
    return r;
}

namespace {

QAction *itemCalled(const QMenu *menu, const QString &caption)
{
    for (QAction *a : menu->actions()) {
        if (!a->isSeparator() && a->isVisible() && WidgetDriver::plainCaption(a->text()) == caption)
            return a;
    }
    return nullptr;
}

// Walks the open menus along the path with the keys a user would press.
// Returns an error text, or empty once the item was chosen.
QString chooseInOpenMenu(QMenu *menu, const QStringList &path, const QString &owner)
{
    for (int step = 0; step < path.size(); ++step) {
        QAction *a = itemCalled(menu, path.at(step));
        QString problem;
        if (!a)
            problem = QStringLiteral("The menu of %1 has no item \"%2\".").arg(owner, path.at(step));
        else if (!a->isEnabled())
            problem = QStringLiteral("\"%1\" in the menu of %2 is disabled.").arg(path.at(step), owner);
        else if (step + 1 < path.size() && !a->menu())
            problem = QStringLiteral("\"%1\" in the menu of %2 has no sub-menu.").arg(path.at(step), owner);
        if (!problem.isEmpty()) {
            for (QWidget *p = QApplication::activePopupWidget(); p; p = QApplication::activePopupWidget())
                p->close();
            return problem;
        }
        if (step + 1 < path.size()) {
            menu = a->menu();
            continue;
        }
        // Hide every open menu, then the chosen item runs, as a click ends a menu.
        QPointer<QAction> chosen = a;
        for (QWidget *p = QApplication::activePopupWidget(); p; p = QApplication::activePopupWidget())
            p->close();
        if (chosen)
            chosen->activate(QAction::Trigger);
        return {};
    }
    return QStringLiteral("An empty caption path chooses nothing.");
}

} // namespace

AutomationResult<Done> WidgetDriver::popupMenu(const QString &objectName, const QStringList &captionPath)
{
    REACH(Done, objectName, true)
    if (captionPath.isEmpty())
        return AutomationResult<Done>::failed(InvalidArgument, QStringLiteral("Name the item to choose."));
    QMenu *fixed = nullptr;
    if (auto *b = qobject_cast<QPushButton *>(found))
        fixed = b->menu();
    else if (auto *t = qobject_cast<QToolButton *>(found))
        fixed = t->menu();
    else if (auto *m = qobject_cast<QMenu *>(found))
        fixed = m;
    if (fixed) {
        const QString problem = chooseInOpenMenu(fixed, captionPath, objectName);
        return problem.isEmpty() ? AutomationResult<Done>{}
                                 : AutomationResult<Done>::failed(NotFound, problem);
    }
    auto *w = qobject_cast<QWidget *>(found);
    if (!w)
        return AutomationResult<Done>::failed(InvalidArgument, QStringLiteral("%1 has no pop-up menu.").arg(objectName));
    if (w->contextMenuPolicy() == Qt::ActionsContextMenu) {
        QMenu menu;
        menu.addActions(w->actions());
        const QString problem = chooseInOpenMenu(&menu, captionPath, objectName);
        return problem.isEmpty() ? AutomationResult<Done>{} : AutomationResult<Done>::failed(NotFound, problem);
    }
    // The widget's own menu opens (often in a loop of its own) at its current
    // item; a timer walks it once it is up.
    QWidget *target = w;
    QPoint at = w->rect().center();
    if (auto *view = qobject_cast<QAbstractItemView *>(w)) {
        target = view->viewport();
        if (view->currentIndex().isValid())
            at = view->visualRect(view->currentIndex()).center();
        else
            at = QPoint(2, 2);
    }
    QString problem = QStringLiteral("%1 opened no pop-up menu.").arg(objectName);
    bool done = false;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done)
            return;
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            done = true;
            poll.stop();
            problem = chooseInOpenMenu(menu, captionPath, objectName);
        } else if (clock.elapsed() > 3000) {
            done = true;
            poll.stop();
        }
    });
    poll.start();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
    QCoreApplication::sendEvent(target, &event);
    if (!done) {
        QEventLoop wait;
        QObject::connect(&poll, &QTimer::timeout, &wait, [&] {
            if (done)
                wait.quit();
        });
        if (!done)
            wait.exec();
    }
    return problem.isEmpty() ? AutomationResult<Done>{} : AutomationResult<Done>::failed(NotFound, problem);
}

AutomationResult<Done> WidgetDriver::selectPage(const QString &objectName, int index)
{
    REACH(Done, objectName, true)
    auto outOfRange = [&](int count) {
        return AutomationResult<Done>::failed(
            OutOfRange, QStringLiteral("%1 has pages 0 to %2; there is no page %3.").arg(objectName).arg(count - 1).arg(index));
    };
    if (auto *tabs = qobject_cast<QTabWidget *>(found)) {
        if (index < 0 || index >= tabs->count())
            return outOfRange(tabs->count());
        if (!tabs->isTabEnabled(index))
            return AutomationResult<Done>::failed(Disabled, QStringLiteral("Page %1 of %2 is disabled.").arg(index).arg(objectName));
        tabs->setCurrentIndex(index);
        emit tabs->tabBarClicked(index);
        return {};
    }
    if (auto *bar = qobject_cast<QTabBar *>(found)) {
        if (index < 0 || index >= bar->count())
            return outOfRange(bar->count());
        if (!bar->isTabEnabled(index))
            return AutomationResult<Done>::failed(Disabled, QStringLiteral("Page %1 of %2 is disabled.").arg(index).arg(objectName));
        emit bar->tabBarClicked(index);
        bar->setCurrentIndex(index);
        return {};
    }
    if (auto *stack = qobject_cast<QStackedWidget *>(found)) {
        if (index < 0 || index >= stack->count())
            return outOfRange(stack->count());
        stack->setCurrentIndex(index);
        return {};
    }
    return AutomationResult<Done>::failed(InvalidArgument, QStringLiteral("%1 has no pages.").arg(objectName));
}

AutomationResult<Done> WidgetDriver::key(const QString &chord)
{
    const QKeySequence seq = QKeySequence::fromString(chord, QKeySequence::PortableText);
    if (seq.isEmpty() || seq.count() != 1 || seq[0].key() == Qt::Key_unknown)
        return AutomationResult<Done>::failed(InvalidArgument,
                                              QStringLiteral("\"%1\" is no key chord (as ctrl+space, shift+F3, Return).").arg(chord));
    QWidget *target = QApplication::focusWidget();
    if (QWidget *blocking = AutomationDriver::blockingWindow()) {
        if (!target || (target != blocking && !blocking->isAncestorOf(target)))
            target = blocking;
    }
    if (!target && QApplication::activeWindow())
        target = QApplication::activeWindow()->focusWidget();
    if (!target) {
        // Without a window manager no window is active: the widget that
        // would have the focus in the main window, else in another window.
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || !w->isEnabled() || !w->focusWidget())
                continue;
            if (!target || qobject_cast<QMainWindow *>(w))
                target = w->focusWidget();
        }
    }
    if (!target)
        return AutomationResult<Done>::failed(NotFound, QStringLiteral("No widget has the keyboard focus."));
    const QKeyCombination combo = seq[0];
    QString text;
    if (!(combo.keyboardModifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        const int k = int(combo.key());
        if (k == Qt::Key_Return || k == Qt::Key_Enter)
            text = QStringLiteral("\r");
        else if (k == Qt::Key_Tab)
            text = QStringLiteral("\t");
        else if (k == Qt::Key_Space)
            text = QStringLiteral(" ");
        else if (k >= 0x21 && k <= 0xFF)
            text = (combo.keyboardModifiers() & Qt::ShiftModifier) ? QString(QChar(k)) : QString(QChar(k)).toLower();
    }
    const ulong pressed = keyTimestamp();
    if (qt_sendShortcutOverrideEvent(target, pressed, int(combo.key()), combo.keyboardModifiers(), text))
        return {};
    QPointer<QWidget> guard = target;
    QKeyEvent press(QEvent::KeyPress, int(combo.key()), combo.keyboardModifiers(), text);
    press.setTimestamp(pressed);
    QCoreApplication::sendEvent(target, &press);
    if (guard) {
        QKeyEvent release(QEvent::KeyRelease, int(combo.key()), combo.keyboardModifiers(), text);
        release.setTimestamp(keyTimestamp());
        QCoreApplication::sendEvent(guard, &release);
    }
    return {};
}

} // namespace Quorvant
