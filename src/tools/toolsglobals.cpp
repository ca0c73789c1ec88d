#include "toolsglobals.h"

namespace Quorvant {

TPlugins *gPlugins = nullptr;

} // namespace Quorvant
