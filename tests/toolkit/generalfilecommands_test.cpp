// Importing text files as they are or converted to HTML lines.
#include "generalfilecommands.h"
#include "toolkitglobals.h"
#include "toolkittestsupport.h"

#include <QFile>
#include <QTemporaryDir>

namespace Quorvant::Test {
namespace {

class FileCommands : public BufferTest
{
protected:
    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }

    TGeneralFileCommands commands() { return TGeneralFileCommands([this](const QString &l) { m_debug << l; }); }

    QTemporaryDir m_dir;
    QStringList m_debug;
};

TEST_P(FileCommands, ConvertToANewPage)
{
    const QString path = writeFile("two.txt", "x\r\ny\r\n");
    setMarked(buffer(), QStringLiteral("|"));
    EXPECT_TRUE(commands().ConvertTextFileToHTML(buffer(), path, true));
    EXPECT_EQ(buffer()->text(), QStringLiteral("<html>\r\n  <head>\r\n  </head>\r\n  <body>\r\n\r\n  x<br>\r\n  y<br>\r\n\r\n"
                                               "  </body>\r\n</html>\r\n"));
    EXPECT_TRUE(m_debug.isEmpty());
}

TEST_P(FileCommands, ConvertIntoTheDocument)
{
    // LF line ends and no final line break read the same; tags take the tag case.
    const QString path = writeFile("lf.txt", "x\n<B>y</B>");
    gInsertTagsInLowercase = false;
    setMarked(buffer(), QStringLiteral("a|b"));
    EXPECT_TRUE(commands().ConvertTextFileToHTML(buffer(), path, false));
    EXPECT_EQ(marked(buffer()), QStringLiteral("ax<BR>\r\n<B>y</B><BR>\r\n|b"));
}

TEST_P(FileCommands, ConvertAnEmptyFile)
{
    const QString path = writeFile("empty.txt", "");
    setMarked(buffer(), QStringLiteral("|"));
    EXPECT_TRUE(commands().ConvertTextFileToHTML(buffer(), path, false));
    EXPECT_EQ(buffer()->text(), QString());
    EXPECT_TRUE(commands().ConvertTextFileToHTML(buffer(), path, true));
    EXPECT_EQ(marked(buffer()),
              QStringLiteral("<html>\r\n  <head>\r\n  </head>\r\n  <body>\r\n\r\n\r\n|  </body>\r\n</html>\r\n"));
}

TEST_P(FileCommands, ConvertAFileThatCannotBeRead)
{
    setMarked(buffer(), QStringLiteral("a|"));
    EXPECT_FALSE(commands().ConvertTextFileToHTML(buffer(), m_dir.filePath("missing.txt"), true));
    EXPECT_FALSE(commands().ConvertTextFileToHTML(buffer(), m_dir.path(), false));
    EXPECT_EQ(marked(buffer()), QStringLiteral("a|"));
    EXPECT_EQ(m_debug, QStringList(2, QStringLiteral("Error: TGeneralFileCommands: ConvertTextFileToHTML: Filename Invalid!")));
}

TEST_P(FileCommands, ImportInsertsTheLinesWithTheTagCase)
{
    const QString path = writeFile("in.txt", "<P>First</P>\r\nsecond");
    setMarked(buffer(), QStringLiteral("{sel}"));
    commands().ImportTextFile(buffer(), path);
    EXPECT_EQ(marked(buffer()), QStringLiteral("<p>First</p>\r\nsecond\r\n{sel|}"));
    EXPECT_TRUE(m_debug.isEmpty());
}

TEST_P(FileCommands, ImportReadsWindows1252AndUtf8)
{
    setMarked(buffer(), QStringLiteral("|"));
    commands().ImportTextFile(buffer(), writeFile("ansi.txt", "caf\xE9"));
    commands().ImportTextFile(buffer(), writeFile("utf8.txt", "\xEF\xBB\xBF" "caf\xC3\xA9"));
    EXPECT_EQ(buffer()->text(), QString::fromUtf8("café\r\ncafé\r\n"));
}

TEST_P(FileCommands, ImportOfAMissingFileInsertsNothing)
{
    setMarked(buffer(), QStringLiteral("a|"));
    commands().ImportTextFile(buffer(), m_dir.filePath("missing.txt"));
    EXPECT_EQ(marked(buffer()), QStringLiteral("a|"));
    EXPECT_FALSE(buffer()->isModified());
    EXPECT_EQ(m_debug, QStringList{QStringLiteral("Error: TGeneralFileCommands: ImportTextFile: \"File does not exist\"")});
    // Without a debug window the line goes nowhere.
    TGeneralFileCommands(nullptr).ImportTextFile(buffer(), m_dir.filePath("missing.txt"));
}

QUORVANT_BOTH_BUFFERS(FileCommands);

} // namespace
} // namespace Quorvant::Test
