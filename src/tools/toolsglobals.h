// Session state of the external tools.
#pragma once

namespace Quorvant {

class TPlugins;

// The plug-in loader, from start-up to shutdown (owned by the main window's tools).
extern TPlugins *gPlugins;

} // namespace Quorvant
