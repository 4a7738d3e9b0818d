// Compiled as part of the window layer: the application's headers must not be found.
#include "app/OrvennaApp.h"
