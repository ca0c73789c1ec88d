#include "toolkitglobals.h"

namespace Quorvant {

bool gNoCaseChange = false;
bool gInsertTagsInLowercase = true;

void InsertInLowerCase(bool Status)
{
    gInsertTagsInLowercase = Status;
}

void resetToolkitGlobals()
{
    gNoCaseChange = false;
    gInsertTagsInLowercase = true;
}

} // namespace Quorvant
