// Adds the network client to the main window: the network page and quick
// bar, the "Open Network Controls" command, and the automatic sign-in once
// the window has shown.
#pragma once

namespace Quorvant {

class TForm1;

namespace Network {
class THalvornNetwork;
}

// Returns the network windows' owner (a child of the form).
Network::THalvornNetwork *installNetwork(TForm1 &form);

} // namespace Quorvant
