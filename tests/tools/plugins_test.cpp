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
    QStringList log;
};

} // namespace

TEST_F(PluginsTest, ExamplePluginsWorkOnTheTextAndTheSelection)
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
    EXPECT_EQ(p->ExecutePlugin(0), QStringLiteral("z\U0001F600\r\n\u00E9ba"));
    EXPECT_EQ(p->ExecutePlugin(1), QStringLiteral("Words: 2"));
    p->SetValues(QStringLiteral("one two\r\nthree caf\u00E9"), QString());
    EXPECT_EQ(p->ExecutePlugin(1), QStringLiteral("Words: 4"));
    p->RunPlugin(1);
    ASSERT_EQ(inserted.size(), 1);
    EXPECT_EQ(inserted.first(), qMakePair(QStringLiteral("Words: 4"), QString()));
    // Nothing selected: reverse answers nothing, and nothing is inserted.
    p->RunPlugin(0);
    EXPECT_EQ(inserted.size(), 1);
    p->UnloadAllPlugins();
    EXPECT_EQ(p->Count(), 0);
    EXPECT_TRUE(log.contains(QStringLiteral("  Plugins Successfully Unloaded")));
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
