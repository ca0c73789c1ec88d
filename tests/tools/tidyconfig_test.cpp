// The configuration file model, the report parser, the page encodings and
// the working files of the tool folder.
#include "tidyconfig.h"
#include "tidyfolder.h"
#include "tidypagecodec.h"
#include "tidyreport.h"
#include "toolstestsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Quorvant;
using namespace Quorvant::HtmlTidyMenu;

TEST(TidyConfig, DefaultsWriteTheShippedDefaultFileLineForLine)
{
    const QStringList shipped = ToolsTest::readLines(QStringLiteral(QUORVANT_SOURCE_DATA_DIR "/Tidy/Default.Cfg"));
    ASSERT_EQ(shipped.size(), TTidyConfig::LineCount);
    EXPECT_EQ(TTidyConfig().lines(), shipped);
    EXPECT_EQ(TTidyConfig::fromLines(shipped), TTidyConfig());
}

TEST(TidyConfig, SavedFileHas29CrLfLinesAndReadsBack)
{
    QTemporaryDir dir;
    TTidyConfig c;
    c.UppercaseTags = true;
    c.Wrap = 0;
    c.TabSize = -3;
    c.Doctype = TidyDoctype::Loose;
    c.CharEncoding = TidyCharEncoding::Latin1;
    const QString path = dir.filePath(QStringLiteral("Tidy.Cfg"));
    ASSERT_TRUE(c.save(path));
    const QByteArray bytes = ToolsTest::readFile(path);
    EXPECT_EQ(bytes.count("\r\n"), 29);
    EXPECT_EQ(bytes.count('\n'), 29);
    QStringList lines;
    ASSERT_TRUE(TTidyConfig::readLines(path, &lines));
    ASSERT_EQ(lines.size(), 29);
    EXPECT_EQ(lines.at(12), QStringLiteral("uppercase-tags: yes"));
    EXPECT_EQ(lines.at(16), QStringLiteral("wrap: 0"));
    EXPECT_EQ(lines.at(4), QStringLiteral("tab-size: -3"));
    EXPECT_EQ(lines.at(6), QStringLiteral("doctype: loose"));
    EXPECT_EQ(lines.at(22), QStringLiteral("char-encoding: latin1"));
    EXPECT_EQ(lines.at(26), QStringLiteral("error-file: error.dat"));
    EXPECT_EQ(TTidyConfig::fromLines(lines), c);
}

TEST(TidyConfig, SaveFailsUnderAPlainFile)
{
    QTemporaryDir dir;
    ToolsTest::writeFile(dir.filePath(QStringLiteral("plain")), "x");
    QString error;
    EXPECT_FALSE(TTidyConfig().save(dir.filePath(QStringLiteral("plain/Tidy.Cfg")), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(TidyConfig, AFifoInPlaceOfTheFileIsNotRead)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tidy.Cfg"));
    ASSERT_TRUE(ToolsTest::makeFifo(path));
    ToolsTest::FifoReleaser release({path});
    QStringList lines;
    QString error;
    EXPECT_FALSE(TTidyConfig::readLines(path, &lines, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(release.releases(), 0);
}

TEST(TidyConfig, LineHelpers)
{
    EXPECT_EQ(GetText(QStringLiteral("doctype: strict")), QStringLiteral("strict"));
    EXPECT_EQ(GetText(QStringLiteral("wrap-php:yes")), QString());
    EXPECT_EQ(GetInt(QStringLiteral("wrap: 72")), 72);
    EXPECT_EQ(GetInt(QStringLiteral("wrap: ")), -1);
    EXPECT_EQ(GetInt(QStringLiteral("wrap: many")), -1);
    EXPECT_TRUE(RevYesNo(QStringLiteral("YeS")));
    EXPECT_FALSE(RevYesNo(QStringLiteral("true")));
    EXPECT_FALSE(RevYesNo(QStringLiteral("no")));
    EXPECT_EQ(YesNo(true), QStringLiteral("yes"));
    EXPECT_EQ(YesNo(false), QStringLiteral("no"));
}

TEST(TidyConfig, ReadByPositionNotByName)
{
    QStringList lines = TTidyConfig().lines();
    lines[6] = QStringLiteral("doctype: StRiCt");
    lines[0] = QStringLiteral("tidy-mark: true");      // only "yes" checks
    lines[1] = QStringLiteral("uppercase-tags: no");   // line 2 is "markup", whatever its name
    lines[22] = QStringLiteral("char-encoding: klingon");  // no match: the group stays
    TTidyConfig start;
    start.CharEncoding = TidyCharEncoding::Utf8;
    start.applyLines(lines);
    EXPECT_EQ(start.Doctype, TidyDoctype::Strict);
    EXPECT_FALSE(start.TidyMark);
    EXPECT_FALSE(start.Markup);
    EXPECT_EQ(start.CharEncoding, TidyCharEncoding::Utf8);
}

TEST(TidyConfig, AShortFileKeepsTheDefaultsOfItsMissingLines)
{
    // Five lines: tidy-mark .. tab-size set, everything after stays default.
    const QStringList lines{QStringLiteral("tidy-mark: yes"), QStringLiteral("markup: no"),
                            QStringLiteral("wrap-attributes: yes"), QStringLiteral("literal-attributes: yes"),
                            QStringLiteral("tab-size: 8")};
    const TTidyConfig c = TTidyConfig::fromLines(lines);
    EXPECT_TRUE(c.TidyMark);
    EXPECT_FALSE(c.Markup);
    EXPECT_EQ(c.TabSize, 8);
    TTidyConfig expected;
    expected.TidyMark = true;
    expected.Markup = false;
    expected.WrapAttributes = true;
    expected.LiteralAttributes = true;
    expected.TabSize = 8;
    EXPECT_EQ(c, expected);
    EXPECT_EQ(TTidyConfig::fromLines({}), TTidyConfig());
}

TEST(TidyConfig, CharEncodingIsFoundByName)
{
    EXPECT_EQ(TTidyConfig::charEncodingIn({QStringLiteral("Char-Encoding:  LATIN1")}), TidyCharEncoding::Latin1);
    // By default none is chosen: line 23 is a comment to the tool, read back by position.
    const QStringList defaults = TTidyConfig().lines();
    EXPECT_EQ(defaults.at(22), QStringLiteral("#char-encoding: document"));
    EXPECT_EQ(TTidyConfig::charEncodingIn(defaults), TidyCharEncoding::Document);
    EXPECT_EQ(TTidyConfig::charEncodingIn({QStringLiteral("wrap: 5")}), TidyCharEncoding::Document);
    TTidyConfig chosen;
    chosen.CharEncoding = TidyCharEncoding::Utf8;
    chosen.applyLines(defaults);
    EXPECT_EQ(chosen.CharEncoding, TidyCharEncoding::Document);
    EXPECT_FALSE(chosen.OutputXhtml);
}

TEST(TidyPageCodec, AnUnchosenEncodingFollowsTheDocument)
{
    const QByteArray declaresLatin1 = "<head><META http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">";
    const QStringList keep{QStringLiteral("--preserve-entities"), QStringLiteral("yes")};
    struct Case { TidyCharEncoding configured; TextEncoding document; QByteArray page; TidyPageEncoding encoding; QStringList arguments; };
    const Case cases[] = {
        {TidyCharEncoding::Document, TextEncoding::Utf8, declaresLatin1, TidyPageEncoding::Utf8,
         QStringList{QStringLiteral("--char-encoding"), QStringLiteral("utf8")} + keep},
        {TidyCharEncoding::Document, TextEncoding::Windows1252, "<meta charset=\"windows-1252\">", TidyPageEncoding::Windows1252,
         QStringList{QStringLiteral("--input-encoding"), QStringLiteral("win1252"), QStringLiteral("--output-encoding"), QStringLiteral("win1252")} + keep},
        {TidyCharEncoding::Document, TextEncoding::Windows1252, "<p>no declaration</p>", TidyPageEncoding::Windows1252,
         QStringList{QStringLiteral("--input-encoding"), QStringLiteral("win1252"), QStringLiteral("--output-encoding"), QStringLiteral("win1252")} + keep},
        {TidyCharEncoding::Document, TextEncoding::Windows1252, declaresLatin1, TidyPageEncoding::Latin1,
         QStringList{QStringLiteral("--char-encoding"), QStringLiteral("latin1")} + keep},
        // A chosen encoding is the configuration's: no arguments.
        {TidyCharEncoding::Ascii, TextEncoding::Utf8, "", TidyPageEncoding::Latin1, {}},
        {TidyCharEncoding::Utf8, TextEncoding::Windows1252, "", TidyPageEncoding::Utf8, {}},
    };
    for (const Case &c : cases) {
        const TidyPageFormat format = tidyPageFormat(c.configured, c.document, c.page);
        EXPECT_EQ(format.encoding, c.encoding) << c.page.toStdString();
        EXPECT_EQ(format.arguments, c.arguments) << c.page.toStdString();
    }
    EXPECT_EQ(declaredCharset("<meta charset='UTF-8'/>"), QStringLiteral("utf-8"));
    EXPECT_EQ(declaredCharset("<p>charset=utf-8</p>"), QString());

    // Windows-1252 holds the euro and curly quotes as bytes; the rest go as references.
    const QString text = QStringLiteral("caf\u00E9 \u20AC\u201Cq\u201D \u65E5 \U0001F600 \u0081");
    const QByteArray bytes = encodeTidyPage(text, TidyPageEncoding::Windows1252);
    EXPECT_EQ(bytes, QByteArray("caf\xE9 \x80\x93q\x94 &#26085; &#128512; &#129;"));
    EXPECT_EQ(decodeTidyPage(QByteArray("caf\xE9 \x80\x93q\x94"), TidyPageEncoding::Windows1252),
              QStringLiteral("caf\u00E9 \u20AC\u201Cq\u201D"));
}

TEST(TidyReport, ParsesPlacedLinesOnly)
{
    const QString report = QStringLiteral(
        "line 1 column 1 - Warning: missing <!DOCTYPE> declaration\n"
        "line 3 column 10 - Warning: missing </b> before <table>\r\n"
        "line 12 column 4 - Error: <blink> is not recognized!\n"
        "Info: Document content looks like XHTML5\n"
        "Tidy found 2 warnings and 1 error!\n"
        "line 0 column 0 - Warning: nowhere\n");
    const QList<TTidyMessage> m = TTidyReport::parse(report);
    ASSERT_EQ(m.size(), 3);
    EXPECT_EQ(m[0], (TTidyMessage{1, 1, QStringLiteral("Warning"), QStringLiteral("missing <!DOCTYPE> declaration")}));
    EXPECT_EQ(m[1], (TTidyMessage{3, 10, QStringLiteral("Warning"), QStringLiteral("missing </b> before <table>")}));
    EXPECT_EQ(m[2].line, 12);
    EXPECT_TRUE(m[2].isError());
    EXPECT_FALSE(m[0].isError());
}

TEST(TidyPageCodec, EachEncodingKeepsEveryCharacter)
{
    const QString text = QStringLiteral("caf\u00E9 \u20AC \U0001F600 <b>x</b>");
    struct Case { TidyCharEncoding e; QByteArray bytes; };
    const Case cases[] = {
        {TidyCharEncoding::Utf8, text.toUtf8()},
        {TidyCharEncoding::Raw, text.toUtf8()},
        {TidyCharEncoding::Latin1, QByteArray("caf\xE9 &#8364; &#128512; <b>x</b>")},
        {TidyCharEncoding::Ascii, QByteArray("caf\xE9 &#8364; &#128512; <b>x</b>")},
        {TidyCharEncoding::Iso2022, QByteArray("caf&#233; &#8364; &#128512; <b>x</b>")},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(encodeTidyPage(text, c.e), c.bytes) << int(c.e);
    }
    EXPECT_EQ(decodeTidyPage(text.toUtf8(), TidyCharEncoding::Utf8), text);
    EXPECT_EQ(decodeTidyPage("caf\xE9", TidyCharEncoding::Latin1), QStringLiteral("caf\u00E9"));
    EXPECT_EQ(decodeDataFile("\x93quoted\x94"), QStringLiteral("\u201Cquoted\u201D"));
}

TEST(TidyFolder, ArgumentsOfTheThreeCommands)
{
    QTemporaryDir dir;
    const TTidyFolder folder(dir.path());
    const QStringList run{QStringLiteral("-config"), QStringLiteral("Tidy.Cfg"), QStringLiteral("-m"), QStringLiteral("temp.htm")};
    EXPECT_EQ(folder.arguments(TidyCommand::FixAndFormat), run);
    // Settings that override the configuration come right after it.
    EXPECT_EQ(folder.arguments(TidyCommand::FixAndFormat, {QStringLiteral("--char-encoding"), QStringLiteral("utf8")}),
              (QStringList{QStringLiteral("-config"), QStringLiteral("Tidy.Cfg"), QStringLiteral("--char-encoding"),
                           QStringLiteral("utf8"), QStringLiteral("-m"), QStringLiteral("temp.htm")}));
    EXPECT_EQ(folder.arguments(TidyCommand::SourceFormat),
              (QStringList{QStringLiteral("-config"), QStringLiteral("Tidy.Cfg"), QStringLiteral("-i"), QStringLiteral("-m"), QStringLiteral("temp.htm")}));
    EXPECT_EQ(folder.arguments(TidyCommand::ConvertToXml),
              (QStringList{QStringLiteral("-config"), QStringLiteral("Tidy.Cfg"), QStringLiteral("-i"), QStringLiteral("-asxml"),
                           QStringLiteral("-m"), QStringLiteral("temp.htm")}));
    // An existing file under another letter case is the one used.
    ToolsTest::writeFile(dir.filePath(QStringLiteral("tidy.cfg")), "x");
    EXPECT_EQ(folder.arguments(TidyCommand::FixAndFormat).at(1), QStringLiteral("tidy.cfg"));
    EXPECT_EQ(folder.configPath(), dir.filePath(QStringLiteral("tidy.cfg")));
}

TEST(TidyFolder, RemovesEarlierWorkingFilesUnderAnyCase)
{
    QTemporaryDir dir;
    const TTidyFolder folder(dir.path());
    for (const char *name : {"TEMP.HTM", "temp.htm", "Error.Dat", "Tidy.Cfg", "Default.Cfg"})
        ToolsTest::writeFile(dir.filePath(QLatin1String(name)), "old");
    ASSERT_TRUE(folder.removeWorkingFiles());
    QStringList left = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(left, (QStringList{QStringLiteral("Default.Cfg"), QStringLiteral("Tidy.Cfg")}));
}

TEST(TidyFolder, AToolInTheFolderComesBeforeThePath)
{
    QTemporaryDir dir;
    const TTidyFolder folder(dir.path());
    // Not executable: not a tool.
    ToolsTest::writeFile(dir.filePath(QStringLiteral("tidy")), "#!/bin/sh\n");
    QFile::setPermissions(dir.filePath(QStringLiteral("tidy")), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(folder.toolPath(), ToolsTest::realTidy());
    ToolsTest::writeFakeTool(dir.path(), "exit 0");
    EXPECT_EQ(folder.toolPath(), dir.filePath(QStringLiteral("tidy")));
}

TEST(TidyPageCodec, TheEditorsBytesEncodeAsItsText)
{
    const QString text = QStringLiteral("a\u00E9\u00FF\u0100\u20AC\U0001F600<b>\r\nz");
    for (TidyCharEncoding e : {TidyCharEncoding::Raw, TidyCharEncoding::Ascii, TidyCharEncoding::Latin1,
                               TidyCharEncoding::Utf8, TidyCharEncoding::Iso2022})
        EXPECT_EQ(encodeTidyPageUtf8(text.toUtf8(), e), encodeTidyPage(text, e)) << int(e);
    // A stray byte and a cut sequence count as Latin-1 characters.
    EXPECT_EQ(encodeTidyPageUtf8(QByteArray("x\xE9y\xE2\x82"), TidyCharEncoding::Latin1), QByteArray("x\xE9y\xE2\x82"));
    EXPECT_EQ(encodeTidyPageUtf8(QByteArray("x\xE9"), TidyCharEncoding::Iso2022), QByteArray("x&#233;"));
}
