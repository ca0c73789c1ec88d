#include "textbuffer.h"

#include <QRegularExpression>

namespace Quorvant {

QStringList ITextBuffer::lines() const
{
    QStringList out;
    const int n = lineCount();
    out.reserve(n);
    for (int i = 0; i < n; ++i)
        out.append(line(i));
    return out;
}

QStringList ITextBuffer::selStrings() const
{
    const QString s = selText();
    return s.isEmpty() ? QStringList() : splitLines(s);
}

void ITextBuffer::markBlockBegin()
{
    m_blockBegin = caretPoint();
}

void ITextBuffer::markBlockEnd()
{
    setSelection({m_blockBegin, caretPoint()});
}

void ITextBuffer::quoteBlock()
{
    if (isReadOnly())
        return;
    const SelectionRect r = selectionRect();
    int last = r.end.y;
    if (!r.isEmpty() && r.end.x == 0 && r.end.y > r.start.y)
        --last;
    beginUndoAction();
    for (int y = r.start.y; y <= last; ++y) {
        setCaretPoint({0, y});
        insertString(QStringLiteral("> "));
    }
    endUndoAction();
    if (!r.isEmpty()) {
        SelectionRect moved = r;
        moved.start.x = r.start.x == 0 ? 0 : r.start.x + 2;
        if (r.end.y <= last)
            moved.end.x += 2;
        setSelection(moved);
    } else {
        setCaretPoint({r.start.x + 2, r.start.y});
    }
}

int ITextBuffer::offsetOf(CaretPoint p) const
{
    int offset = 0;
    const int n = lineCount();
    for (int y = 0; y < p.y && y < n; ++y)
        offset += int(line(y).size()) + 2;
    return offset + p.x;
}

CaretPoint ITextBuffer::pointAt(int offset) const
{
    const int n = lineCount();
    for (int y = 0; y < n; ++y) {
        const int len = int(line(y).size());
        if (offset <= len)
            return {offset, y};
        offset -= len + 2;
    }
    return {int(n > 0 ? line(n - 1).size() : 0), qMax(0, n - 1)};
}

namespace {

struct Match
{
    qsizetype pos = -1;
    qsizetype length = 0;
};

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

Match findIn(const QString &text, const SearchOptions &o, qsizetype from)
{
    if (o.text.isEmpty())
        return {};
    const Qt::CaseSensitivity cs = o.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QRegularExpression re;
    if (o.regularExpression) {
        re.setPattern(o.text);
        if (!o.caseSensitive)
            re.setPatternOptions(QRegularExpression::CaseInsensitiveOption);
        if (!re.isValid())
            return {};
    }
    auto matchAt = [&](qsizetype start, bool backwards) -> Match {
        if (o.regularExpression) {
            if (!backwards) {
                const auto m = re.match(text, start);
                return m.hasMatch() ? Match{m.capturedStart(), m.capturedLength()} : Match{};
            }
            Match last;
            auto it = re.globalMatch(text);
            while (it.hasNext()) {
                const auto m = it.next();
                if (m.capturedStart() + m.capturedLength() > start)
                    break;
                last = {m.capturedStart(), m.capturedLength()};
            }
            return last;
        }
        const qsizetype p = backwards ? (start - o.text.size() < 0 ? -1 : text.lastIndexOf(o.text, start - o.text.size(), cs))
                                      : text.indexOf(o.text, start, cs);
        return p < 0 ? Match{} : Match{p, o.text.size()};
    };
    qsizetype start = from;
    while (true) {
        const Match m = matchAt(start, o.backwards);
        if (m.pos < 0 || !o.wholeWords)
            return m;
        const bool before = m.pos > 0 && isWordChar(text.at(m.pos - 1));
        const bool after = m.pos + m.length < text.size() && isWordChar(text.at(m.pos + m.length));
        if (!before && !after)
            return m;
        start = o.backwards ? m.pos + m.length - 1 : m.pos + 1;
        if (start < 0)
            return {};
    }
}

} // namespace

bool ITextBuffer::find(const SearchOptions &options)
{
    m_lastSearch = options;
    const QString all = text();
    const SelectionRect sel = selectionRect();
    qsizetype from;
    if (!options.fromCaret)
        from = options.backwards ? all.size() : 0;
    else
        from = options.backwards ? offsetOf(sel.start) : offsetOf(sel.end);
    const Match m = findIn(all, options, from);
    if (m.pos < 0)
        return false;
    setSelection({pointAt(int(m.pos)), pointAt(int(m.pos + m.length))});
    return true;
}

bool ITextBuffer::findNext()
{
    SearchOptions o = m_lastSearch;
    o.fromCaret = true;
    return !o.text.isEmpty() && find(o);
}

int ITextBuffer::replaceAll(const SearchOptions &options, const QString &replacement)
{
    m_lastSearch = options;
    if (isReadOnly())
        return 0;
    const QString all = text();
    SearchOptions forward = options;
    forward.backwards = false;
    QList<Match> matches;
    qsizetype from = 0;
    while (from <= all.size()) {
        const Match m = findIn(all, forward, from);
        if (m.pos < 0)
            break;
        matches.append(m);
        from = m.pos + qMax<qsizetype>(1, m.length);
    }
    if (matches.isEmpty())
        return 0;
    beginUndoAction();
    for (auto it = matches.crbegin(); it != matches.crend(); ++it) {
        setSelection({pointAt(int(it->pos)), pointAt(int(it->pos + it->length))});
        setSelText(replacement);
    }
    endUndoAction();
    return int(matches.size());
}

QString ITextBuffer::storedText() const
{
    return convertLineEnds(text(), m_format.lineEnds);
}

void ITextBuffer::setStoredText(const QString &text, LineEndStyle)
{
    setText(text);
}

bool ITextBuffer::loadFromFile(const QString &path, QString *error)
{
    QByteArray bytes;
    if (!readWholeFile(path, &bytes, error))
        return false;
    DecodedText decoded = decodeTextFile(bytes);
    bytes = QByteArray();
    m_format = decoded.format;
    setStoredText(decoded.text, decoded.format.lineEnds);
    setModified(false);
    return true;
}

bool ITextBuffer::saveToFile(const QString &path, QString *error)
{
    TextFileFormat format = m_format;
    const QByteArray bytes = encodeTextFile(storedText(), &format);
    if (!writeFileAtomically(path, bytes, error))
        return false;
    m_format = format;
    return true;
}

} // namespace Quorvant
