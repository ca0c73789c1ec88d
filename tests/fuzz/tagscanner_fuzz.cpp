// The tag scanners on a page of any content: every position they give lies
// inside the text, and the text they return is the text at that position.
#include "fuzzsupport.h"

#include "memoryeditor.h"
#include "tagdatabase.h"
#include "tagscanning.h"
#include "textfileformat.h"

using namespace Quorvant;

namespace {

// Lines and columns tried per input, so a long page stays quick.
constexpr int LinesExamined = 40;
constexpr int ColumnsExamined = 160;

bool inside(const ITextBuffer &buffer, CaretPoint p)
{
    return p.y >= 0 && p.y < buffer.lineCount() && p.x >= 0 && p.x <= buffer.line(p.y).size();
}

bool before(CaretPoint a, CaretPoint b)
{
    return a.y < b.y || (a.y == b.y && a.x <= b.x);
}

void checkCaretTag(const QString &line, int x)
{
    const TCaretTag tag = CaretTag(line, x);
    if (!tag.Inside)
        return;
    FUZZ_CHECK(tag.Start >= 0 && tag.Start < x && tag.Start < line.size());
    FUZZ_CHECK(line.at(tag.Start) == u'<');
    FUZZ_CHECK(QStringView(line).sliced(tag.Start).startsWith(tag.TagText));
    (void)TTagDatabase::FindMainTag(tag.TagText);
    (void)TTagDatabase::TagValueItems(tag.TagText);
}

void checkTagAtCaret(MemoryTextBuffer &buffer, CaretPoint caret)
{
    buffer.setCaretPoint(caret);
    const CaretPoint placed = buffer.caretPoint();
    const QString left = GetTagAtCaret(&buffer, false);
    FUZZ_CHECK(buffer.caretPoint() == placed && !buffer.hasSelection());
    const QString selected = GetTagAtCaret(&buffer, true);
    FUZZ_CHECK(selected == left);
    if (selected.isEmpty()) {
        FUZZ_CHECK(buffer.caretPoint() == placed);
        return;
    }
    FUZZ_CHECK(selected.startsWith(u'<') && selected.endsWith(u'>'));
    const SelectionRect s = buffer.selectionRect();
    FUZZ_CHECK(inside(buffer, s.start) && inside(buffer, s.end) && before(s.start, s.end));
    FUZZ_CHECK(before(s.start, placed) && before(placed, s.end));
    (void)GetTagAtCursor(&buffer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = decodeTextFile(Fuzz::inputBytes(data, size)).text;
    MemoryTextBuffer buffer;
    buffer.setText(text);

    const PageTitleInfo title = FindPageTitle(&buffer);
    if (title.found) {
        FUZZ_CHECK(inside(buffer, title.start) && inside(buffer, title.end) && before(title.start, title.end));
        FUZZ_CHECK(GetPageTitle(&buffer, true) == title.title);
        FUZZ_CHECK(buffer.selectionRect() == (SelectionRect{title.start, title.end}));
    }

    for (int y = 0; y < buffer.lineCount() && y < LinesExamined; ++y) {
        const QString line = buffer.line(y);
        (void)GetTagValue(line, QStringLiteral("HREF"));
        (void)GetValue(1, u',', line);
        for (int x = 0; x <= line.size() && x < ColumnsExamined; ++x)
            checkCaretTag(line, x);
        for (int x : {0, int(line.size()) / 2, int(line.size())})
            checkTagAtCaret(buffer, {x, y});
    }
    return 0;
}
