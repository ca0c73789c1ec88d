// The word walk over HTML, the checker with the user's files, one checking
// pass with its answers, and the thesaurus.
#include "spellchecker.h"
#include "spellsession.h"
#include "spellwordwalker.h"
#include "thesaurus.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Quorvant;

namespace {

QStringList wordsOf(const QString &text, bool html = true)
{
    TSpellWordWalker walker(text, html);
    QStringList out;
    for (SpellWord w = walker.next(0); w.found(); w = walker.next(w.offset + w.length))
        out.append(text.mid(w.offset, w.length));
    return out;
}

struct WalkCase
{
    const char *text;
    QStringList words;
};

TEST(SpellWordWalker, SkipsMarkupEntitiesAndAddresses)
{
    const WalkCase cases[] = {
        {"<p class=\"recieve\" title='mispeled'>Helo &nbsp;wrld&#160;ok</p>", {"Helo", "wrld", "ok"}},
        {"a<!-- teh comment -->b", {"a", "b"}},
        {"<script>var qq = 1;</script>after<STYLE>p{colr:red}</STYLE>end", {"after", "end"}},
        {"see http://exmple.com/pth?x=1 and www.foo.org, mail ann.smth@exmple.com now", {"see", "and", "mail", "now"}},
        {"don't O'Neil it's", {"don't", "O'Neil", "it's"}},
        {"Tom & Jerry", {"Tom", "Jerry"}},
        {"<a href=\"x\" title=\"a > b\">link</a>", {"link"}},
        {"<p>unclosed <b", {"unclosed"}},
        // Quoted lines (">" first on the line, as text or as "&gt;") are left alone.
        {"Yes\r\n> qoted wrods\r\n  &gt; mre qoted\nok", {"Yes", "ok"}},
        {"a > b\n<img\n>after", {"a", "b", "after"}},
    };
    for (const WalkCase &c : cases)
        EXPECT_EQ(wordsOf(QString::fromUtf8(c.text)), c.words) << c.text;
    EXPECT_EQ(wordsOf(QStringLiteral("<b>x</b>"), false), QStringList({"b", "x", "b"}));
    EXPECT_EQ(wordsOf(QStringLiteral("plain\n> qoted"), false), QStringList({"plain"}));
    TSpellWordWalker withAddresses(QStringLiteral("see www.exmple.org"), true, false);
    const SpellWord w = withAddresses.next(4);
    EXPECT_EQ(QStringView(u"see www.exmple.org").mid(w.offset, w.length), u"www");
}

class SpellCheckerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("USER", "ann");
    }
    QTemporaryDir m_dir;
};

TEST_F(SpellCheckerTest, KnowsDictionaryWordsAndSuggests)
{
    TSpellChecker checker(m_dir.path());
    ASSERT_TRUE(checker.isReady());
    EXPECT_TRUE(checker.isCorrect(QStringLiteral("house")));
    EXPECT_TRUE(checker.isCorrect(QStringLiteral("don't")));
    EXPECT_FALSE(checker.isCorrect(QStringLiteral("hosue")));
    EXPECT_TRUE(checker.suggestions(QStringLiteral("hosue")).contains(QStringLiteral("house")));
}

TEST_F(SpellCheckerTest, OptionsDecideOnCapitalsAndDigitsAndAreStored)
{
    TSpellChecker checker(m_dir.path());
    EXPECT_TRUE(checker.isCorrect(QStringLiteral("XQZT")));
    EXPECT_TRUE(checker.isCorrect(QStringLiteral("abc123")));
    TSpellOptions o = checker.options();
    o.wordsInCapitals = true;
    o.wordsWithDigits = true;
    ASSERT_TRUE(checker.setOptions(o));
    EXPECT_FALSE(checker.isCorrect(QStringLiteral("XQZT")));
    EXPECT_FALSE(checker.isCorrect(QStringLiteral("abc123")));
    EXPECT_TRUE(QFile::exists(m_dir.filePath(QStringLiteral("Spell.cfg"))));
    EXPECT_EQ(TSpellChecker(m_dir.path()).options(), o);
}

TEST_F(SpellCheckerTest, UserWordsPersistAndMainDictionaryOnlyIgnoresThem)
{
    {
        TSpellChecker checker(m_dir.path());
        EXPECT_FALSE(checker.isCorrect(QStringLiteral("Quorvant")));
        ASSERT_TRUE(checker.addToUserList(QStringLiteral("Quorvant")));
        EXPECT_TRUE(checker.isCorrect(QStringLiteral("Quorvant")));
    }
    EXPECT_TRUE(QFile::exists(m_dir.filePath(QStringLiteral("ann.adu"))));
    TSpellChecker again(m_dir.path());
    EXPECT_TRUE(again.isCorrect(QStringLiteral("Quorvant")));
    TSpellOptions o = again.options();
    o.mainDictionaryOnly = true;
    (void)again.setOptions(o);
    EXPECT_FALSE(again.isCorrect(QStringLiteral("Quorvant")));
}

TEST_F(SpellCheckerTest, UserFilesAreFoundWhateverTheirCaseAndOnlyByTheirOwnName)
{
    QFile list(m_dir.filePath(QStringLiteral("ANN.ADU")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("Quorvant\r\n");
    list.close();
    TSpellChecker checker(m_dir.path());
    EXPECT_EQ(checker.userListPath(), m_dir.filePath(QStringLiteral("ANN.ADU")));
    EXPECT_TRUE(checker.isCorrect(QStringLiteral("Quorvant")));

    // A login name is not a pattern: "a*" must not take ann's list.
    qputenv("USER", "a*");
    TSpellChecker other(m_dir.path());
    EXPECT_EQ(other.userListPath(), m_dir.filePath(QStringLiteral("a*.adu")));
    EXPECT_FALSE(other.isCorrect(QStringLiteral("Quorvant")));
}

TEST_F(SpellCheckerTest, AddingFailsVisiblyWhenTheListCannotBeWritten)
{
    QFile plain(m_dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    QStringList diagnostics;
    TSpellChecker checker(m_dir.filePath(QStringLiteral("plain/sub")), {}, [&](const QString &l) { diagnostics << l; });
    EXPECT_FALSE(checker.addToUserList(QStringLiteral("Quorvant")));
    ASSERT_FALSE(diagnostics.isEmpty());
    EXPECT_TRUE(diagnostics.last().startsWith(QStringLiteral("Error:")));
}

TEST_F(SpellCheckerTest, LearnedReplacementComesFirstNextTime)
{
    TSpellChecker(m_dir.path()).learn(QStringLiteral("teh"), QStringLiteral("ten"));
    EXPECT_EQ(TSpellChecker(m_dir.path()).suggestions(QStringLiteral("teh")).value(0), QStringLiteral("ten"));
}

TEST_F(SpellCheckerTest, SessionAsksInOrderAndBuildsTheCorrectedText)
{
    TSpellChecker checker(m_dir.path());
    TSpellSession s(checker, QStringLiteral("<p title=\"teh\">teh cat saw teh wrold</p>"));
    ASSERT_TRUE(s.next());
    EXPECT_EQ(s.current().word, QStringLiteral("teh"));
    EXPECT_EQ(s.current().offset, 15);
    s.changeAll(QStringLiteral("the"));
    ASSERT_TRUE(s.next());  // the second "teh" is changed without asking
    EXPECT_EQ(s.current().word, QStringLiteral("wrold"));
    s.change(QStringLiteral("world"));
    EXPECT_FALSE(s.next());
    EXPECT_EQ(s.result(), QStringLiteral("<p title=\"teh\">the cat saw the world</p>"));
    EXPECT_EQ(s.replacements().size(), 3);
}

TEST_F(SpellCheckerTest, RepeatedWordsAreReportedAndDeleted)
{
    TSpellChecker checker(m_dir.path());
    TSpellSession s(checker, QStringLiteral("in the the house, the <b>the</b>"));
    ASSERT_TRUE(s.next());
    EXPECT_TRUE(s.current().repeated);
    s.deleteRepeated();
    EXPECT_FALSE(s.next());  // a tag between two words is not a repeat
    EXPECT_EQ(s.result(), QStringLiteral("in the house, the <b>the</b>"));
}

TEST_F(SpellCheckerTest, IgnoreAllAndAddCoverLaterOccurrences)
{
    TSpellChecker checker(m_dir.path());
    TSpellSession s(checker, QStringLiteral("zorp blix zorp blix"));
    ASSERT_TRUE(s.next());
    s.ignoreAll();
    ASSERT_TRUE(s.next());
    EXPECT_EQ(s.current().word, QStringLiteral("blix"));
    ASSERT_TRUE(s.addToUserList());
    EXPECT_FALSE(s.next());
    EXPECT_FALSE(s.changed());
}

TEST(Thesaurus, MeaningsWithSynonyms)
{
    TThesaurus t;
    ASSERT_TRUE(t.isReady());
    const QList<ThesaurusMeaning> m = t.lookup(QStringLiteral("House"));
    ASSERT_FALSE(m.isEmpty());
    bool dwelling = false;
    for (const ThesaurusMeaning &x : m)
        dwelling = dwelling || x.synonyms.filter(QStringLiteral("dwelling")).size() > 0;
    EXPECT_TRUE(dwelling);
    EXPECT_TRUE(t.lookup(QStringLiteral("zzxqv")).isEmpty());
}

} // namespace
