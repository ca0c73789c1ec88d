#include "subsystems.h"

#include "installtags.h"
#include "installtoolkit.h"
#include "installtools.h"
#include "installspelling.h"
#include "installhelp.h"

namespace Quorvant {

void installSubsystems(TForm1 &form)
{
    // The source commands come first: the tag menus and bars are added after them.
    installToolkit(form);
    installTags(form);
    installTools(form);
    installSpelling(form);
    installHelp(form);
}

} // namespace Quorvant
