// Compiled as part of the draw fetch: the window layer's headers must not be found.
#include "gui/Event.h"
