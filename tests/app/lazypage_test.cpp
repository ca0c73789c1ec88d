// Pages built on their first showing.
#include "lazypage.h"

#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

// A window with a page control of three empty pages, the first current.
struct Pages
{
    Pages()
    {
        window.resize(400, 300);
        auto *column = new QVBoxLayout(&window);
        tabs = new QTabWidget(&window);
        column->addWidget(tabs);
        for (const char *name : {"First", "Second", "Third"}) {
            auto *page = new QWidget(tabs);
            page->setObjectName(QLatin1String(name));
            tabs->addTab(page, QLatin1String(name));
        }
    }
    QWidget *page(int i) const { return tabs->widget(i); }
    // Registers a build that puts a label on the page and counts its runs.
    void lazy(int i, int &runs)
    {
        QWidget *p = page(i);
        buildOnFirstShow(p, [p, &runs] {
            ++runs;
            auto *row = new QVBoxLayout(p);
            row->addWidget(new QLabel(QStringLiteral("contents"), p));
        });
    }

    QWidget window;
    QTabWidget *tabs = nullptr;
};

} // namespace

TEST(LazyPage, AHiddenPageIsBuiltOnceWhenFirstShownAndItsContentsAreShownAndLaidOut)
{
    Pages p;
    int runs = 0;
    p.lazy(1, runs);
    p.window.show();
    QApplication::processEvents();
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(isBuilt(p.page(1)));
    EXPECT_EQ(p.page(1)->findChild<QLabel *>(), nullptr);

    // Built inside the showing, before anything paints.
    p.tabs->setCurrentIndex(1);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(isBuilt(p.page(1)));
    auto *label = p.page(1)->findChild<QLabel *>();
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->isVisible());
    EXPECT_GT(label->width(), 0);

    p.tabs->setCurrentIndex(0);
    p.tabs->setCurrentIndex(1);
    ensureBuilt(p.page(1));
    EXPECT_EQ(runs, 1);
}

TEST(LazyPage, EnsureBuiltBuildsANeverShownPageOnceAndItShowsWithItsContentsLater)
{
    Pages p;
    int runs = 0;
    p.lazy(2, runs);
    ensureBuilt(p.page(2));
    ensureBuilt(p.page(2));
    EXPECT_EQ(runs, 1);
    ASSERT_NE(p.page(2)->findChild<QLabel *>(), nullptr);

    p.window.show();
    p.tabs->setCurrentIndex(2);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(p.page(2)->findChild<QLabel *>()->isVisible());
    // A page without a waiting build is left alone.
    ensureBuilt(p.page(0));
    EXPECT_TRUE(isBuilt(p.page(0)));
}

TEST(LazyPage, ThePageThatShowsWithItsWindowIsBuiltAtOnceAndOthersNever)
{
    Pages p;
    int current = 0, other = 0;
    p.lazy(0, current);
    p.lazy(1, other);
    EXPECT_EQ(current, 1);  // the window has not been shown yet
    p.window.show();
    QApplication::processEvents();
    p.window.hide();
    EXPECT_EQ(current, 1);
    EXPECT_EQ(other, 0);
}

TEST(LazyPage, APageControlThatIsHiddenOrOnAHiddenActionWaitsAndOneOnAToolbarDoesNot)
{
    QWidget window;
    auto *column = new QVBoxLayout(&window);
    auto *bar = new QToolBar(&window);
    column->addWidget(bar);
    auto *onBar = new QTabWidget;
    auto *barPage = new QWidget(onBar);
    onBar->addTab(barPage, QStringLiteral("On the bar"));
    QAction *barAction = bar->addWidget(onBar);
    auto *hiddenTabs = new QTabWidget(&window);
    column->addWidget(hiddenTabs);
    auto *hiddenPage = new QWidget(hiddenTabs);
    hiddenTabs->addTab(hiddenPage, QStringLiteral("Hidden"));
    hiddenTabs->hide();

    EXPECT_TRUE(shownWithWindow(barPage));
    int onBarRuns = 0, hiddenRuns = 0;
    buildOnFirstShow(barPage, [&] { ++onBarRuns; });
    buildOnFirstShow(hiddenPage, [&] { ++hiddenRuns; });
    EXPECT_EQ(onBarRuns, 1);
    EXPECT_EQ(hiddenRuns, 0);
    barAction->setVisible(false);
    EXPECT_FALSE(shownWithWindow(barPage));

    window.show();
    EXPECT_EQ(hiddenRuns, 0);
    hiddenTabs->show();
    EXPECT_EQ(hiddenRuns, 1);
}
