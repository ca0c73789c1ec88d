// The Plugins menu of the real main window with plug-ins in the data folder.
#include "mainwindowtest.h"
#include "appglobals.h"
#include "subsystems.h"
#include "datafolder.h"
#include "documentset.h"
#include "installtools.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "plugins.h"
#include "tmemosource.h"
#include "toolkitglobals.h"
#include "toolsglobals.h"
#include "toolstestsupport.h"

#include <QAction>
#include <QLibrary>
#include <QMenu>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

class PluginMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        DataFolder::setPath(m_dir.filePath(QStringLiteral("data")));
        const QString folder = m_dir.filePath(QStringLiteral("data/PlugIn"));
        for (const char *name : {"fixture_echo_a", "fixture_echo_b", "fixture_null", "reverseselection", "wordcount"})
            paths.append(ToolsTest::copyPlugin(QLatin1String(name), folder));
        resetAppGlobals();
        m_window = Quorvant::Test::openMainWindow();
        m_window->documents()->blankDocument();
        buffer = m_window->documents()->currentBuffer();
        ASSERT_NE(buffer, nullptr);
    }
    void TearDown() override
    {
        Quorvant::Test::closeMainWindow(m_window);
        EXPECT_EQ(gPlugins, nullptr);
    }
    QList<QAction *> entries() const { return m_window->pluginsMenu()->actions(); }

    QTemporaryDir m_dir;
    std::unique_ptr<TForm1> m_window;
    TMemoSource *buffer = nullptr;
    QStringList paths;
};

} // namespace

TEST_F(PluginMenuTest, OneEntryPerPluginInLoadOrder)
{
    ASSERT_NE(gPlugins, nullptr);
    QStringList captions;
    for (QAction *a : entries())
        captions.append(a->text());
    // The data folder's copies of the examples come before the build folder's.
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Echo && Co"), QStringLiteral("echo && co"), QStringLiteral("Null Answer"),
                                     QStringLiteral("Reverse Selection"), QStringLiteral("Word Count")}));
    EXPECT_EQ(gPlugins->GetPluginPath(3), paths.at(3));
    EXPECT_TRUE(pluginFolders().contains(QStringLiteral(QUORVANT_BUILD_PLUGIN_DIR)));
}

TEST_F(PluginMenuTest, EachEntryRunsItsOwnPlugin)
{
    // Same caption but for letter case, and an "&" in it.
    entries().at(1)->trigger();
    EXPECT_EQ(buffer->text(), QStringLiteral("B"));
    entries().at(0)->trigger();
    EXPECT_EQ(buffer->text(), QStringLiteral("BA"));
    EXPECT_TRUE(gDocumentModified);
}

TEST_F(PluginMenuTest, ReverseReplacesTheSelectionAndWordCountTellsTheUser)
{
    InsertInLowerCase(true);
    buffer->setText(QStringLiteral("one x>B<y\r\nthree"));
    buffer->setModified(false);
    gDocumentModified = false;
    buffer->setSelection({{4, 0}, {9, 0}});
    entries().at(3)->trigger();
    // Reversed in place, as it is: no tag case, the original gone.
    EXPECT_EQ(buffer->text(), QStringLiteral("one y<B>x\r\nthree"));
    EXPECT_TRUE(gDocumentModified);
    buffer->undo();
    EXPECT_EQ(buffer->text(), QStringLiteral("one x>B<y\r\nthree"));

    // The count is shown, not typed into the page; "<B>" is markup.
    buffer->setText(QStringLiteral("<p>one y<B>x</B></p>\r\n<p>three</p>"));
    buffer->setModified(false);
    gDocumentModified = false;
    buffer->setCaretPoint({5, 1});
    MessageService::takeRecorded();
    entries().at(4)->trigger();
    EXPECT_EQ(buffer->text(), QStringLiteral("<p>one y<B>x</B></p>\r\n<p>three</p>"));
    EXPECT_FALSE(buffer->isModified());
    const QList<RecordedDialog> boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.first().text, QStringLiteral("Words: 3"));
    EXPECT_EQ(boxes.first().icon, MessageIcon::Information);
}

TEST_F(PluginMenuTest, NullAnswerInsertsNothingButThePluginGotTheDocument)
{
    buffer->setText(QStringLiteral("whole\r\ntext"));
    buffer->setModified(false);
    gDocumentModified = false;
    buffer->setSelection({{0, 1}, {4, 1}});
    entries().at(2)->trigger();
    EXPECT_EQ(buffer->text(), QStringLiteral("whole\r\ntext"));
    EXPECT_FALSE(buffer->isModified());
    auto lastText = reinterpret_cast<const char *(*)()>(QLibrary::resolve(paths.at(2), "FixtureLastText"));
    auto lastSel = reinterpret_cast<const char *(*)()>(QLibrary::resolve(paths.at(2), "FixtureLastSelection"));
    ASSERT_TRUE(lastText && lastSel);
    EXPECT_STREQ(lastText(), "whole\r\ntext");
    EXPECT_STREQ(lastSel(), "text");
}
