// Reaches any window by object name, as a user would: lists widgets, reads
// and sets their properties, picks rows of lists, pages of tab widgets and
// items of pop-up menus. While a modal dialog or a menu is open only the
// objects inside it are reachable, so a script never acts behind a dialog.
#pragma once

#include "automationdriver.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class QObject;
class QWidget;

namespace Quorvant {

// One line of Widgets: object name (or a nameless button's caption), class,
// caption or text, and comma-separated state flags.
struct WidgetInfo
{
    QString name;
    QString className;
    QString caption;
    QString flags;
};

struct MenuItemInfo
{
    QString caption;
    bool enabled = false;
    bool checked = false;
};

struct RowsInfo
{
    QList<QStringList> rows;
    int current = -1;
};

class WidgetDriver
{
public:
    // The widgets, actions and menus under root (a window's or widget's
    // object name; empty: every visible window), the root included.
    static AutomationResult<QList<WidgetInfo>> widgets(const QString &root);
    static AutomationResult<QVariant> property(const QString &objectName, const QString &name);
    // Sets a field as typing, clicking or choosing would, with the signals
    // that a user's edit sends.
    static AutomationResult<Done> setProperty(const QString &objectName, const QString &name, const QVariant &value);
    // A list, tree (expanded rows, in view order), table or combo box; the
    // captions of a tab widget's pages.
    static AutomationResult<RowsInfo> rows(const QString &objectName);
    static AutomationResult<Done> selectRow(const QString &objectName, int row);
    // A double click on the row (a combo box: choosing it).
    static AutomationResult<Done> activateRow(const QString &objectName, int row);
    static AutomationResult<QList<MenuItemInfo>> menuItems(const QString &objectName);
    // Opens the widget's pop-up menu (its context menu, or a button's menu)
    // and chooses the item at the end of the caption path.
    static AutomationResult<Done> popupMenu(const QString &objectName, const QStringList &captionPath);
    // A tab widget's or tab bar's page, or a stacked widget's.
    static AutomationResult<Done> selectPage(const QString &objectName, int index);
    // Sends a key chord ("ctrl+space", "Return", "F5") to the focused widget.
    static AutomationResult<Done> key(const QString &chord);

    // The object with this name (or a nameless button's or action's
    // caption) among the reachable windows; visible ones first.
    static QObject *find(const QString &objectName);
    // Fails naming the object when it is missing, behind a modal dialog,
    // or (with acting) hidden or disabled.
    static QObject *reach(const QString &objectName, bool acting, QString *error, QString *message);
    // A caption without its '&' marks.
    static QString plainCaption(const QString &text);
};

} // namespace Quorvant
