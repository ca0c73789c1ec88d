// Commands that rewrite text already in the document: case, line breaks,
// lists, comments, character count, strip all tags, paste as a table.
#pragma once

#include "textbuffer.h"

#include <QString>
#include <QStringList>

namespace Quorvant {

// Tools > "Strip all tags from document" asks this first (information icon,
// Yes and No); anything but Yes ends the command.
inline constexpr char StripAllTagsWarning[] =
    "Warning: Stripping all the tags from a document is irriversable using the UNDO command. "
    "Are you SURE you want to strip all tags from your document?";
// "Character count" shows this followed by the count (plain box, OK).
inline constexpr char CharacterCountPrefix[] = "Character Count: ";

// Lines cut at CR LF, lone CR or lone LF; a line break at the very end gives
// no empty last line, and the empty text no line at all.
QStringList SplitTextLines(const QString &text);
// Every line, the last one included, followed by CR LF.
QString JoinTextLines(const QStringList &lines);

// Only the ASCII letters change: "café" to upper is "CAFé".
QString AsciiCaseConverted(const QString &s, bool upper);
// "Convert Selected Text Case" Upper / Lower: replaces the selection.
void ConvertSelectedTextCase(ITextBuffer *buffer, bool upper);

// Characters of the selection; a line break counts as two (CR and LF).
int CharacterCount(const ITextBuffer *buffer);
// "Character Count: N".
QString CharacterCountMessage(const ITextBuffer *buffer);

// "<BR>" after every line, each line then ending with CR LF.
QString AddLineBreaksText(const QString &selected);
void AddLineBreaks(ITextBuffer *buffer);

// "<UL>" (or "<OL>"), CR LF, "<LI>" before every line, each ending with CR
// LF, a further CR LF and "</UL>" (or "</OL>").
QString ListText(const QString &selected, bool ordered);
void ConvertSelectedTextToList(ITextBuffer *buffer, bool ordered);

// ptext("<!--", "-->").
void CommentSelectedText(ITextBuffer *buffer);

// Every character from '<' through the '>' that ends the tag removed, the
// state carried across lines; lines left empty are dropped. The kept lines
// are joined by CR LF, with a final line break when the text had one.
QString StripAllTagsText(const QString &text);
// Replaces the document's text by StripAllTagsText of it (one undo step).
void StripAllTags(ITextBuffer *buffer);

// Edit > "Paste and Convert to Tables": call only when the clipboard holds
// text. One row with one cell per line, through ptext; one undo step.
void PasteAndConvertToTables(ITextBuffer *buffer, const QString &clipboardText);

} // namespace Quorvant
