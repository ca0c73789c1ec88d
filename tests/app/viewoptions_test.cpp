// View options, full-screen mode and the preview, driven through the real
// main window.
#include "subsystems.h"
#include "browserpage.h"
#include "datafolder.h"
#include "documentset.h"
#include "editorenvironment.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "scintillawidget.h"
#include "setuptools.h"
#include "tdcmemo.h"
#include "tmemosource.h"

#include <Qsci/qscilexer.h>

#include <QAction>
#include <QTabBar>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWebEngineView>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

class ViewOptionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        DataFolder::setPath(m_dir.filePath(QStringLiteral("data")));
        QDir().mkpath(DataFolder::path());
        resetAppGlobals();
        MessageService::setTestHookEnabled(true);
        MessageService::resetTestHook();
    }
    void TearDown() override
    {
        for (TMemoSource *b : std::as_const(gMemoData))
            b->setModified(false);
        m_window.reset();
        gSetupTools = nullptr;
        MessageService::resetTestHook();
    }

    void writeMainIni(const QByteArray &content)
    {
        QFile f(DataFolder::file(QStringLiteral("Main.INI")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[GENERAL]\r\nFIRSTRUN=0\r\n" + content);
    }
    // The main window as start-up leaves it: settings loaded and applied.
    void open()
    {
        m_window = std::make_unique<TForm1>();
        installSubsystems(*m_window);
        m_window->show();
        m_window->FormShow();
        MessageService::takeRecorded();
    }
    QAction *action(const char *name) const { return m_window->action(QLatin1String(name)); }
    QToolButton *button(const char *name) const { return m_window->findChild<QToolButton *>(QLatin1String(name)); }
    bool stored(const char *section, const char *key, bool def) const
    {
        bool a = def, b = def, c = def, d = def, e = def, f = def, g = def;
        const QString k = QLatin1String(key);
        if (QLatin1String(section) == QLatin1String("OPTIONS2")) {
            gSetupTools->LoadFormViewStates2(a, b, c, d);
            return k == QLatin1String("LINENUMBERS") ? a : k == QLatin1String("WORDWRAP") ? b : k == QLatin1String("TAG-COMPLETION") ? c : d;
        }
        gSetupTools->LoadMainFormViewState(a, b, c, d, e, f, g);
        const char *names[] = {"PURETAGS", "LARGEBUTTONBAR", "CONTROLBAR", "SIDEBAR", "COLORBAR", "GUTTER", "CHARACTERLIST"};
        const bool v[] = {a, b, c, d, e, f, g};
        for (int i = 0; i < 7; ++i)
            if (k == QLatin1String(names[i]))
                return v[i];
        return def;
    }
    QWidget *region(const char *name) const { return m_window->findChild<QWidget *>(QLatin1String(name)); }

    QTemporaryDir m_dir;
    std::unique_ptr<TForm1> m_window;
};

} // namespace

TEST_F(ViewOptionsTest, TheStoredViewIsAppliedAtStartAndToggledStatesAreStored)
{
    writeMainIni("[MainForm]\r\nCOLORBAR=0\r\nCHARACTERLIST=1\r\n[OPTIONS2]\r\nLINENUMBERS=1\r\nWORDWRAP=1\r\n");
    open();
    EXPECT_TRUE(region("ColorBar")->isHidden());
    EXPECT_FALSE(action("ColorBar1")->isChecked());
    EXPECT_FALSE(region("SpecialCharacterList")->isHidden());
    EXPECT_TRUE(region("PureTagBars")->isHidden()) << "pure tag bars default to hidden";
    EXPECT_TRUE(button("SpeedButton2")->isChecked());
    EXPECT_TRUE(m_window->DCMemo1()->options() & moLineNumbers);
    EXPECT_TRUE(action("WordWrap1")->isChecked());
    EXPECT_TRUE(button("SpeedButton9")->isChecked()) << "tag completion defaults to on";

    action("Sidebar1")->trigger();
    EXPECT_TRUE(region("Sidebar")->isHidden());
    EXPECT_FALSE(stored("MAINFORM", "SIDEBAR", true));
    button("SpecialCharactersCloseButton")->click();
    EXPECT_TRUE(region("SpecialCharacterList")->isHidden());
    EXPECT_FALSE(action("SpecialCharactersList1")->isChecked());
    EXPECT_FALSE(stored("MAINFORM", "CHARACTERLIST", true));
    action("SpecialCharactersList1")->trigger();
    EXPECT_FALSE(region("SpecialCharacterList")->isHidden());
    EXPECT_TRUE(stored("MAINFORM", "CHARACTERLIST", false));

    // The Edit menu's Word Wrap moves the toolbar button with it.
    action("WordWrap1")->trigger();
    EXPECT_FALSE(button("SpeedButton6")->isChecked());
    EXPECT_FALSE(m_window->DCMemo1()->wordWrap());
    EXPECT_FALSE(stored("OPTIONS2", "WORDWRAP", true));

    // The tag completion button leaves the line numbers alone.
    button("SpeedButton9")->click();
    EXPECT_FALSE(stored("OPTIONS2", "TAG-COMPLETION", true));
    EXPECT_TRUE(button("SpeedButton2")->isChecked());
    EXPECT_TRUE(stored("OPTIONS2", "LINENUMBERS", false));
}

TEST_F(ViewOptionsTest, FullScreenHidesTheBarsAndLeavingRestoresTheStoredView)
{
    writeMainIni("[MAINFORM]\r\nCOLORBAR=0\r\n");
    open();
    action("FullScreenMode1")->trigger();
    EXPECT_TRUE(action("FullScreenMode1")->isChecked());
    EXPECT_TRUE(button("SpeedButton3")->isChecked());
    for (const char *name : {"BigButtonBar", "ControlBar", "Sidebar", "ColorBar"})
        EXPECT_TRUE(region(name)->isHidden()) << name;
    EXPECT_FALSE(m_window->DCMemo1()->options() & moDrawGutter);
    EXPECT_TRUE(stored("MAINFORM", "SIDEBAR", false)) << "the keys hold the view from before";

    button("SpeedButton3")->click();
    EXPECT_FALSE(action("FullScreenMode1")->isChecked());
    EXPECT_FALSE(region("Sidebar")->isHidden());
    EXPECT_FALSE(region("BigButtonBar")->isHidden());
    EXPECT_TRUE(region("ColorBar")->isHidden()) << "a bar hidden before stays hidden";
    EXPECT_TRUE(m_window->DCMemo1()->options() & moDrawGutter);
}

TEST_F(ViewOptionsTest, BookmarkShowsTheGutterAndSyntaxModeReachesEveryDocument)
{
    writeMainIni("[MAINFORM]\r\nGUTTER=0\r\n");
    open();
    for (int i = 0; i < 3; ++i)
        m_window->documents()->blankDocument();
    EXPECT_FALSE(m_window->DCMemo1()->options() & moDrawGutter);
    m_window->toggleBookmark(1);
    EXPECT_TRUE(m_window->DCMemo1()->options() & moDrawGutter);
    EXPECT_TRUE(stored("MAINFORM", "GUTTER", false));
    EXPECT_EQ(m_window->documents()->currentBuffer()->bookmarkLine(1), 0);

    action("JavaScript1")->trigger();
    for (TMemoSource *b : std::as_const(gMemoData))
        EXPECT_EQ(b->syntaxParser(), SyntaxParser::JavaScript);
    m_window->documents()->blankDocument();
    EXPECT_EQ(m_window->documents()->currentBuffer()->syntaxParser(), SyntaxParser::JavaScript);
    EXPECT_EQ(gSetupTools->LoadParserNumber(), 3);
}

TEST_F(ViewOptionsTest, BookmarkAndHiddenCharacterMarksFollowTheirState)
{
    writeMainIni("");
    open();
    m_window->documents()->blankDocument();
    m_window->DCMemo1()->setText(QStringLiteral("one\r\ntwo\r\nthree"));
    QAction *mark1 = action("BookMarkM1");
    QAction *mark2 = action("BookmarkM2");
    ASSERT_TRUE(mark1 && mark2);

    mark1->trigger();
    EXPECT_TRUE(mark1->isChecked()) << "set from the bookmark menu";
    EXPECT_EQ(m_window->documents()->currentBuffer()->bookmarkLine(1), 0);
    mark1->trigger();
    EXPECT_FALSE(mark1->isChecked()) << "removed again";
    EXPECT_EQ(m_window->documents()->currentBuffer()->bookmarkLine(1), -1);

    // Set from the editor pop-up's own items; the mark shows it.
    QMenu *editorToggles = nullptr;
    for (QAction *a : m_window->editorMenu()->actions()) {
        if (a->menu() && a->text() == QStringLiteral("Toggle Bookmark"))
            editorToggles = a->menu();
    }
    ASSERT_NE(editorToggles, nullptr);
    editorToggles->actions().at(1)->trigger();
    EXPECT_TRUE(mark2->isChecked());
    // Moving a bookmark to another line keeps it set.
    m_window->DCMemo1()->setCaretPoint({0, 2});
    mark2->trigger();
    EXPECT_TRUE(mark2->isChecked());
    EXPECT_EQ(m_window->documents()->currentBuffer()->bookmarkLine(2), 2);

    // The marks show the bookmarks of the document on view.
    m_window->documents()->blankDocument();
    EXPECT_FALSE(mark2->isChecked());
    m_window->PageSelector()->setCurrentIndex(0);
    EXPECT_TRUE(mark2->isChecked());

    // Hidden characters, from the pop-up and from the toolbar button.
    QAction *showAll = action("Showallcharacters1");
    QToolButton *hidden = button("SpeedButton5");
    ASSERT_TRUE(showAll->isCheckable());
    showAll->trigger();
    EXPECT_TRUE(showAll->isChecked());
    EXPECT_TRUE(hidden->isChecked());
    EXPECT_TRUE(m_window->DCMemo1()->options() & moDrawSpecialSymbols);
    hidden->click();
    EXPECT_FALSE(showAll->isChecked());
    EXPECT_FALSE(m_window->DCMemo1()->options() & moDrawSpecialSymbols);
    hidden->click();
    EXPECT_TRUE(showAll->isChecked());
    showAll->trigger();
    EXPECT_FALSE(showAll->isChecked());
    EXPECT_FALSE(hidden->isChecked());
    EXPECT_FALSE(m_window->DCMemo1()->options() & moDrawSpecialSymbols);
}

TEST_F(ViewOptionsTest, AStoredSyntaxModeOutOfRangeChecksNoMode)
{
    struct Case
    {
        const char *stored;
        const char *checked;  // nullptr: no mode item checked
        int storedAfter;
    };
    const Case cases[] = {
        {"12", nullptr, 12},
        {"10", nullptr, 10},
        {"-2", nullptr, -2},
        {"-1", "HTML3", 0},
        {"3", "JavaScript1", 3},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stored);
        writeMainIni("[PARSER]\r\nSELECTED=" + QByteArray(c.stored) + "\r\n");
        open();
        const auto checkedModes = [this] {
            QStringList names;
            for (QAction *a : m_window->menu(QStringLiteral("Parser1"))->actions()) {
                if (a->isChecked())
                    names.append(a->objectName());
            }
            return names;
        };
        const QStringList expected = c.checked ? QStringList{QLatin1String(c.checked)} : QStringList();
        EXPECT_EQ(checkedModes(), expected);
        // New documents change nothing about it.
        m_window->documents()->blankDocument();
        m_window->documents()->blankDocument();
        EXPECT_EQ(checkedModes(), expected);
        EXPECT_EQ(m_window->appliedSyntaxMode().has_value(), c.checked != nullptr);
        EXPECT_EQ(gSetupTools->LoadParserNumber(), c.storedAfter);
        for (TMemoSource *b : std::as_const(gMemoData))
            b->setModified(false);
        m_window.reset();
        gSetupTools = nullptr;
    }
}

TEST_F(ViewOptionsTest, ResetEditorDefaultsDeletesMainIni)
{
    writeMainIni("[PARSER]\r\nSELECTED=5\r\n");
    open();
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    action("ResetEditorSettingsToDefault1")->trigger();
    EXPECT_TRUE(QFile::exists(DataFolder::file(QStringLiteral("Main.INI"))));
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    action("ResetEditorSettingsToDefault1")->trigger();
    EXPECT_FALSE(QFile::exists(DataFolder::file(QStringLiteral("Main.INI"))));
    QStringList texts;
    for (const RecordedDialog &r : MessageService::takeRecorded())
        texts.append(r.text);
    EXPECT_EQ(texts.value(0), QStringLiteral("Are you sure you want to reset all of the settings of Quorvant to their defaults on install?."));
    EXPECT_EQ(texts.value(2), QStringLiteral("Please reload Quorvant for the changes to take effect."));
}

TEST_F(ViewOptionsTest, PreviewFilesAreWrittenBesideTheDocumentUnderTheirOwnName)
{
    writeMainIni("");
    open();
    m_window->documents()->blankDocument();
    m_window->DCMemo1()->setText(QStringLiteral("<title>T</title><p>untitled</p>"));
    EXPECT_EQ(m_window->previewFileName(), DataFolder::file(QStringLiteral("Preview.Htm")));
    m_window->tabholder()->setCurrentIndex(1);
    QFile untitled(DataFolder::file(QStringLiteral("Preview.Htm")));
    ASSERT_TRUE(untitled.open(QIODevice::ReadOnly));
    EXPECT_EQ(untitled.readAll(), "<title>T</title><p>untitled</p>");
    EXPECT_TRUE(gDocumentModified) << "writing the preview is not a save";

    // A document named Preview.htm previews through Prev.Htm beside it.
    const QString folder = m_dir.filePath(QStringLiteral("site with blanks"));
    QDir().mkpath(folder);
    const QString own = folder + QStringLiteral("/Preview.htm");
    QFile(own).open(QIODevice::WriteOnly);
    ASSERT_TRUE(m_window->documents()->OpenFile(own));
    m_window->DCMemo1()->setText(QStringLiteral("changed"));
    EXPECT_EQ(m_window->previewFileName(), folder + QStringLiteral("/Prev.Htm"));

    // F11 writes and shows the preview; pressed again on the preview page it writes nothing.
    m_window->tabholder()->setCurrentIndex(0);
    m_window->previewByKey();
    EXPECT_EQ(m_window->tabholder()->currentIndex(), 1);
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/Prev.Htm")));
    QFile::remove(folder + QStringLiteral("/Prev.Htm"));
    m_window->previewByKey();
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/Prev.Htm")));
    QFile ownFile(own);
    ASSERT_TRUE(ownFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ownFile.readAll().isEmpty()) << "the document's own file is not touched";

    // External browsers get the preview file as one argument, blanks and all.
    QList<QStringList> launched;
    gSetupTools->setLauncher([&launched](const QString &program, const QString &argument) { launched.append({program, argument}); });
    QFile browsers(TSetupTools::browsersIniPath());
    ASSERT_TRUE(browsers.open(QIODevice::WriteOnly));
    browsers.write("My Browser=/opt/my browser/run\r\n");
    browsers.close();
    m_window->rebuildPreviewInBrowser(gSetupTools->LoadBrowsers());
    QMenu *menu = m_window->menu(QStringLiteral("PreviewinBrowser1"));
    ASSERT_EQ(menu->actions().size(), 1);
    Q_EMIT menu->aboutToShow();
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/Prev.Htm")));
    menu->actions()[0]->trigger();
    ASSERT_EQ(launched.size(), 1);
    EXPECT_EQ(launched[0], QStringList({QStringLiteral("/opt/my browser/run"), folder + QStringLiteral("/Prev.Htm")}));
}

TEST_F(ViewOptionsTest, ThePreviewNeverOverwritesAUsersFileAndGoesWithItsDocument)
{
    writeMainIni("");
    open();
    const QString folder = m_dir.filePath(QStringLiteral("site"));
    QDir().mkpath(folder);
    const auto write = [](const QString &path, const QByteArray &bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    const auto read = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    };
    const QString users = folder + QStringLiteral("/Preview.Htm");
    write(users, "the user's own page");
    write(folder + QStringLiteral("/index.htm"), "<p>page</p>");
    ASSERT_TRUE(m_window->documents()->OpenFile(folder + QStringLiteral("/index.htm")));
    m_window->previewByKey();
    EXPECT_EQ(read(users), "the user's own page");
    const QString preview = m_window->previewFileName();
    EXPECT_EQ(preview, folder + QStringLiteral("/Preview-1.Htm"));
    EXPECT_EQ(read(preview), "<p>page</p>");
    m_window->tabholder()->setCurrentIndex(0);
    m_window->previewByKey();
    EXPECT_EQ(m_window->previewFileName(), preview) << "the same document keeps its preview file";

    m_window->documents()->close();
    EXPECT_FALSE(QFile::exists(preview)) << "the preview goes with its document";
    EXPECT_EQ(read(users), "the user's own page");

    m_window->documents()->blankDocument();
    m_window->DCMemo1()->setText(QStringLiteral("<p>untitled</p>"));
    m_window->tabholder()->setCurrentIndex(0);
    m_window->tabholder()->setCurrentIndex(1);
    const QString untitled = DataFolder::file(QStringLiteral("Preview.Htm"));
    EXPECT_TRUE(QFile::exists(untitled));
    for (TMemoSource *b : std::as_const(gMemoData))
        b->setModified(false);
    m_window.reset();
    EXPECT_FALSE(QFile::exists(untitled)) << "and with the window";
    EXPECT_EQ(read(users), "the user's own page");
}

TEST_F(ViewOptionsTest, BookmarksAreNumberedBadgesThatFitTheGutter)
{
    writeMainIni("");
    open();
    m_window->documents()->blankDocument();
    QsciScintilla *w = m_window->DCMemo1()->widget();
    for (int n = 1; n <= 9; ++n)
        EXPECT_EQ(w->SendScintilla(QsciScintillaBase::SCI_MARKERSYMBOLDEFINED, n), long(QsciScintillaBase::SC_MARK_RGBAIMAGE)) << n;
    m_window->toggleBookmark(1);
    EXPECT_GE(w->marginWidth(1), 13) << "the gutter is wide enough for a badge";
}

TEST_F(ViewOptionsTest, EverySidebarPageIsReachableAtTheDefaultSize)
{
    writeMainIni("");
    open();
    m_window->resize(1280, 800);
    QTabWidget *sidebar = m_window->sidebar();
    QTabBar *bar = sidebar->tabBar();
    QApplication::processEvents();
    ASSERT_EQ(bar->count(), 7);
    for (int i = 0; i < bar->count(); ++i)
        EXPECT_TRUE(bar->rect().contains(bar->tabRect(i))) << bar->tabText(i).toStdString();
}

TEST_F(ViewOptionsTest, ADarkBackgroundLightensTheSyntaxColours)
{
    writeMainIni("");
    open();
    m_window->documents()->blankDocument();
    QsciScintilla *w = m_window->DCMemo1()->widget();
    ASSERT_NE(w->lexer(), nullptr);
    EditorEnvironment env;
    env.paper = QColor(0x1E, 0x1F, 0x22);
    env.text = QColor(0xD8, 0xDE, 0xE9);
    m_window->DCMemo1()->applyEnvironment(env);
    int checked = 0;
    for (int style = 0; style < 128; ++style) {
        if (w->lexer()->description(style).isEmpty())
            continue;
        ++checked;
        EXPECT_FALSE(EditorEnvironment::tooClose(w->lexer()->color(style), env.paper)) << style;
    }
    EXPECT_GT(checked, 5);
    m_window->DCMemo1()->applyEnvironment(EditorEnvironment());
    EXPECT_EQ(w->lexer()->color(1), w->lexer()->defaultColor(1)) << "light paper brings the usual colours back";
}

TEST_F(ViewOptionsTest, ThePreviewBrowserIsCreatedWhenFirstShownAndShowsThePage)
{
    writeMainIni("");
    open();
    TBrowserPage *preview = m_window->previewPage();
    EXPECT_EQ(preview->browser(), nullptr) << "no browser before the page is shown";
    m_window->documents()->blankDocument();
    m_window->DCMemo1()->setText(QStringLiteral("<html><head><title>Hello preview</title></head><body>x</body></html>"));
    m_window->tabholder()->setCurrentIndex(1);
    auto *browser = qobject_cast<QWebEngineView *>(preview->browser());
    ASSERT_NE(browser, nullptr) << qPrintable(preview->browserError());
    QSignalSpy loaded(browser, &QWebEngineView::loadFinished);
    ASSERT_TRUE(loaded.wait(30000));
    EXPECT_TRUE(loaded.first().first().toBool());
    QTRY_COMPARE_WITH_TIMEOUT(preview->titleLabel()->text(), QStringLiteral("Hello preview"), 10000);

    // A fixed resolution gives the browser that size inside the scroll box.
    preview->resolutionMenu()->actions().at(2)->trigger();
    EXPECT_EQ(preview->browser()->parentWidget()->size(), QSize(800, 600));
    preview->resolutionMenu()->actions().at(0)->trigger();
    EXPECT_EQ(preview->resolution(), 0);
}
