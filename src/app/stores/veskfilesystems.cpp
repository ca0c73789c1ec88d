#include "veskfilesystems.h"
