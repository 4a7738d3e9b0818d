// Compiled as part of the platform layer: the engine's headers must not be found.
#include "engine/Casting.h"
