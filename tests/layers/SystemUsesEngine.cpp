// Compiled as part of the system layer: the engine's headers must not be found.
#include "engine/Casting.h"
