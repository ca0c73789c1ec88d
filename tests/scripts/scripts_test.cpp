// The scripts subsystem's logic: the script inserter on both editor buffers,
// template folders, server variable lists, the snippet store, the date
// stamps, the script definition text and the object tree.
#include "messageservice.h"
#include "scriptsglobals.h"
#include "scriptstestsupport.h"
#include "tagplacement.h"
#include "tcodesnippits.h"
#include "tdatetimestamp.h"
#include "tdefinescript.h"
#include "textfileformat.h"
#include "tjsobjecttree.h"
#include "toolkitglobals.h"
#include "toolkittestsupport.h"
#include "tscriptinserter.h"
#include "tscriptlibrary.h"
#include "tservervariables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace Quorvant::Test {
namespace {

// ---------------------------------------------------------------- inserter

TEST(ScriptMarkers, SpacesAndCaseDoNotMatterButTabsDo)
{
    EXPECT_EQ(TScriptInserter::markerOf(u"<!-- <put-head> -->"_s), u"<!--<PUT-HEAD>-->"_s);
    EXPECT_EQ(TScriptInserter::markerOf(u"  <!--<Put-Body>-->  "_s), u"<!--<PUT-BODY>-->"_s);
    EXPECT_EQ(TScriptInserter::markerOf(u"<!--<alert-message>-->"_s), u"<!--<ALERT-MESSAGE>-->"_s);
    EXPECT_EQ(TScriptInserter::markerOf(u"<!-- <STOP-RECORDING> -->"_s), u"<!--<STOP-RECORDING>-->"_s);
    EXPECT_EQ(TScriptInserter::markerOf(u"<!--\t<PUT-HEAD>-->"_s), QString());
    EXPECT_EQ(TScriptInserter::markerOf(u"<!--<PUT-HEAD>--> x"_s), QString());
}

TEST(ScriptParts, AnOpenSectionEndsWithTheNextMarkerLine)
{
    const QStringList file{u"<!--"_s,           u"Title"_s,    u"  -- > "_s, u"-- >"_s, u"x"_s,
                           u"<!--<PUT-HEAD>-->"_s, u"h1"_s,    u"  h2"_s,  u"<!--<PUT-BODY>-->"_s,
                           u"b1"_s,             u"<!--<STOP-RECORDING>-->"_s, u"dropped"_s};
    const TScriptParts parts = TScriptInserter::parse(file);
    EXPECT_EQ(parts.head, (QStringList{u"h1"_s, u"  h2"_s, u"<!--<PUT-BODY>-->"_s}));
    EXPECT_EQ(parts.body, QStringList{u"b1"_s});
    EXPECT_TRUE(parts.alert.isEmpty());
    // Lines before the header's end go nowhere, even markers.
    const TScriptParts early = TScriptInserter::parse({u"<!--<PUT-HEAD>-->"_s, u"a"_s, u"-->"_s, u"b"_s});
    EXPECT_TRUE(early.head.isEmpty());
    EXPECT_TRUE(TScriptInserter::parse({u"<!--<PUT-HEAD>-->"_s, u"a"_s}).head.isEmpty());
}

class ScriptInserter : public BufferTest
{
protected:
    void SetUp() override
    {
        BufferTest::SetUp();
        ASSERT_TRUE(dir.isValid());
    }
    QString script(const QString &text)
    {
        const QString path = dir.filePath(u"s.Htm"_s);
        writeFile(path, text.toUtf8());
        return path;
    }
    void insert(const QString &path)
    {
        TScriptInserter(buffer(), [this](const QString &t) { boxes.append(t); }).InsertScript(path);
    }
    QTemporaryDir dir;
    QStringList boxes;
};

const QString TwoLineHead = u"<!--\r\nClock\r\n-->\r\n<!--<PUT-HEAD>-->\r\n<SCRIPT>\r\nvar A = 1;\r\n"
                            "<!--<STOP-RECORDING>-->\r\n<!--<PUT-BODY>-->\r\n<DIV ID=\"Clock\"></DIV>\r\n"_s;

TEST_P(ScriptInserter, PutsEachPartUnderItsTagExactlyAsWritten)
{
    gInsertTagsInLowercase = true;
    setMarked(buffer(), u"<html>\r\n<head>\r\n<title>T</title>\r\n</head>\r\n<body>|\r\n</body>\r\n</html>"_s);
    insert(script(TwoLineHead));
    EXPECT_EQ(buffer()->text(),
              u"<html>\r\n<head>\r\n<!-- <HEAD> Section of script -->\r\n<SCRIPT>\r\nvar A = 1;\r\n"
              "<!-- End <HEAD> Section of script -->\r\n<title>T</title>\r\n</head>\r\n<body>\r\n"
              "<!-- <BODY> Section of script -->\r\n<DIV ID=\"Clock\"></DIV>\r\n<!-- End <BODY> Section of script -->\r\n"
              "</body>\r\n</html>"_s);
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_TRUE(buffer()->isModified());
    EXPECT_FALSE(gNoCaseChange);
    // The whole insertion is one step.
    buffer()->undo();
    EXPECT_EQ(buffer()->text(), u"<html>\r\n<head>\r\n<title>T</title>\r\n</head>\r\n<body>\r\n</body>\r\n</html>"_s);
}

TEST_P(ScriptInserter, MissingBodyGoesWhereTheHeadLeftTheCaretWithOneNoteAfterTheAlertLines)
{
    const QString file = u"<!--\r\nT\r\n-->\r\n<!--<ALERT-MESSAGE>-->\r\nRemember the id.\r\n<!--<STOP-RECORDING>-->\r\n"
                         "<!--<PUT-HEAD>-->\r\nh\r\n<!--<STOP-RECORDING>-->\r\n<!--<PUT-BODY>-->\r\nb\r\n"_s;
    setMarked(buffer(), u"ab|cd\r\n<head>\r\nz"_s);
    insert(script(file));
    EXPECT_EQ(buffer()->text(),
              u"abcd\r\n<head>\r\n<!-- <HEAD> Section of script -->\r\nh\r\n<!-- End <HEAD> Section of script -->\r\n"
              "<!-- <BODY> Section of script -->\r\nb\r\n<!-- End <BODY> Section of script -->\r\nz"_s);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.first(), u"Remember the id.\r\n<BODY> Could not be found, inserted script at cursor position. "
                             "- This could cause the script not to run."_s);
}

TEST_P(ScriptInserter, ATagOnTheLastLineStillGetsItsPartBelowIt)
{
    const QString file = u"<!--\r\nT\r\n-->\r\n<!--<PUT-HEAD>-->\r\nh\r\n<!--<PUT-BODY>-->\r\nb\r\n"_s;
    setMarked(buffer(), u"<HEAD>\r\n<BODY>|"_s);
    insert(script(file));
    EXPECT_EQ(buffer()->text(),
              u"<HEAD>\r\n<!-- <HEAD> Section of script -->\r\nh\r\n<!--<PUT-BODY>-->\r\n"
              "<!-- End <HEAD> Section of script -->\r\n<BODY>\r\n<!-- <BODY> Section of script -->\r\nb\r\n"
              "<!-- End <BODY> Section of script -->\r\n"_s);
    EXPECT_TRUE(boxes.isEmpty());
}

TEST_P(ScriptInserter, NothingHappensWithoutAFileOrItsHeaderEndOrAnyText)
{
    setMarked(buffer(), u"<HEAD>\r\n<BODY>|"_s);
    insert(dir.filePath(u"missing.Htm"_s));
    insert(script(u"<!--\r\nT\r\n<!--<PUT-HEAD>-->\r\nh\r\n"_s));
    insert(script(u"<!--\r\nT\r\n-->\r\n<!--<PUT-HEAD>-->\r\n<!--<STOP-RECORDING>-->\r\n<!--<PUT-BODY>-->\r\n"_s));
    EXPECT_EQ(marked(buffer()), u"<HEAD>\r\n<BODY>|"_s);
    EXPECT_FALSE(buffer()->isModified());
    EXPECT_TRUE(boxes.isEmpty());
}

QUORVANT_BOTH_BUFFERS(ScriptInserter);

// ---------------------------------------------------------------- libraries

TEST(ScriptLibrary, ListsTitleAndDescriptionOfEveryTemplate)
{
    QTemporaryDir dir;
    writeFile(dir.filePath(u"b.Htm"_s), "<!--\r\nShort\r\n-->\r\n<p>x</p>\r\n");
    writeFile(dir.filePath(u"a.HTM"_s), "<!--\nClock\nShows the time.\nSecond line.\n-->\n-->\nscript\n");
    writeFile(dir.filePath(u"c.htm"_s), "<!--\nNo end\nline 3\nline 4\n");
    writeFile(dir.filePath(u"d.htm"_s), "only one line\n");
    writeFile(dir.filePath(u"e.txt"_s), "<!--\nNot a template\n-->\n");
    writeFile(dir.filePath(u"f.html"_s), "<!--\nNot a template either\n-->\n");
    QList<TScriptEntry> entries;
    ASSERT_TRUE(TScriptLibrary::ListScripts(dir.path(), &entries));
    const QList<TScriptEntry> expected{
        {u"Clock"_s, dir.filePath(u"a.HTM"_s), u"Shows the time.\r\nSecond line."_s},
        {u"Short"_s, dir.filePath(u"b.Htm"_s), QString()},
        {u"No end"_s, dir.filePath(u"c.htm"_s), u"line 3\r\nline 4"_s},
    };
    EXPECT_EQ(entries, expected);
    // A missing folder leaves the list as it was.
    EXPECT_FALSE(TScriptLibrary::ListScripts(dir.filePath(u"none"_s), &entries));
    EXPECT_EQ(entries.size(), 3);
}

// ---------------------------------------------------------------- ASP / SSI

TEST(ServerVariables, TakesTheNameAndOnlyTheTextUpToTheSecondComma)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"ASPData.Dat"_s);
    writeFile(path, "REMOTE_ADDR,The client's address,extra\r\n\r\nX\r\n,no name\r\nHTTPS\r\nAUTH_TYPE,Method\n");
    QList<TServerVariable> list;
    ASSERT_TRUE(TServerVariables::LoadASPSSIList(path, &list));
    const QList<TServerVariable> expected{
        {u"REMOTE_ADDR"_s, u"The client's address"_s}, {u"HTTPS"_s, QString()}, {u"AUTH_TYPE"_s, u"Method"_s}};
    EXPECT_EQ(list, expected);
    EXPECT_FALSE(TServerVariables::LoadASPSSIList(dir.filePath(u"none"_s), &list));
    EXPECT_TRUE(list.isEmpty());
}

TEST(ServerVariables, InsertTextsKeepTheNameWhenTagsAreLowerCased)
{
    EXPECT_EQ(TServerVariables::insertText(ServerVariableKind::ASP, u"REMOTE_ADDR"_s),
              uR"(<%= Request.ServerVariables("REMOTE_ADDR") %>)"_s);
    EXPECT_EQ(TServerVariables::insertText(ServerVariableKind::SSI, u"DATE_LOCAL"_s),
              uR"(<!--#ECHO VAR="DATE_LOCAL" -->)"_s);
    resetToolkitGlobals();
    gInsertTagsInLowercase = true;
    auto buffer = makeBuffer(BufferKind::Memory);
    ptext(buffer.get(), TServerVariables::insertText(ServerVariableKind::SSI, u"DATE_LOCAL"_s), QString());
    EXPECT_EQ(buffer->text(), uR"(<!--#echo var="DATE_LOCAL" -->)"_s);
    resetToolkitGlobals();
}

// ---------------------------------------------------------------- snippets

class Snippets : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(u"Snippets.Dat"_s);
    }
    void TearDown() override { setAtomicWriteLimitForTests(-1); }
    std::unique_ptr<TCodeSnippits> store()
    {
        return std::make_unique<TCodeSnippits>(path, DebugOut{}, [this](const QString &t) { errors.append(t); });
    }
    QTemporaryDir dir;
    QString path;
    QStringList errors;
};

TEST_F(Snippets, StoresPartsAroundTheSeparatorAndReadsThemBack)
{
    auto s = store();
    ASSERT_TRUE(s->SaveCodeSnippit(u"Bold"_s, u"<B>"_s, u"</B>"_s));
    ASSERT_TRUE(s->SaveCodeSnippit(u"Para"_s, u"<P>\r\n"_s, u"\r\n</P>\r\n\r\n"_s));
    EXPECT_EQ(readFile(path), QByteArray("\x9E"
                                         "Bold\r\n<B>\xFE</B>\r\nEND}\r\n\x9EPara\r\n<P>\r\n\xFE\r\n</P>\r\n\r\n"
                                         "END}\r\n"));
    EXPECT_EQ(s->RefreshList(), (QStringList{u"Bold"_s, u"Para"_s}));
    EXPECT_EQ(s->LoadCodeSnippit(u"bold"_s), u"<B>\u00FE</B>\r\n"_s);
    const TSnippetParts para = TCodeSnippits::splitBody(s->LoadCodeSnippit(u"Para"_s));
    EXPECT_EQ(para, (TSnippetParts{u"<P>\r\n"_s, u"\r\n</P>\r\n\r\n"_s}));
    // Inserted, part 2 loses one line break of the two.
    resetToolkitGlobals();
    auto buffer = makeBuffer(BufferKind::Memory);
    const DropTexts drop = splitSnippetForDrop(s->LoadCodeSnippit(u"Para"_s));
    ptext(buffer.get(), drop.startText, drop.endText);
    EXPECT_EQ(marked(buffer.get()), u"<p>\r\n|\r\n</p>\r\n"_s) << "in the user's tag case";
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(Snippets, BodiesSplitAtTheFirstSeparator)
{
    EXPECT_EQ(TCodeSnippits::splitBody(u"x"_s), TSnippetParts());
    EXPECT_EQ(TCodeSnippits::splitBody(QString()), TSnippetParts());
    EXPECT_EQ(TCodeSnippits::splitBody(u"a\u00FEb\u00FEc"_s), (TSnippetParts{u"a"_s, u"b"_s}));
    EXPECT_EQ(TCodeSnippits::splitBody(u"\u00FEb\r\n"_s), (TSnippetParts{QString(), u"b\r\n"_s}));
}

TEST_F(Snippets, SameNamesMakeTwoRowsThatAreChangedOneAtATime)
{
    auto s = store();
    ASSERT_TRUE(s->SaveCodeSnippit(u"Dup"_s, u"one"_s, QString()));
    ASSERT_TRUE(s->SaveCodeSnippit(u"Other"_s, u"o"_s, u"p"_s));
    ASSERT_TRUE(s->SaveCodeSnippit(u"dup"_s, u"two"_s, QString()));
    EXPECT_EQ(s->RefreshList(), (QStringList{u"Dup"_s, u"Other"_s, u"dup"_s}));
    EXPECT_EQ(s->LoadCodeSnippit(u"DUP"_s), u"one\u00FE\r\n"_s);
    EXPECT_EQ(s->LoadCodeSnippitAt(2, u"dup"_s), u"two\u00FE\r\n"_s);

    // Editing the third row replaces that record where it stands, nothing else.
    ASSERT_TRUE(s->ReplaceCodeSnippitAt(2, u"dup"_s, u"Renamed"_s, u"2"_s, u"!"_s));
    EXPECT_EQ(s->RefreshList(), (QStringList{u"Dup"_s, u"Other"_s, u"Renamed"_s}));
    EXPECT_EQ(s->LoadCodeSnippit(u"Dup"_s), u"one\u00FE\r\n"_s);
    EXPECT_EQ(s->LoadCodeSnippit(u"Renamed"_s), u"2\u00FE!\r\n"_s);
    // A row that names another record now gives the first of the name asked for.
    EXPECT_EQ(s->LoadCodeSnippitAt(0, u"renamed"_s), u"2\u00FE!\r\n"_s);
    EXPECT_EQ(s->LoadCodeSnippitAt(0, u"Gone"_s), QString());

    // Removing one row takes out exactly its three lines.
    const QByteArray before = readFile(path);
    ASSERT_TRUE(s->RemoveCodeSnippitAt(1, u"Other"_s));
    QByteArray expected = before;
    expected.replace("\x9EOther\r\no\xFEp\r\nEND}\r\n", "");
    EXPECT_EQ(readFile(path), expected);
    // A row that no longer names its record changes nothing.
    ASSERT_TRUE(s->RemoveCodeSnippitAt(1, u"Other"_s));
    EXPECT_EQ(readFile(path), expected);
    // An edit whose row no longer names its record takes the first of its name.
    ASSERT_TRUE(s->ReplaceCodeSnippitAt(0, u"Renamed"_s, u"Renamed"_s, u"3"_s, QString()));
    EXPECT_EQ(s->RefreshList(), (QStringList{u"Dup"_s, u"Renamed"_s}));
    EXPECT_EQ(s->LoadCodeSnippit(u"Renamed"_s), u"3\u00FE\r\n"_s);

    // By name, every record of that name goes.
    ASSERT_TRUE(s->SaveCodeSnippit(u"DUP"_s, u"three"_s, QString()));
    ASSERT_TRUE(s->RemoveCodeSnippit(u"dup"_s));
    EXPECT_EQ(s->RefreshList(), QStringList{u"Renamed"_s});
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(Snippets, AMissingFileSaysSoOnLoadAndRemoveAndIsCreatedOnSave)
{
    auto s = store();
    EXPECT_TRUE(s->GetAllCodeSnippitNames().isEmpty());
    EXPECT_TRUE(errors.isEmpty()) << "starting without snippets is no fault";
    EXPECT_EQ(s->LoadCodeSnippit(u"x"_s), QString());
    EXPECT_FALSE(s->RemoveCodeSnippit(u"x"_s));
    EXPECT_EQ(errors, QStringList(2, QLatin1String(SnippetsLockedMessage)));
    ASSERT_TRUE(s->SaveCodeSnippit(u"x"_s, u"a"_s, u"b"_s));
    EXPECT_EQ(s->RefreshList(), QStringList{u"x"_s});
}

TEST_F(Snippets, AFailedWriteLeavesTheFileAsItWas)
{
    auto s = store();
    ASSERT_TRUE(s->SaveCodeSnippit(u"Keep"_s, u"k"_s, QString()));
    ASSERT_TRUE(s->SaveCodeSnippit(u"Also"_s, u"a"_s, QString()));
    const QByteArray before = readFile(path);
    setAtomicWriteLimitForTests(5);
    EXPECT_FALSE(s->SaveCodeSnippit(u"New"_s, u"n"_s, QString()));
    EXPECT_FALSE(s->ReplaceCodeSnippitAt(0, u"Keep"_s, u"Keep"_s, u"changed"_s, QString()));
    EXPECT_FALSE(s->RemoveCodeSnippitAt(0, u"Keep"_s));
    EXPECT_FALSE(s->ExportTo(dir.filePath(u"Out.Dat"_s)));
    setAtomicWriteLimitForTests(-1);
    EXPECT_EQ(readFile(path), before);
    EXPECT_FALSE(QFile::exists(dir.filePath(u"Out.Dat"_s)));
    ASSERT_TRUE(s->ExportTo(dir.filePath(u"Out.Dat"_s)));
    EXPECT_EQ(readFile(dir.filePath(u"Out.Dat"_s)), before);
}

TEST_F(Snippets, AFileThatExistsButCannotBeReadIsNeverOverwritten)
{
    // Too large to be read: a store that took it for empty would write its
    // one new record over everything in it.
    {
        QFile big(path);
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        ASSERT_TRUE(big.resize(DataFileSizeLimit + 1));
    }
    const QString other = dir.filePath(u"Other.Dat"_s);
    writeFile(other, "\xC2\x9EImported\r\nA\xC3\xBE\r\nEND}\r\n");
    auto s = store();
    EXPECT_TRUE(s->GetAllCodeSnippitNames().isEmpty());
    EXPECT_FALSE(s->SaveCodeSnippit(u"New"_s, u"n"_s, QString()));
    EXPECT_FALSE(s->ReplaceCodeSnippitAt(0, u"Old"_s, u"New"_s, u"n"_s, QString()));
    int added = 0;
    int skipped = 0;
    EXPECT_FALSE(s->ImportFrom(other, &added, &skipped));
    const QString exported = dir.filePath(u"Out.Dat"_s);
    EXPECT_FALSE(s->ExportTo(exported)) << "an empty copy is no export";
    EXPECT_FALSE(QFile::exists(exported));
    EXPECT_EQ(QFileInfo(path).size(), DataFileSizeLimit + 1);
}

TEST_F(Snippets, RefusesWhatTheFileFormatCannotHold)
{
    struct Case
    {
        QString name, part1, part2;
        bool storable;
    };
    const Case cases[] = {
        {u"ok"_s, u"<B>\r\nEND} \r\n"_s, u"END}x"_s, true},
        {u"ok"_s, u"a \u009E"_s, u"\u017E"_s, true},
        {u"end"_s, u"a\r\nEND}\r\nb"_s, QString(), false},
        {u"end"_s, QString(), u"\r\nEND}"_s, false},
        {u"sep"_s, u"caf\u00FE"_s, QString(), false},
        {u"sep"_s, QString(), u"\u00FE"_s, false},
        {u"title"_s, u"x\r\n\u009Eevil"_s, QString(), false},
        {u"two\r\nlines"_s, u"x"_s, QString(), false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TCodeSnippits::whyNotStorable(c.name, c.part1, c.part2).isEmpty(), c.storable)
            << c.name.toStdString() << " / " << c.part1.toStdString() << " / " << c.part2.toStdString();
}

// Files of earlier versions (UTF-8, the marks as U+009E and U+00FE), files
// of single mark bytes with Windows-1252 or UTF-8 text, and mixtures: each
// reads, and a change leaves every other record's bytes as they were.
TEST_F(Snippets, ReadsEveryFormAndChangesOnlyTheRecordsItTouches)
{
    struct Case
    {
        const char *what;
        QByteArray file;
        QStringList names;
        QList<TSnippetParts> parts;
        // The bytes of the second record, which is removed.
        QByteArray second;
    };
    const Case cases[] = {
        {"earlier UTF-8 file",
         "\xC2\x9E"
         "Bold\r\n<B>\xC3\xBE</B>\r\nEND}\r\n\xC2\x9E"
         "Caf\xC3\xA9\r\n\xE2\x82\xAC \xC3\xBE\r\nEND}\r\n",
         {u"Bold"_s, u"Caf\u00E9"_s},
         {{u"<B>"_s, u"</B>\r\n"_s}, {u"\u20AC "_s, u"\r\n"_s}},
         "\xC2\x9E"
         "Caf\xC3\xA9\r\n\xE2\x82\xAC \xC3\xBE\r\nEND}\r\n"},
        {"8-bit file, Windows-1252 text",
         "junk\r\n\x9E"
         "Caf\xE9\r\n<I>\xFE</I>\r\nEND}\r\n\x9E\x80 sign\r\n\xE9\xFE\x80\r\nEND}\r\n",
         {u"Caf\u00E9"_s, u"\u20AC sign"_s},
         {{u"<I>"_s, u"</I>\r\n"_s}, {u"\u00E9"_s, u"\u20AC\r\n"_s}},
         "\x9E\x80 sign\r\n\xE9\xFE\x80\r\nEND}\r\n"},
        {"8-bit file, UTF-8 text, a mark byte inside a character",
         "\x9E\xE3\x83\x9E\r\n\xE3\x83\x9E\xFE\xE6\x97\xA5\r\nEND}\r\n\x9E\xD0\x9E\r\n\xFE\xC5\xBE\r\nEND}\r\n",
         {u"\u30DE"_s, u"\u041E"_s},
         {{u"\u30DE"_s, u"\u65E5\r\n"_s}, {QString(), u"\u017E\r\n"_s}},
         "\x9E\xD0\x9E\r\n\xFE\xC5\xBE\r\nEND}\r\n"},
        {"mixed: earlier and 8-bit records, each part in its own encoding, LF line ends, no last line end",
         "\x9E"
         "Fran\xE7" "ais\n\xE9t\xE9\xFE\xE2\x82\xAC\n"
         "END}\n\xC2\x9E"
         "Old\r\n\xC3\xA9\xC3\xBE!\r\nEND}\r\n\x9E"
         "Cut\r\n<a>\xFE</a>\xFElost\r\nEND}",
         {u"Fran\u00E7ais"_s, u"Old"_s, u"Cut"_s},
         {{u"\u00E9t\u00E9"_s, u"\u20AC\r\n"_s}, {u"\u00E9"_s, u"!\r\n"_s}, {u"<a>"_s, u"</a>"_s}},
         "\xC2\x9E"
         "Old\r\n\xC3\xA9\xC3\xBE!\r\nEND}\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(path, c.file);
        auto s = store();
        ASSERT_EQ(s->GetAllCodeSnippitNames(), c.names);
        for (int row = 0; row < c.names.size(); ++row)
            EXPECT_EQ(TCodeSnippits::splitBody(s->LoadCodeSnippitAt(row, c.names.at(row))), c.parts.at(row)) << row;

        // A new record: single mark bytes, UTF-8 text.
        ASSERT_TRUE(s->SaveCodeSnippit(u"Neu \u00E9"_s, u"<i>"_s, u"</i>\u20AC"_s));
        QByteArray expected = c.file;
        if (!expected.endsWith('\n'))
            expected += "\r\n";
        expected += "\x9ENeu \xC3\xA9\r\n<i>\xFE</i>\xE2\x82\xAC\r\nEND}\r\n";
        EXPECT_EQ(readFile(path), expected);
        // Taking out one record takes exactly its bytes.
        ASSERT_TRUE(s->RemoveCodeSnippitAt(1, c.names.at(1)));
        expected.replace(c.second, "");
        EXPECT_EQ(readFile(path), expected);
        EXPECT_EQ(s->RefreshList().size(), c.names.size());
    }
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(Snippets, TextOfAnyScriptIsStoredAsUtf8BetweenSingleMarkBytes)
{
    struct Case
    {
        QString name, part1, part2;
        QByteArray stored;
    };
    const Case cases[] = {
        {u"caf\u00E9"_s, u"\u00FC" "ber"_s, u"\u20AC"_s,
         "\x9E" "caf\xC3\xA9\r\n\xC3\xBC" "ber\xFE\xE2\x82\xAC\r\nEND}\r\n"},
        {u"\u65E5\u672C"_s, u"<p lang=\"ja\">"_s, u"\u65E5\u672C\u8A9E</p>"_s,
         "\x9E\xE6\x97\xA5\xE6\x9C\xAC\r\n<p lang=\"ja\">\xFE\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E</p>\r\nEND}\r\n"},
        {u"emoji"_s, u"\u00E9 "_s, u"\U0001F600"_s, "\x9E" "emoji\r\n\xC3\xA9 \xFE\xF0\x9F\x98\x80\r\nEND}\r\n"},
        // A line that begins with the Windows-1252 letter of the title mark.
        {u"z"_s, u"a\r\n\u017Eivot"_s, QString(), "\x9Ez\r\na\r\n\xC5\xBEivot\xFE\r\nEND}\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        QFile::remove(path);
        auto s = store();
        EXPECT_TRUE(TCodeSnippits::whyNotStorable(c.name, c.part1, c.part2).isEmpty());
        ASSERT_TRUE(s->SaveCodeSnippit(c.name, c.part1, c.part2));
        EXPECT_EQ(readFile(path), c.stored);
        EXPECT_EQ(s->RefreshList(), QStringList{c.name});
        const TSnippetParts parts = TCodeSnippits::splitBody(s->LoadCodeSnippit(c.name));
        EXPECT_EQ(parts.Part1, c.part1);
        EXPECT_EQ(parts.Part2, c.part2 + u"\r\n"_s);
    }
}

TEST_F(Snippets, ASecondSeparatorEndsPartTwoAlsoWhenInserted)
{
    writeFile(path, "\x9ELink\r\n<a>\xFE</a>\xFElost\r\nEND}\r\n");
    auto s = store();
    const QString body = s->LoadCodeSnippit(u"Link"_s);
    EXPECT_EQ(TCodeSnippits::splitBody(body), (TSnippetParts{u"<a>"_s, u"</a>"_s}));
    resetToolkitGlobals();
    auto buffer = makeBuffer(BufferKind::Memory);
    const DropTexts drop = splitSnippetForDrop(TCodeSnippits::insertionText(body));
    ptext(buffer.get(), drop.startText, drop.endText);
    EXPECT_EQ(marked(buffer.get()), u"<a>|</a>"_s);
}

TEST_F(Snippets, ImportAddsOnlySnippetsNotThereAlready)
{
    auto s = store();
    ASSERT_TRUE(s->SaveCodeSnippit(u"Bold"_s, u"<b>"_s, u"</b>"_s));
    ASSERT_TRUE(s->SaveCodeSnippit(u"Para"_s, u"<p>"_s, u"</p>"_s));
    const QString other = dir.filePath(u"Other.Dat"_s);
    // The same name (in other letters) and parts, written by an earlier
    // version; the same name with other parts; a new one, twice.
    writeFile(other, "\xC2\x9E"
                     "bold\r\n<b>\xC3\xBE</b>\r\nEND}\r\n\x9EPara\r\n<p class=\"x\">\xFE</p>\r\nEND}\r\n"
                     "\x9E\xC9t\xE9\r\n\xE9\xFE\r\nEND}\r\n\x9E\xC9t\xE9\r\n\xE9\xFE\r\nEND}\r\n");
    const QByteArray before = readFile(path);
    int added = 0;
    int skipped = 0;
    ASSERT_TRUE(s->ImportFrom(other, &added, &skipped));
    EXPECT_EQ(added, 2);
    EXPECT_EQ(skipped, 2);
    EXPECT_EQ(readFile(path),
              before + "\x9EPara\r\n<p class=\"x\">\xFE</p>\r\nEND}\r\n"
                       "\x9E\xC3\x89t\xC3\xA9\r\n\xC3\xA9\xFE\r\nEND}\r\n");
    EXPECT_EQ(s->RefreshList(), (QStringList{u"Bold"_s, u"Para"_s, u"Para"_s, u"\u00C9t\u00E9"_s}));
    // Again: nothing new, nothing written.
    ASSERT_TRUE(s->ImportFrom(other, &added, &skipped));
    EXPECT_EQ(added, 0);
    EXPECT_EQ(skipped, 4);
    EXPECT_EQ(s->RefreshList().size(), 4);
}

// ---------------------------------------------------------------- stamps

TStampLocale englishNames()
{
    return TStampLocale::fromLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
}

TEST(DateTimeStamp, WritesEveryPatternWithTheLocaleNames)
{
    TStampLocale names = englishNames();
    names.DateSeparator = u"/"_s;
    names.TimeSeparator = u":"_s;
    const QDateTime when(QDate(2024, 12, 8), QTime(14, 30, 5));
    const QStringList expected{
        u"08/12/2024"_s,
        u"08/Dec/2024"_s,
        u"08/December/2024"_s,
        u"14:30:05"_s,
        u"02:30:05 pm"_s,
        u"08/12/2024 at 14:30:05"_s,
        u"08/12/2024 at 02:30:05 pm"_s,
        u"08/Dec/2024 at 14:30:05"_s,
        u"08/Dec/2024 at 02:30:05 pm"_s,
        u"Sunday, 08, December 2024 at 14:30:05"_s,
        u"Sunday, 08, December 2024 at 02:30:05 pm"_s,
    };
    EXPECT_EQ(TDateTimeStamp::stamps(when, names), expected);
}

TEST(DateTimeStamp, TwelveHourClockAndOtherSeparatorsAndNames)
{
    TStampLocale names = TStampLocale::fromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(names.DateSeparator, u"."_s);
    EXPECT_EQ(TDateTimeStamp::format(u"hh:mm:ss am/pm"_s, QDateTime(QDate(2024, 3, 1), QTime(0, 5, 9)), names),
              u"12:05:09 am"_s);
    EXPECT_EQ(TDateTimeStamp::format(u"hh:mm am/pm"_s, QDateTime(QDate(2024, 3, 1), QTime(12, 0, 0)), names),
              u"12:00 pm"_s);
    EXPECT_EQ(TDateTimeStamp::format(u"dddd, dd, mmmm yyyy"_s, QDateTime(QDate(2024, 3, 1), QTime(9, 0)), names),
              u"Freitag, 01, M\u00E4rz 2024"_s);
    EXPECT_EQ(TDateTimeStamp::format(u"dd/mm/yyyy at hh:mm"_s, QDateTime(QDate(2024, 3, 1), QTime(9, 7)), names),
              u"01.03.2024 at 09:07"_s);
}

// ---------------------------------------------------------------- dialogs' data

TEST(DefineScript, LeavesOutEmptyAttributesAndEscapesTheOthers)
{
    const QString body = u"\r\n<!--\r\nf();\r\n//-->\r\n</script>\r\n"_s;
    const struct
    {
        QString language, src, type, start;
    } cases[] = {
        {{}, {}, {}, u"<script>"_s},
        {u"JavaScript 1.2"_s, u"a.js"_s, u"text/javascript"_s,
         u"<script language=\"JavaScript 1.2\" src=\"a.js\" type=\"text/javascript\">"_s},
        // No src, so the code between the tags runs.
        {u"JavaScript"_s, {}, u"text/javascript"_s, u"<script language=\"JavaScript\" type=\"text/javascript\">"_s},
        {{}, u"  "_s, u"text/javascript"_s, u"<script type=\"text/javascript\">"_s},
        {u"VBScript"_s, {}, {}, u"<script language=\"VBScript\">"_s},
        // Typed values end at their closing quote; references and other
        // characters stay as typed.
        {u"My \"lang\""_s, u"a.js?x=1&y=<2>"_s, u"text/&amp;caf\u00E9"_s,
         u"<script language=\"My &quot;lang&quot;\" src=\"a.js?x=1&amp;y=&lt;2>\" type=\"text/&amp;caf\u00E9\">"_s},
        {{}, u"file:///home/ann/a b/c.js"_s, {}, u"<script src=\"file:///home/ann/a b/c.js\">"_s},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TDefineScript::text(c.language, c.src, c.type, u"f();"_s), c.start + body) << c.start.toStdString();
    EXPECT_EQ(TDefineScript::text({}, {}, {}, {}), u"<script>\r\n<!--\r\n\r\n//-->\r\n</script>\r\n"_s);
}

const TObjectTreeNode *child(const TObjectTreeNode &node, const QString &text)
{
    for (const TObjectTreeNode &c : node.Children) {
        if (c.Text == text)
            return &c;
    }
    return nullptr;
}

QStringList texts(const TObjectTreeNode &node, int count)
{
    QStringList out;
    for (const TObjectTreeNode &c : node.Children.mid(0, count))
        out.append(c.Text);
    return out;
}

TEST(JsObjectTree, CategoriesComeInTheirFixedOrder)
{
    const QList<TObjectTreeNode> &roots = TJsObjectTree::roots();
    ASSERT_EQ(roots.size(), 2);
    const TObjectTreeNode &js = roots.at(0);
    EXPECT_EQ(texts(js, 99), (QStringList{u"Window"_s, u"Navigator"_s, u"Date Time"_s, u"Math"_s, u"String"_s,
                                          u"Reserved Words"_s}));
    const TObjectTreeNode &window = js.Children.at(0);
    EXPECT_EQ(texts(window, 5), (QStringList{u"History"_s, u"Location"_s, u"Document"_s, u"Frame"_s,
                                             u"window.defaultStatus"_s}));
    EXPECT_EQ(window.Children.size(), 4 + 20);
    const TObjectTreeNode &navigator = js.Children.at(1);
    EXPECT_EQ(navigator.Children.last().Text, u"Plugins"_s);
    EXPECT_TRUE(navigator.Children.last().Category);
    EXPECT_EQ(child(js, u"Reserved Words"_s)->Children.size(), 43);
    const TObjectTreeNode *doc = child(window, u"Document"_s);
    EXPECT_EQ(texts(*doc, 4), (QStringList{u"Form"_s, u"Image"_s, u"Link"_s, u"document.alinkcolor"_s}));
    EXPECT_EQ(doc->Children.last().Text, u"document.writeln(\"\")"_s);

    const TObjectTreeNode &events = roots.at(1);
    ASSERT_EQ(events.Children.size(), 1);
    const TObjectTreeNode *form = child(*child(events.Children.at(0), u"Document"_s), u"Form"_s);
    ASSERT_NE(form, nullptr);
    ASSERT_NE(child(*form, u"onClick=\"\""_s), nullptr);
    EXPECT_FALSE(child(*form, u"onClick=\"\""_s)->Category);
    EXPECT_EQ(events.Children.at(0).Children.last().Text, u"onUnLoad=\"\""_s);
}

} // namespace
} // namespace Quorvant::Test
