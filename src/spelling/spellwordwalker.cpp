#include "spellwordwalker.h"

namespace Quorvant {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool isSpace(QChar c)
{
    return c.isSpace();
}

bool startsWithAt(const QString &text, qsizetype at, QLatin1StringView what)
{
    return QStringView(text).mid(at, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

} // namespace

TSpellWordWalker::TSpellWordWalker(const QString &text, bool html, bool addresses)
    : m_text(text), m_html(html), m_addresses(addresses)
{
}

// Past the tag starting at at ('<'): a comment to "-->", a script or style
// element to its end tag, anything else to the '>' outside quotes.
qsizetype TSpellWordWalker::skipTag(qsizetype at) const
{
    const qsizetype n = m_text.size();
    if (startsWithAt(m_text, at, QLatin1StringView("<!--"))) {
        const qsizetype end = m_text.indexOf(QLatin1StringView("-->"), at + 4);
        return end < 0 ? n : end + 3;
    }
    QChar quote;
    qsizetype i = at + 1;
    for (; i < n; ++i) {
        const QChar c = m_text.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            // A quote only opens a value after '='; "don't" in broken markup must not swallow the page.
            qsizetype j = i - 1;
            while (j > at && isSpace(m_text.at(j)))
                --j;
            if (m_text.at(j) == QLatin1Char('='))
                quote = c;
        } else if (c == QLatin1Char('>')) {
            break;
        }
    }
    const qsizetype after = i < n ? i + 1 : n;
    for (QLatin1StringView raw : {QLatin1StringView("script"), QLatin1StringView("style")}) {
        if (startsWithAt(m_text, at + 1, raw) && (at + 1 + raw.size() >= n || !isWordChar(m_text.at(at + 1 + raw.size())))) {
            const QString close = QLatin1String("</") + raw;
            const qsizetype end = m_text.indexOf(close, after, Qt::CaseInsensitive);
            return end < 0 ? n : end;
        }
    }
    return after;
}

bool TSpellWordWalker::addressStarts(qsizetype at) const
{
    static const QLatin1StringView schemes[] = {
        QLatin1StringView("http://"), QLatin1StringView("https://"), QLatin1StringView("ftp://"),
        QLatin1StringView("file://"), QLatin1StringView("mailto:"),   QLatin1StringView("news:"),
        QLatin1StringView("www."),
    };
    for (QLatin1StringView s : schemes)
        if (startsWithAt(m_text, at, s))
            return true;
    // A mail address: an '@' inside the run of non-blank characters.
    const qsizetype n = m_text.size();
    for (qsizetype i = at; i < n; ++i) {
        const QChar c = m_text.at(i);
        if (c == QLatin1Char('@'))
            return i > at && i + 1 < n && isWordChar(m_text.at(i + 1));
        if (isSpace(c) || c == QLatin1Char('<') || c == QLatin1Char('"') || c == QLatin1Char('\''))
            return false;
    }
    return false;
}

qsizetype TSpellWordWalker::skipAddress(qsizetype at) const
{
    const qsizetype n = m_text.size();
    qsizetype i = at;
    while (i < n) {
        const QChar c = m_text.at(i);
        if (isSpace(c) || c == QLatin1Char('<') || c == QLatin1Char('"') || c == QLatin1Char('\'')
            || c == QLatin1Char(')') || c == QLatin1Char('>'))
            break;
        ++i;
    }
    return i;
}

// A quoted line: its first non-blank character is the quote mark ">" (as
// text, or written "&gt;" in a page).
bool TSpellWordWalker::quotedLineStarts(qsizetype at) const
{
    const bool mark = m_text.at(at) == QLatin1Char('>')
                      || (m_html && startsWithAt(m_text, at, QLatin1StringView("&gt;")));
    if (!mark)
        return false;
    for (qsizetype j = at - 1; j >= 0; --j) {
        const QChar c = m_text.at(j);
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            return true;
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t'))
            return false;
    }
    return true;
}

qsizetype TSpellWordWalker::lineEnd(qsizetype at) const
{
    const qsizetype n = m_text.size();
    while (at < n && m_text.at(at) != QLatin1Char('\n') && m_text.at(at) != QLatin1Char('\r'))
        ++at;
    return at;
}

SpellWord TSpellWordWalker::next(qsizetype from) const
{
    const qsizetype n = m_text.size();
    qsizetype i = qMax<qsizetype>(0, from);
    while (i < n) {
        const QChar c = m_text.at(i);
        if ((c == QLatin1Char('>') || c == QLatin1Char('&')) && quotedLineStarts(i)) {
            i = lineEnd(i);
            continue;
        }
        if (m_html && c == QLatin1Char('<')) {
            i = skipTag(i);
            continue;
        }
        if (m_html && c == QLatin1Char('&')) {
            // An entity: "&name;" or "&#123;"; a lone '&' is just punctuation.
            qsizetype j = i + 1;
            if (j < n && m_text.at(j) == QLatin1Char('#'))
                ++j;
            while (j < n && isWordChar(m_text.at(j)))
                ++j;
            i = (j < n && m_text.at(j) == QLatin1Char(';')) ? j + 1 : i + 1;
            continue;
        }
        if (!isWordChar(c)) {
            ++i;
            continue;
        }
        // The start of a token: an address is skipped whole.
        const bool tokenStart = i == 0 || !isWordChar(m_text.at(i - 1));
        if (m_addresses && tokenStart && addressStarts(i)) {
            i = skipAddress(i);
            continue;
        }
        qsizetype end = i;
        while (end < n) {
            if (isWordChar(m_text.at(end))) {
                ++end;
            } else if ((m_text.at(end) == QLatin1Char('\'') || m_text.at(end) == QChar(0x2019)) && end + 1 < n
                       && m_text.at(end + 1).isLetter()) {
                end += 2;  // "don't", "O'Neil"
            } else {
                break;
            }
        }
        if (m_addresses && end < n && (m_text.at(end) == QLatin1Char('@') || m_text.at(end) == QLatin1Char(':'))
            && addressStarts(i)) {
            i = skipAddress(i);
            continue;
        }
        return {i, end - i};
    }
    return {};
}

} // namespace Quorvant
