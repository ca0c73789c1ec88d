#include "helpcommands.h"

#include "browserpage.h"
#include "commandregistry.h"
#include "datafolder.h"
#include "helptopics.h"
#include "inifile.h"
#include "lazypage.h"
#include "mainwindow.h"
#include "mnuabout.h"
#include "setuptools.h"
#include "standardicons.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTreeWidget>

namespace Quorvant {

namespace {

void addNodes(QTreeWidgetItem *parent, QTreeWidget *tree, const QList<HelpNode> &nodes, const QIcon &icon)
{
    for (const HelpNode &n : nodes) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        item->setText(0, n.caption);
        item->setIcon(0, icon);
        addNodes(item, tree, n.children, icon);
    }
}

} // namespace

THelpCommands::THelpCommands(TForm1 &form) : QObject(&form), m_form(form)
{
    openExternal = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    showAbout = [this] {
        TMnuAbout about(&m_form);
        about.exec();
    };
}

void THelpCommands::buildTopicTree()
{
    QTabWidget *pages = m_form.tabholder();
    TBrowserPage *documentation = m_form.documentationPage();
    const int index = pages->indexOf(documentation);
    if (index < 0)
        return;
    const QString caption = pages->tabText(index);
    const bool current = pages->currentIndex() == index;
    pages->removeTab(index);
    auto *sheet = new QSplitter(Qt::Horizontal);
    sheet->setObjectName(QStringLiteral("TabSheet2"));
    sheet->addWidget(documentation);
    documentation->show();  // the page control hid it while it was not the current page
    pages->insertTab(index, sheet, caption);
    if (current)
        pages->setCurrentIndex(index);
    // The tree is made when the page is first shown.
    buildOnFirstShow(sheet, [this, sheet] { fillTopicTree(sheet); });
}

void THelpCommands::fillTopicTree(QSplitter *sheet)
{
    m_tree = new QTreeWidget(sheet);
    m_tree->setObjectName(QStringLiteral("TreeView2"));
    m_tree->setHeaderHidden(true);
    addNodes(nullptr, m_tree, THelpTopics::tree(), standardIcon(QStyle::SP_FileDialogInfoView));
    m_tree->expandAll();
    sheet->insertWidget(0, m_tree);
    sheet->setStretchFactor(0, 0);
    sheet->setStretchFactor(1, 1);
    sheet->setSizes({220, 800});
    connect(m_tree, &QTreeWidget::itemClicked, this, [this] { TreeView2Click(); });
    connect(m_tree, &QTreeWidget::itemActivated, this, [this] { TreeView2Click(); });
}

void THelpCommands::buildMenu()
{
    QMenu *help = m_form.menu(QStringLiteral("Help1"));
    if (!help)
        return;
    QAction *first = help->actions().value(0);
    auto add = [&](QMenu *menu, const char *name, const char *caption, void (THelpCommands::*slot)()) {
        auto *a = new QAction(QLatin1String(caption), &m_form);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        if (menu == help)
            menu->insertAction(first, a);
        else
            menu->addAction(a);
        return a;
    };
    add(help, "TableofContents1", "Table of Contents", &THelpCommands::TableofContents1Click);
    auto *tagHelp = new QAction(QStringLiteral("Help for current tag"), &m_form);
    tagHelp->setObjectName(QStringLiteral("Helpforcurrenttag1"));
    connect(tagHelp, &QAction::triggered, this, [this] { m_form.commands().run(QLatin1String(KeyCommandF1)); });
    help->insertAction(first, tagHelp);
    auto *reference = new QMenu(QStringLiteral("Reference Material"), help);
    reference->setObjectName(QStringLiteral("ReferenceMaterial1"));
    help->insertMenu(first, reference);
    add(reference, "WDGHTMLGuide1", "WDG HTML Guide", &THelpCommands::WDGHTMLGuide1Click);
    add(reference, "WDGCSSGuide1", "WDG CSS Guide", &THelpCommands::WDGCSSGuide1Click);
    add(reference, "WDGHTMLHelpWebSite1", "WDG HTML Help Web Site", &THelpCommands::WDGHTMLHelpWebSite1Click);
    add(reference, "SourceForge1", "Source Forge", &THelpCommands::SourceForge1Click);
    auto *web = new QMenu(QStringLiteral("Quorvant on the Web"), help);
    web->setObjectName(QStringLiteral("TandrelontheWeb1"));
    help->insertMenu(first, web);
    add(web, "Visitourwebsite1", "Visit our website", &THelpCommands::Visitourwebsite1Click);
    help->insertSeparator(first);
    add(help, "About1", "About Quorvant", &THelpCommands::About1Click);
    help->insertSeparator(first);
}

void THelpCommands::showPage(const QString &relative)
{
    m_form.documentationPage()->navigate(QUrl::fromLocalFile(DataFolder::file(relative)));
    // The browser, or the sheet that holds it with the topic tree.
    QWidget *documentation = m_form.documentationPage();
    int index = m_form.tabholder()->indexOf(documentation);
    if (index < 0 && documentation->parentWidget())
        index = m_form.tabholder()->indexOf(documentation->parentWidget());
    if (index >= 0)
        m_form.tabholder()->setCurrentIndex(index);
}

// Each row is tried, so a caption of several rows ends on the last one.
void THelpCommands::TreeView2Click()
{
    if (!m_tree)
        return;
    QTreeWidgetItem *item = m_tree->currentItem();
    if (!item)
        return;
    for (const QString &page : THelpTopics::pagesFor(item->text(0)))
        m_form.documentationPage()->navigate(QUrl::fromLocalFile(DataFolder::file(page)));
}

void THelpCommands::TableofContents1Click()
{
    m_form.ShowHelpFile(QStringLiteral("MAIN"));
}

void THelpCommands::WDGHTMLGuide1Click()
{
    showPage(THelpTopics::htmlGuide());
}

void THelpCommands::WDGCSSGuide1Click()
{
    showPage(THelpTopics::cssGuide());
}

void THelpCommands::openWebSite(const QString &key, const QString &fallback, const QString &pageWithout)
{
    const QString address = IniFile(TSetupTools::mainIniPath()).readString(QStringLiteral("Help"), key, fallback).trimmed();
    if (address.isEmpty()) {
        showPage(pageWithout);
        return;
    }
    m_form.lower();
    openExternal(QUrl::fromUserInput(address));
}

void THelpCommands::WDGHTMLHelpWebSite1Click()
{
    const HelpWebSite &s = THelpTopics::htmlHelpSite();
    openWebSite(s.key, s.address, THelpTopics::htmlGuide());
}

void THelpCommands::SourceForge1Click()
{
    const HelpWebSite &s = THelpTopics::sourceForgeSite();
    openWebSite(s.key, s.address, THelpTopics::mainPage());
}

void THelpCommands::Visitourwebsite1Click()
{
    const HelpWebSite &s = THelpTopics::makerSite();
    openWebSite(s.key, s.address, THelpTopics::pagesFor(QStringLiteral("About the Quorvant project")).value(0));
}

void THelpCommands::About1Click()
{
    showAbout();
}

void THelpCommands::SetupWebsite()
{
    showPage(QStringLiteral("Help/WebHosting.htm"));
}

} // namespace Quorvant
