#include "textbuffer.h"

#include <QRegularExpression>

#include <algorithm>

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

// The matches of one search in one text; a regular expression is compiled
// once for every match asked of it.
class TextFinder
{
public:
    TextFinder(const QString &text, const SearchOptions &o)
        : m_text(text)
        , m_o(o)
    {
        if (o.regularExpression) {
            m_re.setPattern(o.text);
            if (!o.caseSensitive)
                m_re.setPatternOptions(QRegularExpression::CaseInsensitiveOption);
        }
    }

    bool isValid() const { return !m_o.text.isEmpty() && (!m_o.regularExpression || m_re.isValid()); }

    // The first match from `from` on (before it, when searching backwards).
    Match next(qsizetype from) const
    {
        if (!isValid())
            return {};
        qsizetype start = from;
        while (true) {
            const Match m = matchAt(start);
            if (m.pos < 0 || !m_o.wholeWords)
                return m;
            const bool before = m.pos > 0 && isWordChar(m_text.at(m.pos - 1));
            const bool after = m.pos + m.length < m_text.size() && isWordChar(m_text.at(m.pos + m.length));
            if (!before && !after)
                return m;
            start = m_o.backwards ? m.pos + m.length - 1 : m.pos + 1;
            if (start < 0)
                return {};
        }
    }

private:
    Match matchAt(qsizetype start) const
    {
        if (m_o.regularExpression) {
            if (!m_o.backwards) {
                const auto m = m_re.match(m_text, start);
                return m.hasMatch() ? Match{m.capturedStart(), m.capturedLength()} : Match{};
            }
            Match last;
            auto it = m_re.globalMatch(m_text);
            while (it.hasNext()) {
                const auto m = it.next();
                if (m.capturedStart() + m.capturedLength() > start)
                    break;
                last = {m.capturedStart(), m.capturedLength()};
            }
            return last;
        }
        const Qt::CaseSensitivity cs = m_o.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
        const qsizetype p = m_o.backwards
                                ? (start - m_o.text.size() < 0 ? -1 : m_text.lastIndexOf(m_o.text, start - m_o.text.size(), cs))
                                : m_text.indexOf(m_o.text, start, cs);
        return p < 0 ? Match{} : Match{p, m_o.text.size()};
    }

    const QString &m_text;
    const SearchOptions &m_o;
    QRegularExpression m_re;
};

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
    const Match m = TextFinder(all, options).next(from);
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

int ITextBuffer::replaceAll(const SearchOptions &options, const QString &replacement, const ReplaceProgress &progress)
{
    m_lastSearch = options;
    if (isReadOnly() || options.text.isEmpty())
        return 0;
    const QString all = text();
    SearchOptions forward = options;
    forward.backwards = false;
    const TextFinder finder(all, forward);
    if (!finder.isValid())
        return 0;
    QList<TextSpan> spans;
    for (qsizetype from = 0; from <= all.size();) {
        const Match m = finder.next(from);
        if (m.pos < 0)
            break;
        spans.append({m.pos, m.length});
        from = m.pos + qMax<qsizetype>(1, m.length);
    }
    if (spans.isEmpty())
        return 0;
    replaceSpans(all, spans, replacement, progress);
    return int(spans.size());
}

void ITextBuffer::replaceSpans(const QString &all, const QList<TextSpan> &spans, const QString &replacement,
                               const ReplaceProgress &progress)
{
    // text() joins lines with CR LF; the starts of its lines, found once.
    QList<qsizetype> lineStarts{0};
    for (qsizetype i = all.indexOf(u'\n'); i >= 0; i = all.indexOf(u'\n', i + 1))
        lineStarts.append(i + 1);
    auto point = [&](qsizetype offset) {
        const auto it = std::upper_bound(lineStarts.cbegin(), lineStarts.cend(), offset) - 1;
        return CaretPoint{int(offset - *it), int(it - lineStarts.cbegin())};
    };
    const qsizetype total = spans.size();
    beginUndoAction();
    qsizetype done = 0;
    for (auto it = spans.crbegin(); it != spans.crend(); ++it) {
        setSelection({point(it->pos), point(it->pos + it->length)});
        setSelText(replacement);
        if (progress && (++done % 1024) == 0)
            progress(done, total);
    }
    endUndoAction();
    if (progress)
        progress(total, total);
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
    setLastFileIo({path, bytes.size(), contentHash(bytes)});
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
    if (!writeFileAtomically(path, bytes, error, m_replaceGuard, &m_guardRefused))
        return false;
    m_format = format;
    setLastFileIo({path, bytes.size(), contentHash(bytes)});
    return true;
}

} // namespace Quorvant
