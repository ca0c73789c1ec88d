// The browser pages load the engine module the first time a browser is
// shown; this program does not link the engine, so it sees when it comes in.
#include "browserengineloader.h"
#include "browserpage.h"

#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

bool engineMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
}

QString writePage(const QTemporaryDir &dir, const QString &name, const QByteArray &html)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(html);
    return path;
}

TEST(BrowserEngine, AModuleThatCannotLoadLeavesTheReasonOnThePage)
{
    QTemporaryDir dir;
    const QString notALibrary = writePage(dir, QStringLiteral("engine.so"), "not a library");
    qputenv("QUORVANT_BROWSER_MODULE", notALibrary.toLocal8Bit());
    TBrowserPage page(TBrowserPage::Kind::Documentation, QStringLiteral("WebBrowser3"));
    page.show();
    qunsetenv("QUORVANT_BROWSER_MODULE");
    EXPECT_EQ(page.browser(), nullptr);
    EXPECT_TRUE(page.browserError().contains(notALibrary)) << qPrintable(page.browserError());
    auto *failure = page.findChild<QLabel *>(QStringLiteral("WebBrowser3Failure"));
    ASSERT_NE(failure, nullptr);
    EXPECT_TRUE(failure->text().startsWith(QStringLiteral("The browser could not be started: "))) << qPrintable(failure->text());
    page.navigate(QUrl::fromLocalFile(notALibrary));  // nothing to show it in, and no crash
    EXPECT_FALSE(TBrowserEngineLoader::loaded());
}

TEST(BrowserEngine, TheEngineComesInWithTheFirstShownBrowser)
{
    QTemporaryDir dir;
    const QString home = writePage(dir, QStringLiteral("home.htm"),
                                   "<html><head><title>Page one</title></head><body><a id=l href='two.htm'>two</a></body></html>");
    writePage(dir, QStringLiteral("two.htm"), "<html><head><title>Page two</title></head><body>2</body></html>");

    TBrowserPage preview(TBrowserPage::Kind::Preview, QStringLiteral("WebBrowser2"));
    preview.navigate(QUrl::fromLocalFile(home));
    EXPECT_FALSE(engineMapped()) << "no browser yet, no engine";
    EXPECT_EQ(preview.browser(), nullptr);

    preview.resize(800, 600);
    preview.show();
    ASSERT_NE(preview.browser(), nullptr) << qPrintable(preview.browserError());
    EXPECT_TRUE(preview.browser()->inherits("QWebEngineView"));
    EXPECT_EQ(preview.browser()->objectName(), QStringLiteral("WebBrowser2"));
    EXPECT_TRUE(engineMapped());
    // The page hears the view's title and loads through the module.
    QTRY_COMPARE_WITH_TIMEOUT(preview.titleLabel()->text(), QStringLiteral("Page one"), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(preview.statusBar()->currentMessage(), QStringLiteral("Done"), 10000);

    // A tag-list page lets its home page through and hands every other one on.
    TBrowserPage tags(TBrowserPage::Kind::TagList, QStringLiteral("WebBrowser1"));
    tags.setHomePage(QUrl::fromLocalFile(home));
    QList<QUrl> redirected;
    QObject::connect(&tags, &TBrowserPage::redirected, [&](const QUrl &url) { redirected.append(url); });
    tags.navigate(QUrl::fromLocalFile(home));
    tags.show();
    ASSERT_NE(tags.browser(), nullptr);
    tags.navigate(QUrl::fromLocalFile(dir.filePath(QStringLiteral("two.htm"))));
    QTRY_COMPARE_WITH_TIMEOUT(redirected.size(), 1, 30000);
    EXPECT_EQ(redirected.first(), QUrl::fromLocalFile(dir.filePath(QStringLiteral("two.htm"))));
}

} // namespace
