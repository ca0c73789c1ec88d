#include "memoryeditor.h"
#include "startwindowtexts.h"
#include "templates.h"
#include "veskfilesystems.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace Quorvant;

namespace {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QStringList numberedPaths(int count, const QString &prefix = QStringLiteral("/p/"))
{
    QStringList paths;
    for (int i = 0; i < count; ++i)
        paths << prefix + QString::number(i) + QStringLiteral(".htm");
    return paths;
}

QByteArray crlfLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &l : lines)
        out += l.toUtf8() + "\r\n";
    return out;
}

// A data folder with a debug line collector.
struct Folder
{
    QTemporaryDir dir;
    QStringList debug;
    DebugOut out = [this](const QString &line) { debug << line; };
    QString path(const QString &name) const { return dir.filePath(name); }
};

} // namespace

// --- Text file helpers ---------------------------------------------------

struct LoadCase
{
    const char *what;
    QByteArray bytes;
    QString expected;
};

TEST(TextFileHelpers, LoadTextFileEndsEveryLineWithCrLf)
{
    const LoadCase cases[] = {
        {"empty file", "", ""},
        {"no final line end", "a", "a\r\n"},
        {"CR LF lines", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"LF and CR line ends", "a\nb\rc", "a\r\nb\r\nc\r\n"},
        {"empty lines kept", "a\r\n\r\n\nb", "a\r\n\r\n\r\nb\r\n"},
        {"UTF-8 with BOM", "\xEF\xBB\xBF" "caf\xC3\xA9", QStringLiteral(u"café\r\n")},
        {"not UTF-8: Windows-1252", "caf\xE9 \x80", QStringLiteral(u"café €\r\n")},
        {"NUL bytes", QByteArray("a\0b", 3), QString::fromLatin1("a\0b\r\n", 5)},
    };
    Folder f;
    for (const LoadCase &c : cases) {
        writeBytes(f.path("t.txt"), c.bytes);
        QString result = QStringLiteral("stale");
        EXPECT_TRUE(LoadTextFile(f.path("t.txt"), &result)) << c.what;
        EXPECT_EQ(result, c.expected) << c.what;
    }
}

TEST(TextFileHelpers, LoadTextFileFailsWithEmptyResult)
{
    Folder f;
    QDir(f.dir.path()).mkdir("sub");
    for (const QString &path : {f.path("missing.txt"), f.path("sub")}) {
        QString result = QStringLiteral("stale");
        EXPECT_FALSE(LoadTextFile(path, &result)) << path.toStdString();
        EXPECT_TRUE(result.isEmpty());
    }
}

TEST(TextFileHelpers, SaveTextFileAddsOneLineEndInUtf8)
{
    Folder f;
    ASSERT_TRUE(SaveTextFile(f.path("t.txt"), QStringLiteral(u"a\r\nü")));
    EXPECT_EQ(readBytes(f.path("t.txt")), QByteArray("a\r\n\xC3\xBC\r\n"));
    ASSERT_TRUE(SaveTextFile(f.path("t.txt"), QString()));
    EXPECT_EQ(readBytes(f.path("t.txt")), QByteArray("\r\n"));

    QDir(f.dir.path()).mkdir("sub");
    EXPECT_FALSE(SaveTextFile(f.path("sub"), QStringLiteral("x")));
    EXPECT_FALSE(SaveTextFile(f.path("no/such/folder/t.txt"), QStringLiteral("x")));
}

// --- Recent files --------------------------------------------------------

TEST(RecentFiles, NinthEntryIsKeptButNotShownAndTheTenthDropped)
{
    Folder f;
    const QStringList old = numberedPaths(9);
    writeBytes(f.path("Recent.Dat"), crlfLines(old));
    {
        TRecentFiles recent(f.dir.path(), f.out);
        EXPECT_EQ(recent.RecentFilesList(), old);
        EXPECT_EQ(recent.shownEntries(), old.mid(0, 8));

        QSignalSpy changed(&recent, &TRecentFiles::changed);
        recent.AddToRecentFilesList("/new/x.htm");
        EXPECT_EQ(changed.count(), 1);
        EXPECT_EQ(recent.RecentFilesList(), QStringList{"/new/x.htm"} + old.mid(0, 8));
        EXPECT_EQ(recent.shownEntries(), QStringList{"/new/x.htm"} + old.mid(0, 7));
        EXPECT_EQ(recent.shownRows().first(), (TRecentRow{"x.htm", "/new/x.htm"}));
        // Stored at once: a crash now loses nothing.
        EXPECT_EQ(readBytes(f.path("Recent.Dat")), crlfLines(QStringList{"/new/x.htm"} + old.mid(0, 8)));
        EXPECT_EQ(QDir(f.dir.path()).entryList(QDir::Files), QStringList{"Recent.Dat"}) << "no temporary file left";
    }
    EXPECT_EQ(readBytes(f.path("Recent.Dat")), crlfLines(QStringList{"/new/x.htm"} + old.mid(0, 8)));
    EXPECT_TRUE(f.debug.isEmpty()) << f.debug.join('\n').toStdString();
}

TEST(RecentFiles, AListedPathDoesNotMoveInAnyLetterCase)
{
    Folder f;
    const QStringList old = numberedPaths(3, "/Docs/");
    writeBytes(f.path("Recent.Dat"), crlfLines(old));
    TRecentFiles recent(f.dir.path(), f.out);
    QSignalSpy changed(&recent, &TRecentFiles::changed);
    recent.AddToRecentFilesList("/docs/2.HTM");
    recent.AddToRecentFilesList(old.at(1));
    EXPECT_EQ(recent.RecentFilesList(), old);
    EXPECT_EQ(changed.count(), 0);
}

TEST(RecentFiles, AThousandLinesLoadWholeAndShortenAtTheNextAddition)
{
    Folder f;
    const QStringList old = numberedPaths(1000);
    writeBytes(f.path("Recent.Dat"), crlfLines(old));
    {
        TRecentFiles recent(f.dir.path(), f.out);
        EXPECT_EQ(recent.RecentFilesList().size(), 1000);
        EXPECT_EQ(recent.shownEntries().size(), 8);
    }
    EXPECT_EQ(readBytes(f.path("Recent.Dat")), crlfLines(old));
    {
        TRecentFiles recent(f.dir.path(), f.out);
        recent.AddToRecentFilesList("/new.htm");
        EXPECT_EQ(recent.RecentFilesList().size(), 9);
    }
    EXPECT_EQ(readBytes(f.path("Recent.Dat")).count("\r\n"), 9);
}

TEST(RecentFiles, EmptyLinesAndMissingFilesAreEntriesThatReportNotFound)
{
    Folder f;
    writeBytes(f.path("Recent.Dat"), "/gone/a.htm\r\n\r\n/gone/b.htm\r\n");
    TRecentFiles recent(f.dir.path(), f.out);
    ASSERT_EQ(recent.shownEntries(), (QStringList{"/gone/a.htm", "", "/gone/b.htm"}));
    EXPECT_EQ(recent.shownRows().at(1), (TRecentRow{"", ""}));
    EXPECT_EQ(TRecentFiles::MenuItemClick(""), TRecentFileCheck::NotFound);
    EXPECT_EQ(StartWindowText::MsgFileNotFound(""), "Error: File Not Found: \"\"");
}

TEST(RecentFiles, ChoosingAnEntryChecksTheFile)
{
    Folder f;
    writeBytes(f.path("a & b.htm"), "x");
    QDir(f.dir.path()).mkdir("folder");
    struct Case
    {
        QString path;
        TRecentFileCheck menu;
        TRecentFileCheck list;
    };
    const Case cases[] = {
        {f.path("a & b.htm"), TRecentFileCheck::Open, TRecentFileCheck::Open},
        {f.path("gone.htm"), TRecentFileCheck::NotFound, TRecentFileCheck::NotFound},
        {f.path("folder"), TRecentFileCheck::NotFound, TRecentFileCheck::NotFound},
        {"", TRecentFileCheck::NotFound, TRecentFileCheck::Nothing},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(TRecentFiles::MenuItemClick(c.path), c.menu) << c.path.toStdString();
        EXPECT_EQ(TRecentFiles::checkListViewPath(c.path), c.list) << c.path.toStdString();
    }
    EXPECT_EQ(TRecentFiles::menuCaption("/a & b/&c.htm"), "/a && b/&&c.htm");
    const QString longPath = QStringLiteral("/home/ann/") + QString(200, u'x') + QStringLiteral("/site/index.htm");
    const QString caption = TRecentFiles::menuCaption(longPath);
    EXPECT_LE(caption.size(), TRecentFiles::MenuCaptionLength);
    EXPECT_TRUE(caption.startsWith("/home/ann/")) << caption.toStdString();
    EXPECT_TRUE(caption.endsWith("/site/index.htm")) << caption.toStdString();
    EXPECT_TRUE(caption.contains("..."));
}

TEST(RecentFiles, MissingOrUnwritableFileIsReportedOnTheDebugLine)
{
    {
        Folder f;
        {
            TRecentFiles recent(f.dir.path(), f.out);
            EXPECT_TRUE(recent.RecentFilesList().isEmpty());
        }
        EXPECT_EQ(f.debug, QStringList{"Error: TRecentFiles: LoadRecentFilesList: Could not read recent.dat"});
        EXPECT_FALSE(QFile::exists(f.path("Recent.Dat"))) << "an empty list is not stored";
    }
    {
        Folder f;
        QDir(f.dir.path()).mkdir("Recent.Dat");
        {
            TRecentFiles recent(f.dir.path(), f.out);
            recent.AddToRecentFilesList("/a.htm");
        }
        EXPECT_EQ(f.debug, (QStringList{"Error: TRecentFiles: LoadRecentFilesList: Could not read recent.dat",
                                        "Error: TRecentFiles: SaveRecentFilesList: Could Not Save To File"}));
    }
}

TEST(RecentFiles, FileNameIsFoundInAnyLetterCaseAndLineBreaksAreRefused)
{
    Folder f;
    writeBytes(f.path("RECENT.DAT"), "/a.htm\r\n");
    {
        TRecentFiles recent(f.dir.path(), f.out);
        EXPECT_EQ(recent.RecentFilesList(), QStringList{"/a.htm"});
        recent.AddToRecentFilesList("/odd\nname.htm");
        EXPECT_EQ(recent.RecentFilesList(), QStringList{"/a.htm"});
        recent.AddToRecentFilesList("/b.htm");
    }
    EXPECT_FALSE(QFile::exists(f.path("Recent.Dat")));
    EXPECT_EQ(readBytes(f.path("RECENT.DAT")), "/b.htm\r\n/a.htm\r\n");
}

// --- Templates -----------------------------------------------------------

TEST(Templates, SavedTemplateHasTheFileFormatAndLoadsBack)
{
    Folder f;
    TTemplates templates(f.dir.path(), f.out);
    EXPECT_EQ(f.debug, (QStringList{"Templates Object Created Successfully", "Could not find templates directory, creating..."}));
    ASSERT_TRUE(QFileInfo(f.path("Templates")).isDir());

    const QString texts[] = {"", "abc", "<p>\r\n  x\r\n</p>", "ends with a line end\r\n", QStringLiteral(u"ümlaut\r\n\r\n")};
    for (const QString &text : texts) {
        const QString name = QStringLiteral("T ") + QString::number(qHash(text));
        ASSERT_EQ(templates.SaveTemplate(name, text, {4, 2}), TSaveTemplateResult::Saved);
        const QString file = templates.GetFileNameFor(name);
        EXPECT_TRUE(QRegularExpression("/Templates/Vesk(0|[1-9][0-9]{0,5})\\.Tmp$").match(file).hasMatch()) << file.toStdString();
        EXPECT_EQ(readBytes(file), (name + "\r\n4\r\n2\r\n" + text + "\r\n").toUtf8());

        TTemplateContent loaded;
        ASSERT_EQ(templates.LoadTemplate(name.toUpper(), &loaded), TLoadTemplateResult::Loaded);
        EXPECT_EQ(loaded.Name, name);
        EXPECT_EQ(loaded.Caret, (CaretPoint{4, 2}));
        EXPECT_EQ(loaded.Text, text);
    }
}

TEST(Templates, PipesAndDevicesNamedLikeTemplatesAreSkipped)
{
    Folder f;
    TTemplates templates(f.dir.path(), f.out);
    ASSERT_EQ(templates.SaveTemplate(QStringLiteral("Real"), QStringLiteral("<p>"), {0, 0}), TSaveTemplateResult::Saved);
    ASSERT_EQ(::mkfifo(QFile::encodeName(f.path("Templates/A-pipe.tmp")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), f.path("Templates/B-zero.tmp")));
    f.debug.clear();
    const QList<TTemplateEntry> rows = templates.ShowAllInListView();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].Name, QStringLiteral("Real"));
    EXPECT_FALSE(templates.GetFileNameFor(QStringLiteral("Real")).isEmpty());
    ASSERT_GE(f.debug.size(), 2);
    EXPECT_TRUE(f.debug[0].contains("A-pipe.tmp"));
    EXPECT_TRUE(f.debug[1].contains("B-zero.tmp"));
}

TEST(Templates, ViewRoundTripKeepsCaretAndModifiedFlag)
{
    Folder f;
    TTemplates templates(f.dir.path());
    MemoryTextBuffer source;
    MemoryEditorView view;
    view.setSource(&source);
    view.setText("line 0\r\nline 1\r\nline 2 here");
    view.setCaretPoint({4, 2});
    ASSERT_EQ(templates.SaveTemplate(&view, "Mine"), TSaveTemplateResult::Saved);

    MemoryTextBuffer fresh;
    fresh.setModified(false);
    view.setSource(&fresh);
    ASSERT_EQ(templates.LoadTemplate(&view, "mine"), TLoadTemplateResult::Loaded);
    EXPECT_EQ(view.text(), "line 0\r\nline 1\r\nline 2 here");
    EXPECT_EQ(view.caretPoint(), (CaretPoint{4, 2}));
    EXPECT_FALSE(fresh.isModified());
}

TEST(Templates, MissingViewOrNameOrFolderIsReported)
{
    Folder f;
    writeBytes(f.path("Templates"), "a file where the folder should be");
    TTemplates templates(f.dir.path(), f.out);
    EXPECT_EQ(f.debug.last(), "Could not create templates directory.");

    EXPECT_EQ(templates.SaveTemplate(nullptr, "x"), TSaveTemplateResult::NoView);
    EXPECT_EQ(f.debug.last(), "Error: Templates Object: SaveTemplate: Invalid Pointer To DCMemo");
    EXPECT_EQ(templates.SaveTemplate("", "text", {}), TSaveTemplateResult::EmptyName);
    EXPECT_EQ(f.debug.last(), "Error: Templates Object: SaveTemplate: TemplateName=\"\"");
    EXPECT_EQ(templates.SaveTemplate("x", "text", {}), TSaveTemplateResult::CouldNotSave);
    EXPECT_EQ(f.debug.last(), "Error: Templates Object: SaveTemplate: Could Not Save Template File.");

    EXPECT_EQ(templates.LoadTemplate(nullptr, "x"), TLoadTemplateResult::NoView);
    EXPECT_EQ(f.debug.last(), "Error: NIL Pointer passed in as DCMemo for loading a template.");
    TTemplateContent content;
    EXPECT_EQ(templates.LoadTemplate("x", &content), TLoadTemplateResult::NotFound);
    EXPECT_EQ(f.debug.last(), "Error: Templates Object: LoadTemplate: Filename:=\"\"");
}

TEST(Templates, SaveAsTemplateRefusesEmptyAndUsedNames)
{
    Folder f;
    TTemplates templates(f.dir.path());
    ASSERT_EQ(templates.SaveTemplate("Default", "<html>", {}), TSaveTemplateResult::Saved);
    EXPECT_EQ(templates.SaveAsTemplate("", "t", {}), TSaveTemplateResult::EmptyName);
    EXPECT_EQ(templates.SaveAsTemplate("DEFAULT", "t", {}), TSaveTemplateResult::NameInUse);
    EXPECT_EQ(templates.SaveAsTemplate("dEfAuLt", "t", {}), TSaveTemplateResult::NameInUse);
    EXPECT_EQ(templates.SaveAsTemplate("Other", "t", {1, 0}), TSaveTemplateResult::Saved);
    EXPECT_EQ(templates.SaveAsTemplate("other", "t", {}), TSaveTemplateResult::NameInUse);
    EXPECT_EQ(templates.ShowAllInListView().size(), 2);
    EXPECT_EQ(StartWindowText::MsgTemplateNameInUse("Default"),
              "You already have a template named: \"Default\" , please try saving under another name.");
}

TEST(Templates, GenerateFileNameDrawsAgainOnANameInUseInAnyCase)
{
    Folder f;
    TTemplates templates(f.dir.path());
    writeBytes(f.path("Templates/vesk5.tmp"), "x\r\n0\r\n0\r\n");
    QDir(f.path("Templates")).mkdir("VESK6.TMP");
    QList<int> draws{5, 6, 5, 0};
    templates.setRandomSource([&draws] { return draws.takeFirst(); });
    EXPECT_EQ(templates.GenerateFileName(), "Vesk0.Tmp");
    EXPECT_TRUE(draws.isEmpty());
}

TEST(Templates, DeleteRefusesDefaultEmptyAndUnknownNames)
{
    Folder f;
    TTemplates templates(f.dir.path());
    ASSERT_EQ(templates.SaveTemplate("Default", "d", {}), TSaveTemplateResult::Saved);
    ASSERT_EQ(templates.SaveTemplate("Gone Soon", "g", {}), TSaveTemplateResult::Saved);
    for (const char *name : {"", "DEFAULT", "default", "Unknown"})
        EXPECT_FALSE(templates.DeleteTemplate(name)) << name;
    const QString file = templates.GetFileNameFor("Gone Soon");
    EXPECT_TRUE(templates.DeleteTemplate("GONE SOON"));
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_FALSE(templates.NameExists("Gone Soon"));
    EXPECT_TRUE(templates.NameExists("Default"));
}

TEST(Templates, ListingInNameOrderStopsAtAFileThatCannotBeOpened)
{
    Folder f;
    TTemplates templates(f.dir.path(), f.out);
    f.debug.clear();
    EXPECT_TRUE(templates.ShowAllInListView().isEmpty());
    EXPECT_EQ(f.debug, QStringList{"Error: Templates Object: ShowAllInListView: Could not open file \"\" "});

    writeBytes(f.path("Templates/Vesk3.Tmp"), "Third\r\n0\r\n0\r\n");
    writeBytes(f.path("Templates/vesk1.tmp"), "First\r\n0\r\n0\r\n");
    writeBytes(f.path("Templates/Vesk9.Tmp"), "Ninth\r\n0\r\n0\r\n");
    writeBytes(f.path("Templates/notes.txt"), "Not a template\r\n");
    EXPECT_EQ(templates.ShowAllInListView(),
              (QList<TTemplateEntry>{{"First", f.path("Templates/vesk1.tmp")},
                                     {"Third", f.path("Templates/Vesk3.Tmp")},
                                     {"Ninth", f.path("Templates/Vesk9.Tmp")}}));

    // A dangling link stands for a template file that cannot be opened.
    ASSERT_TRUE(QFile::link(f.path("Templates/no-such-target"), f.path("Templates/Vesk5.Tmp")));
    f.debug.clear();
    const QList<TTemplateEntry> rows = templates.ShowAllInListView();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows.last().Name, "Third");
    EXPECT_EQ(f.debug, QStringList{"Error: Templates Object: ShowAllInListView: Could not open file \"Vesk5.Tmp\" "});

    // Looking a name up skips it and goes on.
    f.debug.clear();
    EXPECT_EQ(templates.GetFileNameFor("ninth"), f.path("Templates/Vesk9.Tmp"));
    EXPECT_EQ(f.debug, QStringList{QStringLiteral("Error: Templates Object: GetFileNameFor : Could not open file \"%1\"")
                                       .arg(f.path("Templates/Vesk5.Tmp"))});
}

TEST(Templates, BadTemplateFilesLoadWithoutCrashing)
{
    struct Case
    {
        const char *what;
        QByteArray bytes;
        QString name;  // as listed
        CaretPoint caret;
        QString text;
        bool caretComplaint;
    };
    const QByteArray binary("\x00\xFF\xFE\x01\x80\x90 bin", 11);
    const Case cases[] = {
        {"empty", "", "", {0, 0}, "", true},
        {"name only", "Only", "Only", {0, 0}, "", true},
        {"no caret line", "NoY\r\n7\r\n", "NoY", {7, 0}, "", true},
        {"words for caret", "Words\r\nfour\r\n-2\r\nbody", "Words", {0, 0}, "body", true},
        {"blanks around caret", "Blank\r\n 3 \r\n1\r\nbody", "Blank", {3, 1}, "body", false},
        {"huge caret", "Huge\r\n99999999999\r\n1\r\n", "Huge", {0, 1}, "", true},
        {"LF line ends", "Lf\n1\n2\na\nb\n", "Lf", {1, 2}, "a\r\nb", false},
        {"binary", binary, decodeWindows1252(binary), {0, 0}, "", true},
    };
    for (const Case &c : cases) {
        Folder f;
        TTemplates templates(f.dir.path(), f.out);
        writeBytes(f.path("Templates/Vesk7.Tmp"), c.bytes);
        const QList<TTemplateEntry> rows = templates.ShowAllInListView();
        ASSERT_EQ(rows.size(), 1) << c.what;
        EXPECT_EQ(rows.first().Name, c.name) << c.what;

        f.debug.clear();
        TTemplateContent loaded;
        ASSERT_EQ(templates.LoadTemplate(rows.first().Name, &loaded), TLoadTemplateResult::Loaded) << c.what;
        EXPECT_EQ(loaded.Caret, c.caret) << c.what;
        EXPECT_EQ(loaded.Text, c.text) << c.what;
        EXPECT_EQ(!f.debug.isEmpty(), c.caretComplaint) << c.what;
    }
}

TEST(Templates, ShippedDefaultIsAnHtmlPageWithTheCaretInTheBody)
{
    const QString data = QStringLiteral(QUORVANT_SOURCE_DATA_DIR);
    TTemplates templates(data);
    const QString file = templates.GetFileNameFor("Default");
    ASSERT_FALSE(file.isEmpty());
    const QByteArray bytes = readBytes(file);
    EXPECT_TRUE(bytes.endsWith("</html>\r\n"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << "CR LF line ends only";

    TTemplateContent page;
    ASSERT_EQ(templates.loadDefaultTemplate(&page), TLoadTemplateResult::Loaded);
    const QStringList lines = page.Text.split("\r\n");
    EXPECT_TRUE(page.Text.startsWith("<!DOCTYPE html>\r\n<html lang="));
    for (const char *part : {"<meta charset=\"utf-8\">", "name=\"viewport\"", "<title>"})
        EXPECT_TRUE(page.Text.contains(part)) << part;
    ASSERT_LT(page.Caret.y, lines.size());
    EXPECT_EQ(lines.indexOf("<body>"), page.Caret.y - 1);
    EXPECT_EQ(lines.indexOf("</body>"), page.Caret.y + 1);
}
