// Tag Insight, tag completion and the Tag Inspector grid in the main window.
#include "mainwindowtest.h"
#include "installtags.h"
#include "subsystems.h"
#include "appglobals.h"
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "scintillawidget.h"
#include "setuptools.h"
#include "taginsight.h"
#include "taginspector.h"
#include "taglibtestsupport.h"
#include "tdcmemo.h"
#include "tmemosource.h"
#include "toolkitglobals.h"

#include <Qsci/qscilexerhtml.h>

#include <QComboBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

class TagInsightTest : public ::testing::Test
{
protected:
    void SetUp() override { start(true); }
    void start(bool withData)
    {
        ASSERT_TRUE(m_dir.isValid());
        DataFolder::setPath(m_dir.path());
        if (withData) {
            Quorvant::Test::writeBytes(m_dir.filePath(QStringLiteral("TagInfo.Dat")),
                      "FONT=\"String(SIZE),ColorSelect(COLOR),ComboBox(FACE),ENDTAG(</FONT>)\"\n"
                      "IMG=\"FileSelect(SRC),String(ALT)\"\n"
                      "B=\"ENDTAG(</B>)\"\n" + m_extraInfo);
            Quorvant::Test::writeBytes(m_dir.filePath(QStringLiteral("TagData.Dat")), "FONT(FACE)\n{\nArial\nVerdana\n}\n");
        }
        resetAppGlobals();
        resetToolkitGlobals();
        m_window = Quorvant::Test::openMainWindow(&m_settings, QSize(900, 600));
        m_window->documents()->blankDocument();
        m_window->InsertInLowerCase(true);
        // The grid is made when its page is first shown, as the user opens it.
        if (m_showInspector)
            m_window->sidebar()->setCurrentWidget(inspectorPage());
    }
    QWidget *inspectorPage() const { return m_window->sidebar()->findChild<QWidget *>(QStringLiteral("TagInspectorPage")); }
    void TearDown() override
    {
        TTagInspector::colorChooserForTests = nullptr;
        Quorvant::Test::closeMainWindow(m_window, &m_settings);
    }

    ITextBuffer *buffer() const { return m_window->documents()->currentBuffer(); }
    ScintillaWidget *editor() const { return m_window->DCMemo1()->widget(); }
    TTagInsight *insight() const { return m_window->findChild<TTagInsight *>(QStringLiteral("InsightForm")); }
    TTagInspector *inspector() const { return m_window->findChild<TTagInspector *>(QStringLiteral("TagInspector")); }
    void prepare(const QString &text, int x, int y = 0)
    {
        buffer()->setText(text);
        buffer()->setCaretPoint({x, y});
    }
    QStringList entries() const
    {
        QStringList out;
        for (int i = 0; i < insight()->InsightView()->count(); ++i)
            out.append(insight()->InsightView()->item(i)->text());
        return out;
    }
    // What the grid shows, "NAME=value" per row.
    QStringList gridRows() const
    {
        QStringList out;
        QTableWidget *g = inspector()->MainGrid();
        for (int r = 0; r < g->rowCount(); ++r)
            out.append(g->item(r, 0)->text() + u'=' + g->item(r, 1)->text());
        return out;
    }
    // A key release in the editor refreshes the grid.
    void refreshGrid() { QTest::keyRelease(editor(), Qt::Key_Right); }

    bool m_showInspector = true;
    QByteArray m_extraInfo;
    QTemporaryDir m_dir;
    std::unique_ptr<TSetupTools> m_settings;
    std::unique_ptr<TForm1> m_window;
};

TEST_F(TagInsightTest, OutsideATagListsAllTagsAndChoosingInsertsTheTagWithItsEndTag)
{
    prepare(QString(), 0);
    runTagInsight(*m_window);
    ASSERT_TRUE(insight()->isVisible());
    EXPECT_EQ(entries(), QStringList({"FONT", "IMG", "B"}));
    // Beside the caret, inside the window.
    EXPECT_TRUE(m_window->rect().contains(insight()->geometry()));

    // Down moves into the list; Enter on the second entry chooses it.
    QTest::keyClick(editor(), Qt::Key_Down);
    EXPECT_EQ(insight()->InsightView()->currentRow(), 0);
    EXPECT_EQ(buffer()->text(), QString());
    insight()->InsightView()->setCurrentRow(0);
    QTest::keyClick(insight()->InsightView(), Qt::Key_Return);
    EXPECT_FALSE(insight()->isVisible());
    EXPECT_EQ(buffer()->line(0), QStringLiteral("<font></font>"));
    EXPECT_EQ(buffer()->caretPoint().x, 6);
}

TEST_F(TagInsightTest, InsideATagListsItsAttributesAndTheLeadingBlankFollowsTheCharacterLeftOfTheCaret)
{
    struct Case { const char *text; const char *expected; int caretAfter; };
    const Case cases[] = {
        {"<font", "<font SIZE=\"\"", 12},
        {"<font ", "<font SIZE=\"\"", 12},
    };
    for (const Case &c : cases) {
        prepare(QLatin1String(c.text), int(qstrlen(c.text)));
        runTagInsight(*m_window);
        ASSERT_TRUE(insight()->isVisible()) << c.text;
        EXPECT_EQ(entries(), QStringList({"SIZE", "COLOR", "FACE"})) << c.text;
        // A double-click chooses as well.
        QListWidgetItem *item = insight()->InsightView()->item(0);
        emit insight()->InsightView()->itemDoubleClicked(item);
        EXPECT_FALSE(insight()->isVisible());
        EXPECT_EQ(buffer()->line(0), QLatin1String(c.expected)) << c.text;
        EXPECT_EQ(buffer()->caretPoint().x, c.caretAfter) << c.text;
    }
}

TEST_F(TagInsightTest, UnknownTagShowsNothingAndEscapeSpaceAndEqualsHideTheList)
{
    prepare(QStringLiteral("<blink "), 7);
    runTagInsight(*m_window);
    EXPECT_FALSE(insight()->isVisible());

    // Escape in the list hides it without inserting.
    prepare(QString(), 0);
    runTagInsight(*m_window);
    ASSERT_TRUE(insight()->isVisible());
    QTest::keyClick(editor(), Qt::Key_Down);
    QTest::keyClick(insight()->InsightView(), Qt::Key_Escape);
    EXPECT_FALSE(insight()->isVisible());
    EXPECT_EQ(buffer()->text(), QString());

    // Space in the editor hides it and is still typed; so does '='.
    for (const char *key : {" ", "="}) {
        prepare(QStringLiteral("<font"), 5);
        runTagInsight(*m_window);
        ASSERT_TRUE(insight()->isVisible()) << key;
        QTest::keyClicks(editor(), QLatin1String(key));
        EXPECT_FALSE(insight()->isVisible()) << key;
        EXPECT_EQ(buffer()->line(0), QStringLiteral("<font") + QLatin1String(key)) << key;
    }
}

TEST_F(TagInsightTest, TypedGreaterThanCompletesTheTagOnlyWhenCompletionIsOn)
{
    struct Case { bool on; const char *before; const char *after; };
    const Case cases[] = {
        {true, "<font size=\"2\"", "<font size=\"2\"></font>"},
        {false, "<font size=\"2\"", "<font size=\"2\">"},
        {true, "</font", "</font>"},
        {true, "<img src=\"a.gif\"", "<img src=\"a.gif\">"},
    };
    for (const Case &c : cases) {
        m_window->EnableTagCompletion(c.on);
        ASSERT_EQ(m_window->tagCompletionEnabled(), c.on);
        prepare(QLatin1String(c.before), int(qstrlen(c.before)));
        QTest::keyClicks(editor(), QStringLiteral(">"));
        EXPECT_EQ(buffer()->line(0), QLatin1String(c.after)) << c.before << " on=" << c.on;
        EXPECT_EQ(buffer()->caretPoint().x, int(qstrlen(c.before)) + 1) << c.before;
    }

    // What counts is the typed text, not the key: a keyboard whose '>' is
    // Shift+< (key code Less) completes, a Greater key that types nothing does not.
    m_window->EnableTagCompletion(true);
    prepare(QStringLiteral("<font size=2"), 12);
    QKeyEvent typed(QEvent::KeyPress, Qt::Key_Less, Qt::ShiftModifier, QStringLiteral(">"));
    QCoreApplication::sendEvent(editor(), &typed);
    EXPECT_EQ(buffer()->line(0), QStringLiteral("<font size=2></font>"));

    prepare(QStringLiteral("<font size=2"), 12);
    QKeyEvent silent(QEvent::KeyPress, Qt::Key_Greater, Qt::NoModifier, QString());
    QCoreApplication::sendEvent(editor(), &silent);
    EXPECT_EQ(buffer()->line(0), QStringLiteral("<font size=2"));
}

TEST_F(TagInsightTest, TypingTheCompletedEndTagMovesOverIt)
{
    m_window->EnableTagCompletion(true);
    prepare(QStringLiteral("<b"), 2);
    QTest::keyClicks(editor(), QStringLiteral(">bold</b>!"));
    EXPECT_EQ(buffer()->line(0), QStringLiteral("<b>bold</b>!"));

    // Typed straight after the '>', and in other letter case.
    prepare(QStringLiteral("<b"), 2);
    QTest::keyClicks(editor(), QStringLiteral("></B>"));
    EXPECT_EQ(buffer()->line(0), QStringLiteral("<b></b>"));
    EXPECT_EQ(buffer()->caretPoint().x, 7);

    // The caret moved away and back: the end tag is ordinary text again.
    prepare(QStringLiteral("<b"), 2);
    QTest::keyClicks(editor(), QStringLiteral(">x"));
    QTest::keyClick(editor(), Qt::Key_Left);
    QTest::keyClick(editor(), Qt::Key_Right);
    QTest::keyClicks(editor(), QStringLiteral("<"));
    EXPECT_EQ(buffer()->line(0), QStringLiteral("<b>x<</b>"));
}

TEST_F(TagInsightTest, GridShowsTheTagAtTheCaretAndATypedValueRewritesItInOneUndoStep)
{
    const QString original = QStringLiteral("x <font size=2 face=\"Arial Black\" id=k> y");
    prepare(original, 6);
    buffer()->setModified(false);
    refreshGrid();
    EXPECT_EQ(inspector()->TagBeingExecuted(), QStringLiteral("font"));
    EXPECT_EQ(gridRows(), QStringList({"SIZE=2", "COLOR=", "FACE=Arial Black"}));
    EXPECT_FALSE(inspector()->MainGrid()->item(0, 0)->flags() & Qt::ItemIsEditable);

    inspector()->MainGrid()->item(0, 1)->setText(QStringLiteral("3"));
    EXPECT_EQ(buffer()->line(0), QStringLiteral("x <font size=\"3\" face=\"Arial Black\" id=k> y"));
    EXPECT_TRUE(buffer()->isModified());
    buffer()->undo();
    EXPECT_EQ(buffer()->line(0), original);

    // Outside a tag the grid is a single empty row.
    buffer()->setCaretPoint({0, 0});
    refreshGrid();
    EXPECT_EQ(gridRows(), QStringList({"="}));
    EXPECT_TRUE(inspector()->TagBeingExecuted().isEmpty());
}

TEST_F(TagInsightTest, GridNeverWritesIntoALineTheCaretMovedTo)
{
    prepare(QStringLiteral("<font size=2>\nplain text"), 3);
    refreshGrid();
    ASSERT_EQ(gridRows().value(0), QStringLiteral("SIZE=2"));
    buffer()->setCaretPoint({3, 1});
    inspector()->MainGrid()->item(0, 1)->setText(QStringLiteral("5"));
    EXPECT_EQ(buffer()->line(0), QStringLiteral("<font size=2>"));
    EXPECT_EQ(buffer()->line(1), QStringLiteral("plain text"));
    QCoreApplication::processEvents();
    EXPECT_EQ(gridRows(), QStringList({"="})) << "the grid shows what is at the caret now";
}

TEST_F(TagInsightTest, GridRewritesOnlyTheTagItShows)
{
    // The caret moved by a command (Find Next) into another tag of the same name.
    prepare(QStringLiteral("<font size=2> <font size=7>"), 3);
    refreshGrid();
    ASSERT_EQ(gridRows().value(0), QStringLiteral("SIZE=2"));
    buffer()->setCaretPoint({18, 0});
    inspector()->MainGrid()->item(0, 1)->setText(QStringLiteral("5"));
    EXPECT_EQ(buffer()->line(0), QStringLiteral("<font size=2> <font size=7>"));
    QCoreApplication::processEvents();
    EXPECT_EQ(gridRows().value(0), QStringLiteral("SIZE=7"));
    // Read again, the grid writes into that tag.
    inspector()->MainGrid()->item(0, 1)->setText(QStringLiteral("5"));
    EXPECT_EQ(buffer()->line(0), QStringLiteral("<font size=2> <font size=\"5\">"));
    // and keeps writing there as the values change.
    inspector()->MainGrid()->item(1, 1)->setText(QStringLiteral("Red"));
    EXPECT_EQ(buffer()->line(0), QStringLiteral("<font size=2> <font size=\"5\" color=\"Red\">"));

    // Undo changed the tag under a caret that stayed put.
    prepare(QStringLiteral("<font size=2>"), 3);
    refreshGrid();
    buffer()->setSelection({{6, 0}, {12, 0}});
    buffer()->setSelText(QStringLiteral("size=9"));
    buffer()->setCaretPoint({3, 0});
    inspector()->MainGrid()->item(0, 1)->setText(QStringLiteral("4"));
    EXPECT_EQ(buffer()->line(0), QStringLiteral("<font size=9>"));
    QCoreApplication::processEvents();
    EXPECT_EQ(gridRows().value(0), QStringLiteral("SIZE=9"));

}

// Columns count UTF-16 units everywhere: a line that starts with an emoji,
// has a combining accent or CJK text edits exactly the tag at the caret.
TEST_F(TagInsightTest, LinesWithEmojiAccentsAndCjkEditTheTagAtTheCaret)
{
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString accent = QStringLiteral("e\u0301");
    const QString cjk = QStringLiteral("\u6F22\u5B57");
    for (const QString &lead : {emoji, emoji + emoji, accent, cjk}) {
        SCOPED_TRACE(lead.toStdString());
        prepare(lead + QStringLiteral(" <font size=2>"), int(lead.size()) + 4);
        refreshGrid();
        ASSERT_EQ(gridRows().value(0), QStringLiteral("SIZE=2"));
        inspector()->MainGrid()->item(0, 1)->setText(QStringLiteral("3"));
        EXPECT_EQ(buffer()->line(0), lead + QStringLiteral(" <font size=\"3\">"));

        // Completion on '>' after such a lead.
        m_window->EnableTagCompletion(true);
        prepare(lead + QStringLiteral("<font size=\"2\""), int(lead.size()) + 14);
        QTest::keyClicks(editor(), QStringLiteral(">"));
        EXPECT_EQ(buffer()->line(0), lead + QStringLiteral("<font size=\"2\"></font>"));

        // Tag Insight inside the tag inserts at the caret.
        prepare(lead + QStringLiteral("<font x"), int(lead.size()) + 5);
        runTagInsight(*m_window);
        ASSERT_TRUE(insight()->isVisible());
        emit insight()->InsightView()->itemDoubleClicked(insight()->InsightView()->item(0));
        EXPECT_EQ(buffer()->line(0), lead + QStringLiteral("<font SIZE=\"\" x"));
        EXPECT_EQ(buffer()->caretPoint().x, int(lead.size()) + 12);
    }
}

TEST_F(TagInsightTest, CellEditorsChoiceBoxColourAndFileChoosers)
{
    prepare(QStringLiteral("<font size=2>"), 3);
    refreshGrid();
    QTableWidget *grid = inspector()->MainGrid();

    // Choice box over the FACE cell, filled from the choice file.
    grid->setCurrentCell(2, 1);
    QComboBox *combo = inspector()->ComboBox();
    ASSERT_FALSE(combo->isHidden());
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(1), QStringLiteral("Verdana"));
    combo->setCurrentIndex(1);
    EXPECT_EQ(buffer()->line(0), QStringLiteral("<font size=\"2\" face=\"Verdana\">"));

    // The colour button of COLOR; cancelling changes nothing.
    grid->setCurrentCell(1, 1);
    EXPECT_TRUE(combo->isHidden());
    QToolButton *button = inspector()->FileButton();
    ASSERT_FALSE(button->isHidden());
    const QRect cell = grid->visualRect(grid->model()->index(1, 1));
    EXPECT_EQ(button->geometry().right(), cell.right() - 1);
    TTagInspector::colorChooserForTests = [] { return QColor(); };
    button->click();
    EXPECT_EQ(buffer()->line(0), QStringLiteral("<font size=\"2\" face=\"Verdana\">"));
    TTagInspector::colorChooserForTests = [] { return QColor(255, 0, 0); };
    button->click();
    EXPECT_EQ(buffer()->line(0), QStringLiteral("<font size=\"2\" color=\"Red\" face=\"Verdana\">"));

    // The name column opens no editor; a sidebar page change closes them.
    grid->setCurrentCell(1, 0);
    EXPECT_TRUE(button->isHidden());
    grid->setCurrentCell(2, 1);
    ASSERT_FALSE(combo->isHidden());
    turnAllControlsOff(m_window.get());
    EXPECT_TRUE(combo->isHidden());

    // The file button gives a link relative to the document.
    gCurrentFilePath = m_dir.filePath(QStringLiteral("page.htm"));
    prepare(QStringLiteral("<img src=\"a.gif\" alt=\"two words\">"), 4);
    refreshGrid();
    EXPECT_EQ(gridRows(), QStringList({"SRC=a.gif", "ALT=two words"}));
    grid->setCurrentCell(0, 1);
    ASSERT_FALSE(button->isHidden());
    MessageService::queueAnswer(DialogAnswer::file(m_dir.filePath(QStringLiteral("pics/b.gif"))));
    button->click();
    const QList<RecordedDialog> boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes.first().kind, DialogKind::OpenFiles);
    EXPECT_EQ(boxes.first().filters.size(), 3);
    EXPECT_EQ(buffer()->line(0), QStringLiteral("<img src=\"pics/b.gif\" alt=\"two words\">"));
}

class HtmlColouringTest : public TagInsightTest
{
protected:
    void SetUp() override
    {
        m_extraInfo = "SECTION=\"String(ID),String(CLASS),ENDTAG(</SECTION>)\"\n"
                      "NAV=\"String(ID),ENDTAG(</NAV>)\"\n"
                      "VIDEO=\"String(POSTER),String(CONTROLS),ENDTAG(</VIDEO>)\"\n";
        start(true);
    }
    int styleAt(const QString &text, const QString &word)
    {
        const qsizetype at = text.indexOf(word);
        EXPECT_GE(at, 0) << word.toStdString();
        return int(editor()->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(at)));
    }
};

// Current HTML is coloured as known: the tag database's names, role, aria-*
// and data-*; only names nobody knows look like errors.
TEST_F(HtmlColouringTest, NamesTheTagDatabaseKnowsAreColouredAsKnown)
{
    ASSERT_EQ(buffer()->syntaxParser(), SyntaxParser::HTML);
    const QString text = QStringLiteral(
        "<section role=\"main\" aria-label=\"x\" data-user-id=\"1\" bogusattr=\"2\">\r\n"
        "<nav><video poster=\"p.png\" controls></video></nav><blinky></blinky></section>");
    prepare(text, 0);
    editor()->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    struct Case { const char *word; int style; };
    const Case cases[] = {
        {"section", QsciLexerHTML::Tag},
        {"nav", QsciLexerHTML::Tag},
        {"video", QsciLexerHTML::Tag},
        {"role", QsciLexerHTML::Attribute},
        {"aria-label", QsciLexerHTML::Attribute},
        {"data-user-id", QsciLexerHTML::Attribute},
        {"poster", QsciLexerHTML::Attribute},
        {"controls", QsciLexerHTML::Attribute},
        {"bogusattr", QsciLexerHTML::UnknownAttribute},
        {"blinky", QsciLexerHTML::UnknownTag},
    };
    for (const Case &c : cases)
        EXPECT_EQ(styleAt(text, QLatin1String(c.word)), c.style) << c.word;
}

class TagInspectorPageTest : public TagInsightTest
{
protected:
    void SetUp() override
    {
        m_showInspector = false;
        start(true);
    }
};

TEST_F(TagInspectorPageTest, TheGridIsMadeWhenItsPageIsFirstShownAndShowsTheTagAtTheCaretThen)
{
    EXPECT_EQ(inspector(), nullptr);
    // Editing before the page is shown needs no grid.
    prepare(QStringLiteral("<img src=\"a.gif\">\n<font size=2 face=Verdana>"), 3);
    refreshGrid();
    QTest::mouseClick(editor()->viewport(), Qt::LeftButton);
    buffer()->setCaretPoint({3, 1});
    EXPECT_EQ(inspector(), nullptr);

    m_window->sidebar()->setCurrentWidget(inspectorPage());
    ASSERT_NE(inspector(), nullptr);
    EXPECT_TRUE(inspector()->isVisible());
    EXPECT_EQ(inspector()->TagBeingExecuted(), QStringLiteral("font"));
    EXPECT_EQ(gridRows(), QStringList({"SIZE=2", "COLOR=", "FACE=Verdana"}));
    // From now on it follows the caret.
    buffer()->setCaretPoint({3, 0});
    refreshGrid();
    EXPECT_EQ(gridRows(), QStringList({"SRC=a.gif", "ALT="}));
}

class TagInsightWithoutDataTest : public TagInsightTest
{
protected:
    void SetUp() override { start(false); }
};

TEST_F(TagInsightWithoutDataTest, MissingDataFilesLeaveEverythingInert)
{
    EXPECT_EQ(insight(), nullptr);
    EXPECT_EQ(inspector(), nullptr);
    prepare(QStringLiteral("<font size=\"2\""), 14);
    runTagInsight(*m_window);
    QTest::keyClicks(editor(), QStringLiteral(">"));
    EXPECT_EQ(buffer()->line(0), QStringLiteral("<font size=\"2\">"));
}

} // namespace
