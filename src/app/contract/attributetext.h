// Text a user typed, made safe to write between double quotes in markup.
#pragma once

#include <QString>

namespace Quorvant {

// Writes '&', '"' and '<' as character references, so the value ends where
// its closing quote is. An '&' that already starts a character reference
// ("&amp;", "&#233;", "&#xE9;") is kept as the user wrote it.
QString attributeText(const QString &value);

// Typed text written as an element's content: '&' and '<' as character
// references (a reference the user typed is kept as typed).
QString elementText(const QString &text);

// True when text[at] is an '&' that starts a complete character reference:
// a name, "#" and decimal digits, or "#x" and hex digits, then ';'.
bool startsCharacterReference(const QString &text, qsizetype at);

} // namespace Quorvant
