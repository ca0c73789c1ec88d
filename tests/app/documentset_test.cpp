// The document set driven through the real main window, offscreen.
#include "subsystems.h"
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "scintillawidget.h"
#include "tdcmemo.h"
#include "tmemosource.h"

#include <Qsci/qsciprinter.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTest>
#include <QTimer>

#include <QScopeGuard>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

class DocumentSetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        DataFolder::setPath(m_dir.filePath(QStringLiteral("data")));
        resetAppGlobals();
        MessageService::setTestHookEnabled(true);
        MessageService::resetTestHook();
        m_window = std::make_unique<TForm1>();
        installSubsystems(*m_window);
        m_window->show();
        docs = m_window->documents();
    }

    void TearDown() override
    {
        // Leave without questions.
        for (TMemoSource *b : std::as_const(gMemoData))
            b->setModified(false);
        m_window.reset();
        EXPECT_EQ(MessageService::pendingAnswers(), 0) << "answers queued but never asked for";
        MessageService::resetTestHook();
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray readFile(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void trigger(const char *name)
    {
        QAction *a = m_window->action(QLatin1String(name));
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }

    QStringList captions() const
    {
        QStringList out;
        for (int i = 0; i < tabs()->count(); ++i)
            out.append(tabs()->tabText(i));
        return out;
    }
    QTabBar *tabs() const { return m_window->PageSelector(); }
    ScintillaWidget *editor() const { return m_window->DCMemo1()->widget(); }
    QString currentText() const { return m_window->DCMemo1()->text(); }

    // The texts of the message boxes shown since the last call.
    static QStringList messages()
    {
        QStringList out;
        for (const RecordedDialog &r : MessageService::takeRecorded())
            out.append(r.kind == DialogKind::Message ? r.text : r.title);
        return out;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TForm1> m_window;
    TDocumentSet *docs = nullptr;
};

} // namespace

TEST_F(DocumentSetTest, StartsWithNoDocumentAndNewOnesAreUntitled)
{
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("Quorvant : Enterprise Edition"));
    EXPECT_TRUE(m_window->noDocumentsLabel()->isVisible());
    EXPECT_EQ(m_window->noDocumentsLabel()->text(),
              QStringLiteral("You currently have no documents open. Press Ctrl+N to open more."));
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_FALSE(m_window->Panel12()->isVisible());

    trigger("NewWebDocument1");
    trigger("BlankDocument1");
    EXPECT_EQ(captions(), QStringList({QStringLiteral("Untitled"), QStringLiteral("Untitled")}));
    EXPECT_EQ(tabs()->currentIndex(), 1);
    EXPECT_TRUE(editor()->isVisible());
    EXPECT_FALSE(m_window->noDocumentsLabel()->isVisible());
    EXPECT_EQ(docs->PagesOpen(), 2);
    EXPECT_EQ(gDocumentHolder.size(), 2);
    EXPECT_EQ(gMemoData.size(), 2);
    EXPECT_FALSE(gDocumentModified);
    EXPECT_EQ(m_window->statusBar()->currentMessage(), QStringLiteral("X: 0    Y: 0    (Press CTRL+SPACE for Tag Insight.)"));

    // Closing the last document returns to the no-document page.
    trigger("Close1");
    trigger("Close1");
    EXPECT_EQ(docs->PagesOpen(), 0);
    EXPECT_TRUE(m_window->noDocumentsLabel()->isVisible());
    EXPECT_FALSE(editor()->isVisible());
    // With no document the edit commands do nothing.
    for (const char *name : {"Undo1", "Redo1", "Cut1", "Copy1", "Paste1", "Delete1", "SelectAll1", "QuoteBlock1",
                             "Save1", "SaveAs1", "SaveAll1", "Close1", "CloseAll1", "FindNext1"})
        trigger(name);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(DocumentSetTest, TheStatusBarKeepsTheCaretAndNamesTheCurrentFile)
{
    writeFile(path(QStringLiteral("page.htm")), "<p>x</p>");
    ASSERT_TRUE(docs->OpenFile(path(QStringLiteral("page.htm"))));
    auto *name = m_window->statusBar()->findChild<QLabel *>(QStringLiteral("StatusFileName"));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text(), QStringLiteral("page.htm"));
    trigger("BlankDocument1");
    EXPECT_EQ(name->text(), QStringLiteral("Untitled"));

    // A status tip shown and taken away again (the mouse over a list and off
    // it) leaves the caret position, not an empty bar.
    QStatusTipEvent tip(QStringLiteral("a hint"));
    QCoreApplication::sendEvent(m_window.get(), &tip);
    QStatusTipEvent gone{QString()};
    QCoreApplication::sendEvent(m_window.get(), &gone);
    EXPECT_EQ(m_window->statusBar()->currentMessage(), QStringLiteral("X: 0    Y: 0    (Press CTRL+SPACE for Tag Insight.)"));
}

TEST_F(DocumentSetTest, ControlTabAndControlPageKeysStepThroughTheDocuments)
{
    for (const char *name : {"a.htm", "b.htm", "c.htm"}) {
        writeFile(path(QLatin1String(name)), name);
        ASSERT_TRUE(docs->OpenFile(path(QLatin1String(name))));
    }
    m_window->activateWindow();
    QApplication::setActiveWindow(m_window.get());
    editor()->setFocus();
    const auto current = [&] { return QFileInfo(gCurrentFilePath).fileName(); };
    ASSERT_EQ(current(), QStringLiteral("c.htm"));
    QTest::keyClick(editor(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(current(), QStringLiteral("a.htm")) << "round to the first";
    QTest::keyClick(editor(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(current(), QStringLiteral("b.htm"));
    QTest::keyClick(editor(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(current(), QStringLiteral("a.htm"));
    QTest::keyClick(editor(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(current(), QStringLiteral("c.htm"));
    EXPECT_EQ(currentText(), QStringLiteral("c.htm")) << "the document itself is shown, unchanged";
}

TEST_F(DocumentSetTest, EveryChangeMarksTheDocumentModifiedAndUndoToSavedClearsIt)
{
    trigger("BlankDocument1");
    QTest::keyClicks(editor(), QStringLiteral("<b>"));
    EXPECT_TRUE(gDocumentModified);
    EXPECT_EQ(currentText(), QStringLiteral("<b>"));
    EXPECT_EQ(m_window->statusBar()->currentMessage(), QStringLiteral("X: 3    Y: 0    (Press CTRL+SPACE for Tag Insight.)"));

    // Save, then changes that are not typed characters.
    MessageService::queueAnswer(DialogAnswer::file(path(QStringLiteral("a.htm"))));
    trigger("Save1");
    EXPECT_FALSE(gDocumentModified);

    QTest::keyClick(editor(), Qt::Key_Home);
    QTest::keyClick(editor(), Qt::Key_Delete);
    EXPECT_TRUE(gDocumentModified) << "the Delete key changed the text";
    trigger("Undo1");
    EXPECT_FALSE(gDocumentModified) << "undo back to the saved text";
    trigger("Redo1");
    EXPECT_TRUE(gDocumentModified);
    trigger("Undo1");

    trigger("SelectAll1");
    trigger("Copy1");
    EXPECT_FALSE(gDocumentModified);
    trigger("Paste1");  // same text over itself still changes the buffer's history
    trigger("Undo1");
    EXPECT_FALSE(gDocumentModified);
    trigger("SelectAll1");
    trigger("Cut1");
    EXPECT_TRUE(gDocumentModified);
    EXPECT_TRUE(currentText().isEmpty());
}

TEST_F(DocumentSetTest, DocumentsKeepTextCaretSelectionAndUndoAcrossTabSwitches)
{
    trigger("BlankDocument1");
    QTest::keyClicks(editor(), QStringLiteral("first"));
    QTest::keyClick(editor(), Qt::Key_Left);
    trigger("BlankDocument1");
    QTest::keyClicks(editor(), QStringLiteral("second doc"));
    editor()->setSelection(0, 0, 0, 6);

    tabs()->setCurrentIndex(0);  // as a click would
    EXPECT_EQ(currentText(), QStringLiteral("first"));
    EXPECT_EQ(m_window->DCMemo1()->caretPoint(), (CaretPoint{4, 0}));
    trigger("Undo1");
    EXPECT_TRUE(currentText().isEmpty());

    tabs()->setCurrentIndex(1);
    EXPECT_EQ(currentText(), QStringLiteral("second doc"));
    EXPECT_EQ(m_window->DCMemo1()->selText(), QStringLiteral("second"));
    EXPECT_TRUE(gDocumentModified);
    tabs()->setCurrentIndex(0);
    trigger("Redo1");
    EXPECT_EQ(currentText(), QStringLiteral("first"));
}

TEST_F(DocumentSetTest, OpenShowsItsDialogAndStopsAtAMissingFile)
{
    writeFile(path(QStringLiteral("one.htm")), "<p>one</p>");
    writeFile(path(QStringLiteral("two.htm")), "<p>two</p>");
    MessageService::queueAnswer(DialogAnswer::files(
        {path(QStringLiteral("one.htm")), path(QStringLiteral("gone.htm")), path(QStringLiteral("two.htm"))}));
    trigger("Open1");
    const QList<RecordedDialog> r = MessageService::takeRecorded();
    ASSERT_EQ(r.size(), 2);
    EXPECT_EQ(r[0].title, QStringLiteral("Open a web document..."));
    ASSERT_EQ(r[0].filters.size(), 8);
    EXPECT_EQ(r[0].filters[0].name, QStringLiteral("All Files"));
    EXPECT_EQ(r[0].filters[6].patterns, QStringLiteral("*.php;*.php3"));
    EXPECT_EQ(r[1].text, QStringLiteral("The file you selected does not exist."));
    EXPECT_EQ(r[1].icon, MessageIcon::Error);
    EXPECT_EQ(captions(), QStringList({QStringLiteral("one.htm")}));
    EXPECT_EQ(gCurrentFilePath, path(QStringLiteral("one.htm")));
    EXPECT_EQ(gDir.MainOpenDir, m_dir.path() + u'/');
    EXPECT_FALSE(gDocumentModified);

    // The same file again is a second, independent document.
    EXPECT_TRUE(docs->OpenFile(path(QStringLiteral("one.htm"))));
    EXPECT_EQ(captions(), QStringList({QStringLiteral("one.htm"), QStringLiteral("one.htm")}));
    EXPECT_TRUE(docs->IsFileOpen(path(QStringLiteral("ONE.HTM"))));
    EXPECT_FALSE(docs->IsFileOpen(path(QStringLiteral("two.htm"))));
    EXPECT_FALSE(docs->OpenFile(path(QStringLiteral("gone.htm"))));
    EXPECT_EQ(docs->PagesOpen(), 2);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(DocumentSetTest, SaveAsAsksBeforeOverwritingAndCancelKeepsTheDocumentUntitled)
{
    const QString existing = path(QStringLiteral("exists.htm"));
    writeFile(existing, "old");
    trigger("BlankDocument1");
    QTest::keyClicks(editor(), QStringLiteral("new"));

    MessageService::queueAnswer(DialogAnswer::cancelled());
    trigger("Save1");
    RecordedDialog dialog = MessageService::takeRecorded().value(0);
    EXPECT_EQ(dialog.kind, DialogKind::SaveFile);
    EXPECT_EQ(dialog.title, QStringLiteral("Save your document as..."));
    EXPECT_EQ(dialog.defaultSuffix, QStringLiteral("htm"));
    EXPECT_EQ(dialog.filters.value(0).name, QStringLiteral("HTM Files"));
    EXPECT_EQ(dialog.filters.value(6).patterns, QStringLiteral("*.htm;*.shtm"));
    EXPECT_TRUE(gCurrentFilePath.isEmpty());
    EXPECT_TRUE(gDocumentModified);

    MessageService::queueAnswers({DialogAnswer::file(existing), DialogAnswer::pressed(mbNo)});
    trigger("SaveAs1");
    EXPECT_EQ(messages().value(1), existing + QStringLiteral(" already exists, are you sure you want to overwrite it?"));
    EXPECT_EQ(readFile(existing), "old");

    MessageService::queueAnswers({DialogAnswer::file(existing), DialogAnswer::pressed(mbYes)});
    trigger("SaveAs1");
    messages();
    EXPECT_EQ(readFile(existing), "new");
    EXPECT_EQ(captions(), QStringList({QStringLiteral("exists.htm")}));
    EXPECT_FALSE(gDocumentModified);

    // Save of a named document writes without a dialog.
    QTest::keyClicks(editor(), QStringLiteral("!"));
    trigger("Save1");
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(readFile(existing), "new!");
}

TEST_F(DocumentSetTest, FailedSaveSaysSoAndKeepsTheDocumentAndTheOldFile)
{
    const QString target = path(QStringLiteral("page.htm"));
    writeFile(target, "on disk");
    ASSERT_TRUE(docs->OpenFile(target));
    QTest::keyClicks(editor(), QStringLiteral("changed "));

    // The name is now a folder; and a path below a plain file.
    QFile::remove(target);
    ASSERT_TRUE(QDir().mkpath(target));
    trigger("Save1");
    QList<RecordedDialog> r = MessageService::takeRecorded();
    ASSERT_EQ(r.size(), 1);
    EXPECT_EQ(r[0].icon, MessageIcon::Error);
    EXPECT_TRUE(r[0].text.contains(target));
    EXPECT_TRUE(gDocumentModified);
    EXPECT_EQ(docs->PagesOpen(), 1);

    const QString blocker = path(QStringLiteral("plain"));
    writeFile(blocker, "keep me");
    MessageService::queueAnswer(DialogAnswer::file(blocker + QStringLiteral("/x.htm")));
    trigger("SaveAs1");
    r = MessageService::takeRecorded();
    ASSERT_EQ(r.size(), 2);
    EXPECT_TRUE(r[1].text.contains(QStringLiteral("x.htm")));
    EXPECT_EQ(gCurrentFilePath, target);
    EXPECT_EQ(readFile(blocker), "keep me");

    // Close, Yes, and the save fails: the document stays open and modified.
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    trigger("Close1");
    EXPECT_EQ(messages().size(), 2);
    EXPECT_EQ(docs->PagesOpen(), 1);
    EXPECT_TRUE(gDocumentModified);
    EXPECT_FALSE(gCloseCurrentDocument);
}

TEST_F(DocumentSetTest, CloseAskedYesThenSaveAsCancelledKeepsTheDocument)
{
    trigger("BlankDocument1");
    QTest::keyClicks(editor(), QStringLiteral("x"));
    MessageService::queueAnswers({DialogAnswer::pressed(mbYes), DialogAnswer::cancelled()});
    trigger("Close1");
    EXPECT_EQ(messages().value(0), QStringLiteral("This document has been modified do you wish to save before closing?"));
    EXPECT_EQ(docs->PagesOpen(), 1);
    EXPECT_TRUE(gDocumentModified);
    EXPECT_FALSE(gCloseCurrentDocument);

    // A later save of any document does not close it.
    MessageService::queueAnswer(DialogAnswer::file(path(QStringLiteral("kept.htm"))));
    trigger("Save1");
    EXPECT_EQ(docs->PagesOpen(), 1);

    // No closes without saving; Cancel keeps it.
    QTest::keyClicks(editor(), QStringLiteral("y"));
    MessageService::queueAnswer(DialogAnswer::pressed(mbCancel));
    trigger("Close1");
    EXPECT_EQ(docs->PagesOpen(), 1);
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    trigger("Close1");
    EXPECT_EQ(docs->PagesOpen(), 0);
    EXPECT_EQ(readFile(path(QStringLiteral("kept.htm"))), "x");
    messages();
}

TEST_F(DocumentSetTest, CloseAllWithYesAndNoToAll)
{
    for (const char *text : {"one", "two", "three"}) {
        trigger("BlankDocument1");
        QTest::keyClicks(editor(), QLatin1String(text));
    }
    trigger("BlankDocument1");  // unmodified: closed without a question
    MessageService::queueAnswers({DialogAnswer::pressed(mbYes), DialogAnswer::file(path(QStringLiteral("three.htm"))),
                                  DialogAnswer::pressed(mbNoToAll)});
    EXPECT_TRUE(docs->closeAll());
    EXPECT_EQ(messages(), QStringList({QStringLiteral("This document has been modified do you wish to save?"),
                                       QStringLiteral("Save your document as..."),
                                       QStringLiteral("This document has been modified do you wish to save?")}));
    EXPECT_EQ(docs->PagesOpen(), 0);
    EXPECT_TRUE(gCanCloseProgram);
    EXPECT_EQ(readFile(path(QStringLiteral("three.htm"))), "three");
}

TEST_F(DocumentSetTest, CloseAllCancelledOnSecondDocumentKeepsTheRestAndTheWindow)
{
    for (const char *text : {"one", "two", "three"}) {
        trigger("BlankDocument1");
        QTest::keyClicks(editor(), QLatin1String(text));
    }
    // The selected document goes first, then its left neighbour.
    MessageService::queueAnswers({DialogAnswer::pressed(mbNo), DialogAnswer::pressed(mbCancel)});
    EXPECT_FALSE(m_window->close());
    EXPECT_FALSE(gCanCloseProgram);
    EXPECT_EQ(docs->PagesOpen(), 2);
    EXPECT_EQ(currentText(), QStringLiteral("two"));
    messages();

    // Asked again: Yes to the save with a cancelled dialog asks once more.
    MessageService::queueAnswers({DialogAnswer::pressed(mbYes), DialogAnswer::cancelled(), DialogAnswer::pressed(mbNo),
                                  DialogAnswer::pressed(mbNo)});
    EXPECT_TRUE(m_window->close());
    EXPECT_EQ(messages().size(), 4);
    EXPECT_EQ(docs->PagesOpen(), 0);
}

TEST_F(DocumentSetTest, ClosingSelectsTheLeftNeighbourOrTheNewFirstTab)
{
    for (const char *name : {"a", "b", "c"}) {
        const QString file = path(QLatin1String(name) + QStringLiteral(".htm"));
        writeFile(file, name);
        docs->OpenFile(file);
    }
    tabs()->setCurrentIndex(1);
    trigger("Close1");
    EXPECT_EQ(captions(), QStringList({QStringLiteral("a.htm"), QStringLiteral("c.htm")}));
    EXPECT_EQ(currentText(), QStringLiteral("a"));
    EXPECT_EQ(gCurrentFilePath, path(QStringLiteral("a.htm")));
    trigger("Close1");
    EXPECT_EQ(currentText(), QStringLiteral("c"));
    EXPECT_EQ(gCurrentFilePath, path(QStringLiteral("c.htm")));
}

TEST_F(DocumentSetTest, SaveAllSavesEveryDocumentInTurn)
{
    const QString a = path(QStringLiteral("a.htm"));
    writeFile(a, "a");
    docs->OpenFile(a);
    QTest::keyClicks(editor(), QStringLiteral("1"));
    trigger("BlankDocument1");
    QTest::keyClicks(editor(), QStringLiteral("new"));
    tabs()->setCurrentIndex(0);
    MessageService::queueAnswer(DialogAnswer::file(path(QStringLiteral("b.htm"))));
    trigger("SaveAll1");
    EXPECT_EQ(messages(), QStringList({QStringLiteral("Save your document as...")}));
    EXPECT_EQ(readFile(a), "1a");
    EXPECT_EQ(readFile(path(QStringLiteral("b.htm"))), "new");
    EXPECT_EQ(tabs()->currentIndex(), 0);
    EXPECT_EQ(captions(), QStringList({QStringLiteral("a.htm"), QStringLiteral("b.htm")}));
}

TEST_F(DocumentSetTest, UnchangedFilesComeBackByteForByte)
{
    const QByteArray samples[] = {
        "<p>\xC3\xA9t\xC3\xA9</p>\n<br>\n",
        "\xEF\xBB\xBF<html>\r\n</html>\r\n",
        "<p>caf\xE9 \x93q\x94</p>\r\n",
        QByteArray("bin\0ary\xFF\n", 9),
        "a\r\nb\nc\rd",
    };
    int n = 0;
    for (const QByteArray &bytes : samples) {
        const QString file = path(QStringLiteral("s%1.htm").arg(n++));
        writeFile(file, bytes);
        ASSERT_TRUE(docs->OpenFile(file));
        EXPECT_FALSE(gDocumentModified);
        trigger("Save1");
        EXPECT_EQ(readFile(file), bytes) << n;
    }
    EXPECT_TRUE(messages().isEmpty());

    // Typing Enter into an LF file adds an LF.
    docs->OpenFile(path(QStringLiteral("s0.htm")));
    QTest::keyClick(editor(), Qt::Key_End);
    QTest::keyClick(editor(), Qt::Key_Return);
    trigger("Save1");
    EXPECT_EQ(readFile(path(QStringLiteral("s0.htm"))), QByteArray("<p>\xC3\xA9t\xC3\xA9</p>\n\n<br>\n"));
}

TEST_F(DocumentSetTest, OpeningAFolderOrUnreadableFileReportsAndChangesNothing)
{
    const QString folder = path(QStringLiteral("folder.htm"));
    QDir().mkpath(folder);
    EXPECT_FALSE(docs->OpenFile(folder));
    const QList<RecordedDialog> r = MessageService::takeRecorded();
    ASSERT_EQ(r.size(), 1);
    EXPECT_EQ(r[0].icon, MessageIcon::Error);
    EXPECT_TRUE(r[0].text.contains(folder));
    EXPECT_TRUE(captions().isEmpty()) << "a failed open leaves no tab";
    EXPECT_EQ(docs->PagesOpen(), 0);
    EXPECT_TRUE(gCurrentFilePath.isEmpty());

    // Beside other documents: the current one stays current and untouched.
    const QString page = path(QStringLiteral("page.htm"));
    writeFile(page, "<p>kept</p>");
    ASSERT_TRUE(docs->OpenFile(page));
    trigger("BlankDocument1");
    m_window->DCMemo1()->setText(QStringLiteral("typed"));
    EXPECT_FALSE(docs->OpenFile(folder));
    MessageService::takeRecorded();
    EXPECT_EQ(captions(), QStringList({QStringLiteral("page.htm"), QStringLiteral("Untitled")}));
    EXPECT_EQ(tabs()->currentIndex(), 1) << "the document current before stays current";
    EXPECT_EQ(currentText(), QStringLiteral("typed"));
    tabs()->setCurrentIndex(0);
    EXPECT_EQ(currentText(), QStringLiteral("<p>kept</p>"));
}

// Automation and scripts reach the commands by these names.
TEST_F(DocumentSetTest, MenuItemsAndToolbarButtonsCarryTheirNames)
{
    ASSERT_NE(m_window->action(QStringLiteral("InsertTagsinlowercase1")), nullptr);
    for (const char *name : {"ToolbarButton974", "ToolbarButton975", "ToolbarButton976", "ToolbarButton978",
                             "ToolbarButton9710"})
        EXPECT_NE(m_window->findChild<QToolButton *>(QLatin1String(name)), nullptr) << name;

    // Each button runs its command: Cut, then Undo, then Paste.
    trigger("BlankDocument1");
    m_window->DCMemo1()->setText(QStringLiteral("abc"));
    editor()->setSelection(0, 0, 0, 2);
    m_window->findChild<QToolButton *>(QStringLiteral("ToolbarButton974"))->click();
    EXPECT_EQ(currentText(), QStringLiteral("c"));
    m_window->findChild<QToolButton *>(QStringLiteral("ToolbarButton978"))->click();
    EXPECT_EQ(currentText(), QStringLiteral("abc"));
    editor()->setCursorPosition(0, 3);
    m_window->findChild<QToolButton *>(QStringLiteral("ToolbarButton976"))->click();
    EXPECT_EQ(currentText(), QStringLiteral("abcab"));
}

TEST_F(DocumentSetTest, ASaveThatFailsMidwayKeepsTheOldFileWholeAndTheDocumentModified)
{
    const QString file = path(QStringLiteral("page.htm"));
    writeFile(file, "<p>old text</p>\r\n");
    ASSERT_TRUE(docs->OpenFile(file));
    m_window->DCMemo1()->setText(QStringLiteral("<p>a much longer new text</p>\r\n"));
    ASSERT_TRUE(gDocumentModified);
    {
        // The disk fills after a few bytes: a write in place would leave them.
        setAtomicWriteLimitForTests(5);
        const auto restore = qScopeGuard([] { setAtomicWriteLimitForTests(-1); });
        trigger("Save1");
    }
    EXPECT_EQ(readFile(file), QByteArray("<p>old text</p>\r\n"));
    EXPECT_TRUE(gDocumentModified);
    EXPECT_TRUE(docs->currentBuffer()->isModified());
    const QList<RecordedDialog> r = MessageService::takeRecorded();
    ASSERT_EQ(r.size(), 1);
    EXPECT_EQ(r[0].icon, MessageIcon::Error);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList({QStringLiteral("page.htm")}));

    trigger("Save1");
    EXPECT_EQ(readFile(file), QByteArray("<p>a much longer new text</p>\r\n"));
    EXPECT_FALSE(gDocumentModified);
}

TEST_F(DocumentSetTest, PrintAllOpenFilesAsksTwiceFromSixDocuments)
{
    QList<int> printed;
    // Every print goes where the hook says, never to a real printer.
    const QString pdf = path(QStringLiteral("all.pdf"));
    int asked = 0;
    docs->printDialog = [&pdf, &asked](QPrinter &printer) {
        ++asked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    for (int count : {5, 6}) {
        while (docs->PagesOpen() < count)
            trigger("BlankDocument1");
        m_window->DCMemo1()->setText(QStringLiteral("<p>page</p>"));
        MessageService::queueAnswers({DialogAnswer::pressed(mbYes), DialogAnswer::pressed(mbNo)});
        trigger("PrintAllOpenFiles1");
        printed.append(int(MessageService::takeRecorded().size()));
        MessageService::resetTestHook();
    }
    EXPECT_EQ(printed, QList<int>({1, 2}));
    EXPECT_EQ(asked, 1) << "printed with five documents open, asked the hook once";
    EXPECT_TRUE(readFile(pdf).startsWith("%PDF"));

    MessageService::queueAnswers({DialogAnswer::pressed(mbYes), DialogAnswer::pressed(mbNo)});
    trigger("PrintAllOpenFiles1");
    EXPECT_EQ(messages(), QStringList({QStringLiteral("Are you sure you want to print EVERY open document?"),
                                       QStringLiteral("You have 6 pages open are you really SURE you want to print every open document?")}));
}

TEST_F(DocumentSetTest, PrintsTheDocumentAndTheSelectedBlockToPdf)
{
    trigger("BlankDocument1");
    m_window->DCMemo1()->setText(QStringLiteral("<html>\r\n<body>Printed page</body>\r\n</html>"));
    const QString pdf = path(QStringLiteral("out.pdf"));
    docs->printDialog = [&pdf](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return true;
    };
    trigger("PrintAll1");
    EXPECT_TRUE(readFile(pdf).startsWith("%PDF"));
    EXPECT_GT(QFileInfo(pdf).size(), 500);

    QFile::remove(pdf);
    editor()->setSelection(1, 0, 1, 6);
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    trigger("PrintSelectedBlock1");
    EXPECT_EQ(messages(), QStringList({QStringLiteral("Are you sure you want to print the selected block on the default printer?")}));
    EXPECT_TRUE(readFile(pdf).startsWith("%PDF"));

    // Declining the print dialog prints nothing.
    QFile::remove(pdf);
    docs->printDialog = [](QPrinter &) { return false; };
    trigger("PrintAll1");
    EXPECT_FALSE(QFileInfo::exists(pdf));
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    trigger("PrintSelectedBlock1");
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    trigger("PrintAllOpenFiles1");
    EXPECT_FALSE(QFileInfo::exists(pdf));
    messages();
}

TEST_F(DocumentSetTest, AFailedPrintIsReported)
{
    trigger("BlankDocument1");
    m_window->DCMemo1()->setText(QStringLiteral("<p>page</p>"));
    editor()->setSelection(0, 0, 0, 3);
    // A PDF under a plain file cannot be created, whoever runs the test.
    writeFile(path(QStringLiteral("plain")), "x");
    docs->printDialog = [this](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path(QStringLiteral("plain/out.pdf")));
        return true;
    };
    trigger("PrintAll1");
    QList<RecordedDialog> r = MessageService::takeRecorded();
    ASSERT_EQ(r.size(), 1);
    EXPECT_EQ(r[0].icon, MessageIcon::Error);
    EXPECT_EQ(r[0].text, QStringLiteral("Untitled could not be printed: the printer did not accept it."));

    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    trigger("PrintSelectedBlock1");
    r = MessageService::takeRecorded();
    ASSERT_EQ(r.size(), 2);
    EXPECT_EQ(r[1].text, QStringLiteral("The selected block could not be printed: the printer did not accept it."));

    trigger("BlankDocument1");
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    trigger("PrintAllOpenFiles1");
    r = MessageService::takeRecorded();
    ASSERT_EQ(r.size(), 2) << "one question, one report for the two documents";
    EXPECT_EQ(r[1].icon, MessageIcon::Error);
}

TEST_F(DocumentSetTest, FileHelpersMoveExactBytes)
{
    const QByteArray bytes("a\r\nb\0\xFF", 6);
    QString error;
    ASSERT_TRUE(TDocumentSet::SaveFileAsString(path(QStringLiteral("raw.bin")), bytes, &error));
    QByteArray back;
    ASSERT_TRUE(TDocumentSet::LoadFileAsString(path(QStringLiteral("raw.bin")), &back, &error));
    EXPECT_EQ(back, bytes);
    EXPECT_FALSE(TDocumentSet::LoadFileAsString(path(QStringLiteral("none.bin")), &back, &error));
}

TEST_F(DocumentSetTest, DropsFromTheTagAndSnippetListsGoWhereTheCaretIs)
{
    trigger("BlankDocument1");
    m_window->DCMemo1()->setText(QStringLiteral("word"));
    editor()->setSelection(0, 0, 0, 4);
    auto drop = [this](QMimeData *mime) {
        const bool taken = editor()->dropItem(mime);
        delete mime;
        return taken;
    };
    auto tag = [](const char *start, const char *end) {
        auto *mime = new QMimeData;
        mime->setData(QLatin1String(TagStartMimeType), start);
        mime->setData(QLatin1String(TagEndMimeType), end);
        return mime;
    };
    drop(tag("<B>", "</B>"));
    EXPECT_EQ(currentText(), QStringLiteral("<b>word</b>")) << "placed as a double click does, in the tag case";
    EXPECT_EQ(m_window->DCMemo1()->selText(), QStringLiteral("word"));
    EXPECT_TRUE(gDocumentModified);

    m_window->DCMemo1()->setText(QString());
    drop(tag("N/A", "N/A"));
    EXPECT_EQ(currentText(), QStringLiteral("N/A"));

    // A snippet loses one final line break of its end part.
    m_window->DCMemo1()->setText(QString());
    auto *snippet = new QMimeData;
    snippet->setData(QLatin1String(SnippetMimeType), QStringLiteral("<p>\u00FE</p>\r\n\r\n").toUtf8());
    drop(snippet);
    EXPECT_EQ(currentText(), QStringLiteral("<p></p>\r\n"));
    EXPECT_EQ(m_window->DCMemo1()->caretPoint(), (CaretPoint{3, 0}));

    // Anything else is left to the editor's own handling.
    m_window->DCMemo1()->setText(QStringLiteral("x"));
    auto *other = new QMimeData;
    other->setData(QStringLiteral("application/x-unknown"), "zzz");
    EXPECT_FALSE(drop(other));
    EXPECT_EQ(currentText(), QStringLiteral("x"));
}

TEST_F(DocumentSetTest, ATenMegabyteSingleLineFileOpensAndSavesBack)
{
    QByteArray bytes;
    bytes.reserve(10 * 1024 * 1024 + 32);
    while (bytes.size() < 10 * 1024 * 1024)
        bytes.append("<span class=\"x\">text</span>");
    const QString file = path(QStringLiteral("long.htm"));
    writeFile(file, bytes);
    ASSERT_TRUE(docs->OpenFile(file));
    EXPECT_EQ(docs->currentBuffer()->lineCount(), 1);
    const QStringList warned = messages();
    ASSERT_EQ(warned.size(), 1);
    EXPECT_TRUE(warned[0].startsWith(QStringLiteral("long.htm has a line of %1 characters.").arg(bytes.size())));
    editor()->grab();
    // Typed at the start and taken back again: still the same bytes.
    QTest::keyClick(editor(), Qt::Key_A);
    editor()->grab();
    EXPECT_TRUE(currentText().startsWith(QStringLiteral("a<span")));
    QTest::keyClick(editor(), Qt::Key_Backspace);
    QTest::keyClick(editor(), Qt::Key_End);
    EXPECT_EQ(m_window->DCMemo1()->caretPoint(), (CaretPoint{int(bytes.size()), 0}));
    trigger("Save1");
    EXPECT_EQ(readFile(file), bytes);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(DocumentSetTest, ABigFileLoadsInPiecesWhileTheWindowKeepsAnswering)
{
    QByteArray bytes;
    bytes.reserve(3 * TMemoSource::LoadPieceBytes);
    while (bytes.size() < 2 * TMemoSource::LoadPieceBytes + 1000)
        bytes.append("<p class=\"x\">caf\xC3\xA9 text</p>\r\n");
    const QString file = path(QStringLiteral("big.htm"));
    writeFile(file, bytes);

    // Work of the event loop, due while the file loads.
    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    QStringList shown;
    bool refused = true;
    QString tabMeanwhile;
    QObject::connect(docs, &TDocumentSet::loadProgress, m_window.get(), [&] {
        shown.append(m_window->statusBar()->currentMessage());
        tabMeanwhile = tabs()->tabText(tabs()->currentIndex());
        // Closing or saving a document that is not whole yet waits.
        refused = refused && docs->isLoading() && !docs->closeAll() && docs->save() == SaveResult::Cancelled;
        docs->close();
    });
    ASSERT_TRUE(docs->OpenFile(file));
    EXPECT_TRUE(timerRan) << "the event loop ran between the pieces";
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0], QStringLiteral("Loading big.htm: 4 of 8 MB (49%)..."));
    EXPECT_EQ(tabMeanwhile, QStringLiteral("big.htm"));
    EXPECT_TRUE(refused);
    EXPECT_TRUE(gCanCloseProgram == false) << "a close asked for meanwhile did not go ahead";
    EXPECT_FALSE(docs->isLoading());
    EXPECT_EQ(docs->PagesOpen(), 1);
    EXPECT_EQ(m_window->statusBar()->currentMessage(), QStringLiteral("X: 0    Y: 0    (Press CTRL+SPACE for Tag Insight.)"));
    trigger("Save1");
    EXPECT_EQ(readFile(file), bytes);
    EXPECT_TRUE(docs->closeAll());
    EXPECT_EQ(docs->PagesOpen(), 0);
}
