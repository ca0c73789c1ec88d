// Tag help: the word looked up and its page in the help index.
#include "memoryeditor.h"
#include "taghelp.h"
#include "taglibtestsupport.h"

#include <QDir>
#include <QTemporaryDir>

namespace Quorvant::Test {
namespace {

TEST(ShowTagHelp, FindsTheLastMatchingKeyIgnoringCase)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("help/Tags"));
    writeBytes(dir.filePath("help/INTERNAL.DAT"),
               "TABLE,Tags/table.htm\r\nFONT,Tags/font.htm\r\ntable,Tags/table2.htm\r\nTD\r\n");
    writeBytes(dir.filePath("help/Tags/TABLE2.HTM"), "<html></html>");
    const QString help = dir.filePath("help/");

    struct Case
    {
        QString word;
        TTagHelpStatus status;
        QString page;
    };
    const Case cases[] = {
        {"Table", TTagHelpStatus::Found, help + "Tags/TABLE2.HTM"},  // the file's own spelling
        {"font\r\n", TTagHelpStatus::Found, help + "Tags/font.htm"},
        {"font\n\n", TTagHelpStatus::Found, help + "Tags/font.htm"},
        {"font\r\n\r\n", TTagHelpStatus::Nothing, ""},  // only two line-end characters go
        {"TD", TTagHelpStatus::Found, help},           // a key without a page: the folder
        {"border", TTagHelpStatus::Nothing, ""},
        {"", TTagHelpStatus::Nothing, ""},
        {"\r\n", TTagHelpStatus::Nothing, ""},
    };
    for (const Case &c : cases) {
        const TTagHelpResult r = ShowTagHelp(dir.path(), c.word);
        EXPECT_EQ(r.Status, c.status) << c.word.toStdString();
        EXPECT_EQ(QDir::cleanPath(r.Page), QDir::cleanPath(c.page)) << c.word.toStdString();
    }
}

TEST(ShowTagHelp, MissingIndexIsAnError)
{
    QTemporaryDir dir;
    QStringList debug;
    const TTagHelpResult r = ShowTagHelp(dir.path(), "table", [&](const QString &l) { debug << l; });
    EXPECT_EQ(r.Status, TTagHelpStatus::NoIndex);
    EXPECT_EQ(debug.size(), 1);
    EXPECT_EQ(ShowTagHelp(dir.path(), "").Status, TTagHelpStatus::Nothing);
    EXPECT_STREQ(MsgNoInternalHelp, "Error! Unable to find Internal Help Reference.");
}

TEST(TagHelpWord, SelectionOrTheWordAtTheCaret)
{
    MemoryTextBuffer buffer;
    setWithCaret(&buffer, R"(<ta|ble border="1">)");
    EXPECT_EQ(TagHelpWord(&buffer), "table");
    setWithCaret(&buffer, R"(</ta|ble>)");
    EXPECT_EQ(TagHelpWord(&buffer), "/table");
    buffer.setSelection({{1, 0}, {3, 0}});
    EXPECT_EQ(TagHelpWord(&buffer), "/t");
    EXPECT_EQ(TagHelpWord(nullptr), "");
}

} // namespace
} // namespace Quorvant::Test
