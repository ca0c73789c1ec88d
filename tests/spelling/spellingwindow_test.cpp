// "Check Spelling" and "Theasurus Lookup..." on the real main window.
#include "mainwindowtest.h"
#include "appglobals.h"
#include "datafolder.h"
#include "documentset.h"
#include "mainwindow.h"
#include "messageservice.h"
#include "setuptools.h"
#include "spellcheckdialog.h"
#include "spellingcommands.h"
#include "spellunderliner.h"
#include "inifile.h"
#include "subsystems.h"
#include "thesaurusdialog.h"
#include "tmemosource.h"
#include "toolkitglobals.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>
#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

// Runs the event loop until the condition holds or ten seconds pass.
template<typename F>
void waitFor(F condition)
{
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < 10000)
        QTest::qWait(20);
}

class SpellingWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("USER", "ann");
        DataFolder::setPath(m_dir.path());
        resetAppGlobals();
        resetToolkitGlobals();
        m_window = Quorvant::Test::openMainWindow(&m_settings, QSize(900, 600));
        m_window->documents()->blankDocument();
    }
    void TearDown() override { Quorvant::Test::closeMainWindow(m_window, &m_settings); }
    ITextBuffer *buffer() const { return m_window->documents()->currentBuffer(); }
    TSpellingCommands *commands() const { return m_window->findChild<TSpellingCommands *>(QStringLiteral("SpellingCommands")); }
    TSpellCheckDialog *dialog() const { return commands()->spellDialog(); }
    void press(const char *button) { dialog()->findChild<QPushButton *>(QLatin1String(button))->click(); }
    QStringList recordedTexts()
    {
        QStringList out;
        for (const auto &r : MessageService::takeRecorded())
            out.append(r.text);
        return out;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<TSetupTools> m_settings;
    std::unique_ptr<TForm1> m_window;
};

TEST_F(SpellingWindowTest, WholeDocumentIsCheckedOutsideTagsAndCorrectionsAreOneUndoStep)
{
    const QString original = QStringLiteral("<p title=\"mispeled\">Ths is\r\nfine &amp; wrold</p>");
    buffer()->setText(original);
    buffer()->setModified(false);
    gDocumentModified = false;
    buffer()->setCaretPoint({3, 1});

    m_window->action(QStringLiteral("CheckSpelling1"))->trigger();
    ASSERT_NE(dialog(), nullptr);
    EXPECT_TRUE(dialog()->isVisible());
    EXPECT_FALSE(dialog()->isModal());
    EXPECT_EQ(dialog()->currentWord(), QStringLiteral("Ths"));
    EXPECT_EQ(buffer()->selText(), QStringLiteral("Ths"));  // the word is shown in the editor
    EXPECT_TRUE(buffer()->isReadOnly());
    EXPECT_FALSE(dialog()->suggestionList()->findItems(QStringLiteral("This"), Qt::MatchExactly).isEmpty());

    dialog()->changeTo()->setText(QStringLiteral("This"));
    press("ChangeButton");
    EXPECT_EQ(dialog()->currentWord(), QStringLiteral("wrold"));
    EXPECT_EQ(buffer()->selText(), QStringLiteral("wrold"));
    dialog()->changeTo()->setText(QStringLiteral("world"));
    press("ChangeButton");

    EXPECT_FALSE(dialog()->isVisible());
    EXPECT_EQ(recordedTexts(), QStringList{QStringLiteral("The spelling check is complete.")});
    EXPECT_EQ(buffer()->text(), QStringLiteral("<p title=\"mispeled\">This is\r\nfine &amp; world</p>"));
    EXPECT_FALSE(buffer()->isReadOnly());
    EXPECT_TRUE(buffer()->isModified());
    EXPECT_TRUE(gDocumentModified);
    EXPECT_EQ(buffer()->caretPoint(), (CaretPoint{3, 1}));
    buffer()->undo();
    EXPECT_EQ(buffer()->text(), original);
}

TEST_F(SpellingWindowTest, SelectionAloneIsCheckedAndCancelKeepsCorrectionsWithoutAMessage)
{
    buffer()->setText(QStringLiteral("wrold one\r\nteh two\r\nteh three zorp"));
    buffer()->setSelection({{3, 1}, {9, 2}});  // " two\r\nteh three"
    m_window->action(QStringLiteral("CheckSpelling1"))->trigger();
    ASSERT_TRUE(dialog()->running());
    EXPECT_EQ(dialog()->currentWord(), QStringLiteral("teh"));
    EXPECT_EQ(buffer()->selectionRect(), (SelectionRect{{0, 2}, {3, 2}}));
    dialog()->changeTo()->setText(QStringLiteral("the"));
    press("ChangeButton");
    EXPECT_FALSE(dialog()->running());  // nothing after "three" in the selection
    EXPECT_EQ(buffer()->text(), QStringLiteral("wrold one\r\nteh two\r\nthe three zorp"));

    MessageService::takeRecorded();
    buffer()->setCaretPoint({0, 0});
    m_window->action(QStringLiteral("CheckSpelling1"))->trigger();
    EXPECT_EQ(dialog()->currentWord(), QStringLiteral("wrold"));
    dialog()->changeTo()->setText(QStringLiteral("world"));
    press("ChangeAllButton");
    press("CancelButton");
    EXPECT_TRUE(recordedTexts().isEmpty());
    EXPECT_EQ(buffer()->text(), QStringLiteral("world one\r\nteh two\r\nthe three zorp"));
    EXPECT_EQ(buffer()->caretPoint(), (CaretPoint{0, 0}));
}

TEST_F(SpellingWindowTest, ClosingTheDocumentDuringACheckEndsItQuietly)
{
    buffer()->setText(QStringLiteral("wrold"));
    buffer()->setModified(false);
    m_window->action(QStringLiteral("CheckSpelling1"))->trigger();
    ASSERT_TRUE(dialog()->running());
    m_window->documents()->close();
    EXPECT_FALSE(dialog()->running());
}

TEST_F(SpellingWindowTest, CorrectionsGoToTheCheckedDocumentWhenAnotherIsCurrent)
{
    ITextBuffer *checked = buffer();
    checked->setText(QStringLiteral("one wrold"));
    checked->setModified(false);
    m_window->action(QStringLiteral("CheckSpelling1"))->trigger();
    ASSERT_TRUE(dialog()->running());
    m_window->documents()->blankDocument();
    ASSERT_NE(buffer(), checked);
    gDocumentModified = false;
    dialog()->changeTo()->setText(QStringLiteral("world"));
    press("ChangeButton");
    EXPECT_EQ(checked->text(), QStringLiteral("one world"));
    EXPECT_TRUE(checked->isModified());
    EXPECT_EQ(buffer()->text(), QString());
    EXPECT_FALSE(gDocumentModified);
}

TEST_F(SpellingWindowTest, ThesaurusNeedsASelectionAndJoinsLines)
{
    buffer()->setText(QStringLiteral("big\r\nhouse"));
    m_window->action(QStringLiteral("TheasurusLookup1"))->trigger();
    EXPECT_EQ(recordedTexts(), QStringList{QStringLiteral("Please select a word to run a thesaurus check on.")});

    QString asked;
    commands()->lookupWord = [&](const QString &w) { asked = w; return QString(); };
    buffer()->setSelection({{0, 0}, {5, 1}});
    buffer()->setModified(false);
    m_window->action(QStringLiteral("TheasurusLookup1"))->trigger();
    EXPECT_EQ(asked, QStringLiteral("bighouse"));
    EXPECT_EQ(buffer()->selText(), QStringLiteral("big\r\nhouse"));  // closed without a choice
    EXPECT_FALSE(buffer()->isModified());

    commands()->lookupWord = [](const QString &) { return QStringLiteral("home"); };
    gDocumentModified = false;
    m_window->action(QStringLiteral("TheasurusLookup1"))->trigger();
    EXPECT_EQ(buffer()->text(), QStringLiteral("home"));
    EXPECT_TRUE(buffer()->isModified());
    EXPECT_TRUE(gDocumentModified);
    buffer()->undo();
    EXPECT_EQ(buffer()->text(), QStringLiteral("big\r\nhouse"));
}

TEST_F(SpellingWindowTest, ThesaurusReplaceKeepsTheBlanksAroundTheSelectedWord)
{
    const struct
    {
        const char *text;
        SelectionRect selection;
        const char *before;
        const char *after;
    } cases[] = {
        {"the user manual", {{4, 0}, {9, 0}}, "the ", " manual"},        // a drag takes the blank after it
        {"the user manual", {{3, 0}, {8, 0}}, "the ", " manual"},        // and the one before it
        {"a  user\r\nmanual", {{1, 0}, {0, 1}}, "a  ", "\r\nmanual"},  // blanks and a line break
        {"the user manual", {{4, 0}, {8, 0}}, "the ", " manual"},        // the word alone
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        buffer()->setText(QString::fromUtf8(c.text));
        buffer()->setSelection(c.selection);
        QString chosen;
        // The real dialog on the system's thesaurus: a synonym of one word is chosen and replaces.
        QTimer::singleShot(0, m_window.get(), [&] {
            auto *dialog = qobject_cast<TThesaurusDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            // A synonym that is one plain word, from the first meaning that has one.
            QList<QListWidgetItem *> words;
            for (int row = 0; row < dialog->meanings()->count() && words.isEmpty(); ++row) {
                dialog->meanings()->setCurrentRow(row);
                words = dialog->synonyms()->findItems(QStringLiteral("^\\w+$"), Qt::MatchRegularExpression);
            }
            if (!words.isEmpty()) {
                dialog->synonyms()->setCurrentItem(words.first());
                chosen = dialog->replaceWith()->text();
            }
            dialog->findChild<QPushButton *>(QLatin1String(words.isEmpty() ? "CloseButton" : "ReplaceButton"))->click();
        });
        m_window->action(QStringLiteral("TheasurusLookup1"))->trigger();
        ASSERT_FALSE(chosen.isEmpty());
        EXPECT_EQ(buffer()->text(), QString::fromUtf8(c.before) + chosen + QString::fromUtf8(c.after));
    }
}

TEST_F(SpellingWindowTest, ThesaurusDialogLooksUpGoesBackAndReplaces)
{
    TThesaurusDialog dialog(commands()->thesaurus(), m_window.get());
    QString answer;
    QTimer::singleShot(0, &dialog, [&] {
        EXPECT_GT(dialog.meanings()->count(), 0);
        ASSERT_GT(dialog.synonyms()->count(), 0);
        // A double click on a synonym looks it up; Previous goes back.
        const QString first = dialog.synonyms()->item(0)->text();
        emit dialog.synonyms()->itemDoubleClicked(dialog.synonyms()->item(0));
        EXPECT_NE(dialog.replaceWith()->text(), QString());
        dialog.findChild<QPushButton *>(QStringLiteral("PreviousButton"))->click();
        EXPECT_EQ(dialog.lookedUp()->currentText(), QStringLiteral("house"));
        dialog.synonyms()->setCurrentRow(0);
        dialog.replaceWith()->setText(QStringLiteral("home (noun)"));
        dialog.findChild<QPushButton *>(QStringLiteral("ReplaceButton"))->click();
        (void)first;
    });
    answer = dialog.LookupWord(QStringLiteral("house"));
    EXPECT_EQ(answer, QStringLiteral("home"));

    QTimer::singleShot(0, &dialog, [&] { dialog.findChild<QPushButton *>(QStringLiteral("CloseButton"))->click(); });
    EXPECT_EQ(dialog.LookupWord(QStringLiteral("house")), QString());
}

TEST_F(SpellingWindowTest, UnderliningWhileTypingIsAnOptionKeptInMainIni)
{
    auto *underliner = m_window->findChild<TSpellUnderliner *>(QStringLiteral("SpellUnderliner"));
    QAction *option = m_window->action(QStringLiteral("UnderlineMisspelledWords1"));
    ASSERT_NE(underliner, nullptr);
    ASSERT_NE(option, nullptr);
    EXPECT_FALSE(option->isChecked());
    buffer()->setText(QStringLiteral("hello wrold <b title=\"mispeled\">&nbsp;fine</b>\r\nsecnd line"));
    QTest::qWait(300);
    EXPECT_TRUE(underliner->underlined().isEmpty());

    option->trigger();
    EXPECT_TRUE(IniFile(TSetupTools::mainIniPath()).readBool(QStringLiteral("Spelling"), QStringLiteral("UnderlineAsYouType"), false));
    waitFor([&] { return underliner->underlined() == QStringList({"0:6:5", "1:0:5"}); });
    EXPECT_EQ(underliner->underlined(), QStringList({"0:6:5", "1:0:5"}));

    buffer()->setCaretPoint({0, 1});
    buffer()->insertString(QStringLiteral("fine "));
    waitFor([&] { return underliner->underlined() == QStringList({"0:6:5", "1:5:5"}); });
    EXPECT_EQ(underliner->underlined(), QStringList({"0:6:5", "1:5:5"}));

    option->trigger();
    EXPECT_TRUE(underliner->underlined().isEmpty());
    EXPECT_FALSE(IniFile(TSetupTools::mainIniPath()).readBool(QStringLiteral("Spelling"), QStringLiteral("UnderlineAsYouType"), true));
}

// The underlines come from a checker of their own: a word added to the
// user's list during a check must stop being underlined once the check ends.
TEST_F(SpellingWindowTest, WordAddedDuringACheckIsNoLongerUnderlined)
{
    auto *underliner = m_window->findChild<TSpellUnderliner *>(QStringLiteral("SpellUnderliner"));
    ASSERT_NE(underliner, nullptr);
    buffer()->setText(QStringLiteral("hello qwzzyx and wrold"));
    m_window->action(QStringLiteral("UnderlineMisspelledWords1"))->trigger();
    waitFor([&] { return underliner->underlined() == QStringList({"0:6:6", "0:17:5"}); });
    ASSERT_EQ(underliner->underlined(), QStringList({"0:6:6", "0:17:5"}));

    m_window->action(QStringLiteral("CheckSpelling1"))->trigger();
    ASSERT_EQ(dialog()->currentWord(), QStringLiteral("qwzzyx"));
    press("AddButton");
    ASSERT_EQ(dialog()->currentWord(), QStringLiteral("wrold"));
    press("CancelButton");
    EXPECT_FALSE(dialog()->isVisible());

    waitFor([&] { return underliner->underlined() == QStringList({"0:17:5"}); });
    EXPECT_EQ(underliner->underlined(), QStringList({"0:17:5"}));
}

} // namespace
