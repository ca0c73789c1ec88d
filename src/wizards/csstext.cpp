#include "csstext.h"

#include "wizardhtml.h"

#include <QColor>
#include <QRegularExpression>

namespace Quorvant {

namespace {

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool isHexColourDigits(QStringView digits)
{
    const qsizetype n = digits.size();
    if (n != 3 && n != 4 && n != 6 && n != 8)
        return false;
    return std::all_of(digits.begin(), digits.end(), isHexDigit);
}

bool isAsciiLetters(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    });
}

} // namespace

QString cssColor(const QString &text)
{
    const QString t = text.trimmed();
    if (t.startsWith(u'#'))
        return isHexColourDigits(QStringView(t).mid(1)) ? t : QString();
    if (t.size() == 6 && isHexColourDigits(t))
        return QLatin1Char('#') + t;
    if (isAsciiLetters(t) && (QColor::isValidColorName(t) || t.compare(QLatin1String("transparent"), Qt::CaseInsensitive) == 0))
        return t;
    return {};
}

QString cssLength(const QString &text)
{
    static const QRegularExpression length(
        QStringLiteral("^(\\d+(\\.\\d+)?)(px|em|rem|ex|ch|%|pt|pc|cm|mm|in|vw|vh)?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QString t = text.trimmed();
    const QRegularExpressionMatch m = length.match(t);
    if (!m.hasMatch())
        return {};
    if (m.capturedView(3).isEmpty())
        return m.captured(1).toDouble() == 0 ? QStringLiteral("0") : t + QStringLiteral("px");
    return t;
}

QString cssString(const QString &text)
{
    QString out = QStringLiteral("'");
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' || c == u'\'')
            out += QLatin1Char('\\') + c;
        else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            continue;
        else if (c == u'\r' || c == u'\n')
            out += QLatin1String("\\A ");
        else
            out += c;
    }
    return out + QLatin1Char('\'');
}

QString cssFontFamilies(const QStringList &faces)
{
    static const QStringList generic = {QStringLiteral("serif"),   QStringLiteral("sans-serif"),
                                        QStringLiteral("monospace"), QStringLiteral("cursive"),
                                        QStringLiteral("fantasy"), QStringLiteral("system-ui")};
    QStringList families;
    for (const QString &face : faces) {
        const QString name = face.trimmed();
        if (name.isEmpty())
            continue;
        families << (generic.contains(name, Qt::CaseInsensitive) ? name.toLower() : cssString(name));
    }
    return families.join(QStringLiteral(", "));
}

QString cssDeclarations(std::initializer_list<CssDeclaration> declarations)
{
    QStringList parts;
    for (const CssDeclaration &d : declarations) {
        if (!d.value.isEmpty())
            parts << QLatin1String(d.name) + QStringLiteral(": ") + d.value;
    }
    return parts.join(QStringLiteral("; "));
}

QString styleAttribute(const QString &declarations)
{
    return optionalAttribute(QStringLiteral("style"), declarations);
}

QString urlText(const QString &link)
{
    static const QString encoded = QStringLiteral("\"<>\\^`{|}[] ");
    QString out;
    bool seenHash = false;
    for (qsizetype i = 0; i < link.size(); ++i) {
        const QChar c = link.at(i);
        const bool lonePercent = c == u'%' && !(i + 2 < link.size() && isHexDigit(link.at(i + 1)) && isHexDigit(link.at(i + 2)));
        const bool secondHash = c == u'#' && seenHash;
        seenHash = seenHash || c == u'#';
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || encoded.contains(c) || lonePercent || secondHash)
            out += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

QString idText(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c.isSpace())
            c = u'_';
    }
    return out;
}

bool isDigitsOnly(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace Quorvant
