#pragma once

namespace Quorvant {

class TForm1;

// Answers the element wizards' catalogue ids and adds their menu entries.
void installWizards(TForm1 &form);

} // namespace Quorvant
