// One suite for the editor contract, run against every implementation, so
// callers can rely on the same behaviour whichever editor they are given.
#include "editorfactory.h"
#include "memoryeditor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace Quorvant {

void PrintTo(CaretPoint p, std::ostream *os)
{
    *os << "(" << p.x << ", " << p.y << ")";
}

void PrintTo(const SelectionRect &r, std::ostream *os)
{
    PrintTo(r.start, os);
    *os << "-";
    PrintTo(r.end, os);
}

namespace Test {

void PrintTo(const EditorFactory &f, std::ostream *os)
{
    *os << f.name;
}

namespace {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

class EditorContract : public ::testing::TestWithParam<EditorFactory>
{
protected:
    void SetUp() override
    {
        view = GetParam().makeView(&owner);
        buffer = makeBuffer();
        view->setSource(buffer);
    }

    ITextBuffer *makeBuffer() { return GetParam().makeBuffer(&owner); }

    // Text with the save point set, so later checks see only their own changes.
    void start(const QString &text, CaretPoint caret = {})
    {
        buffer->setText(text);
        buffer->setModified(false);
        buffer->setCaretPoint(caret);
    }

    QObject owner;
    IEditorView *view = nullptr;
    ITextBuffer *buffer = nullptr;
};

TEST_P(EditorContract, TextSplitsAtEveryLineBreakAndJoinsWithCrLf)
{
    struct Case
    {
        QString input;
        QStringList lines;
        QString text;
    };
    const std::vector<Case> cases = {
        {"", {""}, ""},
        {"one", {"one"}, "one"},
        {"a\r\nb", {"a", "b"}, "a\r\nb"},
        {"a\nb\rc", {"a", "b", "c"}, "a\r\nb\r\nc"},
        {"a\n\rb", {"a", "", "b"}, "a\r\n\r\nb"},
        {"x\r\n", {"x", ""}, "x\r\n"},
        {"\r\n\r\n", {"", "", ""}, "\r\n\r\n"},
        {QStringLiteral("é€\n\r\nz"), {QStringLiteral("é€"), "", "z"}, QStringLiteral("é€\r\n\r\nz")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.input.toStdString());
        view->setText(c.input);
        EXPECT_EQ(buffer->lines(), c.lines);
        EXPECT_EQ(view->lines(), c.lines);
        EXPECT_EQ(buffer->lineCount(), c.lines.size());
        EXPECT_EQ(buffer->line(int(c.lines.size()) - 1), c.lines.last());
        EXPECT_EQ(view->text(), c.text);
        EXPECT_EQ(buffer->text(), c.text);
    }
}

TEST_P(EditorContract, CaretAndSelectionCountCharacters)
{
    start(QStringLiteral("aé€b\r\nxy"));
    EXPECT_EQ(caretStatusText(view->caretPoint()), "X: 0    Y: 0    (Press CTRL+SPACE for Tag Insight.)");

    view->setCaretPoint({3, 0});
    EXPECT_EQ(buffer->caretPoint(), (CaretPoint{3, 0}));
    EXPECT_EQ(caretStatusText(buffer->caretPoint()), "X: 3    Y: 0    (Press CTRL+SPACE for Tag Insight.)");

    buffer->setSelection({{1, 0}, {3, 0}});
    EXPECT_EQ(view->selText(), QStringLiteral("é€"));
    EXPECT_EQ(buffer->selectionRect(), (SelectionRect{{1, 0}, {3, 0}}));
    EXPECT_EQ(buffer->caretPoint(), (CaretPoint{3, 0}));

    buffer->setSelection({{2, 0}, {1, 1}});
    EXPECT_EQ(buffer->selText(), QStringLiteral("€b\r\nx"));
    EXPECT_EQ(buffer->selStrings(), (QStringList{QStringLiteral("€b"), "x"}));

    // Selected from the end backwards: the rectangle is still in text order.
    buffer->setSelection({{1, 1}, {2, 0}});
    EXPECT_EQ(buffer->selectionRect(), (SelectionRect{{2, 0}, {1, 1}}));
    EXPECT_EQ(buffer->caretPoint(), (CaretPoint{2, 0}));
    EXPECT_EQ(buffer->selText(), QStringLiteral("€b\r\nx"));

    buffer->selectAll();
    EXPECT_EQ(buffer->selText(), buffer->text());
    buffer->clearSelection();
    EXPECT_FALSE(buffer->hasSelection());
    EXPECT_EQ(buffer->text(), QStringLiteral("aé€b\r\nxy"));

    const struct
    {
        CaretPoint asked, expected;
    } clamps[] = {
        {{99, 0}, {4, 0}}, {{5, 1}, {2, 1}}, {{0, 99}, {0, 1}}, {{1, 99}, {1, 1}}, {{-1, -1}, {0, 0}},
    };
    for (const auto &c : clamps) {
        buffer->setSelection({{0, 0}, {1, 1}});
        buffer->setCaretPoint(c.asked);
        EXPECT_EQ(buffer->caretPoint(), c.expected);
        EXPECT_FALSE(buffer->hasSelection());
    }
    EXPECT_FALSE(buffer->isModified());
}

// Columns are QString indexes of line(): an emoji takes two, a combining
// accent one of its own, a CJK character one.
TEST_P(EditorContract, ColumnsAreUtf16UnitsOfTheLine)
{
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");        // U+1F600
    const QString accent = QStringLiteral("e\u0301");                     // e + combining acute
    const QString cjk = QStringLiteral("\u6F22\u5B57");                   // two CJK ideographs
    const QStringList lines = {emoji + " <font size=2>", accent + "<b>x", cjk + "<i>" + emoji + "z"};
    start(lines.join("\r\n"));

    const struct
    {
        int y;
        QString before;  // the text left of the caret
    } cases[] = {
        {0, emoji}, {0, emoji + " <"}, {0, emoji + " <font size=2>"},
        {1, "e"}, {1, accent}, {1, accent + "<b>x"},
        {2, cjk.left(1)}, {2, cjk + "<i>"}, {2, cjk + "<i>" + emoji}, {2, cjk + "<i>" + emoji + "z"},
    };
    for (const auto &c : cases) {
        const int x = int(c.before.size());
        SCOPED_TRACE(c.before.toStdString());
        buffer->setCaretPoint({x, c.y});
        EXPECT_EQ(buffer->caretPoint(), (CaretPoint{x, c.y}));
        EXPECT_EQ(buffer->line(c.y).left(x), c.before);
        // Selecting the rest of the line reads exactly the rest of line().
        buffer->setSelection({{x, c.y}, {int(buffer->line(c.y).size()), c.y}});
        EXPECT_EQ(buffer->selText(), buffer->line(c.y).mid(x));
        EXPECT_EQ(buffer->selectionRect().start, (CaretPoint{x, c.y}));
    }

    // A column between the halves of a surrogate pair stands before the emoji.
    buffer->setCaretPoint({1, 0});
    EXPECT_EQ(buffer->caretPoint(), (CaretPoint{0, 0}));

    // Replacing a span given in columns touches exactly that span.
    const int at = int((emoji + " <font ").size());
    buffer->setSelection({{at, 0}, {at + 6, 0}});
    EXPECT_EQ(buffer->selText(), "size=2");
    buffer->setSelText("SIZE=\"3\"");
    EXPECT_EQ(buffer->line(0), emoji + " <font SIZE=\"3\">");
    EXPECT_EQ(buffer->caretPoint(), (CaretPoint{at + 8, 0}));

    buffer->setCaretPoint({int((cjk + "<i>" + emoji).size()), 2});
    buffer->insertString("!");
    EXPECT_EQ(buffer->line(2), cjk + "<i>" + emoji + "!z");
}

TEST_P(EditorContract, NothingSelectedReadsEmptyAndEmptySelTextChangesNothing)
{
    start("abc", {1, 0});
    int changes = 0;
    QObject::connect(buffer, &ITextBuffer::textChanged, [&] { ++changes; });
    EXPECT_FALSE(buffer->hasSelection());
    EXPECT_TRUE(view->selText().isEmpty());
    EXPECT_TRUE(buffer->selStrings().isEmpty());

    view->setSelText(QString());
    EXPECT_EQ(buffer->text(), "abc");
    EXPECT_EQ(buffer->caretPoint(), (CaretPoint{1, 0}));
    EXPECT_FALSE(buffer->isModified());
    EXPECT_EQ(changes, 0);
}

TEST_P(EditorContract, SetSelTextReplacesTheSelectionAndLeavesTheCaretAfterIt)
{
    struct Case
    {
        QString text;
        SelectionRect selection;
        QString replacement;
        QString expected;
        CaretPoint caret;
    };
    const std::vector<Case> cases = {
        {"abc", {{1, 0}, {2, 0}}, "X\r\nY", "aX\r\nYc", {1, 1}},
        {"abc", {{1, 0}, {1, 0}}, QStringLiteral("é€"), QStringLiteral("aé€bc"), {3, 0}},
        {"ab\r\ncd", {{1, 0}, {1, 1}}, "", "ad", {1, 0}},
        {"ab\r\ncd", {{0, 0}, {2, 1}}, "x\ny", "x\r\ny", {1, 1}},
        {"ab\r\ncd", {{2, 1}, {0, 1}}, "Z", "ab\r\nZ", {1, 1}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        start(c.text);
        buffer->setSelection(c.selection);
        view->setSelText(c.replacement);
        EXPECT_EQ(buffer->text(), c.expected);
        EXPECT_EQ(buffer->caretPoint(), c.caret);
        EXPECT_FALSE(buffer->hasSelection());
        EXPECT_TRUE(buffer->isModified());
    }
}

TEST_P(EditorContract, MarkBlockSelectsBetweenTheTwoMarksInEitherOrder)
{
    start("abc\r\ndef");
    for (const auto &marks : {SelectionRect{{1, 0}, {2, 1}}, SelectionRect{{2, 1}, {1, 0}}}) {
        buffer->setCaretPoint(marks.start);
        buffer->markBlockBegin();
        buffer->setCaretPoint(marks.end);
        buffer->markBlockEnd();
        EXPECT_EQ(buffer->selectionRect(), (SelectionRect{{1, 0}, {2, 1}}));
        EXPECT_EQ(buffer->selText(), "bc\r\nde");
        EXPECT_EQ(buffer->selStrings(), (QStringList{"bc", "de"}));
    }
}

TEST_P(EditorContract, InsertStringAndInsertLineBreakAtTheCaret)
{
    struct Case
    {
        QString text;
        SelectionRect selection;  // the caret is at its end
        QString inserted;
        QString expected;
        CaretPoint caret;
    };
    const std::vector<Case> cases = {
        {"abc", {{1, 0}, {1, 0}}, QStringLiteral("X\r\nYé"), QStringLiteral("aX\r\nYébc"), {2, 1}},
        {"abc", {{3, 0}, {3, 0}}, "\r\n\r\n", "abc\r\n\r\n", {0, 2}},
        {"abc", {{0, 0}, {1, 0}}, "Z", "aZbc", {2, 0}},  // the selection is kept, not replaced
        {"ab\r\ncd", {{1, 1}, {1, 1}}, "1\n2\r3", "ab\r\nc1\r\n2\r\n3d", {1, 3}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        start(c.text);
        buffer->setSelection(c.selection);
        buffer->insertString(c.inserted);
        EXPECT_EQ(buffer->text(), c.expected);
        EXPECT_EQ(buffer->caretPoint(), c.caret);
    }

    start("abc", {1, 0});
    buffer->insertLine();
    EXPECT_EQ(buffer->lines(), (QStringList{"a", "bc"}));
    EXPECT_EQ(buffer->caretPoint(), (CaretPoint{0, 1}));
    buffer->setCaretPoint({2, 1});
    buffer->insertLine();
    EXPECT_EQ(buffer->lines(), (QStringList{"a", "bc", ""}));
    EXPECT_EQ(buffer->caretPoint(), (CaretPoint{0, 2}));
}

TEST_P(EditorContract, EachOperationIsOneUndoStep)
{
    start("a", {1, 0});
    buffer->insertString("b");
    buffer->insertString("c");  // right after the last one: still its own step
    buffer->setSelection({{0, 0}, {1, 0}});
    buffer->setSelText("X\r\n");
    ASSERT_EQ(buffer->text(), "X\r\nbc");

    const QStringList history = {"abc", "ab", "a"};
    for (const QString &expected : history) {
        ASSERT_TRUE(buffer->canUndo());
        buffer->undo();
        EXPECT_EQ(buffer->text(), expected);
    }
    EXPECT_TRUE(buffer->canRedo());
    buffer->redo();
    EXPECT_EQ(buffer->text(), "ab");
    buffer->redo();
    EXPECT_EQ(buffer->text(), "abc");

    // A new change after undoing drops what could have been redone.
    buffer->setCaretPoint({0, 0});
    buffer->insertString("#");
    EXPECT_EQ(buffer->text(), "#abc");
    EXPECT_FALSE(buffer->canRedo());
    buffer->redo();
    EXPECT_EQ(buffer->text(), "#abc");
    buffer->undo();
    EXPECT_EQ(buffer->text(), "abc");
}

TEST_P(EditorContract, NestedUndoGroupsUndoAsOneStep)
{
    start("abc");
    buffer->beginUndoAction();
    buffer->insertString("1");
    buffer->beginUndoAction();
    buffer->setCaretPoint({4, 0});
    buffer->insertLine();
    buffer->endUndoAction();
    buffer->setSelection({{1, 0}, {2, 0}});
    buffer->setSelText("Z");
    buffer->endUndoAction();
    ASSERT_EQ(buffer->text(), "1Zbc\r\n");

    buffer->undo();
    EXPECT_EQ(buffer->text(), "abc");
    EXPECT_FALSE(buffer->isModified());
    buffer->redo();
    EXPECT_EQ(buffer->text(), "1Zbc\r\n");

    // Once closed, the next change is a step of its own again.
    buffer->setCaretPoint({0, 0});
    buffer->insertString("!");
    buffer->undo();
    EXPECT_EQ(buffer->text(), "1Zbc\r\n");
}

TEST_P(EditorContract, ModifiedFlagFollowsTheSavePoint)
{
    start("abc", {3, 0});
    std::vector<bool> flips;
    int changes = 0;
    QObject::connect(buffer, &ITextBuffer::modificationChanged, [&](bool m) { flips.push_back(m); });
    QObject::connect(buffer, &ITextBuffer::textChanged, [&] { ++changes; });
    // Every change of the text is announced.
    auto changed = [&](const std::function<void()> &action) {
        const int before = changes;
        action();
        return changes > before;
    };

    EXPECT_TRUE(changed([&] { buffer->insertString("d"); }));
    EXPECT_TRUE(buffer->isModified());
    EXPECT_TRUE(changed([&] {
        buffer->setCaretPoint({0, 0});
        buffer->insertString("e");
    }));
    EXPECT_TRUE(changed([&] { buffer->undo(); }));
    EXPECT_TRUE(buffer->isModified());
    EXPECT_TRUE(changed([&] { buffer->undo(); }));
    EXPECT_FALSE(buffer->isModified()) << "undoing back to the saved text";
    EXPECT_TRUE(changed([&] { buffer->redo(); }));
    EXPECT_TRUE(buffer->isModified());
    EXPECT_EQ(flips, (std::vector<bool>{true, false, true}));

    buffer->setModified(false);  // saved as "abcd"
    EXPECT_FALSE(buffer->isModified());
    buffer->undo();
    EXPECT_TRUE(buffer->isModified()) << "undoing past the save point";
    buffer->redo();
    EXPECT_FALSE(buffer->isModified());
    EXPECT_EQ(flips, (std::vector<bool>{true, false, true, false, true, false}));

    // The saved step is dropped by a new change made after undoing it.
    buffer->undo();
    buffer->setCaretPoint({3, 0});
    buffer->insertString("x");
    ASSERT_EQ(buffer->text(), "abcx");
    EXPECT_TRUE(buffer->isModified());
    buffer->undo();
    EXPECT_TRUE(buffer->isModified());
    buffer->setModified(false);

    EXPECT_FALSE(changed([&] { buffer->setModified(true); }));
    EXPECT_TRUE(buffer->isModified());
    EXPECT_EQ(buffer->text(), "abc");
    EXPECT_EQ(flips.back(), true);
}

TEST_P(EditorContract, SwitchingBuffersKeepsEachBuffersStateExactly)
{
    ITextBuffer *a = buffer;
    view->setText("alpha\r\nbeta");
    view->setCaretPoint({0, 1});
    a->insertString("X");
    a->setSelection({{1, 0}, {3, 1}});
    const QString textA = a->text();
    const SelectionRect selA = a->selectionRect();
    const CaretPoint caretA = a->caretPoint();

    ITextBuffer *b = makeBuffer();
    view->setSource(b);
    EXPECT_EQ(view->source(), b);
    EXPECT_EQ(view->text(), "");
    view->setText("other");
    view->setCaretPoint({2, 0});
    b->insertString("Q");
    EXPECT_EQ(a->text(), textA);

    view->setSource(a);
    EXPECT_EQ(view->source(), a);
    EXPECT_EQ(view->text(), textA);
    EXPECT_EQ(view->caretPoint(), caretA);
    EXPECT_EQ(a->selectionRect(), selA);
    EXPECT_EQ(view->selText(), "lpha\r\nXbe");
    EXPECT_FALSE(a->canRedo());
    a->undo();
    EXPECT_EQ(view->text(), "alpha\r\nbeta");
    a->undo();
    EXPECT_EQ(view->text(), "");

    view->setSource(b);
    EXPECT_EQ(view->text(), "otQher");
    EXPECT_EQ(view->caretPoint(), (CaretPoint{3, 0}));
    view->setSelText("!");
    EXPECT_EQ(b->text(), "otQ!her");
    b->undo();
    b->undo();
    EXPECT_EQ(b->text(), "other");
}

TEST_P(EditorContract, BufferWorksWithoutAViewAndAViewWithoutABufferReadsEmpty)
{
    view->setText("shown");
    int viewChanges = 0;
    QObject::connect(view, &IEditorView::changed, [&] { ++viewChanges; });

    ITextBuffer *loose = makeBuffer();
    loose->setText("one\r\ntwo");
    loose->setCaretPoint({3, 0});
    loose->insertString("!");
    loose->toggleBookmark(2);
    EXPECT_EQ(loose->text(), "one!\r\ntwo");
    EXPECT_EQ(loose->caretPoint(), (CaretPoint{4, 0}));
    EXPECT_EQ(loose->bookmarkLine(2), 0);
    loose->undo();
    EXPECT_EQ(loose->text(), "one\r\ntwo");
    EXPECT_EQ(view->text(), "shown");
    EXPECT_EQ(viewChanges, 0) << "a buffer the view does not show must not raise its OnChange";

    view->setText("shown again");
    EXPECT_GT(viewChanges, 0);

    view->setSource(nullptr);
    EXPECT_EQ(view->source(), nullptr);
    EXPECT_EQ(view->text(), "");
    EXPECT_TRUE(view->lines().isEmpty());
    view->setText("lost");
    view->setCaretPoint({4, 0});
    EXPECT_EQ(buffer->text(), "shown again");
    EXPECT_EQ(buffer->caretPoint(), (CaretPoint{0, 0}));
    QString error;
    EXPECT_FALSE(view->saveToFile(QDir::temp().filePath("quorvant-never-written.txt"), &error));
    EXPECT_FALSE(error.isEmpty());

    // A document's buffer is freed while the view still shows it.
    ITextBuffer *doomed = makeBuffer();
    view->setSource(doomed);
    doomed->setText("gone");
    delete doomed;
    EXPECT_EQ(view->source(), nullptr);
    EXPECT_EQ(view->text(), "");
}

TEST_P(EditorContract, BookmarksToggleGoToAndFollowTheirLines)
{
    start("l0\r\nl1\r\nl2\r\nl3", {1, 2});
    buffer->goToBookmark(5);
    EXPECT_EQ(buffer->caretPoint(), (CaretPoint{1, 2})) << "a bookmark never set";
    EXPECT_EQ(buffer->bookmarkLine(5), -1);

    buffer->toggleBookmark(1);
    EXPECT_EQ(buffer->bookmarkLine(1), 2);
    buffer->setCaretPoint({2, 0});
    buffer->goToBookmark(1);
    EXPECT_EQ(buffer->caretPoint(), (CaretPoint{0, 2}));

    buffer->toggleBookmark(1);  // on its own line: removed
    EXPECT_EQ(buffer->bookmarkLine(1), -1);
    buffer->setCaretPoint({1, 1});
    buffer->goToBookmark(1);
    EXPECT_EQ(buffer->caretPoint(), (CaretPoint{1, 1}));

    buffer->toggleBookmark(1);
    buffer->setCaretPoint({0, 3});
    buffer->toggleBookmark(1);  // elsewhere: moved to the caret line
    buffer->toggleBookmark(9);
    EXPECT_EQ(buffer->bookmarkLine(1), 3);
    EXPECT_EQ(buffer->bookmarkLine(9), 3);

    // Lines added and removed above a bookmark carry it along.
    buffer->setCaretPoint({0, 0});
    buffer->insertLine();
    EXPECT_EQ(buffer->bookmarkLine(1), 4);
    buffer->setSelection({{0, 0}, {0, 2}});
    buffer->setSelText(QString());
    EXPECT_EQ(buffer->text(), "l1\r\nl2\r\nl3");
    EXPECT_EQ(buffer->bookmarkLine(1), 2);
    buffer->setCaretPoint({1, 0});
    buffer->goToBookmark(9);
    EXPECT_EQ(buffer->caretPoint(), (CaretPoint{0, 2}));

    // Bookmarks belong to their buffer.
    ITextBuffer *other = makeBuffer();
    other->setText("x\r\ny\r\nz\r\nw");
    other->setCaretPoint({1, 1});
    other->goToBookmark(1);
    EXPECT_EQ(other->caretPoint(), (CaretPoint{1, 1}));
    EXPECT_EQ(other->bookmarkLine(1), -1);
}

TEST_P(EditorContract, ReadOnlyBlocksEveryEdit)
{
    start("abc");
    buffer->insertString(">");
    buffer->setModified(false);
    buffer->setSelection({{2, 0}, {3, 0}});
    view->copyToClipboard();  // "b", so a paste would change the text
    buffer->setSelection({{0, 0}, {1, 0}});

    view->setReadOnly(true);
    EXPECT_TRUE(view->isReadOnly());
    EXPECT_TRUE(buffer->isReadOnly());
    const std::vector<std::pair<const char *, std::function<void()>>> edits = {
        {"setSelText", [&] { view->setSelText("X"); }},
        {"insertString", [&] { buffer->insertString("Y"); }},
        {"insertLine", [&] { buffer->insertLine(); }},
        {"quoteBlock", [&] { buffer->quoteBlock(); }},
        {"cut", [&] { view->cutToClipboard(); }},
        {"paste", [&] { view->pasteFromClipboard(); }},
        {"undo", [&] { buffer->undo(); }},
    };
    for (const auto &[name, edit] : edits) {
        SCOPED_TRACE(name);
        buffer->setSelection({{0, 0}, {1, 0}});
        edit();
        EXPECT_EQ(buffer->text(), ">abc");
        EXPECT_FALSE(buffer->isModified());
    }

    // The program may still show a text in a read-only view.
    view->setText("preview");
    EXPECT_EQ(view->text(), "preview");

    view->setReadOnly(false);
    EXPECT_FALSE(buffer->isReadOnly());
    buffer->setSelection({{0, 0}, {3, 0}});
    view->setSelText("re");
    EXPECT_EQ(view->text(), "review");
}

TEST_P(EditorContract, FindFindNextAndReplaceAll)
{
    start("Foo food\r\nfoo FOO");
    SearchOptions o;
    o.text = "foo";
    const SelectionRect hits[] = {{{0, 0}, {3, 0}}, {{4, 0}, {7, 0}}, {{0, 1}, {3, 1}}, {{4, 1}, {7, 1}}};
    ASSERT_TRUE(buffer->find(o));
    EXPECT_EQ(buffer->selectionRect(), hits[0]);
    EXPECT_EQ(buffer->selText(), "Foo");
    for (int i = 1; i < 4; ++i) {
        ASSERT_TRUE(buffer->findNext());
        EXPECT_EQ(buffer->selectionRect(), hits[i]);
    }
    EXPECT_FALSE(buffer->findNext());
    EXPECT_EQ(buffer->selectionRect(), hits[3]) << "a failed search leaves the selection";

    SearchOptions exact = o;
    exact.caseSensitive = true;
    exact.wholeWords = true;
    exact.fromCaret = false;
    ASSERT_TRUE(buffer->find(exact));
    EXPECT_EQ(buffer->selectionRect(), hits[2]);

    SearchOptions back = o;
    back.backwards = true;
    buffer->setCaretPoint({0, 1});
    ASSERT_TRUE(buffer->find(back));
    EXPECT_EQ(buffer->selectionRect(), hits[1]);

    SearchOptions re = o;
    re.text = "f\\w+d";
    re.regularExpression = true;
    re.fromCaret = false;
    ASSERT_TRUE(buffer->find(re));
    EXPECT_EQ(buffer->selText(), "food");

    SearchOptions words = o;
    words.wholeWords = true;
    EXPECT_EQ(buffer->replaceAll(words, QStringLiteral("bär")), 3);
    EXPECT_EQ(buffer->text(), QStringLiteral("bär food\r\nbär bär"));
    buffer->undo();
    EXPECT_EQ(buffer->text(), "Foo food\r\nfoo FOO");
    EXPECT_FALSE(buffer->isModified());

    // Matches are placed in characters, past non-ASCII text.
    start(QStringLiteral("é€ x\r\n€"));
    SearchOptions euro;
    euro.text = QStringLiteral("€");
    ASSERT_TRUE(buffer->find(euro));
    EXPECT_EQ(buffer->selectionRect(), (SelectionRect{{1, 0}, {2, 0}}));
    ASSERT_TRUE(buffer->findNext());
    EXPECT_EQ(buffer->selectionRect(), (SelectionRect{{0, 1}, {1, 1}}));
}

TEST_P(EditorContract, ReplaceAllPlacesEveryMatchWhateverTheLineEndsAndCharacters)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("mixed.htm");
    writeBytes(path, QStringLiteral("the \U0001F600\u00e9 the\nxthe\r\nthe\rend the").toUtf8());
    QString error;
    ASSERT_TRUE(buffer->loadFromFile(path, &error)) << error.toStdString();
    buffer->setCaretPoint({0, 2});
    buffer->toggleBookmark(1);
    const QString before = buffer->text();

    SearchOptions o;
    o.text = "the";
    o.caseSensitive = true;
    EXPECT_EQ(buffer->replaceAll(o, QStringLiteral("\u00fc")), 5);
    EXPECT_EQ(buffer->text(), QStringLiteral("\u00fc \U0001F600\u00e9 \u00fc\r\nx\u00fc\r\n\u00fc\r\nend \u00fc"));
    EXPECT_EQ(buffer->bookmarkLine(1), 2) << "marks stay on their lines";
    EXPECT_EQ(buffer->caretPoint(), (CaretPoint{1, 0}));
    EXPECT_TRUE(buffer->isModified());
    buffer->undo();
    EXPECT_EQ(buffer->text(), before) << "one undo step";
    EXPECT_FALSE(buffer->isModified());

    // Several thousand matches on many lines, and a pattern that spans lines.
    QString many;
    for (int i = 0; i < 3000; ++i)
        many += QStringLiteral("a the b\r\n");
    start(many);
    EXPECT_EQ(buffer->replaceAll(o, "THE"), 3000);
    EXPECT_EQ(buffer->text(), QString(many).replace("the", "THE"));
    SearchOptions re;
    re.text = "b\\r\\na";
    re.regularExpression = true;
    EXPECT_EQ(buffer->replaceAll(re, "-"), 2999);
    EXPECT_TRUE(buffer->text().startsWith("a THE - THE - THE"));
    EXPECT_EQ(buffer->lineCount(), 2);
}

class CountingBuffer : public MemoryTextBuffer
{
public:
    using MemoryTextBuffer::MemoryTextBuffer;
    QString line(int index) const override
    {
        ++lineReads;
        return MemoryTextBuffer::line(index);
    }
    mutable qint64 lineReads = 0;
};

TEST(ReplaceAll, PlacesMatchesWithoutWalkingFromTheFirstLineEachTime)
{
    CountingBuffer buffer;
    QString page;
    for (int i = 0; i < 2000; ++i)
        page += QStringLiteral("<p>the word</p>\r\n");
    buffer.setText(page);
    SearchOptions o;
    o.text = "the";
    qsizetype lastDone = 0;
    EXPECT_EQ(buffer.replaceAll(o, "a", [&](qsizetype done, qsizetype total) {
        EXPECT_EQ(total, 2000);
        EXPECT_GE(done, lastDone);
        lastDone = done;
    }), 2000);
    EXPECT_EQ(lastDone, 2000) << "progress ends at the total";
    EXPECT_LT(buffer.lineReads, 4000) << "line reads grow with matches times lines";
}

TEST_P(EditorContract, QuoteBlockPrefixesTheSelectedLinesInOneStep)
{
    start("ab\r\ncd\r\nef");
    buffer->setSelection({{1, 0}, {1, 1}});
    buffer->quoteBlock();
    EXPECT_EQ(buffer->text(), "> ab\r\n> cd\r\nef");
    buffer->undo();
    EXPECT_EQ(buffer->text(), "ab\r\ncd\r\nef");
}

TEST_P(EditorContract, FilesRoundTripByteForByte)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        QStringList lines;
    };
    const std::vector<Case> cases = {
        {"UTF-8, CR LF", "caf\xC3\xA9\r\n\xE2\x82\xAC x\r\n", {QStringLiteral("café"), QStringLiteral("€ x"), ""}},
        {"UTF-8 with BOM, LF", "\xEF\xBB\xBF" "a\nb", {"a", "b"}},
        {"Windows-1252, CR LF", "caf\xE9 \x80\r\nz", {QStringLiteral("café €"), "z"}},
        {"LF with final break", "one\ntwo\n", {"one", "two", ""}},
        {"CR", "a\rb", {"a", "b"}},
        {"empty", "", {""}},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString in = dir.filePath("in.htm");
    const QString out = dir.filePath("out.htm");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(in, c.bytes);
        buffer->setText("to be replaced");
        QString error;
        ASSERT_TRUE(view->loadFromFile(in, &error)) << error.toStdString();
        EXPECT_EQ(buffer->lines(), c.lines);
        EXPECT_FALSE(buffer->isModified());
        EXPECT_FALSE(buffer->canUndo()) << "a loaded file starts a new history";
        ASSERT_TRUE(view->saveToFile(out, &error)) << error.toStdString();
        EXPECT_EQ(readBytes(out), c.bytes);
    }
}

TEST_P(EditorContract, SavedEditsKeepTheFilesEncodingAndLineEnds)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("page.htm");
    writeBytes(path, "caf\xE9\nx");
    QString error;
    ASSERT_TRUE(view->loadFromFile(path, &error)) << error.toStdString();
    buffer->setCaretPoint({4, 0});
    buffer->insertString(QStringLiteral("\r\n€"));
    EXPECT_TRUE(buffer->isModified());
    ASSERT_TRUE(buffer->saveToFile(path, &error)) << error.toStdString();
    EXPECT_EQ(readBytes(path), QByteArray("caf\xE9\n\x80\nx"));
}

TEST_P(EditorContract, FailedSavesAndLoadsReportAnErrorAndChangeNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    view->setText("new text");
    const QString old = dir.filePath("old.htm");
    writeBytes(old, "old bytes");
    const QString folder = dir.filePath("folder");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    writeBytes(folder + "/inner.htm", "inner");

    const QString badTargets[] = {dir.filePath("missing/page.htm"), folder, old + "/page.htm"};
    for (const QString &target : badTargets) {
        SCOPED_TRACE(target.toStdString());
        QString error;
        EXPECT_FALSE(view->saveToFile(target, &error));
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(readBytes(folder + "/inner.htm"), "inner");
    EXPECT_EQ(readBytes(old), "old bytes");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              (QStringList{"folder", "old.htm"}))
        << "no temporary file left behind";

    for (const QString &source : {dir.filePath("absent.htm"), folder}) {
        SCOPED_TRACE(source.toStdString());
        QString error;
        EXPECT_FALSE(view->loadFromFile(source, &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(view->text(), "new text");
    }
}

TEST_P(EditorContract, ViewOptionsWrapAndClipboardLeaveOtherStateAlone)
{
    start("hello world");
    view->setOptions(DefaultViewOptions);
    view->includeOptions(moLineNumbers | moDrawSpecialSymbols);
    EXPECT_EQ(view->options(), DefaultViewOptions | moLineNumbers | moDrawSpecialSymbols);
    view->excludeOptions(moDrawGutter | moDrawSpecialSymbols);
    EXPECT_EQ(view->options(), (DefaultViewOptions & ~moDrawGutter) | moLineNumbers);
    view->setWordWrap(true);
    EXPECT_TRUE(view->wordWrap());
    view->setWordWrap(false);
    EXPECT_FALSE(view->wordWrap());
    view->setVisible(true);
    EXPECT_TRUE(view->isVisible());
    view->setVisible(false);
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(view->text(), "hello world");
    EXPECT_FALSE(buffer->isModified());

    buffer->setSelection({{0, 0}, {5, 0}});
    view->copyToClipboard();
    EXPECT_EQ(view->text(), "hello world");
    buffer->setCaretPoint({11, 0});
    view->pasteFromClipboard();
    EXPECT_EQ(view->text(), "hello worldhello");
    buffer->setSelection({{5, 0}, {11, 0}});
    view->cutToClipboard();
    EXPECT_EQ(view->text(), "hellohello");
    EXPECT_EQ(buffer->caretPoint(), (CaretPoint{5, 0}));
    view->pasteFromClipboard();
    EXPECT_EQ(view->text(), "hello worldhello");
}

std::string factoryName(const ::testing::TestParamInfo<EditorFactory> &info)
{
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Memory, EditorContract, ::testing::Values(memoryEditorFactory()), factoryName);
INSTANTIATE_TEST_SUITE_P(Scintilla, EditorContract, ::testing::Values(scintillaEditorFactory()), factoryName);

TEST(CaretStatusText, ShowsTheCaretPointAndTheTagInsightHint)
{
    EXPECT_EQ(caretStatusText({0, 0}), "X: 0    Y: 0    (Press CTRL+SPACE for Tag Insight.)");
    EXPECT_EQ(caretStatusText({17, 1203}), "X: 17    Y: 1203    (Press CTRL+SPACE for Tag Insight.)");
}

TEST(SplitSnippetForDrop, EndTextLosesOneFinalLineBreak)
{
    const QString sep(QChar(0xFE));
    const struct
    {
        QString snippet, start, end;
    } cases[] = {
        {"<b>" + sep + "</b>\r\n", "<b>", "</b>"},
        {"<b>" + sep + "</b>\r\n\r\n", "<b>", "</b>\r\n"},
        {"<b>" + sep + "</b>\n", "<b>", "</b>"},
        {"<b>" + sep + "</b>\r", "<b>", "</b>"},
        {"<b>" + sep + "</b>\n\r", "<b>", "</b>\n"},
        {"a\r\n" + sep, "a\r\n", ""},
        {"no separator\r\n", "no separator\r\n", ""},
        {sep + "x" + sep + "y\r\n", "", "x" + sep + "y"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.snippet.toStdString());
        const DropTexts d = splitSnippetForDrop(c.snippet);
        EXPECT_EQ(d.startText, c.start);
        EXPECT_EQ(d.endText, c.end);
    }
}

} // namespace
} // namespace Test
} // namespace Quorvant
