// Character scanners for tags, words and delimited fields. No HTML parser:
// callers rely on the exact boundaries of each routine.
#pragma once

#include "asciitext.h"

#include "textbuffer.h"

#include <QString>
#include <QStringList>

namespace Quorvant {

// ASCII upper-casing: only a-z are folded, every other character stays.
QString asciiUpper(const QString &s);

// Field number Position (from 0) of Source split at Delimiter; empty for a
// source shorter than 2 characters, a negative or a too large position.
QString GetValue(int Position, QChar Delimiter, const QString &Source);

// The value of attribute Tag in one tag's text, without its double quotes,
// or empty. The name matches whole (LINK does not find VLINK) and outside
// double-quoted values; a double-quoted value is read whole, blanks
// included; an unquoted value ends at a blank or '>'.
QString GetTagValue(const QString &Source, const QString &Tag);

// The word under the caret, as tag help looks it up: "<ta|ble" gives "table",
// "<table bor|der=\"1\">" gives "\"1\"".
QString GetTagAtCursor(const ITextBuffer *buffer);

// The whole tag around the caret, from '<' to '>' (CR LF between lines of a
// tag spread over several lines), or empty when the caret is not inside a
// tag; then caret and selection are left alone. SelectIt leaves the tag
// selected with the caret after its '>'; otherwise the caret goes back to
// where it was and nothing stays selected.
QString GetTagAtCaret(ITextBuffer *buffer, bool SelectIt);

// Edit > "Select Tag at Caret".
inline void SelectTagAtCaret(ITextBuffer *buffer) { GetTagAtCaret(buffer, true); }

// The first TITLE element of the document: the line holding "<TITLE>"
// (ignoring case; a title tag with attributes is not found), its text up to
// "</TITLE>", and the span from '<' of the start tag to after '>' of the end
// tag. Without an end tag the title runs to the next '<' (or the end of the
// document) and the span ends there, so a rewrite never swallows the page.
struct PageTitleInfo
{
    bool found = false;
    QString title;
    CaretPoint start;
    CaretPoint end;
};
PageTitleInfo FindPageTitle(const ITextBuffer *buffer);

// The title text, or empty; SelectIt selects the whole TITLE element.
QString GetPageTitle(ITextBuffer *buffer, bool SelectIt);

// Selects from FromPoint to ToPoint; the caret ends at ToPoint.
void MarkNavigate(ITextBuffer *buffer, CaretPoint FromPoint, CaretPoint ToPoint);

// S cut to at most StrLength characters (empty for 0 or less).
QString ChopString(const QString &S, int StrLength);
QString RemoveCharFromStr(QChar C, const QString &S);
// The number of CR characters; LF is not counted.
int EntersInString(const QString &S);
// True when every character is a digit 0-9 (also for the empty string).
bool IsOnlyNumbers(const QString &S);
// True when some item equals SearchString ignoring ASCII case; an absent
// (nullptr) or empty list gives false.
bool StringListItemExists(const QString &SearchString, const QStringList *StringList);

} // namespace Quorvant
