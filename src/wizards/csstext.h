// Typed field values made into CSS values, URLs and ids that HTML5 and CSS
// accept. A value that cannot be one (a colour "blue-ish", a width "wide")
// gives the empty text, and the wizard leaves its property out.
#pragma once

#include <QString>
#include <QStringList>

namespace Quorvant {

// "#" and 3, 4, 6 or 8 hex digits, the same digits without "#" (given "#"),
// or a colour name CSS knows; anything else is empty.
QString cssColor(const QString &text);

// A number alone is pixels ("12" is "12px"); a non-negative number with a
// CSS unit or "%" is kept; anything else is empty.
QString cssLength(const QString &text);

// The text as a single-quoted CSS string: backslash and quote escaped, a
// line break written as "\A ".
QString cssString(const QString &text);

// The faces as a font-family list: the generic families bare, every other
// name as a CSS string; empty names left out.
QString cssFontFamilies(const QStringList &faces);

// Declarations "name: value" joined by "; ", those with an empty value left
// out; as a style attribute (attributeText-escaped) or nothing when none.
struct CssDeclaration
{
    const char *name;
    QString value;
};
QString cssDeclarations(std::initializer_list<CssDeclaration> declarations);
QString styleAttribute(const QString &declarations);

// A link as typed, with what a URL may not hold percent-encoded: blanks,
// control characters, '"', '<', '>', '\\', '^', '`', '{', '|', '}', '[', ']',
// a '#' after the first one and a '%' that does not start an escape.
QString urlText(const QString &link);

// The text as an id: every blank made "_" (an id holds none).
QString idText(const QString &text);

// Whether the text is a whole number of digits only (an HTML5 width,
// height or span).
bool isDigitsOnly(const QString &text);

} // namespace Quorvant
