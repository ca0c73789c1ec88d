// The catalogue of fixed insertions: one table that names every menu item,
// bar button and tag bar template of the main window with the texts it hands
// to ptext. This reads the table; TCatalogueBuilder turns it into widgets.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Quorvant {

// The compiled-in table.
inline constexpr char BuiltInCataloguePath[] = ":/quorvant/catalogue.tsv";
// The HTML5 forms of its insertions.
inline constexpr char BuiltInHtml5CataloguePath[] = ":/quorvant/catalogue-html5.tsv";

enum class CatalogueKind {
    Toolbar,    // a toolbar added to a region with a layout
    Tabs,       // a page control added to a toolbar
    Page,       // a page of a page control (reused when one of that name exists)
    Menu,       // a submenu, or a drop-down button with its menu on a bar or page
    Insert,     // hands its steps to the insert handler, one call per step
    Wizard,     // hands its key (the wizard id) to the wizard handler
    Command,    // hands its key (the command id) to the command handler
    Inert,      // shown, disabled, does nothing
    Separator,
    Spacer,     // pushes the entries after it to the far end of a page
};

struct TInsertStep
{
    QString start;
    QString end;
    bool operator==(const TInsertStep &) const = default;
};

struct TCatalogueEntry
{
    CatalogueKind kind = CatalogueKind::Insert;
    QString place;    // objectName of the region, bar, page or menu it goes on
    QString name;     // objectName of what it creates
    QString caption;  // the text shown; buttons without one show their icon
    QString hint;     // tool tip of a button, status tip of a menu item
    QString icon;     // icon name (catalogueIcon)
    QString key;      // Insert: shortcut; Wizard, Command: id; Menu on a bar:
                      // objectName of its drop-down button; Toolbar, Tabs,
                      // Page: icon size in pixels
    QList<TInsertStep> steps;
    // Insert: the steps written in HTML5 mode; empty where the classic steps
    // serve (they are valid HTML5, or HTML5 has no equivalent).
    QList<TInsertStep> html5Steps;
    int line = 0;     // line in the table, for messages
};

struct TCatalogue
{
    QList<TCatalogueEntry> entries;
    QStringList errors;  // "line N: ..." for every line that was left out
};

// Reads the table: tab-separated, one entry a line, '#' lines are comments.
// Columns: kind, place, name, caption, hint, icon, key, then the start and end
// text of each step. Fields take the escapes \r \n \t \s (a blank) and \\.
TCatalogue parseCatalogue(const QString &text);
// Reads the table from a file or resource (UTF-8); a missing file is an error.
TCatalogue loadCatalogue(const QString &path = QLatin1String(BuiltInCataloguePath));

// Reads the HTML5 table into the entries' html5Steps: one line per entry,
// its name, then the start and end text of each step (escapes as above).
// Lines naming no insert of the catalogue, or with a bad escape, are left
// out with an error in the catalogue's errors ("html5 line N: ...").
void addHtml5Steps(TCatalogue *catalogue, const QString &text);
void loadHtml5Steps(TCatalogue *catalogue, const QString &path = QLatin1String(BuiltInHtml5CataloguePath));

// One field with its escapes resolved; ok false on an unknown or cut escape.
QString unescapeCatalogueField(const QString &field, bool *ok = nullptr);

QString catalogueKindName(CatalogueKind kind);

} // namespace Quorvant
