// The source commands of the main window, driven through its menus.
#include "mainwindowtest.h"
#include "colorbar.h"
#include "subsystems.h"
#include "browserpage.h"
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "scintillawidget.h"
#include "setuptools.h"
#include "tdcmemo.h"
#include "tmemosource.h"
#include "toolkitglobals.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

class SourceCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        DataFolder::setPath(m_dir.path());
        resetAppGlobals();
        resetToolkitGlobals();
        m_window = Quorvant::Test::openMainWindow(&m_settings);
        m_window->documents()->blankDocument();
    }
    void TearDown() override { Quorvant::Test::closeMainWindow(m_window, &m_settings); }

    ITextBuffer *buffer() const { return m_window->documents()->currentBuffer(); }
    void trigger(const char *name)
    {
        QAction *a = m_window->action(QLatin1String(name));
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }
    // Sets the text and selects [from, to) of line 0 (to < 0: no selection, caret at from).
    void prepare(const QString &text, int from, int to)
    {
        buffer()->setText(text);
        if (to < 0)
            buffer()->setCaretPoint({from, 0});
        else
            buffer()->setSelection({{from, 0}, {to, 0}});
    }
    static QStringList messages()
    {
        QStringList out;
        for (const RecordedDialog &r : MessageService::takeRecorded())
            out.append(r.kind == DialogKind::Message ? r.text : r.title);
        return out;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TSetupTools> m_settings;
    std::unique_ptr<TForm1> m_window;
};

struct SelectionCase
{
    const char *command;
    const char *text;
    int from;
    int to;
    const char *result;
    const char *selectedAfter;
};

} // namespace

TEST_F(SourceCommandsTest, SelectionCommandsRewriteTheTextInOneUndoStep)
{
    const SelectionCase cases[] = {
        {"Touppercase1", "say hello now", 4, 9, "say HELLO now", ""},
        {"Lower1", "SAY HELLO", 0, 3, "say HELLO", ""},
        {"Commentselectedtext1", "a b c", 2, 3, "a <!--b--> c", "b"},
        {"MakeLink1", "see docs", 4, 8, "see <a href=\"\">docs</a>", "docs"},
        {"MakeEMailLink1", "ann", 0, 3, "<a href=\"mailto:[TYPE EMAIL HERE]\">ann</a>", "ann"},
        {"Addlinebreaksbr1", "one\r\ntwo", 0, -2, "one<BR>\r\ntwo<BR>\r\n", ""},
        {"Convertselectedtexttolist1", "one\r\ntwo", 0, -2, "<UL>\r\n<LI>one\r\n<LI>two\r\n\r\n</UL>", ""},
        {"Convertselectedtexttoorderedlist1", "one\r\ntwo", 0, -2, "<OL>\r\n<LI>one\r\n<LI>two\r\n\r\n</OL>", ""},
    };
    for (const SelectionCase &c : cases) {
        SCOPED_TRACE(c.command);
        buffer()->setText(QLatin1String(c.text));
        buffer()->setModified(false);
        if (c.to == -2)
            buffer()->selectAll();
        else
            buffer()->setSelection({{c.from, 0}, {c.to, 0}});
        trigger(c.command);
        EXPECT_EQ(buffer()->text(), QLatin1String(c.result));
        if (*c.selectedAfter) {
            EXPECT_EQ(buffer()->selText(), QLatin1String(c.selectedAfter));
        }
        EXPECT_TRUE(gDocumentModified) << "the change marks the document modified";
        buffer()->undo();
        EXPECT_EQ(buffer()->text(), QLatin1String(c.text));
    }
}

TEST_F(SourceCommandsTest, CharacterCountAndSelectTagAtCaret)
{
    prepare(QStringLiteral("ab\r\ncd"), 0, -1);
    buffer()->selectAll();
    trigger("Charactercount1");
    const QList<RecordedDialog> boxes = MessageService::takeRecorded();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Character Count: 6"));
    EXPECT_EQ(boxes[0].icon, MessageIcon::None) << "a plain box, without an icon";
    EXPECT_EQ(boxes[0].buttons, mbOK);

    prepare(QStringLiteral("x <IMG SRC=\"a.gif\"> y"), 6, -1);
    trigger("SelectTagatCaret1");
    EXPECT_EQ(buffer()->selText(), QStringLiteral("<IMG SRC=\"a.gif\">"));
}

TEST_F(SourceCommandsTest, StripAllTagsAsksFirst)
{
    prepare(QStringLiteral("<p>one <b>two</b></p>"), 0, -1);
    MessageService::queueAnswer(DialogAnswer::pressed(mbNo));
    trigger("Stripalltagsfromdocument1");
    EXPECT_EQ(buffer()->text(), QStringLiteral("<p>one <b>two</b></p>"));
    MessageService::queueAnswer(DialogAnswer::pressed(mbYes));
    trigger("Stripalltagsfromdocument1");
    EXPECT_EQ(buffer()->text(), QStringLiteral("one two"));
    EXPECT_TRUE(messages().value(0).startsWith(QStringLiteral("Warning: Stripping all the tags from a document is irriversable")));
}

TEST_F(SourceCommandsTest, ColourBarInsertsTheColourOrAFontTag)
{
    setColorBarColors(*m_window, QColor(0x12, 0x34, 0x56), QColor(Qt::white));
    auto *fg = m_window->findChild<QPushButton *>(QStringLiteral("ToolbarButton97127"));
    auto *bg = m_window->findChild<QPushButton *>(QStringLiteral("ToolbarButton97128"));
    auto *tag = m_window->findChild<QCheckBox *>(QStringLiteral("ColorTagCheckBox"));
    ASSERT_TRUE(fg && bg && tag);
    EXPECT_EQ(fg->toolTip(), QStringLiteral("Insert the current forground color into your document"));
    EXPECT_FALSE(tag->isChecked());

    prepare(QStringLiteral("x"), 1, -1);
    fg->click();
    EXPECT_EQ(buffer()->text(), QStringLiteral("x#123456"));

    prepare(QStringLiteral("Hello"), 0, 5);
    tag->setChecked(true);
    fg->click();
    EXPECT_EQ(buffer()->text(), QStringLiteral("<font color=\"#123456\">Hello</font>"));
    EXPECT_EQ(buffer()->selText(), QStringLiteral("Hello"));

    // Upper-case tag mode keeps the attribute and end tag in capitals.
    trigger("InsertTagsinlowercase1");
    EXPECT_FALSE(gInsertTagsInLowercase);
    bool lines, wrap, completion, lower = true;
    gSetupTools->LoadFormViewStates2(lines, wrap, completion, lower);
    EXPECT_FALSE(lower) << "the tag case is stored at once";
    prepare(QStringLiteral("Hi"), 0, 2);
    bg->click();
    EXPECT_EQ(buffer()->text(), QStringLiteral("<FONT COLOR=\"White\">Hi</FONT>"));
}

TEST_F(SourceCommandsTest, TextFilesAreImportedOrConvertedIntoANewPage)
{
    const QString file = m_dir.filePath(QStringLiteral("notes.txt"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("first\nsecond\n");
    }
    prepare(QStringLiteral("[]"), 1, -1);
    MessageService::queueAnswer(DialogAnswer::file(file));
    trigger("Import1");
    EXPECT_EQ(buffer()->text(), QStringLiteral("[first\r\nsecond\r\n]"));
    const QList<RecordedDialog> dialogs = MessageService::takeRecorded();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0].title, QStringLiteral("Please choose the text file to import."));
    EXPECT_EQ(dialogs[0].filters.size(), 2);

    MessageService::queueAnswers({DialogAnswer::file(file), DialogAnswer::pressed(mbYes)});
    trigger("ConvertTextFileHTMLDocument1");
    EXPECT_EQ(messages().value(1), QStringLiteral("Do you want to open this document as a new page?"));
    EXPECT_EQ(m_window->documents()->PagesOpen(), 2);
    const QString page = buffer()->text();
    EXPECT_TRUE(page.contains(QStringLiteral("first<br>"), Qt::CaseInsensitive)) << page.toStdString();
    EXPECT_TRUE(page.contains(QStringLiteral("<html>"), Qt::CaseInsensitive));

    // Cancelling the file chooser changes nothing.
    MessageService::queueAnswer(DialogAnswer::cancelled());
    trigger("Import1");
    EXPECT_EQ(buffer()->text(), page);
}

TEST_F(SourceCommandsTest, CtrlEnterAndCtrlInsertInsertTheirEntitiesInsteadOfTheEditorAction)
{
    prepare(QStringLiteral("ab"), 1, -1);
    QWidget *editor = m_window->DCMemo1()->widget();
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(buffer()->text(), QStringLiteral("a<br />b"));
    QTest::keyClick(editor, Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(buffer()->text(), QStringLiteral("a<br />&nbsp;b"));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(buffer()->lineCount(), 2) << "plain Enter still breaks the line";
}

TEST_F(SourceCommandsTest, TagHelpOpensThePageOfTheTagAtTheCaret)
{
    // Without the help index: the error message.
    prepare(QStringLiteral("<table border=1>"), 3, -1);
    trigger("Helpforcurrenttag1");
    EXPECT_EQ(messages(), QStringList({QStringLiteral("Error! Unable to find Internal Help Reference.")}));

    QDir().mkpath(m_dir.filePath(QStringLiteral("Help")));
    QFile index(m_dir.filePath(QStringLiteral("Help/Internal.Dat")));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("TABLE,Tags/table.htm\r\nB,Tags/b.htm\r\n");
    index.close();
    trigger("Helpforcurrenttag1");
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(m_window->tabholder()->currentIndex(), 2);
    EXPECT_TRUE(m_window->documentationPage()->url().toLocalFile().endsWith(QStringLiteral("Help/Tags/table.htm")));

    // A selection is looked up instead; on the Documentation page nothing happens.
    m_window->tabholder()->setCurrentIndex(0);
    prepare(QStringLiteral("b"), 0, 1);
    trigger("Helpforcurrenttag1");
    EXPECT_TRUE(m_window->documentationPage()->url().toLocalFile().endsWith(QStringLiteral("Help/Tags/b.htm")));
}
