// Makes the program a citizen of the Linux desktop: files dropped from a
// file manager open, documents follow changes other programs make to their
// files, modified documents are kept for recovery after a crash and offered
// back in the Task Manager, and the preview can follow typing.
#pragma once

namespace Quorvant {

class TForm1;

void installDesktop(TForm1 &form);

} // namespace Quorvant
