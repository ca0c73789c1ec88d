#include "toolkitglobals.h"
