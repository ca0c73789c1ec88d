#include "toolsglobals.h"

namespace Quorvant {

TPlugins *gPlugins = nullptr;

void resetToolsGlobals()
{
    gPlugins = nullptr;
}

} // namespace Quorvant
