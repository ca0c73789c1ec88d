// Link texts for files, colour texts, and the link and colour insertions.
#include "pathsandcolours.h"
#include "toolkitglobals.h"
#include "toolkittestsupport.h"

#include <QDir>

namespace Quorvant {

void PrintTo(const RgbColor &c, std::ostream *os)
{
    *os << "rgb(" << c.red << ", " << c.green << ", " << c.blue << ")";
}

namespace Test {
namespace {

TEST(GetRelativePath, FromTheDocumentsFolder)
{
    const QString doc = QStringLiteral("/home/ann/web/site/index.htm");
    struct Case
    {
        QString file;
        QString expected;
    };
    const Case cases[] = {
        {"/home/ann/web/site/logo.gif", "logo.gif"},
        {"/home/ann/web/site/img/logo.gif", "img/logo.gif"},
        {"/home/ann/web/img/logo.gif", "../img/logo.gif"},
        {"/home/ann/Other/logo.gif", "../../Other/logo.gif"},
        {"/home/ann/web/logo.gif", "../logo.gif"},
        {"/HOME/ANN/WEB/SITE/Logo.gif", "Logo.gif"},
        {"/home/ann/WEB/Site/Deep/er/a b.gif", "Deep/er/a b.gif"},
        {"/logo.gif", "../../../../logo.gif"},
        {"/srv/www/logo.gif", "../../../../srv/www/logo.gif"},
        // Doubled and "." folders mean the same folder.
        {"/home/ann//web/./img/logo.gif", "../img/logo.gif"},
        // No folder part: the name itself.
        {"logo.gif", "logo.gif"},
        {"", ""},
        {"/", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(GetRelativePath(doc, c.file), c.expected) << c.file.toStdString();
    EXPECT_EQ(GetRelativePath(QString(), QStringLiteral("/a/b.gif")), QString());
    EXPECT_EQ(GetRelativePath(QStringLiteral("/"), QStringLiteral("/a/b.gif")), QString());
    EXPECT_EQ(GetRelativePath(QStringLiteral("/index.htm"), QStringLiteral("/b.gif")), QStringLiteral("b.gif"));
}

TEST(ConvertFileName, RelativeForASavedDocumentElseAFileAddress)
{
    EXPECT_EQ(convertfilename(QStringLiteral("/home/ann/a b/c.gif"), QString()),
              QStringLiteral("file:///home/ann/a b/c.gif"));
    EXPECT_EQ(convertfilename(QString(), QString()), QString());
    EXPECT_EQ(convertfilename(QStringLiteral("/home/ann/web/site/logo.gif"), QStringLiteral("/home/ann/web/site/index.htm")),
              QStringLiteral("logo.gif"));
    EXPECT_EQ(convertfilename(QStringLiteral("/logo.gif"), QStringLiteral("/home/ann/index.htm")), QStringLiteral("../../logo.gif"));
    EXPECT_EQ(convertfilename(QStringLiteral("rel/x.gif"), QString()),
              QStringLiteral("file://") + QDir::current().absoluteFilePath(QStringLiteral("rel/x.gif")));
}

TEST(Colors, gcolorWritesNamesOrHex)
{
    EXPECT_EQ(gcolor({0, 0, 0xFF}), "Blue");
    EXPECT_EQ(gcolor({0xFF, 0, 0}), "Red");
    EXPECT_EQ(gcolor({0xFF, 0xFF, 0xFF}), "White");
    EXPECT_EQ(gcolor({0xC0, 0xC0, 0xC0}), "Silver");
    EXPECT_EQ(gcolor({0xFF, 0x80, 0x00}), "#FF8000");
    EXPECT_EQ(gcolor({0x12, 0x34, 0x56}), "#123456");
    EXPECT_EQ(gcolor({0xAB, 0x0C, 0x0D}), "#AB0C0D");
    EXPECT_EQ(gcolor({0x00, 0x00, 0x01}), "#000001");
}

TEST(Colors, EveryNameReadsBackToItsColour)
{
    for (const NamedColor &named : BasicColors) {
        bool ok = false;
        EXPECT_EQ(WebColorToDelphiColor(gcolor(named.color), &ok), named.color) << named.name;
        EXPECT_TRUE(ok) << named.name;
    }
}

TEST(Colors, WebColorToDelphiColor)
{
    struct Case
    {
        QString text;
        RgbColor expected;
        bool success;
    };
    const RgbColor white{0xFF, 0xFF, 0xFF};
    const Case cases[] = {
        {"#ff8000", {0xFF, 0x80, 0x00}, true},
        {"#FF8000", {0xFF, 0x80, 0x00}, true},
        {"#000000", {0, 0, 0}, true},
        {"navy", {0, 0, 0x80}, true},
        {"FUCHSIA", {0xFF, 0, 0xFF}, true},
        {"#12345", white, false},
        {"#1234567", white, false},
        {"#GGGGGG", white, false},
        {"#12 456", white, false},
        {"FF8000", white, false},
        {"", white, false},
        {"#", white, false},
        {"r", white, false},
        {"orange", white, false},
        {" red", white, false},
    };
    for (const Case &c : cases) {
        bool ok = !c.success;
        EXPECT_EQ(WebColorToDelphiColor(c.text, &ok), c.expected) << c.text.toStdString();
        EXPECT_EQ(ok, c.success) << c.text.toStdString();
    }
}

class LinkCommands : public BufferTest
{
};

TEST_P(LinkCommands, WrapTheSelection)
{
    setMarked(buffer(), QStringLiteral("see {here}"));
    MakeLink(buffer());
    EXPECT_EQ(marked(buffer()), QStringLiteral("see <a href=\"\">{here|}</a>"));

    gInsertTagsInLowercase = false;
    setMarked(buffer(), QStringLiteral("|"));
    MakeEMailLink(buffer());
    EXPECT_EQ(marked(buffer()), QStringLiteral("<A HREF=\"mailto:[TYPE EMAIL HERE]\">|</A>"));
}

TEST_P(LinkCommands, ColourBar)
{
    setMarked(buffer(), QStringLiteral("{Hello}"));
    InsertColor(buffer(), {0xFF, 0, 0}, true);
    EXPECT_EQ(marked(buffer()), QStringLiteral("<font color=\"Red\">{Hello|}</font>"));

    gInsertTagsInLowercase = false;
    setMarked(buffer(), QStringLiteral("a|"));
    InsertColor(buffer(), {0x12, 0xAB, 0x00}, false);
    EXPECT_EQ(marked(buffer()), QStringLiteral("a#12AB00|"));
}

QUORVANT_BOTH_BUFFERS(LinkCommands);

} // namespace
} // namespace Test
} // namespace Quorvant
