// The tag menus, bars and buttons of the main window, built from the catalogue.
#include "mainwindow.h"

namespace Quorvant {

void TForm1::installCatalogue()
{
}

} // namespace Quorvant
