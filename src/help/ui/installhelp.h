#pragma once

namespace Quorvant {

class TForm1;

// Adds the Help menu's items, the Documentation page's topic tree, the About
// window and the "Setup Website" command.
void installHelp(TForm1 &form);

} // namespace Quorvant
