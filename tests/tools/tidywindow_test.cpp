// The HTML Tidy commands driven through the real main window, offscreen.
#include "mainwindowtest.h"
#include "appglobals.h"
#include "subsystems.h"
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "mnuhtmltidy.h"
#include "mnuquickview.h"
#include "scintillawidget.h"
#include "tdcmemo.h"
#include "tidycommands.h"
#include "tidyconfig.h"
#include "tidymarks.h"
#include "tmemosource.h"
#include "tooltexts.h"
#include "validatecommand.h"
#include "w3cvalidator.h"
#include "toolstestsupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QTabBar>
#include <QTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

const QString FaultyPage = QStringLiteral(
    "<html><head><title>t</title></head>\r\n"
    "<body>\r\n"
    "<p>hello <b>bold\r\n"
    "<img src=\"a.gif\">\r\n"
    "</body></html>\r\n");

class TidyWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        DataFolder::setPath(m_dir.filePath(QStringLiteral("data")));
        QDir().mkpath(tidyFolder());
        resetAppGlobals();
        m_window = Quorvant::Test::openMainWindow();
        tidy = m_window->findChild<TTidyCommands *>(QStringLiteral("TidyCommands"));
        ASSERT_NE(tidy, nullptr);
        m_window->documents()->blankDocument();
        buffer = m_window->documents()->currentBuffer();
        ASSERT_NE(buffer, nullptr);
        buffer->setText(FaultyPage);
        buffer->setModified(false);
        gDocumentModified = false;
    }

    void TearDown() override
    {
        if (tidy)
            tidy->run()->cancel();
        for (TMemoSource *b : std::as_const(gMemoData))
            b->setModified(false);
        m_window.reset();
        EXPECT_EQ(MessageService::pendingAnswers(), 0) << "answers queued but never asked for";
        MessageService::resetTestHook();
    }

    QString tidyFolder() const { return m_dir.filePath(QStringLiteral("data/Tidy")); }
    QString tidyFile(const char *name) const { return QDir(tidyFolder()).filePath(QLatin1String(name)); }

    void trigger(const char *name)
    {
        QAction *a = m_window->action(QLatin1String(name));
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }
    // Waits for the report viewer of a run.
    TMnuQuickView *waitForViewer()
    {
        TMnuQuickView *viewer = nullptr;
        for (int i = 0; i < 300 && !viewer; ++i) {
            QTest::qWait(50);
            viewer = m_window->findChild<TMnuQuickView *>(QStringLiteral("MnuQuickView"));
        }
        return viewer;
    }
    // Closes the viewer with its Done button and lets it go.
    void done(TMnuQuickView *viewer)
    {
        QPointer<TMnuQuickView> guard(viewer);
        QTest::mouseClick(viewer->doneButton(), Qt::LeftButton);
        QTRY_VERIFY(guard.isNull());
    }
    QStringList messageTexts()
    {
        QStringList out;
        for (const RecordedDialog &d : MessageService::takeRecorded())
            out.append(d.text);
        return out;
    }
    void useRealTool()
    {
        if (ToolsTest::realTidy().isEmpty())
            GTEST_SKIP() << "tidy is not installed";
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TForm1> m_window;
    TTidyCommands *tidy = nullptr;
    TMemoSource *buffer = nullptr;
};

} // namespace

TEST_F(TidyWindowTest, CommandsAreInTheMenus)
{
    QMenu *quick = m_window->menu(QStringLiteral("HTMLTidytools1"));
    ASSERT_NE(quick, nullptr);
    QStringList captions;
    for (QAction *a : quick->actions())
        captions.append(a->text());
    EXPECT_EQ(captions.mid(0, 2), (QStringList{QStringLiteral("Apply source formatting"), QStringLiteral("Convert to XML")}));
    EXPECT_EQ(m_window->action(QStringLiteral("HTMLTidyFixandFormat1"))->text(), QStringLiteral("HTML Tidy - Fix and Format"));
    EXPECT_TRUE(m_window->editorMenu()->actions().contains(m_window->action(QStringLiteral("Checkmyhtmlcode1"))));
    EXPECT_TRUE(m_window->menu(QStringLiteral("Edit1"))->actions().contains(m_window->action(QStringLiteral("ViewCurrentClipboard1"))));
}

TEST_F(TidyWindowTest, SettingsDialogWritesEveryChangeAtOnce)
{
    trigger("HTMLTidyFixandFormat1");
    auto *dialog = m_window->findChild<TMnuHTMLTidy *>(QStringLiteral("MnuHTMLTidy"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QLatin1String(TidyDialogCaption));
    // No saved settings yet.
    EXPECT_EQ(messageTexts(), QStringList{QLatin1String(MsgTidySettingsMissing)});
    EXPECT_FALSE(QFile::exists(tidyFile("Tidy.Cfg")));

    dialog->findChild<QCheckBox *>(QStringLiteral("UppercaseTags"))->click();
    QStringList lines = ToolsTest::readLines(tidyFile("Tidy.Cfg"));
    ASSERT_EQ(lines.size(), 29);
    EXPECT_EQ(lines.at(12), QStringLiteral("uppercase-tags: yes"));
    dialog->findChild<QRadioButton *>(QStringLiteral("DoctypeStrict"))->click();
    EXPECT_EQ(ToolsTest::readLines(tidyFile("Tidy.Cfg")).at(6), QStringLiteral("doctype: strict"));
    dialog->findChild<QRadioButton *>(QStringLiteral("Encodingutf8"))->click();
    EXPECT_EQ(ToolsTest::readLines(tidyFile("Tidy.Cfg")).at(22), QStringLiteral("char-encoding: utf8"));
    dialog->findChild<QSpinBox *>(QStringLiteral("Wrapat"))->setValue(-5);
    EXPECT_EQ(ToolsTest::readLines(tidyFile("Tidy.Cfg")).at(16), QStringLiteral("wrap: -5"));
    dialog->findChild<QPushButton *>(QStringLiteral("CancelButton"))->click();
    QTRY_VERIFY(m_window->findChild<TMnuHTMLTidy *>() == nullptr);
}

TEST_F(TidyWindowTest, DialogReadsSavedSettingsByPositionAndRewritesThem)
{
    QStringList lines = TTidyConfig().lines().mid(0, 20);
    lines[6] = QStringLiteral("doctype: STRICT");
    lines[0] = QStringLiteral("tidy-mark: true");
    lines[12] = QStringLiteral("uppercase-tags: YES");
    ToolsTest::writeFile(tidyFile("tidy.cfg"), lines.join(QLatin1String("\n")).toUtf8());
    trigger("HTMLTidyFixandFormat1");
    auto *dialog = m_window->findChild<TMnuHTMLTidy *>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(messageTexts().isEmpty());
    EXPECT_TRUE(dialog->findChild<QRadioButton *>(QStringLiteral("DoctypeStrict"))->isChecked());
    EXPECT_FALSE(dialog->findChild<QCheckBox *>(QStringLiteral("TidyMark"))->isChecked());
    EXPECT_TRUE(dialog->findChild<QCheckBox *>(QStringLiteral("UppercaseTags"))->isChecked());
    // Rewritten in full under its one spelling; the missing lines took the defaults.
    EXPECT_FALSE(QFile::exists(tidyFile("Tidy.Cfg")));
    TTidyConfig expected;
    expected.Doctype = TidyDoctype::Strict;
    expected.UppercaseTags = true;
    EXPECT_EQ(ToolsTest::readLines(tidyFile("tidy.cfg")), expected.lines());
    dialog->reject();
}

TEST_F(TidyWindowTest, ResetToDefaults)
{
    trigger("HTMLTidyFixandFormat1");
    auto *dialog = m_window->findChild<TMnuHTMLTidy *>();
    ASSERT_NE(dialog, nullptr);
    messageTexts();
    dialog->findChild<QCheckBox *>(QStringLiteral("UppercaseTags"))->click();
    dialog->findChild<QPushButton *>(QStringLiteral("ResetToDefaultsButton"))->click();
    EXPECT_EQ(messageTexts(), QStringList{QLatin1String(MsgNoDefaultConfig)});
    EXPECT_TRUE(dialog->findChild<QCheckBox *>(QStringLiteral("UppercaseTags"))->isChecked());

    QFile::copy(QStringLiteral(QUORVANT_SOURCE_DATA_DIR "/Tidy/Default.Cfg"), tidyFile("Default.Cfg"));
    dialog->findChild<QPushButton *>(QStringLiteral("ResetToDefaultsButton"))->click();
    EXPECT_EQ(messageTexts(), QStringList{QLatin1String(MsgSettingsReset)});
    EXPECT_FALSE(dialog->findChild<QCheckBox *>(QStringLiteral("UppercaseTags"))->isChecked());
    EXPECT_EQ(ToolsTest::readLines(tidyFile("Tidy.Cfg")), TTidyConfig().lines());
    dialog->reject();
}

TEST_F(TidyWindowTest, RunButtonShowsTheReportMarksItAndKeepsTheResultAsOneUndoStep)
{
    useRealTool();
    trigger("HTMLTidyFixandFormat1");
    auto *dialog = m_window->findChild<TMnuHTMLTidy *>();
    ASSERT_NE(dialog, nullptr);
    messageTexts();
    QTest::mouseClick(dialog->runButton(), Qt::LeftButton);
    TMnuQuickView *viewer = waitForViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(m_window->findChild<TMnuHTMLTidy *>(), nullptr);
    EXPECT_EQ(viewer->windowTitle(), QLatin1String(QuickViewCaption));
    EXPECT_TRUE(viewer->text().contains(QLatin1String("line 4 column 1 - Warning: <img> lacks \"alt\" attribute")));
    EXPECT_TRUE(viewer->Tidy);
    // The report's lines are marked; the document is untouched so far.
    const QList<TTidyMarks::Mark> marks = tidy->marks()->marks(buffer);
    ASSERT_FALSE(marks.isEmpty());
    EXPECT_EQ(tidy->marks()->messagesAt(buffer, 3),
              QStringList{QStringLiteral("line 4 column 1 - Warning: <img> lacks \"alt\" attribute")});
    EXPECT_EQ(buffer->text(), FaultyPage);

    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    done(viewer);
    const QList<RecordedDialog> asked = MessageService::takeRecorded();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked.first().text, QLatin1String(MsgKeepTidyChanges));
    EXPECT_EQ(asked.first().icon, MessageIcon::Information);
    EXPECT_EQ(asked.first().buttons, YesNo);
    const QString tidied = buffer->text();
    EXPECT_TRUE(tidied.contains(QLatin1String("<b>bold")));
    EXPECT_TRUE(tidied.contains(QLatin1String("</b>")));
    EXPECT_NE(tidied, FaultyPage);
    EXPECT_TRUE(buffer->isModified());
    EXPECT_TRUE(gDocumentModified);
    // Replacing the text took the marks with it.
    QCoreApplication::processEvents();
    EXPECT_TRUE(tidy->marks()->marks(buffer).isEmpty());
    buffer->undo();
    EXPECT_EQ(buffer->text(), FaultyPage);
}

TEST_F(TidyWindowTest, AnsweringNoLeavesTheDocumentAndTheTidiedPage)
{
    useRealTool();
    trigger("Applysourceformatting1");
    TMnuQuickView *viewer = waitForViewer();
    ASSERT_NE(viewer, nullptr);
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    done(viewer);
    EXPECT_EQ(messageTexts(), QStringList{QLatin1String(MsgKeepTidyChanges)});
    EXPECT_EQ(buffer->text(), FaultyPage);
    EXPECT_FALSE(buffer->isModified());
    EXPECT_TRUE(QString::fromUtf8(ToolsTest::readFile(tidyFile("temp.htm"))).contains(QLatin1String("</b>")));
    // The quick command made the settings from the defaults, as the dialog would.
    EXPECT_EQ(ToolsTest::readLines(tidyFile("Tidy.Cfg")), TTidyConfig().lines());
}

TEST_F(TidyWindowTest, QuickCommandsRunWithTheSavedSettingsAndTheirArguments)
{
    TTidyConfig saved;
    saved.UppercaseTags = true;
    ASSERT_TRUE(saved.save(tidyFile("Tidy.Cfg")));
    const QByteArray before = ToolsTest::readFile(tidyFile("Tidy.Cfg"));
    ToolsTest::writeFakeTool(tidyFolder(), "echo \"$@\" > args.log; exit 0");
    struct Case { const char *action; const char *args; };
    // No encoding chosen: the document's (a new one is UTF-8) is named after the configuration.
    for (const Case c : {Case{"Applysourceformatting1", "-config Tidy.Cfg --char-encoding utf8 --preserve-entities yes -i -m temp.htm"},
                         Case{"ConverttoXML1", "-config Tidy.Cfg --char-encoding utf8 --preserve-entities yes -i -asxml -m temp.htm"}}) {
        trigger(c.action);
        EXPECT_EQ(m_window->findChild<TMnuHTMLTidy *>(), nullptr);
        TMnuQuickView *viewer = waitForViewer();
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(ToolsTest::readFile(tidyFile("args.log")).trimmed(), QByteArray(c.args));
        EXPECT_EQ(viewer->text(), QLatin1String(MsgTidyReportMissing));
        MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
        done(viewer);
        messageTexts();
    }
    EXPECT_EQ(ToolsTest::readFile(tidyFile("Tidy.Cfg")), before);
}

TEST_F(TidyWindowTest, MissingToolNamesBothPlaces)
{
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", m_dir.path().toUtf8());
    trigger("Applysourceformatting1");
    qputenv("PATH", path);
    const QStringList texts = messageTexts();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts.first().startsWith(QLatin1String(MsgTidyNotFound) + tidyFolder())) << texts.first().toStdString();
    EXPECT_TRUE(texts.first().contains(QLatin1String("PATH")));
    EXPECT_FALSE(tidy->run()->isRunning());
}

TEST_F(TidyWindowTest, RunsInTheBackgroundAndStopsAToolThatHangs)
{
    ToolsTest::writeFakeTool(tidyFolder(), "exec sleep 20");
    tidy->run()->setTimeoutMs(800);
    QElapsedTimer clock;
    clock.start();
    trigger("Applysourceformatting1");
    // The command returns at once; the window goes on handling events.
    EXPECT_LT(clock.elapsed(), 500);
    EXPECT_TRUE(tidy->run()->isRunning());
    EXPECT_FALSE(m_window->action(QStringLiteral("ConverttoXML1"))->isEnabled());
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(20);
    QTRY_VERIFY_WITH_TIMEOUT(!tidy->run()->isRunning(), 10000);
    EXPECT_GT(ticks, 10);
    EXPECT_EQ(messageTexts(), QStringList{QLatin1String(MsgTidyTimedOut)});
    EXPECT_EQ(m_window->findChild<TMnuQuickView *>(), nullptr);
    EXPECT_TRUE(m_window->action(QStringLiteral("ConverttoXML1"))->isEnabled());
    EXPECT_EQ(buffer->text(), FaultyPage);
}

TEST_F(TidyWindowTest, ErrorsThatStopTheToolOfferNoResult)
{
    ToolsTest::writeFakeTool(tidyFolder(), "printf 'line 1 column 1 - Error: hopeless\\n' > error.dat; exit 2");
    ToolsTest::writeFile(tidyFile("TEMP.HTM"), "an old result");
    trigger("Applysourceformatting1");
    TMnuQuickView *viewer = waitForViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->text().contains(QLatin1String("hopeless")));
    EXPECT_FALSE(viewer->Tidy);
    done(viewer);
    EXPECT_TRUE(messageTexts().isEmpty());
    EXPECT_EQ(buffer->text(), FaultyPage);
}

TEST_F(TidyWindowTest, TheViewerShowsTheReportTheRunRead)
{
    // A report that is a FIFO is never opened: it would block the window.
    ToolsTest::writeFakeTool(tidyFolder(), "rm -f error.dat; mkfifo error.dat; echo 'no report today' >&2; exit 2");
    ToolsTest::FifoReleaser release({tidyFile("error.dat")});
    trigger("Applysourceformatting1");
    TMnuQuickView *viewer = waitForViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->text(), QStringLiteral("no report today"));
    EXPECT_EQ(release.releases(), 0) << "the report FIFO was opened";
    done(viewer);
    EXPECT_TRUE(messageTexts().isEmpty());
}

TEST_F(TidyWindowTest, MarksFollowTheirLinesGoWhenEditedAndOnTheNextRun)
{
    ToolsTest::writeFakeTool(tidyFolder(),
                             "printf 'line 2 column 1 - Warning: second\\nline 4 column 3 - Error: fourth\\nline 99 column 1 - Warning: beyond\\n' > error.dat; exit 1");
    trigger("Applysourceformatting1");
    TMnuQuickView *viewer = waitForViewer();
    ASSERT_NE(viewer, nullptr);
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    done(viewer);
    messageTexts();
    TTidyMarks *marks = tidy->marks();
    QList<TTidyMarks::Mark> m = marks->marks(buffer);
    ASSERT_EQ(m.size(), 2);
    EXPECT_EQ(m[0].line, 1);
    EXPECT_EQ(m[1].line, 3);
    EXPECT_TRUE(m[1].message.isError());
    ScintillaWidget *w = m_window->DCMemo1()->widget();
    EXPECT_EQ(w->marginWidth(TTidyMarks::Margin), TTidyMarks::MarginWidth);

    // The margin's tooltip at line 4.
    const int y = int(w->call(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0,
                              w->call(QsciScintillaBase::SCI_POSITIONFROMLINE, 3)));
    EXPECT_EQ(marks->toolTipAt(QPoint(2, y + 2)), QStringLiteral("line 4 column 3 - Error: fourth"));
    EXPECT_EQ(marks->toolTipAt(QPoint(w->width() / 2, y + 2)), QString());

    // The next mark, then round to the first.
    buffer->setCaretPoint({0, 0});
    trigger("NextTidyMark1");
    EXPECT_EQ(buffer->caretPoint().y, 1);
    trigger("NextTidyMark1");
    EXPECT_EQ(buffer->caretPoint().y, 3);
    trigger("NextTidyMark1");
    EXPECT_EQ(buffer->caretPoint().y, 1);

    // A line inserted above moves the marks; typing on a marked line removes its mark.
    buffer->setCaretPoint({0, 0});
    buffer->insertString(QStringLiteral("<!-- new -->\r\n"));
    QCoreApplication::processEvents();
    m = marks->marks(buffer);
    ASSERT_EQ(m.size(), 2);
    EXPECT_EQ(m[0].line, 2);
    EXPECT_EQ(m[1].line, 4);
    buffer->setCaretPoint({2, 4});
    buffer->insertString(QStringLiteral("x"));
    QCoreApplication::processEvents();
    m = marks->marks(buffer);
    ASSERT_EQ(m.size(), 1);
    EXPECT_EQ(m[0].line, 2);

    // Tidied again: the old marks go, and without a report none come back.
    ToolsTest::writeFakeTool(tidyFolder(), "exit 0");
    trigger("ConverttoXML1");
    EXPECT_TRUE(marks->marks(buffer).isEmpty());
    viewer = waitForViewer();
    ASSERT_NE(viewer, nullptr);
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    done(viewer);
    messageTexts();
    EXPECT_TRUE(marks->marks(buffer).isEmpty());
    EXPECT_EQ(w->marginWidth(TTidyMarks::Margin), 0);
}

TEST_F(TidyWindowTest, MarksStayWithTheirDocument)
{
    ToolsTest::writeFakeTool(tidyFolder(), "printf 'line 3 column 1 - Warning: third\\n' > error.dat; exit 1");
    trigger("Applysourceformatting1");
    TMnuQuickView *viewer = waitForViewer();
    ASSERT_NE(viewer, nullptr);
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    done(viewer);
    messageTexts();
    ScintillaWidget *w = m_window->DCMemo1()->widget();
    m_window->documents()->blankDocument();
    EXPECT_EQ(w->marginWidth(TTidyMarks::Margin), 0);
    m_window->PageSelector()->setCurrentIndex(0);
    QCoreApplication::processEvents();
    ASSERT_EQ(m_window->documents()->currentBuffer(), buffer);
    EXPECT_EQ(w->marginWidth(TTidyMarks::Margin), TTidyMarks::MarginWidth);
    ASSERT_EQ(tidy->marks()->marks(buffer).size(), 1);
    EXPECT_EQ(tidy->marks()->marks(buffer).first().line, 2);
}

TEST_F(TidyWindowTest, ViewCurrentClipboard)
{
    QApplication::clipboard()->setText(QStringLiteral("from the clipboard"));
    trigger("ViewCurrentClipboard1");
    auto *viewer = m_window->findChild<TMnuQuickView *>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->text(), QStringLiteral("from the clipboard"));
    EXPECT_FALSE(viewer->Tidy);
    done(viewer);
    EXPECT_TRUE(messageTexts().isEmpty());
}

TEST_F(TidyWindowTest, EditsWhileTheToolRunsDropItsResult)
{
    ToolsTest::writeFakeTool(tidyFolder(), "sleep 0.5; printf 'line 2 column 1 - Warning: w\\n' > error.dat; exit 1");
    trigger("Applysourceformatting1");
    ASSERT_TRUE(tidy->run()->isRunning());
    buffer->setCaretPoint({0, 1});
    buffer->insertString(QStringLiteral("typed meanwhile "));
    QTRY_VERIFY_WITH_TIMEOUT(!tidy->run()->isRunning(), 10000);
    EXPECT_EQ(messageTexts(), QStringList{QLatin1String(MsgTidyDocumentEdited)});
    EXPECT_EQ(m_window->findChild<TMnuQuickView *>(), nullptr);
    EXPECT_TRUE(tidy->marks()->marks(buffer).isEmpty());
    EXPECT_TRUE(buffer->text().contains(QLatin1String("typed meanwhile")));
}

TEST_F(TidyWindowTest, ClosingTheDocumentWhileTheToolRunsShowsNothing)
{
    ToolsTest::writeFakeTool(tidyFolder(), "sleep 0.5; printf 'line 2 column 1 - Warning: w\\n' > error.dat; exit 1");
    trigger("Applysourceformatting1");
    ASSERT_TRUE(tidy->run()->isRunning());
    m_window->documents()->close();
    QTRY_VERIFY_WITH_TIMEOUT(!tidy->run()->isRunning(), 10000);
    QTest::qWait(50);
    EXPECT_EQ(m_window->findChild<TMnuQuickView *>(), nullptr);
    EXPECT_TRUE(messageTexts().isEmpty());
}

namespace {

// A page in every script the editor meets, as the file holds it.
const QByteArray Utf8Page =
    "<!DOCTYPE html>\r\n<html><head><meta charset=\"utf-8\"><title>Gr\xC3\xBC\xC3\x9F" "e</title></head>\r\n"
    "<body><p>Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln \xE2\x80\x93 \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE"
    "\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3\x83\x88 \xF0\x9F\x98\x80 &rarr;</p></body></html>\r\n";

class TidyEncodingTest : public TidyWindowTest
{
protected:
    void SetUp() override
    {
        useRealTool();
        TidyWindowTest::SetUp();
        // The shipped defaults, as a fresh data folder has them.
        ASSERT_TRUE(QFile::copy(QStringLiteral(QUORVANT_SOURCE_DATA_DIR "/Tidy/Default.Cfg"), tidyFile("Default.Cfg")));
    }
    // Opens bytes as a document file, runs the command, keeps the result and
    // saves; returns the saved file.
    QByteArray tidyFileThrough(const char *action, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("page.htm"));
        ToolsTest::writeFile(path, bytes);
        EXPECT_TRUE(m_window->documents()->OpenFile(path));
        TMemoSource *page = m_window->documents()->currentBuffer();
        trigger(action);
        TMnuQuickView *viewer = waitForViewer();
        EXPECT_NE(viewer, nullptr);
        if (!viewer)
            return {};
        EXPECT_TRUE(viewer->Tidy) << viewer->text().toStdString();
        MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
        done(viewer);
        messageTexts();
        EXPECT_TRUE(page->isModified());
        EXPECT_EQ(m_window->documents()->save(), SaveResult::Saved);
        return ToolsTest::readFile(path);
    }
};

} // namespace

TEST_F(TidyEncodingTest, SourceFormattingKeepsAUtf8PageAsItIsAndOnlyXmlAddsXhtml)
{
    struct Case { const char *action; bool xml; };
    for (const Case c : {Case{"Applysourceformatting1", false}, Case{"ConverttoXML1", true}}) {
        const QByteArray saved = tidyFileThrough(c.action, Utf8Page);
        for (const QByteArray &kept : {QByteArray("Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln \xE2\x80\x93"),
                                       QByteArray("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3\x83\x88"),
                                       QByteArray("\xF0\x9F\x98\x80 &rarr;"), QByteArray("<title>Gr\xC3\xBC\xC3\x9F" "e</title>")})
            EXPECT_TRUE(saved.contains(kept)) << c.action << "\n" << saved.toStdString();
        EXPECT_TRUE(saved.contains(c.xml ? "<meta charset=\"utf-8\" />" : "<meta charset=\"utf-8\">")) << saved.toStdString();
        EXPECT_FALSE(saved.contains("&#")) << saved.toStdString();
        EXPECT_EQ(saved.contains("xmlns"), c.xml) << saved.toStdString();
        m_window->documents()->close();
    }
    // The quick command saved the defaults it ran with.
    EXPECT_EQ(ToolsTest::readLines(tidyFile("Tidy.Cfg")), TTidyConfig().lines());
}

TEST_F(TidyEncodingTest, WindowsAndLatinPagesComeBackInTheirEncoding)
{
    struct Case { QByteArray page; QList<QByteArray> kept; };
    const Case cases[] = {
        {"<!DOCTYPE html>\r\n<html><head><meta charset=\"windows-1252\"><title>x</title></head>\r\n"
         "<body><p>Gr\xFC\xDF" "e \x80 5 \x93quoted\x94 caf&eacute; &rarr; &#26085;</p></body></html>\r\n",
         {"<meta charset=\"windows-1252\">", "Gr\xFC\xDF" "e \x80 5 \x93quoted\x94 caf&eacute; &rarr; &#26085;"}},
        {"<!DOCTYPE html>\r\n<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"
         "<title>x</title></head>\r\n<body><p>caf\xE9 na\xEFve</p></body></html>\r\n",
         {"charset=iso-8859-1", "caf\xE9 na\xEFve"}},
    };
    for (const Case &c : cases) {
        const QByteArray saved = tidyFileThrough("Applysourceformatting1", c.page);
        for (const QByteArray &kept : c.kept)
            EXPECT_TRUE(saved.contains(kept)) << kept.toStdString() << "\n" << saved.toStdString();
        EXPECT_FALSE(saved.contains("\xC3")) << "written as UTF-8:\n" << saved.toStdString();
        m_window->documents()->close();
    }
}

TEST_F(TidyEncodingTest, SettingsOpenOnAFreshDataFolderWithTheShippedDefaults)
{
    // A data folder as the first start seeds it.
    QFile::remove(tidyFile("Default.Cfg"));
    ASSERT_GT(DataFolder::seed(DataFolder::shippedDataDir(), DataFolder::path()), 0);
    ASSERT_TRUE(QFile::exists(tidyFile("Default.Cfg")));
    ASSERT_FALSE(QFile::exists(tidyFile("Tidy.Cfg")));
    trigger("HTMLTidyFixandFormat1");
    auto *dialog = m_window->findChild<TMnuHTMLTidy *>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(messageTexts().isEmpty());
    EXPECT_EQ(dialog->config(), TTidyConfig());
    EXPECT_TRUE(dialog->findChild<QRadioButton *>(QStringLiteral("Encodingdocument"))->isChecked());
    EXPECT_FALSE(dialog->findChild<QCheckBox *>(QStringLiteral("OutputXhtml"))->isChecked());
    EXPECT_EQ(ToolsTest::readLines(tidyFile("Tidy.Cfg")), TTidyConfig().lines());
    // A chosen encoding is written as the tool reads it; "document" goes back to the comment line.
    dialog->findChild<QRadioButton *>(QStringLiteral("Encodingutf8"))->click();
    EXPECT_EQ(ToolsTest::readLines(tidyFile("Tidy.Cfg")).at(22), QStringLiteral("char-encoding: utf8"));
    dialog->findChild<QRadioButton *>(QStringLiteral("Encodingdocument"))->click();
    EXPECT_EQ(ToolsTest::readLines(tidyFile("Tidy.Cfg")).at(22), QLatin1String(TTidyConfig::DocumentEncodingLine));
    dialog->reject();
}

namespace {

// The checker scripts/dev installs, when Java and it are here.
TVnuSetup installedChecker()
{
    return findVnu({}, {QStringLiteral(QUORVANT_VNU_JAR)});
}

TMnuQuickView *waitForValidation(TValidateCommand *command)
{
    QSignalSpy shown(command, &TValidateCommand::reportShown);
    if (!shown.wait(120000))
        return nullptr;
    return shown.first().first().value<TMnuQuickView *>();
}

} // namespace

TEST_F(TidyWindowTest, ValidatePageSaysHowToInstallTheCheckerWhenItIsMissing)
{
    const QByteArray jar = qgetenv(VnuJarEnvironment);
    qputenv(VnuJarEnvironment, m_dir.filePath(QStringLiteral("no/vnu.jar")).toUtf8());
    messageTexts();
    trigger("ValidatePageW3C1");
    qputenv(VnuJarEnvironment, jar);
    EXPECT_EQ(messageTexts(), QStringList{QLatin1String(MsgValidatorMissing)});
    auto *command = m_window->findChild<TValidateCommand *>(QStringLiteral("ValidateCommand"));
    ASSERT_NE(command, nullptr);
    EXPECT_FALSE(command->run()->isRunning());
}

TEST_F(TidyWindowTest, ValidatePageChecksTheUnsavedTextInTheBackgroundAndMarksItsLines)
{
    const TVnuSetup setup = installedChecker();
    if (!setup.isComplete())
        GTEST_SKIP() << "Java or vnu.jar is missing (scripts/dev install-validator installs them)";
    qputenv(VnuJarEnvironment, setup.jar.toUtf8());
    auto *command = m_window->findChild<TValidateCommand *>(QStringLiteral("ValidateCommand"));
    ASSERT_NE(command, nullptr);
    messageTexts();

    trigger("ValidatePageW3C1");
    // The editor stays free while the checker runs.
    ASSERT_TRUE(command->run()->isRunning());
    TMnuQuickView *report = waitForValidation(command);
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(messageTexts().isEmpty());
    EXPECT_FALSE(report->isModal());
    EXPECT_EQ(report->windowTitle(), QStringLiteral("Validate Page (W3C)"));
    EXPECT_TRUE(report->text().contains(QStringLiteral("line 4 column 1 - Error: An “img” element must have an “alt” attribute")))
        << report->text().toStdString();
    const QStringList atImage = tidy->marks()->messagesAt(buffer, 3);
    ASSERT_EQ(atImage.size(), 1);
    EXPECT_TRUE(atImage.first().contains(QStringLiteral("“alt” attribute"))) << atImage.first().toStdString();
    EXPECT_FALSE(tidy->marks()->messagesAt(buffer, 0).isEmpty());  // no doctype
    EXPECT_TRUE(tidy->marks()->messagesAt(buffer, 1).isEmpty());

    // The text as it is in the editor is checked; an edit during the run leaves no stale marks.
    buffer->setText(QStringLiteral("<!DOCTYPE html>\r\n<html lang=\"en\"><head><title>t</title></head><body></body></html>\r\n"));
    trigger("ValidatePageW3C1");
    ASSERT_TRUE(command->run()->isRunning());
    buffer->setText(buffer->text() + QStringLiteral("<p>typed meanwhile"));
    report = waitForValidation(command);
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->text().startsWith(QLatin1String("The page was edited while it was checked"))) << report->text().toStdString();
    EXPECT_TRUE(report->text().contains(QLatin1String(MsgValidatorClean)));
    EXPECT_TRUE(tidy->marks()->marks(buffer).isEmpty());
    qunsetenv(VnuJarEnvironment);
}
