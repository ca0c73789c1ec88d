// The main window with every subsystem, as the tests of its windows open and
// close it.
#pragma once

#include <QSize>

#include <memory>

namespace Quorvant {

class TForm1;
class TSetupTools;

namespace Test {

// Turns the message boxes over to the test hook (reset, nothing queued),
// gives the program a settings store when settings is given (gSetupTools
// points at it), then makes the main window, installs every subsystem and
// shows it, at size when one is given.
std::unique_ptr<TForm1> openMainWindow(std::unique_ptr<TSetupTools> *settings = nullptr, QSize size = {});

// Leaves every document unmodified (closing asks nothing), closes the
// window, drops the settings store when given and resets the test hook.
void closeMainWindow(std::unique_ptr<TForm1> &window, std::unique_ptr<TSetupTools> *settings = nullptr);

} // namespace Test
} // namespace Quorvant
