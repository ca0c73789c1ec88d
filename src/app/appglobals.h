// The working state of the application shell: the table of open documents,
// the working copy of the current one and the shell's flags.
#pragma once

#include <QList>
#include <QPoint>
#include <QString>

#include "settingsglobals.h"

namespace Quorvant {

class TMemoSource;
class TRecentFiles;

// One record per open document; entry i belongs to tab i of PageSelector.
struct TDataHolder
{
    QString Text;       // declared only: the text lives in the document's buffer
    QPoint CaretPos;    // declared only: the caret lives in the buffer
    QString FileName;   // full path; empty for a document never saved
    bool Modified = false;
    bool NetworkFile = false;
};

extern QList<TDataHolder> gDocumentHolder;
extern QList<TMemoSource *> gMemoData;

// Working copy of the current document.
extern QString gCurrentFilePath;
extern bool gDocumentModified;
extern bool gNetworkFile;

extern bool gCloseCurrentDocument;  // the next successful save also closes the document
extern bool gCanCloseProgram;       // false when the last Close All was cancelled
extern bool gClosingNow;            // the main window is closing

extern TRecentFiles *gRecentFiles;  // from the first showing of the Task Manager to its final close

// Back to the start values (the document table is emptied, not freed).
void resetAppGlobals();

} // namespace Quorvant
