#pragma once

namespace Quorvant {

class TForm1;

// The table builder, the quick table picker, the image and link wizards and
// the embedded-object dialog.
void installInsertWizards(TForm1 &form);

} // namespace Quorvant
