// The tag list files: reading, the three rewrites and the editor's outcomes.
#include "taglibrary.h"
#include "taglibtestsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace Quorvant::Test {
namespace {

const QByteArray BasicFile = "My tags\r\nBold,Bold text,Text Formatting,\"<b>\",\"</b>\",N/A\r\n";
const QByteArray ThreeTags = "Title\r\nA,a,c,<a>,</a>,N/A\r\nB,b,c,<b>,</b>,N/A\r\nC,c,c,<c>,</c>,N/A\r\nD,d,c,<d>,</d>,N/A\r\n";

class TagLibrary : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkdir(QStringLiteral("Tags"));
    }
    QString tagFile(const QString &name) const { return dir.filePath(QStringLiteral("Tags/") + name); }
    QTemporaryDir dir;
};

TEST_F(TagLibrary, ListsEveryReadableTagFileByName)
{
    writeBytes(tagFile("Basic.tag"), BasicFile);
    writeBytes(tagFile("Another.TAG"), "Second list\r\n");
    writeBytes(tagFile("notes.txt"), "Not a list\r\n");
    writeBytes(tagFile("Empty.tag"), "");
    QDir(dir.path()).mkdir(QStringLiteral("Tags/Folder.tag"));

    const QList<TTagListEntry> lists = LoadTagLists(dir.path());
    ASSERT_EQ(lists.size(), 3);
    EXPECT_EQ(lists[0], (TTagListEntry{"Second list", QFileInfo(tagFile("Another.TAG")).absoluteFilePath()}));
    EXPECT_EQ(lists[1].Path, QFileInfo(tagFile("Basic.tag")).absoluteFilePath());
    EXPECT_EQ(lists[1].Caption, "My tags");
    EXPECT_EQ(lists[2].Caption, "");  // an empty file reads an empty first line
}

TEST_F(TagLibrary, PipesAndDevicesNamedLikeListsAreSkippedWithADebugLine)
{
    writeBytes(tagFile("Basic.tag"), BasicFile);
    ASSERT_EQ(::mkfifo(QFile::encodeName(tagFile("Pipe.tag")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), tagFile("Zero.tag")));
    QStringList debug;
    const QList<TTagListEntry> lists = LoadTagLists(dir.path(), [&](const QString &line) { debug << line; });
    ASSERT_EQ(lists.size(), 1);
    EXPECT_EQ(lists[0].Caption, "My tags");
    ASSERT_EQ(debug.size(), 2) << debug.join('\n').toStdString();
    EXPECT_TRUE(debug[0].contains("Pipe.tag") && debug[0].contains("not a regular file"));
    EXPECT_TRUE(debug[1].contains("Zero.tag"));
}

TEST_F(TagLibrary, MissingOrEmptyFolderGivesNoLists)
{
    EXPECT_TRUE(LoadTagLists(dir.path()).isEmpty());
    EXPECT_TRUE(LoadTagLists(dir.filePath("nowhere")).isEmpty());
}

TEST_F(TagLibrary, FindsTheFolderWhateverItsLetterCase)
{
    QTemporaryDir other;
    QDir(other.path()).mkdir(QStringLiteral("tags"));
    writeBytes(other.filePath("tags/Basic.tag"), BasicFile);
    ASSERT_EQ(LoadTagLists(other.path()).size(), 1);
}

TEST_F(TagLibrary, LoadsTagsWithQuotesStripped)
{
    writeBytes(tagFile("Basic.tag"), BasicFile);
    QList<TTagRow> rows;
    ASSERT_TRUE(loadtags(tagFile("Basic.tag"), &rows));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0], (TTagRow{"Bold", "Bold text", "Text Formatting", "<b>", "</b>", "N/A"}));
}

TEST_F(TagLibrary, MissingFileLeavesTheRowsAlone)
{
    QList<TTagRow> rows{TTagRow{"keep", {}, {}, {}, {}, {}}};
    EXPECT_FALSE(loadtags(tagFile("gone.tag"), &rows));
    EXPECT_EQ(rows.size(), 1);

    writeBytes(tagFile("Title.tag"), "Only a title\r\n");
    EXPECT_TRUE(loadtags(tagFile("Title.tag"), &rows));
    EXPECT_TRUE(rows.isEmpty());
}

TEST(ParseTagLine, CutsSixFieldsAtEveryComma)
{
    struct Case
    {
        QString line;
        TTagRow row;
    };
    const Case cases[] = {
        // A comma inside the start text shifts the later fields.
        {R"(Font,d,c,<font face="arial, tahoma">,</font>,N/A)",
         {"Font", "d", "c", R"(<font face="arial)", R"( tahoma">)", "</font>"}},
        {"Short,only", {"Short", "only", "", "", "", ""}},
        {"", {}},
        {"x", {}},
        {R"(T,d,c,"<b>,</b>","N/A")", {"T", "d", "c", "<b>", "</b>", "N/A"}},
        // One quote is stripped at each end, no more; fields 0 to 2 keep theirs.
        {R"("T","d",c,""<q>"",",")", {R"("T")", R"("d")", "c", R"("<q>")", "", ""}},
        {"T,d,c,<p>,,", {"T", "d", "c", "<p>", "", ""}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(parseTagLine(c.line), c.row) << c.line.toStdString();
}

TEST_F(TagLibrary, EditRewritesOnlyThatTagsLine)
{
    writeBytes(tagFile("L.tag"), ThreeTags);
    EXPECT_TRUE(EditTags(2, tagFile("L.tag"), "New", "n", "Lists", "<ul>", "</ul>", "N/A"));
    EXPECT_EQ(readBytes(tagFile("L.tag")),
              "Title\r\nA,a,c,<a>,</a>,N/A\r\nB,b,c,<b>,</b>,N/A\r\nNew,n,Lists,<ul>,</ul>,N/A\r\nD,d,c,<d>,</d>,N/A\r\n");
}

TEST_F(TagLibrary, EditOfAMissingTagRewritesTheFileButFails)
{
    writeBytes(tagFile("L.tag"), "Title\nA,a,c,<a>,</a>,N/A");  // LF and no final line end
    EXPECT_FALSE(EditTags(5, tagFile("L.tag"), "X", "", "", "", "", ""));
    EXPECT_FALSE(EditTags(-1, tagFile("L.tag"), "X", "", "", "", "", ""));
    EXPECT_EQ(readBytes(tagFile("L.tag")), "Title\r\nA,a,c,<a>,</a>,N/A\r\n");
    EXPECT_FALSE(EditTags(0, tagFile("gone.tag"), "X", "", "", "", "", ""));
    EXPECT_FALSE(QFileInfo::exists(tagFile("gone.tag")));
}

TEST_F(TagLibrary, DeleteRemovesOneTagAndNeverTheTitle)
{
    writeBytes(tagFile("B.tag"), BasicFile);
    EXPECT_TRUE(DeleteTag(0, tagFile("B.tag")));
    EXPECT_EQ(readBytes(tagFile("B.tag")), "My tags\r\n");
    QList<TTagRow> rows;
    ASSERT_TRUE(loadtags(tagFile("B.tag"), &rows));
    EXPECT_TRUE(rows.isEmpty());

    EXPECT_TRUE(DeleteTag(3, tagFile("B.tag")));   // no such tag: nothing removed
    EXPECT_TRUE(DeleteTag(-1, tagFile("B.tag")));
    EXPECT_EQ(readBytes(tagFile("B.tag")), "My tags\r\n");
    EXPECT_FALSE(DeleteTag(0, tagFile("gone.tag")));
    EXPECT_FALSE(QFileInfo::exists(tagFile("gone.tag")));
}

TEST_F(TagLibrary, AddAppendsALineThatReadsBackWhole)
{
    writeBytes(tagFile("B.tag"), BasicFile);
    ASSERT_TRUE(AddTag(tagFile("B.tag"), "Break", "Line break", "Text Formatting", "<br>", "", "N/A"));
    QList<TTagRow> rows;
    ASSERT_TRUE(loadtags(tagFile("B.tag"), &rows));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1], (TTagRow{"Break", "Line break", "Text Formatting", "<br>", "", "N/A"}));
    EXPECT_FALSE(AddTag(tagFile("gone.tag"), "T", "", "", "", "", ""));
    EXPECT_FALSE(AddTag(QString(), "T", "", "", "", "", ""));
    EXPECT_FALSE(QFileInfo::exists(tagFile("gone.tag")));
}

TEST_F(TagLibrary, RefusesFieldsThatWouldReadBackCutApart)
{
    writeBytes(tagFile("B.tag"), BasicFile);
    QStringList lines;
    EXPECT_FALSE(AddTag(tagFile("B.tag"), "Font", "", "", R"(<font face="arial, tahoma">)", "</font>", "N/A"));
    EXPECT_FALSE(EditTags(0, tagFile("B.tag"), "Bold", "a, b", "", "<b>", "</b>", "N/A"));
    EXPECT_FALSE(AddTag(tagFile("B.tag"), "Two\nlines", "", "", "", "", ""));
    EXPECT_EQ(readBytes(tagFile("B.tag")), BasicFile);
    EXPECT_EQ(unstorableTagField({"a", "b", "c", "d,", "e", "f"}), 3);
    EXPECT_EQ(unstorableTagField({"a", "b", "c", "d", "e", "f"}), -1);
}

TEST_F(TagLibrary, ReadsWindows1252AndWritesUtf8)
{
    writeBytes(tagFile("W.tag"), "Caf\xe9 tags\r\nE,\xe9t\xe9,c,<b>,</b>,N/A\r\n");
    EXPECT_EQ(LoadTagLists(dir.path()).value(0).Caption, QString::fromUtf8("Café tags"));
    ASSERT_TRUE(AddTag(tagFile("W.tag"), "N", "new", "c", "<i>", "</i>", "N/A"));
    EXPECT_EQ(readBytes(tagFile("W.tag")), QByteArray("Caf\xc3\xa9 tags\r\nE,\xc3\xa9t\xc3\xa9,c,<b>,</b>,N/A\r\nN,new,c,<i>,</i>,N/A\r\n"));
}

TEST_F(TagLibrary, TheEditorsDoneGivesTheMessageAndTheListToReload)
{
    const QString path = tagFile("L.tag");
    writeBytes(path, ThreeTags);
    TEditTagData edit{true, "Edited", "<em>", "</em>", "N/A", "desc", "Text Formatting"};
    TEditTagData add = edit;
    add.Editing = false;
    TEditTagData comma = add;
    comma.TagStart = R"(<font face="a, b">)";

    struct Case
    {
        const char *name;
        TEditTagData data;
        QString path;
        int index;
        QString message;
        TTagMessageIcon icon;
        QString reload;
        bool close;
    };
    const Case cases[] = {
        {"edit without a tag", edit, path, -1, MsgUnableToSaveTag, TTagMessageIcon::Error, "", true},
        {"edit without a list", edit, "", 0, MsgUnableToSaveTag, TTagMessageIcon::Error, "", true},
        {"edit", edit, path, 1, MsgTagSaved, TTagMessageIcon::Information, path, true},
        {"edit of a removed list", edit, tagFile("gone.tag"), 0, MsgTagCouldNotBeSaved, TTagMessageIcon::Information, tagFile("gone.tag"), true},
        {"add", add, path, -1, MsgTagSaved, TTagMessageIcon::Information, path, true},
        {"add without a list", add, "", -1, MsgTagCouldNotBeSaved, TTagMessageIcon::Information, "", true},
        {"comma", comma, path, -1, MsgTagFieldHasComma, TTagMessageIcon::Warning, "", false},
    };
    for (const Case &c : cases) {
        const TTagCommandOutcome out = SaveFromTagEditor(c.data, c.path, c.index);
        EXPECT_EQ(out.Message, c.message) << c.name;
        EXPECT_EQ(out.Icon, c.icon) << c.name;
        EXPECT_EQ(out.ReloadPath, c.reload) << c.name;
        EXPECT_EQ(out.CloseDialog, c.close) << c.name;
    }
    QList<TTagRow> rows;
    ASSERT_TRUE(loadtags(path, &rows));
    ASSERT_EQ(rows.size(), 5);
    EXPECT_EQ(rows[1], (TTagRow{"Edited", "desc", "Text Formatting", "<em>", "</em>", "N/A"}));
    EXPECT_EQ(rows[4], rows[1]);
}

TEST_F(TagLibrary, DeletingTheSelectedTag)
{
    writeBytes(tagFile("B.tag"), BasicFile);
    EXPECT_EQ(DeleteSelectedTag(tagFile("B.tag"), -1).Message, MsgSelectBeforeDelete);
    const TTagCommandOutcome done = DeleteSelectedTag(tagFile("B.tag"), 0);
    EXPECT_EQ(done.Message, MsgTagRemoved);
    EXPECT_EQ(done.ReloadPath, tagFile("B.tag"));
    const TTagCommandOutcome failed = DeleteSelectedTag(tagFile("gone.tag"), 0);
    EXPECT_EQ(failed.Message, MsgTagCouldNotBeRemoved);
    EXPECT_EQ(failed.Icon, TTagMessageIcon::Error);
}

} // namespace
} // namespace Quorvant::Test
