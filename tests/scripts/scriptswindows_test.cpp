// The scripts subsystem's windows, driven through the real main window
// offscreen: the template libraries, the script definition dialog, the
// object tree, the server variable dialogs, the "Code Snippet" page with its
// dialog, and the date stamps of the editor's pop-up menu.
#include "appglobals.h"
#include "applicationshell.h"
#include "datafolder.h"
#include "documentset.h"
#include "editortypes.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "scriptsglobals.h"
#include "scintillawidget.h"
#include "scriptstestsupport.h"
#include "settingsglobals.h"
#include "subsystems.h"
#include "tcodesnippetpage.h"
#include "tcodesnippits.h"
#include "tdcmemo.h"
#include "textfileformat.h"
#include "tmemosource.h"
#include "tmnucodesnippet.h"
#include "tmnudefinejs.h"
#include "tmnuobjecttree.h"
#include "tmnuservervariables.h"
#include "toolkitglobals.h"
#include "tscriptlibrarywindow.h"
#include "tscriptpreview.h"
#include "tsnippetlist.h"

#include <Qsci/qsciscintilla.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace Quorvant {
namespace {

using Test::readFile;
using Test::writeFile;

QStringList recordedTexts()
{
    QStringList texts;
    for (const RecordedDialog &d : MessageService::takeRecorded())
        texts << d.text;
    return texts;
}

const QByteArray Template = "<!--\r\nClock\r\nShows the time.\r\n-->\r\n<html><head><title>Clock page</title>\r\n"
                            "<!--<PUT-HEAD>-->\r\n<script>var t;</script>\r\n<!--<STOP-RECORDING>-->\r\n</head>\r\n"
                            "<body>\r\n<!--<PUT-BODY>-->\r\n<div id=\"clock\"></div>\r\n<!--<STOP-RECORDING>-->\r\n"
                            "</body></html>\r\n";
const QString Page = u"<html>\r\n<head>\r\n<title>T</title>\r\n</head>\r\n<body>\r\n</body>\r\n</html>"_s;
const QString Inserted = u"<html>\r\n<head>\r\n<!-- <HEAD> Section of script -->\r\n<script>var t;</script>\r\n"
                         "<!-- End <HEAD> Section of script -->\r\n<title>T</title>\r\n</head>\r\n<body>\r\n"
                         "<!-- <BODY> Section of script -->\r\n<div id=\"clock\"></div>\r\n"
                         "<!-- End <BODY> Section of script -->\r\n</body>\r\n</html>"_s;

class ScriptsWindows : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        DataFolder::setPath(dir.path());
        resetAppGlobals();
        resetToolkitGlobals();
        resetSettingsGlobals();
        resetScriptsGlobals();
        MessageService::setTestHookEnabled(true);
        MessageService::resetTestHook();
    }
    void TearDown() override
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isModal())
                w->close();
        window.reset();
        setAtomicWriteLimitForTests(-1);
        EXPECT_EQ(MessageService::pendingAnswers(), 0);
        MessageService::resetTestHook();
    }
    void makeWindow()
    {
        window = std::make_unique<TForm1>();
        installSubsystems(*window);
        window->show();
    }
    void newDocument(const QString &text)
    {
        window->documents()->blankDocument();
        buffer()->setText(text);
        buffer()->setModified(false);
    }
    TMemoSource *buffer() const { return window->documents()->currentBuffer(); }
    template<typename T>
    T *modal()
    {
        return qobject_cast<T *>(QApplication::activeModalWidget());
    }
    TScriptLibraryWindow *library(const char *panel)
    {
        return window->findChild<TScriptLibraryWindow *>(QLatin1String(panel));
    }
    QAbstractButton *button(QWidget *in, const char *name) { return in->findChild<QAbstractButton *>(QLatin1String(name)); }
    // A button of the bars; one on a page of the big button bar is found as
    // the user finds it, by showing the pages in turn.
    void clickCatalogueButton(const char *name)
    {
        QAbstractButton *b = window->findChild<QAbstractButton *>(QLatin1String(name));
        auto *pages = window->findChild<QTabWidget *>(u"LargeButtonPages"_s);
        for (int i = 0; !b && pages && i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            b = window->findChild<QAbstractButton *>(QLatin1String(name));
        }
        ASSERT_NE(b, nullptr) << name;
        b->click();
    }

    // Activates a window just opened, as the desktop does: its first field
    // (here the list) gets the keyboard focus.
    void activate(QWidget *opened, QWidget *list)
    {
        opened->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(opened));
        QTRY_VERIFY(list->hasFocus());
    }

    QTemporaryDir dir;
    std::unique_ptr<TForm1> window;
};

TEST_F(ScriptsWindows, JavaScriptLibraryPreviewsDescribesAndInsertsTheChosenTemplate)
{
    writeFile(dir.filePath(u"JAVA/Clock.Htm"_s), Template);
    writeFile(dir.filePath(u"JAVA/Gone.Htm"_s), "<!--\r\nGone\r\n-->\r\n");
    makeWindow();
    newDocument(Page);
    EXPECT_EQ(library("MnuJavaScriptPanel"), nullptr);  // made on first use
    window->action(u"InstantJava1"_s)->trigger();
    TScriptLibraryWindow *java = library("MnuJavaScriptPanel");
    ASSERT_NE(java, nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), java->host());
    EXPECT_EQ(java->host()->windowTitle(), u"Insert Javascript"_s);
    ASSERT_EQ(java->list()->topLevelItemCount(), 2);
    EXPECT_EQ(java->list()->topLevelItem(0)->text(0), u"Clock"_s);

    // Selecting shows the page in the browser, made only now, and its description.
    java->list()->setCurrentItem(java->list()->topLevelItem(0));
    EXPECT_EQ(java->preview()->url(), QUrl::fromLocalFile(dir.filePath(u"JAVA/Clock.Htm"_s)));
    EXPECT_EQ(java->descriptionBox()->toPlainText(), u"Shows the time."_s);
    ASSERT_NE(java->preview()->browser(), nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(java->preview()->title(), u"Clock page"_s, 30000);

    // A double click does nothing here; Done inserts and closes.
    emit java->list()->itemDoubleClicked(java->list()->topLevelItem(0), 0);
    EXPECT_EQ(buffer()->text(), Page);
    java->doneButton()->click();
    EXPECT_EQ(buffer()->text(), Inserted);
    EXPECT_TRUE(buffer()->isModified());
    EXPECT_FALSE(java->host()->isVisible());

    // A template that disappeared says so and the window stays.
    window->action(u"InstantJava1"_s)->trigger();
    java->list()->setCurrentItem(java->list()->topLevelItem(1));
    QFile::remove(dir.filePath(u"JAVA/Gone.Htm"_s));
    java->doneButton()->click();
    EXPECT_EQ(recordedTexts(), QStringList{u"Error!: There was an error adding the JavaScript HTML file to your project! "
                                           "Please see help to find out what to do with Error! messages..."_s});
    EXPECT_TRUE(java->host()->isVisible());
    // The next showing lists the folder afresh; a missing folder keeps the list.
    java->host()->close();
    QDir(dir.filePath(u"JAVA"_s)).removeRecursively();
    window->action(u"InstantJava1"_s)->trigger();
    EXPECT_EQ(java->list()->topLevelItemCount(), 2);
}

TEST_F(ScriptsWindows, DoneWithNoTemplateChosenChangesNothing)
{
    writeFile(dir.filePath(u"JAVA/Clock.Htm"_s), Template);
    makeWindow();
    newDocument(u"<p>no head</p>"_s);
    window->action(u"InstantJava1"_s)->trigger();
    TScriptLibraryWindow *java = library("MnuJavaScriptPanel");
    ASSERT_NE(java, nullptr);
    activate(java->host(), java->list());
    // The focus alone chooses no template.
    EXPECT_EQ(java->list()->currentItem(), nullptr);
    EXPECT_TRUE(java->list()->selectedItems().isEmpty());
    EXPECT_EQ(java->descriptionBox()->toPlainText(), QString());
    EXPECT_FALSE(java->preview()->url().isValid());
    java->doneButton()->click();
    EXPECT_EQ(buffer()->text(), u"<p>no head</p>"_s);
    EXPECT_FALSE(buffer()->isModified());
    EXPECT_TRUE(recordedTexts().isEmpty());
    // The keyboard still chooses from the top.
    QTest::keyClick(java->list(), Qt::Key_Down);
    ASSERT_EQ(java->list()->currentItem(), java->list()->topLevelItem(0));
    EXPECT_EQ(java->descriptionBox()->toPlainText(), u"Shows the time."_s);
    java->host()->close();
}

TEST_F(ScriptsWindows, LibraryMadeAtStartUpStaysAboveTheMainWindow)
{
    // The start-up makes the library windows without a parent: a click on
    // the main window must not bury the modal library behind it.
    writeFile(dir.filePath(u"Main.INI"_s), "[GENERAL]\r\nFIRSTRUN=0\r\n");
    writeFile(dir.filePath(u"JAVA/Clock.Htm"_s), Template);
    TApplicationShell shell;
    shell.installSubsystems = installSubsystems;
    shell.quit = [] {};
    shell.start({u"quorvant"_s});
    QCoreApplication::processEvents();
    TForm1 *form = shell.Form1();
    ASSERT_NE(form, nullptr);
    QWidget *host = shell.MnuJavaScript();
    EXPECT_EQ(host->findChild<TScriptLibraryWindow *>(), nullptr);  // made on first use, in the same window
    form->action(u"InstantJava1"_s)->trigger();
    ASSERT_NE(host->findChild<TScriptLibraryWindow *>(), nullptr);
    ASSERT_TRUE(host->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), host);
    ASSERT_NE(host->windowHandle(), nullptr);
    EXPECT_EQ(host->windowHandle()->transientParent(), form->windowHandle());
    host->close();
}

TEST_F(ScriptsWindows, DhtmlLibraryInsertsOnDoubleClick)
{
    writeFile(dir.filePath(u"DHTML/Clock.Htm"_s), Template);
    makeWindow();
    newDocument(Page);
    window->action(u"InstantDHTML1"_s)->trigger();
    TScriptLibraryWindow *dhtml = library("MnuDHTMLPanel");
    ASSERT_NE(dhtml, nullptr);
    EXPECT_EQ(dhtml->host()->windowTitle(), u"Insert DHTML"_s);
    // Done with nothing selected does nothing.
    dhtml->doneButton()->click();
    EXPECT_TRUE(dhtml->host()->isVisible());
    dhtml->list()->setCurrentItem(dhtml->list()->topLevelItem(0));
    emit dhtml->list()->itemDoubleClicked(dhtml->list()->topLevelItem(0), 0);
    EXPECT_EQ(buffer()->text(), Inserted);
    EXPECT_FALSE(dhtml->host()->isVisible());
}

TEST_F(ScriptsWindows, DefineScriptButtonWritesTheScriptElement)
{
    makeWindow();
    const struct
    {
        QString language, type, browsed, typedSrc, expected;
    } cases[] = {
        {u"JavaScript 1.2"_s, u"text/javascript"_s, dir.filePath(u"site/js/app.js"_s), {},
         u"<script language=\"JavaScript 1.2\" src=\"js/app.js\" type=\"text/javascript\">"_s},
        // No source file: no src, so the code runs.
        {u"JavaScript"_s, u"text/javascript"_s, {}, {},
         u"<script language=\"JavaScript\" type=\"text/javascript\">"_s},
        {{}, {}, {}, {}, u"<script>"_s},
        // Typed values end at their own closing quote.
        {u"J\"S"_s, u"text/x&y"_s, {}, u"a.js?v=1&t=<b>"_s,
         u"<script language=\"J&quot;S\" src=\"a.js?v=1&amp;t=&lt;b>\" type=\"text/x&amp;y\">"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        newDocument(QString());
        gCurrentFilePath = dir.filePath(u"site/page.htm"_s);
        clickCatalogueButton("DefinescriptButton1");
        auto *dialog = modal<TMnuDefineJS>();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), u"Define a Java Script..."_s);
        EXPECT_EQ(dialog->languageBox()->currentText(), QString());
        EXPECT_EQ(dialog->languageBox()->count(), 8);
        dialog->languageBox()->setCurrentText(c.language);
        dialog->typeBox()->setCurrentText(c.type);
        if (!c.browsed.isEmpty()) {
            MessageService::queueAnswer(DialogAnswer::file(c.browsed));
            button(dialog, "BrowseButton")->click();
        } else {
            dialog->srcEdit()->setText(c.typedSrc);
        }
        dialog->codeEditor()->setText(u"init();\nrun();"_s);
        button(dialog, "DoneButton")->click();
        // Written as typed: the tag case does not touch the values in quotes.
        EXPECT_EQ(buffer()->text().toStdString(),
                  (c.expected + u"\r\n<!--\r\ninit();\r\nrun();\r\n//-->\r\n</script>\r\n"_s).toStdString());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST_F(ScriptsWindows, ObjectTreeInsertsEntriesButNotCategories)
{
    makeWindow();
    newDocument(QString());
    EXPECT_EQ(window->findChild<TMnuObjectTree *>(), nullptr);  // made on first use
    clickCatalogueButton("JavaobjecttreeButton1");
    auto *tree = window->findChild<TMnuObjectTree *>();
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(tree->host()->isVisible());
    EXPECT_TRUE(tree->host()->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(tree->host()->windowTitle(), u"Javascript Object Tree"_s);
    QTreeWidgetItem *js = tree->tree()->topLevelItem(0);
    QTreeWidgetItem *reserved = js->child(js->childCount() - 1);
    ASSERT_EQ(reserved->text(0), u"Reserved Words"_s);
    emit tree->tree()->itemDoubleClicked(reserved, 0);
    EXPECT_EQ(buffer()->text(), QString());
    QTreeWidgetItem *events = tree->tree()->topLevelItem(1);
    QTreeWidgetItem *form = events->child(0)->child(0)->child(0);
    ASSERT_EQ(form->text(0), u"Form"_s);
    emit tree->tree()->itemDoubleClicked(form->child(2), 0);
    EXPECT_EQ(buffer()->text(), u"onClick=\"\""_s);
    tree->host()->close();
    window->action(u"JavascriptObjectTree1"_s)->trigger();
    EXPECT_TRUE(tree->host()->isVisible());
}

TEST_F(ScriptsWindows, ServerVariableDialogsListDescribeAndInsert)
{
    writeFile(dir.filePath(u"ASPData.Dat"_s), "REMOTE_ADDR,Address of the visitor,more\r\nHTTPS\r\n");
    makeWindow();
    newDocument(QString());
    clickCatalogueButton("ServerVariablesButton1");
    auto *asp = modal<TMnuServerVariables>();
    ASSERT_NE(asp, nullptr);
    EXPECT_EQ(asp->windowTitle(), u"Add an ASP variable..."_s);
    ASSERT_EQ(asp->list()->topLevelItemCount(), 2);
    asp->list()->setCurrentItem(asp->list()->topLevelItem(0));
    EXPECT_EQ(asp->descriptionBox()->toPlainText(), u"Address of the visitor"_s);
    EXPECT_EQ(asp->list()->topLevelItem(1)->text(1), QString());
    button(asp, "DoneButton")->click();
    // The user's tag case reaches the whole text between "<" and ">" but the quoted name.
    EXPECT_EQ(buffer()->text(), uR"(<%= request.servervariables("REMOTE_ADDR") %>)"_s);

    // No data file: the message, an empty list, and Done only closes.
    buffer()->setText(QString());
    clickCatalogueButton("SSIincludevariablesButton1");
    EXPECT_EQ(recordedTexts(), QStringList{u"Unable to find SSIData.Dat"_s});
    auto *ssi = modal<TMnuServerVariables>();
    ASSERT_NE(ssi, nullptr);
    EXPECT_EQ(ssi->windowTitle(), u"Add an SSI variable..."_s);
    EXPECT_EQ(ssi->list()->topLevelItemCount(), 0);
    button(ssi, "DoneButton")->click();
    EXPECT_EQ(buffer()->text(), QString());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    writeFile(dir.filePath(u"SSIData.Dat"_s), "DATE_LOCAL,Local date\r\n");
    clickCatalogueButton("SSIincludevariablesButton1");
    ssi = modal<TMnuServerVariables>();
    ASSERT_NE(ssi, nullptr);
    ssi->list()->setCurrentItem(ssi->list()->topLevelItem(0));
    button(ssi, "DoneButton")->click();
    EXPECT_EQ(buffer()->text(), uR"(<!--#echo var="DATE_LOCAL" -->)"_s);
}

TEST_F(ScriptsWindows, ServerVariableDoneWithNothingChosenOnlyCloses)
{
    writeFile(dir.filePath(u"ASPData.Dat"_s), "REMOTE_ADDR,Address of the visitor\r\nHTTPS,On or off\r\n");
    makeWindow();
    newDocument(QString());
    clickCatalogueButton("ServerVariablesButton1");
    auto *asp = modal<TMnuServerVariables>();
    ASSERT_NE(asp, nullptr);
    activate(asp, asp->list());
    EXPECT_EQ(asp->list()->currentItem(), nullptr);
    EXPECT_EQ(asp->descriptionBox()->toPlainText(), QString());
    button(asp, "DoneButton")->click();
    EXPECT_EQ(buffer()->text(), QString());
    EXPECT_FALSE(buffer()->isModified());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ScriptsWindows, CancelClosesTheDialogsWithoutWriting)
{
    writeFile(dir.filePath(u"ASPData.Dat"_s), "REMOTE_ADDR,Address of the visitor\r\n");
    makeWindow();
    newDocument(u"<p>kept</p>"_s);
    for (const char *opener : {"DefinescriptButton1", "ServerVariablesButton1"}) {
        clickCatalogueButton(opener);
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr) << opener;
        if (auto *asp = qobject_cast<TMnuServerVariables *>(dialog))
            asp->list()->setCurrentItem(asp->list()->topLevelItem(0));
        ASSERT_NE(button(dialog, "CancelButton"), nullptr) << opener;
        button(dialog, "CancelButton")->click();
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << opener;
        EXPECT_EQ(buffer()->text(), u"<p>kept</p>"_s) << opener;
        EXPECT_FALSE(buffer()->isModified()) << opener;
    }
}

TEST(ScriptPreview, AnEngineThatCannotLoadLeavesTheReasonInThePreview)
{
    QTemporaryDir dir;
    const QString notALibrary = dir.filePath(u"engine.so"_s);
    writeFile(notALibrary, "not a library");
    qputenv("QUORVANT_BROWSER_MODULE", notALibrary.toLocal8Bit());
    TScriptPreview preview(u"ScriptBrowser"_s);
    preview.navigate(QUrl::fromLocalFile(notALibrary));
    preview.show();
    qunsetenv("QUORVANT_BROWSER_MODULE");
    EXPECT_EQ(preview.browser(), nullptr);
    auto *failure = preview.findChild<QLabel *>();
    ASSERT_NE(failure, nullptr);
    EXPECT_TRUE(failure->text().startsWith(u"The browser could not be started: "_s)) << qPrintable(failure->text());
    EXPECT_TRUE(failure->text().contains(notALibrary)) << qPrintable(failure->text());
    EXPECT_TRUE(failure->wordWrap());
}

class SnippetPage : public ScriptsWindows
{
protected:
    void makePage()
    {
        makeWindow();
        // Built when first shown, as the user opens it.
        ASSERT_EQ(window->findChild<TCodeSnippetPage *>(), nullptr);
        window->sidebar()->setCurrentWidget(window->sidebar()->findChild<QWidget *>(u"CodeSnippetPage"_s));
        page = window->findChild<TCodeSnippetPage *>();
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(window->sidebar()->findChild<QWidget *>(u"CodeSnippetPage"_s)->isAncestorOf(page));
        EXPECT_EQ(gCodeSnippets, &page->store());
    }
    QAction *act(const char *name) { return page->findChild<QAction *>(QLatin1String(name)); }
    QStringList rows() const
    {
        QStringList out;
        for (int i = 0; i < page->list()->count(); ++i)
            out << page->list()->item(i)->text();
        return out;
    }
    TMnuCodeSnippet *fill(TMnuCodeSnippet *dialog, const QString &name, const QString &part1, const QString &part2)
    {
        EXPECT_NE(dialog, nullptr);
        if (!dialog)
            return nullptr;
        dialog->nameEdit()->setText(name);
        dialog->part1Edit()->setPlainText(part1);
        dialog->part2Edit()->setPlainText(part2);
        button(dialog, "DoneButton")->click();
        return dialog;
    }
    QString snippetsFile() const { return dir.filePath(u"Snippets.Dat"_s); }
    TCodeSnippetPage *page = nullptr;
};

TEST_F(SnippetPage, CreateChecksTheFieldsAndWhatTheFileCanHold)
{
    makePage();
    EXPECT_TRUE(rows().isEmpty());
    act("CreateCodeSnippetButton")->trigger();
    QPointer<TMnuCodeSnippet> dialog = modal<TMnuCodeSnippet>();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), u"Create Code Snippet..."_s);
    fill(dialog, QString(), u"x"_s, QString());
    fill(dialog, u"Name"_s, QString(), QString());
    fill(dialog, u"Name"_s, u"<ul>\nEND}\n"_s, u"</ul>"_s);
    EXPECT_EQ(recordedTexts(),
              (QStringList{u"You must provide a name for your code snippet."_s,
                           u"You must provide at least one part of a code snippet."_s,
                           TCodeSnippits::whyNotStorable(u"Name"_s, u"<ul>\r\nEND}\r\n"_s, u"</ul>"_s)}));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(QFile::exists(snippetsFile()));

    // A failed write says so and keeps what was typed.
    setAtomicWriteLimitForTests(3);
    fill(dialog, u"List"_s, u"<ul>\n  <li>"_s, u"</li>\n</ul>\n"_s);
    setAtomicWriteLimitForTests(-1);
    EXPECT_EQ(recordedTexts(), QStringList{QLatin1String(SnippetsWriteFailedMessage)});
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(QFile::exists(snippetsFile()));

    button(dialog, "DoneButton")->click();
    QTRY_VERIFY(!dialog);
    EXPECT_EQ(rows(), QStringList{u"List"_s});
    EXPECT_EQ(page->list()->currentRow(), 0);
    EXPECT_EQ(page->preview()->text(), u"<ul>\r\n  <li>[CURSOR-HERE]</li>\r\n</ul>\r\n"_s);
    EXPECT_TRUE(page->preview()->isReadOnly());
    EXPECT_EQ(readFile(snippetsFile()), QByteArray("\x9EList\r\n<ul>\r\n  <li>\xFE</li>\r\n</ul>\r\nEND}\r\n"));
}

TEST_F(SnippetPage, InsertsByDoubleClickAndByDragAroundTheSelection)
{
    writeFile(snippetsFile(), "\xC2\x9E"
                              "Bold\r\n<B>\xC3\xBE</B>\r\nEND}\r\n\xC2\x9E"
                              "Two lines\r\nfirst\r\n\xC3\xBE\r\nlast\r\n\r\nEND}\r\n");
    makePage();
    EXPECT_EQ(rows(), (QStringList{u"Bold"_s, u"Two lines"_s}));
    newDocument(u"say hello"_s);
    buffer()->setSelection({{4, 0}, {9, 0}});
    page->list()->setCurrentRow(0);
    emit page->list()->itemDoubleClicked(page->list()->item(0));
    EXPECT_EQ(buffer()->text(), u"say <b>hello</b>"_s) << "in the user's tag case";
    EXPECT_EQ(buffer()->selText(), u"hello"_s);

    // A dragged row carries the stored text, which the editor places at the caret.
    page->list()->setCurrentRow(1);
    std::unique_ptr<QMimeData> mime(page->list()->model()->mimeData({page->list()->currentIndex()}));
    ASSERT_TRUE(mime);
    ASSERT_TRUE(mime->hasFormat(QLatin1String(SnippetMimeType)));
    buffer()->setText(QString());
    emit window->DCMemo1()->snippetDropped(QString::fromUtf8(mime->data(QLatin1String(SnippetMimeType))));
    EXPECT_EQ(buffer()->text(), u"first\r\n\r\nlast\r\n"_s) << "one of part 2's two line breaks goes";
    EXPECT_EQ(buffer()->caretPoint(), (CaretPoint{0, 1}));
}

TEST_F(SnippetPage, ADroppedSnippetGoesWhereItIsDroppedAndEndsAtASecondSeparator)
{
    writeFile(snippetsFile(), "\x9E"
                              "Bold\r\n<B>\xFE</B>\r\nEND}\r\n\x9ELink\r\n<a>\xFE</a>\xFElost\r\nEND}\r\n");
    makePage();
    newDocument(u"one two\r\nthree"_s);
    ScintillaWidget *editor = window->DCMemo1()->widget();
    const auto pointOf = [editor](long position) {
        return QPointF(editor->call(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0, position),
                       editor->call(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, position) + 2);
    };
    const auto dropRow = [&](int row, long position) {
        page->list()->setCurrentRow(row);
        std::unique_ptr<QMimeData> mime(page->list()->model()->mimeData({page->list()->currentIndex()}));
        ASSERT_TRUE(mime);
        // As a drag arrives: it enters, moves and is dropped.
        const QPoint at = pointOf(position).toPoint();
        QDragEnterEvent enter(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor->viewport(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDragMoveEvent move(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor->viewport(), &move);
        QDropEvent drop(at, Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(editor->viewport(), &drop);
        EXPECT_TRUE(drop.isAccepted());
    };
    QTRY_VERIFY(editor->isVisible());
    buffer()->setCaretPoint({5, 1});
    dropRow(1, 4);  // before "two"
    EXPECT_EQ(buffer()->text(), u"one <a></a>two\r\nthree"_s) << "part 2 ends at the second separator";
    EXPECT_EQ(buffer()->caretPoint(), (CaretPoint{7, 0}));

    // Dropped onto the selection, it goes around it.
    buffer()->setSelection({{11, 0}, {14, 0}});
    dropRow(0, 12);
    EXPECT_EQ(buffer()->text(), u"one <a></a><b>two</b>\r\nthree"_s);

    // A double click inserts where the caret is, also without the lost text.
    buffer()->setCaretPoint({5, 1});
    page->list()->setCurrentRow(1);
    emit page->list()->itemDoubleClicked(page->list()->item(1));
    EXPECT_EQ(buffer()->text(), u"one <a></a><b>two</b>\r\nthree<a></a>"_s);
}

TEST_F(SnippetPage, RemovingASnippetWhoseFileIsGoneTakesItOffTheList)
{
    writeFile(snippetsFile(), "\x9E" "Bold\r\n<B>\xFE</B>\r\nEND}\r\n");
    makePage();
    ASSERT_EQ(rows(), QStringList{u"Bold"_s});
    page->list()->setCurrentRow(0);
    ASSERT_TRUE(QFile::remove(snippetsFile()));
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    act("DeleteCodeSnippetButton")->trigger();
    EXPECT_EQ(recordedTexts(), (QStringList{u"Are you sure you want to remove this code snippet?"_s,
                                            QLatin1String(SnippetsLockedMessage)}));
    EXPECT_TRUE(rows().isEmpty());
    EXPECT_FALSE(QFile::exists(snippetsFile()));
}

TEST_F(SnippetPage, EditReplacesOnlyThatRecordAndDeleteRemovesOnlyThatRow)
{
    writeFile(snippetsFile(), "\xC2\x9E"
                              "Dup\r\none\xC3\xBE\r\nEND}\r\n\xC2\x9E"
                              "Dup\r\ntwo\xC3\xBE\r\nEND}\r\n\xC2\x9E"
                              "Last\r\nz\xC3\xBE\r\nEND}\r\n");
    makePage();
    act("EditCodeSnippetButton")->trigger();
    EXPECT_EQ(recordedTexts(), QStringList{u"You must select a code snippet to edit."_s});
    EXPECT_EQ(modal<TMnuCodeSnippet>(), nullptr);

    page->list()->setCurrentRow(1);
    EXPECT_EQ(page->preview()->text(), u"two[CURSOR-HERE]\r\n"_s);
    page->previewMenu()->findChild<QAction *>(u"Editcodesnippet1"_s)->trigger();
    auto *dialog = modal<TMnuCodeSnippet>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(gCodeSnippetsData.Editing);
    EXPECT_EQ(dialog->nameEdit()->text(), u"Dup"_s);
    EXPECT_EQ(dialog->part1Edit()->toPlainText(), u"two"_s);
    fill(dialog, u"Renamed"_s, u"2"_s, u"!"_s);
    EXPECT_EQ(rows(), (QStringList{u"Dup"_s, u"Renamed"_s, u"Last"_s}));
    EXPECT_EQ(page->list()->currentRow(), 1);
    EXPECT_EQ(page->preview()->text(), u"2[CURSOR-HERE]!\r\n"_s);

    // Delete asks first; No keeps the row, Yes removes just it.
    page->list()->setCurrentRow(0);
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    act("DeleteCodeSnippetButton")->trigger();
    EXPECT_EQ(rows().size(), 3);
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    act("DeleteCodeSnippetButton")->trigger();
    EXPECT_EQ(recordedTexts(), QStringList(2, u"Are you sure you want to remove this code snippet?"_s));
    EXPECT_EQ(rows(), (QStringList{u"Renamed"_s, u"Last"_s}));
    // The edited record in single mark bytes, the untouched one as it was.
    EXPECT_EQ(readFile(snippetsFile()),
              QByteArray("\x9ERenamed\r\n2\xFE!\r\nEND}\r\n\xC2\x9ELast\r\nz\xC3\xBE\r\nEND}\r\n"));
    // Nothing selected: nothing asked.
    page->list()->setCurrentRow(-1);
    act("DeleteCodeSnippetButton")->trigger();
    EXPECT_TRUE(recordedTexts().isEmpty());
}

TEST_F(SnippetPage, ImportsPartsFromFilesAndSnippetsFromAnotherStore)
{
    const QString other = dir.filePath(u"elsewhere/Mine.Dat"_s);
    writeFile(other, "\xC2\x9E"
                     "Imported\r\nA\xC3\xBE"
                     "B\r\nEND}\r\n");
    writeFile(dir.filePath(u"parts/head.txt"_s), "<head>\n");
    makePage();

    act("CreateCodeSnippetButton")->trigger();
    auto *dialog = modal<TMnuCodeSnippet>();
    ASSERT_NE(dialog, nullptr);
    MessageService::queueAnswer(DialogAnswer::file(dir.filePath(u"parts/head.txt"_s)));
    button(dialog, "ImportPart1Button")->click();
    EXPECT_EQ(dialog->part1Edit()->toPlainText(), u"<head>\n"_s);
    EXPECT_EQ(gDir.CodeSnippets, dir.filePath(u"parts"_s));
    const QList<RecordedDialog> shown = MessageService::takeRecorded();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(MessageService::qtFilter(shown.first().filters), u"Text Files (*.txt);;All Files (*.*) (*)"_s);
    button(dialog, "CancelButton")->click();
    EXPECT_EQ(modal<TMnuCodeSnippet>(), nullptr);

    MessageService::queueAnswer(DialogAnswer::file(other));
    act("ImportCodeSnippetsButton")->trigger();
    EXPECT_EQ(recordedTexts().last(), u"1 code snippet(s) imported."_s);
    EXPECT_EQ(rows(), QStringList{u"Imported"_s});
    // A second import finds it there already.
    MessageService::queueAnswer(DialogAnswer::file(other));
    act("ImportCodeSnippetsButton")->trigger();
    EXPECT_EQ(recordedTexts().last(), u"0 code snippet(s) imported, 1 skipped: already in your code snippets."_s);
    EXPECT_EQ(rows(), QStringList{u"Imported"_s});

    const QString exported = dir.filePath(u"out/All.Dat"_s);
    QDir().mkpath(dir.filePath(u"out"_s));
    MessageService::queueAnswer(DialogAnswer::file(exported));
    act("ExportCodeSnippetsButton")->trigger();
    recordedTexts();
    EXPECT_EQ(readFile(exported), readFile(snippetsFile()));
}

TEST_F(ScriptsWindows, EditorMenuOffersElevenDateStampsOfTheMomentItOpened)
{
    makeWindow();
    newDocument(QString());
    QMenu *stamps = window->editorMenu()->findChild<QMenu *>(u"DateTimestamp1"_s);
    ASSERT_NE(stamps, nullptr);
    EXPECT_EQ(stamps->title(), u"Date/Time stamp"_s);
    emit window->editorMenu()->aboutToShow();
    ASSERT_EQ(stamps->actions().size(), 11);
    const QString shown = stamps->actions().at(5)->text();
    EXPECT_TRUE(shown.contains(u" at "_s));
    QTest::qWait(1100);  // the time the item is chosen does not matter
    stamps->actions().at(5)->trigger();
    EXPECT_EQ(buffer()->text(), shown);
}

} // namespace
} // namespace Quorvant
