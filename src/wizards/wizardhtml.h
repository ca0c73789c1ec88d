// What every element wizard writes the same way: attributes and the hand-over
// of the finished pieces to the document.
#pragma once

#include "textbuffer.h"

#include <QString>
#include <QStringList>

namespace Quorvant {

// The line break between the lines the wizards write.
inline const QString CrLf = QStringLiteral("\r\n");

// A start text and an end text for ptext.
struct MarkupPair
{
    QString start;
    QString end;
    friend bool operator==(const MarkupPair &, const MarkupPair &) = default;
};

// One space, the name as given, "=" and the value between double quotes.
// The value is not trimmed; '&', '"' and '<' are written as character
// references (attributeText), so a typed quote cannot end it early, and a
// reference the user typed is kept as typed.
QString htmlAttribute(const QString &name, const QString &value);

// The attribute, or nothing when the value is empty.
QString optionalAttribute(const QString &name, const QString &value);

// Typed text written inside a single-quoted JavaScript string: backslash,
// quote and line breaks escaped, and "</" written as "<\/" so the text
// cannot end a SCRIPT element.
QString scriptStringText(const QString &text);

// Typed text written as one part of a mailto: address or a header value:
// every character other than letters, digits and "-._~!$'()*+,;:@" is
// percent-encoded from its UTF-8 bytes (a line break becomes %0D%0A).
QString mailtoText(const QString &text);

// Hands each piece in turn to ptext as its start text, so each lands behind
// the one before it, all as one undo step. Nothing happens on a null buffer.
void insertPieces(ITextBuffer *buffer, const QStringList &pieces);

} // namespace Quorvant
