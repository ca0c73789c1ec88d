#include "installscripts.h"

#include "mainwindow.h"

namespace Quorvant {

void installScripts(TForm1 &form)
{
    (void)form;
}

} // namespace Quorvant
