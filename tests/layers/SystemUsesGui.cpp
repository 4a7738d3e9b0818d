// Compiled as part of the system layer: the window layer's headers must not be found.
#include "gui/Layout.h"
