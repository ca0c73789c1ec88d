// Session state of the scripts subsystem: the snippet store of the main
// window and the record that hands a snippet to the snippet dialog.
#pragma once

#include <QString>

namespace Quorvant {

class TCodeSnippits;

struct TEditCodeSnippetData
{
    bool Editing = false;
    QString SnippetTitle;
    QString Snippet1;
    QString Snippet2;
};

// Owned by the "Code Snippet" page; null when there is none.
extern TCodeSnippits *gCodeSnippets;
extern TEditCodeSnippetData gCodeSnippetsData;

// Back to the start values; gCodeSnippets is only forgotten, never freed.
void resetScriptsGlobals();

} // namespace Quorvant
