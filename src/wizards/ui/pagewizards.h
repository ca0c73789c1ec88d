#pragma once

namespace Quorvant {

class TForm1;

// The text formatting wizards, document properties with colour themes,
// margins and transitions, and the media and target wizards.
void installPageWizards(TForm1 &form);

} // namespace Quorvant
