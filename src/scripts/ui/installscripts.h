// Adds the scripts subsystem to the main window: the template libraries,
// the script definition dialog, the object tree, the server variable
// dialogs, the "Code Snippet" page and the "Date/Time stamp" menu.
#pragma once

namespace Quorvant {

class TForm1;

void installScripts(TForm1 &form);

} // namespace Quorvant
