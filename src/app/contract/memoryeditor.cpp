#include "memoryeditor.h"

#include <algorithm>

namespace Quorvant {

namespace {

bool before(CaretPoint a, CaretPoint b)
{
    return a.y < b.y || (a.y == b.y && a.x < b.x);
}

QString &clipboardText()
{
    static QString text;
    return text;
}

} // namespace

MemoryTextBuffer::MemoryTextBuffer(QObject *parent)
    : ITextBuffer(parent)
{
    m_bookmarks.fill(-1);
    m_history.append(Step{m_lines, {}, {}, {}, {}});
}

QString MemoryTextBuffer::text() const
{
    return joinLines(m_lines);
}

void MemoryTextBuffer::setText(const QString &text)
{
    // Also while read-only: only the user's editing is blocked, a program may
    // still show a text in a read-only view.
    commit(splitLines(text), CaretPoint{});
}

QString MemoryTextBuffer::line(int index) const
{
    return index >= 0 && index < m_lines.size() ? m_lines.at(index) : QString();
}

CaretPoint MemoryTextBuffer::clamped(CaretPoint p) const
{
    const int y = std::clamp(p.y, 0, int(m_lines.size()) - 1);
    const QString &line = m_lines.at(y);
    int x = std::clamp(p.x, 0, int(line.size()));
    // Never between the two halves of a surrogate pair: before the character.
    if (x > 0 && x < line.size() && line.at(x).isLowSurrogate() && line.at(x - 1).isHighSurrogate())
        --x;
    return {x, y};
}

void MemoryTextBuffer::setCaretPoint(CaretPoint p)
{
    m_caret = clamped(p);
    m_anchor = m_caret;
}

SelectionRect MemoryTextBuffer::selectionRect() const
{
    return before(m_caret, m_anchor) ? SelectionRect{m_caret, m_anchor} : SelectionRect{m_anchor, m_caret};
}

void MemoryTextBuffer::setSelection(SelectionRect r)
{
    m_anchor = clamped(r.start);
    m_caret = clamped(r.end);
}

QString MemoryTextBuffer::textBetween(CaretPoint from, CaretPoint to) const
{
    if (from.y == to.y)
        return m_lines.at(from.y).mid(from.x, to.x - from.x);
    QStringList parts;
    parts.append(m_lines.at(from.y).mid(from.x));
    for (int y = from.y + 1; y < to.y; ++y)
        parts.append(m_lines.at(y));
    parts.append(m_lines.at(to.y).left(to.x));
    return joinLines(parts);
}

QString MemoryTextBuffer::selText() const
{
    const SelectionRect r = selectionRect();
    return textBetween(r.start, r.end);
}

QStringList MemoryTextBuffer::replaced(CaretPoint from, CaretPoint to, const QString &text, CaretPoint *end) const
{
    const QStringList inserted = splitLines(text);
    const QString head = m_lines.at(from.y).left(from.x);
    const QString tail = m_lines.at(to.y).mid(to.x);
    QStringList out = m_lines.mid(0, from.y);
    out.reserve(m_lines.size() + inserted.size());
    for (int i = 0; i < inserted.size(); ++i) {
        QString piece = inserted.at(i);
        if (i == 0)
            piece.prepend(head);
        if (i == inserted.size() - 1) {
            *end = {int(piece.size()), int(out.size())};
            piece.append(tail);
        }
        out.append(piece);
    }
    out.append(m_lines.mid(to.y + 1));
    return out;
}

void MemoryTextBuffer::setSelText(const QString &text)
{
    const SelectionRect r = selectionRect();
    if (m_readOnly || (r.isEmpty() && text.isEmpty()))
        return;
    CaretPoint end;
    const QStringList lines = replaced(r.start, r.end, text, &end);
    commit(lines, end);
}

void MemoryTextBuffer::selectAll()
{
    m_anchor = {};
    m_caret = {int(m_lines.last().size()), int(m_lines.size()) - 1};
}

void MemoryTextBuffer::insertString(const QString &text)
{
    if (m_readOnly || text.isEmpty())
        return;
    CaretPoint end;
    const QStringList lines = replaced(m_caret, m_caret, text, &end);
    commit(lines, end);
}

void MemoryTextBuffer::commit(const QStringList &lines, CaretPoint caret)
{
    if (lines == m_lines) {
        setCaretPoint(caret);
        return;
    }
    const bool wasModified = isModified();
    const CaretPoint caretBefore = m_caret;
    const CaretPoint anchorBefore = m_anchor;
    applyLines(lines);
    setCaretPoint(caret);
    // An open group writes into its own step, unless that step has since
    // become the save point: then the saved text must stay reachable.
    if (m_groupDepth > 0 && m_groupStep == m_index && m_savePoint != m_index) {
        Step &step = m_history[m_index];
        step.lines = m_lines;
        step.caretAfter = step.anchorAfter = m_caret;
    } else {
        m_history.resize(m_index + 1);
        if (m_savePoint > m_index)
            m_savePoint = -1;
        m_history.append(Step{m_lines, caretBefore, anchorBefore, m_caret, m_caret});
        ++m_index;
        if (m_groupDepth > 0)
            m_groupStep = m_index;
    }
    emitChange(wasModified);
}

void MemoryTextBuffer::applyLines(const QStringList &lines)
{
    const qsizetype oldCount = m_lines.size();
    const qsizetype newCount = lines.size();
    const qsizetype common = std::min(oldCount, newCount);
    qsizetype prefix = 0;
    while (prefix < common && m_lines.at(prefix) == lines.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (prefix + suffix < common && m_lines.at(oldCount - 1 - suffix) == lines.at(newCount - 1 - suffix))
        ++suffix;
    // Lines [prefix, oldCount - suffix) became [prefix, newCount - suffix):
    // bookmarks below move with their lines, those on replaced lines stay
    // within the new ones, those on removed lines go to where they were.
    const qsizetype oldMid = oldCount - prefix - suffix;
    const qsizetype newMid = newCount - prefix - suffix;
    for (int &b : m_bookmarks) {
        if (b < prefix)
            continue;
        if (b >= prefix + oldMid)
            b = int(b + newMid - oldMid);
        else
            b = int(newMid > 0 ? std::min<qsizetype>(b, prefix + newMid - 1) : prefix);
        b = std::min(b, int(newCount) - 1);
    }
    m_lines = lines;
}

void MemoryTextBuffer::emitChange(bool wasModified)
{
    Q_EMIT textChanged();
    if (wasModified != isModified())
        Q_EMIT modificationChanged(isModified());
}

bool MemoryTextBuffer::canUndo() const
{
    return m_index > 0;
}

bool MemoryTextBuffer::canRedo() const
{
    return m_index + 1 < m_history.size();
}

void MemoryTextBuffer::undo()
{
    if (m_readOnly || !canUndo())
        return;
    const bool wasModified = isModified();
    const Step &undone = m_history.at(m_index);
    const CaretPoint caret = undone.caretBefore;
    const CaretPoint anchor = undone.anchorBefore;
    --m_index;
    m_groupStep = -1;
    applyLines(m_history.at(m_index).lines);
    m_anchor = clamped(anchor);
    m_caret = clamped(caret);
    emitChange(wasModified);
}

void MemoryTextBuffer::redo()
{
    if (m_readOnly || !canRedo())
        return;
    const bool wasModified = isModified();
    ++m_index;
    m_groupStep = -1;
    const Step &step = m_history.at(m_index);
    applyLines(step.lines);
    m_anchor = clamped(step.anchorAfter);
    m_caret = clamped(step.caretAfter);
    emitChange(wasModified);
}

void MemoryTextBuffer::endUndoAction()
{
    if (m_groupDepth > 0 && --m_groupDepth == 0)
        m_groupStep = -1;
}

void MemoryTextBuffer::toggleBookmark(int n)
{
    if (n < 1 || n > BookmarkCount)
        return;
    int &b = m_bookmarks[n - 1];
    b = b == m_caret.y ? -1 : m_caret.y;
}

void MemoryTextBuffer::goToBookmark(int n)
{
    const int y = bookmarkLine(n);
    if (y >= 0)
        setCaretPoint({0, y});
}

int MemoryTextBuffer::bookmarkLine(int n) const
{
    return n >= 1 && n <= BookmarkCount ? m_bookmarks[n - 1] : -1;
}

void MemoryTextBuffer::setModified(bool modified)
{
    const bool wasModified = isModified();
    m_savePoint = modified ? -1 : m_index;
    if (wasModified != isModified())
        Q_EMIT modificationChanged(isModified());
}

void MemoryTextBuffer::setStoredText(const QString &text, LineEndStyle)
{
    // A loaded file starts a new history: nothing before it can be undone.
    const bool wasModified = isModified();
    applyLines(splitLines(text));
    setCaretPoint({});
    m_history = {Step{m_lines, {}, {}, {}, {}}};
    m_index = 0;
    m_savePoint = 0;
    m_groupStep = -1;
    emitChange(wasModified);
}

MemoryEditorView::MemoryEditorView(QObject *parent)
    : IEditorView(parent)
{
}

void MemoryEditorView::setSource(ITextBuffer *buffer)
{
    if (buffer == m_source)
        return;
    disconnect(m_sourceChanged);
    m_source = buffer;
    if (buffer)
        m_sourceChanged = connect(buffer, &ITextBuffer::textChanged, this, &IEditorView::changed);
}

void MemoryEditorView::cutToClipboard()
{
    if (!m_source || m_source->isReadOnly() || !m_source->hasSelection())
        return;
    clipboardText() = m_source->selText();
    m_source->setSelText(QString());
}

void MemoryEditorView::copyToClipboard()
{
    if (m_source && m_source->hasSelection())
        clipboardText() = m_source->selText();
}

void MemoryEditorView::pasteFromClipboard()
{
    if (m_source && !clipboardText().isEmpty())
        m_source->setSelText(clipboardText());
}

} // namespace Quorvant
