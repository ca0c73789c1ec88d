#include "scriptsglobals.h"

namespace Quorvant {

TCodeSnippits *gCodeSnippets = nullptr;
TEditCodeSnippetData gCodeSnippetsData;

void resetScriptsGlobals()
{
    gCodeSnippets = nullptr;
    gCodeSnippetsData = TEditCodeSnippetData();
}

} // namespace Quorvant
