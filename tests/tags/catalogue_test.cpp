// The catalogue table reader and the builder, on small tables and bare widgets.
#include "catalogue.h"
#include "cataloguebuilder.h"
#include "catalogueicons.h"
#include "lazypage.h"

#include <QAction>
#include <QBoxLayout>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

QStringList g_warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg)
        g_warnings.append(message);
}

QString tsv(std::initializer_list<const char *> lines)
{
    QStringList out;
    for (const char *l : lines)
        out.append(QString::fromUtf8(l));
    return out.join(u'\n');
}

} // namespace

TEST(CatalogueParse, EscapesKeepTabsLineBreaksAndBlanksExactly)
{
    bool ok = false;
    EXPECT_EQ(unescapeCatalogueField(QStringLiteral("a\\r\\nb\\tc\\sd\\\\e"), &ok), QStringLiteral("a\r\nb\tc d\\e"));
    EXPECT_TRUE(ok);
    // Runs of blanks inside a field are kept as written.
    EXPECT_EQ(unescapeCatalogueField(QStringLiteral("Center      <CENTER>")), QStringLiteral("Center      <CENTER>"));
    for (const char *bad : {"a\\x", "trailing\\"}) {
        unescapeCatalogueField(QString::fromLatin1(bad), &ok);
        EXPECT_FALSE(ok) << bad;
    }
}

TEST(CatalogueParse, ReadsColumnsStepsAndSkipsComments)
{
    const TCatalogue c = parseCatalogue(tsv({
        "# a comment",
        "",
        "insert\tTags1\tBoldTextB1\tBold Text   <B>\t\t\tCtrl+B\t<B>\t</B>\r",
        "insert\tPage\tList1\t\tDefinition List\tdeflist\t\t<dl>\t\t\\r\\n\\s\\s\\s\\s<dt><dd>\t\t\\r\\n</dl>",
        "insert\tPage\tAsp1\tif\tASP If\t\t\t<% If\\s\t\\s%>",
        "wizard\tPage\tTable1\t\tCreate new table...\ttables\tTableWizard",
        "menu\tPage\tFontSizeMenu\tSize\tFont size\t\tFontSizeButton",
        "separator\tTags1",
    }));
    ASSERT_TRUE(c.errors.isEmpty()) << c.errors.join(u'\n').toStdString();
    ASSERT_EQ(c.entries.size(), 6);

    const TCatalogueEntry &bold = c.entries.at(0);
    EXPECT_EQ(bold.kind, CatalogueKind::Insert);
    EXPECT_EQ(bold.place, QStringLiteral("Tags1"));
    EXPECT_EQ(bold.name, QStringLiteral("BoldTextB1"));
    EXPECT_EQ(bold.caption, QStringLiteral("Bold Text   <B>"));
    EXPECT_EQ(bold.key, QStringLiteral("Ctrl+B"));
    EXPECT_EQ(bold.steps, (QList<TInsertStep>{{QStringLiteral("<B>"), QStringLiteral("</B>")}}));
    EXPECT_EQ(bold.line, 3);

    EXPECT_EQ(c.entries.at(1).steps, (QList<TInsertStep>{{QStringLiteral("<dl>"), QString()},
                                                          {QStringLiteral("\r\n    <dt><dd>"), QString()},
                                                          {QStringLiteral("\r\n</dl>"), QString()}}));
    EXPECT_EQ(c.entries.at(1).icon, QStringLiteral("deflist"));
    EXPECT_EQ(c.entries.at(2).steps, (QList<TInsertStep>{{QStringLiteral("<% If "), QStringLiteral(" %>")}}));
    EXPECT_EQ(c.entries.at(3).kind, CatalogueKind::Wizard);
    EXPECT_EQ(c.entries.at(3).key, QStringLiteral("TableWizard"));
    EXPECT_EQ(c.entries.at(4).kind, CatalogueKind::Menu);
    EXPECT_EQ(c.entries.at(5).kind, CatalogueKind::Separator);
}

TEST(CatalogueParse, LeavesOutBrokenLinesAndNamesThem)
{
    const TCatalogue c = parseCatalogue(tsv({
        "insert\tTags1\tA1\tA\t\t\t\t<A>",
        "button\tTags1\tB1\tB",                     // unknown kind
        "insert\tTags1\tA1\tAgain\t\t\t\t<A>",      // name used twice
        "insert\tTags1\tC1\tC",                     // inserts nothing
        "insert\tTags1\tD1\tD\t\t\t\t<D\\q>",       // unknown escape
        "wizard\tTags1\tE1\tE",                     // no wizard id
        "insert\t\tF1\tF\t\t\t\t<F>",               // no place
        "inert\tTags1\tG1\tG\t\t\t\t<G>",           // texts on a non-insert
        "menu\tPage\tM1\tM\t\t\tA1",                // button name clashes
        "insert\tTags1\tH1\tH\t\t\t\t\t</H>",       // an end text alone is an insertion
    }));
    ASSERT_EQ(c.entries.size(), 2);
    EXPECT_EQ(c.entries.at(0).name, QStringLiteral("A1"));
    EXPECT_EQ(c.entries.at(1).name, QStringLiteral("H1"));
    ASSERT_EQ(c.errors.size(), 8);
    EXPECT_TRUE(c.errors.at(0).startsWith(QStringLiteral("line 2:")));
    EXPECT_TRUE(c.errors.at(1).contains(QStringLiteral("used twice")));
    EXPECT_TRUE(c.errors.at(2).contains(QStringLiteral("inserts nothing")));
}

TEST(CatalogueParse, MissingFileIsReported)
{
    const TCatalogue c = loadCatalogue(QStringLiteral("/nonexistent/catalogue.tsv"));
    EXPECT_TRUE(c.entries.isEmpty());
    ASSERT_EQ(c.errors.size(), 1);
}

TEST(CatalogueParse, Html5StepsAttachToTheirInsertsAndBadLinesAreReported)
{
    TCatalogue c = parseCatalogue(QStringLiteral("insert\tTags1\tBold1\tBold\t\t\t\t<B>\t</B>\n"
                                                 "menu\tTags1\tSizes1\tSizes\n"));
    addHtml5Steps(&c, QStringLiteral("# comment\n"
                                     "Bold1\t<strong>\t</strong>\t\\r\\n<br>\n"
                                     "Sizes1\t<span>\t</span>\n"
                                     "Nothing1\t<em>\n"
                                     "Bold1\t\\q\n"));
    ASSERT_EQ(c.entries.size(), 2);
    EXPECT_EQ(c.entries.at(0).steps, (QList<TInsertStep>{{QStringLiteral("<B>"), QStringLiteral("</B>")}}));
    EXPECT_EQ(c.entries.at(0).html5Steps, (QList<TInsertStep>{{QStringLiteral("<strong>"), QStringLiteral("</strong>")},
                                                             {QStringLiteral("\r\n<br>"), QString()}}));
    EXPECT_TRUE(c.entries.at(1).html5Steps.isEmpty());
    EXPECT_EQ(c.errors, (QStringList{QStringLiteral("html5 line 3: Sizes1 is no insert of the catalogue"),
                                     QStringLiteral("html5 line 4: Nothing1 is no insert of the catalogue"),
                                     QStringLiteral("html5 line 5: unknown escape")}));
}

TEST(CatalogueBuiltIn, LoadsWithoutErrorsAndEveryIconDraws)
{
    TCatalogue c = loadCatalogue();
    loadHtml5Steps(&c);
    ASSERT_TRUE(c.errors.isEmpty()) << c.errors.join(u'\n').toStdString();
    ASSERT_GT(c.entries.size(), 500);
    QSet<QString> icons;
    for (const TCatalogueEntry &e : c.entries) {
        if (!e.icon.isEmpty())
            icons.insert(e.icon);
    }
    for (const QString &name : std::as_const(icons)) {
        ASSERT_TRUE(catalogueIconExists(name)) << name.toStdString();
        const QImage image = catalogueIcon(name).pixmap(QSize(24, 24)).toImage();
        ASSERT_EQ(image.size(), QSize(24, 24)) << name.toStdString();
        // The rounded square fills the middle; its corners stay clear.
        EXPECT_GT(qAlpha(image.pixel(12, 12)), 200) << name.toStdString();
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << name.toStdString();
    }
    EXPECT_TRUE(catalogueIcon(QStringLiteral("no-such-icon")).isNull());
}

class CatalogueBuilderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        menu = new QMenu(&window);
        bar = new QToolBar(&window);
        bar->setIconSize(QSize(32, 32));
        bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        tabs = new QTabWidget(&window);
        holder = new QWidget(&window);
        new QHBoxLayout(holder);
        builder.addRegion(QStringLiteral("Menu"), menu);
        builder.addRegion(QStringLiteral("Bar"), bar);
        builder.addRegion(QStringLiteral("Tabs"), tabs);
        builder.addRegion(QStringLiteral("Holder"), holder);
        builder.setInsertHandler([this](const QString &s, const QString &e) { calls.append(s + u'|' + e); });
        builder.setWizardHandler([this](const QString &id) { calls.append(QStringLiteral("wizard ") + id); });
        builder.setCommandHandler([this](const QString &id) { calls.append(QStringLiteral("command ") + id); });
    }

    template<typename T>
    T *find(const char *name) const
    {
        return window.findChild<T *>(QLatin1String(name));
    }

    QWidget window;
    QMenu *menu = nullptr;
    QToolBar *bar = nullptr;
    QTabWidget *tabs = nullptr;
    QWidget *holder = nullptr;
    TCatalogueBuilder builder;
    QStringList calls;
};

TEST_F(CatalogueBuilderTest, BuildsEachKindWhereTheTableSaysAndRoutesPicks)
{
    const TCatalogue c = parseCatalogue(tsv({
        "insert\tMenu\tBold1\tBold   <B>\tbold hint\t\tCtrl+B\t<B>\t</B>",
        "separator\tMenu",
        "menu\tMenu\tSub1\tSub",
        "insert\tSub1\tSteps1\tSteps\t\t\t\t<dl>\t\ta\tb\t</dl>",
        "inert\tSub1\tNothing1\tNothing",
        "wizard\tBar\tBig1\tTables\tCreate new table...\ttables\tTableWizard",
        "tabs\tBar\tPages\t\t\t\t16",
        "page\tPages\tPageA\tFirst",
        "insert\tPageA\tStrong1\t\tStrong <STRONG>\tstrong\t\t<STRONG>\t</STRONG>",
        "insert\tPageA\tSt1\tST\tStrike out\t\t\t<STRIKE>\t</STRIKE>",
        "menu\tPageA\tSizes\tSize\tFont size\t\tSizeButton",
        "insert\tSizes\tSize1\t1\t\t\t\t<FONT SIZE=\"1\">\t</FONT>",
        "spacer\tPageA",
        "command\tPageA\tClose1\tX\tHide\t\tclose",
        "page\tTabs\tPageB\tSecond\t\t\t24",
        "toolbar\tHolder\tFormatting\tFormatting\t\t\t16",
        "insert\tFormatting\tB1\t\tBold\tbold\t\t<B>\t</B>",
    }));
    ASSERT_TRUE(c.errors.isEmpty());
    EXPECT_TRUE(builder.build(c).isEmpty());

    QAction *bold = find<QAction>("Bold1");
    ASSERT_NE(bold, nullptr);
    EXPECT_EQ(bold->text(), QStringLiteral("Bold   <B>"));
    EXPECT_EQ(bold->statusTip(), QStringLiteral("bold hint"));
    EXPECT_EQ(bold->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_B));
    ASSERT_EQ(menu->actions().size(), 3);
    EXPECT_TRUE(menu->actions().at(1)->isSeparator());
    QMenu *sub = find<QMenu>("Sub1");
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(menu->actions().at(2), sub->menuAction());
    EXPECT_FALSE(find<QAction>("Nothing1")->isEnabled());

    bold->trigger();
    find<QAction>("Steps1")->trigger();
    EXPECT_EQ(calls, (QStringList{QStringLiteral("<B>|</B>"), QStringLiteral("<dl>|"), QStringLiteral("a|b"),
                                  QStringLiteral("</dl>|")}));
    calls.clear();

    auto *big = find<QToolButton>("Big1");
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->parentWidget(), bar);
    EXPECT_EQ(big->text(), QStringLiteral("Tables"));
    EXPECT_EQ(big->toolTip(), QStringLiteral("Create new table..."));
    EXPECT_EQ(big->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_EQ(big->iconSize(), QSize(32, 32));
    big->click();
    EXPECT_EQ(calls, QStringList{QStringLiteral("wizard TableWizard")});
    calls.clear();

    auto *pages = find<QTabWidget>("Pages");
    ASSERT_NE(pages, nullptr);
    ASSERT_EQ(pages->count(), 1);
    EXPECT_EQ(pages->tabText(0), QStringLiteral("First"));
    auto *strong = find<QToolButton>("Strong1");
    EXPECT_EQ(strong->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_FALSE(strong->icon().isNull());
    EXPECT_EQ(strong->iconSize(), QSize(16, 16));
    EXPECT_EQ(strong->toolTip(), QStringLiteral("Strong <STRONG>"));
    auto *st = find<QToolButton>("St1");
    EXPECT_EQ(st->text(), QStringLiteral("ST"));
    EXPECT_EQ(st->toolButtonStyle(), Qt::ToolButtonTextOnly);
    auto *sizeButton = find<QToolButton>("SizeButton");
    ASSERT_NE(sizeButton, nullptr);
    EXPECT_EQ(sizeButton->text(), QStringLiteral("Size"));
    EXPECT_EQ(sizeButton->popupMode(), QToolButton::InstantPopup);
    ASSERT_NE(sizeButton->menu(), nullptr);
    EXPECT_EQ(sizeButton->menu()->objectName(), QStringLiteral("Sizes"));

    // Row order: the spacer pushes the close button to the far end.
    QWidget *pageA = find<QWidget>("PageA");
    auto *row = qobject_cast<QBoxLayout *>(pageA->layout());
    QStringList order;
    for (int i = 0; i < row->count(); ++i) {
        if (QWidget *w = row->itemAt(i)->widget())
            order.append(w->objectName());
        else if (row->itemAt(i)->spacerItem())
            order.append(QStringLiteral("|"));
    }
    EXPECT_EQ(order, (QStringList{QStringLiteral("Strong1"), QStringLiteral("St1"), QStringLiteral("SizeButton"),
                                  QStringLiteral("|"), QStringLiteral("Close1")}));
    find<QToolButton>("Close1")->click();
    st->click();
    EXPECT_EQ(calls, (QStringList{QStringLiteral("command close"), QStringLiteral("<STRIKE>|</STRIKE>")}));

    ASSERT_EQ(tabs->count(), 1);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("Second"));
    auto *formatting = find<QToolBar>("Formatting");
    ASSERT_NE(formatting, nullptr);
    EXPECT_EQ(formatting->parentWidget(), holder);
    EXPECT_EQ(find<QToolButton>("B1")->iconSize(), QSize(16, 16));
}

TEST_F(CatalogueBuilderTest, ReusesAnExistingPageOfThatName)
{
    auto *existing = new QWidget(tabs);
    existing->setObjectName(QStringLiteral("Extended1Page"));
    tabs->addTab(existing, QStringLiteral("Extended 1"));
    const TCatalogue c = parseCatalogue(tsv({
        "page\tTabs\tExtended1Page\tExtended 1",
        "insert\tExtended1Page\tCharEacute1\t\xc3\x89\t&Eacute;\t\t\t&Eacute;",
    }));
    EXPECT_TRUE(builder.build(c).isEmpty());
    ASSERT_EQ(tabs->count(), 1);
    auto *button = find<QToolButton>("CharEacute1");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->parentWidget(), existing);
    EXPECT_EQ(button->text(), QStringLiteral("\u00C9"));
    button->click();
    EXPECT_EQ(calls, QStringList{QStringLiteral("&Eacute;|")});
}

TEST_F(CatalogueBuilderTest, ReportsEntriesItCannotPlaceAndBuildsTheRest)
{
    const TCatalogue c = parseCatalogue(tsv({
        "insert\tNowhere\tA1\tA\t\t\t\t<A>",
        "page\tMenu\tP1\tP",
        "tabs\tMenu\tT1",
        "spacer\tMenu",
        "insert\tMenu\tB1\tB\t\tno-such-icon\t\t<B>",
        "insert\tMenu\tC1\tC\t\t\t\t<C>",
    }));
    const QStringList problems = builder.build(c);
    ASSERT_EQ(problems.size(), 5);
    EXPECT_TRUE(problems.at(0).startsWith(QStringLiteral("line 1: no place called Nowhere")));
    EXPECT_TRUE(problems.at(4).contains(QStringLiteral("no icon called no-such-icon")));
    EXPECT_NE(find<QAction>("B1"), nullptr);
    EXPECT_NE(find<QAction>("C1"), nullptr);
}

TEST_F(CatalogueBuilderTest, APageNotShownIsBuiltWhenFirstShownWithWhatItsEntriesMadeAndItsProblems)
{
    const TCatalogue c = parseCatalogue(tsv({
        "page\tTabs\tShown\tShown",
        "insert\tShown\tA1\tA\t\t\t\t<A>",
        "page\tTabs\tLater\tLater",
        "menu\tLater\tSizes\tSize\t\t\tSizeButton",
        "insert\tSizes\tSize1\t1\t\t\t\t<FONT SIZE=\"1\">\t</FONT>",
        "insert\tLater\tB1\tB\t\tno-such-icon\t\t<B>",
        "insert\tShown\tC1\tC\t\t\t\t<C>",
    }));
    ASSERT_TRUE(c.errors.isEmpty());
    EXPECT_TRUE(builder.build(c).isEmpty());  // the later page's problem comes with it
    ASSERT_EQ(tabs->count(), 2);
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("Later"));
    EXPECT_NE(find<QToolButton>("C1"), nullptr);
    QWidget *later = tabs->widget(1);
    EXPECT_TRUE(later->findChildren<QWidget *>().isEmpty());
    EXPECT_EQ(find<QMenu>("Sizes"), nullptr);

    g_warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    ensureBuilt(later);
    qInstallMessageHandler(previous);
    ASSERT_EQ(g_warnings.size(), 1);
    EXPECT_EQ(g_warnings.first(), QStringLiteral("catalogue: line 6: no icon called no-such-icon"));
    auto *row = qobject_cast<QBoxLayout *>(later->layout());
    ASSERT_NE(row, nullptr);
    QStringList order;
    for (int i = 0; i < row->count(); ++i)
        order.append(row->itemAt(i)->widget() ? row->itemAt(i)->widget()->objectName() : QStringLiteral("|"));
    EXPECT_EQ(order, (QStringList{QStringLiteral("SizeButton"), QStringLiteral("B1"), QStringLiteral("|")}));
    find<QAction>("Size1")->trigger();
    find<QToolButton>("B1")->click();
    EXPECT_EQ(calls, (QStringList{QStringLiteral("<FONT SIZE=\"1\">|</FONT>"), QStringLiteral("<B>|")}));
    ensureBuilt(later);
    EXPECT_EQ(find<QMenu>("Sizes")->actions().size(), 1);
}
