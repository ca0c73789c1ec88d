#include "helptopics.h"

namespace Quorvant {

namespace {

HelpNode leaf(const char *caption)
{
    return {QLatin1String(caption), {}};
}

HelpNode branch(const char *caption, std::initializer_list<HelpNode> children)
{
    return {QLatin1String(caption), QList<HelpNode>(children)};
}

const QString Docs = QStringLiteral("Help/HTMLDocs/");

} // namespace

const QList<HelpNode> &THelpTopics::tree()
{
    static const QList<HelpNode> nodes = {
        branch("Menus", {leaf("Task Manager"), leaf("Large Button Bar"), leaf("Control Bar"), leaf("Pure Tags Bar"),
                         leaf("SideBar"), leaf("Color Bar"), leaf("Images Menu"), leaf("Font Menu"),
                         leaf("URL / Link Menu"), leaf("Tables Menu"), leaf("Sound Menu"), leaf("Properties Menu")}),
        branch("Editing Environment", {leaf("Quick Options"), leaf("Tag Insight"),
                                       leaf("Using The Editing Window Effectively"), leaf("Colors"),
                                       leaf("Spell Checking")}),
        branch("Developers Reference", {leaf("Creating Plugins"), branch("Examples", {leaf("Delphi Example")}),
                                        leaf("Tag Insight & Tag Inspector"), leaf("Interactive JavaScripts"),
                                        leaf("Interactive DHTML"), leaf("ASP Menu"), leaf("SSI Menu")}),
        branch("HTML Tag Reference", {leaf("HTML 4"), leaf("CSS")}),
        branch("The Quorvant project", {leaf("About the Quorvant project"), leaf("Contact Us")}),
    };
    return nodes;
}

const QList<HelpPageRow> &THelpTopics::pages()
{
    static const QList<HelpPageRow> rows = [] {
        const struct { const char *caption; const char *page; } table[] = {
            {"Task Manager", "TaskManager.Htm"},
            {"Large Button Bar", "LargeButtonBar.Htm"},
            {"Control Bar", "ControlBar.Htm"},
            {"Pure Tags Bar", "PureTags.Htm"},
            {"SideBar", "SideBar.Htm"},
            {"Color Bar", "ColorBar.Htm"},
            {"Images Menu", "ImageMenu.Htm"},
            {"Font Menu", "FontMenu.Htm"},
            {"URL / Link Menu", "URLMenu.Htm"},
            {"Tables Menu", "TablesMenu.Htm"},
            {"Sound Menu", "SoundMenu.Htm"},
            {"Properties Menu", "PropertiesMenu.Htm"},
            {"Quick Options", "EditingWindowQuickOptions.Htm"},
            {"Tag Insight", "TagInsight.Htm"},
            {"Using the editing window effectively", "UsingTheEditingWindow.Htm"},
            {"Colors", "Parsers.Htm"},
            {"Spell Checking", "SpellCheck.Htm"},
            {"Creating Plugins", "DevPlugin.Htm"},
            {"Delphi Example", "DevPluginExample.Htm"},
            {"Tag Insight & Tag Inspector", "DevTagInsight.Htm"},
            {"Interactive JavaScripts", "DevJavaAndDHTML.Htm"},
            {"Interactive DHTML", "DevJavaAndDHTML.Htm"},
            {"ASP Menu", "DevASPandSSI.Htm"},
            {"SSI Menu", "DevASPandSSI.Htm"},
            {"About the Quorvant project", "AboutTandrel.Htm"},
            {"Contact Us", "ContactUs.Htm"},
        };
        QList<HelpPageRow> out;
        for (const auto &r : table)
            out.append({QLatin1String(r.caption), Docs + QLatin1String(r.page)});
        out.append({QStringLiteral("HTML 4"), htmlGuide()});
        out.append({QStringLiteral("CSS"), cssGuide()});
        return out;
    }();
    return rows;
}

QStringList THelpTopics::pagesFor(const QString &caption)
{
    QStringList out;
    for (const HelpPageRow &row : pages())
        if (row.caption.compare(caption, Qt::CaseInsensitive) == 0)
            out.append(row.page);
    return out;
}

const QList<HelpTopicRow> &THelpTopics::dialogTopics()
{
    static const QList<HelpTopicRow> rows = {
        {QStringLiteral("Task Manager"), QStringLiteral("TaskManager.Htm")},
        {QStringLiteral("Task Manager: View the Quorvant Manual"), QStringLiteral("Main")},
        {QStringLiteral("image dialog"), QStringLiteral("ImageMenu.Htm")},
        {QStringLiteral("table dialog"), QStringLiteral("TablesMenu.Htm")},
        {QStringLiteral("link dialog"), QStringLiteral("UrlMenu.Htm")},
        {QStringLiteral("font dialog"), QStringLiteral("FontMenu.Htm")},
        {QStringLiteral("document properties dialog"), QStringLiteral("PropertiesMenu.Htm")},
        {QStringLiteral("sound dialog"), QStringLiteral("SoundMenu.Htm")},
    };
    return rows;
}

QString THelpTopics::htmlGuide()
{
    return QStringLiteral("Help/WDG/reference/html40/Index.Html");
}

QString THelpTopics::cssGuide()
{
    return QStringLiteral("Help/WDG/Extra/css/Index.Html");
}

QString THelpTopics::mainPage()
{
    return QStringLiteral("Help/index.htm");
}

const HelpWebSite &THelpTopics::htmlHelpSite()
{
    static const HelpWebSite s{QStringLiteral("HTMLHelpSite"), QStringLiteral("https://www.htmlhelp.com/")};
    return s;
}

const HelpWebSite &THelpTopics::sourceForgeSite()
{
    static const HelpWebSite s{QStringLiteral("SourceForgeSite"), QStringLiteral("https://sourceforge.net/")};
    return s;
}

// The maker's address has no default: without one the page about the maker is shown.
const HelpWebSite &THelpTopics::makerSite()
{
    static const HelpWebSite s{QStringLiteral("WebSite"), QString()};
    return s;
}

} // namespace Quorvant
