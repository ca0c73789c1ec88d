#include "installwizards.h"

#include "insertwizards.h"
#include "pagewizards.h"

namespace Quorvant {

void installWizards(TForm1 &form)
{
    installInsertWizards(form);
    installPageWizards(form);
}

} // namespace Quorvant
