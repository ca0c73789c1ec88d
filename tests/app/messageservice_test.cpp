#include "messageservice.h"

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

class MessageServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MessageService::setTestHookEnabled(true);
        MessageService::resetTestHook();
    }
    void TearDown() override { MessageService::resetTestHook(); }
};

} // namespace

TEST_F(MessageServiceTest, RecordsEachBoxAndAnswersFromTheQueue)
{
    MessageService::queueAnswers({DialogAnswer::pressed(mbNo), DialogAnswer::typed(QStringLiteral("typed")),
                                  DialogAnswer::files({QStringLiteral("/a.htm"), QStringLiteral("/b.htm")})});
    EXPECT_EQ(MessageService::show(nullptr, QStringLiteral("Save?"), MessageIcon::Warning, YesNoCancel), mbNo);
    QString value = QStringLiteral("initial");
    EXPECT_TRUE(MessageService::getText(nullptr, QStringLiteral("Title"), QStringLiteral("Prompt"), &value));
    EXPECT_EQ(value, QStringLiteral("typed"));
    const QStringList files = MessageService::getOpenFileNames(nullptr, QStringLiteral("Open"), QStringLiteral("/tmp"),
                                                              {{QStringLiteral("All Files"), QStringLiteral("*.*")}});
    EXPECT_EQ(files, QStringList({QStringLiteral("/a.htm"), QStringLiteral("/b.htm")}));

    const QList<RecordedDialog> r = MessageService::takeRecorded();
    ASSERT_EQ(r.size(), 3);
    EXPECT_EQ(r[0].kind, DialogKind::Message);
    EXPECT_EQ(r[0].text, QStringLiteral("Save?"));
    EXPECT_EQ(r[0].icon, MessageIcon::Warning);
    EXPECT_EQ(r[0].buttons, YesNoCancel);
    EXPECT_EQ(r[1].kind, DialogKind::Input);
    EXPECT_EQ(r[1].initialText, QStringLiteral("initial"));
    EXPECT_EQ(r[2].kind, DialogKind::OpenFiles);
    EXPECT_EQ(r[2].directory, QStringLiteral("/tmp"));
    EXPECT_TRUE(MessageService::takeRecorded().isEmpty());
}

TEST_F(MessageServiceTest, UnansweredBoxesTakeTheEscapeChoice)
{
    EXPECT_EQ(MessageService::show(nullptr, QStringLiteral("a"), MessageIcon::Information, YesNoCancelNoToAll), mbCancel);
    EXPECT_EQ(MessageService::show(nullptr, QStringLiteral("b"), MessageIcon::Information, YesNo), mbNo);
    EXPECT_EQ(MessageService::show(nullptr, QStringLiteral("c"), MessageIcon::Error), mbOK);
    // An answer that is not one of the box's buttons counts as Escape too.
    MessageService::queueAnswer(DialogAnswer::pressed(mbNoToAll));
    EXPECT_EQ(MessageService::show(nullptr, QStringLiteral("d"), MessageIcon::Information, YesNo), mbNo);
    QString v;
    EXPECT_FALSE(MessageService::getText(nullptr, {}, {}, &v));
    EXPECT_TRUE(MessageService::getSaveFileName(nullptr, {}, {}, {}).isEmpty());
    const QList<RecordedDialog> r = MessageService::takeRecorded();
    ASSERT_EQ(r.size(), 6);
    EXPECT_FALSE(r[0].answered);
    EXPECT_TRUE(r[3].answered);
}

TEST_F(MessageServiceTest, APlainBoxHasNoIconAndTheProgramsNameAsTitle)
{
    MessageService::plain(nullptr, QStringLiteral("Character Count: 3"));
    MessageService::information(nullptr, QStringLiteral("i"));
    const QList<RecordedDialog> r = MessageService::takeRecorded();
    ASSERT_EQ(r.size(), 2);
    EXPECT_EQ(r[0].icon, MessageIcon::None);
    EXPECT_EQ(r[0].title, MessageService::applicationTitle());
    EXPECT_EQ(r[0].buttons, mbOK);
    EXPECT_EQ(r[1].icon, MessageIcon::Information);
    EXPECT_EQ(r[1].title, QStringLiteral("Information"));
}

TEST_F(MessageServiceTest, SaveDialogAddsTheDefaultSuffix)
{
    MessageService::queueAnswers({DialogAnswer::file(QStringLiteral("/w/page")), DialogAnswer::file(QStringLiteral("/w/page.txt")),
                                  DialogAnswer::cancelled()});
    EXPECT_EQ(MessageService::getSaveFileName(nullptr, {}, {}, {}, QStringLiteral("htm")), QStringLiteral("/w/page.htm"));
    EXPECT_EQ(MessageService::getSaveFileName(nullptr, {}, {}, {}, QStringLiteral("htm")), QStringLiteral("/w/page.txt"));
    EXPECT_TRUE(MessageService::getSaveFileName(nullptr, {}, {}, {}, QStringLiteral("htm")).isEmpty());
}

TEST(MessageServiceFilters, QtFilterKeepsNamesAndSplitsPatterns)
{
    EXPECT_EQ(MessageService::qtFilter({{QStringLiteral("Web Documents (*.htm,*.asp)"), QStringLiteral("*.htm;*.asp")},
                                        {QStringLiteral("All Files"), QStringLiteral("*.*")}}),
              QStringLiteral("Web Documents (*.htm,*.asp) (*.htm *.asp);;All Files (*.*)"));
}
