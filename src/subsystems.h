// Puts every subsystem's menus, pages, bars and commands into the main window.
#pragma once

namespace Quorvant {

class TForm1;

void installSubsystems(TForm1 &form);

} // namespace Quorvant
