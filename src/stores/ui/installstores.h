// Adds the local stores to the main window: the "Projects" page, the
// reminders shown at start-up and rewritten from the bookings at close.
#pragma once

namespace Quorvant {

class TForm1;

void installStores(TForm1 &form);

} // namespace Quorvant
