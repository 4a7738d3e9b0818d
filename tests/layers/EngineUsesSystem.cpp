// Compiled as part of the engine: the system layer's headers must not be found.
#include "system/Clock.h"
