// Tells the user once that lines of a data file were skipped: one line in the
// debug window and the same text in the status bar.
#pragma once

#include "debugout.h"
#include "skippedlines.h"

class QStatusBar;

namespace Quorvant {

// Does nothing when nothing was skipped. Either target may be empty/null.
void reportSkippedLines(const SkippedLines &skipped, const DebugOut &debug, QStatusBar *statusBar);

} // namespace Quorvant
