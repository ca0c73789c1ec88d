// Reading and rewriting a page's title and BODY tag, and the colour theme file.
#include "documentproperties.h"
#include "memoryeditor.h"
#include "propertycolorthemes.h"
#include "tagplacement.h"
#include "textfileformat.h"
#include "pathsandcolours.h"
#include "toolkitglobals.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace Quorvant::Test {
namespace {

class DocumentPropertiesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetToolkitGlobals();
        gInsertTagsInLowercase = false;
    }
    void TearDown() override { resetToolkitGlobals(); }
    MemoryTextBuffer buffer;
};

TEST_F(DocumentPropertiesTest, ReadsTitleAndBodyAttributesWithoutMovingTheCaret)
{
    buffer.setText(QStringLiteral("<html><head><title>My Page</title></head>\r\n<body bgcolor=\"#FFFFFF\"\r\n"
                                  "  link=\"Blue\" background=\"a b.gif\" scroll=no>\r\n</body>"));
    buffer.setCaretPoint({3, 1});
    const PageProperties p = readPageProperties(&buffer);
    EXPECT_EQ(p.title, QStringLiteral("My Page"));
    EXPECT_EQ(p.bgColor, QStringLiteral("#FFFFFF"));
    EXPECT_EQ(p.linkColor, QStringLiteral("Blue"));
    EXPECT_EQ(p.background, QStringLiteral("a b.gif"));
    EXPECT_EQ(p.textColor, QString());
    EXPECT_TRUE(p.disableScrollbars);
    EXPECT_FALSE(p.watermark);
    EXPECT_EQ(buffer.caretPoint(), (CaretPoint{3, 1}));
    EXPECT_FALSE(buffer.hasSelection());
}

TEST_F(DocumentPropertiesTest, RewritesTitleAndATwoLineBodyTagAsOneStep)
{
    const QString before = QStringLiteral("<HTML><HEAD><TITLE>Old</TITLE></HEAD>\r\n<BODY BGCOLOR=\"Red\"\r\n TEXT=\"Black\">\r\nHi\r\n</BODY>");
    buffer.setText(before);
    buffer.setModified(false);
    PageProperties p;
    p.title = QStringLiteral("New");
    p.bgColor = QStringLiteral("White");
    p.linkColor = QStringLiteral("#0000FF");
    writePageProperties(&buffer, p);
    EXPECT_EQ(buffer.text(), QStringLiteral("<HTML><HEAD><TITLE>New</TITLE></HEAD>\r\n<BODY BGCOLOR=\"White\" LINK=\"#0000FF\">\r\nHi\r\n</BODY>"));
    EXPECT_TRUE(buffer.isModified());
    buffer.undo();
    EXPECT_EQ(buffer.text(), before);
}

TEST_F(DocumentPropertiesTest, DefaultsGiveABareBodyAndTheStyleBlockPrecedesIt)
{
    buffer.setText(QStringLiteral("<title>T</title>\r\n<body>"));
    writePageProperties(&buffer, PageProperties{QStringLiteral("T")});
    EXPECT_EQ(buffer.text(), QStringLiteral("<TITLE>T</TITLE>\r\n<BODY>"));

    PageProperties p{QStringLiteral("T")};
    p.underlineLinks = false;
    p.disableScrollbars = true;
    p.watermark = true;
    p.background = QStringLiteral("bg.gif");
    writePageProperties(&buffer, p);
    EXPECT_EQ(buffer.text(), QStringLiteral("<TITLE>T</TITLE>\r\n") + SetTagCase(noUnderlineStyleBlock(), false)
                                 + QStringLiteral("<BODY BACKGROUND=\"bg.gif\" SCROLL=NO BGPROPERTIES=FIXED>"));
    EXPECT_TRUE(noUnderlineStyleBlock().endsWith(QStringLiteral("\r\n  -->  </style>\r\n")));
    EXPECT_EQ(noUnderlineStyleBlock().count(QStringLiteral("\r\n")), 6);
}

TEST_F(DocumentPropertiesTest, KeepsTheAttributesTheDialogDoesNotEdit)
{
    buffer.setText(QStringLiteral("<title>T</title><body onload=\"init('a b')\" BGCOLOR=\"Red\" class=Main\r\n"
                                  " style='margin: 0' data-x>text"));
    PageProperties p = readPageProperties(&buffer);
    p.bgColor = QStringLiteral("Blue");
    gInsertTagsInLowercase = true;
    writePageProperties(&buffer, p);
    EXPECT_EQ(buffer.text(), QStringLiteral("<title>T</title><body bgcolor=\"Blue\" onload=\"init('a b')\" class=Main\r\n"
                                            " style='margin: 0' data-x>text"));
}

TEST_F(DocumentPropertiesTest, WithoutBodyTheTagGoesAfterTheTitleElement)
{
    buffer.setText(QStringLiteral("<html><head><title>Old</title></head></html>"));
    buffer.setCaretPoint({0, 0});
    writePageProperties(&buffer, PageProperties{QStringLiteral("New")});
    EXPECT_EQ(buffer.text(), QStringLiteral("<html><head><TITLE>New</TITLE><BODY></head></html>"));
}

TEST_F(DocumentPropertiesTest, WithoutTitleASelectionIsNotDeleted)
{
    buffer.setText(QStringLiteral("keep this\r\n<body>"));
    buffer.setSelection({{0, 0}, {4, 0}});
    writePageProperties(&buffer, PageProperties{QStringLiteral("T")});
    EXPECT_EQ(buffer.text(), QStringLiteral("keep<TITLE>T</TITLE> this\r\n<BODY>"));
}

TEST_F(DocumentPropertiesTest, BodyTagCutShortByTheNextTag)
{
    buffer.setText(QStringLiteral("<body bgcolor=\"x\"\r\n<p>para"));
    const BodyTagSpan span = findBodyTag(&buffer);
    ASSERT_TRUE(span.found);
    EXPECT_EQ(span.text, QStringLiteral("<body bgcolor=\"x\"\r\n"));
    EXPECT_EQ(span.end, (CaretPoint{0, 1}));
    EXPECT_FALSE(findBodyTag(nullptr).found);
    EXPECT_EQ(otherAttributes(QStringLiteral("<body a=\"1\" b = 2 c>"), {QStringLiteral("B")}),
              QStringLiteral(" a=\"1\" c"));
}

class ColorThemesTest : public ::testing::Test
{
protected:
    QString path() const { return dir.filePath(QStringLiteral("Themes.Dat")); }
    QByteArray contents() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir;
};

TEST_F(ColorThemesTest, SaveLoadAndDeleteKeepTheFileFormat)
{
    TPropertyColorThemes themes(path());
    EXPECT_FALSE(themes.fileExists());
    EXPECT_TRUE(themes.themeNames().isEmpty());
    EXPECT_FALSE(themes.LoadTheme(QStringLiteral("Any")));

    const ThemeColors first{QStringLiteral("#FF0000"), QStringLiteral("Red"), QString(), QStringLiteral("b"), QStringLiteral("c")};
    ASSERT_EQ(themes.SaveTheme(QStringLiteral("Warm"), first), TPropertyColorThemes::SaveResult::Saved);
    EXPECT_EQ(contents(), QByteArray("Warm,#FF0000,Red,,b,c\r\n\r\n"));
    const ThemeColors second{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")};
    ASSERT_EQ(themes.SaveTheme(QStringLiteral("WARM"), second), TPropertyColorThemes::SaveResult::Saved);
    EXPECT_EQ(contents(), QByteArray("Warm,#FF0000,Red,,b,c\r\n\r\nWARM,1,2,3,4,5\r\n\r\n"));
    EXPECT_EQ(themes.themeNames(), (QStringList{QStringLiteral("Warm"), QStringLiteral("WARM")}));
    EXPECT_EQ(themes.LoadTheme(QStringLiteral("warm")), first);

    EXPECT_TRUE(themes.DeleteTheme(QStringLiteral("wArm")));
    EXPECT_TRUE(themes.themeNames().isEmpty());
    EXPECT_FALSE(themes.DeleteTheme(QString()));
    EXPECT_EQ(themes.SaveTheme(QString(), first), TPropertyColorThemes::SaveResult::NoName);
}

TEST_F(ColorThemesTest, ShortLinesLoadEmptyFieldsAndCommasAreRefused)
{
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\r\nShort,White,Black\r\n");
    f.close();
    TPropertyColorThemes themes(path());
    EXPECT_EQ(themes.themeNames(), QStringList{QStringLiteral("Short")});
    EXPECT_EQ(themes.LoadTheme(QStringLiteral("short")),
              (ThemeColors{QStringLiteral("White"), QStringLiteral("Black"), QString(), QString(), QString()}));

    const QByteArray before = contents();
    EXPECT_EQ(themes.SaveTheme(QStringLiteral("a,b"), {}), TPropertyColorThemes::SaveResult::HasSeparator);
    EXPECT_EQ(themes.SaveTheme(QStringLiteral("ok"), {QString(), QStringLiteral("rgb(1,2,3)")}),
              TPropertyColorThemes::SaveResult::HasSeparator);
    EXPECT_EQ(contents(), before);
}

TEST_F(ColorThemesTest, AFailedWriteIsReportedAndLeavesTheFileWhole)
{
    TPropertyColorThemes themes(path());
    ASSERT_EQ(themes.SaveTheme(QStringLiteral("One"), {}), TPropertyColorThemes::SaveResult::Saved);
    const QByteArray before = contents();
    setAtomicWriteLimitForTests(3);
    EXPECT_EQ(themes.SaveTheme(QStringLiteral("Two"), {}), TPropertyColorThemes::SaveResult::WriteFailed);
    EXPECT_FALSE(themes.DeleteTheme(QStringLiteral("One")));
    setAtomicWriteLimitForTests(-1);
    EXPECT_EQ(contents(), before);

    TPropertyColorThemes underAFile(path() + QStringLiteral("/Themes.Dat"));
    EXPECT_EQ(underAFile.SaveTheme(QStringLiteral("x"), {}), TPropertyColorThemes::SaveResult::WriteFailed);
}

// Lines not of the file's form are left out of the list and named, once
// each, with the file; loading and deleting pass over them and a rewrite
// keeps them as they were.
TEST_F(ColorThemesTest, LinesNotOfTheFormAreSkippedNamedAndKept)
{
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const QByteArray garbage[] = {
        QByteArray("\x00\x01\x02PK\x03\x04junk", 11),  // line 2: binary
        "Many,1,2,3,4,5,6,7",                          // line 4: more than six fields
        ",Red,Blue",                                   // line 5: no name
        "  \t ,Red",                                   // line 6: a blank name
        "Odd\x1b[2J,Red",                              // line 7: a control character
    };
    f.write("Good,White,Black\r\n");
    f.write(garbage[0]);
    f.write("\r\n\r\n");
    for (int i = 1; i < 5; ++i) {
        f.write(garbage[i]);
        f.write("\r\n");
    }
    f.write("Tab\tname,Red,,,,Lime\r\nAlso Good,#000000\r\n");
    f.close();

    TPropertyColorThemes themes(path());
    SkippedLines skipped;
    EXPECT_EQ(themes.themeNames(&skipped),
              (QStringList{QStringLiteral("Good"), QStringLiteral("Tab\tname"), QStringLiteral("Also Good")}));
    EXPECT_EQ(skipped.lineNumbers, (QList<int>{2, 4, 5, 6, 7}));
    EXPECT_EQ(skipped.fileName, QDir::toNativeSeparators(path()));
    EXPECT_EQ(skippedLinesText(skipped),
              QDir::toNativeSeparators(path()) + QStringLiteral(": lines 2, 4, 5, 6 and 7 are not valid entries and were skipped."));

    // A garbage line of a theme's name is neither loaded nor deleted.
    EXPECT_FALSE(themes.LoadTheme(QStringLiteral("Many")));
    EXPECT_FALSE(themes.LoadTheme(QStringLiteral("Odd\x1b[2J")));
    ASSERT_TRUE(themes.DeleteTheme(QStringLiteral("Many")));
    EXPECT_TRUE(contents().contains(garbage[1]));
    ASSERT_TRUE(themes.DeleteTheme(QStringLiteral("Good")));
    const QByteArray rewritten = contents();
    for (const QByteArray &line : garbage)
        EXPECT_TRUE(rewritten.contains(line)) << line.toHex().constData();
    EXPECT_FALSE(rewritten.contains("Good,White"));
    EXPECT_EQ(themes.themeNames(), (QStringList{QStringLiteral("Tab\tname"), QStringLiteral("Also Good")}));
}

// The reader's rule for one line, and a file that holds no text at all.
TEST_F(ColorThemesTest, WhatALineOfTheFileIs)
{
    for (const char16_t *line : {u"A", u"A,1,2,3,4,5", u"Gr\u00fc\u00dfe \u65e5\u672c,Red", u"a b,,,,,", u"Tab\tname"})
        EXPECT_TRUE(TPropertyColorThemes::isThemeLine(QString::fromUtf16(line))) << QString::fromUtf16(line).toStdString();
    const QString notLines[] = {QStringLiteral("A,1,2,3,4,5,6"), QStringLiteral(",x"), QStringLiteral(" "),
                                QString::fromUtf16(u"a\u0000b", 3), QString::fromUtf16(u"x\u0085y"),
                                QString::fromUtf16(u"bad\ufffd,Red")};
    for (const QString &line : notLines)
        EXPECT_FALSE(TPropertyColorThemes::isThemeLine(line)) << line.toStdString();

    // Every byte but the line ends: one line, skipped.
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QByteArray noise;
    for (int i = 0; i < 256; ++i) {
        if (i != '\r' && i != '\n')
            noise += char(i);
    }
    f.write(noise.repeated(4));
    f.close();
    SkippedLines skipped;
    EXPECT_TRUE(TPropertyColorThemes(path()).themeNames(&skipped).isEmpty());
    EXPECT_EQ(skipped.lineNumbers, QList<int>{1});
}

TEST(ShippedThemes, EveryLineHasANameAndFiveColours)
{
    TPropertyColorThemes shipped(QStringLiteral(QUORVANT_SOURCE_DIR "/data/Themes.Dat"));
    const QStringList names = shipped.themeNames();
    ASSERT_GE(names.size(), 3);
    for (const QString &name : names) {
        const auto colors = shipped.LoadTheme(name);
        ASSERT_TRUE(colors) << qPrintable(name);
        for (const QString &c : *colors) {
            bool ok = false;
            WebColorToDelphiColor(c, &ok);
            EXPECT_TRUE(ok) << qPrintable(name + QLatin1Char(' ') + c);
        }
    }
}

} // namespace
} // namespace Quorvant::Test
