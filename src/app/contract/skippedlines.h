// Lines of a data file that were not of the file's form and were skipped on
// reading. Readers collect them; the windows that load the file report them
// once (see reportSkippedLines in the platform library).
#pragma once

#include <QList>
#include <QString>

namespace Quorvant {

struct SkippedLines
{
    QString fileName;       // as shown to the user: the file's name or path
    QList<int> lineNumbers; // 1-based, in file order

    bool isEmpty() const { return lineNumbers.isEmpty(); }
    void add(int lineNumber) { lineNumbers.append(lineNumber); }
};

// Whether text read from a data file can be the user's: a damaged file
// shows as control characters (C0 other than tab, CR and LF; DEL; C1).
bool isReadableText(const QString &text);

// "Themes.Dat: line 3 is not a valid entry and was skipped." or
// "Themes.Dat: lines 3, 7 and 9 are not valid entries and were skipped."
// (at most ten line numbers are listed, then "and N more"). Empty when
// nothing was skipped.
QString skippedLinesText(const SkippedLines &skipped);

} // namespace Quorvant
