#include "toolkittestsupport.h"

#include "memoryeditor.h"
#include "tmemosource.h"
#include "toolkitglobals.h"

void PrintTo(const QString &s, std::ostream *os)
{
    QString shown = s;
    shown.replace(QStringLiteral("\r"), QStringLiteral("\\r")).replace(QStringLiteral("\n"), QStringLiteral("\\n"));
    *os << '"' << shown.toStdString() << '"';
}

namespace Quorvant {

void PrintTo(CaretPoint p, std::ostream *os)
{
    *os << "(" << p.x << ", " << p.y << ")";
}

namespace Test {

void PrintTo(BufferKind kind, std::ostream *os)
{
    *os << (kind == BufferKind::Memory ? "Memory" : "Scintilla");
}

std::string bufferKindName(const ::testing::TestParamInfo<BufferKind> &info)
{
    return info.param == BufferKind::Memory ? "Memory" : "Scintilla";
}

std::unique_ptr<ITextBuffer> makeBuffer(BufferKind kind)
{
    if (kind == BufferKind::Memory)
        return std::make_unique<MemoryTextBuffer>();
    return std::make_unique<TMemoSource>();
}

QString unmarked(const QString &marked)
{
    QString out = marked;
    out.remove(u'|').remove(u'{').remove(u'}');
    return out;
}

CaretPoint pointAtOffset(const QString &text, qsizetype offset)
{
    CaretPoint p;
    for (qsizetype i = 0; i < offset && i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            continue;
        if (c == u'\r' || c == u'\n') {
            ++p.y;
            p.x = 0;
        } else {
            ++p.x;
        }
    }
    return p;
}

void setMarked(ITextBuffer *buffer, const QString &marked)
{
    qsizetype caret = -1, selStart = -1, selEnd = -1, plain = 0;
    for (const QChar c : marked) {
        if (c == u'|')
            caret = plain;
        else if (c == u'{')
            selStart = plain;
        else if (c == u'}')
            selEnd = plain;
        else
            ++plain;
    }
    const QString text = unmarked(marked);
    buffer->setText(text);
    buffer->setModified(false);
    if (selStart >= 0 && selEnd >= 0) {
        const CaretPoint a = pointAtOffset(text, selStart);
        const CaretPoint b = pointAtOffset(text, selEnd);
        if (caret == selStart)
            buffer->setSelection({b, a});
        else
            buffer->setSelection({a, b});
    } else {
        buffer->setCaretPoint(pointAtOffset(text, caret < 0 ? 0 : caret));
    }
}

QString marked(const ITextBuffer *buffer)
{
    const QString text = buffer->text();
    auto offsetOf = [&](CaretPoint p) {
        qsizetype line = 0, i = 0;
        while (line < p.y && i < text.size()) {
            const QChar c = text.at(i++);
            if (c == u'\r' && i < text.size() && text.at(i) == u'\n')
                ++i;
            if (c == u'\r' || c == u'\n')
                ++line;
        }
        return i + p.x;
    };
    const SelectionRect sel = buffer->selectionRect();
    const qsizetype caret = offsetOf(buffer->caretPoint());
    const qsizetype start = offsetOf(sel.start);
    const qsizetype end = offsetOf(sel.end);
    QString out;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (!sel.isEmpty() && i == end) {
            if (caret == end)
                out += u'|';
            out += u'}';
        }
        if (!sel.isEmpty() && i == start) {
            out += u'{';
            if (caret == start)
                out += u'|';
        }
        if (sel.isEmpty() && i == caret)
            out += u'|';
        if (i < text.size())
            out += text.at(i);
    }
    return out;
}

void BufferTest::SetUp()
{
    resetToolkitGlobals();
    m_buffer = makeBuffer(GetParam());
}

void BufferTest::TearDown()
{
    m_buffer.reset();
    resetToolkitGlobals();
}

} // namespace Test
} // namespace Quorvant
