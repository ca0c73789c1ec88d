// The sidebar's "Tags" page: the user's tag lists and their tags.
#include "mainwindow.h"

namespace Quorvant {

void TForm1::installTagLibraryPage()
{
}

} // namespace Quorvant
