#include "skippedlinesreport.h"

#include <QStatusBar>

namespace Quorvant {

namespace {
constexpr int kStatusMilliseconds = 10000;
}

void reportSkippedLines(const SkippedLines &skipped, const DebugOut &debug, QStatusBar *statusBar)
{
    const QString text = skippedLinesText(skipped);
    if (text.isEmpty())
        return;
    debugOut(debug, text);
    if (statusBar)
        statusBar->showMessage(text, kStatusMilliseconds);
}

} // namespace Quorvant
