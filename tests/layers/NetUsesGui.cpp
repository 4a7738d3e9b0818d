// Compiled as part of the network layer: the window layer's headers must not be found.
#include "gui/Event.h"
