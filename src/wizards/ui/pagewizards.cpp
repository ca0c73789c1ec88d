#include "pagewizards.h"

#include "mainwindow.h"

namespace Quorvant {

void installPageWizards(TForm1 &form)
{
    Q_UNUSED(form);
}

} // namespace Quorvant
