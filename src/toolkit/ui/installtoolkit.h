// The HTML toolkit's part of the main window: the source commands in the
// Edit, Tools and File menus and the editor pop-up, the colour bar, and the
// tag and snippet drops on the editor.
#pragma once

namespace Quorvant {

class TForm1;

void installToolkit(TForm1 &form);

} // namespace Quorvant
