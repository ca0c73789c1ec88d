// Tag help: the page of a word in the help index "Help/Internal.Dat" (lines
// KEY,page with the page relative to the "Help" folder).
#pragma once

#include "debugout.h"
#include "textbuffer.h"

#include <QString>

namespace Quorvant {

inline constexpr char MsgNoInternalHelp[] = "Error! Unable to find Internal Help Reference.";

enum class TTagHelpStatus {
    Nothing,  // an empty word or no key matched: do nothing
    NoIndex,  // show MsgNoInternalHelp (error icon)
    Found,    // show Page on the Documentation page
};

struct TTagHelpResult
{
    TTagHelpStatus Status = TTagHelpStatus::Nothing;
    QString Page;  // full path of the page; it need not exist
};

// The word tag help looks up: the selection, or the word at the caret.
QString TagHelpWord(const ITextBuffer *buffer);

// Looks Tag up (ignoring case; the last matching line wins) in the index of
// dataFolder. One trailing CR or LF is removed twice. The caller skips this
// while the Documentation page is already the active page.
TTagHelpResult ShowTagHelp(const QString &dataFolder, const QString &Tag, const DebugOut &debugger = {});

} // namespace Quorvant
