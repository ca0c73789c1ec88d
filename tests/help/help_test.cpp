// The topic tree, the Help menu, the help topics of the program and the
// links inside the shipped help pages.
#include "mainwindowtest.h"
#include "appglobals.h"
#include "browserpage.h"
#include "datafolder.h"
#include "documentset.h"
#include "helpcommands.h"
#include "helptopics.h"
#include "inifile.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "mnuabout.h"
#include "setuptools.h"
#include "startwindowtexts.h"
#include "subsystems.h"
#include "toolkitglobals.h"

#include "quorvantversion.h"

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QSplitter>
#include <QLabel>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

TEST(HelpTopics, CaptionsMatchWithoutCaseAndSharedPages)
{
    EXPECT_EQ(THelpTopics::pagesFor(QStringLiteral("Using The Editing Window Effectively")),
              QStringList{QStringLiteral("Help/HTMLDocs/UsingTheEditingWindow.Htm")});
    EXPECT_EQ(THelpTopics::pagesFor(QStringLiteral("Color Bar")), QStringList{QStringLiteral("Help/HTMLDocs/ColorBar.Htm")});
    EXPECT_EQ(THelpTopics::pagesFor(QStringLiteral("Control Bar")), QStringList{QStringLiteral("Help/HTMLDocs/ControlBar.Htm")});
    EXPECT_EQ(THelpTopics::pagesFor(QStringLiteral("Interactive JavaScripts")),
              THelpTopics::pagesFor(QStringLiteral("Interactive DHTML")));
    for (const char *none : {"Menus", "Examples", "The Quorvant project", "HTML Tag Reference"})
        EXPECT_TRUE(THelpTopics::pagesFor(QLatin1String(none)).isEmpty()) << none;
}

// Every node of the tree except the groups has a page.
void collectLeaves(const QList<HelpNode> &nodes, QStringList *out)
{
    for (const HelpNode &n : nodes) {
        if (n.children.isEmpty())
            out->append(n.caption);
        collectLeaves(n.children, out);
    }
}

TEST(HelpTopics, EveryLeafHasAPage)
{
    QStringList leaves;
    collectLeaves(THelpTopics::tree(), &leaves);
    EXPECT_EQ(leaves.size(), 28);
    for (const QString &leaf : leaves)
        EXPECT_FALSE(THelpTopics::pagesFor(leaf).isEmpty()) << leaf.toStdString();
}

// The local pages a help page links to (a, link, img, script, frame), skipping addresses elsewhere.
QStringList localLinks(const QString &html)
{
    QStringList out;
    static const QRegularExpression tag(QStringLiteral("<(a|link|img|script|frame|iframe)\\b[^>]*>"),
                                        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression attr(QStringLiteral("\\b(href|src)\\s*=\\s*\"([^\"]*)\""),
                                         QRegularExpression::CaseInsensitiveOption);
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const QString t = it.next().captured(0);
        for (auto a = attr.globalMatch(t); a.hasNext();) {
            QString target = a.next().captured(2);
            target = target.section(QLatin1Char('#'), 0, 0);
            if (target.isEmpty() || target.contains(QLatin1Char(':')))
                continue;
            out.append(target);
        }
    }
    return out;
}

TEST(ShippedHelp, EveryLinkInsideThePagesResolves)
{
    const QString root = QStringLiteral(QUORVANT_SHIPPED_DATA "/Help");
    int pages = 0;
    int links = 0;
    for (QDirIterator it(root, {QStringLiteral("*.htm"), QStringLiteral("*.html")}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        ++pages;
        for (const QString &link : localLinks(QString::fromUtf8(f.readAll()))) {
            ++links;
            // Exact spelling: the browser does not forgive letter case.
            EXPECT_TRUE(QFileInfo::exists(QFileInfo(path).dir().filePath(link)))
                << path.toStdString() << " links to a missing " << link.toStdString();
        }
    }
    EXPECT_GT(pages, 30);
    EXPECT_GT(links, 100);
    EXPECT_EQ(localLinks(QStringLiteral("<A HREF=\"a.htm#x\"><img src=\"p.gif\"> &lt;img src=\"no.gif\"&gt; <a href=\"http://x\">")),
              QStringList({"a.htm", "p.gif"}));
}

class HelpWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        DataFolder::setPath(m_dir.path());
        DataFolder::seed(QStringLiteral(QUORVANT_SHIPPED_DATA), m_dir.path());
        resetAppGlobals();
        resetToolkitGlobals();
        m_window = Quorvant::Test::openMainWindow(&m_settings, QSize(900, 600));
        help()->openExternal = [this](const QUrl &url) { m_opened.append(url); };
        help()->showAbout = [this] { ++m_aboutShown; };
    }
    void TearDown() override { Quorvant::Test::closeMainWindow(m_window, &m_settings); }
    THelpCommands *help() const { return m_window->findChild<THelpCommands *>(QStringLiteral("HelpCommands")); }
    QTreeWidget *tree() const { return m_window->findChild<QTreeWidget *>(QStringLiteral("TreeView2")); }
    QString shown() const { return m_window->documentationPage()->url().toLocalFile(); }
    void click(const QString &caption)
    {
        const auto items = tree()->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_EQ(items.size(), 1) << caption.toStdString();
        tree()->setCurrentItem(items.first());
        emit tree()->itemClicked(items.first(), 0);
    }
    // The page shown is a file that exists, found under its exact name.
    void expectShownExists(const std::string &what)
    {
        const QString path = shown();
        EXPECT_FALSE(path.isEmpty()) << what;
        EXPECT_TRUE(QFileInfo(path).isFile()) << what << ": " << path.toStdString();
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TSetupTools> m_settings;
    std::unique_ptr<TForm1> m_window;
    QList<QUrl> m_opened;
    int m_aboutShown = 0;
};

TEST_F(HelpWindowTest, TreeSitsOnTheDocumentationPageAndOpensTheNodesPages)
{
    // Made when the page is first shown.
    EXPECT_EQ(tree(), nullptr);
    EXPECT_EQ(m_window->tabholder()->tabText(2), QStringLiteral("Documentation"));
    m_window->tabholder()->setCurrentIndex(2);
    ASSERT_NE(tree(), nullptr);
    EXPECT_TRUE(tree()->isVisible());
    EXPECT_EQ(m_window->tabholder()->indexOf(tree()->parentWidget()), 2);
    auto *sheet = static_cast<QSplitter *>(tree()->parentWidget());
    EXPECT_EQ(sheet->indexOf(tree()), 0);
    EXPECT_EQ(sheet->indexOf(m_window->documentationPage()), 1);
    EXPECT_EQ(tree()->topLevelItemCount(), 5);
    EXPECT_EQ(tree()->topLevelItem(0)->childCount(), 12);

    click(QStringLiteral("Using The Editing Window Effectively"));
    EXPECT_TRUE(shown().endsWith(QStringLiteral("Help/HTMLDocs/UsingTheEditingWindow.Htm"))) << shown().toStdString();
    click(QStringLiteral("Color Bar"));
    EXPECT_TRUE(shown().endsWith(QStringLiteral("/ColorBar.Htm")));
    click(QStringLiteral("Control Bar"));
    EXPECT_TRUE(shown().endsWith(QStringLiteral("/ControlBar.Htm")));
    const QString before = shown();
    click(QStringLiteral("Menus"));
    click(QStringLiteral("Examples"));
    EXPECT_EQ(shown(), before);
    EXPECT_EQ(m_window->tabholder()->currentIndex(), 2);
}

TEST_F(HelpWindowTest, EveryHelpLinkOfTheProgramResolvesToAPage)
{
    m_window->tabholder()->setCurrentIndex(2);
    int opened = 0;
    for (QTreeWidgetItemIterator it(tree()); *it; ++it) {
        const QString caption = (*it)->text(0);
        if (THelpTopics::pagesFor(caption).isEmpty())
            continue;
        click(caption);
        expectShownExists("tree node " + caption.toStdString());
        ++opened;
    }
    EXPECT_EQ(opened, 28);

    for (const HelpTopicRow &row : THelpTopics::dialogTopics()) {
        m_window->ShowHelpFile(row.topic);
        expectShownExists("help topic of the " + row.dialog.toStdString());
    }
    m_window->ShowHelpFile(StartWindowText::TaskManagerHelpTopic);
    expectShownExists("Task Manager Help Me!");

    // Every item of the Help menu that shows a page.
    std::function<void(QMenu *)> walk = [&](QMenu *menu) {
        for (QAction *a : menu->actions()) {
            if (a->menu()) {
                walk(a->menu());
                continue;
            }
            const QString name = a->objectName();
            if (a->isSeparator() || name == QLatin1String("InternalDebugger1") || name == QLatin1String("Helpforcurrenttag1"))
                continue;
            m_window->documentationPage()->navigate(QUrl());
            a->trigger();
            if (!m_window->documentationPage()->url().isEmpty())
                expectShownExists("menu item " + name.toStdString());
        }
    };
    walk(m_window->menu(QStringLiteral("Help1")));
    m_window->action(QStringLiteral("TableofContents1"))->trigger();
    EXPECT_TRUE(shown().endsWith(QStringLiteral("Help/index.htm")));
    m_window->action(QStringLiteral("WDGCSSGuide1"))->trigger();
    EXPECT_TRUE(shown().endsWith(QStringLiteral("Help/WDG/Extra/css/Index.Html")));
    EXPECT_EQ(m_aboutShown, 1);

    ASSERT_TRUE(m_window->commands().has(QStringLiteral("SetupWebsite")));
    m_window->commands().run(QStringLiteral("SetupWebsite"));
    EXPECT_TRUE(shown().endsWith(QStringLiteral("WebHosting.htm")));
}

TEST_F(HelpWindowTest, WebSitesComeFromTheSettings)
{
    m_window->action(QStringLiteral("WDGHTMLHelpWebSite1"))->trigger();
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_EQ(m_opened.last().host(), QStringLiteral("www.htmlhelp.com"));

    // No address for the maker's site: its page is shown instead of a browser.
    m_window->action(QStringLiteral("Visitourwebsite1"))->trigger();
    EXPECT_EQ(m_opened.size(), 1);
    EXPECT_TRUE(shown().endsWith(QStringLiteral("AboutTandrel.Htm")));

    IniFile ini(TSetupTools::mainIniPath());
    ASSERT_TRUE(ini.writeString(QStringLiteral("help"), QStringLiteral("website"), QStringLiteral("https://tandrel.test/")));
    ASSERT_TRUE(ini.writeString(QStringLiteral("Help"), QStringLiteral("SourceForgeSite"), QStringLiteral("https://forge.test/q")));
    m_window->action(QStringLiteral("Visitourwebsite1"))->trigger();
    m_window->action(QStringLiteral("SourceForge1"))->trigger();
    ASSERT_EQ(m_opened.size(), 3);
    EXPECT_EQ(m_opened.at(1), QUrl(QStringLiteral("https://tandrel.test/")));
    EXPECT_EQ(m_opened.at(2), QUrl(QStringLiteral("https://forge.test/q")));
}

TEST_F(HelpWindowTest, AboutWindowNamesTheLibrariesWithVersionsAndLicences)
{
    TMnuAbout about(m_window.get());
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Quorvant"));
    // One version, the build's, and no second "build" number beside it.
    auto *version = about.findChild<QLabel *>(QStringLiteral("VersionLabel"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), QStringLiteral("<b>Quorvant Version " QUORVANT_VERSION "</b>"));
    for (const QLabel *label : about.findChildren<QLabel *>())
        EXPECT_FALSE(label->text().contains(QLatin1String("Build"))) << label->text().toStdString();
    auto *list = about.findChild<QTreeWidget *>(QStringLiteral("LibraryList"));
    ASSERT_NE(list, nullptr);
    QStringList names;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        names.append(list->topLevelItem(i)->text(0));
        EXPECT_FALSE(list->topLevelItem(i)->text(2).isEmpty());
    }
    for (const char *lib : {"QScintilla", "Hunspell", "MyThes", "Qt WebEngine"}) {
        const auto found = list->findItems(QLatin1String(lib), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << lib;
        EXPECT_TRUE(found.first()->text(1).contains(QLatin1Char('.'))) << lib;
    }
}

} // namespace
