// The plug-in loader with the example plug-ins and test plug-ins.
#include "plugins.h"
#include "toolstestsupport.h"

#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

class PluginsTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }

    std::unique_ptr<TPlugins> loader()
    {
        auto p = std::make_unique<TPlugins>(
            [this](const QString &beg, const QString &fin) { inserted.append({beg, fin}); },
            [this](const QString &line) { log.append(line); });
        p->ReplaceSelectionCommand = [this](const QString &text) { replaced.append(text); };
        p->MessageCommand = [this](const QString &text) { messages.append(text); };
        return p;
    }
    QString folder(const char *name = "PlugIn") const { return m_dir.filePath(QLatin1String(name)); }
    static QString fixtureText(const QString &path, const char *symbol)
    {
        auto f = reinterpret_cast<const char *(*)()>(QLibrary::resolve(path, symbol));
        return f && f() ? QString::fromUtf8(f()) : QStringLiteral("<null>");
    }

    QTemporaryDir m_dir;
    QList<QPair<QString, QString>> inserted;
    QStringList replaced;
    QStringList messages;
    QStringList log;
};

} // namespace

TEST_F(PluginsTest, ExamplePluginsReplaceTheSelectionAndShowACount)
{
    ToolsTest::copyPlugin(QStringLiteral("reverseselection"), folder());
    ToolsTest::copyPlugin(QStringLiteral("wordcount"), folder());
    auto p = loader();
    p->LoadAllPlugins(folder());
    ASSERT_EQ(p->Count(), 2);
    EXPECT_EQ(p->GetPluginName(0), QStringLiteral("Reverse Selection"));
    EXPECT_EQ(p->GetPluginName(1), QStringLiteral("Word Count"));
    EXPECT_TRUE(log.contains(QStringLiteral("  Plugin Loader CORE Loaded.")));
    EXPECT_TRUE(log.contains(QStringLiteral("  Loading All Plugins:")));

    p->SetValues(QStringLiteral("one two\r\nthree caf\u00E9"), QStringLiteral("ab\u00E9\r\n\U0001F600z"));
    std::optional<TPluginOutput> mode;
    EXPECT_EQ(p->ExecutePlugin(0, &mode), QStringLiteral("z\U0001F600\r\n\u00E9ba"));
    EXPECT_EQ(mode, TPluginOutput::ReplaceSelection);
    EXPECT_EQ(p->ExecutePlugin(1, &mode), QStringLiteral("Words: 2"));
    EXPECT_EQ(mode, TPluginOutput::Message);

    // Each answer goes where its mode says, and nowhere else.
    p->RunPlugin(0);
    p->RunPlugin(1);
    EXPECT_TRUE(inserted.isEmpty());
    EXPECT_EQ(replaced, QStringList{QStringLiteral("z\U0001F600\r\n\u00E9ba")});
    EXPECT_EQ(messages, QStringList{QStringLiteral("Words: 2")});
    // Nothing selected: reverse answers nothing, and nothing is replaced.
    p->SetValues(QStringLiteral("one two"), QString());
    p->RunPlugin(0);
    EXPECT_EQ(replaced.size(), 1);
    p->UnloadAllPlugins();
    EXPECT_EQ(p->Count(), 0);
    EXPECT_TRUE(log.contains(QStringLiteral("  Plugins Successfully Unloaded")));
}

TEST_F(PluginsTest, WordCountCountsTheVisibleText)
{
    ToolsTest::copyPlugin(QStringLiteral("wordcount"), folder());
    auto p = loader();
    p->LoadAllPlugins(folder());
    ASSERT_EQ(p->Count(), 1);
    const struct { const char *text; int words; } cases[] = {
        {"one two\r\nthree caf\u00E9", 4},
        {"<p class=\"intro\">Hello <b>W</b>orld</p>", 2},
        {"<p>one</p><p>two</p><br>three", 3},
        {"<!-- a comment of five words -->x <!-- <p>more</p> --> y", 2},
        {"<script type=\"text/javascript\">if (a<b) { var c = \"</p>\"; }</SCRIPT><style>p { color: red }</style>seen", 1},
        {"<html><head><title>The title</title></head><body>body text</body></html>", 2},
        {"caf&eacute; a&nbsp;b Tom&amp;Jerry AT&T", 5},
        {"rye &amp; sourdough &mdash; bread - 42", 4},
        {"<img alt=\"many words here\" src=\"a>b.gif\"> <a href='x>y'>link</a>", 1},
        {"a < b and a<b", 4},  // the last "<b" opens a tag
        {"Gr\u00FC\u00DFe aus \u65E5\u672C \U0001F600 \u2013", 3},
        {"&#72;&#x49; there &#0; &#1114112;", 2},
        {"", 0},
    };
    for (const auto &c : cases) {
        p->SetValues(QString::fromUtf8(c.text), QString());
        EXPECT_EQ(p->ExecutePlugin(0), QStringLiteral("Words: %1").arg(c.words)) << c.text;
    }
    // The selection's words, when there is one.
    p->SetValues(QStringLiteral("<p>four words in all</p>"), QStringLiteral("<b>two words</b>"));
    EXPECT_EQ(p->ExecutePlugin(0), QStringLiteral("Words: 2"));
}

TEST_F(PluginsTest, AnUnknownOutputModeDoesNothing)
{
    const QString path = ToolsTest::copyPlugin(QStringLiteral("fixture_badmode"), folder());
    ToolsTest::copyPlugin(QStringLiteral("fixture_echo_a"), folder());
    auto p = loader();
    p->LoadAllPlugins(folder());
    ASSERT_EQ(p->Count(), 2);
    std::optional<TPluginOutput> mode;
    EXPECT_EQ(p->ExecutePlugin(0, &mode), QStringLiteral("C"));
    EXPECT_FALSE(mode.has_value());
    p->RunPlugin(0);
    EXPECT_TRUE(inserted.isEmpty() && replaced.isEmpty() && messages.isEmpty());
    EXPECT_TRUE(log.contains(QStringLiteral("Error: Plugins: ExecutePlugin: %1 answered the unknown output mode 7").arg(path)))
        << log.join(u'\n').toStdString();
    // Without DLLOutPutMode the answer is inserted.
    p->RunPlugin(1);
    EXPECT_EQ(inserted, (QList<QPair<QString, QString>>{{QStringLiteral("A"), QString()}}));
}

TEST_F(PluginsTest, BadLibrariesAreSkippedAndReported)
{
    const QString noExport = ToolsTest::copyPlugin(QStringLiteral("fixture_noexport"), folder());
    const QString open = ToolsTest::copyPlugin(QStringLiteral("fixture_echo_a"), folder());
    const QString writable = ToolsTest::copyPlugin(QStringLiteral("wordcount"), folder());
    QFile::setPermissions(writable, QFile::permissions(writable) | QFile::WriteOther);
    ToolsTest::writeFile(folder() + QStringLiteral("/broken.so"), "not a library");
    ToolsTest::writeFile(folder() + QStringLiteral("/readme.txt"), "not a plug-in");
    auto p = loader();
    p->LoadAllPlugins(folder());
    ASSERT_EQ(p->Count(), 1);
    EXPECT_EQ(p->GetPluginPath(0), open);
    const QString all = log.join(u'\n');
    EXPECT_TRUE(all.contains(noExport + QStringLiteral(" not loaded: it does not export DLLOutPut"))) << all.toStdString();
    EXPECT_TRUE(all.contains(writable + QStringLiteral(" not loaded: the file is writable by everyone"))) << all.toStdString();
    EXPECT_TRUE(all.contains(QStringLiteral("broken.so not loaded"))) << all.toStdString();
}

TEST_F(PluginsTest, NullAnswerIsEmptyAndThePluginStillGetsTheDocument)
{
    const QString path = ToolsTest::copyPlugin(QStringLiteral("fixture_null"), folder());
    auto p = loader();
    p->LoadAllPlugins(folder());
    ASSERT_EQ(p->Count(), 1);
    p->SetValues(QStringLiteral("whole\r\ndocument"), QStringLiteral("sel"));
    EXPECT_EQ(p->ExecutePlugin(0), QString());
    p->RunPlugin(0);
    EXPECT_TRUE(inserted.isEmpty());
    EXPECT_EQ(fixtureText(path, "FixtureLastText"), QStringLiteral("whole\r\ndocument"));
    EXPECT_EQ(fixtureText(path, "FixtureLastSelection"), QStringLiteral("sel"));
}

TEST_F(PluginsTest, IndexChecksAndCaptionLookup)
{
    ToolsTest::copyPlugin(QStringLiteral("fixture_echo_a"), folder());
    ToolsTest::copyPlugin(QStringLiteral("fixture_echo_b"), folder());
    auto p = loader();
    p->LoadAllPlugins(folder());
    ASSERT_EQ(p->Count(), 2);
    EXPECT_EQ(p->GetPluginIndex(QStringLiteral("ECHO & CO")), 0);
    EXPECT_EQ(p->GetPluginIndex(QStringLiteral("Echo  Co")), -1);
    EXPECT_EQ(p->ExecutePlugin(1), QStringLiteral("B"));
    EXPECT_EQ(p->ExecutePlugin(-1), QString());
    EXPECT_EQ(p->ExecutePlugin(2), QString());
    EXPECT_TRUE(log.contains(QStringLiteral("Error: Plugins: ExecutePlugin: Index Must Be Greater Then 0")));
    EXPECT_TRUE(log.contains(QStringLiteral("Error: Plugins: ExecutePlugin: Index is greater then plugins loaded")));
    EXPECT_EQ(TPlugins::RemoveCharFromStr(u'&', QStringLiteral("&Echo && Co")), QStringLiteral("Echo  Co"));
}

TEST_F(PluginsTest, FoldersLoadInOrderAndTheFirstCopyOfANameWins)
{
    const QString mine = ToolsTest::copyPlugin(QStringLiteral("wordcount"), folder("first"));
    ToolsTest::copyPlugin(QStringLiteral("wordcount"), folder("second"));
    ToolsTest::copyPlugin(QStringLiteral("reverseselection"), folder("second"));
    auto p = loader();
    p->LoadAllPlugins(folder("first"));
    p->LoadAllPlugins(folder("missing"));
    p->LoadAllPlugins(folder("second"));
    ASSERT_EQ(p->Count(), 2);
    EXPECT_EQ(p->GetPluginPath(0), mine);
    EXPECT_EQ(p->GetPluginName(1), QStringLiteral("Reverse Selection"));
}
