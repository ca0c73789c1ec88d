// Session state of the HTML source toolkit, read by every insertion.
#pragma once

namespace Quorvant {

// While true, ptext inserts its texts without tag-case conversion (the script
// inserter sets it around its own insertions).
extern bool gNoCaseChange;

// The check state of "Insert Tags in Lowercase": true inserts tags in lower
// case, false in upper case.
extern bool gInsertTagsInLowercase;

// Sets the tag-case state; called at start-up with the stored "TAG-CASE".
void InsertInLowerCase(bool Status);

// Back to the start values.
void resetToolkitGlobals();

} // namespace Quorvant
