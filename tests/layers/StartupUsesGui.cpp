// Compiled as part of the start-up services, which run before any window: the window layer's
// headers must not be found.
#include "gui/Layout.h"
