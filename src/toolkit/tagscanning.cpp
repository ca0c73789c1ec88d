#include "tagscanning.h"

namespace Quorvant {

namespace {

QChar upperAscii(QChar c)
{
    return (c >= u'a' && c <= u'z') ? QChar(c.unicode() - (u'a' - u'A')) : c;
}

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f';
}

// First index >= from where needle occurs in haystack, comparing ASCII
// upper-cased; -1 when there is none.
qsizetype indexOfAsciiCI(QStringView haystack, QStringView needle, qsizetype from = 0)
{
    const qsizetype n = haystack.size();
    const qsizetype m = needle.size();
    if (m == 0)
        return from <= n ? from : -1;
    for (qsizetype i = qMax<qsizetype>(from, 0); i + m <= n; ++i) {
        qsizetype k = 0;
        while (k < m && upperAscii(haystack[i + k]) == upperAscii(needle[k]))
            ++k;
        if (k == m)
            return i;
    }
    return -1;
}

// Where an attribute name may start and end (outside double quotes).
bool nameMayStartAfter(QChar previous)
{
    return isSpace(previous) || previous == u'"';
}

bool nameEndsAt(QChar next)
{
    return isSpace(next) || next == u'=' || next == u'>' || next == u'/';
}

} // namespace

QString asciiUpper(const QString &s)
{
    QString out = s;
    for (QChar &c : out)
        c = upperAscii(c);
    return out;
}

QString GetValue(int Position, QChar Delimiter, const QString &Source)
{
    if (Source.size() < 2 || Position < 0)
        return {};
    // Field n runs from after the n-th delimiter to the next one.
    qsizetype begin = 0;
    for (int count = 0; count < Position; ++count) {
        const qsizetype d = Source.indexOf(Delimiter, begin);
        if (d < 0)
            return {};
        begin = d + 1;
    }
    qsizetype end = Source.indexOf(Delimiter, begin);
    if (end < 0)
        end = Source.size();
    return Source.mid(begin, end - begin);
}

QString GetTagValue(const QString &Source, const QString &Tag)
{
    if (Source.isEmpty() || Tag.isEmpty())
        return {};
    const qsizetype n = Source.size();
    const qsizetype m = Tag.size();
    bool inQuotes = false;
    qsizetype found = -1;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = Source.at(i);
        if (c == u'"') {
            inQuotes = !inQuotes;
            continue;
        }
        if (inQuotes || (i > 0 && !nameMayStartAfter(Source.at(i - 1))) || i + m > n)
            continue;
        qsizetype k = 0;
        while (k < m && upperAscii(Source.at(i + k)) == upperAscii(Tag.at(k)))
            ++k;
        if (k == m && (i + m == n || nameEndsAt(Source.at(i + m)))) {
            found = i;
            break;
        }
    }
    if (found < 0)
        return {};

    qsizetype i = found + m;
    while (i < n && isSpace(Source.at(i)))
        ++i;
    if (i >= n || Source.at(i) != u'=')
        return {};
    ++i;
    while (i < n && isSpace(Source.at(i)))
        ++i;
    if (i >= n)
        return {};
    if (Source.at(i) == u'"') {
        const qsizetype close = Source.indexOf(u'"', i + 1);
        if (close >= 0)
            return Source.mid(i + 1, close - i - 1);
        // Unterminated quote: up to the end of the tag.
        const qsizetype gt = Source.indexOf(u'>', i + 1);
        return Source.mid(i + 1, (gt < 0 ? n : gt) - i - 1);
    }
    qsizetype end = i;
    while (end < n && !isSpace(Source.at(end)) && Source.at(end) != u'>')
        ++end;
    return RemoveCharFromStr(u'"', Source.mid(i, end - i));
}

QString GetTagAtCursor(const ITextBuffer *buffer)
{
    if (!buffer)
        return {};
    const CaretPoint caret = buffer->caretPoint();
    const QString line = buffer->line(caret.y);
    if (line.isEmpty())
        return {};
    const qsizetype n = line.size();
    // Index x (1-based) is the character left of the caret; from there on the
    // copy stops at a blank or '>'.
    qsizetype end = qMin<qsizetype>(qMax(caret.x, 1) - 1, n);
    while (end < n && line.at(end) != u' ' && line.at(end) != u'>')
        ++end;
    qsizetype cut = end - 1;
    while (cut >= 0) {
        const QChar c = line.at(cut);
        if (c == u' ' || c == u'<' || c == u'=' || c == u'>')
            break;
        --cut;
    }
    return line.mid(cut + 1, end - cut - 1);
}

QString GetTagAtCaret(ITextBuffer *buffer, bool SelectIt)
{
    if (!buffer)
        return {};
    const int lineCount = buffer->lineCount();
    const CaretPoint caret = buffer->caretPoint();
    if (caret.y < 0 || caret.y >= lineCount)
        return {};
    const QString caretLine = buffer->line(caret.y);

    // Backwards from the character left of the caret for the '<'.
    CaretPoint start;
    {
        int y = caret.y;
        QString current = caretLine;
        qsizetype i = qMin<qsizetype>(qMax(caret.x, 0), current.size()) - 1;
        bool found = false;
        while (!found) {
            for (; i >= 0; --i) {
                const QChar c = current.at(i);
                if (c == u'<') {
                    start = {int(i), y};
                    found = true;
                    break;
                }
                if (c == u'>')
                    return {};
            }
            if (found)
                break;
            if (--y < 0)
                return {};
            current = buffer->line(y);
            i = current.size() - 1;
        }
    }

    // Forwards from the character right of the caret for the '>'.
    CaretPoint end;
    {
        int y = caret.y;
        QString current = caretLine;
        qsizetype i = qMax(caret.x, 0);
        while (true) {
            const qsizetype gt = i < current.size() ? current.indexOf(u'>', i) : -1;
            if (gt >= 0) {
                end = {int(gt + 1), y};
                break;
            }
            if (++y >= lineCount)
                return {};
            current = buffer->line(y);
            i = 0;
        }
    }

    MarkNavigate(buffer, start, end);
    const QString tag = buffer->selText();
    if (!SelectIt) {
        buffer->setCaretPoint(caret);
        buffer->clearSelection();
    }
    return tag;
}

PageTitleInfo FindPageTitle(const ITextBuffer *buffer)
{
    PageTitleInfo info;
    if (!buffer)
        return info;
    static const QString startTag = QStringLiteral("<TITLE>");
    static const QString endTag = QStringLiteral("</TITLE>");
    const int lineCount = buffer->lineCount();
    int y = 0;
    qsizetype p = -1;
    QString line;
    for (; y < lineCount; ++y) {
        line = buffer->line(y);
        p = indexOfAsciiCI(line, startTag);
        if (p >= 0)
            break;
    }
    if (p < 0)
        return info;
    info.found = true;
    info.start = {int(p), y};
    const int firstLine = y;
    const qsizetype firstFrom = p + startTag.size();

    // The title ends at the end tag; lines are joined without a separator.
    QString title;
    QString current = line;
    qsizetype from = firstFrom;
    for (int ty = firstLine; ty < lineCount; ++ty) {
        if (ty != firstLine) {
            current = buffer->line(ty);
            from = 0;
        }
        const qsizetype q = indexOfAsciiCI(current, endTag, from);
        if (q >= 0) {
            title += QStringView(current).mid(from, q - from);
            info.title = title;
            info.end = {int(q + endTag.size()), ty};
            return info;
        }
        title += QStringView(current).mid(from);
    }

    // No end tag: the title runs to the next '<', where the span ends.
    title.clear();
    current = line;
    from = firstFrom;
    for (int ty = firstLine; ty < lineCount; ++ty) {
        if (ty != firstLine) {
            current = buffer->line(ty);
            from = 0;
        }
        const qsizetype lt = current.indexOf(u'<', from);
        if (lt >= 0) {
            title += QStringView(current).mid(from, lt - from);
            info.title = title;
            info.end = {int(lt), ty};
            return info;
        }
        title += QStringView(current).mid(from);
        info.end = {int(current.size()), ty};
    }
    info.title = title;
    return info;
}

QString GetPageTitle(ITextBuffer *buffer, bool SelectIt)
{
    const PageTitleInfo info = FindPageTitle(buffer);
    if (!info.found)
        return {};
    if (SelectIt)
        MarkNavigate(buffer, info.start, info.end);
    return info.title;
}

void MarkNavigate(ITextBuffer *buffer, CaretPoint FromPoint, CaretPoint ToPoint)
{
    if (!buffer)
        return;
    buffer->setCaretPoint(FromPoint);
    buffer->markBlockBegin();
    buffer->setCaretPoint(ToPoint);
    buffer->markBlockEnd();
}

QString ChopString(const QString &S, int StrLength)
{
    if (StrLength <= 0)
        return {};
    return S.size() <= StrLength ? S : S.left(StrLength);
}

QString RemoveCharFromStr(QChar C, const QString &S)
{
    QString out = S;
    out.remove(C);
    return out;
}

int EntersInString(const QString &S)
{
    return int(S.count(u'\r'));
}

bool IsOnlyNumbers(const QString &S)
{
    for (const QChar c : S)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

bool StringListItemExists(const QString &SearchString, const QStringList *StringList)
{
    if (!StringList)
        return false;
    for (const QString &item : *StringList)
        if (asciiEqualsIgnoreCase(item, SearchString))
            return true;
    return false;
}

} // namespace Quorvant
