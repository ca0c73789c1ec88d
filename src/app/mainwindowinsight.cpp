// Tag Insight, tag completion and the Tag Inspector grid.
#include "mainwindow.h"

namespace Quorvant {

void TForm1::installTagInsight()
{
}

} // namespace Quorvant
