// "Find in files..." (Search menu) and "Open From the Web" (File menu).
#pragma once

namespace Quorvant {

class TForm1;

void installFileTools(TForm1 &form);

} // namespace Quorvant
