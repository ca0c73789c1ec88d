#include "insertwizards.h"

#include "mainwindow.h"

namespace Quorvant {

void installInsertWizards(TForm1 &form)
{
    Q_UNUSED(form);
}

} // namespace Quorvant
