#include "attributetext.h"

namespace Quorvant {

namespace {
// The longest named reference in HTML is 32 characters; numeric ones are shorter.
constexpr qsizetype kLongestReference = 40;

bool isAsciiLetterOrDigit(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}
} // namespace

bool startsCharacterReference(const QString &text, qsizetype at)
{
    if (at < 0 || at >= text.size() || text.at(at) != u'&')
        return false;
    qsizetype i = at + 1;
    const qsizetype end = qMin(text.size(), at + kLongestReference);
    if (i < end && text.at(i) == u'#') {
        ++i;
        const bool hex = i < end && (text.at(i) == u'x' || text.at(i) == u'X');
        if (hex)
            ++i;
        const qsizetype digitsStart = i;
        while (i < end && (hex ? isHexDigit(text.at(i)) : text.at(i).isDigit() && text.at(i) < u'\x80'))
            ++i;
        return i > digitsStart && i < end && text.at(i) == u';';
    }
    if (i >= end || !((text.at(i) >= u'a' && text.at(i) <= u'z') || (text.at(i) >= u'A' && text.at(i) <= u'Z')))
        return false;
    while (i < end && isAsciiLetterOrDigit(text.at(i)))
        ++i;
    return i < end && text.at(i) == u';';
}

namespace {
enum class Quotes { Escaped, Kept };

QString markupText(const QString &text, Quotes quotes)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'&' && !startsCharacterReference(text, i))
            out += QLatin1String("&amp;");
        else if (c == u'"' && quotes == Quotes::Escaped)
            out += QLatin1String("&quot;");
        else if (c == u'<')
            out += QLatin1String("&lt;");
        else
            out += c;
    }
    return out;
}
} // namespace

QString attributeText(const QString &value)
{
    return markupText(value, Quotes::Escaped);
}

QString elementText(const QString &text)
{
    return markupText(text, Quotes::Kept);
}

} // namespace Quorvant
