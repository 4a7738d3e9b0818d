// Compiled as part of the engine layer: the framework's headers must not be found.
#include "framework/Clock.h"
