// The one insertion routine for text inserted on the user's behalf, with the
// user's tag case, and the commands built directly on it.
#pragma once

#include "textbuffer.h"

#include <QString>

namespace Quorvant {

// Message of PlaceExtendedTag (information icon, OK).
inline constexpr char NoExtendedSectionMessage[] = "There is no extended section associated with this tag.";

// Tag's text inside tags and outside double quotes converted to lower case
// (LowerCase true) or upper case, with the locale's case mapping.
QString SetTagCase(const QString &Tag, bool LowerCase);

// Inserts beg and fin as one undo step. With a selection (also over several
// lines) beg goes before it, fin after it, and the same text stays selected
// with the caret at its end. Without one both go in at the caret and the
// caret is left between them. Both texts take the tag case of
// gInsertTagsInLowercase unless gNoCaseChange; the selected text never does.
// Nothing happens on a null or read-only buffer.
void ptext(ITextBuffer *buffer, const QString &beg, const QString &fin);

// "<> Start Tag" and "</> End Tag".
void InsertStartTag(ITextBuffer *buffer);
void InsertEndTag(ITextBuffer *buffer);

// Places a row of the tag library: "N/A" marks an absent part. Returns true
// when the editor should receive the keyboard focus afterwards.
bool PlaceSelectedTag(ITextBuffer *buffer, const QString &startText, const QString &endText);

// Places the extended text of a row. Returns false, inserting nothing, when
// the row has none ("N/A" or empty): show NoExtendedSectionMessage.
[[nodiscard]] bool PlaceExtendedTag(ITextBuffer *buffer, const QString &extendedText);

} // namespace Quorvant
