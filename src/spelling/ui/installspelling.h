#pragma once

namespace Quorvant {

class TForm1;

// Adds "Check Spelling" and "Theasurus Lookup..." to the Tools menu and the
// "Spell Check" button to the control bar.
void installSpelling(TForm1 &form);

} // namespace Quorvant
